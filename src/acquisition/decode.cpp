#include "acquisition/decode.h"

#include "text/numbers.h"

#include <cmath>
#include <limits>

namespace acquisition {

int findFrom(QStringView s, QStringView t, int from)
{
    if (from < 1) from = 1;
    if (from > s.size() + 1) return 0;
    const qsizetype at = s.indexOf(t, from - 1);
    return at < 0 ? 0 : int(at) + 1;
}

std::optional<QStringView> midText(QStringView s, int start, int length)
{
    if (length < 0 || start < 1) return std::nullopt;
    if (start > s.size()) return QStringView();
    return s.mid(start - 1, std::min<qsizetype>(length, s.size() - (start - 1)));
}

std::array<std::optional<double>, 8> analogRawValues(QStringView buffer)
{
    // Markers in order: each search starts just after the previous marker's
    // first character, so a missing marker restarts the next search at 1.
    std::array<int, 8> p{};
    for (int k = 0; k < 8; ++k) {
        const QChar m[2] = {QChar(u's'), QChar(u'1' + k)};
        p[size_t(k)] = findFrom(buffer, QStringView(m, 2), k == 0 ? 1 : p[size_t(k - 1)] + 1);
    }
    std::array<std::optional<double>, 8> raw;
    for (int k = 0; k < 8; ++k) {
        const int start = p[size_t(k)] + 3;
        const int length = k < 7 ? p[size_t(k) + 1] - start : 4;
        if (auto field = midText(buffer, start, length)) raw[size_t(k)] = text::leadingNumber(*field);
    }
    return raw;
}

AnalogReading decodeAnalog(QStringView buffer, const std::array<QString, 8> &coefficients,
                           const std::array<QString, 8> &units)
{
    return decodeAnalog(buffer, coefficients, units, text::decimalSeparator());
}

AnalogReading decodeAnalog(QStringView buffer, const std::array<QString, 8> &coefficients,
                           const std::array<QString, 8> &units, QStringView separator)
{
    const auto raw = analogRawValues(buffer);
    AnalogReading out;
    for (size_t k = 0; k < 8; ++k) {
        if (!raw[k]) continue;
        const auto c = text::readRegional(coefficients[k], separator);
        if (!c) continue;
        // A value beyond the range of a double ("s1:1e999", a coefficient
        // "1e400", or their product) cannot be shown or stored: skipped.
        const double stored = *c * *raw[k];
        const double shown = stored * 0.0196;
        if (!std::isfinite(stored) || !std::isfinite(shown)) continue;
        out[k] =
            AnalogValue{text::twoDecimals(shown, separator) + u' ' + units[k], text::twoDecimals(stored, separator)};
    }
    return out;
}

QString logicBitText(double v)
{
    static const char *const groups[16] = {"0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
                                           "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111"};
    const double r = std::nearbyint(v);  // to nearest, a half to the even neighbour
    if (!std::isfinite(r) || r < 0 || r > double(std::numeric_limits<qint32>::max())) return QStringLiteral("00000000");
    QString hex = QString::number(qint64(r), 16).toUpper();
    if (hex.size() < 2) hex.prepend(u'0');
    QString bits;
    for (int i = 0; i < 2; ++i) {
        const int d = hex[i].isDigit() ? hex[i].unicode() - u'0' : hex[i].unicode() - u'A' + 10;
        bits += QLatin1StringView(groups[d]);
    }
    return bits;
}

LogicBits decodeLogic(QStringView buffer)
{
    const int pE = findFrom(buffer, u"E:", 1);
    const QStringView field = midText(buffer, pE + 2, 3).value_or(QStringView());
    const QString bits = logicBitText(text::leadingNumber(field));
    LogicBits out;
    for (int i = 0; i < 8; ++i) out[size_t(7 - i)] = bits[i];
    return out;
}

bool hasAnalogMarker(QStringView buffer)
{
    for (qsizetype at = buffer.indexOf(u's'); at >= 0 && at + 1 < buffer.size(); at = buffer.indexOf(u's', at + 1))
        if (buffer[at + 1] >= u'1' && buffer[at + 1] <= u'8') return true;
    return false;
}

bool hasLogicMarker(QStringView buffer) { return buffer.contains(u"E:"); }

bool isAnalogReply(QStringView buffer) { return hasAnalogMarker(buffer); }

bool isLogicReply(QStringView buffer)
{
    const int pE = findFrom(buffer, u"E:", 1);
    if (pE == 0) return false;
    for (QChar c : midText(buffer, pE + 2, 3).value_or(QStringView())) {
        if (c.isDigit() && c.unicode() < 128) return true;
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'+') return false;  // a minus: garbled
    }
    return false;
}

}  // namespace acquisition
