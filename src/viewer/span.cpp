#include "viewer/span.h"

#include <algorithm>
#include <cmath>

namespace viewer {

Span clamped(Span s, const Span &whole)
{
    const qint64 wholeLength = std::max<qint64>(whole.length(), 1);
    qint64 length = std::clamp<qint64>(s.length(), std::min(kShortestSpan, wholeLength), wholeLength);
    if (s.length() != length) s.t1 = s.t0 + length;
    if (s.t0 < whole.t0) s = Span{whole.t0, whole.t0 + length};
    if (s.t1 > whole.t1) s = Span{whole.t1 - length, whole.t1};
    return s;
}

Span zoomed(const Span &s, double factor, qint64 about, const Span &whole)
{
    about = std::clamp(about, s.t0, s.t1);
    const double length = std::max(double(s.length()) * factor, double(kShortestSpan));
    const double left = double(about - s.t0) / double(std::max<qint64>(s.length(), 1));
    const qint64 t0 = about - qint64(std::llround(left * length));
    return clamped(Span{t0, t0 + qint64(std::llround(length))}, whole);
}

Span panned(const Span &s, qint64 by, const Span &whole) { return clamped(Span{s.t0 + by, s.t1 + by}, whole); }

Span centred(const Span &s, qint64 at, const Span &whole)
{
    const qint64 t0 = at - s.length() / 2;
    return clamped(Span{t0, t0 + s.length()}, whole);
}

ValueRange zoomedValues(const ValueRange &r, double factor, double about)
{
    const double span = r.high - r.low;
    const double below = span > 0 ? (about - r.low) / span : 0.5;
    const double next = std::max(span * factor, 1e-9);
    return ValueRange{about - below * next, about - below * next + next};
}

ValueRange fitted(double low, double high)
{
    if (!std::isfinite(low) || !std::isfinite(high)) return ValueRange{0, 1};
    if (high - low < 1e-9) {
        const double pad = std::max(std::fabs(low) * 0.1, 0.5);
        return ValueRange{low - pad, high + pad};
    }
    const double pad = (high - low) * 0.05;
    return ValueRange{low - pad, high + pad};
}

}  // namespace viewer
