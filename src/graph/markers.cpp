#include "graph/markers.h"

#include "graph/layout.h"
#include "text/numbers.h"

#include <algorithm>
#include <cmath>

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

QString number(double v) { return std::isfinite(v) ? text::twoDecimals(v) : QString(); }

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
    out.rows << padded({QStringLiteral("Date et heure"), acquisition::shownTime(ta), acquisition::shownTime(tb),
                        ta.isValid() && tb.isValid() ? durationText(ta.msecsTo(tb)) : QString()});
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
        out.header << QStringLiteral("Minimum") << QStringLiteral("Maximum") << QStringLiteral("Moyenne");
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

QString durationText(qint64 ms)
{
    // The unit by the value as shown: 59,999 s is shown as 1, min.
    const double s = double(ms) / 1000.0;
    auto fits = [](double v) { return std::round(std::fabs(v) * 100) < 6000; };
    if (fits(s)) return text::twoDecimals(s) + QStringLiteral(" s");
    if (fits(s / 60)) return text::twoDecimals(s / 60) + QStringLiteral(" min");
    return text::twoDecimals(s / 3600) + QStringLiteral(" h");
}

}  // namespace graph
