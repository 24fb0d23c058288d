#include "acquisition/times.h"

#include <algorithm>

namespace acquisition {

namespace {

void forgetIn(std::array<QDateTime, AcquisitionTimes::kSlots> &a, int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, AcquisitionTimes::kSlots - 1);
    for (int i = first; i <= last; ++i) a[size_t(i)] = QDateTime();
}

// The number written by count digits at s[at]; -1 when one is no digit.
int digits(QStringView s, qsizetype at, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = s[at + i];
        if (c < u'0' || c > u'9') return -1;
        v = v * 10 + (c.unicode() - u'0');
    }
    return v;
}

}  // namespace

void AcquisitionTimes::forgetAnalog(int first, int last) { forgetIn(analog_, first, last); }

void AcquisitionTimes::forgetLogic(int first, int last) { forgetIn(logic_, first, last); }

QString shownTime(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss,zzz")) : QString();
}

QString isoTime(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) : QString();
}

QDateTime fromIsoTime(QStringView s)
{
    if (s.size() < 23) return {};
    static constexpr char kShape[] = "dddd-dd-ddTdd:dd:dd.ddd";
    for (int i = 0; i < 23; ++i)
        if (kShape[i] != 'd' && s[i] != QChar::fromLatin1(kShape[i])) return {};
    const int y = digits(s, 0, 4), mo = digits(s, 5, 2), d = digits(s, 8, 2);
    const int h = digits(s, 11, 2), m = digits(s, 14, 2), sec = digits(s, 17, 2), ms = digits(s, 20, 3);
    if (y < 0 || mo < 0 || d < 0 || h < 0 || m < 0 || sec < 0 || ms < 0) return {};
    const QDate date(y, mo, d);
    const QTime time(h, m, sec, ms);
    if (!date.isValid()) return {};
    if (!time.isValid()) return {};
    const QStringView zone = s.mid(23);
    if (zone.isEmpty()) return QDateTime(date, time);
    if (zone == u"Z") return QDateTime(date, time, Qt::UTC).toLocalTime();
    if (zone.size() != 6 || (zone[0] != u'+' && zone[0] != u'-') || zone[3] != u':') return {};
    const int oh = digits(zone, 1, 2), om = digits(zone, 4, 2);
    if (oh < 0 || om < 0 || oh > 14 || om > 59) return {};
    const int offset = (oh * 3600 + om * 60) * (zone[0] == u'-' ? -1 : 1);
    return QDateTime(date, time, Qt::OffsetFromUTC, offset).toLocalTime();
}

}  // namespace acquisition
