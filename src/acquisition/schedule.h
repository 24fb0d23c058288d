#pragma once
// When acquisitions start: the interval list of the cyclic mode, the day lists
// of the programmed mode, the programmed check and the cyclic wait.

#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace acquisition {

// "Toutes les heures" … "Toutes les 2 secondes", the same in both frames.
QStringList intervalEntries();
// The interval of a list position in seconds; nothing when no entry is chosen.
std::optional<int> intervalSeconds(int position);

// The analog day list has ten entries (with "Samedi et dimanche"), the logic
// one nine.
QStringList analogDayEntries();
QStringList logicDayEntries();
// Whether the entry at position selects the day (1 = Monday … 7 = Sunday);
// no entry selected (-1) or a position outside the list selects no day.
bool daySelected(bool analogList, int position, int dayOfWeek);

// The programmed acquisition is due when the day matches and the hour box
// holds exactly the current time text.
bool programmedDue(bool analogList, int dayPosition, int dayOfWeek, const QString &hourText, const QString &timeText);

// One wait of the cyclic mode on a clock that never wraps: due once the
// interval has elapsed since the start of the wait.
class CyclicWait {
public:
    void start(qint64 t0Ms, int intervalS)
    {
        t0_ = t0Ms;
        intervalMs_ = qint64(intervalS) * 1000;
        active_ = true;
    }
    void stop() { active_ = false; }
    bool active() const { return active_; }
    bool due(qint64 nowMs) const { return active_ && nowMs >= t0_ + intervalMs_; }
    qint64 remainingMs(qint64 nowMs) const { return active_ ? std::max<qint64>(0, t0_ + intervalMs_ - nowMs) : 0; }
    int intervalS() const { return int(intervalMs_ / 1000); }

private:
    qint64 t0_ = 0;
    qint64 intervalMs_ = 0;
    bool active_ = false;
};

}  // namespace acquisition
