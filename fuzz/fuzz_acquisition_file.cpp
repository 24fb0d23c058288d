// Any pair of files opened as a recording: the analog part before the first
// zero byte, the logic part after it.
#include "acquisition/tables.h"
#include "files/acquisition_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = all.indexOf('\0');
    const QString path = dir.filePath(QStringLiteral("mesure.txt"));
    auto put = [](const QString &p, const QByteArray &bytes) {
        QFile f(p);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    };
    put(path, cut < 0 ? all : all.left(cut));
    if (cut < 0) QFile::remove(files::logicFileName(path));
    else put(files::logicFileName(path), all.mid(cut + 1));

    static Tables t;
    t = Tables();
    const files::OpenOutcome r = files::openAcquisitions(path, t);
    if (r.analogLines < 0 || r.logicLines < 0) std::abort();
    if (t.indice_a < 0 || t.indice_a > Tables::kSlots || t.indice_l < 0 || t.indice_l > Tables::kLogicEntries) std::abort();
    return 0;
}
