#include "viewer/journal_data.h"

#include "acquisition/times.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace viewer {

namespace {

constexpr qsizetype kLongestLine = 64 * 1024;  // a longer line is damaged
constexpr qint64 kDayMs = 86400000;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
qint64 daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int digits(QByteArrayView s, qsizetype at, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const char c = s[at + i];
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

const files::Units kNoUnits{};

}  // namespace

qint64 JournalData::firstTime() const
{
    if (analogTime.empty()) return logicTime.empty() ? 0 : logicTime.front();
    if (logicTime.empty()) return analogTime.front();
    return std::min(analogTime.front(), logicTime.front());
}

qint64 JournalData::endTime() const
{
    qint64 last = firstTime();
    if (!analogTime.empty()) last = std::max(last, analogTime.back());
    if (!logicTime.empty()) last = std::max(last, logicTime.back());
    return last + 1;
}

const files::Units &JournalData::unitsAt(qint64 i) const
{
    const files::Units *u = &kNoUnits;
    for (const UnitChange &c : units) {
        if (c.from > i) break;
        u = &c.units;
    }
    return *u;
}

std::optional<qint64> TimeReader::read(QByteArrayView f)
{
    if (f.size() < 23) return std::nullopt;
    static constexpr char kShape[] = "dddd-dd-ddTdd:dd:dd.ddd";
    for (int i = 0; i < 23; ++i)
        if (kShape[i] != 'd' && f[i] != kShape[i]) return std::nullopt;
    const int y = digits(f, 0, 4), mo = digits(f, 5, 2), d = digits(f, 8, 2), h = digits(f, 11, 2);
    const int mi = digits(f, 14, 2), s = digits(f, 17, 2), ms = digits(f, 20, 3);
    if (y < 0 || mo < 0 || d < 0 || h < 0 || mi < 0 || s < 0 || ms < 0 || mi > 59 || s > 59) return std::nullopt;
    const QByteArrayView zone = f.sliced(23);
    if (zone.size() > 6) return std::nullopt;
    const qint64 naive = daysFromCivil(y, mo, d) * kDayMs + ((qint64(h) * 60 + mi) * 60 + s) * 1000 + ms;
    // The date, the hour and the zone are checked, and the offset found, by
    // the panel's own reading of a journal time, once an hour.
    const bool same = key_.size() == 13 + zone.size() && QByteArrayView(key_).first(13) == f.first(13) &&
                      QByteArrayView(key_).sliced(13) == zone;
    if (!same) {
        const QDateTime t = acquisition::fromIsoTime(QString::fromLatin1(f));
        if (!t.isValid()) return std::nullopt;
        key_ = f.first(13).toByteArray() + zone.toByteArray();
        offset_ = naive - t.toMSecsSinceEpoch();
    }
    return naive - offset_;
}

void JournalParser::feed(QByteArrayView bytes)
{
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', from);
        if (nl < 0) {
            const QByteArrayView rest = bytes.sliced(from);
            if (pending_.size() + rest.size() > kLongestLine)
                tooLong_ = true, pending_.clear();
            else if (!tooLong_)
                pending_ += rest;
            return;
        }
        const QByteArrayView piece = bytes.sliced(from, nl - from);
        if (tooLong_ || pending_.size() + piece.size() > kLongestLine) {
            ++lines_;
            ++data_.damaged;
        } else if (pending_.isEmpty()) {
            line(piece);
        } else {
            pending_ += piece;
            line(pending_);
        }
        pending_.clear();
        tooLong_ = false;
        from = nl + 1;
    }
}

void JournalParser::line(QByteArrayView l)
{
    ++lines_;
    if (first_ && l.startsWith("\xEF\xBB\xBF")) l = l.sliced(3);
    first_ = false;
    if (l.endsWith('\r')) l.chop(1);
    if (l.isEmpty()) return;
    if (files::isJournalHeader(l)) {
        const std::optional<files::Units> u = files::journalHeaderUnits(l);
        if (!u) {
            ++data_.damaged;
            return;
        }
        if (!data_.units.empty() && data_.units.back().units == *u) return;
        // A header applies from the next analog line on; replacing one that
        // no line followed.
        const qint64 from = data_.analogCount();
        if (!data_.units.empty() && data_.units.back().from == from) data_.units.pop_back();
        data_.units.push_back(UnitChange{from, 0, *u});
        return;
    }
    if (!acquisition(l)) ++data_.damaged;
}

bool JournalParser::acquisition(QByteArrayView l)
{
    std::array<QByteArrayView, 10> f;
    qsizetype from = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        const qsizetype comma = l.indexOf(',', from);
        if ((comma < 0) != (i == f.size() - 1)) return false;  // ten fields exactly
        f[i] = l.sliced(from, (comma < 0 ? l.size() : comma) - from);
        from = comma + 1;
    }
    if (f[1].size() != 1 || (f[1][0] != 'A' && f[1][0] != 'L')) return false;
    const std::optional<qint64> t = times_.read(f[0]);
    if (!t) return false;
    const bool analog = f[1][0] == 'A';
    std::vector<qint64> &times = analog ? data_.analogTime : data_.logicTime;
    if (analog) {
        std::array<float, kChannels> v;
        for (size_t k = 0; k < kChannels; ++k) {
            const QByteArrayView s = f[k + 2];
            if (s.isEmpty()) {
                v[k] = std::numeric_limits<float>::quiet_NaN();
                continue;
            }
            double x = 0;
            const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), x);
            if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(x)) return false;
            v[k] = float(x);
        }
        if (!times.empty() && *t < times.back()) return ++data_.backwards, true;
        times.push_back(*t);
        for (size_t k = 0; k < kChannels; ++k) data_.analog[k].push_back(v[k]);
        UnitChange *u = data_.units.empty() ? nullptr : &data_.units.back();
        if (u && u->from == data_.analogCount() - 1) u->time = *t;
    } else {
        std::uint8_t bits = 0;
        for (size_t k = 0; k < kChannels; ++k) {
            const QByteArrayView s = f[k + 2];
            if (s.size() != 1 || (s[0] != '0' && s[0] != '1')) return false;
            if (s[0] == '1') bits |= std::uint8_t(1u << k);
        }
        if (!times.empty() && *t < times.back()) return ++data_.backwards, true;
        times.push_back(*t);
        data_.logic.push_back(bits);
    }
    return true;
}

std::optional<qint64> lineTime(QByteArrayView line, TimeReader &times)
{
    const qsizetype comma = line.indexOf(',');
    if (comma < 23) return std::nullopt;
    return times.read(line.first(comma));
}

}  // namespace viewer
