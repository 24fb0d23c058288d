// The window against the simulated board over a real pseudo-terminal: what
// the board receives when a person works the switch, the buttons and the port.
#include "support/panel_fixture.h"

using sim::Command;

class TestShellE2e : public QObject {
    Q_OBJECT
    panel::Bench b;
    QString answer;

    std::vector<sim::Received> outputs() const { return b.of(Command::Output); }
    void clickSwitch() { b.click(QStringLiteral("Image2")); }
    QWidget *child(const char *name) const { return b.child<QWidget>(QString::fromLatin1(name)); }

private slots:
    void init()
    {
        QVERIFY(b.open(1, [this](Form1::Setup &s) {
            s.askText = [this](const QString &, const QString &, const QString &) { return answer; };
        }));
    }
    void cleanup() { b.close(); }

    void switchOnSendsTheLampsEvery800ms()
    {
        QTest::mousePress(child("Command1_0"), Qt::LeftButton);
        const qint64 on = b.board->nowMs();  // counted from the click, not from the window's creation
        clickSwitch();
        QVERIFY(child("Shape2")->isVisible());
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
        b.click(QStringLiteral("Command10"));
        QTRY_COMPARE_WITH_TIMEOUT(b.board->relays(), 0xFF, 1200);
    }

    void switchOffSendsAllOffThenNothing()
    {
        b.click(QStringLiteral("Command10"));
        clickSwitch();
        QTRY_COMPARE_WITH_TIMEOUT(b.board->relays(), 0xFF, 1500);
        const qint64 off = b.board->nowMs();
        clickSwitch();  // returns after its one-second wait
        QVERIFY(!child("Shape2")->isVisible());
        QCOMPARE(b.board->relays(), 0x00);
        QVERIFY(outputs().back().tMs - off <= 1000);
        const size_t count = outputs().size();
        QTest::qWait(1700);
        QCOMPARE(outputs().size(), count);
    }

    // Without a mouse: Space on the focused switch, as a click, and the board
    // hears the output command; Enter turns it off and the relays go off.
    void switchByKeyboard()
    {
        QWidget *image2 = child("Image2");
        b.click(QStringLiteral("Command10"));
        image2->setFocus();
        QTest::keyClick(image2, Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(b.board->relays(), 0xFF, 1500);
        QTest::keyClick(image2, Qt::Key_Return);  // returns after its one-second wait
        QCOMPARE(b.board->relays(), 0x00);
        QCOMPARE(b.form->marche(), 0);
    }

    void quittingWithTheSwitchOnSendsAllOff()
    {
        b.click(QStringLiteral("Command10"));
        clickSwitch();
        QTRY_COMPARE_WITH_TIMEOUT(b.board->relays(), 0xFF, 1500);
        b.form->close();  // "Quitter" does the same
        // The lamps turn grey at once; the window closes after about a second.
        QVERIFY(b.form->isVisible());
        QCOMPARE(b.form->lamps()[0], QColor(0xC0, 0xC0, 0xC0));
        QTRY_VERIFY_WITH_TIMEOUT(b.form->hasEnded(), 2000);
        QVERIFY(!b.form->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(b.board->relays(), 0x00, 500);
        QVERIFY(!b.form->MSComm1().isOpen());
    }

    void quittingWithTheSwitchOffSendsNothing()
    {
        b.form->close();
        QTRY_VERIFY_WITH_TIMEOUT(b.form->hasEnded(), 2000);
        QTest::qWait(100);
        QCOMPARE(b.board->received().size(), size_t(0));
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
        QTRY_VERIFY_WITH_TIMEOUT(b.form->MSComm1().isOpen(), 1500);
        answer = typed;
        b.form->n_port_Click();
        QVERIFY(!b.form->MSComm1().isOpen());  // closed whatever the answer
        QCOMPARE(b.form->MSComm1().portNumber(), port);
    }

    void analogReplyInPiecesLandsWholeAfterTheRequest()
    {
        b.board->setAnalogValues({100, 0, 255, 12, 1, 2, 3, 200});
        b.board->setReplyPieces(3);
        clickSwitch();
        b.form->bench().beginRequest(Channel::Analog);
        QCOMPARE(b.form->receiveBuffer(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(b.form->receiveBuffer().endsWith(u"\r\n"), 2000);
        QCOMPARE(b.form->receiveBuffer(), QStringLiteral("nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200\r\n"));
        QCOMPARE(b.board->count(Command::Analog), 1);
    }

    void logicRequestKeepsWhatTheBufferHeld()
    {
        b.board->setLogicByte(165);
        clickSwitch();
        b.form->bench().beginRequest(Channel::Logic);
        QTRY_VERIFY_WITH_TIMEOUT(b.form->receiveBuffer().contains(u"E:165"), 2000);
        QCOMPARE(b.form->receiveBuffer(), QStringLiteral("E:165\r\n"));
    }

    void absentPortKeepsThePanelRunning()
    {
        b.board.reset();  // nothing behind the link
        clickSwitch();
        QTRY_VERIFY_WITH_TIMEOUT(b.form->statusText().startsWith(u"COM1"), 2000);
        const QString said = b.form->statusText();
        QVERIFY2(said.contains(b.linkPath()), qPrintable(said));
        // The board appears: the next transmission finds it.
        b.board = std::make_unique<sim::PtyBoard>(b.linkPath());
        QTRY_VERIFY_WITH_TIMEOUT(b.board->count(Command::Output) >= 1, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(b.form->statusText(), QString(), 1000);
    }

    void unplugWhileRunningThenResume()
    {
        clickSwitch();
        QTRY_VERIFY_WITH_TIMEOUT(b.board->count(Command::Output) >= 1, 1500);
        b.board->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!b.form->statusText().isEmpty(), 3000);
        QVERIFY(!b.form->MSComm1().isOpen() || b.form->statusText().contains(u"COM1"));
        const int before = b.board->count(Command::Output);
        QVERIFY(b.board->plug());
        const qint64 back = b.board->nowMs();
        QTRY_VERIFY_WITH_TIMEOUT(b.board->count(Command::Output) > before, 2000);
        QVERIFY2(b.board->received().back().tMs - back <= 1000, "output commands resume within a second");
        QCOMPARE(b.board->junkBytes(), 0);  // never half a command
    }
};

QTEST_MAIN(TestShellE2e)
#include "test_shell_e2e.moc"
