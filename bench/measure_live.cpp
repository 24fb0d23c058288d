// Measures "Suivi en direct" in the running panel against the simulated
// board: 1000 acquisitions in the tables, the analog layout with its eight
// channels and both markers, both frames acquiring every two seconds with
// "Mémorisation". Two phases of the same length, the box unticked then
// ticked; for each: the time the analog decoding step takes (with the redraw
// it causes), the time the surface takes to paint, the worst lateness of a
// 20 ms timer (how long any click could have waited) and the CPU used.
//   measure_live [seconds per phase=20]
// Prints one JSON object per phase.
#include "../tests/support/panel_fixture.h"
#include "acquisition/tables.h"
#include "graph/graph_frame_widget.h"
#include "graph/picture_widget.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Times the handling of the decoding timer's events and of the surface's paints.
class TimingApp : public QApplication {
public:
    using QApplication::QApplication;
    QObject *decoder = nullptr;
    QObject *surface = nullptr;
    std::vector<double> decodeMs, paintMs;

    bool notify(QObject *receiver, QEvent *e) override
    {
        const bool decode = receiver == decoder && e->type() == QEvent::Timer;
        const bool paint = receiver == surface && e->type() == QEvent::Paint;
        if (!decode && !paint) return QApplication::notify(receiver, e);
        QElapsedTimer t;
        t.start();
        const bool done = QApplication::notify(receiver, e);
        (decode ? decodeMs : paintMs).push_back(double(t.nsecsElapsed()) / 1e6);
        return done;
    }
};

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double worst(const std::vector<double> &v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char **argv)
{
    TimingApp app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, atoi(argv[1])) : 20;
    panel::Bench b;
    if (!b.open()) qFatal("no simulated board");
    b.board->setReplyPieces(1);
    Form1 &form = *b.form;
    form.n_graph_Click();
    QApplication::processEvents();

    auto *graph = b.child<GraphFrame>(QStringLiteral("Frame6"));
    b.child<QScrollBar>(QStringLiteral("HScroll1"))->setValue(1000);
    b.click(QStringLiteral("Command23"));  // "Aléatoire": 1001 full slots
    b.child<QRadioButton>(QStringLiteral("Option1"))->click();
    for (int slot = 0; slot < 8; ++slot) graph->Label56_Click(slot);
    graph->Command24_Click();
    graph->Picture1_MouseDown(1, 2, 1000, 2000);   // A on the first acquisition
    graph->Picture1_MouseDown(2, 2, 11520, 2000);  // B on the last
    app.decoder = b.child<QObject>(QStringLiteral("bench"))->findChild<QTimer *>(QStringLiteral("Timer5"));
    app.surface = graph->picture()->area();
    if (!app.decoder) qFatal("no Timer5");

    form.Image2_Click();  // master switch on
    QTest::qWait(1000);
    b.memorise(true);
    b.startCyclic(true, QStringLiteral("Toutes les 2 secondes"));
    b.startCyclic(false, QStringLiteral("Toutes les 2 secondes"));

    for (const bool live : {false, true}) {
        b.child<QCheckBox>(QStringLiteral("suivi_direct"))->setChecked(live);
        app.decodeMs.clear();
        app.paintMs.clear();
        // A 20 ms timer: how late it fires is how long an event had to wait.
        QElapsedTimer since;
        double lateness = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            lateness = std::max(lateness, double(since.nsecsElapsed()) / 1e6 - 20);
            since.restart();
        });
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        since.start();
        tick.start(20);
        idleFor(seconds * 1000);
        tick.stop();
        const double elapsed = double(wall.elapsed()) / 1000.0;
        const double cpu = cpuSeconds() - cpu0;
        std::printf("{\"suivi_en_direct\": %s, \"seconds\": %.1f, \"nbre_acqui\": %d, \"analog_decodes\": %zu, "
                    "\"decode_step_ms_median\": %.2f, \"decode_step_ms_worst\": %.2f, \"surface_paints\": %zu, "
                    "\"paint_ms_median\": %.2f, \"paint_ms_worst\": %.2f, \"timer_lateness_worst_ms\": %.1f, "
                    "\"cpu_percent\": %.2f, \"mode_zoom\": %d}\n",
                    live ? "true" : "false", elapsed, form.tables().nbre_acqui, app.decodeMs.size(),
                    median(app.decodeMs), worst(app.decodeMs), app.paintMs.size(), median(app.paintMs),
                    worst(app.paintMs), lateness, 100.0 * cpu / elapsed, graph->mode_zoom());
        std::fflush(stdout);
    }
    b.close();
    return 0;
}
