// Any serial device behind COM1 … COM4: the device chosen for each port, its
// stable name, the "Ports série…" dialog, and the board reached through a
// device attached there, with and without the environment's say.
#include "core/board.h"
#include "link/port_map.h"
#include "link/serial_component.h"
#include "shell/form1.h"
#include "shell/serial_ports_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using board::PortMap;
using board::SerialDevice;

class TestSerialPorts : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    QString userDir() const { return dir_->filePath(QStringLiteral("user")); }
    QString settingsFile() const { return userDir() + QStringLiteral("/pramelor.conf"); }

    std::unique_ptr<Form1> start()
    {
        Form1::Setup s;
        s.programDir = dir_->path();
        s.userDir = userDir();
        s.quitApplication = false;
        auto form = std::make_unique<Form1>(s);
        form->show();
        return form;
    }
    // Opens "Ports série…" from the menu and gives it these devices.
    SerialPortsDialog *openDialog(Form1 &form, const QList<SerialDevice> &present)
    {
        form.findChild<QAction *>(QStringLiteral("n_ports_serie"))->trigger();
        auto *dialog = form.findChild<SerialPortsDialog *>();
        if (dialog) dialog->setDevices(present);
        return dialog;
    }
    static void press(QDialog *dialog, QDialogButtonBox::StandardButton which)
    {
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(which), Qt::LeftButton);
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        for (int n = 1; n <= 4; ++n) qunsetenv(qPrintable(QStringLiteral("PRAMELOR_COM%1").arg(n)));
    }
    void cleanup()
    {
        for (int n = 1; n <= 4; ++n) qunsetenv(qPrintable(QStringLiteral("PRAMELOR_COM%1").arg(n)));
    }

    void deviceOfAPort_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("env");
        QTest::addColumn<QString>("attached");
        QTest::addColumn<QString>("device");
        QTest::newRow("default") << 2 << ""
                                 << ""
                                 << "/dev/ttyS1";
        QTest::newRow("attached") << 1 << ""
                                  << "/dev/ttyUSB0"
                                  << "/dev/ttyUSB0";
        QTest::newRow("environment first") << 1 << "/dev/pts/7"
                                           << "/dev/ttyUSB0"
                                           << "/dev/pts/7";
        QTest::newRow("environment alone") << 4 << "/dev/ttyACM0"
                                           << ""
                                           << "/dev/ttyACM0";
        QTest::newRow("no such port") << 5 << ""
                                      << ""
                                      << "";
    }
    void deviceOfAPort()
    {
        QFETCH(int, number);
        QFETCH(QString, env);
        QFETCH(QString, attached);
        QFETCH(QString, device);
        if (!env.isEmpty()) qputenv(qPrintable(QStringLiteral("PRAMELOR_COM%1").arg(number)), env.toLocal8Bit());
        PortMap map;
        if (number <= 4) map[size_t(number - 1)] = attached;
        QCOMPARE(board::portDevice(number, map), device);
    }

    void mapIsKeptPerUser()
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        board::writePortMap(settings, {QStringLiteral("/dev/ttyUSB0"), QString(), QString(), QStringLiteral(" x ")});
        const PortMap back = board::readPortMap(QSettings(settingsFile(), QSettings::IniFormat));
        QCOMPARE(back[0], QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(back[1], QString());
        QCOMPARE(back[3], QStringLiteral("x"));
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("[ports]\nCOM1=/dev/ttyUSB0"));
    }

    // A device is remembered by the link under by-id that leads to it.
    void stableNameWhenThereIsOne()
    {
        const QString device = dir_->filePath(QStringLiteral("ttyUSB0"));
        const QString other = dir_->filePath(QStringLiteral("ttyUSB1"));
        const QString byId = dir_->filePath(QStringLiteral("by-id"));
        QVERIFY(QDir().mkpath(byId));
        QFile(device).open(QIODevice::WriteOnly);
        QFile(other).open(QIODevice::WriteOnly);
        const QString link = byId + QStringLiteral("/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
        QVERIFY(QFile::link(QStringLiteral("../ttyUSB0"), link));
        QCOMPARE(board::stablePath(device, byId), link);
        QCOMPARE(board::stablePath(other, byId), other);
        QCOMPARE(board::stablePath(QStringLiteral("/dev/absent"), byId), QStringLiteral("/dev/absent"));
    }

    // An unplugged device keeps its line and its port.
    void absentDeviceStaysOffered()
    {
        const QList<SerialDevice> present{{QStringLiteral("/dev/ttyS0"), QStringLiteral("ttyS0"), {}, {}, true}};
        const PortMap map{QStringLiteral("/dev/serial/by-id/usb-X"), QString(), QStringLiteral("/dev/ttyS0"),
                          QString()};
        const QList<SerialDevice> offered = board::offeredDevices(present, map);
        QCOMPARE(offered.size(), 2);
        QCOMPARE(offered.at(1).path, QStringLiteral("/dev/serial/by-id/usb-X"));
        QVERIFY(!offered.at(1).present);
    }

    void dialogListsAndAttaches()
    {
        auto form = start();
        const QList<SerialDevice> present{
            {QStringLiteral("/dev/serial/by-id/usb-Prolific_PL2303-if00-port0"),
             QStringLiteral("USB-Serial Controller"), QStringLiteral("Prolific"), QStringLiteral("AB12"), true},
            {QStringLiteral("/dev/ttyS0"), QStringLiteral("ttyS0"), QString(), QString(), true}};
        SerialPortsDialog *dialog = openDialog(*form, present);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Ports série"));
        auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("devices"));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("Prolific"));
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("AB12"));
        // COM2 takes the chosen line, COM3 a typed path.
        table->selectRow(0);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("take_COM2")), Qt::LeftButton);
        dialog->findChild<QComboBox *>(QStringLiteral("COM3"))->setEditText(QStringLiteral(" /dev/ttyACM0 "));
        press(dialog, QDialogButtonBox::Ok);
        const PortMap saved = board::readPortMap(QSettings(settingsFile(), QSettings::IniFormat));
        QCOMPARE(saved[0], QString());
        QCOMPARE(saved[1], QStringLiteral("/dev/serial/by-id/usb-Prolific_PL2303-if00-port0"));
        QCOMPARE(saved[2], QStringLiteral("/dev/ttyACM0"));
        QCOMPARE(form->MSComm1().deviceMap(), saved);

        // Unplugged at the next start: still listed, still attached.
        form = start();
        QCOMPARE(form->MSComm1().deviceMap(), saved);
        dialog = openDialog(*form, {});
        table = dialog->findChild<QTableWidget *>(QStringLiteral("devices"));
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 4)->text(), QStringLiteral("débranché"));
        QCOMPARE(dialog->findChild<QComboBox *>(QStringLiteral("COM2"))->currentText(), saved[1]);
        press(dialog, QDialogButtonBox::Cancel);
        QCOMPARE(board::readPortMap(QSettings(settingsFile(), QSettings::IniFormat)), saved);
    }

    // The board behind a device attached in the dialog answers from the next
    // transmission; the environment still has the last word.
    void boardReachedThroughTheAttachedDevice()
    {
        const QString link = dir_->filePath(QStringLiteral("adapter"));
        sim::PtyBoard board(link);
        QVERIFY2(board.isPlugged(), qPrintable(board.lastError()));
        auto form = start();
        QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("Image2")), Qt::LeftButton);  // switch on
        QTest::qWait(900);
        QCOMPARE(board.count(sim::Command::Output), 0);  // COM1 is still /dev/ttyS0

        SerialPortsDialog *dialog = openDialog(*form, {});
        dialog->findChild<QComboBox *>(QStringLiteral("COM1"))->setEditText(link);
        press(dialog, QDialogButtonBox::Ok);
        QVERIFY(form->statusText().contains(link));
        QTRY_VERIFY_WITH_TIMEOUT(board.count(sim::Command::Output) >= 1, 3000);

        // A wrong device attached, the environment's right one wins.
        form.reset();
        QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("ports/COM1"), "/dev/absent");
        qputenv("PRAMELOR_COM1", link.toLocal8Bit());
        const int before = board.count(sim::Command::Output);
        form = start();
        QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("Image2")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(board.count(sim::Command::Output) > before, 3000);
    }
};

QTEST_MAIN(TestSerialPorts)
#include "test_serial_ports.moc"
