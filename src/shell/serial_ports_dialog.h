#pragma once
// "Ports série…": the serial devices present, with what the system says of
// them, and the device attached to each of COM1 … COM4, chosen from the list
// or typed. The port dialog "Communication" still chooses among COM1 … COM4.

#include "link/port_map.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QTableWidget;

class SerialPortsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SerialPortsDialog(const board::PortMap &map, QWidget *parent = nullptr);

    // Lists these devices (the system's by default) and offers them to each port.
    void setDevices(const QList<board::SerialDevice> &present);
    // The devices attached as the dialog shows them; empty: the default. A
    // typed path is kept under its stable name when it has one.
    board::PortMap portMap() const;
    // Says which port the panel uses now, and its device.
    void setCurrentPort(int number);
    // Where the stable names are (the system's /dev/serial/by-id by default).
    void setByIdFolder(const QString &folder) { by_id_ = folder; }

private:
    void refresh();
    void attachSelected(int number);

    board::PortMap map_;
    QString by_id_ = QStringLiteral("/dev/serial/by-id");
    QLabel *current_ = nullptr;
    QTableWidget *devices_ = nullptr;
    std::array<QComboBox *, 4> choice_{};
};
