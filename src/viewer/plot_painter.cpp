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

// A vertical run of pixels, y0 ≤ y1, in one column.
struct Stroke {
    int x, y0, y1;
};

// The strokes in one colour, within clip. On an image the pixels are set
// directly: a redraw of the whole week sets millions of them, and setting
// them costs a fraction of what stroking as many lines would.
void paintStrokes(QPainter &p, const std::vector<Stroke> &strokes, QColor colour, const QRect &clip)
{
    QPaintDevice *device = p.device();
    auto *image = device && device->devType() == QInternal::Image ? static_cast<QImage *>(device) : nullptr;
    const bool direct = image && p.transform().isIdentity() &&
                        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32 ||
                         image->format() == QImage::Format_ARGB32_Premultiplied);
    const QRect area = clip.intersected(direct ? image->rect() : clip);
    if (direct) {
        const QRgb rgb = colour.rgba();
        uchar *bits = image->bits();
        const qsizetype stride = image->bytesPerLine();
        // Band by band of rows, so that the rows written stay in the caches.
        constexpr int kBand = 32;
        for (int band = area.top(); band <= area.bottom(); band += kBand) {
            const int bandEnd = std::min(band + kBand - 1, area.bottom());
            for (const Stroke &s : strokes) {
                if (s.x < area.left() || s.x > area.right()) continue;
                const int y0 = std::max(s.y0, band), y1 = std::min(s.y1, bandEnd);
                for (int y = y0; y <= y1; ++y) reinterpret_cast<QRgb *>(bits + y * stride)[s.x] = rgb;
            }
        }
        return;
    }
    QVarLengthArray<QLine, 4096> lines;
    for (const Stroke &s : strokes) lines.append(QLine(s.x, s.y0, s.x, s.y1));
    p.setPen(QPen(colour, 1));
    p.drawLines(lines.constData(), int(lines.size()));
}

// One channel: in each column a stroke from its lowest to its highest value,
// stretched to the last value of the column before when they belong
// together. Lines further apart are joined by straight lines, unless a gap
// in the journal or a missing number lies between them.
void paintChannel(QPainter &p, const PlotGeometry &g, const PlotState &s, const std::vector<ColumnSpan> &spans, int k)
{
    const JournalModel &m = *s.model;
    const std::vector<qint64> &times = m.data().analogTime;
    const std::vector<float> &v = m.data().analog[size_t(k)];
    const qint64 gap = m.analogGap();
    const auto ranges = columnRanges(m.summary(k), v, spans);
    QVarLengthArray<QLineF, 1024> lines;
    std::vector<Stroke> strokes;
    strokes.reserve(spans.size());
    const int width = int(spans.size());
    auto x = [&](qint64 i) { return g.analog.left() + xOf(times[size_t(i)], s.span.t0, s.span.t1, width); };
    auto y = [&](float value) { return yOf(g.analog, s.values, double(value)); };
    auto pixel = [&](double py) { return int(std::clamp(std::floor(py), -1.0e6, 1.0e6)); };
    auto joined = [&](qint64 i) {  // samples i − 1 and i belong together
        return i > 0 && i < qint64(times.size()) && !gapBefore(times, i, gap) && !std::isnan(v[size_t(i - 1)]) &&
               !std::isnan(v[size_t(i)]);
    };
    auto join = [&](qint64 i) {
        if (joined(i)) lines.append(QLineF(x(i - 1), y(v[size_t(i - 1)]), x(i), y(v[size_t(i)])));
    };
    int previous = -2;  // the last column that held lines
    qint64 last = -1;
    for (int c = 0; c < width; ++c) {
        const ColumnSpan &cs = spans[size_t(c)];
        if (cs.empty()) continue;
        const auto &r = ranges[size_t(c)];
        if (!std::isnan(r.low)) {
            float low = r.low, high = r.high;
            if (previous == c - 1 && joined(cs.first)) {
                low = std::min(low, v[size_t(cs.first - 1)]);
                high = std::max(high, v[size_t(cs.first - 1)]);
            }
            strokes.push_back(Stroke{g.analog.left() + c, pixel(y(high)), pixel(y(low))});
        }
        if (previous != c - 1) join(cs.first);
        previous = c;
        last = cs.end - 1;
    }
    if (last >= 0)
        join(last + 1);
    else if (!times.empty())  // no line in the view: the one that crosses it
        join(std::lower_bound(times.begin(), times.end(), s.span.t1) - times.begin());
    paintStrokes(p, strokes, graph::traceColor(k), g.analog);
    p.setPen(QPen(graph::traceColor(k), 1));
    p.drawLines(lines.constData(), int(lines.size()));
}

// The eight inputs: each row high when on, low when off, held from one line
// to the next unless a gap lies between; a column where an input changes
// is stroked from low to high.
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
        const int top = g.logic.top() + k * g.rowHeight + 2, bottom = top + g.rowHeight - 4;
        auto y = [&](qint64 i) { return bits[size_t(i)] & bit ? top : bottom; };
        QVarLengthArray<QLineF, 1024> lines;
        std::vector<Stroke> strokes;
        strokes.reserve(size_t(width));
        auto hold = [&](qint64 i) {  // from line i − 1 to line i, across empty columns
            if (i <= 0 || i >= qint64(times.size()) || gapBefore(times, i, gap)) return;
            lines.append(QLineF(x(i - 1), y(i - 1), x(i), y(i - 1)));
            if (y(i - 1) != y(i)) lines.append(QLineF(x(i), y(i - 1), x(i), y(i)));
        };
        int previous = -2;
        qint64 last = -1;
        for (int c = 0; c < width; ++c) {
            const ColumnSpan &cs = spans[size_t(c)];
            if (cs.empty()) continue;
            const auto &r = ranges[size_t(c)];
            int y0 = r.high & bit ? top : bottom, y1 = r.low & bit ? top : bottom;  // y0 ≤ y1
            if (previous == c - 1) {
                if (!gapBefore(times, cs.first, gap))
                    y0 = std::min(y0, y(cs.first - 1)), y1 = std::max(y1, y(cs.first - 1));
            } else {
                hold(cs.first);
            }
            strokes.push_back(Stroke{g.logic.left() + c, y0, y1});
            previous = c;
            last = cs.end - 1;
        }
        if (last >= 0)
            hold(last + 1);
        else
            hold(std::lower_bound(times.begin(), times.end(), s.span.t1) - times.begin());
        const QColor colour = graph::traceColor(k == 6 ? 0 : k);  // white would vanish on grey: black
        paintStrokes(p, strokes, colour, g.logic);
        p.setPen(QPen(colour, 1));
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
