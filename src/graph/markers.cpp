#include "graph/markers.h"

#include "graph/layout.h"
#include "text/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace graph {

View shownView(const ZoomState &z, int nbreAcqui)
{
    if (z.mode_zoom == 1) return View{z.acqui_curseur, kZoomColumns};
    return View{0, nbreAcqui};
}

int markedAcquisition(double x, int nbreAcqui, const ZoomState &z)
{
    return std::clamp(acquisitionAt(x, nbreAcqui, z), 0, Tables::kSlots - 1);
}

std::optional<double> acquisitionX(long long a, const View &v)
{
    if (v.columns <= 0 || a < v.first || a > v.first + v.columns) return std::nullopt;
    return kOriginX + columnStep(v.columns) * double(a - v.first);
}

QColor markerColour(bool b) { return b ? QColor(128, 0, 0) : QColor(0, 0, 128); }

std::vector<MarkerLine> markerLines(const Markers &m, const View &v)
{
    std::vector<MarkerLine> out;
    for (const bool b : {false, true}) {
        const std::optional<int> &a = b ? m.b : m.a;
        if (!a) continue;
        const auto x = acquisitionX(*a, v);
        if (!x) continue;
        MarkerLine l;
        l.line = QLineF(*x, kMarkerTop, *x, kTimeAxisY);
        l.colour = markerColour(b);
        l.label = b ? QStringLiteral("B") : QStringLiteral("A");
        l.labelRight = b;
        const double left = b ? *x + kMarkerLabelGap : *x - kMarkerLabelGap - kMarkerLabelWidth;
        l.labelBox = QRectF(left, kMarkerTop, kMarkerLabelWidth, kMarkerLabelHeight);
        out.push_back(l);
    }
    return out;
}

namespace {

// An analog element in the unit of its channel; not a number when it cannot be read.
double valueAt(const Tables &t, int k, const std::optional<int> &a, double c)
{
    const Element *e = a ? t.anaAt(k, *a) : nullptr;
    if (!e) return std::nan("");
    const std::optional<double> v = e->toNumber();
    if (!v) return std::nan("");
    return *v * c * 5 / 255;
}

QString number(double v) { return std::isfinite(v) ? fixedDecimals(v, 2) : QString(); }

// At least two decimals and three significant figures: a slope of 0,000139 V
// per second or a frequency of 0,0179 Hz is not shown as 0,00.
QString figures(double v)
{
    if (!std::isfinite(v)) return {};
    const double size = std::fabs(v);
    const int decimals = size == 0 ? 2 : std::clamp(2 - int(std::floor(std::log10(size))), 2, 9);
    return fixedDecimals(v, decimals);
}

const QString kNoDuration = QStringLiteral("Δt nul");

// Per second of the time from A to B: empty without both times, said when
// they are the same.
QString perSecond(double delta, const QDateTime &ta, const QDateTime &tb)
{
    if (!std::isfinite(delta) || !ta.isValid() || !tb.isValid()) return {};
    const qint64 ms = ta.msecsTo(tb);
    return ms == 0 ? kNoDuration : figures(delta * 1000.0 / double(ms));
}

QString slotText(const std::optional<int> &a) { return a ? QString::number(*a) : QString(); }

QDateTime timeOf(const Tables &t, bool analog, const std::optional<int> &a)
{
    if (!a) return {};
    return analog ? t.times.analog(*a) : t.times.logic(*a);
}

// The two first rows, common to both layouts, padded to the header's width.
void markerRows(MeasureTable &out, const Tables &t, const Markers &m, bool analog)
{
    const auto width = out.header.size();
    auto padded = [width](QStringList row) {
        while (row.size() < width) row << QString();
        return row;
    };
    const bool both = m.a && m.b;
    out.rows << padded({QStringLiteral("Acquisition N°"), slotText(m.a), slotText(m.b),
                        both ? QString::number(*m.b - *m.a) : QString()});
    const QDateTime ta = timeOf(t, analog, m.a), tb = timeOf(t, analog, m.b);
    // Both times are absolute (each keeps its offset from UTC): the hour
    // repeated in autumn is no hour back.
    const bool timed = ta.isValid() && tb.isValid();
    const qint64 ms = timed ? ta.msecsTo(tb) : 0;
    out.rows << padded({QStringLiteral("Date et heure"), acquisition::shownTime(ta), acquisition::shownTime(tb),
                        timed ? durationText(ms) : QString()});
    out.rows << padded({QStringLiteral("1/Δt (Hz)"), QString(), QString(),
                        !timed    ? QString()
                        : ms == 0 ? kNoDuration
                                  : figures(1000.0 / double(std::llabs(ms)))});
}

void analogRows(MeasureTable &out, const Tables &t, const Markers &m, const MeasureContext &c)
{
    for (int slot = 0; slot < 8; ++slot) {
        if (c.selection[size_t(slot)] != 1) continue;
        const int k = slot + 1;
        const QString unit = c.units[size_t(slot)].trimmed();
        QStringList row{unit.isEmpty() ? QStringLiteral("Voie %1").arg(k)
                                       : QStringLiteral("Voie %1 (%2)").arg(k).arg(unit)};
        const double va = valueAt(t, k, m.a, c.coefficient), vb = valueAt(t, k, m.b, c.coefficient);
        row << number(va) << number(vb) << number(vb - va);
        double low = std::nan(""), high = std::nan(""), sum = 0;
        int count = 0;
        if (m.a && m.b)
            for (int a = std::min(*m.a, *m.b); a <= std::max(*m.a, *m.b); ++a) {
                const double v = valueAt(t, k, a, c.coefficient);
                if (!std::isfinite(v)) continue;
                low = count == 0 ? v : std::min(low, v);
                high = count == 0 ? v : std::max(high, v);
                sum += v;
                ++count;
            }
        row << number(low) << number(high) << number(count > 0 ? sum / count : std::nan(""));
        row << perSecond(vb - va, timeOf(t, true, m.a), timeOf(t, true, m.b));
        out.rows << row;
    }
}

void logicRows(MeasureTable &out, const Tables &t, const Markers &m)
{
    // The levels as the full view draws them, from acquisition 0 on.
    const int last = std::max(m.a.value_or(0), m.b.value_or(0));
    const std::vector<unsigned char> low = logicLows(t, 0, size_t(last) + 1);
    auto isLow = [&low](int a, int k) { return low[8 * size_t(a) + size_t(k - 1)] != 0; };
    auto level = [&](const std::optional<int> &a, int k) {
        if (!a) return QString();
        return isLow(*a, k) ? QStringLiteral("0") : QStringLiteral("1");
    };
    for (int k = 1; k <= 8; ++k) {
        QStringList row{QStringLiteral("Voie %1").arg(k), level(m.a, k), level(m.b, k), QString()};
        if (m.a && m.b) {
            int rises = 0, falls = 0;
            for (int a = std::min(*m.a, *m.b) + 1; a <= std::max(*m.a, *m.b); ++a) {
                if (isLow(a - 1, k) && !isLow(a, k)) ++rises;
                if (!isLow(a - 1, k) && isLow(a, k)) ++falls;
            }
            row << QString::number(rises) << QString::number(falls);
        } else {
            row << QString() << QString();
        }
        out.rows << row;
    }
}

}  // namespace

