#include "text/numbers.h"

#include <QLocale>
#include <cmath>
#include <string>

namespace text {
namespace {

bool ignorable(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

// Reads the leading number of s. anyPoint lets "," serve as the decimal point.
// The mantissa keeps at most 40 significant digits and the exponent is
// clamped, so any text, however long, reads in bounded time and memory.
// Returns nothing when no digit was found; consumed tells how far it read.
std::optional<double> readLeading(QStringView s, bool anyPoint, qsizetype *consumed = nullptr)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto next = [&]() -> QChar {
        while (i < n && ignorable(s[i])) ++i;
        return i < n ? s[i] : QChar();
    };
    bool negative = false;
    QChar c = next();
    if (c == u'+' || c == u'-') {
        negative = c == u'-';
        ++i;
    }
    std::string digits;
    long long scale = 0;
    bool seenPoint = false, anyDigit = false;
    for (c = next(); i < n; ++i, c = next()) {
        if (c >= u'0' && c <= u'9') {
            anyDigit = true;
            if (digits.empty() && c == u'0') {
                if (seenPoint) --scale;
            } else if (digits.size() < 40) {
                digits.push_back(char(c.unicode()));
                if (seenPoint) --scale;
            } else if (!seenPoint) {
                ++scale;
            }
        } else if (!seenPoint && (c == u'.' || (anyPoint && c == u','))) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (anyDigit && i < n && (c == u'e' || c == u'E' || c == u'd' || c == u'D')) {
        const qsizetype mark = i;
        ++i;
        bool expNegative = false;
        QChar e = next();
        if (e == u'+' || e == u'-') {
            expNegative = e == u'-';
            ++i;
        }
        long long exponent = 0;
        bool expDigit = false;
        for (e = next(); i < n && e >= u'0' && e <= u'9'; ++i, e = next()) {
            expDigit = true;
            if (exponent < 1000000) exponent = exponent * 10 + (e.unicode() - u'0');
        }
        if (expDigit)
            scale += expNegative ? -exponent : exponent;
        else
            i = mark;  // "1e" is the number 1 followed by other text
    }
    if (consumed) *consumed = i;
    if (!anyDigit) return std::nullopt;
    if (digits.empty()) return negative ? -0.0 : 0.0;
    // Keep the exponent in a range strtod-like parsing handles without surprise.
    if (scale + (long long)digits.size() > 310) return negative ? -HUGE_VAL : HUGE_VAL;
    if (scale < -400 - 40) return negative ? -0.0 : 0.0;
    const QByteArray repr = QByteArray::fromStdString(digits) + 'e' + QByteArray::number(scale);
    bool ok = false;
    double v = repr.toDouble(&ok);  // locale-independent
    if (!ok && !std::isinf(v)) v = 0.0;
    return negative ? -v : v;
}

}  // namespace

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
    if (!v || used != t.size()) return std::nullopt;
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
    QString s = QString::number(v, 'g', 15);
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
    if (!v || used != canonical.size()) return std::nullopt;
    return v;
}

}  // namespace text
