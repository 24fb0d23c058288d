// Any serial device behind COM1 … COM4: the device chosen for each port, its
// stable name, the "Ports série…" dialog, and the board reached through a
// device attached there, with and without the environment's say.
#include "core/board.h"
#include "link/port_check.h"
#include "link/port_map.h"
#include "link/serial_component.h"
#include "shell/form1.h"
#include "shell/serial_ports_dialog.h"
#include "support/file_faults.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <grp.h>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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
    // A device file and the link under a by-id folder that leads to it.
    QString byIdLink(const QString &byId)
    {
        QDir().mkpath(byId);
        QFile(dir_->filePath(QStringLiteral("ttyUSB0"))).open(QIODevice::WriteOnly);
        const QString link = byId + QStringLiteral("/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
        QFile::link(QStringLiteral("../ttyUSB0"), link);
        return link;
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
        const auto row = [](const char *name, int number, const char *env, const char *attached, const char *device) {
            QTest::newRow(name) << number << QString::fromLatin1(env) << QString::fromLatin1(attached)
                                << QString::fromLatin1(device);
        };
        row("default", 2, "", "", "/dev/ttyS1");
        row("attached", 1, "", "/dev/ttyUSB0", "/dev/ttyUSB0");
        row("environment first", 1, "/dev/pts/7", "/dev/ttyUSB0", "/dev/pts/7");
        row("environment alone", 4, "/dev/ttyACM0", "", "/dev/ttyACM0");
        row("no such port", 5, "", "", "");
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

    // A path typed for a port is kept under its stable name too, when one
    // leads to the same device; one without stays as typed.
    void typedPathTakesItsStableName()
    {
        const QString byId = dir_->filePath(QStringLiteral("by-id")), link = byIdLink(byId);
        auto form = start();
        SerialPortsDialog *dialog = openDialog(*form, {});
        dialog->setByIdFolder(byId);
        dialog->findChild<QComboBox *>(QStringLiteral("COM2"))->setEditText(dir_->filePath(QStringLiteral("ttyUSB0")));
        dialog->findChild<QComboBox *>(QStringLiteral("COM3"))->setEditText(QStringLiteral("/dev/ttyACM7"));
        press(dialog, QDialogButtonBox::Ok);
        const PortMap saved = board::readPortMap(QSettings(settingsFile(), QSettings::IniFormat));
        QCOMPARE(saved[1], link);
        QCOMPARE(saved[2], QStringLiteral("/dev/ttyACM7"));
        QCOMPARE(board::stablePath(QStringLiteral("/dev/absent"), byId), QStringLiteral("/dev/absent"));
    }

    // What the list says of a device attached to a port that the system does
    // not report, and which port the panel uses now.
    void stateOfAnAttachedDevice_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("state");
        const QString notAPort = QStringLiteral("ce n'est pas un port série (c'est un %1)");
        QTest::newRow("unplugged") << "missing" << QStringLiteral("débranché");
        QTest::newRow("a file") << "file" << notAPort.arg(QStringLiteral("fichier"));
        QTest::newRow("a folder") << "folder" << notAPort.arg(QStringLiteral("dossier"));
        QTest::newRow("a terminal the system does not list") << "chardev" << QStringLiteral("présent");
    }
    void stateOfAnAttachedDevice()
    {
        QFETCH(QString, kind);
        QString path = dir_->filePath(QStringLiteral("dev"));
        if (kind == u"file") QFile(path).open(QIODevice::WriteOnly);
        if (kind == u"folder") QVERIFY(QDir().mkpath(path));
        if (kind == u"chardev") path = QStringLiteral("/dev/null");
        QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("ports/COM2"), path);
        auto form = start();
        SerialPortsDialog *dialog = openDialog(*form, {});
        auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("devices"));
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 0)->text(), path);
        QTEST(table->item(0, 4)->text(), "state");
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("current"))->text(),
                 QStringLiteral("Le panneau utilise maintenant COM1 : /dev/ttyS0."));
        press(dialog, QDialogButtonBox::Cancel);
    }

    // A device the user may not open: the dialout hint only for a process
    // that is not in the group yet (the groups it runs with, not the group
    // file: a user just added has it from the next login).
    void refusedDeviceHint_data()
    {
        QTest::addColumn<bool>("inDialout");
        QTest::addColumn<QString>("hint");
        QTest::newRow("not in dialout") << false << "ajoutez l'utilisateur au groupe dialout, puis reconnectez-vous";
        QTest::newRow("in dialout") << true << "le groupe dialout n'a pas accès à ce périphérique";
    }
    void refusedDeviceHint()
    {
        QFETCH(bool, inDialout);
        QFETCH(QString, hint);
        const struct group *dialout = getgrnam("dialout");
        const struct passwd *nobody = getpwnam("nobody");
        if (!dialout || !nobody || geteuid() != 0) QSKIP("needs root, a dialout group and a nobody user");
        // A terminal-like device only its owner may open.
        const QByteArray node = QFile::encodeName(dir_->filePath(QStringLiteral("ttyX")));
        if (mknod(node.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) QSKIP("cannot make a device node here");
        QVERIFY(QFile::setPermissions(dir_->path(), QFileDevice::Permissions(0x7755)));
        // In a child that becomes user nobody, in dialout or not.
        const panel::ChildResult r = panel::withFileSizeLimit(RLIM_INFINITY, [&](QString &said) {
            const gid_t groups[] = {dialout->gr_gid};
            if (setgroups(inDialout ? 1 : 0, groups) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
                return false;
            said = board::checkPortDevice(QFile::decodeName(node)).reason;
            return true;
        });
        QVERIFY(r.exited && r.ok);
        QCOMPARE(r.message, QStringLiteral("accès refusé — ") + hint);
        QCOMPARE(board::refusedHint(inDialout), hint);
    }

    void processGroups()
    {
        const struct group *own = getgrgid(getegid());
        QVERIFY(own);
        QVERIFY(board::processInGroup(own->gr_name));
        QVERIFY(!board::processInGroup("no-such-group-here"));
    }

    // The board behind a device attached in the dialog answers from the next
    // transmission (the environment's last word: deviceOfAPort).
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
    }
};

QTEST_MAIN(TestSerialPorts)
#include "test_serial_ports.moc"
