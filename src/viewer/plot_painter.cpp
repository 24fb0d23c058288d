#include "viewer/plot_painter.h"

#include "graph/layout.h"
#include "graph/markers.h"
#include "text/numbers.h"
#include "viewer/columns.h"
#include "viewer/time_axis.h"

#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

namespace viewer {

namespace {

constexpr int kLeft = 64, kRight = 12, kTop = 18, kAxis = 38, kRow = 14, kRowGap = 8;

QColor frameColour() { return QColor(64, 64, 64); }
QColor ruleColour() { return QColor(170, 170, 170); }

double yOf(const QRect &r, const ValueRange &v, double value)
{
    return r.top() + (v.high - value) / (v.high - v.low) * r.height();
}

// A round step for about `count` divisions of span.
double roundStep(double span, int count)
{
    const double raw = span / std::max(count, 1);
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * mag >= raw) return m * mag;
    return 10 * mag;
}

void paintValueAxis(QPainter &p, const PlotGeometry &g, const ValueRange &v)
{
    const QFontMetrics fm(p.font());
    const double step = roundStep(v.high - v.low, std::max(2, g.analog.height() / 40));
    for (double k = std::ceil(v.low / step); k * step <= v.high; k += 1) {
        const double value = k * step;
        const double y = yOf(g.analog, v, value);
        p.setPen(ruleColour());
        p.drawLine(QPointF(g.analog.left(), y), QPointF(g.analog.right(), y));
        p.setPen(Qt::black);
        const QString t = text::plainNumber(std::abs(value) < step / 2 ? 0.0 : value);
        p.drawText(QRectF(0, y - fm.height() / 2.0, kLeft - 6, fm.height()), Qt::AlignRight | Qt::AlignVCenter, t);
    }
}

void paintTimeAxis(QPainter &p, const PlotGeometry &g, const Span &span)
{
    const QFontMetrics fm(p.font());
    const TimeTicks ticks = timeTicks(span.t0, span.t1, g.analog.width(), 90);
    for (const TimeTick &t : ticks.ticks) {
        const double x = xAtTime(g, span, t.ms);
        p.setPen(ruleColour());
        p.drawLine(QPointF(x, g.analog.top()), QPointF(x, g.logic.bottom()));
        p.setPen(Qt::black);
        p.drawLine(QPointF(x, g.timeAxis.top()), QPointF(x, g.timeAxis.top() + 4));
        p.drawText(QRectF(x - 60, g.timeAxis.top() + 4, 120, fm.height()), Qt::AlignHCenter | Qt::AlignTop, t.text);
        if (!t.date.isEmpty())
            p.drawText(QRectF(x - 60, g.timeAxis.top() + 4 + fm.height(), 120, fm.height()),
                       Qt::AlignHCenter | Qt::AlignTop, t.date);
    }
}

// One channel: a vertical stroke over each column's extremes, joined to the
// next column's first line unless a gap or a missing number lies between.
void paintChannel(QPainter &p, const PlotGeometry &g, const PlotState &s, const std::vector<ColumnSpan> &spans, int k)
{
    const JournalModel &m = *s.model;
    const std::vector<qint64> &times = m.data().analogTime;
    const std::vector<float> &v = m.data().analog[size_t(k)];
    const qint64 gap = m.analogGap();
    const auto ranges = columnRanges(m.summary(k), v, spans);
    QVarLengthArray<QLineF, 4096> lines;
    const int width = int(spans.size());
    auto x = [&](qint64 i) { return g.analog.left() + xOf(times[size_t(i)], s.span.t0, s.span.t1, width); };
    auto y = [&](float value) { return yOf(g.analog, s.values, double(value)); };
    // Joins sample i − 1 to sample i when nothing breaks them.
    auto join = [&](qint64 i) {
        if (i <= 0 || i >= qint64(times.size()) || gapBefore(times, i, gap)) return;
        const float a = v[size_t(i - 1)], b = v[size_t(i)];
        if (std::isnan(a) || std::isnan(b)) return;
        lines.append(QLineF(x(i - 1), y(a), x(i), y(b)));
    };
    qint64 last = -1;
    for (int c = 0; c < width; ++c) {
        const ColumnSpan &cs = spans[size_t(c)];
        if (cs.empty()) continue;
        join(cs.first);
        const auto &r = ranges[size_t(c)];
        if (cs.end - cs.first == 1) {
            if (!std::isnan(r.low)) {
                const double px = x(cs.first), py = y(r.low);
                lines.append(QLineF(px, py - 0.5, px, py + 0.5));
            }
        } else if (!std::isnan(r.low)) {
            const double cx = g.analog.left() + c + 0.5;
            lines.append(QLineF(cx, y(r.high), cx, y(r.low)));
            // Lines that cross a gap inside the column are still joined by
            // the stroke: at this scale the gap is narrower than a pixel.
        }
        last = cs.end - 1;
    }
    if (last >= 0)
        join(last + 1);
    else if (!times.empty()) {  // no line in the view: the one that crosses it
        const qint64 after = std::lower_bound(times.begin(), times.end(), s.span.t1) - times.begin();
        join(after);
    }
    p.setPen(QPen(graph::traceColor(k), 1));
    p.drawLines(lines.constData(), int(lines.size()));
}

// The eight inputs: each row high when on, low when off, held from one line
// to the next unless a gap lies between; a column where an input changes
// more than once is filled from low to high.
void paintLogic(QPainter &p, const PlotGeometry &g, const PlotState &s)
{
    const JournalModel &m = *s.model;
    const std::vector<qint64> &times = m.data().logicTime;
    const std::vector<std::uint8_t> &bits = m.data().logic;
    if (times.empty()) return;
    const int width = g.logic.width();
    const auto spans = columnSpans(times, s.span.t0, s.span.t1, width);
    const auto ranges = columnRanges(m.logicSummary(), bits, spans);
    const qint64 gap = m.logicGap();
    auto x = [&](qint64 i) { return g.logic.left() + xOf(times[size_t(i)], s.span.t0, s.span.t1, width); };
    for (int k = 0; k < kChannels; ++k) {
        const std::uint8_t bit = std::uint8_t(1u << k);
        const double top = g.logic.top() + k * g.rowHeight + 2, bottom = top + g.rowHeight - 4;
        auto y = [&](qint64 i) { return bits[size_t(i)] & bit ? top : bottom; };
        QVarLengthArray<QLineF, 4096> lines;
        auto hold = [&](qint64 i) {  // from line i − 1 to line i
            if (i <= 0 || i >= qint64(times.size()) || gapBefore(times, i, gap)) return;
            lines.append(QLineF(x(i - 1), y(i - 1), x(i), y(i - 1)));
            if (y(i - 1) != y(i)) lines.append(QLineF(x(i), y(i - 1), x(i), y(i)));
        };
        qint64 last = -1;
        for (int c = 0; c < width; ++c) {
            const ColumnSpan &cs = spans[size_t(c)];
            if (cs.empty()) continue;
            hold(cs.first);
            const auto &r = ranges[size_t(c)];
            if ((r.low & bit) != (r.high & bit)) {
                const double cx = g.logic.left() + c + 0.5;
                lines.append(QLineF(cx, top, cx, bottom));
            } else if (cs.end - cs.first > 1) {
                lines.append(QLineF(x(cs.first), y(cs.first), x(cs.end - 1), y(cs.first)));
            }
            last = cs.end - 1;
        }
        if (last >= 0)
            hold(last + 1);
        else
            hold(std::lower_bound(times.begin(), times.end(), s.span.t1) - times.begin());
        p.setPen(QPen(graph::traceColor(k == 6 ? 0 : k), 1));  // white stays readable on grey as black
        p.drawLines(lines.constData(), int(lines.size()));
    }
}

void paintUnitChanges(QPainter &p, const PlotGeometry &g, const PlotState &s)
{
    const JournalData &d = s.model->data();
    const QFontMetrics fm(p.font());
    // The units in force at the left edge, then each change in the view.
    const auto first = sampleAtOrBefore(d.analogTime, s.span.t0);
    auto unitsText = [&](const files::Units &u) {
        QStringList parts;
        for (int k = 0; k < kChannels; ++k)
            if (s.shown[size_t(k)] && !u[size_t(k)].trimmed().isEmpty())
                parts << QStringLiteral("%1 : %2").arg(k + 1).arg(u[size_t(k)].trimmed());
        return parts.join(QStringLiteral("  "));
    };
    p.setPen(Qt::black);
    p.drawText(QRectF(g.analog.left() + 4, 0, g.analog.width() / 2.0, kTop), Qt::AlignLeft | Qt::AlignVCenter,
               unitsText(d.unitsAt(first.value_or(0))));
    for (size_t i = 1; i < d.units.size(); ++i) {
        const UnitChange &c = d.units[i];
        if (c.from >= d.analogCount() || c.time < s.span.t0 || c.time >= s.span.t1) continue;
        const double x = xAtTime(g, s.span, c.time);
        p.setPen(QPen(Qt::black, 1, Qt::DashLine));
        p.drawLine(QPointF(x, g.analog.top()), QPointF(x, g.analog.bottom()));
        p.drawText(QRectF(x + 3, 0, 400, kTop), Qt::AlignLeft | Qt::AlignVCenter, unitsText(c.units));
    }
}

void paintMarkers(QPainter &p, const PlotGeometry &g, const PlotState &s)
{
    for (const bool b : {false, true}) {
        const std::optional<qint64> &t = b ? s.markers.b : s.markers.a;
        if (!t || *t < s.span.t0 || *t >= s.span.t1) continue;
        const double x = xAtTime(g, s.span, *t);
        p.setPen(QPen(graph::markerColour(b), 1, Qt::DashLine));
        p.drawLine(QPointF(x, g.analog.top()), QPointF(x, g.logic.bottom()));
        p.drawText(QRectF(b ? x + 3 : x - 23, g.analog.top(), 20, 16), b ? Qt::AlignLeft : Qt::AlignRight,
                   b ? QStringLiteral("B") : QStringLiteral("A"));
    }
}

}  // namespace

