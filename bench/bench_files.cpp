// Costs of the files at the largest table size: saving and opening both
// acquisition files, writing and reading "param.ini".
#include "files/acquisition_file.h"
#include "files/configuration.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
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

}  // namespace

BENCHMARK_MAIN();
