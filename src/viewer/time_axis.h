#pragma once
// The labels of the time axis: a step chosen from round durations so that
// labels stand at least minGap pixels apart, placed on round local times
// (whole seconds, minutes, hours, local midnights), and written as the step
// needs: the day and month for days, hours and minutes, then seconds, then
// milliseconds. When the span crosses midnight, the first label and the first
// of each new day also carry the date.

#include <QString>
#include <QtGlobal>
#include <vector>

namespace viewer {

struct TimeTick {
    qint64 ms = 0;  // since the epoch
    QString text;   // "14:30", "14:30:05", "07/12" …
    QString date;   // "07/12/2026" on the labels that carry the date, else empty
};

struct TimeTicks {
    qint64 stepMs = 0;
    std::vector<TimeTick> ticks;
};

// Labels over [t0, t1) on an axis width pixels wide.
TimeTicks timeTicks(qint64 t0, qint64 t1, int width, int minGap = 90);

// A time as the status line and the measures show it, local time:
// "07/12/2026 14:32:07,412".
QString shownMs(qint64 ms);

}  // namespace viewer
