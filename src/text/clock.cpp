#include "text/clock.h"

#include <QDate>

QTime SystemClock::timeOfDay() const { return QTime::currentTime(); }

int SystemClock::dayOfWeek() const { return QDate::currentDate().dayOfWeek(); }

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

namespace text {
QString timeText(QTime t)
{
    if (!t.isValid()) return QStringLiteral("00:00:00");
    return QStringLiteral("%1:%2:%3")
        .arg(t.hour(), 2, 10, QChar(u'0'))
        .arg(t.minute(), 2, 10, QChar(u'0'))
        .arg(t.second(), 2, 10, QChar(u'0'));
}
}  // namespace text
