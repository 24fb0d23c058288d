#pragma once
// The panel's only view of time: the time of day and the day of the week for
// the timetable and the programmed acquisitions, and a clock that never wraps
// for the waits. Tests give the window a clock they set by hand.

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <QTime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QTime timeOfDay() const = 0;
    virtual int dayOfWeek() const = 0;       // 1 = Monday … 7 = Sunday
    virtual qint64 monotonicMs() const = 0;  // elapsed, never goes back
    // The local date and time, to the millisecond: when an acquisition was asked for.
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    SystemClock() { elapsed_.start(); }
    QTime timeOfDay() const override;
    int dayOfWeek() const override;
    qint64 monotonicMs() const override { return elapsed_.elapsed(); }
    QDateTime now() const override;

private:
    QElapsedTimer elapsed_;
};

namespace text {
// The time of day as eight characters, "07:05:00".
QString timeText(QTime t);
inline QString timeText(const Clock &clock) { return timeText(clock.timeOfDay()); }
}  // namespace text
