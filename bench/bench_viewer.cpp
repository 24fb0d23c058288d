// Costs of "Parcourir un journal…" on a week-long journal (605 000 analog
// and 605 000 logic lines, one of each a second, some 60 MB): reading it
// whole with its summaries, and redrawing the detail plot 1920 pixels wide
// with the eight channels and the logic rows: the whole week, one wheel step
// in, one pan step, a resize, and an hour seen closely.
//   bench_viewer [--benchmark_filter=…]
// The journal is made once in a temporary folder, or at the path
// PRAMELOR_WEEK_JOURNAL names when no file is there yet (kept for later runs).
#include "../tests/support/journal_gen.h"
#include "../tests/support/process_stats.h"
#include "viewer/journal_model.h"
#include "viewer/plot_painter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

namespace {

constexpr qint64 kWeek = 605000;

struct Week {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<viewer::JournalModel> model;
};
Week *week = nullptr;

viewer::PlotState allShown()
{
    viewer::PlotState s;
    s.model = week->model.get();
    s.shown.fill(true);
    s.span = viewer::Span{week->model->data().firstTime(), week->model->data().endTime()};
    const auto [low, high] = viewer::shownExtremes(*s.model, s.shown, s.span.t0, s.span.t1);
    s.values = viewer::fitted(low, high);
    return s;
}

void draw(benchmark::State &state, const std::function<void(viewer::PlotState &, int)> &step, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    viewer::PlotState s = allShown();
    int i = 0;
    for (auto _ : state) {
        step(s, i++);
        QPainter p(&image);
        viewer::paintPlot(p, image.size(), s);
    }
}

void BM_OpenWeek(benchmark::State &state)
{
    for (auto _ : state) {
        viewer::Loaded l = viewer::loadJournal(week->path);
        benchmark::DoNotOptimize(l.model.get());
        state.counters["lines"] = double(l.model->data().analogCount() + l.model->data().logicCount());
        state.counters["model_MB"] = double(l.model->bytes()) / 1048576.0;
    }
}
BENCHMARK(BM_OpenWeek)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_RedrawWholeWeek(benchmark::State &state)
{
    draw(
        state, [](viewer::PlotState &, int) {}, QSize(1920, 1000));
}
BENCHMARK(BM_RedrawWholeWeek)->Unit(benchmark::kMillisecond);

void BM_RedrawWheelStep(benchmark::State &state)
{
    draw(
        state,
        [](viewer::PlotState &s, int i) {
            const viewer::Span whole{s.model->data().firstTime(), s.model->data().endTime()};
            // In and out again about a point a third of the way.
            s.span = viewer::zoomed(s.span, i % 40 < 20 ? 0.8 : 1.25, whole.t0 + whole.length() / 3, whole);
        },
        QSize(1920, 1000));
}
BENCHMARK(BM_RedrawWheelStep)->Unit(benchmark::kMillisecond);

void BM_RedrawPanStep(benchmark::State &state)
{
    draw(
        state,
        [](viewer::PlotState &s, int i) {
            const viewer::Span whole{s.model->data().firstTime(), s.model->data().endTime()};
            if (i == 0) s.span = viewer::Span{whole.t0, whole.t0 + whole.length() / 3};  // two days and some
            s.span = viewer::panned(s.span, s.span.length() / 10 * (i % 20 < 10 ? 1 : -1), whole);
        },
        QSize(1920, 1000));
}
BENCHMARK(BM_RedrawPanStep)->Unit(benchmark::kMillisecond);

void BM_RedrawResize(benchmark::State &state)
{
    QImage image(1920, 1000, QImage::Format_RGB32);
    viewer::PlotState s = allShown();
    int i = 0;
    for (auto _ : state) {
        const QSize size(1920 - (i % 16) * 8, 1000 - (i % 16) * 4);
        ++i;
        QPainter p(&image);
        viewer::paintPlot(p, size, s);
    }
}
BENCHMARK(BM_RedrawResize)->Unit(benchmark::kMillisecond);

void BM_RedrawOneHour(benchmark::State &state)
{
    draw(
        state,
        [](viewer::PlotState &s, int i) {
            const viewer::Span whole{s.model->data().firstTime(), s.model->data().endTime()};
            if (i == 0) s.span = viewer::Span{whole.t0 + whole.length() / 2, whole.t0 + whole.length() / 2 + 3600000};
        },
        QSize(1920, 1000));
}
BENCHMARK(BM_RedrawOneHour)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Week w;
    week = &w;
    w.path = qEnvironmentVariable("PRAMELOR_WEEK_JOURNAL");
    if (w.path.isEmpty()) w.path = w.dir.filePath(QStringLiteral("semaine.csv"));
    if (!QFile::exists(w.path)) {
        panel::MadeJournal j;
        j.start = QDateTime(QDate(2026, 12, 7), QTime(8, 0));
        j.steps = kWeek;
        j.pauses = {{200000, 3 * 3600 * 1000}};  // the panel closed for three hours
        if (!panel::writeMadeJournal(w.path, j)) return 1;
    }
    w.model = viewer::loadJournal(w.path).model;
    if (!w.model) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
