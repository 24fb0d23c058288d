#pragma once
// What the whole-program measurements read of their own process.

#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QTimer>
#include <sys/resource.h>
#include <unistd.h>

inline double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

inline double residentMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

// Runs the event loop for ms milliseconds without waking on its own: a
// measurement of idle cost must not count a test helper's polling (QTest's
// qWait sleeps and wakes every 10 ms).
inline void idleFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
