// The journal browser's reckoning, without windows: the columns' extremes
// against a plain count over random series, the time axis's labels, the
// gaps, the measures between the markers, the reading of damaged, cut and
// growing journals with a change of unit, and the export of a span. Run
// under a point and a comma locale.
#include "support/both_locales.h"
#include "support/file_bytes.h"
#include "support/journal_gen.h"
#include "text/numbers.h"
#include "viewer/columns.h"
#include "viewer/follower.h"
#include "viewer/journal_model.h"
#include "viewer/span.h"
#include "viewer/span_export.h"
#include "viewer/span_measures.h"
#include "viewer/time_axis.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <random>

using namespace viewer;

namespace {

qint64 msAt(int y, int mo, int d, int h, int mi, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms)).toMSecsSinceEpoch();
}

std::unique_ptr<JournalModel> parsed(const QByteArray &bytes, qsizetype piece = 0)
{
    auto m = std::make_unique<JournalModel>();
    if (piece <= 0) piece = bytes.size() + 1;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        m->feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
    return m;
}

// A made-up journal from 08:00 on 7 December: steps lines of each frame.
QByteArray madeBytes(qint64 steps, qint64 unitChangeAt = -1)
{
    panel::MadeJournal j;
    j.start = QDateTime(QDate(2026, 12, 7), QTime(8, 0));
    j.steps = steps;
    j.unitChangeAt = unitChangeAt;
    return panel::madeJournalBytes(j);
}

}  // namespace

