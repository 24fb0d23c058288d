#include "files/times_file.h"

#include "files/acquisition_file.h"
#include "files/error_text.h"
#include "files/save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>

namespace files {

namespace {

// A slot number: digits only, 0 … 1000; -1 otherwise.
int slotNumber(QByteArrayView s)
{
    if (s.isEmpty() || s.size() > 4) return -1;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v < acquisition::AcquisitionTimes::kSlots ? v : -1;
}

}  // namespace

QString timesFileName(const QString &path) { return siblingFileName(path, QStringLiteral(".txh")); }

QByteArray timesFileBytes(const Tables &t)
{
    return timesFileBytes(t, stampOf(analogFileBytes(t)), stampOf(logicFileBytes(t)));
}

QByteArray timesFileBytes(const Tables &t, const FileStamp &txt, const FileStamp &txl)
{
    QByteArray out = "txt;" + stampText(txt) + "\r\ntxl;" + stampText(txl) + "\r\n";
    const int last = std::clamp(t.nbre_acqui, 0, Tables::kSlots - 1);
    for (const char frame : {'A', 'L'})
        for (int n = 0; n <= last; ++n) {
            const QDateTime when = frame == 'A' ? t.times.analog(n) : t.times.logic(n);
            if (!when.isValid()) continue;
            out += frame;
            out += ';';
            out += QByteArray::number(n);
            out += ';';
            out += acquisition::isoTime(when).toLatin1();
            out += "\r\n";
        }
    return out;
}

bool saveTimes(const QString &path, const Tables &t, QString *error)
{
    return writeWhole(timesFileName(path), timesFileBytes(t), error);
}

TimesRead applyTimes(QByteArrayView bytes, acquisition::AcquisitionTimes &times, int analogSlots, int logicGroups)
{
    TimesRead r;
    r.present = true;
    int lineNo = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0) end = bytes.size();
        QByteArrayView line = bytes.sliced(at, end - at);
        at = end + 1;
        ++lineNo;
        if (line.endsWith('\r')) line.chop(1);
        if (line.isEmpty()) continue;
        if (line.startsWith("txt;") || line.startsWith("txl;")) {
            const auto stamp = stampFromText(line.sliced(4));
            (line[2] == 't' ? r.txt : r.txl) = stamp;
            if (!stamp) r.stampDamaged = true;
            continue;
        }
        const qsizetype s1 = line.indexOf(';');
        const qsizetype s2 = s1 < 0 ? -1 : line.indexOf(';', s1 + 1);
        const QByteArrayView frame = s1 < 0 ? QByteArrayView() : line.first(s1);
        const int slot = s2 < 0 ? -1 : slotNumber(line.sliced(s1 + 1, s2 - s1 - 1));
        const QDateTime when =
            s2 < 0 ? QDateTime() : acquisition::fromIsoTime(QString::fromLatin1(line.sliced(s2 + 1)));
        if ((frame != "A" && frame != "L") || slot < 0 || !when.isValid()) {
            if (r.damaged++ == 0) r.firstDamaged = lineNo;
            continue;
        }
        if (frame == "A" && slot < analogSlots) {
            times.setAnalog(slot, when);
            ++r.applied;
        } else if (frame == "L" && slot < logicGroups) {
            times.setLogic(slot, when);
            ++r.applied;
        }
    }
    return r;
}

TimesRead openTimes(const QString &path, Tables &t, int analogLines, int logicLines)
{
    const int analogSlots = std::min(analogLines, Tables::kSlots);
    const int logicGroups = std::min((logicLines + 7) / 8, Tables::kSlots);
    t.times.forgetAnalog(0, analogSlots - 1);
    t.times.forgetLogic(0, logicGroups - 1);

    const QString name = timesFileName(path);
    // Only a plain file: a pipe or a device in its place would never end.
    if (!QFileInfo(name).isFile()) return {};
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
        TimesRead r;
        r.message = failureSentence(QStringLiteral("lire"), name, reasonFromErrno(errno)) +
                    QStringLiteral(" ; les acquisitions restent sans heure");
        return r;
    }
    const QByteArray bytes = f.read(kMaxTimesBytes + 1);
    TimesRead r = applyTimes(QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), kMaxTimesBytes)), t.times,
                             analogSlots, logicGroups);
    if (bytes.size() > kMaxTimesBytes && r.damaged == 0) {
        r.damaged = 1;
        r.firstDamaged = r.applied + 1;
    }
    if (r.txt || r.txl || r.stampDamaged) {
        // Written with other files than these: its times would belong to another recording.
        QStringList differ;
        if (!r.txt || !fileMatches(path, *r.txt)) differ << QFileInfo(path).fileName();
        if (!r.txl || !fileMatches(logicFileName(path), *r.txl)) differ << QFileInfo(logicFileName(path)).fileName();
        if (!differ.isEmpty()) {
            t.times.forgetAnalog(0, analogSlots - 1);
            t.times.forgetLogic(0, logicGroups - 1);
            r.applied = 0;
            r.mismatch = true;
            r.message =
                QStringLiteral("« %1 » ne correspond pas à %2 (enregistrement interrompu ou fichier remplacé) : "
                               "les fichiers peuvent mêler deux enregistrements et les acquisitions restent "
                               "sans heure")
                    .arg(QFileInfo(name).fileName(),
                         QStringLiteral("« ") + differ.join(QStringLiteral(" » ni à « ")) + QStringLiteral(" »"));
            return r;
        }
    }
    if (r.damaged > 0)
        r.message = QStringLiteral("Horodatage « %1 » abîmé : %2 ligne(s) illisible(s), la première à la ligne %3 ; "
                                   "ces acquisitions restent sans heure")
                        .arg(QDir::toNativeSeparators(name))
                        .arg(r.damaged)
                        .arg(r.firstDamaged);
    return r;
}

}  // namespace files
