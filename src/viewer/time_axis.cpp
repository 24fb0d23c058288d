#include "viewer/time_axis.h"

#include "acquisition/times.h"

#include <QDateTime>
#include <QTimeZone>
#include <array>

namespace viewer {

namespace {

constexpr qint64 kS = 1000, kMin = 60 * kS, kH = 60 * kMin, kDay = 24 * kH;

constexpr std::array<qint64, 31> kSteps{
    1,      2,       5,       10,      20,   50,       100,      200,       500,       kS,        2 * kS,
    5 * kS, 10 * kS, 15 * kS, 30 * kS, kMin, 2 * kMin, 5 * kMin, 10 * kMin, 15 * kMin, 30 * kMin, kH,
    2 * kH, 3 * kH,  6 * kH,  12 * kH, kDay, 2 * kDay, 7 * kDay, 14 * kDay, 28 * kDay};

QString textFor(const QDateTime &t, qint64 step)
{
    if (step >= kDay) return t.toString(QStringLiteral("dd/MM"));
    if (step >= kMin) return t.toString(QStringLiteral("HH:mm"));
    if (step >= kS) return t.toString(QStringLiteral("HH:mm:ss"));
    return t.toString(QStringLiteral("HH:mm:ss")) + u',' +
           QStringLiteral("%1").arg(t.time().msec(), 3, 10, QLatin1Char('0'));
}

// The local times, step apart, on round values, in [t0, t1).
std::vector<qint64> placed(qint64 t0, qint64 t1, qint64 step)
{
    std::vector<qint64> out;
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(t0);
    if (step < kH) {
        // Within the hour local time is a whole number of minutes off UTC:
        // round on the local time of day.
        for (qint64 t = t0; t < t1;) {
            const qint64 offset = qint64(QDateTime::fromMSecsSinceEpoch(t).offsetFromUtc()) * kS;
            const qint64 local = t + offset;
            const qint64 hourEnd = std::min(t1, local / kH * kH + kH - offset);  // the offset holds until then
            for (qint64 at = (local + step - 1) / step * step - offset; at < hourEnd; at += step) out.push_back(at);
            t = hourEnd;
        }
        return out;
    }
    // Hours and days on the local calendar, whatever the clock changes.
    QDate day = first.date();
    for (; QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch() < t1; day = day.addDays(1)) {
        if (step >= kDay) {
            const qint64 n = step / kDay;
            if (day.toJulianDay() % n != 0) continue;
            const qint64 at = QDateTime(day, QTime(0, 0)).toMSecsSinceEpoch();
            if (at >= t0 && at < t1) out.push_back(at);
            continue;
        }
        for (int h = 0; h < 24; h += int(step / kH)) {
            const QDateTime local(day, QTime(h, 0));
            if (local.time().hour() != h) continue;  // an hour the clock skipped
            const qint64 at = local.toMSecsSinceEpoch();
            if (at >= t0 && at < t1 && (out.empty() || at > out.back())) out.push_back(at);
        }
    }
    return out;
}

}  // namespace

TimeTicks timeTicks(qint64 t0, qint64 t1, int width, int minGap)
{
    TimeTicks out;
    if (t1 <= t0 || width <= 0) return out;
    const double perPixel = double(t1 - t0) / width;
    out.stepMs = kSteps.back();
    for (const qint64 s : kSteps)
        if (double(s) / perPixel >= minGap) {
            out.stepMs = s;
            break;
        }
    const bool crossesMidnight =
        QDateTime::fromMSecsSinceEpoch(t0).date() != QDateTime::fromMSecsSinceEpoch(t1 - 1).date();
    QDate lastDate;
    for (const qint64 at : placed(t0, t1, out.stepMs)) {
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(at);
        TimeTick tick{at, textFor(local, out.stepMs), {}};
        if (crossesMidnight && out.stepMs < kDay && local.date() != lastDate)
            tick.date = local.toString(QStringLiteral("dd/MM/yyyy"));
        lastDate = local.date();
        out.ticks.push_back(tick);
    }
    return out;
}

QString shownMs(qint64 ms) { return acquisition::shownTime(QDateTime::fromMSecsSinceEpoch(ms)); }

}  // namespace viewer
