#pragma once
// What each pixel column of a plot shows: the samples whose times fall in
// it (column c of w over [t0, t1) takes t0 + c (t1 − t0) / w ≤ t <
// t0 + (c + 1) (t1 − t0) / w), their extremes, and the first and last of them
// for the lines that join the columns. The cost is a few steps per column,
// whatever the number of samples.

#include "viewer/summary.h"

#include <QtGlobal>
#include <vector>

namespace viewer {

// Sample indexes [first, end) of each column; first == end when none.
struct ColumnSpan {
    qint64 first = 0, end = 0;
    bool empty() const { return first >= end; }
};

// The spans of width columns over [t0, t1) of a time series (ascending).
std::vector<ColumnSpan> columnSpans(const std::vector<qint64> &times, qint64 t0, qint64 t1, int width);

// The column of time t (may lie outside 0 … width − 1), and the x of a time
// in pixels (fractional) for the lines.
qint64 columnOf(qint64 t, qint64 t0, qint64 t1, int width);
double xOf(qint64 t, qint64 t0, qint64 t1, int width);

// The extremes of each column of one channel.
template <class Ops>
std::vector<typename Summary<Ops>::Range> columnRanges(const Summary<Ops> &summary,
                                                       const std::vector<typename Ops::Value> &series,
                                                       const std::vector<ColumnSpan> &spans)
{
    std::vector<typename Summary<Ops>::Range> out(spans.size());
    for (size_t c = 0; c < spans.size(); ++c)
        if (!spans[c].empty()) out[c] = summary.range(series, size_t(spans[c].first), size_t(spans[c].end));
    return out;
}

// A time jump that breaks the lines: more than three times the median step
// between samples (the panel was closed, acquisitions were not journalled).
// No threshold (the largest value) with fewer than two samples.
qint64 gapThreshold(const std::vector<qint64> &times);
// Whether samples i − 1 and i are separated by a gap.
inline bool gapBefore(const std::vector<qint64> &times, qint64 i, qint64 threshold)
{
    return i <= 0 || i >= qint64(times.size()) || times[size_t(i)] - times[size_t(i - 1)] > threshold;
}

}  // namespace viewer
