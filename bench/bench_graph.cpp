// Costs of the graph on the user-interface thread, on the real image surface:
// the full analog view (eight channels, 1000 acquisitions) and the full logic
// view, each against the same segments drawn by one bare drawLines call; a
// mouse move (readouts and cursor lines, no trace redrawn), a zoom, and one
// step of the live view with both markers and their measures.
// The last lines printed give the ratio of each full view to its bare drawing.

#include "acquisition/table_ops.h"
#include "acquisition/tables.h"
#include "graph/graph_frame_widget.h"
#include "graph/picture_widget.h"
#include "graph/plot.h"
#include "graph/surface.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPen>
#include <QRadioButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

struct Bench {
    Tables tables;
    std::unique_ptr<GraphFrame> frame;
};
Bench *g = nullptr;

// Keeps every segment the plots draw; a zero-width rectangle is its one side.
class SegmentRecorder : public Surface {
public:
    std::vector<QLineF> segments;
    void clear() override { segments.clear(); }
    void line(QPointF a, QPointF b) override { segments.emplace_back(a, b); }
    void rectOutline(QPointF a, QPointF b) override { segments.emplace_back(a, b); }
    void text(QPointF, const QString &) override {}
    void setWidth(int) override {}
    void setColor(QColor) override {}
};

void analogLayout()
{
    g->frame->findChild<QRadioButton *>(QStringLiteral("Option1"))->setChecked(true);
    g->frame->Command24_Click();
}

void logicLayout()
{
    g->frame->findChild<QRadioButton *>(QStringLiteral("Option2"))->setChecked(true);
    g->frame->Command24_Click();
}

std::vector<QLineF> recordFullView(bool analog)
{
    SegmentRecorder r;
    graph::ZoomState z;
    graph::fullView(r, g->tables, analog, g->frame->selection(), QStringLiteral("1"), z);
    return r.segments;
}

