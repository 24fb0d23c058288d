#include "acquisition/table_ops.h"

#include "text/numbers.h"

#include <algorithm>
#include <cmath>

namespace acquisition {
namespace {

// The listing reads many elements: take the separator once.
QString elementText(const Element &e, QStringView sep)
{
    if (e.isText()) return e.asText();
    if (e.isNumber()) return text::plainNumber(e.asNumber(), sep);
    return QString();
}

double elementNumber(const Element &e, QStringView sep)
{
    if (e.isNumber()) return e.asNumber();
    if (e.isText()) return text::readRegional(e.asText(), sep).value_or(0.0);  // foreign text: 0
    return 0.0;
}

void appendAnalogLine(QString &out, int i, const Element &e, QStringView sep)
{
    out += u"Acqui N°:";
    out += QString::number(i);
    out += u"  val:";
    out += elementText(e, sep);
    out += u" =";
    out += text::twoDecimals(elementNumber(e, sep) * 5 / 255, sep);
    out += u"\r\n";
}

int lastSlot(const Tables &t) { return std::clamp(t.nbre_acqui, 0, Tables::kSlots - 1); }

}  // namespace

bool storeAnalog(Tables &t, bool memorise, const AnalogReading &reading, const QDateTime &when)
{
    if (memorise && t.indice_a >= 0 && t.indice_a < Tables::kSlots) {
        bool stored = false;
        for (int k = 1; k <= 8; ++k)
            if (const auto &v = reading[size_t(k - 1)]) {
                t.tab_ana(k, t.indice_a) = Element::text(v->stored);
                stored = true;
            }
        if (stored) t.times.setAnalog(t.indice_a, when);
    }
    ++t.indice_a;
    if (t.indice_a > t.nbre_acqui) {
        t.indice_a = 0;
        return true;
    }
    return false;
}

bool storeLogic(Tables &t, bool memorise, const LogicBits &bits, const QDateTime &when)
{
    if (memorise && t.indice_l >= 0 && t.indice_l + 7 < Tables::kLogicEntries) {
        for (int k = 0; k < 8; ++k) t.tab_log[size_t(t.indice_l) + size_t(k)] = Element::text(QString(bits[size_t(k)]));
        t.times.setLogic(t.indice_l / 8, when);
    }
    t.indice_l += 8;
    if (t.indice_l > 8 * t.nbre_acqui) {
        t.indice_l = 0;
        return true;
    }
    return false;
}

QString memorisationFullText(bool analog, int acquisitions, bool journalOn)
{
    QString s = QStringLiteral("Tableaux %1 pleins (%2 acquisitions) : mémorisation arrêtée")
                    .arg(analog ? QStringLiteral("analogiques") : QStringLiteral("logiques"))
                    .arg(acquisitions);
    if (journalOn) s += QStringLiteral(" ; le journal continu poursuit l'enregistrement");
    return s;
}

QString clearTables(Tables &t)
{
    const QString sep = text::decimalSeparator();
    const int last = lastSlot(t);
    QString out;
    out.reserve((last + 1) * 32);
    for (int i = 0; i <= last; ++i) {
        for (int k = 1; k <= 8; ++k) t.tab_ana(k, i) = Element::number(0);
        appendAnalogLine(out, i, t.tab_ana(2, i), sep);
    }
    for (int e = 0; e < 8 * last + 8; ++e) t.tab_log[size_t(e)] = Element::number(0);
    t.times.forget(0, last);
    return out;
}

void randomFill(Tables &t, RandomSource &random)
{
    const int last = lastSlot(t);
    for (int i = 0; i <= last; ++i)
        for (int k = 1; k <= 8; ++k) {
            const float v = float(std::floor(random.next() * 255));
            t.tab_ana(k, i) = Element::number(double(v));
        }
    for (int e = 0; e < 8 * last + 8; ++e)
        t.tab_log[size_t(e)] = Element::number(std::floor(random.next() * 10) >= 5 ? 1 : 0);
    t.times.forget(0, last);
}

QString listAnalog(const Tables &t, int k)
{
    const QString sep = text::decimalSeparator();
    const int last = lastSlot(t);
    QString out;
    out.reserve((last + 1) * 32);
    for (int i = 0; i <= last; ++i) appendAnalogLine(out, i, t.tab_ana(k, i), sep);
    return out;
}

QString listLogic(const Tables &t)
{
    const QString sep = text::decimalSeparator();
    const int last = lastSlot(t);
    QString out;
    out.reserve((last + 1) * 30);
    for (int n = 0; n <= last; ++n) {
        out += u"Acqui N°";
        out += QString::number(n);
        out += u": ";
        for (int k = 0; k < 8; ++k) {
            out += elementText(t.tab_log[8 * size_t(n) + size_t(k)], sep);
            out += u' ';
        }
        out += u"\r\n";
    }
    return out;
}

QString listTable(const Tables &t, int num_tableau)
{
    if (num_tableau >= 0 && num_tableau <= 6) return listAnalog(t, num_tableau + 2);
    if (num_tableau == 7) return listLogic(t);
    if (num_tableau == 8) return listAnalog(t, 1);
    return QString();
}

QString tableCaption(int num_tableau)
{
    if (num_tableau >= 0 && num_tableau <= 6) return QStringLiteral("Tableau analogique N° %1").arg(num_tableau + 2);
    if (num_tableau == 7) return QStringLiteral("Tableau logique ");
    if (num_tableau == 8) return QStringLiteral("Tableau analogique N° 1");
    return QString();
}

TableView tableViewStep(const Tables &t, int &num_tableau)
{
    TableView view;
    view.text = listTable(t, num_tableau);
    if (num_tableau >= 0 && num_tableau <= 8) view.caption = tableCaption(num_tableau);
    ++num_tableau;
    if (num_tableau == 9) num_tableau = 0;
    return view;
}

}  // namespace acquisition