MeasureTable measures(const Tables &t, const Markers &marked, const MeasureContext &c)
{
    Markers m = marked;  // a marker always lies within the tables
    for (std::optional<int> *a : {&m.a, &m.b})
        if (*a) **a = std::clamp(**a, 0, Tables::kSlots - 1);
    MeasureTable out;
    out.header = {QStringLiteral("Mesure"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Δ (B − A)")};
    if (c.analog)
        out.header << QStringLiteral("Minimum") << QStringLiteral("Maximum") << QStringLiteral("Moyenne")
                   << QStringLiteral("Δ/Δt (par s)");
    else
        out.header << QStringLiteral("Fronts montants") << QStringLiteral("Fronts descendants");
    markerRows(out, t, m, c.analog);
    if (c.analog)
        analogRows(out, t, m, c);
    else
        logicRows(out, t, m);
    return out;
}

QString tabSeparated(const MeasureTable &table)
{
    QString out = table.header.join(u'\t') + u'\n';
    for (const QStringList &row : table.rows) out += row.join(u'\t') + u'\n';
    return out;
}

QString fixedDecimals(double v, int decimals)
{
    if (std::fabs(v) * std::pow(10.0, decimals) < 0.5) v = 0;  // no "-0,00"
    QString s = QString::number(v, 'f', decimals);
    const qsizetype point = s.indexOf(u'.');
    if (point >= 0) s.replace(point, 1, text::decimalSeparator());
    return s;
}

QString durationText(qint64 ms)
{
    // Hundredths of a second, then hours and minutes as whole numbers.
    const qint64 cs = (std::llabs(ms) + 5) / 10;
    const QString sign = ms < 0 && cs > 0 ? QStringLiteral("-") : QString();
    const qint64 h = cs / 360000, min = cs / 6000 % 60, hundredths = cs % 6000;
    QString seconds = fixedDecimals(double(hundredths) / 100, 2);
    if (h == 0 && min == 0) return sign + seconds + QStringLiteral(" s");
    if (hundredths < 1000) seconds.prepend(u'0');
    const QString minutes = QStringLiteral("%1 min ").arg(min, h > 0 ? 2 : 1, 10, QLatin1Char('0'));
    return sign + (h > 0 ? QStringLiteral("%1 h ").arg(h) : QString()) + minutes + seconds + QStringLiteral(" s");
}

}  // namespace graph
