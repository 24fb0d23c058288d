#pragma once
// The serial-port component of the window: the few operations the panel needs,
// over QSerialPort at 9600 8N1 without handshaking. Failures never stop the
// panel: they are turned into one French sentence for the status line.

#include "link/port_map.h"

#include <QMutex>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <atomic>

class SerialComponent : public QObject {
    Q_OBJECT
public:
    static constexpr int kReceived = 2;  // event kind: characters received
    static constexpr int kError = 1001;  // event kind: the line failed

    explicit SerialComponent(QObject *parent = nullptr);
    ~SerialComponent() override;

    // The settings and the state below are safe from any thread; close()
    // from another thread waits for the port's own thread to close it. The
    // rest belongs to the port's thread.
    void setPortNumber(int number) { port_number_ = number; }
    int portNumber() const { return port_number_; }
    // The devices the user attached to COM1 … COM4, used from the next opening.
    void setDeviceMap(const board::PortMap &map);
    board::PortMap deviceMap() const;
    bool isOpen() const { return open_; }
    QString lastError() const;
    // A device opened instead of COMn's (pramelord's "port=/dev/…"); empty: COMn.
    void setDevicePath(const QString &device);
    QString devicePath() const;
    void close();

    bool open();  // false when it cannot; the reason goes to statusChanged
    void setDtrOff();
    void discardInput();
    void write(const QByteArray &bytes);
    QString readAll();  // one character per byte received

signals:
    void onComm(int kind);
    void statusChanged(const QString &message);  // empty: the link works again
    void opened(const QString &device);

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void report(const QString &message);
    QString describe(QSerialPort::SerialPortError error) const;

    QSerialPort port_;
    std::atomic<int> port_number_ = 1;
    std::atomic<bool> open_ = false;
    mutable QMutex mutex_;
    board::PortMap device_map_;
    QString device_path_;
    QString last_error_;
    QByteArray pending_;  // read from the port, not yet delivered
};
