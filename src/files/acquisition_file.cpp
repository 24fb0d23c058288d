#include "files/acquisition_file.h"

#include "files/save_file.h"
#include "text/numbers.h"

namespace files {

namespace {

bool save(const QString &path, const QByteArray &bytes, QStringList &failures)
{
    QString error;
    if (writeWhole(path, bytes, &error)) return true;
    failures << error;
    return false;
}

}  // namespace

QString siblingFileName(const QString &path, const QString &extension)
{
    const qsizetype at = path.indexOf(QStringLiteral(".txt"));
    if (at < 0) return path + extension;
    return QString(path).replace(at, 4, extension);
}

QString logicFileName(const QString &path) { return siblingFileName(path, QStringLiteral(".txl")); }

QString elementText(const Element &e)
{
    if (e.isText()) return e.asText();
    if (!e.isNumber()) return {};
    const double v = e.asNumber();
    return (v < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + text::plainNumber(v < 0 ? -v : v) + u' ';
}

QByteArray analogFileBytes(const Tables &t)
{
    QString out;
    for (int n = 0; n <= t.nbre_acqui; ++n) {
        for (int k = 1; k <= 8; ++k) {
            if (k > 1) out += u':';
            out += elementText(t.tab_ana(k, n));
        }
        out += QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

QByteArray logicFileBytes(const Tables &t)
{
    QString out;
    for (int j = 0; j <= 8 * t.nbre_acqui + 7; ++j) out += elementText(t.tab_log[size_t(j)]) + QStringLiteral("\r\n");
    return out.toUtf8();
}

SaveOutcome saveAcquisitions(const QString &path, const Tables &t)
{
    SaveOutcome out;
    save(path, analogFileBytes(t), out.failures);
    save(logicFileName(path), logicFileBytes(t), out.failures);
    return out;
}

}  // namespace files
