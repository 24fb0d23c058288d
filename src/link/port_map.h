#pragma once
// The serial devices behind COM1 … COM4. By default COMn is /dev/ttyS(n-1)
// (COMn on Windows); the user may attach any device to each name, and an
// environment variable PRAMELOR_COMn overrides both. A device is remembered
// by its stable name under /dev/serial/by-id when it has one, so that a USB
// adapter plugged into another socket keeps its port.

#include <QList>
#include <QString>
#include <array>

class QSettings;

namespace board {

// The device attached to COM1 … COM4 by the user; empty: the default.
using PortMap = std::array<QString, 4>;

PortMap readPortMap(const QSettings &settings);
void writePortMap(QSettings &settings, const PortMap &map);

QString defaultDevice(int number);      // /dev/ttyS(n-1); empty outside 1 … 4
QString environmentDevice(int number);  // PRAMELOR_COMn, or empty
// The device opened for COMn: the environment, else the user's, else the default.
QString portDevice(int number, const PortMap &map);

// The stable name of a device: the link in byIdFolder that leads to it, or
// the device itself when there is none.
QString stablePath(const QString &device, const QString &byIdFolder = QStringLiteral("/dev/serial/by-id"));

struct SerialDevice {
    QString path;  // stable when possible
    QString description, manufacturer, serialNumber;
    bool present = true;  // false: attached to a port but not plugged in now
};

// The serial devices the system reports now, by their stable names.
QList<SerialDevice> presentDevices();
// The devices to offer: those present, then those attached to a port but
// absent (unplugged), so that their mapping can be seen and kept.
QList<SerialDevice> offeredDevices(const QList<SerialDevice> &present, const PortMap &map);

}  // namespace board
