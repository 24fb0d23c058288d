// The bench on its own, without any window: the output byte the board hears
// after each way of switching the outputs, the timetable at its second, what
// the last-resort handler is told is owed, and the request of one frame held
// while the other's is in flight. The board is the simulator on a
// pseudo-terminal; the clock is set by hand.
#include "core/board.h"
#include "engine/bench.h"
#include "link/last_resort.h"
#include "link/protocol.h"
#include "link/serial_component.h"
#include "support/fake_clock.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

class TestEngine : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clock;
    std::unique_ptr<sim::PtyBoard> board;
    std::unique_ptr<Bench> bench;

    QTimer *timer(const char *name) { return bench->findChild<QTimer *>(QString::fromLatin1(name)); }
    // The last output byte the board received, once it has come.
    int boardByte(int count)
    {
        if (!QTest::qWaitFor([&] { return board->count(sim::Command::Output) >= count; }, 2000)) return -1;
        for (auto it = board->received().rbegin(); it != board->received().rend(); ++it)
            if (it->kind == sim::Command::Output) return it->byte;
        return -1;
    }

private slots:
    void init()
    {
        clock = FakeClock();
        const QString link = dir.filePath(QStringLiteral("com1"));
        qputenv("PRAMELOR_COM1", link.toLocal8Bit());
        board = std::make_unique<sim::PtyBoard>(link);
        QVERIFY(board->isPlugged());
        bench = std::make_unique<Bench>(clock);
        bench->serial().setPortNumber(1);
    }
    void cleanup()
    {
        bench.reset();
        board.reset();
        board::last_resort::setOwed(false);
    }

    // Actions: a digit toggles that output (0 = output 1), "+" all on, "-" all off, "~" inverts.
    void outputByte_data()
    {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("byte");
        for (auto [name, actions, byte] : {std::tuple{"nothing", "", 0x00},
                                           {"output 1", "0", 0x01},
                                           {"outputs 1 and 3", "02", 0x05},
                                           {"output 8 twice", "77", 0x00},
                                           {"all on", "+", 0xFF},
                                           {"all on, all off", "+-", 0x00},
                                           {"outputs 1 and 3 inverted", "02~", 0xFA},
                                           {"all off inverted", "-~", 0xFF}})
            QTest::newRow(name) << QString::fromLatin1(actions) << byte;
    }
    void outputByte()
    {
        QFETCH(QString, actions);
        QFETCH(int, byte);
        QSignalSpy changed(bench.get(), &Bench::outputsChanged);
        for (QChar a : actions) {
            if (a.isDigit())
                bench->toggleOutput(a.digitValue());
            else if (a == u'+')
                bench->allOutputsOn();
            else if (a == u'-')
                bench->allOutputsOff();
            else
                bench->invertOutputs();
        }
        QCOMPARE(bench->outputByte(), byte);
        if (actions.isEmpty()) QCOMPARE(changed.count(), 0);
        bench->Timer4_Timer();  // the output command
        QCOMPARE(boardByte(1), byte);
        QCOMPARE(bench->lastWritten(), board::outputCommand(quint8(byte)));
        bench->allOutputsOff();
        QVERIFY(!bench->serial().isOpen());  // all off closes the port
    }

    void timetable_data()
    {
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("the start second") << "07:30:00" << true << false << true;
        QTest::newRow("the end second") << "07:45:00" << true << true << false;
        QTest::newRow("between the two") << "07:40:00" << true << false << false;
        QTest::newRow("a second late") << "07:30:01" << true << false << false;
        QTest::newRow("not automatic") << "07:30:00" << false << false << false;
    }
    void timetable()
    {
        QFETCH(QString, now);
        QFETCH(bool, automatic);
        QFETCH(bool, before);
        QFETCH(bool, after);
        clock.time = QTime::fromString(now, QStringLiteral("HH:mm:ss"));
        if (before) bench->toggleOutput(3);
        Bench::Timetable rows;
        rows[3] = {QStringLiteral("07:30:00"), QStringLiteral("07:45:00"), automatic};
        bench->setTimetable(rows);
        bench->Timer1_Timer();
        QCOMPARE(bench->output(3), after);
        QCOMPARE(bench->outputByte(), after ? 0x08 : 0x00);
    }

    // What the handler that runs when the process dies without its shutdown
    // is told: the all-off command is owed while a relay may be on.
    void owedAllOff()
    {
        bench->allOutputsOn();
        bench->Timer4_Timer();
        QCOMPARE(boardByte(1), 0xFF);
        QVERIFY(board::last_resort::owed());
        bench->allOutputsOff();
        bench->Timer4_Timer();
        QCOMPARE(boardByte(2), 0x00);
        QVERIFY(!board::last_resort::owed());

        bench->flipSwitch();  // on: owed until the orderly shutdown has ended
        QCOMPARE(bench->marche(), 1);
        QVERIFY(board::last_resort::owed());
        bench->toggleOutput(5);
        bench->Timer4_Timer();
        QCOMPARE(boardByte(3), 0x20);

        QSignalSpy stopping(bench.get(), &Bench::stopping);
        bench->beginShutdown();
        QCOMPARE(stopping.count(), 1);
        QVERIFY(bench->allOffDue());
        QCOMPARE(bench->outputByte(), 0x00);
        QVERIFY(timer("Timer4")->isActive());
        QVERIFY(!timer("Timer1")->isActive());
        QVERIFY(board::last_resort::owed());
        bench->finish();  // before Timer4 had its turn: the all-off goes out now
        QVERIFY(bench->hasEnded());
        QCOMPARE(bench->lastWritten(), board::outputCommand(0));
        QVERIFY(!bench->serial().isOpen());
        QVERIFY(!board::last_resort::owed());
        QCOMPARE(boardByte(4), 0x00);
    }

    // One frame's start while the other's acquisition awaits its decoding
    // waits for that decoding, then goes on.
    void heldStart()
    {
        QVERIFY(bench->beginRequest(Channel::Analog));  // switch off: nothing to do
        QVERIFY(!timer("Timer2")->isActive());
        bench->flipSwitch();
        QVERIFY(timer("Timer4")->isActive());
        QVERIFY(bench->beginRequest(Channel::Analog));
        QVERIFY(timer("Timer2")->isActive());
        QVERIFY(!timer("Timer4")->isActive());  // paused until the request is sent
        QVERIFY(!bench->beginRequest(Channel::Logic));
        QVERIFY(bench->gate().held(Channel::Logic));
        QVERIFY(!timer("Timer8")->isActive());

        QSignalSpy sent(bench.get(), &Bench::requestSent);
        bench->Timer2_Timer();
        QCOMPARE(sent.count(), 1);
        QCOMPARE(bench->buffer(), QStringLiteral("nA"));
        QVERIFY(QTest::qWaitFor([&] { return board->count(sim::Command::Analog) == 1; }, 2000));

        QSignalSpy released(bench.get(), &Bench::heldStartReleased);
        bench->decodingDone(Channel::Analog);
        QCOMPARE(released.count(), 1);
        QCOMPARE(released.at(0).at(0).value<Channel>(), Channel::Logic);
        QVERIFY(timer("Timer8")->isActive());
        QVERIFY(!bench->gate().held(Channel::Logic));
        bench->beginShutdown();
        bench->finish();
    }

    // Starts so close together that Timer4 never fires: an output command
    // that is due goes out before the request pauses it.
    void dueOutputCommandBeforeARequest()
    {
        bench->flipSwitch();
        bench->toggleOutput(0);
        clock.advance(799);
        QVERIFY(bench->beginRequest(Channel::Analog));
        QVERIFY(bench->lastWritten().isEmpty());
        bench->decodingDone(Channel::Analog);
        clock.advance(1);
        QVERIFY(bench->beginRequest(Channel::Logic));
        QCOMPARE(bench->lastWritten(), board::outputCommand(0x01));
        bench->beginShutdown();
        bench->finish();
    }

    void decodingDelay_data()
    {
        QTest::addColumn<Channel>("channel");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("values");
        QTest::newRow("analog") << Channel::Analog << "Timer5" << 1100 << "s1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200"
                                << "200.|0.|255.|12.|1.|2.|3.|200.";
        QTest::newRow("logic") << Channel::Logic << "Timer7" << 500 << "E:165"
                               << "1|0|1|0|0|1|0|1";
    }
    // The board answers in pieces: the frame decodes the buffer as it stands
    // when the delay after its request runs out, with the request's time and
    // the coefficients of that moment, and only then is the line free for the
    // other frame's start.
    void decodingDelay()
    {
        QFETCH(Channel, channel);
        QFETCH(QString, delay);
        QFETCH(int, ms);
        QFETCH(QString, reply);
        QFETCH(QString, values);
        const bool analog = channel == Channel::Analog;
        const Channel other = analog ? Channel::Logic : Channel::Analog;
        QStringList heard;
        connect(&bench->frame(channel), &FrameEngine::valuesDecoded, this, [&](const acquisition::Acquired &a) {
            heard << QStringList(a.values.begin(), a.values.end()).join(u'|') << a.time.toString(Qt::ISODateWithMs)
                  << QString::number(bench->gate().held(other));
        });
        bench->flipSwitch();
        QVERIFY(bench->beginRequest(channel));
        QVERIFY(!bench->beginRequest(other));
        clock.advance(400);
        const QString asked = clock.now().toString(Qt::ISODateWithMs);
        analog ? bench->Timer2_Timer() : bench->Timer8_Timer();
        QTimer *decoder = timer(qPrintable(delay));
        QVERIFY(decoder->isActive());
        QCOMPARE(decoder->interval(), ms);
        const int id = decoder->timerId();
        analog ? bench->Timer2_Timer() : bench->Timer8_Timer();  // a running delay is left alone
        QCOMPARE(decoder->timerId(), id);
        bench->appendToBuffer(reply.left(3));
        clock.advance(ms);
        bench->appendToBuffer(reply.mid(3));
        bench->analog().setCoefficient(1, QStringLiteral("2"));  // typed while the reply came
        QVERIFY(heard.isEmpty());
        QSignalSpy released(bench.get(), &Bench::heldStartReleased);
        analog ? bench->Timer5_Timer() : bench->Timer7_Timer();
        QCOMPARE(heard, QStringList({values, asked, "1"}));
        QVERIFY(!decoder->isActive());
        QCOMPARE(released.count(), 1);
        bench->beginShutdown();
        bench->finish();
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
