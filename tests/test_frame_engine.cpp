// The two frame engines without any window, on a stand-in line and a clock
// set by hand: the cyclic and programmed modes, the "Auto" boxes,
// memorisation, and the decoding steps writing the values, the tables and
// the status sentences.

#include "acquisition/tables.h"
#include "engine/frame_engine.h"
#include "engine/journal_recorder.h"
#include "support/both_locales.h"
#include "support/fake_line.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <dlfcn.h>

// Every fsync of this process counted, then done: whether the journal's
// lines are asked onto the disk.
static std::atomic<int> fsyncs{0};
extern "C" int fsync(int fd)
{
    static const auto next = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    ++fsyncs;
    return next(fd);
}

namespace {

using Programme = FrameEngine::Programme;

const char *const kAnalogReply = "nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200";

// Both frames, and a status line that keeps what it was told.
struct Bed : FrameBed {
    QStringList statuses;

    Bed()
    {
        for (FrameEngine *f : {&analog, &logic}) {
            QObject::connect(f, &FrameEngine::statusChanged, [this](const QString &m) { statuses << m; });
            QObject::connect(f, &FrameEngine::statusWithdrawn, [this](const QString &m) {
                if (status() == m) statuses << QString();
            });
        }
    }
    FrameEngine &frame(bool isAnalog) { return isAnalog ? analog : logic; }
    QString status() const { return statuses.isEmpty() ? QString() : statuses.last(); }
    static QTimer *timer(FrameEngine &f, const char *name) { return f.findChild<QTimer *>(QString::fromLatin1(name)); }
    static QTimer *programmedTimer(FrameEngine &f) { return timer(f, f.isAnalog() ? "Timer6" : "Timer9"); }
    void decode(FrameEngine &f, const QString &buffer) { f.decode(buffer, line.clk.now()); }
    // Time passes second by second; the wait's timer is served whenever it runs.
    void runCyclic(FrameEngine &f, int seconds, const std::function<void(int)> &at = {})
    {
        for (int s = 1; s <= seconds; ++s) {
            line.clk.advance(1000);
            if (at) at(s);
            if (timer(f, "cyclicWait")->isActive()) f.cyclicWaitTick();
        }
    }
    // Time passes by half seconds, the programmed check ticking while armed.
    void runProgrammed(FrameEngine &f, int halfSeconds)
    {
        for (int i = 0; i < halfSeconds; ++i) {
            line.clk.advance(500);
            if (programmedTimer(f)->isActive()) f.programmedCheck();
        }
    }
};

void bothFrames()
{
    QTest::addColumn<bool>("analog");
    QTest::newRow("analog") << true;
    QTest::newRow("logic") << false;
}

QStringList values(const acquisition::Acquired &a) { return QStringList(a.values.begin(), a.values.end()); }
QStringList shown(const FrameEngine &f)
{
    const auto s = f.shown();
    return QStringList(s.begin(), s.end());
}

}  // namespace

