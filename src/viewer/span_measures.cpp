#include "viewer/span_measures.h"

#include "text/numbers.h"
#include "viewer/time_axis.h"

#include <algorithm>
#include <cmath>

namespace viewer {

std::optional<qint64> sampleAtOrBefore(const std::vector<qint64> &times, qint64 t)
{
    const auto it = std::upper_bound(times.begin(), times.end(), t);
    if (it == times.begin()) return std::nullopt;
    return qint64(it - times.begin()) - 1;
}

std::optional<qint64> nearestSample(const std::vector<qint64> &times, qint64 t)
{
    if (times.empty()) return std::nullopt;
    const auto it = std::lower_bound(times.begin(), times.end(), t);
    if (it == times.end()) return qint64(times.size()) - 1;
    if (it == times.begin()) return 0;
    const qint64 i = qint64(it - times.begin());
    return t - times[size_t(i - 1)] <= times[size_t(i)] - t ? i - 1 : i;
}

namespace {

// Indexes [first, end) of the samples with from ≤ t ≤ to.
std::pair<size_t, size_t> within(const std::vector<qint64> &times, qint64 from, qint64 to)
{
    const auto a = std::lower_bound(times.begin(), times.end(), from);
    const auto b = std::upper_bound(a, times.end(), to);
    return {size_t(a - times.begin()), size_t(b - times.begin())};
}

QString number(double v) { return std::isfinite(v) ? text::twoDecimals(v) : QString(); }

}  // namespace

ChannelStats channelStats(const JournalModel &m, int channel, qint64 from, qint64 to)
{
    ChannelStats s;
    const auto [first, end] = within(m.data().analogTime, from, to);
    if (first >= end) return s;
    const std::vector<float> &v = m.data().analog[size_t(channel)];
    const auto r = m.summary(channel).range(v, first, end);
    double sum = 0;
    for (size_t i = first; i < end; ++i)
        if (!std::isnan(v[i])) sum += double(v[i]), ++s.count;
    if (s.count == 0) return s;
    s.low = r.low;
    s.high = r.high;
    s.mean = sum / double(s.count);
    return s;
}

Edges edges(const JournalData &d, int input, qint64 from, qint64 to)
{
    Edges e;
    const auto [first, end] = within(d.logicTime, from, to);
    const std::uint8_t bit = std::uint8_t(1u << input);
    for (size_t i = first + 1; i < end; ++i) {
        const bool was = d.logic[i - 1] & bit, is = d.logic[i] & bit;
        e.rises += !was && is;
        e.falls += was && !is;
    }
    return e;
}

graph::MeasureTable spanMeasures(const JournalModel &m, const SpanMarkers &mk, const std::array<bool, kChannels> &shown)
{
    const JournalData &d = m.data();
    graph::MeasureTable out;
    out.header = {QStringLiteral("Mesure"),
                  QStringLiteral("A"),
                  QStringLiteral("B"),
                  QStringLiteral("Δ (B − A)"),
                  QStringLiteral("Minimum"),
                  QStringLiteral("Maximum"),
                  QStringLiteral("Moyenne"),
                  QStringLiteral("Fronts montants"),
                  QStringLiteral("Fronts descendants")};
    const auto width = out.header.size();
    auto padded = [width](QStringList row) {
        while (row.size() < width) row << QString();
        return row;
    };
    const bool both = mk.a && mk.b;
    out.rows << padded({QStringLiteral("Date et heure"), mk.a ? shownMs(*mk.a) : QString(),
                        mk.b ? shownMs(*mk.b) : QString(), both ? graph::durationText(*mk.b - *mk.a) : QString()});
    const qint64 from = both ? std::min(*mk.a, *mk.b) : 0, to = both ? std::max(*mk.a, *mk.b) : 0;

    auto analogAt = [&](const std::optional<qint64> &t, int k) -> double {
        if (!t) return NAN;
        const auto i = sampleAtOrBefore(d.analogTime, *t);
        return i ? double(d.analog[size_t(k)][size_t(*i)]) : NAN;
    };
    auto unitAt = [&](const std::optional<qint64> &t, int k) {
        const auto i = t ? sampleAtOrBefore(d.analogTime, *t) : std::nullopt;
        return d.unitsAt(i.value_or(0))[size_t(k)].trimmed();
    };
    for (int k = 0; k < kChannels; ++k) {
        if (!shown[size_t(k)]) continue;
        const QString ua = unitAt(mk.a, k), ub = unitAt(mk.b, k);
        const bool sameUnit = !both || ua == ub;
        QString label = QStringLiteral("Voie %1").arg(k + 1);
        if (!sameUnit)
            label += QStringLiteral(" (%1 → %2)").arg(ua, ub);  // no difference across a change of unit
        else if (!(mk.a ? ua : ub).isEmpty())
            label += QStringLiteral(" (%1)").arg(mk.a ? ua : ub);
        const double va = analogAt(mk.a, k), vb = analogAt(mk.b, k);
        QStringList row{label, number(va), number(vb), sameUnit ? number(vb - va) : QString()};
        if (both && sameUnit) {
            const ChannelStats s = channelStats(m, k, from, to);
            row << number(s.low) << number(s.high) << number(s.mean);
        }
        out.rows << padded(row);
    }
    auto levelAt = [&](const std::optional<qint64> &t, int k) {
        const auto i = t ? sampleAtOrBefore(d.logicTime, *t) : std::nullopt;
        if (!i) return QString();
        return d.logic[size_t(*i)] & (1u << k) ? QStringLiteral("1") : QStringLiteral("0");
    };
    if (!d.logicTime.empty())
        for (int k = 0; k < kChannels; ++k) {
            QStringList row{QStringLiteral("Entrée %1").arg(k + 1), levelAt(mk.a, k), levelAt(mk.b, k)};
            row = padded(row);
            if (both) {
                const Edges e = edges(d, k, from, to);
                row[7] = QString::number(e.rises);
                row[8] = QString::number(e.falls);
            }
            out.rows << row;
        }
    return out;
}

}  // namespace viewer
