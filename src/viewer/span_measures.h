#pragma once
// The measures between the markers A and B of the journal browser, over any
// stretch of the journal: each shown channel's value at A and at B (the last
// line at or before the marker), B − A, and the minimum, maximum and mean of
// the lines from A to B; each logic input's level at A and B and its rising
// and falling edges between them. The table has the look of the graph's
// "Mesures" window.

#include "graph/markers.h"
#include "viewer/journal_model.h"

#include <array>
#include <optional>

namespace viewer {

struct SpanMarkers {
    std::optional<qint64> a, b;  // times marked, ms since the epoch
    bool any() const { return a || b; }
    bool operator==(const SpanMarkers &) const = default;
};

// The index of the last sample at or before t; nothing when none.
std::optional<qint64> sampleAtOrBefore(const std::vector<qint64> &times, qint64 t);
// The sample nearest t; nothing when the series is empty.
std::optional<qint64> nearestSample(const std::vector<qint64> &times, qint64 t);

struct ChannelStats {
    double low = NAN, high = NAN, mean = NAN;
    qint64 count = 0;  // numbers among the lines
};
// Lines with from ≤ t ≤ to of one channel.
ChannelStats channelStats(const JournalModel &m, int channel, qint64 from, qint64 to);

struct Edges {
    qint64 rises = 0, falls = 0;
};
// Edges of input k (0 … 7) between the logic lines with from ≤ t ≤ to.
Edges edges(const JournalData &d, int input, qint64 from, qint64 to);

graph::MeasureTable spanMeasures(const JournalModel &m, const SpanMarkers &markers,
                                 const std::array<bool, kChannels> &shown);

}  // namespace viewer
