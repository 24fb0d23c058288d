#include "files/acquisition_file.h"

#include "files/encoding.h"
#include "files/save_file.h"
#include "text/numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace files {

namespace {

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// One line without its end, at most kMaxLine bytes of it.
QByteArray readLine(QFile &f)
{
    QByteArray line = f.readLine(kMaxLine + 1);
    if (!line.endsWith('\n')) {
        // Too long or the last line: skip what remains of it, a piece at a time.
        while (!f.atEnd()) {
            const QByteArray rest = f.readLine(kMaxLine + 1);
            if (rest.endsWith('\n') || rest.isEmpty()) break;
        }
    } else {
        line.chop(1);
    }
    if (line.endsWith('\r')) line.chop(1);
    return line;
}

// Values read back from either file: "." or "," as the decimal point, so a
// file written under either regional setting reads back the same.
Element readValue(QStringView field) { return Element::number(text::leadingNumberAnyPoint(field)); }

bool save(const QString &path, const QByteArray &bytes, QStringList &failures)
{
    QString error;
    if (writeWhole(path, bytes, &error)) return true;
    failures << error;
    return false;
}

}  // namespace

QString logicFileName(const QString &path)
{
    const qsizetype at = path.indexOf(QStringLiteral(".txt"));
    if (at < 0) return path + QStringLiteral(".txl");
    return QString(path).replace(at, 4, QStringLiteral(".txl"));
}

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

OpenOutcome openAcquisitions(const QString &path, Tables &t)
{
    OpenOutcome out;
    QFile analog(path);
    if (QFileInfo(path).isDir() || !analog.open(QIODevice::ReadOnly)) {
        out.message = QStringLiteral("Impossible d'ouvrir « %1 » : %2").arg(shown(path), analog.errorString());
        return out;
    }
    out.opened = true;
    int n = 0;
    while (!analog.atEnd()) {
        const QString line = decodeText(readLine(analog));
        if (!line.contains(u':')) {
            out.analogLines = n;
            out.message = QStringLiteral("Lecture arrêtée à la ligne %1 de « %2 » : ligne sans « : »")
                              .arg(n + 1)
                              .arg(shown(path));
            return out;
        }
        if (n < Tables::kSlots) {
            const QList<QStringView> fields = QStringView(line).split(u':');
            for (int k = 1; k <= 8; ++k)
                t.tab_ana(k, n) = readValue(k <= fields.size() ? fields[k - 1] : QStringView());
        }
        ++n;
    }
    out.analogLines = n;

    QFile logic(logicFileName(path));
    if (logic.open(QIODevice::ReadOnly)) {
        int j = 0;
        while (!logic.atEnd()) {
            const QString line = decodeText(readLine(logic));
            if (j < Tables::kLogicEntries) t.tab_log[size_t(j)] = readValue(line);
            ++j;
        }
        out.logicLines = j;
        out.logicRead = true;
    } else {
        out.message =
            QStringLiteral("Tableaux analogiques lus ; fichier logique « %1 » absent").arg(shown(logicFileName(path)));
    }
    out.reachedEnd = true;
    return out;
}

}  // namespace files
