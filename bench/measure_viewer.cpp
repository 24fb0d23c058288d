// Measures "Parcourir un journal…" in the running panel on a week-long
// journal (605 000 lines of each frame, some 60 MB): the time from the
// window's opening to its first full picture, the resident memory above the
// idle panel, and, while one line of each frame is appended every second,
// how soon each appears and the CPU the window takes meanwhile.
//   measure_viewer [seconds of following=20]
// PRAMELOR_WEEK_JOURNAL: a journal to use (made there when missing).
// Prints one JSON object.
#include "../tests/support/journal_gen.h"
#include "../tests/support/process_stats.h"
#include "shell/form1.h"
#include "viewer/follower.h"
#include "viewer/journal_plot_widget.h"
#include "viewer/journal_viewer_widget.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(3, atoi(argv[1])) : 20;
    QTemporaryDir dir;
    QString path = qEnvironmentVariable("PRAMELOR_WEEK_JOURNAL");
    if (path.isEmpty()) path = dir.filePath(QStringLiteral("semaine.csv"));
    panel::MadeJournal j;
    j.start = QDateTime(QDate(2026, 12, 7), QTime(8, 0));
    j.steps = 605000;
    j.pauses = {{200000, 3 * 3600 * 1000}};
    if (!QFile::exists(path) && !panel::writeMadeJournal(path, j)) return 1;

    Form1::Setup setup;
    setup.programDir = dir.path();
    setup.userDir = dir.filePath(QStringLiteral("config"));
    setup.quitApplication = false;
    Form1 form(setup);
    form.show();
    QTest::qWait(1000);
    const double idleMb = residentMb();
    // The idle panel's own CPU, to tell the browser's share from it.
    const double idle0 = cpuSeconds();
    QElapsedTimer idleWall;
    idleWall.start();
    idleFor(seconds * 1000);
    const double idleCpu = 100.0 * (cpuSeconds() - idle0) / (double(idleWall.elapsed()) / 1000.0);

    QElapsedTimer open;
    open.start();
    auto *v = new viewer::JournalViewer(&form, path, {});
    v->resize(1920 + 40, 1000);
    v->show();
    QSignalSpy ready(v, &viewer::JournalViewer::ready);
    if (!ready.wait(60000)) return 2;
    v->plot()->repaint();  // the first full picture
    const qint64 openMs = open.elapsed();
    QTest::qWait(500);
    const double openedMb = residentMb();

    // Following: one analog and one logic line a second, appended as the
    // panel's journal appends them.
    // The last hour in view, as one follows an experiment (PRAMELOR_FOLLOW_WHOLE:
    // the whole week).
    if (qEnvironmentVariableIsEmpty("PRAMELOR_FOLLOW_WHOLE"))
        v->plot()->setSpan(viewer::Span{v->plot()->whole().t1 - 3600000, v->plot()->whole().t1});
    v->findChild<QCheckBox *>(QStringLiteral("suivre"))->setChecked(true);
    QFile journal(path);
    if (!journal.open(QIODevice::Append)) return 3;
    qint64 t = v->model()->data().endTime() + 1000;
    QElapsedTimer since;
    std::vector<qint64> latencies;
    qint64 expected = v->model()->data().analogCount();
    QObject::connect(v->follower(), &viewer::JournalFollower::appended, [&] {
        if (v->model()->data().analogCount() > expected) {
            latencies.push_back(since.elapsed());
            expected = v->model()->data().analogCount();
        }
    });
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    for (int i = 0; i < seconds; ++i) {
        QByteArray line = acquisition::isoTime(QDateTime::fromMSecsSinceEpoch(t)).toLatin1() +
                          ",A,1.00,2.00,3.00,4.00,5.00,6.00,7.00,8.00\r\n" +
                          acquisition::isoTime(QDateTime::fromMSecsSinceEpoch(t + 120)).toLatin1() +
                          ",L,1,0,1,0,1,0,1,0\r\n";
        t += 1000;
        since.start();
        journal.write(line);
        journal.flush();
        QTest::qWait(1000);
    }
    const double cpu = cpuSeconds() - cpu0;
    const double wallS = double(wall.elapsed()) / 1000.0;
    std::sort(latencies.begin(), latencies.end());
    std::printf("{\"open_to_picture_ms\": %lld, \"idle_rss_mb\": %.1f, \"opened_rss_mb\": %.1f, "
                "\"above_idle_mb\": %.1f, \"model_mb\": %.1f, \"lines\": %lld, \"follow_seconds\": %.1f, "
                "\"lines_seen\": %zu, \"latency_median_ms\": %lld, \"latency_max_ms\": %lld, "
                "\"follow_cpu_percent\": %.2f, \"idle_panel_cpu_percent\": %.2f}\n",
                openMs, idleMb, openedMb, openedMb - idleMb, double(v->model()->bytes()) / 1048576.0,
                v->model()->data().analogCount() + v->model()->data().logicCount(), wallS, latencies.size(),
                latencies.empty() ? -1LL : latencies[latencies.size() / 2], latencies.empty() ? -1LL : latencies.back(),
                100.0 * cpu / wallS, idleCpu);
    return 0;
}
