// Costs of the continuous journal: appending one line as an acquisition is
// decoded (the median of single appends, flushes to the disk included), and
// "Ouvrir un journal…" on a 10 MB journal, the end read and put in the tables.
#include "files/journal.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

namespace {

const QDateTime kT0(QDate(2026, 12, 7), QTime(14, 32, 7, 412));

acquisition::Acquired acquisitionNumber(qint64 i, bool analogOnly)
{
    acquisition::Acquired a;
    a.time = kT0.addMSecs(i * 1000);
    a.channel = analogOnly || i % 2 == 0 ? Channel::Analog : Channel::Logic;
    a.units.fill(QStringLiteral("V"));
    for (int k = 0; k < 8; ++k)
        a.values[size_t(k)] = a.channel == Channel::Logic ? QString::number((i >> k) & 1)
                                                          : QStringLiteral("%1.%2").arg((i * (k + 3)) % 510).arg(k);
    return a;
}

void BM_AppendJournalLine(benchmark::State &state)
{
    QTemporaryDir dir;
    files::JournalWriter w;
    files::Units units;
    units.fill(QStringLiteral("V"));
    w.open(dir.filePath(QStringLiteral("journal.csv")), units, nullptr);
    std::vector<double> us;
    us.reserve(size_t(state.max_iterations));
    qint64 i = 0;
    for (auto _ : state) {
        const acquisition::Acquired a = acquisitionNumber(i++, false);
        const auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(w.append(a, nullptr));
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[us.size() * 99 / 100];
}
BENCHMARK(BM_AppendJournalLine)->Iterations(20000)->Unit(benchmark::kMicrosecond);

// The once-a-second look at the journal's path: the file in its place, or
// renamed in a folder of range(0) other files (the folder is read through).
void BM_CheckJournalPlace(benchmark::State &state)
{
    QTemporaryDir dir;
    for (int i = 0; i < state.range(0); ++i)
        QFile(dir.filePath(QStringLiteral("autre%1.csv").arg(i))).open(QIODevice::WriteOnly);
    files::JournalWriter w;
    files::Units units;
    units.fill(QStringLiteral("V"));
    w.open(dir.filePath(QStringLiteral("journal.csv")), units, nullptr);
    const bool renamed = state.range(0) > 0;
    if (renamed) QFile::rename(w.path(), dir.filePath(QStringLiteral("renomme.csv")));
    qint64 n = 0;
    for (auto _ : state) {
        if (renamed) QFile::rename(w.path(), dir.filePath(QStringLiteral("renomme%1.csv").arg(++n % 2)));
        benchmark::DoNotOptimize(w.checkPlace());
    }
}
BENCHMARK(BM_CheckJournalPlace)->Arg(0)->Arg(1000)->ArgNames({"renamed_among"})->Unit(benchmark::kMicrosecond);

// A journal of about 10 MB: both frames taking turns, or analog lines only
// (the reading then goes through the whole file looking for logic lines).
std::unique_ptr<QTemporaryDir> tenMegabytes(bool analogOnly, QString *path)
{
    auto dir = std::make_unique<QTemporaryDir>();
    *path = dir->filePath(QStringLiteral("journal.csv"));
    files::Units units;
    units.fill(QStringLiteral("V"));
    QByteArray bytes = files::journalHeader(units);
    bytes.reserve(11 << 20);
    for (qint64 i = 0; bytes.size() < (10 << 20); ++i) bytes += files::journalLine(acquisitionNumber(i, analogOnly));
    QFile f(*path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return dir;
}

void BM_OpenJournal10MB(benchmark::State &state)
{
    QString path;
    const auto dir = tenMegabytes(state.range(0) != 0, &path);
    auto t = std::make_unique<Tables>();
    t->nbre_acqui = 1000;
    for (auto _ : state) {
        const files::JournalTail tail = files::readJournalTail(path, t->nbre_acqui + 1);
        files::loadJournalTail(tail, *t);
        benchmark::DoNotOptimize(tail.analog.size());
    }
}
BENCHMARK(BM_OpenJournal10MB)->Arg(0)->Arg(1)->ArgNames({"analog_only"})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
