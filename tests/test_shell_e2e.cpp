// The window against the simulated board over a real pseudo-terminal: what
// the board receives when a person works the switch, the buttons and the port.
#include "core/board.h"
#include "link/serial_component.h"
#include "shell/form1.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using sim::Command;

class TestShellE2e : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<sim::PtyBoard> board;
    std::unique_ptr<Form1> form;
    QString answer;

    QString linkPath() const { return dir.filePath(QStringLiteral("com1")); }
    std::vector<sim::Received> outputs() const
    {
        std::vector<sim::Received> out;
        for (const auto &r : board->received())
            if (r.kind == Command::Output) out.push_back(r);
        return out;
    }
    void clickSwitch() { QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("Image2")), Qt::LeftButton); }

private slots:
    void init()
    {
        qputenv("PRAMELOR_COM1", linkPath().toLocal8Bit());
        board = std::make_unique<sim::PtyBoard>(linkPath());
        QVERIFY2(board->isPlugged(), qPrintable(board->lastError()));
        Form1::Setup setup;
        setup.programDir = dir.path();
        setup.quitApplication = false;
        setup.askText = [this](const QString &, const QString &, const QString &) { return answer; };
        form = std::make_unique<Form1>(setup);
        form->show();
    }
    void cleanup()
    {
        form.reset();
        board.reset();
    }

    void switchOnSendsTheLampsEvery800ms()
    {
        QTest::mousePress(form->findChild<QWidget *>(QStringLiteral("Command1_0")), Qt::LeftButton);
        const qint64 on = board->nowMs();  // counted from the click, not from the window's creation
        clickSwitch();
        QVERIFY(form->findChild<QWidget *>(QStringLiteral("Shape2"))->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(outputs().size() >= 3, 3000);
        auto seen = outputs();
        QCOMPARE(seen.front().byte, 0x01);
        // Timing is not checked in the much slower sanitizer build.
        if (qEnvironmentVariableIsEmpty("PRAMELOR_SANITIZED"))
            QVERIFY2(seen.front().tMs - on < 900, qPrintable(QStringLiteral("%1 ms").arg(seen.front().tMs - on)));
        for (size_t i = 1; i < seen.size(); ++i) {
            const qint64 gap = seen[i].tMs - seen[i - 1].tMs;
            QVERIFY2(gap > 600 && gap < 1000, qPrintable(QString::number(gap)));
        }
        // A lamp change shows in the next command.
        QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("Command10")), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0xFF, 1200);
    }

    void switchOffSendsAllOffThenNothing()
    {
        QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("Command10")), Qt::LeftButton);
        clickSwitch();
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0xFF, 1500);
        const qint64 off = board->nowMs();
        clickSwitch();  // returns after its one-second wait
        QVERIFY(!form->findChild<QWidget *>(QStringLiteral("Shape2"))->isVisible());
        QCOMPARE(board->relays(), 0x00);
        QVERIFY(outputs().back().tMs - off <= 1000);
        const size_t count = outputs().size();
        QTest::qWait(1700);
        QCOMPARE(outputs().size(), count);
    }

    // Without a mouse: Space on the focused switch, as a click, and the board
    // hears the output command; Enter turns it off and the relays go off.
    void switchByKeyboard()
    {
        QWidget *image2 = form->findChild<QWidget *>(QStringLiteral("Image2"));
        QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("Command10")), Qt::LeftButton);
        image2->setFocus();
        QTest::keyClick(image2, Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0xFF, 1500);
        QTest::keyClick(image2, Qt::Key_Return);  // returns after its one-second wait
        QCOMPARE(board->relays(), 0x00);
        QCOMPARE(form->marche(), 0);
    }

    void quittingWithTheSwitchOnSendsAllOff()
    {
        QTest::mouseClick(form->findChild<QWidget *>(QStringLiteral("Command10")), Qt::LeftButton);
        clickSwitch();
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0xFF, 1500);
        form->close();  // "Quitter" does the same
        // The lamps turn grey at once; the window closes after about a second.
        QVERIFY(form->isVisible());
        QCOMPARE(form->lamps()[0], QColor(0xC0, 0xC0, 0xC0));
        QTRY_VERIFY_WITH_TIMEOUT(form->hasEnded(), 2000);
        QVERIFY(!form->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0x00, 500);
        QVERIFY(!form->MSComm1().isOpen());
    }

    void quittingWithTheSwitchOffSendsNothing()
    {
        form->close();
        QTRY_VERIFY_WITH_TIMEOUT(form->hasEnded(), 2000);
        QTest::qWait(100);
        QCOMPARE(board->received().size(), size_t(0));
    }

    void portDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("port");
        QTest::newRow("lower case accepted") << "com3" << 3;
        QTest::newRow("blank in front refused") << " COM3" << 1;
        QTest::newRow("blank inside refused") << "COM 3" << 1;
        QTest::newRow("fifth port refused") << "COM5" << 1;
        QTest::newRow("cancel") << "" << 1;
    }
    void portDialog()
    {
        QFETCH(QString, typed);
        QFETCH(int, port);
        clickSwitch();
        QTRY_VERIFY_WITH_TIMEOUT(form->MSComm1().isOpen(), 1500);
        answer = typed;
        form->n_port_Click();
        QVERIFY(!form->MSComm1().isOpen());  // closed whatever the answer
        QCOMPARE(form->MSComm1().portNumber(), port);
    }

    void analogReplyInPiecesLandsWholeAfterTheRequest()
    {
        board->setAnalogValues({100, 0, 255, 12, 1, 2, 3, 200});
        board->setReplyPieces(3);
        clickSwitch();
        form->bench().beginRequest(Channel::Analog);
        QCOMPARE(form->receiveBuffer(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(form->receiveBuffer().endsWith(u"\r\n"), 2000);
        QCOMPARE(form->receiveBuffer(), QStringLiteral("nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200\r\n"));
        QCOMPARE(board->count(Command::Analog), 1);
    }

    void logicRequestKeepsWhatTheBufferHeld()
    {
        board->setLogicByte(165);
        clickSwitch();
        form->bench().beginRequest(Channel::Logic);
        QTRY_VERIFY_WITH_TIMEOUT(form->receiveBuffer().contains(u"E:165"), 2000);
        QCOMPARE(form->receiveBuffer(), QStringLiteral("E:165\r\n"));
    }

    void absentPortKeepsThePanelRunning()
    {
        board.reset();  // nothing behind the link
        clickSwitch();
        QTRY_VERIFY_WITH_TIMEOUT(form->statusText().startsWith(u"COM1"), 2000);
        const QString said = form->statusText();
        QVERIFY2(said.contains(linkPath()), qPrintable(said));
        // The board appears: the next transmission finds it.
        board = std::make_unique<sim::PtyBoard>(linkPath());
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) >= 1, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(form->statusText(), QString(), 1000);
    }

    void unplugWhileRunningThenResume()
    {
        clickSwitch();
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) >= 1, 1500);
        board->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!form->statusText().isEmpty(), 3000);
        QVERIFY(!form->MSComm1().isOpen() || form->statusText().contains(u"COM1"));
        const int before = board->count(Command::Output);
        QVERIFY(board->plug());
        const qint64 back = board->nowMs();
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) > before, 2000);
        QVERIFY2(board->received().back().tMs - back <= 1000, "output commands resume within a second");
        QCOMPARE(board->junkBytes(), 0);  // never half a command
    }
};

QTEST_MAIN(TestShellE2e)
#include "test_shell_e2e.moc"
