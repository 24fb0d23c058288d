// Both frames recording every 2 s on the one line, started 0, 0.5, 1.0 and
// 1.5 s apart: the board keeps hearing its outputs (a command at least every
// 2.5 s, a lamp change within 2.5 s), no output command comes between a start
// and its request, and every slot holds the frame's own reply. The four
// offsets run side by side, each window with its own board on its own port.
#include "acquisition/tables.h"
#include "support/panel_fixture.h"

#include <QElapsedTimer>
#include <QTimer>

using sim::Command;

namespace {

using panel::kValues;
constexpr int kLogic = 165;
constexpr int kOffsets[] = {0, 500, 1000, 1500};

bool sanitized() { return !qEnvironmentVariableIsEmpty("PRAMELOR_SANITIZED"); }

struct Press {
    qint64 atMs;
    int byte;  // what the lamps say after it
};

}  // namespace

class TestLineSharingE2e : public QObject {
    Q_OBJECT
    std::array<panel::Bench, 4> benches;
    std::array<std::vector<Press>, 4> presses;
    qint64 runMs = 0;

    static void offsetRows()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < 4; ++i) QTest::addRow("logic %d ms after analog", kOffsets[i]) << i;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        const int seconds = panel::lengthFromEnv("PRAMELOR_SHARING_SECONDS", 20);
        for (int i = 0; i < 4; ++i) {
            panel::Bench &b = benches[size_t(i)];
            QVERIFY(b.open(i + 1));
            b.board->setAnalogValues(kValues);
            b.board->setLogicByte(kLogic);
            b.form->tables().nbre_acqui = Tables::kSlots - 1;
            b.click(QStringLiteral("Image2"));
            b.memorise(true);
        }
        QElapsedTimer run;
        run.start();
        for (int i = 0; i < 4; ++i) {
            benches[size_t(i)].startCyclic(true, QStringLiteral("Toutes les 2 secondes"));
            QTimer::singleShot(kOffsets[i], this, [this, i] {
                benches[size_t(i)].startCyclic(false, QStringLiteral("Toutes les 2 secondes"));
            });
        }
        // Someone presses "Forçage Sortie 1" now and then.
        QTimer lamps;
        connect(&lamps, &QTimer::timeout, this, [this] {
            for (size_t i = 0; i < 4; ++i) {
                benches[i].click(QStringLiteral("Command1_0"));
                presses[i].push_back({benches[i].board->nowMs(), presses[i].size() % 2 == 0 ? 0x01 : 0x00});
            }
        });
        lamps.start(3700);
        QTest::qWait(seconds * 1000);
        lamps.stop();
        runMs = run.elapsed();
    }
    void cleanupTestCase()
    {
        for (panel::Bench &b : benches) b.close();
    }

    void outputsKeepComing_data() { offsetRows(); }
    void outputsKeepComing()
    {
        QFETCH(int, index);
        const panel::Bench &b = benches[size_t(index)];
        const auto outputs = b.of(Command::Output);
        QVERIFY(outputs.size() > 2);
        qint64 worst = 0;
        for (size_t i = 1; i < outputs.size(); ++i) worst = std::max(worst, outputs[i].tMs - outputs[i - 1].tMs);
        worst = std::max(worst, b.board->nowMs() - outputs.back().tMs);
        qInfo("largest gap between output commands: %lld ms over %lld ms", worst, runMs);
        QVERIFY2(worst <= (sanitized() ? 3500 : 2500), qPrintable(QString::number(worst)));

        // A lamp change reaches the board within 2.5 s.
        for (const Press &p : presses[size_t(index)]) {
            const sim::Received *seen = nullptr;
            for (const auto &o : outputs)
                if (o.tMs > p.atMs && o.byte == p.byte) {
                    seen = &o;
                    break;
                }
            QVERIFY2(seen, "the lamp change reached the board");
            QVERIFY2(seen->tMs - p.atMs <= (sanitized() ? 3500 : 2500),
                     qPrintable(QStringLiteral("%1 ms").arg(seen->tMs - p.atMs)));
        }
    }

    void requestsKeepTheirTiming_data() { offsetRows(); }
    void requestsKeepTheirTiming()
    {
        QFETCH(int, index);
        const panel::Bench &b = benches[size_t(index)];
        const auto outputs = b.of(Command::Output);
        // No output command between a start and its request, 400 ms later.
        for (const auto &r : b.board->received()) {
            if (r.kind == Command::Output) continue;
            for (const auto &o : outputs)
                QVERIFY2(!(o.tMs > r.tMs - 350 && o.tMs < r.tMs),
                         qPrintable(QStringLiteral("output %1 ms before a request").arg(r.tMs - o.tMs)));
        }
        // Each frame keeps its rhythm: a start held behind the other frame is
        // late by 1.5 s at most.
        for (Command kind : {Command::Analog, Command::Logic}) {
            const auto requests = b.of(kind);
            QVERIFY2(requests.size() >= size_t(runMs / 3500), qPrintable(QString::number(requests.size())));
            for (size_t i = 1; i < requests.size(); ++i) {
                const qint64 gap = requests[i].tMs - requests[i - 1].tMs;
                QVERIFY2(gap >= 1900 && gap <= (sanitized() ? 4500 : 3650),
                         qPrintable(QStringLiteral("requests %1 ms apart").arg(gap)));
            }
        }
    }

    void eachFrameRecordsItsOwnReply_data() { offsetRows(); }
    void eachFrameRecordsItsOwnReply()
    {
        QFETCH(int, index);
        const Tables &t = benches[size_t(index)].form->tables();
        QVERIFY2(t.indice_a >= 4 && t.indice_l >= 4 * 8,
                 qPrintable(QStringLiteral("%1 / %2").arg(t.indice_a).arg(t.indice_l)));
        for (int slot = 0; slot < t.indice_a; ++slot)
            for (int k = 1; k <= 8; ++k)
                QCOMPARE(t.tab_ana(k, slot).asText(), QString::number(kValues[size_t(k - 1)]) + u'.');
        for (int slot = 0; slot < t.indice_l / 8; ++slot) {
            QString bits;
            for (int e = 0; e < 8; ++e) bits += t.tab_log[size_t(8 * slot + e)].asText();
            QCOMPARE(bits, panel::bitsOf(kLogic));
        }
    }
};

QTEST_MAIN(TestLineSharingE2e)
#include "test_line_sharing_e2e.moc"
