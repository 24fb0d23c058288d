#pragma once
// When each memorised acquisition was asked of the board: one date and time
// for each analog slot and one for each group of the logic table, kept beside
// the tables. A slot filled any other way ("RAZ tableaux", "Aléatoire", a file
// without times) has none.

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <array>

namespace acquisition {

class AcquisitionTimes {
public:
    static constexpr int kSlots = 1001;

    // An invalid date when the slot has no time or lies outside 0 … 1000.
    QDateTime analog(long long slot) const { return inRange(slot) ? analog_[size_t(slot)] : QDateTime(); }
    QDateTime logic(long long slot) const { return inRange(slot) ? logic_[size_t(slot)] : QDateTime(); }
    void setAnalog(long long slot, const QDateTime &t)
    {
        if (inRange(slot)) analog_[size_t(slot)] = t;
    }
    void setLogic(long long slot, const QDateTime &t)
    {
        if (inRange(slot)) logic_[size_t(slot)] = t;
    }
    // Slots first … last (kept within the tables) lose their times.
    void forgetAnalog(int first, int last);
    void forgetLogic(int first, int last);
    void forget(int first, int last)
    {
        forgetAnalog(first, last);
        forgetLogic(first, last);
    }

    bool operator==(const AcquisitionTimes &) const = default;

private:
    static bool inRange(long long slot) { return slot >= 0 && slot < kSlots; }
    std::array<QDateTime, kSlots> analog_, logic_;
};

// As the status line shows it: "07/12/2026 14:32:07,412".
QString shownTime(const QDateTime &t);
// ISO 8601, local time to the millisecond and its offset from UTC:
// "2026-12-07T14:32:07.412+01:00".
QString isoTime(const QDateTime &t);
// Reads isoTime's form exactly, and the older one without an offset
// ("2026-12-07T14:32:07.412", taken as local time); "Z" for UTC is taken too.
// The time is turned into local time, the instant kept. Invalid otherwise.
QDateTime fromIsoTime(QStringView s);

}  // namespace acquisition
