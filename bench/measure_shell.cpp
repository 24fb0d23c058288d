// Measures the running panel against the simulated board: start-up time,
// resident memory, CPU used while idle with the master switch on, and the
// period of the output command as the board sees it.
//   measure_shell [seconds=60]
// Prints one JSON object. The simulator runs in the same process, so the CPU
// figure is an upper bound for the panel alone.
#include "../tests/support/process_stats.h"
#include "core/board.h"
#include "shell/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

int main(int argc, char **argv)
{
    QElapsedTimer startup;
    startup.start();
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    qputenv("PRAMELOR_COM1", link.toLocal8Bit());
    sim::PtyBoard board(link);

    Form1::Setup setup;
    setup.programDir = dir.path();
    setup.quitApplication = false;
    Form1 form(setup);
    form.show();
    QApplication::processEvents();
    const double startupMs = double(startup.nsecsElapsed()) / 1e6;
    const double rssStart = residentMb();

    form.Image2_Click();  // master switch on
    QTest::qWait(2000);   // settle
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    idleFor(seconds * 1000);
    const double cpu = cpuSeconds() - cpu0;
    const double elapsed = double(wall.elapsed()) / 1000.0;

    std::vector<qint64> gaps;
    const auto &rx = board.received();
    for (size_t i = 1; i < rx.size(); ++i)
        if (rx[i].kind == sim::Command::Output && rx[i - 1].kind == sim::Command::Output)
            gaps.push_back(rx[i].tMs - rx[i - 1].tMs);
    std::sort(gaps.begin(), gaps.end());
    const qint64 median = gaps.empty() ? 0 : gaps[gaps.size() / 2];
    qint64 worst = 0;
    for (qint64 g : gaps) worst = std::max(worst, std::abs(g - 800));

    printf("{\"startup_ms\": %.1f, \"rss_mb_start\": %.1f, \"rss_mb_end\": %.1f, \"idle_seconds\": %.1f, "
           "\"idle_cpu_percent\": %.3f, \"output_commands\": %zu, \"period_median_ms\": %lld, "
           "\"period_worst_deviation_ms\": %lld}\n",
           startupMs, rssStart, residentMb(), elapsed, 100.0 * cpu / elapsed, gaps.size() + 1, (long long)median,
           (long long)worst);
    form.close();
    return 0;
}
