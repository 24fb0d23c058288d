#include "link/serial_component.h"

#include "link/last_resort.h"
#include "link/port_check.h"
#include "link/port_lock.h"
#include "link/protocol.h"

#include <QFile>
#include <QThread>

// The port is a child, so that it moves to the line's thread with the component.
SerialComponent::SerialComponent(QObject *parent) : QObject(parent), port_(this)
{
    connect(&port_, &QSerialPort::readyRead, this, [this] {
        pending_ += port_.readAll();
        if (!pending_.isEmpty()) emit onComm(kReceived);
    });
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialComponent::onErrorOccurred);
}

void SerialComponent::setDeviceMap(const board::PortMap &map)
{
    QMutexLocker lock(&mutex_);
    device_map_ = map;
}

board::PortMap SerialComponent::deviceMap() const
{
    QMutexLocker lock(&mutex_);
    return device_map_;
}

void SerialComponent::setDevicePath(const QString &device)
{
    QMutexLocker lock(&mutex_);
    device_path_ = device;
}

QString SerialComponent::devicePath() const
{
    QMutexLocker lock(&mutex_);
    return device_path_;
}

QString SerialComponent::lastError() const
{
    QMutexLocker lock(&mutex_);
    return last_error_;
}

bool SerialComponent::open()
{
    if (QThread::currentThread() != thread()) {  // the port belongs to the line's thread
        bool opened = false;
        QMetaObject::invokeMethod(
            this, [this, &opened] { opened = open(); }, Qt::BlockingQueuedConnection);
        return opened;
    }
    if (port_.isOpen()) return true;
    const QString path = devicePath();
    const QString device = path.isEmpty() ? board::portDevice(port_number_, deviceMap()) : path;
    const QString label =
        path.isEmpty() ? QStringLiteral("%1 (%2)").arg(board::portName(port_number_), device) : device;
    if (device.isEmpty()) {
        report(
            QStringLiteral("Port de communication %1 inconnu : choisissez COM1 à COM4 (Configuration / Communication)")
                .arg(port_number_));
        return false;
    }
    // A folder, a file or a pipe is refused before the serial library
    // tries its terminal settings on it.
    const board::PortCheck check = board::checkPortDevice(device);
    if (check.access != board::PortAccess::Usable) {
        report(QStringLiteral("%1 : %2").arg(label, check.access == board::PortAccess::Missing
                                                        ? describe(QSerialPort::DeviceNotFoundError)
                                                        : check.reason));
        return false;
    }
    // Another program of the panel (the window, pramelord) has it: say which.
    if (const auto holder = board::portHolder(device)) {
        report(QStringLiteral("%1 : %2").arg(label, board::heldBy(*holder)));
        return false;
    }
    port_.setPortName(device);
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        const auto holder = board::portHolder(device);
        const QString reason = holder ? board::heldBy(*holder) : describe(port_.error());
        port_.clearError();
        report(QStringLiteral("%1 : %2").arg(label, reason));
        return false;
    }
    if (!board::lockPort(int(port_.handle()))) {  // opened at the same moment as another
        port_.close();
        const auto holder = board::portHolder(device);
        report(QStringLiteral("%1 : %2").arg(label, holder ? board::heldBy(*holder) : board::portBusy()));
        return false;
    }
    pending_.clear();
    open_ = true;
    board::last_resort::notePortOpen(int(port_.handle()), QFile::encodeName(device));
    report(QString());
    emit opened(device);
    return true;
}

SerialComponent::~SerialComponent() { close(); }

void SerialComponent::close()
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::BlockingQueuedConnection);
        return;
    }
    open_ = false;
    if (port_.isOpen()) {
        port_.flush();  // what was written goes out before the port closes
        board::last_resort::notePortClosed(int(port_.handle()));
        port_.close();
    }
    pending_.clear();
}

void SerialComponent::setDtrOff()
{
    // A pseudo-terminal has no DTR line: that failure is harmless.
    if (port_.isOpen() && !port_.setDataTerminalReady(false)) port_.clearError();
}

void SerialComponent::discardInput()
{
    if (!port_.isOpen()) return;
    port_.readAll();
    if (!port_.clear(QSerialPort::Input)) port_.clearError();
    pending_.clear();
}

void SerialComponent::write(const QByteArray &bytes)
{
    if (!port_.isOpen()) return;
    port_.write(bytes);  // byte 0 goes out like any other
}

QString SerialComponent::readAll()
{
    if (port_.isOpen()) pending_ += port_.readAll();
    QString received = QString::fromLatin1(pending_);
    pending_.clear();
    return received;
}

void SerialComponent::onErrorOccurred(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::UnsupportedOperationError:  // DTR on a pseudo-terminal
    case QSerialPort::TimeoutError:
    case QSerialPort::OpenError:  // these three are reported by open()
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
        return;
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    default:
        break;
    }
    // The device went away (USB unplugged): close at once, or the port keeps
    // signalling; the next transmission opens it again.
    const QString reason = describe(error);
    const bool wasOpen = port_.isOpen();
    if (wasOpen) {
        open_ = false;
        board::last_resort::notePortClosed(int(port_.handle()));
        port_.close();
    }
    port_.clearError();
    pending_.clear();
    if (wasOpen)
        report(QStringLiteral("%1 : liaison perdue (%2) ; nouvel essai à la prochaine transmission")
                   .arg(devicePath().isEmpty()
                            ? QStringLiteral("%1 (%2)").arg(board::portName(port_number_), port_.portName())
                            : devicePath(),
                        reason));
    emit onComm(kError);
}

void SerialComponent::report(const QString &message)
{
    {
        QMutexLocker lock(&mutex_);
        if (message == last_error_) return;  // said once, not on every retry
        last_error_ = message;
    }
    emit statusChanged(message);
}

QString SerialComponent::describe(QSerialPort::SerialPortError error) const
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return devicePath().isEmpty()
                   ? QStringLiteral("port absent — vérifiez le câble ou la variable PRAMELOR_COM%1").arg(port_number_)
                   : QStringLiteral("port absent — vérifiez le câble");
    case QSerialPort::PermissionError:  // access itself was looked at before opening
        return board::portBusy();
    case QSerialPort::UnsupportedOperationError:  // no terminal settings: a device of another kind
        return board::notASerialPort();
    case QSerialPort::OpenError:
        return QStringLiteral("port déjà ouvert");
    case QSerialPort::ResourceError:
        return QStringLiteral("périphérique débranché");
    case QSerialPort::ReadError:
        return QStringLiteral("erreur de lecture");
    case QSerialPort::WriteError:
        return QStringLiteral("erreur d'écriture");
    default:
        return QStringLiteral("erreur du port (code %1)").arg(int(error));
    }
}
