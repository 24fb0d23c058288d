// Any pair of files opened as a recording (the analog part before the first
// zero byte, the logic part after it; without one, no logic file). Whatever
// was read lands in the tables as numbers, the rest stays empty, and saving
// what was read then opening it again gives the same values.
#include "acquisition/tables.h"
#include "files/acquisition_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    f.write(bytes);
}

// Slots below `read` hold numbers, the others were never written.
void checkFilled(const Tables &t, const files::OpenOutcome &r)
{
    const int analog = std::min(r.analogLines, Tables::kSlots);
    for (const auto &table : t.ana)
        for (int n = 0; n < Tables::kSlots; ++n)
            if (table[size_t(n)].isNumber() != (n < analog) || table[size_t(n)].isText()) std::abort();
    const int logic = std::min(r.logicLines, Tables::kLogicEntries);
    for (int j = 0; j < Tables::kLogicEntries; ++j)
        if (t.tab_log[size_t(j)].isNumber() != (j < logic) || t.tab_log[size_t(j)].isText()) std::abort();
}

bool sameValue(const Element &written, const Element &read)
{
    const double v = written.asNumber();
    if (!std::isfinite(v)) return true;  // no plain number for these
    const double back = read.asNumber();
    return std::abs(back - v) <= 1e-300 + std::abs(v) * 1e-14;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("mesure.txt"));
    static const QString again = dir.filePath(QStringLiteral("copie.txt"));
    static auto t = std::make_unique<Tables>();
    static auto u = std::make_unique<Tables>();
    if (!dir.isValid()) std::abort();

    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = all.indexOf('\0');
    put(path, cut < 0 ? all : all.left(cut));
    if (cut < 0)
        QFile::remove(files::logicFileName(path));
    else
        put(files::logicFileName(path), all.mid(cut + 1));

    // The logic file is never the analog file, whatever the name.
    const QString name = QString::fromLatin1(all.left(64));
    if (files::logicFileName(name) == name) std::abort();

    *t = Tables();
    const files::OpenOutcome r = files::openAcquisitions(path, *t);
    if (!r.opened || r.analogLines < 0 || r.logicLines < 0) std::abort();
    if (r.logicRead && !r.reachedEnd) std::abort();  // a stopped read leaves the logic file alone
    if (r.logicRead != (r.reachedEnd && cut >= 0)) std::abort();
    if (t->nbre_acqui != 100 || t->indice_a != 0 || t->indice_l != 0) std::abort();
    checkFilled(*t, r);

    // Save what was read over enough slots to hold it, then open the copy.
    t->nbre_acqui = std::clamp(std::max(r.analogLines, (r.logicLines + 7) / 8), Tables::kMinAcqui, Tables::kMaxAcqui);
    put(again, files::analogFileBytes(*t));
    put(files::logicFileName(again), files::logicFileBytes(*t));
    *u = Tables();
    const files::OpenOutcome s = files::openAcquisitions(again, *u);
    if (!s.opened || !s.reachedEnd || !s.logicRead) std::abort();
    if (s.analogLines != t->nbre_acqui + 1 || s.logicLines != 8 * t->nbre_acqui + 8) std::abort();
    for (int k = 1; k <= 8; ++k)
        for (int n = 0; n <= t->nbre_acqui; ++n)
            if (!sameValue(t->tab_ana(k, n), u->tab_ana(k, n))) std::abort();
    for (int j = 0; j < s.logicLines; ++j)
        if (!sameValue(t->tab_log[size_t(j)], u->tab_log[size_t(j)])) std::abort();
    return 0;
}
