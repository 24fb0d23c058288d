// Acquisitions through the real window and the simulated board on a
// pseudo-terminal: what the labels, indicators and tables show after a
// request, when the board answers late or with noise, and the rhythm of the
// requests and output commands in the cyclic mode.
#include "acquisition/tables.h"
#include "core/board.h"
#include "engine/line.h"
#include "shell/form1.h"
#include "support/panel_fixture.h"
#include "text/numbers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using sim::Command;

namespace {

// The labels the decoding writes for these values with coefficient 1 except
// channel 2 (one half), unit "mA" on channel 4, under the given separator.
QStringList expectedLabels(const QString &sep)
{
    QStringList l{QStringLiteral("1.96 V"),  QStringLiteral("0.49 V"), QStringLiteral("5. V"),
                  QStringLiteral("0.24 mA"), QStringLiteral("0.02 V"), QStringLiteral("0.04 V"),
                  QStringLiteral("0.06 V"),  QStringLiteral("3.92 V")};
    for (QString &s : l) s.replace(u'.', sep);
    return l;
}
using panel::kValues;

}  // namespace

class TestAcquisitionE2e : public QObject {
    Q_OBJECT
    panel::Bench b;

    QString ana(int k) const { return b.child<QLabel>(QStringLiteral("ana%1").arg(k))->text(); }
    QStringList anaLabels() const
    {
        QStringList l;
        for (int k = 1; k <= 8; ++k) l << ana(k);
        return l;
    }
    QString indicators() const
    {
        QString s;
        for (int i = 0; i < 8; ++i) s += b.child<QLabel>(QStringLiteral("log1_%1").arg(i))->text();
        return s;
    }
    // One acquisition by the frame's button, returning once its decoding ran.
    bool acquisition(bool analog)
    {
        const Command kind = analog ? Command::Analog : Command::Logic;
        const int before = b.board->count(kind);
        b.click(analog ? QStringLiteral("Command12") : QStringLiteral("Command13"));
        QTimer *decoder =
            panel::control<QTimer>(&b.form->bench().line(), QString::fromLatin1(analog ? "Timer5" : "Timer7"));
        if (!QTest::qWaitFor([&] { return b.board->count(kind) == before + 1 && decoder->isActive(); }, 1500))
            return false;
        return QTest::qWaitFor([&] { return !decoder->isActive(); }, 2000);
    }
    bool analogAcquisition() { return acquisition(true); }
    bool logicAcquisition() { return acquisition(false); }
    void setCoefficientsAndUnits(const QString &half)
    {
        b.child<QLineEdit>(QStringLiteral("coeff_a2"))->setText(half);
        b.child<QLineEdit>(QStringLiteral("u_ana4"))->setText(QStringLiteral("mA"));
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(b.open());
        b.board->setAnalogValues(kValues);
        b.click(QStringLiteral("Image2"));  // master switch on
        QCOMPARE(b.form->marche(), 1);
    }
    void cleanup()
    {
        b.close();
        QLocale::setDefault(QLocale::c());
    }

