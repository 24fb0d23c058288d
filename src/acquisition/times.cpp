#include "acquisition/times.h"

#include <algorithm>
#include <cstring>

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

namespace {

// A date and time in a fixed shape: 'Y', 'M', 'D', 'h', 'm', 's' and 'z'
// stand for the digits of the fields, anything else for itself. Written by
// hand: a journal line is made for every acquisition, and the general date
// formatting costs several times what the rest of the line does.
QString timeInShape(const QDateTime &t, const char *shape)
{
    if (!t.isValid()) return {};
    const QDate d = t.date();
    const QTime h = t.time();
    if (d.year() < 0 || d.year() > 9999) return t.toString(Qt::ISODateWithMs);
    QString out(qsizetype(std::strlen(shape)), Qt::Uninitialized);
    QChar *p = out.data();
    // Each field's digits, written from the last one backwards.
    auto field = [&](char f) -> int {
        switch (f) {
        case 'Y':
            return d.year();
        case 'M':
            return d.month();
        case 'D':
            return d.day();
        case 'h':
            return h.hour();
        case 'm':
            return h.minute();
        case 's':
            return h.second();
        case 'z':
            return h.msec();
        default:
            return -1;
        }
    };
    for (qsizetype i = qsizetype(std::strlen(shape)) - 1; i >= 0;) {
        const char f = shape[i];
        int v = field(f);
        if (v < 0) {
            p[i--] = QLatin1Char(f);
            continue;
        }
        for (; i >= 0 && shape[i] == f; --i, v /= 10) p[i] = QLatin1Char(char('0' + v % 10));
    }
    return out;
}

}  // namespace

QString shownTime(const QDateTime &t) { return timeInShape(t, "DD/MM/YYYY hh:mm:ss,zzz"); }

QString isoTime(const QDateTime &t)
{
    const int seconds = t.offsetFromUtc();
    // An offset of no whole minutes (the local mean time of old dates) has no
    // text: such a time is written in UTC.
    if (seconds % 60 != 0) return isoTime(t.toUTC());
    QString out = timeInShape(t, "YYYY-MM-DDThh:mm:ss.zzz");
    if (out.size() != 23) return out;
    // The offset from UTC: without it the hour repeated when the clocks go
    // back in autumn could not be told from the first one.
    int offset = seconds / 60;
    const QChar sign = offset < 0 ? u'-' : u'+';
    offset = offset < 0 ? -offset : offset;
    const int h = offset / 60, m = offset % 60;
    const char16_t zone[] = {sign.unicode(), char16_t(u'0' + h / 10 % 10), char16_t(u'0' + h % 10),
                             u':',           char16_t(u'0' + m / 10),      char16_t(u'0' + m % 10)};
    out.append(QStringView(zone, 6));
    return out;
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
