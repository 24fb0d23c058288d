// "param.ini" at the size the panel still accepts: about 1 MB in 40 000
// sections, the panel's own 38 at the end. Start-up reads it, "Enregistrer
// la configuration" reads and writes it; both must stay well under the
// blink of an eye (50 ms together), whatever the number of sections.
#include "files/configuration.h"
#include "files/profile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kSections = 40000;

files::Configuration settings()
{
    files::Configuration c;
    c.com = QStringLiteral("2");
    for (auto &h : c.heure1) h = QStringLiteral("08:00:00");
    for (auto &h : c.heure2) h = QStringLiteral("18:00:00");
    c.ana_j = c.log_j = QStringLiteral("1");
    for (auto &u : c.u_ana) u = QStringLiteral("V");
    for (auto &k : c.coeff) k = QStringLiteral("0.5");
    c.nbre_acqui = QStringLiteral("1000");
    return c;
}

// 40 000 foreign sections, then the panel's; one key each.
QString bigProfile(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("param.ini"));
    QByteArray text;
    text.reserve(1 << 20);
    for (int i = 0; i < kSections - 38; ++i)
        text += "[s" + QByteArray::number(i).rightJustified(5, '0') +
                "]\r\nvaleur=" + QByteArray::number(i).rightJustified(7, '0') + "\r\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) return {};
    f.close();
    files::writeConfiguration(path, settings(), nullptr);
    return path;
}

void sizeCounters(benchmark::State &state, const QString &path)
{
    state.counters["bytes"] = double(QFileInfo(path).size());
    state.counters["sections"] = double(files::Profile::read(path).sections().size());
}

void BM_ProfileRead40000Sections(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = bigProfile(dir);
    for (auto _ : state) benchmark::DoNotOptimize(files::readConfiguration(path));
    sizeCounters(state, path);
}
BENCHMARK(BM_ProfileRead40000Sections)->Unit(benchmark::kMillisecond);

void BM_ProfileSave40000Sections(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = bigProfile(dir);
    files::Configuration c = settings();
    int n = 0;
    for (auto _ : state) {
        c.coeff[0] = QString::number(++n % 7);  // a value that changes, as a real save would
        if (!files::writeConfiguration(path, c, nullptr)) state.SkipWithError("not written");
    }
    sizeCounters(state, path);
}
BENCHMARK(BM_ProfileSave40000Sections)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
