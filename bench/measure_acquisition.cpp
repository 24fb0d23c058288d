// Measures the running panel while both frames acquire cyclically every two
// seconds against the simulated board: CPU used, resident memory at the start
// and the end, the requests the board saw against those expected, their
// spacing, and how many analog acquisitions were decoded and stored.
//   measure_acquisition [seconds=60]
// Prints one JSON object. The simulator runs in the same process, so the CPU
// figure is an upper bound for the panel alone.
#include "../tests/support/process_stats.h"
#include "acquisition/tables.h"
#include "core/board.h"
#include "shell/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {

template <class T>
T *child(QWidget &form, const char *name)
{
    T *w = form.findChild<T *>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
}

// What a person does in one frame's programming panel for "every 2 s".
void armCycle(QWidget &form, const char *open, const char *list, const char *cyclic, const char *validate)
{
    QTest::mouseClick(child<QWidget>(form, open), Qt::LeftButton);
    auto *intervals = child<QComboBox>(form, list);
    intervals->setCurrentIndex(intervals->findText(QStringLiteral("Toutes les 2 secondes")));
    child<QCheckBox>(form, cyclic)->setChecked(true);
    QTest::mouseClick(child<QWidget>(form, validate), Qt::LeftButton);
}

// Both frames share the line: a start waits while the other frame's
// acquisition awaits its decoding (analog 1.5 s from start to decoding, logic
// 0.9 s), so two cycles of 2 s settle at one acquisition each every 2.4 s.
constexpr qint64 kPeriodMs = 2400;

struct Spacing {
    qint64 median = 0, worst = 0;  // worst deviation from kPeriodMs
};

Spacing spacing(const std::vector<sim::Received> &rx, sim::Command kind, qint64 from)
{
    std::vector<qint64> at, gaps;
    for (const auto &r : rx)
        if (r.kind == kind && r.tMs >= from) at.push_back(r.tMs);
    for (size_t i = 1; i < at.size(); ++i) gaps.push_back(at[i] - at[i - 1]);
    Spacing s;
    if (gaps.empty()) return s;
    std::sort(gaps.begin(), gaps.end());
    s.median = gaps[gaps.size() / 2];
    for (qint64 gap : gaps) s.worst = std::max(s.worst, std::abs(gap - kPeriodMs));
    return s;
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 60;
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("com1"));
    qputenv("PRAMELOR_COM1", link.toLocal8Bit());
    sim::PtyBoard board(link);
    // Both replies land in the one receive buffer: whole replies keep them
    // from interleaving when both requests go out together.
    board.setReplyPieces(1);

    Form1::Setup setup;
    setup.programDir = dir.path();
    setup.quitApplication = false;
    Form1 form(setup);
    form.show();
    QApplication::processEvents();
    const double rssStart = residentMb();

    form.Image2_Click();  // master switch on
    QTest::qWait(1000);
    child<QCheckBox>(form, "memo_a")->setChecked(true);
    child<QCheckBox>(form, "memo_l")->setChecked(true);
    form.tables().nbre_acqui = 1000;  // room for every acquisition of a long run

    const qint64 t0 = board.nowMs();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    armCycle(form, "Command16", "Combo4", "Check6", "Command21");
    armCycle(form, "Command14", "Combo1", "Check1", "Command18");
    idleFor(seconds * 1000);
    const double cpu = cpuSeconds() - cpu0;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const double rssEnd = residentMb();

    // A request goes out 400 ms after each start, the first analog start one
    // interval after "Validation", the first logic one when that analog
    // acquisition has been decoded.
    const qint64 ms = qint64(elapsed * 1000);
    auto expectedFrom = [ms](qint64 firstMs) { return ms >= firstMs ? int((ms - firstMs) / kPeriodMs) + 1 : 0; };
    const int expectedAnalog = expectedFrom(2400), expectedLogic = expectedFrom(2000 + 1500 + 400);
    const auto &rx = board.received();
    int analog = 0, logic = 0;
    for (const auto &r : rx) {
        if (r.tMs < t0) continue;
        analog += r.kind == sim::Command::Analog;
        logic += r.kind == sim::Command::Logic;
    }
    // Channel 3 of the simulator is a steady 128: every decoded analog
    // acquisition stores "128" and the separator there.
    int decoded = 0;
    const Tables &t = form.tables();
    for (int slot = 0; slot < t.indice_a; ++slot) decoded += t.tab_ana(3, slot).toNumber() == 128.0;
    const Spacing a = spacing(rx, sim::Command::Analog, t0), l = spacing(rx, sim::Command::Logic, t0);

    std::printf("{\"seconds\": %.1f, \"cpu_percent\": %.3f, \"rss_mb_start\": %.1f, \"rss_mb_end\": %.1f, "
                "\"analog_requests_expected\": %d, \"analog_requests_seen\": %d, "
                "\"logic_requests_expected\": %d, \"logic_requests_seen\": %d, "
                "\"analog_spacing_median_ms\": %lld, \"analog_spacing_worst_deviation_ms\": %lld, "
                "\"logic_spacing_median_ms\": %lld, \"logic_spacing_worst_deviation_ms\": %lld, "
                "\"analog_acquisitions_stored\": %d, \"analog_acquisitions_decoded\": %d, "
                "\"logic_entries_stored\": %d}\n",
                elapsed, 100.0 * cpu / elapsed, rssStart, rssEnd, expectedAnalog, analog, expectedLogic, logic,
                (long long)a.median, (long long)a.worst, (long long)l.median, (long long)l.worst, t.indice_a, decoded,
                t.indice_l);
    std::fflush(stdout);
    form.close();
    return 0;
}
