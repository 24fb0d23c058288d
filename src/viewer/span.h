#pragma once
// The stretch of time a plot shows, [t0, t1), and how the mouse and the keys
// move it: kept within the journal, never shorter than a few milliseconds.

#include <QtGlobal>

namespace viewer {

struct Span {
    qint64 t0 = 0, t1 = 1;
    qint64 length() const { return t1 - t0; }
    bool operator==(const Span &) const = default;
};

constexpr qint64 kShortestSpan = 50;  // ms

// The span kept within whole (moved, not shrunk, when it sticks out).
Span clamped(Span s, const Span &whole);
// Zoomed by factor (< 1: closer) keeping time `about` where it is.
Span zoomed(const Span &s, double factor, qint64 about, const Span &whole);
Span panned(const Span &s, qint64 by, const Span &whole);
Span centred(const Span &s, qint64 at, const Span &whole);

// The value axis: [low, high], zoomed about a value.
struct ValueRange {
    double low = 0, high = 1;
    bool operator==(const ValueRange &) const = default;
};
ValueRange zoomedValues(const ValueRange &r, double factor, double about);
// A range showing low … high with a margin; a flat or empty one is opened up.
ValueRange fitted(double low, double high);

}  // namespace viewer