    void manualAnalogShowsTheBoardsValues_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("half");
        QTest::newRow("point") << QLocale::c() << QStringLiteral("0.5");
        QTest::newRow("comma") << QLocale(QLocale::French) << QStringLiteral("0,5");
    }
    void manualAnalogShowsTheBoardsValues()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, half);
        QLocale::setDefault(locale);
        setCoefficientsAndUnits(half);
        const QStringList before = anaLabels();
        b.click(QStringLiteral("Command12"));
        // Nothing is shown before the decoding, 1.5 s after the click.
        QTest::qWait(1200);
        QCOMPARE(b.board->count(Command::Analog), 1);
        QCOMPARE(anaLabels(), before);
        QTRY_COMPARE_WITH_TIMEOUT(anaLabels(), expectedLabels(locale.decimalPoint()), 1000);
        QCOMPARE(b.form->tables().indice_a, 1);             // the index moves even without memorising
        QVERIFY(b.form->tables().tab_ana(1, 0).isEmpty());  // but nothing is stored
    }

    void manualLogicShowsTheBoardsByte_data()
    {
        QTest::addColumn<int>("byte");
        QTest::newRow("inputs 1, 3, 6, 8") << 165;
        QTest::newRow("inputs 2, 4, 5, 7") << 90;
    }
    void manualLogicShowsTheBoardsByte()
    {
        QFETCH(int, byte);
        b.board->setLogicByte(byte);
        QVERIFY(logicAcquisition());
        QCOMPARE(indicators(), panel::bitsOf(byte));
        QCOMPARE(b.form->tables().indice_l, 8);
    }

    void lateAnalogReplyIsNotDecoded()
    {
        setCoefficientsAndUnits(QStringLiteral("0.5"));
        QVERIFY(analogAcquisition());
        const QStringList shown = anaLabels();
        QCOMPARE(shown, expectedLabels(QStringLiteral(".")));
        b.board->setMode(sim::Mode::Late);
        b.board->setAnalogValues({1, 1, 1, 1, 1, 1, 1, 1});
        QVERIFY(analogAcquisition());
        // The buffer held only "nA": channels 1 to 7 cannot be taken, channel
        // 8 reads an empty field as 0.
        QCOMPARE(b.form->receiveBuffer(), QStringLiteral("nA"));
        QCOMPARE(anaLabels().mid(0, 7), shown.mid(0, 7));
        QCOMPARE(ana(8), QStringLiteral("0. V"));
        // The reply arrives afterwards and stays undecoded in the buffer.
        QTRY_VERIFY_WITH_TIMEOUT(b.form->receiveBuffer().contains(u"s8:1"), 1500);
        QTest::qWait(200);
        QCOMPARE(anaLabels().mid(0, 7), shown.mid(0, 7));
        QCOMPARE(ana(8), QStringLiteral("0. V"));
    }

    void lateLogicReplyReadsAsZero()
    {
        b.board->setLogicByte(165);
        QVERIFY(logicAcquisition());
        QCOMPARE(indicators(), panel::bitsOf(165));
        b.board->setMode(sim::Mode::Late);
        b.board->setLogicByte(255);
        b.child<QCheckBox>(QStringLiteral("memo_l"))->setChecked(true);
        QVERIFY(logicAcquisition());
        // No "E:" in an empty buffer: the step still runs and reads 0.
        QCOMPARE(indicators(), QStringLiteral("00000000"));
        for (int e = 0; e < 8; ++e) QCOMPARE(b.form->tables().tab_log[size_t(e)].asText(), QStringLiteral("0"));
        QCOMPARE(b.form->tables().indice_l, 8);
        QTRY_VERIFY_WITH_TIMEOUT(b.form->receiveBuffer().contains(u"E:255"), 1500);
        QCOMPARE(indicators(), QStringLiteral("00000000"));
    }

    void garbledRepliesStoreOnlyWhatTheRuleTakes()
    {
        b.memorise(true);
        b.board->setMode(sim::Mode::Garbled);
        QVERIFY(analogAcquisition());
        const QString buffer = b.form->receiveBuffer();
        QVERIFY2(buffer.startsWith(u"nA") && buffer.size() >= 6, qPrintable(buffer));
        QVERIFY(!buffer.contains(u's'));
        const Tables &t = b.form->tables();
        // No markers: channels 1 to 7 keep their label and their slot.
        for (int k = 1; k <= 7; ++k) {
            QCOMPARE(ana(k), QStringLiteral("0.00"));
            QVERIFY2(t.tab_ana(k, 0).isEmpty(), qPrintable(t.tab_ana(k, 0).toText()));
        }
        // Channel 8 reads the four characters after "nA" by the leading-number rule.
        const double raw = text::leadingNumber(QStringView(buffer).mid(2, 4));
        QCOMPARE(ana(8), text::twoDecimals(raw * 0.0196) + QStringLiteral(" V"));
        QCOMPARE(t.tab_ana(8, 0).asText(), text::twoDecimals(raw));
        QCOMPARE(t.indice_a, 1);

        QVERIFY(logicAcquisition());
        const QString shown = indicators();
        QCOMPARE(shown.size(), 8);
        for (int e = 0; e < 8; ++e) {
            QVERIFY(shown[e] == u'0' || shown[e] == u'1');
            QCOMPARE(t.tab_log[size_t(e)].asText(), QString(shown[e]));
        }
        QCOMPARE(t.indice_l, 8);
        // The panel goes on: a sound reply afterwards is decoded as usual.
        b.board->setMode(sim::Mode::Normal);
        b.board->setLogicByte(3);
        QVERIFY(logicAcquisition());
        QCOMPARE(indicators(), panel::bitsOf(3));
    }

    void memorisedSlotsHoldTheBoardsValues()
    {
        setCoefficientsAndUnits(QStringLiteral("0.5"));
        b.memorise(true);
        const Tables &t = b.form->tables();
        QCOMPARE(t.indice_a, 0);

        QVERIFY(analogAcquisition());
        b.board->setAnalogValues({0, 254, 128, 7, 9, 10, 11, 1234});
        QVERIFY(analogAcquisition());
        const QStringList first{"100.", "25.", "255.", "12.", "1.", "2.", "3.", "200."};
        const QStringList second{"0.", "127.", "128.", "7.", "9.", "10.", "11.", "1234."};
        for (int k = 1; k <= 8; ++k) {
            QCOMPARE(t.tab_ana(k, 0).asText(), first[k - 1]);
            QCOMPARE(t.tab_ana(k, 1).asText(), second[k - 1]);
            QVERIFY(t.tab_ana(k, 2).isEmpty());
        }
        QCOMPARE(t.indice_a, 2);
        QVERIFY(b.child<QCheckBox>(QStringLiteral("memo_a"))->isChecked());

        b.board->setLogicByte(165);
        QVERIFY(logicAcquisition());
        b.board->setLogicByte(2);
        QVERIFY(logicAcquisition());
        QString stored;
        for (int e = 0; e < 16; ++e) stored += t.tab_log[size_t(e)].asText();
        QCOMPARE(stored, panel::bitsOf(165) + panel::bitsOf(2));
        QCOMPARE(t.indice_l, 16);
    }

    void cyclicAnalogEveryTwoSecondsKeepsTheOutputRhythm()
    {
        b.click(QStringLiteral("Command16"));
        QVERIFY(b.child<QWidget>(QStringLiteral("Frame5"))->isVisible());
        auto *intervals = b.child<QComboBox>(QStringLiteral("Combo4"));
        intervals->setCurrentIndex(intervals->findText(QStringLiteral("Toutes les 2 secondes")));
        QCOMPARE(intervals->currentIndex(), 6);
        b.click(QStringLiteral("Check6"));
        QVERIFY(b.child<QCheckBox>(QStringLiteral("Check6"))->isChecked());
        const qint64 validated = b.board->nowMs();
        b.click(QStringLiteral("Command21"));
        QVERIFY(!b.child<QWidget>(QStringLiteral("Frame5"))->isVisible());
        QCOMPARE(b.child<QPushButton>(QStringLiteral("Command16"))->property("backColor").value<QColor>(),
                 QColor(255, 0, 0));

        QTRY_COMPARE_WITH_TIMEOUT(b.board->count(Command::Analog), 3, 7500);
        // Annulation during the wait: the interval runs out, one last
        // acquisition starts, then the cycle ends.
        b.click(QStringLiteral("Command16"));
        b.click(QStringLiteral("Command20"));
        QCOMPARE(b.child<QPushButton>(QStringLiteral("Command16"))->property("backColor").value<QColor>(),
                 QColor(192, 192, 192));
        QTRY_COMPARE_WITH_TIMEOUT(b.board->count(Command::Analog), 4, 2500);
        QTest::qWait(2300);
        QCOMPARE(b.board->count(Command::Analog), 4);

        const auto requests = b.of(Command::Analog);
        // The first request: one interval after Validation, then 400 ms of the sender.
        QVERIFY2(std::abs(requests[0].tMs - validated - 2400) <= 150,
                 qPrintable(QString::number(requests[0].tMs - validated)));
        for (size_t i = 1; i < requests.size(); ++i) {
            const qint64 gap = requests[i].tMs - requests[i - 1].tMs;
            QVERIFY2(std::abs(gap - 2000) <= 150, qPrintable(QStringLiteral("request gap %1").arg(gap)));
        }
        // Output commands: 800 ms apart, paused from each start to its
        // request, and restarted by the request, so the next one comes 800 ms
        // after it.
        const auto outputs = b.of(Command::Output);
        // With a start every 2 s, the restarted timer's second tick meets the
        // next start: about one command a cycle, never fewer.
        QVERIFY2(outputs.size() >= 6, qPrintable(QString::number(outputs.size())));
        for (const auto &r : requests) {
            const sim::Received *next = nullptr;
            for (const auto &o : outputs) {
                QVERIFY2(!(o.tMs > r.tMs - 350 && o.tMs < r.tMs),
                         qPrintable(QStringLiteral("output %1 ms before a request").arg(r.tMs - o.tMs)));
                if (!next && o.tMs > r.tMs) next = &o;
            }
            if (!next) continue;  // the last request may end the recording
            QVERIFY2(std::abs(next->tMs - r.tMs - 800) <= 100,
                     qPrintable(QStringLiteral("first output %1 ms after the request").arg(next->tMs - r.tMs)));
        }
        for (size_t i = 1; i < outputs.size(); ++i) {
            bool request = false;
            for (const auto &r : requests) request |= r.tMs > outputs[i - 1].tMs && r.tMs < outputs[i].tMs;
            const qint64 gap = outputs[i].tMs - outputs[i - 1].tMs;
            if (request) {
                // Paused at least from the start (400 ms before the request)
                // to 800 ms after it.
                QVERIFY2(gap >= 1200 - 100, qPrintable(QStringLiteral("gap over a request %1").arg(gap)));
                continue;
            }
            QVERIFY2(std::abs(gap - 800) <= 100, qPrintable(QStringLiteral("output gap %1").arg(gap)));
        }
        // Each request was decoded.
        QCOMPARE(ana(1), QStringLiteral("1.96 V"));
        QCOMPARE(b.form->tables().indice_a, 4);
    }
};

QTEST_MAIN(TestAcquisitionE2e)
#include "test_acquisition_e2e.moc"
