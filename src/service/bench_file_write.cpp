// Writing a bench file: the settings' keys get their values in place (a
// comment after a value stays), keys the file lacks go at the end of their
// section, sections it lacks at its end; everything else is left as it was.
#include "files/encoding.h"
#include "files/readable_file.h"
#include "files/save_file.h"
#include "service/bench_file.h"
#include "service/bench_lines.h"

#include <QSet>
#include <algorithm>
#include <utility>
#include <vector>

namespace service {

namespace {

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

using Entries = std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>>;

Entries entriesOf(const BenchSettings &s)
{
    QStringList automatic;
    for (bool a : s.automatic) automatic << flag(a);
    const auto frame = [](const FrameSettings &f) {
        return std::vector<std::pair<QString, QString>>{{QStringLiteral("mode"), modeName(f.mode)},
                                                        {QStringLiteral("intervalle"), QString::number(f.interval)},
                                                        {QStringLiteral("memorisation"), flag(f.memorisation)}};
    };
    return {{QStringLiteral("banc"),
             {{QStringLiteral("nom"), s.name},
              {QStringLiteral("port"), s.port},
              {QStringLiteral("parametres"), s.parameters},
              {QStringLiteral("marche"), flag(s.marche)}}},
            {QStringLiteral("relais"), {{QStringLiteral("auto"), automatic.join(u',')}}},
            {QStringLiteral("analogique"), frame(s.analog)},
            {QStringLiteral("logique"), frame(s.logic)},
            {QStringLiteral("journal"), {{QStringLiteral("fichier"), s.journal}}}};
}

}  // namespace

QString benchText(const QString &existing, const BenchSettings &settings)
{
    const BenchLines parsed = splitBenchText(existing);
    std::vector<QString> out;
    for (const BenchLine &l : parsed.lines) out.push_back(l.raw);
    QSet<QString> written;
    std::vector<std::pair<int, QString>> inserts;  // after line index, text

    for (const auto &[section, keys] : entriesOf(settings)) {
        int lastOfSection = -1;  // the last non-blank line of the section's first occurrence
        bool inFirst = false, seen = false;
        for (size_t i = 0; i < parsed.lines.size(); ++i) {
            const BenchLine &l = parsed.lines[i];
            if (l.kind == BenchLine::Header) {
                inFirst = l.section == section && !seen;
                seen = seen || inFirst;
                if (inFirst) lastOfSection = int(i);
                continue;
            }
            if (l.section != section) continue;
            if (inFirst && l.kind != BenchLine::Blank) lastOfSection = int(i);
            if (l.kind != BenchLine::Pair) continue;
            for (const auto &[key, value] : keys) {
                const QString id = section + u'/' + key;
                if (l.key != key || written.contains(id)) continue;
                written.insert(id);
                out[i] = l.raw.left(l.valueBegin) + value + l.raw.mid(l.valueEnd);
            }
        }
        QString missing;
        for (const auto &[key, value] : keys)
            if (!written.contains(section + u'/' + key)) missing += key + u'=' + value + parsed.lineEnd;
        if (missing.isEmpty()) continue;
        if (lastOfSection >= 0)
            inserts.emplace_back(lastOfSection, missing);
        else
            inserts.emplace_back(int(out.size()) - 1, u'[' + section + u']' + parsed.lineEnd + missing);
    }

    QString text;
    const auto appendAfter = [&](int index) {
        for (const auto &[at, added] : inserts)
            if (at == index) text += added;
    };
    appendAfter(-1);
    for (size_t i = 0; i < out.size(); ++i) {
        text += out[i];
        // A last line without its end gets one when something follows it.
        const bool followed =
            std::any_of(inserts.begin(), inserts.end(), [&](const auto &p) { return p.first == int(i); });
        if (i + 1 < out.size() || parsed.finalNewline || followed) text += parsed.lineEnd;
        appendAfter(int(i));
    }
    return text;
}

bool writeBenchFile(const QString &path, const BenchSettings &settings, QString *error)
{
    QString existing;
    files::ReadableFile file(path);
    if (file.isOpen()) {
        QByteArray bytes;
        char piece[4096];
        for (qint64 n; (n = file.read(piece, sizeof piece)) > 0;) bytes.append(piece, qsizetype(n));
        if (!file.reason().isEmpty()) {
            if (error)
                *error = QStringLiteral("« %1 » ne peut être lu (%2) : il est laissé tel quel et le banc n'est pas "
                                        "enregistré.")
                             .arg(path, file.reason());
            return false;
        }
        existing = files::decodeText(bytes);
    } else if (!file.isAbsent()) {
        if (error)
            *error = QStringLiteral("« %1 » ne peut être lu (%2) : il est laissé tel quel et le banc n'est pas "
                                    "enregistré.")
                         .arg(path, file.reason());
        return false;
    }
    return files::writeWhole(path, benchText(existing, settings).toUtf8(), error);
}

}  // namespace service
