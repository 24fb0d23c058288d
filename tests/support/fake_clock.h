#pragma once
// A clock the tests set by hand.

#include "text/clock.h"

class FakeClock : public Clock {
public:
    QTime time{12, 0, 0};
    int day = 1;  // Monday
    qint64 ms = 0;
    QDate date{2026, 12, 7};  // the calendar date that goes with time (a Monday)

    QTime timeOfDay() const override { return time; }
    int dayOfWeek() const override { return day; }
    qint64 monotonicMs() const override { return ms; }
    QDateTime now() const override { return QDateTime(date, time); }

    void set(int h, int m, int s) { time = QTime(h, m, s); }
    // Move every clock on together; the time of day wraps at midnight.
    void advance(qint64 deltaMs)
    {
        ms += deltaMs;
        const int before = time.msecsSinceStartOfDay();
        time = time.addMSecs(int(deltaMs % 86400000));
        date = date.addDays(deltaMs / 86400000);
        if (time.msecsSinceStartOfDay() < before) {
            day = day % 7 + 1;
            date = date.addDays(1);
        }
    }
};