PlotGeometry plotGeometry(QSize size)
{
    PlotGeometry g;
    g.rowHeight = kRow;
    const int logicHeight = kChannels * kRow;
    const int w = std::max(1, size.width() - kLeft - kRight);
    const int analogHeight = std::max(20, size.height() - kTop - kAxis - kRowGap - logicHeight);
    g.analog = QRect(kLeft, kTop, w, analogHeight);
    g.logic = QRect(kLeft, g.analog.bottom() + 1 + kRowGap, w, logicHeight);
    g.timeAxis = QRect(kLeft, g.logic.bottom() + 1, w, kAxis);
    return g;
}

qint64 timeAtX(const PlotGeometry &g, const Span &span, double x)
{
    return span.t0 + qint64(std::llround((x - g.analog.left()) * double(span.length()) / g.analog.width()));
}

double xAtTime(const PlotGeometry &g, const Span &span, qint64 t)
{
    return g.analog.left() + xOf(t, span.t0, span.t1, g.analog.width());
}

double valueAtY(const PlotGeometry &g, const ValueRange &r, double y)
{
    return r.high - (y - g.analog.top()) / g.analog.height() * (r.high - r.low);
}

std::pair<double, double> shownExtremes(const JournalModel &m, const std::array<bool, kChannels> &shown, qint64 t0,
                                        qint64 t1)
{
    const auto &times = m.data().analogTime;
    const size_t a = size_t(std::lower_bound(times.begin(), times.end(), t0) - times.begin());
    const size_t b = size_t(std::lower_bound(times.begin(), times.end(), t1) - times.begin());
    float low = NAN, high = NAN;
    for (int k = 0; k < kChannels; ++k) {
        if (!shown[size_t(k)]) continue;
        const auto r = m.summary(k).range(m.data().analog[size_t(k)], a, b);
        low = std::fmin(low, r.low);
        high = std::fmax(high, r.high);
    }
    return {double(low), double(high)};
}