class TestViewer : public QObject {
    Q_OBJECT
private slots:
    void columnsMatchBruteForce_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("width");
        QTest::addColumn<qint64>("t0");  // offsets from the first sample
        QTest::addColumn<qint64>("t1");
        QTest::addColumn<int>("seed");
        QTest::newRow("edges inside, wide") << 100000 << 1920 << qint64(12345) << qint64(401234) << 1;
        QTest::newRow("more columns than samples") << 300 << 1920 << qint64(-500) << qint64(3300) << 3;
        QTest::newRow("span beyond both ends") << 5000 << 640 << qint64(-100000) << qint64(200000) << 4;
        QTest::newRow("one column") << 4097 << 1 << qint64(3) << qint64(40000) << 5;
    }

    void columnsMatchBruteForce()
    {
        QFETCH(int, samples);
        QFETCH(int, width);
        QFETCH(qint64, t0);
        QFETCH(qint64, t1);
        QFETCH(int, seed);
        std::mt19937 rng(seed);
        std::vector<qint64> times;
        std::vector<float> values;
        qint64 t = 1'000'000;
        for (int i = 0; i < samples; ++i) {
            t += 1 + rng() % 19;  // uneven steps, mean 10 ms
            times.push_back(t);
            values.push_back(rng() % 23 == 0 ? NAN : float(int(rng() % 20001) - 10000) / 100.0f);
        }
        t0 += 1'000'000;
        t1 += 1'000'000;
        ChannelSummary s;
        s.update(values);
        const auto spans = columnSpans(times, t0, t1, width);
        const auto ranges = columnRanges(s, values, spans);
        std::vector<float> low(size_t(width), NAN), high(size_t(width), NAN);
        std::vector<qint64> count(size_t(width), 0);
        for (size_t i = 0; i < times.size(); ++i) {
            if (times[i] < t0 || times[i] >= t1) continue;
            const qint64 c = (times[i] - t0) * width / (t1 - t0);
            QVERIFY(c >= 0 && c < width);
            QCOMPARE(columnOf(times[i], t0, t1, width), c);
            ++count[size_t(c)];
            low[size_t(c)] = std::fmin(low[size_t(c)], values[i]);
            high[size_t(c)] = std::fmax(high[size_t(c)], values[i]);
        }
        for (int c = 0; c < width; ++c) {
            QCOMPARE(spans[size_t(c)].end - spans[size_t(c)].first, count[size_t(c)]);
            const auto &r = ranges[size_t(c)];
            if (std::isnan(low[size_t(c)])) {
                QVERIFY2(std::isnan(r.low) && std::isnan(r.high), qPrintable(QString::number(c)));
            } else {
                QCOMPARE(r.low, low[size_t(c)]);
                QCOMPARE(r.high, high[size_t(c)]);
            }
        }
        // Appended samples are summarised as the first ones were.
        for (int i = 0; i < 777; ++i) values.push_back(float(rng() % 1000));
        s.update(values, values.size() - 777);
        ChannelSummary whole;
        whole.update(values);
        for (size_t from : {size_t(0), size_t(samples / 3), size_t(samples - 5)}) {
            const auto a = s.range(values, from, values.size()), b = whole.range(values, from, values.size());
            QCOMPARE(a.low, b.low);
            QCOMPARE(a.high, b.high);
        }
    }

    void logicColumnsMatchBruteForce()
    {
        std::mt19937 rng(9);
        std::vector<std::uint8_t> bits;
        std::vector<qint64> times;
        for (int i = 0; i < 30000; ++i) {
            bits.push_back(std::uint8_t(rng() % 256 & rng() % 256));
            times.push_back(qint64(i) * 1000);
        }
        LogicSummary s;
        s.update(bits);
        const int width = 997;
        const qint64 t0 = 1234567, t1 = 29'000'001;
        const auto spans = columnSpans(times, t0, t1, width);
        const auto ranges = columnRanges(s, bits, spans);
        for (int c = 0; c < width; ++c) {
            std::uint8_t all = 0xFF, some = 0;
            for (qint64 i = spans[size_t(c)].first; i < spans[size_t(c)].end; ++i)
                all &= bits[size_t(i)], some |= bits[size_t(i)];
            QCOMPARE(ranges[size_t(c)].low, all);
            QCOMPARE(ranges[size_t(c)].high, some);
        }
    }

    void timeLabels_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<QString>("firstText");
        const qint64 s = 1000, min = 60 * s, h = 60 * min, day = 24 * h;
        QTest::newRow("a week: days") << 7 * day << day << "08/12";
        QTest::newRow("two days: hours") << 2 * day << 6 * h << "12:00";
        QTest::newRow("an hour: minutes") << h << 10 * min << "10:40";
        QTest::newRow("five minutes: seconds") << 5 * min << 30 * s << "10:33:30";
        QTest::newRow("two seconds: milliseconds") << 2 * s << qint64(200) << "10:33:07,600";
    }

    void timeLabels()
    {
        QFETCH(qint64, length);
        QFETCH(qint64, step);
        QFETCH(QString, firstText);
        const qint64 t0 = msAt(2026, 12, 7, 10, 33, 7, 412);
        const TimeTicks t = timeTicks(t0, t0 + length, 1000, 90);
        QCOMPARE(t.stepMs, step);
        QVERIFY(!t.ticks.empty());
        QCOMPARE(t.ticks.front().text, firstText);
        for (size_t i = 1; i < t.ticks.size(); ++i) {
            QVERIFY(t.ticks[i].ms > t.ticks[i - 1].ms);
            QVERIFY(double(t.ticks[i].ms - t.ticks[i - 1].ms) * 1000 / double(length) >= 90 - 1e-9 || step >= 86400000);
        }
        for (const TimeTick &k : t.ticks) QVERIFY(k.ms >= t0 && k.ms < t0 + length);
    }

    void midnightCarriesTheDate()
    {
        // 22:00 → 02:00: hours, the date on the first label and at midnight.
        const qint64 t0 = msAt(2026, 12, 7, 22, 0), t1 = msAt(2026, 12, 8, 2, 0);
        const TimeTicks t = timeTicks(t0, t1, 1200, 90);
        QCOMPARE(t.stepMs, qint64(30 * 60 * 1000));
        QCOMPARE(t.ticks.front().text, QStringLiteral("22:00"));
        QCOMPARE(t.ticks.front().date, QStringLiteral("07/12/2026"));
        int dated = 0;
        for (const TimeTick &k : t.ticks) {
            if (k.date.isEmpty()) continue;
            ++dated;
            if (k.ms != t0) {
                QCOMPARE(k.text, QStringLiteral("00:00"));
                QCOMPARE(k.date, QStringLiteral("08/12/2026"));
            }
        }
        QCOMPARE(dated, 2);
        // Within one day no date.
        for (const TimeTick &k : timeTicks(t0 - 3600000, t0 + 3600000, 1200).ticks) QVERIFY(k.date.isEmpty());
        // The night the clocks go back: labels stay on whole local hours, in order.
        const qint64 n0 = msAt(2026, 10, 24, 22, 0), n1 = msAt(2026, 10, 25, 6, 0);
        const TimeTicks n = timeTicks(n0, n1, 1000, 90);
        QCOMPARE(n.stepMs, qint64(3600000));
        for (size_t i = 1; i < n.ticks.size(); ++i) QVERIFY(n.ticks[i].ms > n.ticks[i - 1].ms);
        for (const TimeTick &k : n.ticks) QVERIFY(k.text.endsWith(QStringLiteral(":00")));
        QVERIFY(n.ticks.size() >= 8);
    }

    void gaps()
    {
        panel::MadeJournal j;
        j.start = QDateTime(QDate(2026, 12, 7), QTime(23, 50));
        j.steps = 200;
        j.pauses = {{49, 3500}, {120, 2000}, {150, 4 * 3600 * 1000}};
        auto m = parsed(panel::madeJournalBytes(j));
        QCOMPARE(m->data().analogCount(), qint64(200));
        QCOMPARE(m->analogGap(), qint64(3000));
        QCOMPARE(m->logicGap(), qint64(3000));
        std::vector<qint64> breaks;
        for (qint64 i = 1; i < m->data().analogCount(); ++i)
            if (gapBefore(m->data().analogTime, i, m->analogGap())) breaks.push_back(i);
        QCOMPARE(breaks, (std::vector<qint64>{50, 151}));  // a step of 3 s exactly is not one
        QCOMPARE(gapThreshold({}), std::numeric_limits<qint64>::max());
    }

    void measuresMatchBruteForce()
    {
        auto m = parsed(madeBytes(20000));
        const JournalData &d = m->data();
        SpanMarkers mk{d.analogTime[17000] + 300, d.analogTime[1234]};  // B before A
        std::array<bool, 8> shown{true, false, true, false, false, false, false, true};
        const graph::MeasureTable t = spanMeasures(*m, mk, shown);
        QCOMPARE(t.rows.size(), 1 + 3 + 8);
        QCOMPARE(t.rows[0][3], graph::durationText(*mk.b - *mk.a));
        int row = 1;
        for (int k = 0; k < 8; ++k) {
            if (!shown[size_t(k)]) continue;
            double low = 1e9, high = -1e9, sum = 0;
            for (int i = 1234; i <= 17000; ++i) {
                const double v = d.analog[size_t(k)][size_t(i)];
                low = std::min(low, v), high = std::max(high, v), sum += v;
            }
            const QStringList &r = t.rows[row++];
            QCOMPARE(r[0], QStringLiteral("Voie %1 (V)").arg(k + 1));
            QCOMPARE(r[1], text::twoDecimals(d.analog[size_t(k)][17000]));
            QCOMPARE(r[2], text::twoDecimals(d.analog[size_t(k)][1234]));
            QCOMPARE(r[4], text::twoDecimals(low));
            QCOMPARE(r[5], text::twoDecimals(high));
            QCOMPARE(r[6], text::twoDecimals(sum / (17000 - 1234 + 1)));
        }
        for (int k = 0; k < 8; ++k) {
            int rises = 0, falls = 0;
            for (int i = 1235; i <= 17000; ++i) {
                rises += !panel::madeBit(i - 1, k) && panel::madeBit(i, k);
                falls += panel::madeBit(i - 1, k) && !panel::madeBit(i, k);
            }
            const QStringList &r = t.rows[row++];
            QCOMPARE(r[0], QStringLiteral("Entrée %1").arg(k + 1));
            QCOMPARE(r[7], QString::number(rises));
            QCOMPARE(r[8], QString::number(falls));
            // A's logic line: 120 ms after its analog line, so before A.
            QCOMPARE(r[1], panel::madeBit(17000, k) ? QStringLiteral("1") : QStringLiteral("0"));
        }
    }

    void damagedAndCutLines()
    {
        const QByteArray bytes =
            files::journalHeader({}) +
            "2026-12-07T10:00:00.000,A,1.00,2.00,,4.00,5.00,6.00,7.00,8.00\r\n"
            "2026-12-07T10:00:00.100,L,1,0,1,0,1,0,1,0\r\n"
            "2026-12-07T10:00:01.000,A,1.0\r\n"  // short
            "2026-12-07T10:00:01.000,A,1.00,2.00,3.00,4.00,5.00,6.00,7.00,8.00,ligne interrompue\r\n"
            "2026-13-07T10:00:01.000,A,1.00,2.00,3.00,4.00,5.00,6.00,7.00,8.00\r\n"  // no month 13
            "2026-12-07T10:00:01.000,A,1.00,2,00,3.00,4.00,5.00,6.00,7.00,8.00\r\n"  // a comma
            "2026-12-07T10:00:01.000,L,1,0,1,0,2,0,1,0\r\n"
            "2026-12-07T10:00:01.000,X,1,0,1,0,1,0,1,0\r\n"
            "garbage\r\n"
            "2026-12-07T10:00:02.000+01:00,A,1.50,2.00,3.00,4.00,5.00,6.00,7.00,nan\r\n"
            "2026-12-07T10:00:02.000Z,A,1.50,2.00,3.00,4.00,5.00,6.00,7.00,8.25\r\n"
            "2026-12-07T10:00:03.000,L,1,1,1,1,1,1,1,1\r\n"
            "2026-12-07T10:00:04.000,A,9.00,2.00,3.00,4.00,5.";  // cut by a crash
        auto m = parsed(bytes);
        const JournalData &d = m->data();
        QCOMPARE(d.damaged, qint64(8));
        QCOMPARE(d.analogCount(), qint64(2));
        QCOMPARE(d.logicCount(), qint64(2));
        QVERIFY(std::isnan(d.analog[2][0]));
        QCOMPARE(d.analog[7][1], 8.25f);
        QCOMPARE(d.analogTime[1], QDateTime(QDate(2026, 12, 7), QTime(10, 0, 2), Qt::UTC).toMSecsSinceEpoch());
        QCOMPARE(d.logic[0], std::uint8_t(0x55));
        QCOMPARE(m->offset(), qint64(bytes.size()));
    }

    void unitChangeMidJournal()
    {
        auto m = parsed(madeBytes(100, 40));
        const JournalData &d = m->data();
        QCOMPARE(d.units.size(), size_t(2));
        QCOMPARE(d.units[1].from, qint64(40));
        QCOMPARE(d.units[1].time, d.analogTime[40]);
        QCOMPARE(d.unitsAt(39)[0], QStringLiteral("V"));
        QCOMPARE(d.unitsAt(40)[0], QStringLiteral("mV"));
        QCOMPARE(d.unitsAt(40)[1], QStringLiteral("V"));
        // Measures across the change give no difference nor extremes for that channel.
        const auto t = spanMeasures(*m, SpanMarkers{d.analogTime[10], d.analogTime[60]}, {true, true});
        QCOMPARE(t.rows[1][0], QStringLiteral("Voie 1 (V → mV)"));
        QVERIFY(t.rows[1][3].isEmpty() && t.rows[1][4].isEmpty());
        QCOMPARE(t.rows[2][0], QStringLiteral("Voie 2 (V)"));
        QVERIFY(!t.rows[2][4].isEmpty());
    }

    void piecesGiveTheSameJournal()
    {
        const QByteArray bytes = madeBytes(3000);
        auto whole = parsed(bytes), pieces = parsed(bytes, 37);
        QCOMPARE(pieces->data().analogTime, whole->data().analogTime);
        QCOMPARE(pieces->data().logic, whole->data().logic);
        QCOMPARE(pieces->data().analog[3], whole->data().analog[3]);
        QCOMPARE(pieces->data().damaged, qint64(0));
        const auto a = pieces->summary(3).range(pieces->data().analog[3], 5, 2900);
        const auto b = whole->summary(3).range(whole->data().analog[3], 5, 2900);
        QCOMPARE(a.low, b.low);
        QCOMPARE(a.high, b.high);
    }

    void followsAnAppendedJournal()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("journal.csv"));
        const QByteArray all = madeBytes(50);
        const qsizetype cut = all.indexOf('\n', all.size() / 2) + 20;  // in the middle of a line
        QVERIFY(panel::put(path, all.first(cut)));
        Loaded l = loadJournal(path);
        QVERIFY(l.model);
        const qint64 before = l.model->data().analogCount() + l.model->data().logicCount();
        JournalFollower follower(path, l.model->offset());
        QObject::connect(&follower, &JournalFollower::appended, [&](const QByteArray &b) { l.model->feed(b); });
        follower.setActive(true);
        QCOMPARE(l.model->data().analogCount() + l.model->data().logicCount(), before);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append) && f.write(all.sliced(cut)) > 0);
        }
        follower.check();
        QCOMPARE(l.model->data().analogCount(), qint64(50));
        QCOMPARE(l.model->data().logicCount(), qint64(50));
        QCOMPARE(l.model->data().damaged, qint64(0));
        // The file becoming shorter stops the following, said in French.
        QString why;
        QObject::connect(&follower, &JournalFollower::lost, [&](const QString &w) { why = w; });
        QVERIFY(QFile::resize(path, 10));
        follower.check();
        QVERIFY(!follower.active());
        QVERIFY(why.contains(QStringLiteral("raccourci")));
    }

    void exportsTheSpan()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("journal.csv"));
        QByteArray bytes = madeBytes(100, 60);
        bytes.insert(bytes.indexOf("2026-12-07T08:00:55.000"), "2026-12-07T08:00:55.500,A,damaged\r\n");
        QVERIFY(panel::put(path, bytes));
        const Span span{msAt(2026, 12, 7, 8, 0, 50), msAt(2026, 12, 7, 8, 1, 5)};
        QString error;
        const auto out = spanLines(path, span, &error);
        QVERIFY2(out, qPrintable(error));
        const QList<QByteArray> lines = out->split('\n');
        QCOMPARE(lines.size(), 1 + 30 + 1 + 1);  // header, 15 s of both frames, the new header, the end
        QVERIFY(lines[0].startsWith("horodatage,trame,voie1 (V)"));
        QVERIFY(lines[1].startsWith("2026-12-07T08:00:50.000+01:00,A,"));
        QVERIFY(lines[21].startsWith("horodatage,trame,voie1 (mV)"));
        QVERIFY(!out->contains("damaged"));
        QVERIFY(out->endsWith("\r\n"));
        // What the export holds reads back as the same lines.
        auto back = parsed(*out);
        QCOMPARE(back->data().analogCount(), qint64(15));
        QCOMPARE(back->data().damaged, qint64(0));
    }

    void navigation()
    {
        const Span whole{0, 1'000'000};
        Span s{100'000, 200'000};
        QCOMPARE(zoomed(s, 0.5, 150'000, whole), (Span{125'000, 175'000}));
        QCOMPARE(zoomed(s, 0.5, 100'000, whole), (Span{100'000, 150'000}));
        QCOMPARE(zoomed(s, 100, 150'000, whole), whole);
        QCOMPARE(zoomed(s, 1e-9, 150'000, whole).length(), kShortestSpan);
        QCOMPARE(panned(s, -500'000, whole), (Span{0, 100'000}));
        QCOMPARE(panned(s, 5'000'000, whole), (Span{900'000, 1'000'000}));
        QCOMPARE(centred(s, 10, whole), (Span{0, 100'000}));
        const ValueRange v = zoomedValues(ValueRange{0, 10}, 0.5, 2);
        QCOMPARE(v.low, 1.0);
        QCOMPARE(v.high, 6.0);
    }
};

int main(int argc, char **argv) { return panel::runUnderBothLocales<TestViewer, QCoreApplication>(argc, argv); }

#include "test_viewer.moc"
