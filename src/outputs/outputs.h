#pragma once
// The eight relay outputs are held only as lamp colours: green on, grey off.

#include <QColor>
#include <QString>
#include <array>
#include <functional>

namespace outputs {

QColor lampOn();
QColor lampOff();
bool isOn(const QColor &lamp);   // exactly green
bool isOff(const QColor &lamp);  // exactly grey

// Green becomes grey, grey becomes green, any other colour stays.
QColor toggled(const QColor &lamp);

struct TimetableRow {
    QString start;           // heure1(i)
    QString end;             // heure2(i)
    bool automatic = false;  // auto1(i) ticked
};

// One pass of the daily timetable: a row whose start text equals the current
// time text turns its output on, then a row whose end text equals it turns it
// off. The time is read afresh for each row, as the clock may tick meanwhile.
void applyTimetable(std::array<QColor, 8> &lamps, const std::array<TimetableRow, 8> &rows,
                    const std::function<QString()> &timeText);

}  // namespace outputs
