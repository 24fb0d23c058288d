#include "acquisition/schedule.h"

#include <array>

namespace acquisition {

QStringList intervalEntries()
{
    return {QStringLiteral("Toutes les heures"),      QStringLiteral("Toutes les 30 mn"),
            QStringLiteral("Toutes les 10 mn"),       QStringLiteral("Toutes les minutes"),
            QStringLiteral("Toutes les 30 secondes"), QStringLiteral("Toutes les 10 secondes"),
            QStringLiteral("Toutes les 2 secondes")};
}

std::optional<int> intervalSeconds(int position)
{
    static constexpr std::array<int, 7> seconds = {3600, 1800, 600, 60, 30, 10, 2};
    if (position < 0 || position >= int(seconds.size())) return std::nullopt;
    return seconds[size_t(position)];
}

QStringList analogDayEntries()
{
    return {QStringLiteral(" "),
            QStringLiteral("Lundi"),
            QStringLiteral("Mardi"),
            QStringLiteral("Mercredi"),
            QStringLiteral("Jeudi"),
            QStringLiteral("Vendredi"),
            QStringLiteral("Samedi"),
            QStringLiteral("Dimanche"),
            QStringLiteral("Samedi et dimanche"),
            QStringLiteral("Tous les jours")};
}

QStringList logicDayEntries()
{
    QStringList l = analogDayEntries();
    l.removeAt(8);
    return l;
}

bool daySelected(bool analogList, int position, int dayOfWeek)
{
    if (dayOfWeek < 1 || dayOfWeek > 7) return false;
    if (position == 0) return dayOfWeek <= 5;
    if (position >= 1 && position <= 7) return dayOfWeek == position;
    if (analogList) {
        if (position == 8) return dayOfWeek >= 6;
        return position == 9;
    }
    return position == 8;
}

bool programmedDue(bool analogList, int dayPosition, int dayOfWeek, const QString &hourText, const QString &timeText)
{
    return daySelected(analogList, dayPosition, dayOfWeek) && hourText == timeText;
}

}  // namespace acquisition