void paintPlot(QPainter &p, QSize size, const PlotState &s)
{
    const PlotGeometry g = plotGeometry(size);
    p.fillRect(QRect(QPoint(0, 0), size), QColor(240, 240, 240));
    p.fillRect(g.analog, graph::surfaceBackground());
    p.fillRect(g.logic, graph::surfaceBackground());
    if (!s.model || s.span.length() <= 0) return;
    paintValueAxis(p, g, s.values);
    paintTimeAxis(p, g, s.span);
    const QFontMetrics fm(p.font());
    p.setPen(Qt::black);
    for (int k = 0; k < kChannels; ++k)
        p.drawText(QRectF(0, g.logic.top() + k * g.rowHeight, kLeft - 6, g.rowHeight),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("E%1").arg(k + 1));
    p.save();
    p.setClipRect(g.analog);
    const auto spans = columnSpans(s.model->data().analogTime, s.span.t0, s.span.t1, g.analog.width());
    for (int k = 0; k < kChannels; ++k)
        if (s.shown[size_t(k)]) paintChannel(p, g, s, spans, k);
    p.setClipRect(g.logic);
    paintLogic(p, g, s);
    p.restore();
    paintUnitChanges(p, g, s);
    paintMarkers(p, g, s);
    p.setPen(frameColour());
    p.setBrush(Qt::NoBrush);
    p.drawRect(g.analog.adjusted(0, 0, -1, -1));
    p.drawRect(g.logic.adjusted(0, 0, -1, -1));
}

}  // namespace viewer
