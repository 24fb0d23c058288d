#pragma once
// The drawing of the journal browser's detail plot, on any painter (the
// window, an exported picture, a benchmark's image): the shown channels in
// their trace colours over the value axis, the eight logic inputs as stepped
// rows under them, the time axis, the changes of unit and the markers. Each
// pixel column draws the extremes of its lines, so that a redraw costs the
// width of the plot, not the length of the journal; a gap in the journal
// breaks the traces.

#include "viewer/journal_model.h"
#include "viewer/span.h"
#include "viewer/span_measures.h"

#include <QRect>
#include <array>

class QPainter;

namespace viewer {

struct PlotState {
    const JournalModel *model = nullptr;
    Span span;
    ValueRange values;
    std::array<bool, kChannels> shown{};
    SpanMarkers markers;
};

struct PlotGeometry {
    QRect analog;  // the traces
    QRect logic;   // the eight rows, input 1 at the top
    QRect timeAxis;
    int rowHeight = 0;
};

PlotGeometry plotGeometry(QSize size);

void paintPlot(QPainter &p, QSize size, const PlotState &s);

// Where things are: the time at x, the value at y, and back.
qint64 timeAtX(const PlotGeometry &g, const Span &span, double x);
double xAtTime(const PlotGeometry &g, const Span &span, qint64 t);
double valueAtY(const PlotGeometry &g, const ValueRange &r, double y);

// The extremes of the shown channels over [t0, t1); nothing shown or no
// number: not numbers.
std::pair<double, double> shownExtremes(const JournalModel &m, const std::array<bool, kChannels> &shown, qint64 t0,
                                        qint64 t1);

}  // namespace viewer
