// A disk that answers every fsync after 3 s (a busy USB stick) must not
// slow the board's output command: a child panel whose fsync, fdatasync and
// syncfs go through a slow preloaded library runs both frames cycling every
// 2 s with the journal on. The board hears its outputs at the cadence of a
// fast disk, and a SIGTERM in the middle of a slow "Enregistrer la
// configuration" still ends with the all-off command within 1.5 s, the
// window's thread being busy or not.
#include "core/board.h"
#include "support/child_panel.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

using sim::Command;

namespace {

constexpr int kDelayMs = 3000;

struct SlowPanel {
    QTemporaryDir dir;
    std::unique_ptr<sim::PtyBoard> board;
    QProcess panel;
    QByteArray output;
    bool ready = false;

    bool start()
    {
        const QString link = dir.filePath(QStringLiteral("com1"));
        board = std::make_unique<sim::PtyBoard>(link);
        if (!board->isPlugged()) return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PRAMELOR_COM1"), link);
        env.insert(QStringLiteral("PRAMELOR_CHILD_DIR"), dir.path());
        env.insert(QStringLiteral("LD_PRELOAD"), qEnvironmentVariable("PRAMELOR_SLOW_FSYNC"));
        env.insert(QStringLiteral("PRAMELOR_FSYNC_DELAY_MS"), QString::number(kDelayMs));
        panel.setProcessEnvironment(env);
        QObject::connect(&panel, &QProcess::readyReadStandardOutput, &panel, [this] {
            output += panel.readAllStandardOutput();
            ready = ready || output.contains("ready\n");
        });
        QObject::connect(&panel, &QProcess::readyReadStandardError, &panel,
                         [this] { output += panel.readAllStandardError(); });
        panel.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-panel")});
        return QTest::qWaitFor([this] { return ready; }, 20000);
    }

    void say(const char *line) { panel.write(QByteArray(line) + '\n'); }

    // The times of the output commands the board received from fromMs on.
    std::vector<qint64> outputTimes(qint64 fromMs) const
    {
        std::vector<qint64> times;
        for (const sim::Received &r : board->received())
            if (r.kind == Command::Output && r.tMs >= fromMs) times.push_back(r.tMs);
        return times;
    }

    ~SlowPanel()
    {
        if (panel.state() != QProcess::NotRunning) {
            panel.kill();
            panel.waitForFinished(5000);
        }
    }
};

qint64 longestGap(const std::vector<qint64> &times)
{
    qint64 worst = 0;
    for (size_t i = 1; i < times.size(); ++i) worst = std::max(worst, times[i] - times[i - 1]);
    return worst;
}

}  // namespace

class TestSlowDiskE2e : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!qEnvironmentVariableIsEmpty("PRAMELOR_SANITIZED")) QSKIP("output cadence: plain build only");
        QVERIFY2(QFile::exists(qEnvironmentVariable("PRAMELOR_SLOW_FSYNC")), "the slow-disk library is built");
    }

    void outputCadenceAndEndWithASlowDisk()
    {
        SlowPanel p;
        QVERIFY2(p.start(), p.output.constData());
        p.say("on 300 cyclic-a 300 cyclic-l 300 journal");
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(p.dir.filePath(QStringLiteral("journal.csv"))); }, 5000));
        const qint64 from = p.board->nowMs();
        QTest::qWait(45000);
        const std::vector<qint64> cycling = p.outputTimes(from);
        const int analog = p.board->count(Command::Analog), logic = p.board->count(Command::Logic);
        qInfo("45 s with every fsync taking %d ms: %zu output commands, longest gap %lld ms, %d analog and %d logic "
              "requests",
              kDelayMs, cycling.size(), (long long)longestGap(cycling), analog, logic);
        QVERIFY(analog >= 10 && logic >= 10);  // both frames did cycle all along
        QVERIFY2(cycling.size() >= 30, qPrintable(QString::number(cycling.size())));
        QVERIFY2(longestGap(cycling) <= 2000, qPrintable(QString::number(longestGap(cycling))));
        QFile journal(p.dir.filePath(QStringLiteral("journal.csv")));
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QVERIFY(journal.readAll().count('\n') >= 10);  // the journal did record meanwhile

        // A SIGTERM while "Enregistrer la configuration" waits on the disk.
        p.say("save");
        QTest::qWait(300);
        const qint64 signalMs = p.board->nowMs();
        ::kill(pid_t(p.panel.processId()), SIGTERM);
        QVERIFY(QTest::qWaitFor([&] { return p.panel.state() == QProcess::NotRunning; }, 15000));
        // The window's thread may still wait on the disk after the line's
        // all-off (the save, then the window's place): should that outlast
        // the watchdog, the watchdog ends the panel, with nothing owed.
        qInfo("ended %lld ms after SIGTERM", (long long)(p.board->nowMs() - signalMs));
        qint64 allOffMs = -1;
        for (const sim::Received &r : p.board->received())
            if (r.tMs >= signalMs && r.kind == Command::Output && r.byte == 0) {
                allOffMs = r.tMs;
                break;
            }
        QVERIFY2(allOffMs >= 0, "the board heard 6E 00 after the signal");
        qInfo("6E 00 %lld ms after SIGTERM", (long long)(allOffMs - signalMs));
        QVERIFY2(allOffMs - signalMs <= 1500, qPrintable(QString::number(allOffMs - signalMs)));
        const sim::Received &last = p.board->received().back();
        QVERIFY(last.kind == Command::Output && last.byte == 0);
        QCOMPARE(p.board->relays(), 0);
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child-panel") == 0) return panel::childPanelMain(argc, argv);
    QApplication app(argc, argv);
    TestSlowDiskE2e t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_slow_disk_e2e.moc"