// The same segments on an image of the surface's size, the surface's own pen
// and transform, one call: what drawing them costs at the least.
void bareDrawLines(benchmark::State &state, bool analog)
{
    const std::vector<QLineF> segments = recordFullView(analog);
    const QImage &drawn = g->frame->picture()->surface().image();
    QImage image(drawn.size(), drawn.format());
    QPen pen(Qt::black);
    pen.setCosmetic(true);
    pen.setWidthF(0);
    for (auto _ : state) {
        image.fill(QColor(192, 192, 192));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.scale(1.0 / 15, 1.0 / 15);
        p.setPen(pen);
        p.drawLines(segments.data(), int(segments.size()));
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["segments"] = double(segments.size());
}

void fullView(benchmark::State &state)
{
    ImageSurface &s = g->frame->picture()->surface();
    for (auto _ : state) {
        g->frame->Command24_Click();
        benchmark::DoNotOptimize(s.image().constBits());  // the painter has finished
    }
}

void BM_AnalogFullView(benchmark::State &state)
{
    analogLayout();
    fullView(state);
    state.counters["segments"] = double(recordFullView(true).size());
}
BENCHMARK(BM_AnalogFullView)->Unit(benchmark::kMillisecond);

void BM_AnalogBareDrawLines(benchmark::State &state)
{
    analogLayout();
    bareDrawLines(state, true);
}
BENCHMARK(BM_AnalogBareDrawLines)->Unit(benchmark::kMillisecond);

void BM_LogicFullView(benchmark::State &state)
{
    logicLayout();
    fullView(state);
    state.counters["segments"] = double(recordFullView(false).size());
}
BENCHMARK(BM_LogicFullView)->Unit(benchmark::kMillisecond);

void BM_LogicBareDrawLines(benchmark::State &state)
{
    logicLayout();
    bareDrawLines(state, false);
}
BENCHMARK(BM_LogicBareDrawLines)->Unit(benchmark::kMillisecond);

// The handler alone: readouts, cursor positions, a repaint requested.
void BM_MouseMove(benchmark::State &state)
{
    analogLayout();
    g->frame->findChild<QCheckBox *>(QStringLiteral("Check9"))->setChecked(true);
    double x = 1000, y = 1000;
    for (auto _ : state) {
        x = x > 11000 ? 1000 : x + 37;
        y = y > 5000 ? 100 : y + 23;
        g->frame->Picture1_MouseMove(0, 0, x, y);
    }
}
BENCHMARK(BM_MouseMove)->Unit(benchmark::kMicrosecond);

// The handler and the repaint it asks for: the traces are copied from the
// image, only the overlay and the cursor lines are drawn afresh.
void BM_MouseMoveAndRepaint(benchmark::State &state)
{
    analogLayout();
    g->frame->findChild<QCheckBox *>(QStringLiteral("Check9"))->setChecked(true);
    QWidget *area = g->frame->picture()->area();
    double x = 1000, y = 1000;
    for (auto _ : state) {
        x = x > 11000 ? 1000 : x + 37;
        y = y > 5000 ? 100 : y + 23;
        g->frame->Picture1_MouseMove(0, 0, x, y);
        area->repaint();
    }
}
BENCHMARK(BM_MouseMoveAndRepaint)->Unit(benchmark::kMicrosecond);

// A left click in the full view: the eleven-column zoom of eight channels.
void BM_AnalogZoom(benchmark::State &state)
{
    analogLayout();
    ImageSurface &s = g->frame->picture()->surface();
    for (auto _ : state) {
        g->frame->Picture1_MouseMove(0, 0, 6750, 3000);
        g->frame->Picture1_MouseDown(1, 0, 6750, 3000);
        benchmark::DoNotOptimize(s.image().constBits());
        state.PauseTiming();
        g->frame->Picture1_MouseDown(1, 0, 6750, 3000);  // back to the full view
        state.ResumeTiming();
    }
    if (g->frame->mode_zoom() != 0) state.SkipWithError("zoom did not toggle");
}
BENCHMARK(BM_AnalogZoom)->Unit(benchmark::kMillisecond);

void BM_LogicZoom(benchmark::State &state)
{
    logicLayout();
    ImageSurface &s = g->frame->picture()->surface();
    for (auto _ : state) {
        g->frame->Picture1_MouseMove(0, 0, 6750, 3000);
        g->frame->Picture1_MouseDown(1, 0, 6750, 3000);
        benchmark::DoNotOptimize(s.image().constBits());
        state.PauseTiming();
        g->frame->Picture1_MouseDown(1, 0, 6750, 3000);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LogicZoom)->Unit(benchmark::kMillisecond);

// "Suivi en direct": one memorised acquisition of the chosen layout's frame
// redraws the full view, moves the markers, measures between them (A on the
// first slot, B on the last: the widest span) and repaints the surface.
void liveStep(benchmark::State &state, bool analog)
{
    GraphFrame &f = *g->frame;
    f.findChild<QCheckBox *>(QStringLiteral("suivi_direct"))->setChecked(true);
    f.Picture1_MouseDown(1, 2, 1000, 2000);   // Ctrl + left: A on acquisition 0
    f.Picture1_MouseDown(2, 2, 11520, 2000);  // Ctrl + right: B on the last
    QWidget *area = f.picture()->area();
    acquisition::Acquired a;
    a.channel = analog ? Channel::Analog : Channel::Logic;
    int slot = 0;
    for (auto _ : state) {
        a.slot = slot;
        if (analog)
            g->tables.tab_ana(3, slot) = Element::number(slot % 255);
        else
            g->tables.tab_log[size_t(8 * slot)] = Element::number(slot % 2);
        slot = (slot + 1) % (g->tables.nbre_acqui + 1);
        f.acquisitionDecoded(a);
        area->repaint();
    }
    if (f.mode_zoom() != 0 || f.markers().b != g->tables.nbre_acqui) state.SkipWithError("not the full view");
    f.findChild<QCheckBox *>(QStringLiteral("suivi_direct"))->setChecked(false);
    f.clearMarkers();
}

void BM_AnalogLiveStep(benchmark::State &state)
{
    analogLayout();
    liveStep(state, true);
}
BENCHMARK(BM_AnalogLiveStep)->Unit(benchmark::kMillisecond);

void BM_LogicLiveStep(benchmark::State &state)
{
    logicLayout();
    liveStep(state, false);
}
BENCHMARK(BM_LogicLiveStep)->Unit(benchmark::kMillisecond);

// Remembers the mean real time of every run for the closing ratios.
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs)
            if (r.iterations > 0) ms[r.benchmark_name()] = r.real_accumulated_time * 1e3 / double(r.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    Bench b;
    g = &b;
    b.tables.nbre_acqui = 1000;
    acquisition::RandomSource random;
    acquisition::randomFill(b.tables, random);
    b.frame = std::make_unique<GraphFrame>(b.tables, nullptr);
    b.frame->resize(800, 560);
    b.frame->show();
    b.frame->findChild<QRadioButton *>(QStringLiteral("Option1"))->setChecked(true);
    for (int slot = 0; slot < 8; ++slot) b.frame->Label56_Click(slot);  // all eight channels
    QApplication::processEvents();

    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char *view, const char *bare) {
        const auto v = reporter.ms.find(view), r = reporter.ms.find(bare);
        if (v == reporter.ms.end() || r == reporter.ms.end() || r->second <= 0) return;
        std::printf("%s / %s = %.2f (%.3f ms against %.3f ms)\n", view, bare, v->second / r->second, v->second,
                    r->second);
    };
    ratio("BM_AnalogFullView", "BM_AnalogBareDrawLines");
    ratio("BM_LogicFullView", "BM_LogicBareDrawLines");
    benchmark::Shutdown();
    return 0;
}
