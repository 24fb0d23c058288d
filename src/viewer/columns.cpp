#include "viewer/columns.h"

#include <algorithm>
#include <limits>

namespace viewer {

std::vector<ColumnSpan> columnSpans(const std::vector<qint64> &times, qint64 t0, qint64 t1, int width)
{
    std::vector<ColumnSpan> out(size_t(std::max(width, 0)));
    if (width <= 0 || t1 <= t0) return out;
    const qint64 span = t1 - t0;
    auto it = std::lower_bound(times.begin(), times.end(), t0);
    for (int c = 0; c < width; ++c) {
        // The first millisecond of column c + 1: t0 + ceil((c + 1) span / width).
        const qint64 next = t0 + ((qint64(c) + 1) * span + width - 1) / width;
        // Most columns end near where they start: a short walk before the search.
        auto end = it;
        for (int step = 0; step < 8 && end != times.end() && *end < next; ++step) ++end;
        if (end != times.end() && *end < next) end = std::lower_bound(end, times.end(), next);
        out[size_t(c)] = ColumnSpan{qint64(it - times.begin()), qint64(end - times.begin())};
        it = end;
    }
    return out;
}

qint64 columnOf(qint64 t, qint64 t0, qint64 t1, int width)
{
    if (t1 <= t0) return 0;
    const qint64 d = (t - t0) * width;
    const qint64 span = t1 - t0;
    return d >= 0 ? d / span : -((-d + span - 1) / span);
}

double xOf(qint64 t, qint64 t0, qint64 t1, int width)
{
    if (t1 <= t0) return 0;
    return double(t - t0) * double(width) / double(t1 - t0);
}

qint64 gapThreshold(const std::vector<qint64> &times)
{
    if (times.size() < 2) return std::numeric_limits<qint64>::max();
    // The median of at most 100 001 steps spread over the series.
    const size_t n = times.size() - 1;
    const size_t stride = std::max<size_t>(1, n / 100000);
    std::vector<qint64> steps;
    steps.reserve(n / stride + 1);
    for (size_t i = 1; i < times.size(); i += stride) steps.push_back(times[i] - times[i - 1]);
    auto mid = steps.begin() + qsizetype(steps.size() / 2);
    std::nth_element(steps.begin(), mid, steps.end());
    return std::max<qint64>(3 * *mid, 1);
}

}  // namespace viewer
