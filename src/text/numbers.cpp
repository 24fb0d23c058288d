#include "text/numbers.h"

#include <QLocale>
#include <cmath>
#include <string>

namespace text {
namespace {

bool ignorable(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads the leading number of s. anyPoint lets "," serve as the decimal point.
// Returns nothing when no digit was found; consumed tells how far it read.
std::optional<double> readLeading(QStringView s, bool anyPoint, qsizetype *consumed = nullptr)
{
    NumberReader reader(anyPoint);
    for (QChar c : s)
        if (!reader.take(c.unicode())) break;
    if (consumed) *consumed = reader.consumed();
    return reader.result();
}

}  // namespace

// The mantissa keeps at most kMaxDigits significant digits and the exponent
// is clamped, so any text, however long, reads in bounded time and memory.
bool NumberReader::take(char16_t c)
{
    if (state_ == State::Done) return false;
    if (ignorable(QChar(c))) {
        ++taken_;
        return true;
    }
    switch (state_) {
    case State::Sign:
        state_ = State::Mantissa;
        if (c == u'+' || c == u'-') {
            negative_ = c == u'-';
            ++taken_;
            return true;
        }
        [[fallthrough]];
    case State::Mantissa:
        if (isDigit(c)) {
            anyDigit_ = true;
            if (count_ == 0 && c == u'0') {
                if (seenPoint_) --scale_;
            } else if (count_ < kMaxDigits) {
                digits_[count_++] = char(c);
                if (seenPoint_) --scale_;
            } else if (!seenPoint_) {
                ++scale_;
            }
        } else if (!seenPoint_ && (c == u'.' || (anyPoint_ && c == u','))) {
            seenPoint_ = true;
        } else if (anyDigit_ && (c == u'e' || c == u'E' || c == u'd' || c == u'D')) {
            mark_ = taken_;
            state_ = State::ExpSign;
        } else {
            state_ = State::Done;
            return false;
        }
        ++taken_;
        return true;
    case State::ExpSign:
        state_ = State::ExpDigits;
        if (c == u'+' || c == u'-') {
            expNegative_ = c == u'-';
            ++taken_;
            return true;
        }
        [[fallthrough]];
    case State::ExpDigits:
        if (!isDigit(c)) {  // "1e" is the number 1 followed by other text
            state_ = State::Done;
            return false;
        }
        expDigit_ = true;
        if (exponent_ < 1000000) exponent_ = exponent_ * 10 + (c - u'0');
        ++taken_;
        return true;
    case State::Done:
        break;
    }
    return false;
}

std::optional<double> NumberReader::result() const
{
    if (!anyDigit_) return std::nullopt;
    if (count_ == 0) return negative_ ? -0.0 : 0.0;
    const long long scale = scale_ + (expDigit_ ? (expNegative_ ? -exponent_ : exponent_) : 0);
    // Keep the exponent in a range strtod-like parsing handles without surprise.
    if (scale + count_ > 310) return negative_ ? -HUGE_VAL : HUGE_VAL;
    if (scale < -400 - kMaxDigits) return negative_ ? -0.0 : 0.0;
    const QByteArray repr = QByteArray(digits_, count_) + 'e' + QByteArray::number(scale);
    bool ok = false;
    double v = repr.toDouble(&ok);  // locale-independent
    // Out of range: just beyond the largest double is infinite (not 0),
    // below the smallest one is 0.
    if (!ok) v = scale + count_ > 0 ? HUGE_VAL : 0.0;
    return negative_ ? -v : v;
}

double leadingNumber(QStringView s) { return readLeading(s, false).value_or(0.0); }

double leadingNumberAnyPoint(QStringView s) { return readLeading(s, true).value_or(0.0); }

std::optional<double> parseAnyPoint(QStringView s)
{
    const QStringView t = s.trimmed();
    if (t.isEmpty()) return std::nullopt;
    for (QChar c : t)
        if (ignorable(c)) return std::nullopt;  // blanks inside are not a number here
    qsizetype used = 0;
    auto v = readLeading(t, true, &used);
    if (!v || used != t.size() || !std::isfinite(*v)) return std::nullopt;
    return v;
}

std::optional<qint16> toInt16(double v)
{
    if (!std::isfinite(v)) return std::nullopt;
    const double f = std::floor(v);
    const double diff = v - f;
    double r = f;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0.0)) r = f + 1.0;
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return static_cast<qint16>(r);
}

QString decimalSeparator() { return QLocale().decimalPoint(); }

QString twoDecimals(double v) { return twoDecimals(v, decimalSeparator()); }

QString twoDecimals(double v, QStringView separator)
{
    if (!std::isfinite(v)) return plainNumber(v, separator);
    // Fifteen significant digits first, as the value is meant in decimal:
    // 2.345 rounds to 2.35 even though its binary form lies just below.
    const QString e = QString::number(std::fabs(v), 'e', 14);  // d.dddddddddddddde±XX
    const QString sig = e.left(1) + e.mid(2, 14);
    const int exponent = e.mid(17).toInt();
    const int count = exponent + 3;  // digits whose place is 10^-2 or more
    std::string kept;
    char following = '0';
    if (count > 0) {
        for (int i = 0; i < count; ++i) kept.push_back(i < 15 ? char(sig[i].unicode()) : '0');
        if (count < 15) following = char(sig[count].unicode());
    } else if (count == 0) {
        following = char(sig[0].unicode());
    }
    if (following >= '5') {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept[size_t(i)] == '9') kept[size_t(i--)] = '0';
        if (i >= 0)
            ++kept[size_t(i)];
        else
            kept.insert(kept.begin(), '1');
    }
    while (kept.size() < 3) kept.insert(kept.begin(), '0');
    const bool zero = kept.find_first_not_of('0') == std::string::npos;
    std::string whole = kept.substr(0, kept.size() - 2);
    std::string frac = kept.substr(kept.size() - 2);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size() - 1));
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    QString out = (v < 0 && !zero) ? QStringLiteral("-") : QString();
    out += QString::fromStdString(whole);
    out += separator;
    out += QString::fromStdString(frac);
    return out;
}

QString plainNumber(double v) { return plainNumber(v, decimalSeparator()); }

QString plainNumber(double v, QStringView separator)
{
    if (v == 0.0) return QStringLiteral("0");  // no "-0"
    // Fifteen digits of the largest doubles round up beyond the largest double.
    constexpr double kTop = 1.79769313486231e308;
    QString s = QString::number(v, 'g', std::fabs(v) > kTop ? QLocale::FloatingPointShortest : 15);
    s.replace(QChar(u'.'), separator.toString());
    return s;
}

std::optional<double> readRegional(QStringView s) { return readRegional(s, decimalSeparator()); }

std::optional<double> readRegional(QStringView s, QStringView separator)
{
    const QStringView t = s.trimmed();
    if (t.isEmpty()) return std::nullopt;
    // Digits, an optional sign, the regional separator once and an exponent:
    // everything else (the other separator, letters, inner blanks) is no number.
    QString canonical;
    canonical.reserve(t.size());
    bool seenSeparator = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (!separator.isEmpty() && t.mid(i).startsWith(separator)) {
            if (seenSeparator) return std::nullopt;
            seenSeparator = true;
            canonical += u'.';
            i += separator.size() - 1;
        } else if ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'e' || c == u'E') {
            canonical += c;
        } else {
            return std::nullopt;
        }
    }
    qsizetype used = 0;
    auto v = readLeading(canonical, false, &used);
    if (!v || used != canonical.size() || !std::isfinite(*v)) return std::nullopt;
    return v;
}

}  // namespace text
