#pragma once
// The eight relay outputs: on or off, and their daily timetable.

#include <QString>
#include <array>
#include <functional>

namespace outputs {

struct TimetableRow {
    QString start;           // heure1(i)
    QString end;             // heure2(i)
    bool automatic = false;  // auto1(i) ticked
    bool operator==(const TimetableRow &) const = default;
};

// One pass of the daily timetable: a row whose start text equals the current
// time text turns its output on, then a row whose end text equals it turns it
// off. The time is read afresh for each row, as the clock may tick meanwhile.
void applyTimetable(std::array<bool, 8> &states, const std::array<TimetableRow, 8> &rows,
                    const std::function<QString()> &timeText);

}  // namespace outputs
