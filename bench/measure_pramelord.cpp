// Measures pramelord as a process of its own against the simulated board
// (which runs here, so that its work is not counted): the time from its
// start to the first output command on the line, its CPU while idle with the
// master switch on, and its resident memory.
//   measure_pramelord [seconds=60] [runs of the start-up=5]
// Prints one JSON object. Targets: idle CPU under 0.1 % of a core, RSS under 20 MB.
#include "core/board.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <unistd.h>

namespace {

// utime + stime of a process, in seconds, from /proc/PID/stat.
double cpuOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray s = f.readAll();
    const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

double rssOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const QString program = qEnvironmentVariable("PRAMELORD", QStringLiteral(PRAMELORD_PATH));
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com"));
    const QString bench = dir.filePath(QStringLiteral("banc.ini"));
    QFile f(bench);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write("[banc]\nnom=mesure\nport=" + link.toUtf8() + "\nmarche=1\n");
    f.close();

    std::vector<double> startups;
    std::unique_ptr<QProcess> p;
    std::unique_ptr<sim::PtyBoard> board;
    for (int run = 0; run < runs; ++run) {
        board.reset();  // its destructor takes the link away
        board = std::make_unique<sim::PtyBoard>(link);
        p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer t;
        t.start();
        p->start(program, {bench});
        while (board->count(sim::Command::Output) == 0 && t.elapsed() < 10000) QTest::qWait(1);
        startups.push_back(double(t.nsecsElapsed()) / 1e6);
        if (run + 1 < runs) {
            p->terminate();
            p->waitForFinished(5000);
        }
    }
    std::sort(startups.begin(), startups.end());

    const qint64 pid = p->processId();
    QTest::qWait(2000);  // settle
    const double cpu0 = cpuOf(pid);
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(seconds * 1000);
    const double cpu = cpuOf(pid) - cpu0;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const double rss = rssOf(pid);
    p->terminate();
    p->waitForFinished(5000);

    printf("{\"startup_to_first_output_ms_median\": %.1f, \"startup_ms_best\": %.1f, \"idle_seconds\": %.1f, "
           "\"idle_cpu_percent\": %.3f, \"rss_mb\": %.1f, \"output_commands\": %d}\n",
           startups[startups.size() / 2], startups.front(), elapsed, 100.0 * cpu / elapsed, rss,
           board->count(sim::Command::Output));
    return 0;
}
