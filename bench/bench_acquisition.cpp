// Costs of the acquisition rules on the user-interface thread: one table
// listing at the largest size, one decoding of each reply, one random fill.

#include "acquisition/decode.h"
#include "acquisition/table_ops.h"

#include <QLocale>
#include <benchmark/benchmark.h>

using namespace acquisition;

namespace {

Tables memorisedTables()
{
    Tables t;
    t.nbre_acqui = 1000;
    for (int i = 0; i <= 1000; ++i)
        for (int k = 1; k <= 8; ++k) t.tab_ana(k, i) = Element::text(QString::number(i % 255) + u'.');
    return t;
}

void BM_ListingOf1001Lines(benchmark::State &state)
{
    const Tables t = memorisedTables();
    for (auto _ : state) benchmark::DoNotOptimize(listTable(t, 0));
}
BENCHMARK(BM_ListingOf1001Lines)->Unit(benchmark::kMicrosecond);

void BM_LogicListingOf1001Lines(benchmark::State &state)
{
    Tables t;
    t.nbre_acqui = 1000;
    RandomSource r;
    randomFill(t, r);
    for (auto _ : state) benchmark::DoNotOptimize(listTable(t, 7));
}
BENCHMARK(BM_LogicListingOf1001Lines)->Unit(benchmark::kMicrosecond);

void BM_AnalogDecoding(benchmark::State &state)
{
    const QString buffer = QStringLiteral("nAs1:100s2:0s3:255s4:12s5:1s6:2s7:3s8:200\r\n");
    std::array<QString, 8> coeff, units;
    coeff.fill(QStringLiteral("1"));
    units.fill(QStringLiteral("V"));
    for (auto _ : state) benchmark::DoNotOptimize(decodeAnalog(buffer, coeff, units));
}
BENCHMARK(BM_AnalogDecoding)->Unit(benchmark::kMicrosecond);

void BM_LogicDecoding(benchmark::State &state)
{
    const QString buffer = QStringLiteral("E:165\r\n");
    for (auto _ : state) benchmark::DoNotOptimize(decodeLogic(buffer));
}
BENCHMARK(BM_LogicDecoding)->Unit(benchmark::kMicrosecond);

void BM_RandomFillAt1000(benchmark::State &state)
{
    Tables t;
    t.nbre_acqui = 1000;
    RandomSource r;
    for (auto _ : state) {
        randomFill(t, r);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RandomFillAt1000)->Unit(benchmark::kMicrosecond);

void BM_ClearAt1000(benchmark::State &state)
{
    Tables t;
    t.nbre_acqui = 1000;
    for (auto _ : state) benchmark::DoNotOptimize(clearTables(t));
}
BENCHMARK(BM_ClearAt1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
