#include "files/csv_export.h"

#include "text/numbers.h"

#include <optional>

namespace files {

namespace {

constexpr double kVoltsPerStep = 0.0196;  // the display factor of the analog frame

// Memorised values are texts written with the regional separator of the day
// they were taken; either separator is accepted here.
std::optional<double> valueOf(const Element &e)
{
    if (e.isNumber()) return e.asNumber();
    if (e.isText()) return text::parseAnyPoint(e.asText());
    return std::nullopt;
}

QString cell(std::optional<double> v) { return v ? text::plainNumber(*v, u".") : QString(); }

}  // namespace

QByteArray csvBytes(const Tables &t)
{
    QString out = QStringLiteral("horodatage,acquisition");
    for (int k = 1; k <= 8; ++k) out += QStringLiteral(",voie%1,voie%1_V").arg(k);
    for (int k = 1; k <= 8; ++k) out += QStringLiteral(",logique%1").arg(k);
    out += QStringLiteral("\r\n");
    for (int n = 0; n <= t.nbre_acqui; ++n) {
        const QDateTime analog = t.times.analog(n);
        out += acquisition::isoTime(analog.isValid() ? analog : t.times.logic(n));
        out += u',' + QString::number(n);
        for (int k = 1; k <= 8; ++k) {
            const auto v = valueOf(t.tab_ana(k, n));
            out += u',' + cell(v) + u',' + cell(v ? std::optional<double>(*v * kVoltsPerStep) : std::nullopt);
        }
        for (int k = 0; k < 8; ++k) out += u',' + cell(valueOf(t.tab_log[8 * size_t(n) + size_t(k)]));
        out += QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

}  // namespace files
