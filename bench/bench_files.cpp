// Costs of the files at the largest table size: saving and opening both
// acquisition files, writing and reading "param.ini"; and opening files far
// larger than the tables (50 MB each, a million lines), with the growth of
// the peak resident memory while they are read.
#include "files/acquisition_reader.h"
#include "files/configuration.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<Tables> fullTables()
{
    auto t = std::make_unique<Tables>();
    t->nbre_acqui = 1000;
    for (int n = 0; n <= 1000; ++n)
        for (int k = 1; k <= 8; ++k)
            t->tab_ana(k, n) = Element::text(QString::number((n * k) % 255) + QStringLiteral(".25"));
    for (int j = 0; j < Tables::kLogicEntries; ++j) t->tab_log[size_t(j)] = Element::number(j % 2);
    return t;
}

void BM_SaveBothFilesAt1000(benchmark::State &state)
{
    QTemporaryDir dir;
    const auto t = fullTables();
    const QString path = dir.filePath(QStringLiteral("essai.txt"));
    for (auto _ : state) benchmark::DoNotOptimize(files::saveAcquisitions(path, *t));
}
BENCHMARK(BM_SaveBothFilesAt1000)->Unit(benchmark::kMillisecond);

void BM_OpenBothFilesAt1000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("essai.txt"));
    files::saveAcquisitions(path, *fullTables());
    auto t = std::make_unique<Tables>();
    for (auto _ : state) benchmark::DoNotOptimize(files::openAcquisitions(path, *t));
}
BENCHMARK(BM_OpenBothFilesAt1000)->Unit(benchmark::kMillisecond);

void BM_ConfigurationWriteAndRead(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("param.ini"));
    files::Configuration c;
    c.com = QStringLiteral("1");
    for (auto &u : c.u_ana) u = QStringLiteral("V");
    for (auto &k : c.coeff) k = QStringLiteral("0.5");
    c.nbre_acqui = QStringLiteral("1000");
    for (auto _ : state) {
        files::writeConfiguration(path, c, nullptr);
        benchmark::DoNotOptimize(files::readConfiguration(path));
    }
}
BENCHMARK(BM_ConfigurationWriteAndRead)->Unit(benchmark::kMillisecond);

// line repeated until the file holds at least bytes (or count lines).
bool writeRepeated(const QString &path, const QByteArray &line, qint64 bytes, qint64 count = -1)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const qint64 perBlock = std::max<qint64>(1, (1 << 20) / line.size());
    const QByteArray block = line.repeated(perBlock);
    qint64 lines = 0;
    while (count >= 0 ? lines < count : f.size() < bytes) {
        const qint64 n = count >= 0 ? std::min(perBlock, count - lines) : perBlock;
        if (f.write(block.constData(), n * line.size()) != n * line.size()) return false;
        lines += n;
    }
    return true;
}

// The peak resident memory (VmHWM) is set back to the current one, so that
// what is read afterwards is the peak of what follows.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

double statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(qsizetype(strlen(field))).trimmed().split(' ').front().toDouble();
    return 0;
}

// One open of the pair written by make, timed, with the peak memory growth.
template <typename Make>
void openPair(benchmark::State &state, Make make)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grand.txt"));
    if (!make(path, files::logicFileName(path))) {
        state.SkipWithError("cannot write the files");
        return;
    }
    auto t = std::make_unique<Tables>();
    double growth = 0;
    for (auto _ : state) {
        resetPeak();
        const double before = statusKb("VmRSS:");
        const files::OpenOutcome out = files::applyAcquisitionRead(files::readAcquisitionFiles(path), *t);
        growth = std::max(growth, statusKb("VmHWM:") - before);
        if (!out.reachedEnd || !out.logicRead) state.SkipWithError("not read to the end");
    }
    state.counters["peak_growth_MB"] = growth / 1024.0;
    state.counters["MB_read"] = double(QFile(path).size() + QFile(files::logicFileName(path)).size()) / 1048576.0;
}

void BM_OpenPairOf50MB(benchmark::State &state)
{
    openPair(state, [](const QString &analog, const QString &logic) {
        return writeRepeated(analog, "12.5:0.:3.14:100.:7.25:255.:1.:2.\r\n", 50 << 20) &&
               writeRepeated(logic, " 1 \r\n", 50 << 20);
    });
}
BENCHMARK(BM_OpenPairOf50MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenMillionShortLines(benchmark::State &state)
{
    openPair(state, [](const QString &analog, const QString &logic) {
        return writeRepeated(analog, "1:2\n", 0, 1000000) && writeRepeated(logic, "1\n", 0, 1000000);
    });
}
BENCHMARK(BM_OpenMillionShortLines)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
