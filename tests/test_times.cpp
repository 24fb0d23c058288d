// When each memorised acquisition was taken: the time texts, the recording
// rules that set and clear the times, the times file beside the acquisition
// files and the time column of the CSV export.
#include "acquisition/table_ops.h"
#include "acquisition/times.h"
#include "files/acquisition_file.h"
#include "files/csv_export.h"
#include "files/times_file.h"
#include "support/both_locales.h"
#include "support/file_bytes.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <memory>

using namespace acquisition;

namespace {

// Times are written with their offset from UTC: the tests fix the zone
// before any date is made.
const bool kParis = [] {
    qputenv("TZ", "Europe/Paris");
    ::tzset();
    return true;
}();

const QDateTime kT0(QDate(2026, 12, 7), QTime(14, 32, 7, 412));

AnalogReading readingOf(const QString &stored)
{
    AnalogReading r;
    for (auto &v : r) v = AnalogValue{QString(), stored};
    return r;
}

void put(const QString &path, const QByteArray &bytes) { QVERIFY(panel::put(path, bytes)); }

// Tables of 11 slots: analog slots 0 … 4 and logic groups 0 … 2 memorised a
// second apart, the rest never written.
std::unique_ptr<Tables> recorded(const QString &sep)
{
    auto t = std::make_unique<Tables>();
    t->nbre_acqui = 10;
    for (int i = 0; i < 5; ++i)
        storeAnalog(*t, true, readingOf(QStringLiteral("1%1%2").arg(sep).arg(i + 1)), kT0.addMSecs(1000 * i));
    for (int i = 0; i < 3; ++i) storeLogic(*t, true, decodeLogic(u"E:165"), kT0.addMSecs(500 + 1000 * i));
    return t;
}

}  // namespace

