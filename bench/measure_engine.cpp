// The bench alone, without any window: CPU used while idle with the master
// switch on, resident memory, and the period of the output command as the
// board sees it. The simulated board runs on a thread of its own whose CPU
// is taken out of the figure.
//   measure_engine [seconds=60]
// Prints one JSON object.
#include "../tests/support/process_stats.h"
#include "core/board.h"
#include "engine/bench.h"
#include "link/serial_component.h"
#include "text/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <memory>

namespace {

double threadCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    qputenv("PRAMELOR_COM1", link.toLocal8Bit());

    QThread boardThread;
    boardThread.start();
    std::unique_ptr<sim::PtyBoard> board;
    QMetaObject::invokeMethod(
        &app, [&] { board = std::make_unique<sim::PtyBoard>(link); }, Qt::DirectConnection);
    board->moveToThread(&boardThread);
    auto boardCpu = [&] {
        double s = 0;
        QMetaObject::invokeMethod(
            board.get(), [&] { s = threadCpuSeconds(); }, Qt::BlockingQueuedConnection);
        return s;
    };

    SystemClock clock;
    Bench bench(clock, nullptr, true);  // the line on its own thread, as in the panel
    bench.flipSwitch();                 // master switch on
    idleFor(2000);                      // settle
    const double rssStart = residentMb();
    const double cpu0 = cpuSeconds(), board0 = boardCpu();
    QElapsedTimer wall;
    wall.start();
    idleFor(seconds * 1000);
    const double cpu = (cpuSeconds() - cpu0) - (boardCpu() - board0);
    const double elapsed = double(wall.elapsed()) / 1000.0;

    std::vector<qint64> gaps;
    QMetaObject::invokeMethod(
        board.get(),
        [&] {
            const auto &rx = board->received();
            for (size_t i = 1; i < rx.size(); ++i)
                if (rx[i].kind == sim::Command::Output && rx[i - 1].kind == sim::Command::Output)
                    gaps.push_back(rx[i].tMs - rx[i - 1].tMs);
        },
        Qt::BlockingQueuedConnection);
    std::sort(gaps.begin(), gaps.end());
    const qint64 median = gaps.empty() ? 0 : gaps[gaps.size() / 2];

    printf("{\"rss_mb\": %.1f, \"idle_seconds\": %.1f, \"idle_cpu_percent\": %.3f, \"output_commands\": %zu, "
           "\"period_median_ms\": %lld}\n",
           rssStart, elapsed, 100.0 * cpu / elapsed, gaps.size() + 1, (long long)median);
    bench.beginShutdown();
    bench.finish();
    QMetaObject::invokeMethod(
        board.get(), [&] { board.reset(); }, Qt::BlockingQueuedConnection);
    boardThread.quit();
    boardThread.wait();
    return 0;
}
