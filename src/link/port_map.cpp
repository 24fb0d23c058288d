#include "link/port_map.h"

#include "link/protocol.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>

namespace board {

namespace {
QString key(int number) { return QStringLiteral("ports/COM%1").arg(number); }
}  // namespace

PortMap readPortMap(const QSettings &settings)
{
    PortMap map;
    for (int n = 1; n <= 4; ++n) map[size_t(n - 1)] = settings.value(key(n)).toString().trimmed();
    return map;
}

void writePortMap(QSettings &settings, const PortMap &map)
{
    for (int n = 1; n <= 4; ++n) {
        const QString device = map[size_t(n - 1)].trimmed();
        if (device.isEmpty())
            settings.remove(key(n));
        else
            settings.setValue(key(n), device);
    }
    settings.sync();
}

QString defaultDevice(int number)
{
    if (number < 1 || number > 4) return QString();
#ifdef Q_OS_WIN
    return portName(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString environmentDevice(int number)
{
    if (number < 1 || number > 4) return QString();
    return qEnvironmentVariable(qPrintable(QStringLiteral("PRAMELOR_COM%1").arg(number)));
}

QString portDevice(int number, const PortMap &map)
{
    if (number < 1 || number > 4) return QString();
    if (QString env = environmentDevice(number); !env.isEmpty()) return env;
    if (const QString &own = map[size_t(number - 1)]; !own.isEmpty()) return own;
    return defaultDevice(number);
}

QString stablePath(const QString &device, const QString &byIdFolder)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty()) return device;
    const QDir dir(byIdFolder);
    for (const QFileInfo &link : dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        if (link.isSymLink() && link.canonicalFilePath() == target) return link.absoluteFilePath();
    return device;
}

QList<SerialDevice> presentDevices()
{
    QList<SerialDevice> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        devices.append(
            {stablePath(info.systemLocation()), info.description(), info.manufacturer(), info.serialNumber(), true});
    return devices;
}

QList<SerialDevice> offeredDevices(const QList<SerialDevice> &present, const PortMap &map)
{
    QList<SerialDevice> offered = present;
    for (const QString &device : map) {
        if (device.isEmpty()) continue;
        const bool listed = std::any_of(offered.cbegin(), offered.cend(), [&](const SerialDevice &d) {
            return d.path == device || stablePath(d.path) == device;
        });
        if (!listed) offered.append({device, {}, {}, {}, false});
    }
    return offered;
}

}  // namespace board