class TestTimes : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void timeTexts()
    {
        QCOMPARE(shownTime(kT0), QStringLiteral("07/12/2026 14:32:07,412"));
        QCOMPARE(isoTime(kT0), QStringLiteral("2026-12-07T14:32:07.412+01:00"));
        const QDateTime small(QDate(987, 1, 2), QTime(3, 4, 5, 6));
        // Paris was 9 min 21 s ahead of UTC then: no whole minutes, written in UTC.
        QCOMPARE(isoTime(small), QStringLiteral("0987-01-02T02:54:44.006+00:00"));
        QCOMPARE(shownTime(small), QStringLiteral("02/01/0987 03:04:05,006"));
        QCOMPARE(fromIsoTime(isoTime(small)), small);
        QCOMPARE(shownTime(QDateTime()), QString());
        QCOMPARE(isoTime(QDateTime()), QString());
        // Another program's offset is taken and turned into local time.
        QCOMPARE(fromIsoTime(u"2026-12-07T13:32:07.412Z"), QDateTime(kT0.date(), QTime(13, 32, 7, 412), Qt::UTC));
        QCOMPARE(fromIsoTime(u"2026-12-07T15:32:07.412+01:00"), QDateTime(kT0.date(), QTime(14, 32, 7, 412), Qt::UTC));
    }

    void malformedTimes_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *t : {"", "2026-12-07T14:32:07", "2026-12-07 14:32:07.412", "2026-13-07T14:32:07.412",
                              "2026-02-30T14:32:07.412", "2026-12-07T24:00:00.000", "2026-12-07T14:32:07.41x",
                              "2026-12-07T14:32:07.412+1", "2026-12-07T14:32:07.412 ", "+026-12-07T14:32:07.412"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }
    void malformedTimes()
    {
        QFETCH(QString, text);
        QVERIFY(!fromIsoTime(text).isValid());
    }

    void memorisationStampsTheSlot()
    {
        Tables t;
        t.indice_a = 7;
        t.indice_l = 56;
        storeAnalog(t, true, readingOf("1."), kT0);
        storeLogic(t, true, decodeLogic(u"E:1"), kT0.addSecs(1));
        QCOMPARE(t.times.analog(7), kT0);
        QCOMPARE(t.times.logic(7), kT0.addSecs(1));
        // Not memorised: the index moves, the slot keeps its time.
        storeAnalog(t, false, readingOf("2."), kT0.addSecs(5));
        QVERIFY(!t.times.analog(8).isValid());
        // No channel could be taken: the slot holds what it held, and its time.
        t.indice_a = 7;
        storeAnalog(t, true, AnalogReading{}, kT0.addSecs(9));
        QCOMPARE(t.times.analog(7), kT0);
        // Outside the tables there is no time, and asking is harmless.
        QVERIFY(!t.times.analog(-1).isValid());
        QVERIFY(!t.times.logic(1001).isValid());
    }

    void clearAndRandomForgetTheirSlots()
    {
        for (int op = 0; op < 2; ++op) {
            auto t = recorded(QStringLiteral("."));
            t->times.setAnalog(11, kT0);  // beyond nbre_acqui: left alone
            if (op == 0) {
                clearTables(*t);
            } else {
                RandomSource random;
                randomFill(*t, random);
            }
            for (int n = 0; n <= 10; ++n) QVERIFY(!t->times.analog(n).isValid() && !t->times.logic(n).isValid());
            QCOMPARE(t->times.analog(11), kT0);
        }
    }

    void timesFileLines()
    {
        auto t = recorded(QStringLiteral("."));
        t->times.setAnalog(11, kT0);  // beyond nbre_acqui: not saved
        const QByteArray bytes = files::timesFileBytes(*t);
        // First the sizes and sums of the two files of the same save.
        const QByteArray txt = files::analogFileBytes(*t), txl = files::logicFileBytes(*t);
        QCOMPARE(bytes, "txt;" + QByteArray::number(txt.size()) + ';' +
                            QCryptographicHash::hash(txt, QCryptographicHash::Sha256).toHex() + "\r\n" + "txl;" +
                            QByteArray::number(txl.size()) + ';' +
                            QCryptographicHash::hash(txl, QCryptographicHash::Sha256).toHex() + "\r\n" +
                            QByteArray("A;0;2026-12-07T14:32:07.412+01:00\r\nA;1;2026-12-07T14:32:08.412+01:00\r\n"
                                       "A;2;2026-12-07T14:32:09.412+01:00\r\nA;3;2026-12-07T14:32:10.412+01:00\r\n"
                                       "A;4;2026-12-07T14:32:11.412+01:00\r\nL;0;2026-12-07T14:32:07.912+01:00\r\n"
                                       "L;1;2026-12-07T14:32:08.912+01:00\r\nL;2;2026-12-07T14:32:09.912+01:00\r\n"));
        QCOMPARE(files::timesFileName(QStringLiteral("/d/essai.txt")), QStringLiteral("/d/essai.txh"));
        QCOMPARE(files::timesFileName(QStringLiteral("/d.txt/essai.txt")), QStringLiteral("/d.txh/essai.txt"));
        QCOMPARE(files::timesFileName(QStringLiteral("/d/essai")), QStringLiteral("/d/essai.txh"));
    }

    // Saved and opened again under each regional setting: the times come
    // back, and the two acquisition files are the same bytes as without them.
    void roundTrip_data() { panel::addLocaleRows(); }
    void roundTrip()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const auto saved = recorded(QLocale().decimalPoint());
        Tables untimed = *saved;
        untimed.times = AcquisitionTimes();
        QCOMPARE(files::analogFileBytes(*saved), files::analogFileBytes(untimed));
        QCOMPARE(files::logicFileBytes(*saved), files::logicFileBytes(untimed));

        const QString txt = path("essai.txt");
        QVERIFY(files::saveAcquisitions(txt, *saved).failures.isEmpty());
        QVERIFY(files::saveTimes(txt, *saved, nullptr));
        Tables back;
        back.times.setAnalog(8, kT0);  // read from the file without a time: loses it
        const files::OpenOutcome out = files::openAcquisitions(txt, back);
        const files::TimesRead r = files::openTimes(txt, back, out.analogLines, out.logicLines);
        QCOMPARE(r.applied, 8);
        QCOMPARE(r.damaged, 0);
        QVERIFY(r.message.isEmpty());
        QCOMPARE(back.times, saved->times);
    }

    // Only times are lost: a missing file says nothing, damaged lines are
    // passed over and said in French, lines for slots the open did not write
    // are left out.
    void damagedTimesFile_data()
    {
        QTest::addColumn<QByteArray>("txh");
        QTest::addColumn<int>("applied");
        QTest::addColumn<int>("damaged");
        QTest::addColumn<int>("first");
        const auto row = [](const char *name, const QByteArray &txh, int applied, int damaged, int first) {
            QTest::newRow(name) << txh << applied << damaged << first;
        };
        row("missing", QByteArray(), 0, 0, 0);
        row("empty", "", 0, 0, 0);
        row("short", "A;0;2026-12-07T14:32:07.412\r\n", 1, 0, 0);
        row("cut last line", "A;0;2026-12-07T14:32:07.412\r\nL;1;2026-12-07T14:3", 1, 1, 2);
        row("garbage", QByteArray("\0\xff\xfe;;\r\n", 7) + "A;1;2026-12-07T14:32:08.412\n", 1, 1, 1);
        row("bad fields",
            "X;0;2026-12-07T14:32:07.412\r\nA;-1;2026-12-07T14:32:07.412\r\nA;1001;2026-12-07T14:32:07.412\r\n"
            "A;2;yesterday\r\nA;3;2026-12-07T14:32:07.412;x\r\nL;2;2026-12-07T14:32:07.412\r\n",
            1, 5, 1);
        row("slots not read", "A;50;2026-12-07T14:32:07.412\r\nL;40;2026-12-07T14:32:07.412\r\n", 0, 0, 0);
    }
    void damagedTimesFile()
    {
        QFETCH(QByteArray, txh);
        QFETCH(int, applied);
        QFETCH(int, damaged);
        QFETCH(int, first);
        const QString txt = path("abime.txt");
        QFile::remove(files::timesFileName(txt));
        const auto saved = recorded(QStringLiteral("."));
        QVERIFY(files::saveAcquisitions(txt, *saved).failures.isEmpty());
        if (!txh.isNull()) put(files::timesFileName(txt), txh);
        Tables back = *saved;
        const files::OpenOutcome out = files::openAcquisitions(txt, back);
        const files::TimesRead r = files::openTimes(txt, back, out.analogLines, out.logicLines);
        QCOMPARE(r.applied, applied);
        QCOMPARE(r.damaged, damaged);
        QCOMPARE(r.firstDamaged, first);
        QCOMPARE(r.message.isEmpty(), damaged == 0);
        if (damaged) QVERIFY2(r.message.contains(QStringLiteral("abîmé")), qPrintable(r.message));
        int timed = 0;
        for (int n = 0; n <= 10; ++n) timed += back.times.analog(n).isValid() + back.times.logic(n).isValid();
        QCOMPARE(timed, applied);
        // The values themselves are read as always.
        QCOMPARE(back.tab_ana(1, 4).toNumber(), std::optional<double>(1.5));
    }

    // A save cut short leaves files of two saves side by side: the times
    // file says so, and its times are not given to the other recording.
    void mismatchedSet_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("named");  // the files said to differ
        for (const auto &[name, change, named] : {std::tuple("new txt, old txl and txh", "txt", "« set.txt »"),
                                                  {"new txt and txl, old txh", "both", "« set.txt » ni à « set.txl »"},
                                                  {"txl missing", "no txl", "« set.txl »"},
                                                  {"same size, other bytes", "same size", "« set.txt »"},
                                                  {"stamp damaged", "stamp", "« set.txt »"},
                                                  {"untouched", "", ""}})
            QTest::newRow(name) << QString::fromLatin1(change) << QString::fromUtf8(named);
    }
    void mismatchedSet()
    {
        QFETCH(QString, change);
        QFETCH(QString, named);
        const QString txt = path("set.txt");
        const auto first = recorded(QStringLiteral("."));
        QVERIFY(files::saveAcquisitions(txt, *first).failures.isEmpty());
        QVERIFY(files::saveTimes(txt, *first, nullptr));
        // The next recording: other values.
        auto second = recorded(QStringLiteral("."));
        second->tab_ana(2, 0) = Element::number(99);
        for (int k = 0; k < 8; ++k) second->tab_log[size_t(k)] = Element::number(k % 2);
        if (change == "txt" || change == "both") put(txt, files::analogFileBytes(*second));
        if (change == "both") put(files::logicFileName(txt), files::logicFileBytes(*second));
        if (change == "no txl") QVERIFY(QFile::remove(files::logicFileName(txt)));
        if (change == "same size") {
            QByteArray bytes = files::analogFileBytes(*first);
            bytes[bytes.indexOf('1')] = '2';
            put(txt, bytes);
        }
        if (change == "stamp") {
            QByteArray bytes = files::timesFileBytes(*first);
            bytes[8] = 'x';
            put(files::timesFileName(txt), bytes);
        }
        Tables back;
        const files::OpenOutcome out = files::openAcquisitions(txt, back);
        const files::TimesRead r = files::openTimes(txt, back, out.analogLines, out.logicLines);
        QCOMPARE(r.mismatch, !named.isEmpty());
        if (named.isEmpty()) {
            QCOMPARE(r.applied, 8);
            QVERIFY(r.message.isEmpty());
            return;
        }
        QCOMPARE(r.applied, 0);
        QCOMPARE(back.times, AcquisitionTimes());
        QCOMPARE(r.message, QStringLiteral("« set.txh » ne correspond pas à %1 (enregistrement interrompu ou fichier "
                                           "remplacé) : les fichiers peuvent mêler deux enregistrements et les "
                                           "acquisitions restent sans heure")
                                .arg(named));
    }

    void csvTimeColumn()
    {
        auto t = recorded(QStringLiteral("."));
        t->times.setAnalog(3, QDateTime());  // and logic group 3 has none either
        const QList<QByteArray> rows = files::csvBytes(*t).split('\n');
        QVERIFY(rows[0].startsWith("horodatage,acquisition,voie1,"));
        QVERIFY(rows[1].startsWith("2026-12-07T14:32:07.412+01:00,0,1.1,"));
        QVERIFY(rows[4].startsWith(",3,1.4,"));
        QVERIFY(rows[5].startsWith("2026-12-07T14:32:11.412+01:00,4,"));
        QVERIFY(rows[6].startsWith(",5,"));
        // An analog slot without time takes its logic group's.
        t->times.setAnalog(1, QDateTime());
        QVERIFY(files::csvBytes(*t).split('\n')[2].startsWith("2026-12-07T14:32:08.912+01:00,1,"));
    }
};

QTEST_MAIN(TestTimes)
#include "test_times.moc"