class TestFrameEngine : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void cyclicEveryTenSeconds_data() { bothFrames(); }
    void cyclicEveryTenSeconds()
    {
        QFETCH(bool, analog);
        Bed b;
        FrameEngine &f = b.frame(analog);
        QSignalSpy closed(&f, &FrameEngine::panelClosed);
        QVERIFY(f.setCyclic(5));  // "Toutes les 10 secondes" at 12:00:00
        QCOMPARE(f.programme(), Programme::Armed);
        QVERIFY(b.programmedTimer(f)->isActive());
        QCOMPARE(closed.count(), 1);
        QTimer *wait = b.timer(f, "cyclicWait");
        QCOMPARE(wait->interval(), 10000);  // a timer, not a busy wait
        b.runCyclic(f, 40, [&](int s) {
            if (s == 23) f.cancel();
        });
        const QString c = analog ? "A " : "L ";
        QCOMPARE(b.line.starts, QStringList({c + "12:00:10", c + "12:00:20", c + "12:00:30"}));
        QVERIFY(!wait->isActive());
        QVERIFY(!b.programmedTimer(f)->isActive());
        QCOMPARE(f.programme(), Programme::Idle);
    }

    void heldCyclicStartDelaysTheNextWait_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("cancelWhileHeld");
        QTest::addColumn<QStringList>("starts");
        QTest::newRow("analog") << true << false << QStringList({"held 12:00:10", "A 12:00:13", "A 12:00:23"});
        QTest::newRow("logic") << false << false << QStringList({"held 12:00:10", "L 12:00:13", "L 12:00:23"});
        QTest::newRow("cancelled while held") << true << true << QStringList({"held 12:00:10", "A 12:00:13"});
    }
    // A cyclic start held behind the other frame proceeds 3 s later: the next
    // wait is counted from then, as if the start had taken that long.
    void heldCyclicStartDelaysTheNextWait()
    {
        QFETCH(bool, analog);
        QFETCH(bool, cancelWhileHeld);
        QFETCH(QStringList, starts);
        Bed b;
        FrameEngine &f = b.frame(analog);
        f.setCyclic(5);
        b.line.hold = true;
        b.runCyclic(f, 13, [&](int s) {
            if (s == 11 && cancelWhileHeld) f.cancel();
        });
        QVERIFY(f.cycleRunning());
        b.line.hold = false;
        b.line.starts << (analog ? "A " : "L ") + text::timeText(b.line.clk);  // the bench begins it ...
        f.heldStartReleased();                                                 // ... and tells the frame
        b.runCyclic(f, 15);
        QCOMPARE(b.line.starts, starts);
        QCOMPARE(f.cycleRunning(), !cancelWhileHeld);
    }

    void secondValidationRestartsTheCycle()
    {
        Bed b;
        b.analog.setCyclic(5);
        b.runCyclic(b.analog, 5);
        b.analog.validate();  // 12:00:05
        b.runCyclic(b.analog, 20);
        QCOMPARE(b.line.starts, QStringList({"A 12:00:15", "A 12:00:25"}));
        // Unticking the box by hand: the wait runs out, one last start, then none.
        b.analog.setCyclicAuto(false);
        b.runCyclic(b.analog, 30);
        QCOMPARE(b.line.starts.size(), 3);
        QCOMPARE(b.line.starts.last(), QStringLiteral("A 12:00:35"));
        QCOMPARE(b.analog.programme(), Programme::Armed);  // the programmed check stays armed
        QVERIFY(b.programmedTimer(b.analog)->isActive());
    }

    void cyclicAcrossMidnight()
    {
        Bed b;
        b.line.clk.set(23, 59, 55);
        b.line.clk.day = 7;
        QVERIFY(b.logic.setCyclicSeconds(10));
        b.runCyclic(b.logic, 21);
        QCOMPARE(b.line.starts, QStringList({"L 00:00:05", "L 00:00:15"}));
        QCOMPARE(b.line.clk.day, 1);
    }

    void noIntervalIsRefused_data() { bothFrames(); }
    void noIntervalIsRefused()
    {
        QFETCH(bool, analog);
        Bed b;
        FrameEngine &f = b.frame(analog);
        QVERIFY(!f.setCyclic(-1));  // a typed text, no entry chosen
        QVERIFY(!f.setCyclicSeconds(5));
        QCOMPARE(b.statuses, QStringList(2, QStringLiteral("Choisissez un intervalle")));
        QVERIFY(!b.timer(f, "cyclicWait")->isActive());
        QVERIFY(!b.programmedTimer(f)->isActive());
        QCOMPARE(f.programme(), analog ? Programme::Plain : Programme::Idle);
        b.runCyclic(f, 10);
        QVERIFY(b.line.starts.isEmpty());
    }

    void validationWithNeitherBox()
    {
        Bed b;
        for (FrameEngine *f : {&b.analog, &b.logic}) {
            f->setCyclic(0);
            QCOMPARE(f->programme(), Programme::Armed);
            f->setCyclicAuto(false);
            QSignalSpy closed(f, &FrameEngine::panelClosed);
            f->validate();  // neither box: idle, the panel closes; the cycle under way ends with its wait
            QCOMPARE(f->programme(), Programme::Idle);
            QCOMPARE(closed.count(), 1);
        }
        for (int s = 0; s < 7200; ++s) {
            b.line.clk.advance(1000);
            for (FrameEngine *f : {&b.analog, &b.logic})
                if (b.timer(*f, "cyclicWait")->isActive()) f->cyclicWaitTick();
        }
        QCOMPARE(b.line.starts, QStringList({"A 13:00:00", "L 13:00:00"}));
    }

    void autoBoxesExclude_data() { bothFrames(); }
    void autoBoxesExclude()
    {
        QFETCH(bool, analog);
        Bed b;
        FrameEngine &f = b.frame(analog);
        QSignalSpy changed(&f, &FrameEngine::modeChanged);
        f.setCyclicAuto(true);
        f.setProgrammedAuto(true);
        QVERIFY(f.programmedAuto() && !f.cyclicAuto());
        f.setCyclicAuto(true);
        QVERIFY(f.cyclicAuto() && !f.programmedAuto());
        f.setCyclicAuto(false);  // unticking one leaves the other alone
        QVERIFY(!f.cyclicAuto() && !f.programmedAuto());
        QCOMPARE(changed.count(), 4);
        f.setIntervalIndex(3);
        f.setCyclicAuto(true);
        QCOMPARE(f.diagnostic(), analog ? QStringLiteral("3") : QString());  // Label67, analog only
        f.setIntervalIndex(-1);
        f.setProgrammedAuto(true);
        QCOMPARE(f.diagnostic(), analog ? QStringLiteral("-1") : QString());
    }

    void programmedIsOneShot()
    {
        Bed b;
        b.line.clk.set(10, 14, 0);
        b.line.clk.day = 3;
        QCOMPARE(b.analog.dayIndex(), 1);                       // "Lundi" at start
        b.analog.setProgrammed(0, QStringLiteral("10:15:00"));  // Monday to Friday
        QCOMPARE(b.analog.programme(), Programme::Armed);
        b.runProgrammed(b.analog, 2 * 60 * 2);
        QCOMPARE(b.line.starts, QStringList{"A 10:15:00"});  // twice a second, fires once
        QCOMPARE(b.analog.programme(), Programme::Idle);
        QVERIFY(!b.programmedTimer(b.analog)->isActive());
        b.runProgrammed(b.analog, 2 * 86400);  // not re-armed for the next day
        QCOMPARE(b.line.starts.size(), 1);
    }

    void programmedAfterItsHourWaitsForTheNextDay()
    {
        Bed b;
        b.line.clk.set(10, 16, 0);
        b.line.clk.day = 5;
        b.logic.setProgrammed(8, QStringLiteral("10:15:00"));  // "Tous les jours"
        b.runProgrammed(b.logic, 2 * 86400);
        QCOMPARE(b.line.starts, QStringList{"L 10:15:00"});
        QCOMPARE(b.line.clk.day, 6);
        QCOMPARE(b.logic.programme(), Programme::Idle);
    }

    void switchedOff()
    {
        Bed b;
        b.line.on = false;
        b.analog.acquireNow();
        b.logic.acquireNow();
        QVERIFY(b.line.starts.isEmpty());
        // A programmed acquisition coming due with the switch off still counts as done.
        b.line.clk.set(8, 0, 0);
        b.analog.copyTime();
        QCOMPARE(b.analog.hourText(), QStringLiteral("08:00:00"));
        b.analog.setProgrammed(1, QStringLiteral("08:00:01"));
        b.runProgrammed(b.analog, 4);
        QVERIFY(b.line.starts.isEmpty());
        QVERIFY(!b.programmedTimer(b.analog)->isActive());
        QCOMPARE(b.analog.programme(), Programme::Idle);
        // The cyclic mode keeps waiting and starts nothing.
        b.logic.setCyclic(6);
        b.runCyclic(b.logic, 10);
        QVERIFY(b.line.starts.isEmpty());
        QVERIFY(b.timer(b.logic, "cyclicWait")->isActive());
        b.line.on = true;
        b.runCyclic(b.logic, 2);
        QCOMPARE(b.line.starts.size(), 1);
    }

    void analogStep_data() { panel::addLocaleRows(); }
    void analogStep()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const QString s = QLocale().decimalPoint();
        Bed b;
        b.analog.setCoefficient(3, QStringLiteral("2"));
        b.analog.setCoefficient(5, QStringLiteral("x"));  // no number: kept as it was
        b.analog.setUnit(2, QStringLiteral("mV"));
        b.decode(b.analog, kAnalogReply);
        QStringList labels = {"1.96 V", "0. mV", "10. V", "0.24 V", "", "0.04 V", "0.06 V", "3.92 V"};
        for (QString &l : labels) l.replace(u'.', s);
        labels[4] = QStringLiteral("0.00");  // the design caption stays as drawn
        QCOMPARE(shown(b.analog), labels);
        QCOMPARE(b.tabs.indice_a, 1);
        QVERIFY(b.tabs.tab_ana(1, 0).isEmpty());  // not memorising

        b.analog.setMemorising(true);
        b.decode(b.analog, kAnalogReply);
        const QStringList stored = {"100.", "0.", "510.", "12.", "", "2.", "3.", "200."};
        for (int k = 1; k <= 8; ++k) {
            const Element &e = b.tabs.tab_ana(k, 0);
            QCOMPARE(e, k == 5 ? Element() : Element::text(QString(stored[k - 1]).replace(u'.', s)));
            if (k != 5) QCOMPARE(e.toNumber().value_or(-1), stored[k - 1].chopped(1).toDouble());
        }
        QCOMPARE(b.tabs.indice_a, 1);
    }

    void memorisationRestartsAtZero()
    {
        Bed b;
        b.tabs.nbre_acqui = 10;
        for (int i = 0; i < 7; ++i) b.decode(b.analog, {});  // counting while unticked
        for (int i = 0; i < 3; ++i) b.decode(b.logic, {});
        QCOMPARE(b.tabs.indice_a, 7);
        QCOMPARE(b.tabs.indice_l, 24);
        QSignalSpy said(&b.analog, &FrameEngine::memorisingChanged);
        b.analog.setMemorising(true);
        b.logic.setMemorising(true);
        QCOMPARE(b.tabs.indice_a, 0);
        QCOMPARE(b.tabs.indice_l, 0);
        // Slot 10 is the last: after it the boxes untick themselves, back at 0.
        for (int i = 0; i <= 10; ++i) {
            QVERIFY(b.analog.memorising() && b.logic.memorising());
            b.decode(b.analog, QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8"));
            b.decode(b.logic, QStringLiteral("E:1"));
        }
        QVERIFY(!b.analog.memorising() && !b.logic.memorising());
        QCOMPARE(said.count(), 2);
        QCOMPARE(b.tabs.indice_a, 0);
        QCOMPARE(b.tabs.indice_l, 0);
        QCOMPARE(b.tabs.tab_ana(1, 0), Element::text("1."));
        QCOMPARE(b.tabs.tab_ana(1, 10), Element::text("1."));
        QCOMPARE(b.tabs.tab_log[80], Element::text("1"));
        QVERIFY(b.tabs.tab_ana(1, 11).isEmpty());
        // Unticking by hand also restarts the index.
        b.analog.setMemorising(true);
        b.decode(b.analog, {});
        b.decode(b.analog, {});
        b.analog.setMemorising(false);
        QCOMPARE(b.tabs.indice_a, 0);
    }

    void silentBoardIsSaid_data() { bothFrames(); }
    // A buffer without any of the frame's markers: the values show as the
    // decoding gives them, and the status line says the board did not answer
    // until the next reply.
    void silentBoardIsSaid()
    {
        QFETCH(bool, analog);
        Bed b;
        FrameEngine &f = b.frame(analog);
        const QString silence = QStringLiteral("Pas de réponse de la carte (entrées %1)")
                                    .arg(analog ? QStringLiteral("analogiques") : QStringLiteral("logiques"));
        const QString reply = analog ? QString::fromLatin1(kAnalogReply) : QStringLiteral("E:165");
        b.decode(f, reply);
        QCOMPARE(b.status(), QString());
        const QString firstShown = f.shown()[0];
        for (const QString &silent : {analog ? QStringLiteral("nA") : QString(), QStringLiteral("nA\r\n?? 12:7")}) {
            b.decode(f, silent);
            QCOMPARE(b.status(), silence);
            QCOMPARE(f.shown()[7], analog ? QStringLiteral("0. V") : QStringLiteral("0"));  // as decoded
            if (analog) QCOMPARE(f.shown()[0], firstShown);                                 // channel 1 skipped: kept
        }
        b.decode(f, reply);
        QCOMPARE(b.status(), QString());
        // Only that sentence is taken back, not another one shown since.
        b.decode(f, {});
        b.statuses << QStringLiteral("Tableaux enregistrés");
        b.decode(f, reply);
        QCOMPARE(b.status(), QStringLiteral("Tableaux enregistrés"));
        // A line that fails says so already: its sentence stays.
        b.line.linkDown = true;
        b.statuses << QStringLiteral("COM1 (/dev/ttyS0) : port absent");
        b.decode(f, {});
        QCOMPARE(b.status(), QStringLiteral("COM1 (/dev/ttyS0) : port absent"));
    }

    void fullTablesAreSaidWhileCycling_data()
    {
        QTest::addColumn<bool>("analog");
        QTest::addColumn<bool>("cycling");
        QTest::addColumn<bool>("journal");
        QTest::addColumn<bool>("memorise");
        QTest::addColumn<QString>("said");
        const QString full = QStringLiteral("Tableaux %1 pleins (1001 acquisitions) : mémorisation arrêtée");
        const QString goesOn = QStringLiteral(" ; le journal continu poursuit l'enregistrement");
        QTest::newRow("analog") << true << true << false << true << full.arg("analogiques");
        QTest::newRow("analog, journal") << true << true << true << true << full.arg("analogiques") + goesOn;
        QTest::newRow("logic, journal") << false << true << true << true << full.arg("logiques") + goesOn;
        QTest::newRow("manual: nothing said") << true << false << false << true << QString();
        // The index wraps all the same, but nothing was stored and nothing stops.
        QTest::newRow("analog never memorised") << true << true << true << false << QString();
        QTest::newRow("logic never memorised") << false << true << false << false << QString();
    }
    // "Mémorisation" unticks itself after the last slot while the cycle goes
    // on: the status line says so rather than letting the recording fall silent.
    void fullTablesAreSaidWhileCycling()
    {
        QFETCH(bool, analog);
        QFETCH(bool, cycling);
        QFETCH(bool, journal);
        QFETCH(bool, memorise);
        QFETCH(QString, said);
        Bed b;
        b.line.journal = journal;
        FrameEngine &f = b.frame(analog);
        b.tabs.nbre_acqui = 1000;
        f.setMemorising(memorise);
        if (cycling) f.setCyclic(6);
        b.tabs.indice_a = 999;
        b.tabs.indice_l = 7992;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(b.statuses.isEmpty());
            b.decode(f, analog ? QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8") : QStringLiteral("E:3"));
        }
        QVERIFY(!f.memorising());
        QCOMPARE(b.statuses.value(0), said);
    }

    void decodedAcquisitionsAreAnnounced_data() { panel::addLocaleRows(); }
    // Every decoding, memorised or not, is announced with the time the
    // request was written, the values with "." whatever the regional setting;
    // the same time goes beside the memorised slot.
    void decodedAcquisitionsAreAnnounced()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const QLocale locale;
        Bed b;
        std::vector<acquisition::Acquired> heard;
        for (FrameEngine *f : {&b.analog, &b.logic})
            connect(f, &FrameEngine::valuesDecoded, [&heard](const acquisition::Acquired &a) { heard.push_back(a); });
        b.analog.setCoefficient(2, locale.toString(0.5));
        b.analog.setCoefficient(3, QStringLiteral("x"));
        b.analog.setUnit(4, QStringLiteral("mA"));
        b.line.clk.set(14, 32, 7);
        b.line.clk.advance(412);
        const QDateTime asked = b.line.clk.now();
        b.analog.decode(QStringLiteral("nAs1:100s2:45s3:255s4:12s5:1s6:2s7:3s8:200"), asked);
        b.logic.setMemorising(true);
        b.tabs.indice_l = 16;
        b.logic.decode(QStringLiteral("E:165"), asked.addMSecs(1100));

        QCOMPARE(heard.size(), size_t(2));
        const acquisition::Acquired &a = heard[0];
        QCOMPARE(a.channel, Channel::Analog);
        QCOMPARE(a.time, QDateTime(QDate(2026, 12, 7), QTime(14, 32, 7, 412)));
        QCOMPARE(a.slot, -1);  // not memorised
        QCOMPARE(values(a), QStringList({"100.", "22.5", "", "12.", "1.", "2.", "3.", "200."}));
        QCOMPARE(a.units[3], QStringLiteral("mA"));
        QVERIFY(!b.tabs.times.analog(0).isValid());
        const acquisition::Acquired &l = heard[1];
        QCOMPARE(l.channel, Channel::Logic);
        QCOMPARE(l.time, asked.addMSecs(1100));
        QCOMPARE(l.slot, 2);
        QCOMPARE(values(l).join(QString()), QStringLiteral("10100101"));
        QCOMPARE(b.tabs.times.logic(2), asked.addMSecs(1100));
        QCOMPARE(values(b.logic.last()), values(l));
    }

    // The journal records both frames without any window, and says in French
    // why it stops when its file is taken away.
    void journalWithoutAWindow()
    {
        Bed b;
        QTemporaryDir dir;
        JournalRecorder journal;
        for (FrameEngine *f : {&b.analog, &b.logic})
            connect(f, &FrameEngine::valuesDecoded, &journal, &JournalRecorder::record);
        QSignalSpy stopped(&journal, &JournalRecorder::stopped);
        const QString path = dir.filePath(QStringLiteral("journal.csv"));
        QVERIFY(journal.start(path, b.analog.units()));
        b.decode(b.analog, kAnalogReply);
        b.decode(b.logic, QStringLiteral("E:165"));
        b.decode(b.logic, {});  // no reply: no line
        QCOMPARE(journal.lines(), 2);
        QVERIFY(QFile::remove(path));
        journal.sync_Timer();
        QVERIFY(!journal.running());
        QCOMPARE(stopped.value(0).value(0).toString(),
                 QStringLiteral("Journal continu arrêté. Le fichier du journal « journal.csv » a été supprimé ou "
                                "déplacé : 2 lignes écrites depuis la dernière vérification sont perdues."));
    }

    // The header goes to the disk at once, a line within the second.
    void journalReachesTheDisk()
    {
        QTemporaryDir dir;
        qint64 now = 5000;
        files::JournalWriter w([&now] { return now; });
        const int before = fsyncs;
        QVERIFY(w.open(dir.filePath(QStringLiteral("journal.csv")), FrameBed().analog.units(), nullptr));
        QTRY_COMPARE_WITH_TIMEOUT(int(fsyncs), before + 1, 2000);
        QVERIFY(w.append(acquisition::logicAcquired(acquisition::decodeLogic(u"E:1"), QDateTime(), -1), nullptr));
        now += 1000;
        QVERIFY(w.syncIfDue(nullptr));
        QTRY_COMPARE_WITH_TIMEOUT(int(fsyncs), before + 2, 2000);
    }
};

QTEST_GUILESS_MAIN(TestFrameEngine)
#include "test_frame_engine.moc"
