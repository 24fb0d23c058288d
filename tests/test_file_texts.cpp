// The texts of the acquisition files and of "param.ini": exact bytes, what
// reads back, and what happens with damaged, foreign or enormous files.
#include "acquisition/tables.h"
#include "files/acquisition_file.h"
#include "files/configuration.h"
#include "files/csv_export.h"
#include "files/profile.h"

#include "support/both_locales.h"
#include "support/file_faults.h"
#include "support/panel_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

using panel::bytesOf;
using panel::put;

std::unique_ptr<Tables> smallTables()
{
    auto t = std::make_unique<Tables>();
    t->nbre_acqui = 10;
    return t;
}

// head, then mb MiB of one byte with no line break.
bool writeHuge(const QString &file, const char *head, int mb)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(head);
    const QByteArray block(1 << 20, 'x');
    for (int i = 0; i < mb; ++i)
        if (f.write(block) != block.size()) return false;
    return true;
}

}  // namespace

class TestFileTexts : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void exactBytes_data() { panel::addLocaleRows(); }
    void exactBytes()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const QString sep = QLocale().decimalPoint();
        auto t = smallTables();
        t->tab_ana(1, 0) = Element::text(QStringLiteral("12") + sep + QStringLiteral("5"));
        t->tab_ana(2, 0) = Element::number(-3.25);
        t->tab_ana(3, 0) = Element::number(0);
        t->tab_log[0] = Element::number(1);
        t->tab_log[1] = Element::text(QStringLiteral("0"));
        const QByteArray analog = files::analogFileBytes(*t);
        const QByteArray logic = files::logicFileBytes(*t);
        QCOMPARE(analog.count("\r\n"), 11);
        QCOMPARE(logic.count("\r\n"), 88);
        QCOMPARE(analog.count('\n'), 11);
        const QString first =
            (QStringLiteral("12") + sep + QStringLiteral("5:-3") + sep + QStringLiteral("25 : 0 :::::\r\n"));
        QVERIFY2(analog.startsWith(first.toUtf8()), analog.left(40).constData());
        QVERIFY(analog.endsWith(":::::::\r\n:::::::\r\n"));
        QVERIFY(logic.startsWith(" 1 \r\n0\r\n\r\n"));
    }

    void roundTrip_data() { panel::addLocaleRows(); }
    void roundTrip()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const QString sep = QLocale().decimalPoint();
        auto t = std::make_unique<Tables>();
        t->nbre_acqui = 1000;
        for (int n = 0; n <= 1000; ++n)
            for (int k = 1; k <= 8; ++k)
                t->tab_ana(k, n) = n % 3 == 0   ? Element::number((n * k) % 255)
                                   : n % 3 == 1 ? Element::text(QString::number(n % 100) + sep + QStringLiteral("25"))
                                                : Element();
        for (int j = 0; j < Tables::kLogicEntries; ++j) t->tab_log[size_t(j)] = Element::number(j % 2);
        QVERIFY(files::saveAcquisitions(path("rt.txt"), *t).failures.isEmpty());

        QLocale::setDefault(QLocale::c());  // read back under the other habit too
        auto back = std::make_unique<Tables>();
        const files::OpenOutcome out = files::openAcquisitions(path("rt.txt"), *back);
        QVERIFY(out.reachedEnd && out.logicRead);
        QCOMPARE(out.analogLines, 1001);
        QCOMPARE(out.logicLines, 8008);
        for (int n = 0; n <= 1000; ++n)
            for (int k = 1; k <= 8; ++k) {
                const double want = n % 3 == 0 ? (n * k) % 255 : n % 3 == 1 ? n % 100 + 0.25 : 0;
                QCOMPARE(back->tab_ana(k, n).asNumber(), want);
                QVERIFY(back->tab_ana(k, n).isNumber());
            }
        QCOMPARE(back->tab_log[8007].asNumber(), 1.0);
        QCOMPARE(back->nbre_acqui, 100);  // opening never changes the count
    }

    void logicName_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("logic");
        for (const auto &[chosen, logic] : {std::pair("/d/essai.txt", "/d/essai.txl"),
                                            {"/d/a.txt/b.txt", "/d/a.txl/b.txt"},  // the first only
                                            {"/d/ESSAI.TXT", "/d/ESSAI.TXT.txl"},
                                            {"/d/essai", "/d/essai.txl"}})
            QTest::newRow(chosen) << QString::fromLatin1(chosen) << QString::fromLatin1(logic);
    }
    void logicName()
    {
        QFETCH(QString, chosen);
        QTEST(files::logicFileName(chosen), "logic");
    }

    void openStops_data()
    {
        QTest::addColumn<QByteArray>("analog");
        QTest::addColumn<bool>("withLogic");
        QTest::addColumn<bool>("reachedEnd");
        QTest::addColumn<double>("slot0");
        QTest::addColumn<double>("slot2");
        QTest::addColumn<double>("logic0");
        const auto row = [](const char *name, const QByteArray &analog, bool withLogic, bool end, double slot0,
                            double slot2, double logic0) {
            QTest::newRow(name) << analog << withLogic << end << slot0 << slot2 << logic0;
        };
        row("shorter", "1:2:3:4:5:6:7:8\r\n", true, true, 1.0, 9.0, 5.0);
        row("line without colon", "1:2\r\nrien\r\n3:3\r\n", true, false, 1.0, 9.0, 9.0);
        row("missing logic", "4:\n:\n7:7\n", false, true, 4.0, 7.0, 9.0);
        row("texts and commas", "abc:1,5x:\r\nx:\r\n2,75:\r\n", true, true, 0.0, 2.75, 5.0);
        row("binary", QByteArray("\x00\x01:\xff\xfe\r\n\x00:\x00\r\n:\x07\r\n", 16), true, true, 0.0, 0.0, 5.0);
        row("no line end at the end", "1:\n2:\n3:", true, true, 1.0, 3.0, 5.0);
        // A carriage return alone ends a line, as on old Macintosh files.
        row("CR only", "1:\r2:\r3:\r", true, true, 1.0, 3.0, 5.0);
        row("CR only, blank line stops", "1:\r\r3:\r", true, false, 1.0, 9.0, 9.0);
        // Lines of any length: a colon far along a line is still seen, and
        // blanks are ignored however many there are.
        row("colon beyond 64 KiB", QByteArray(70000, 'x') + ":\r\n2:\r\n3:", true, true, 0.0, 3.0, 5.0);
        row("number beyond 64 KiB of blanks", QByteArray(70000, ' ') + "4:\r\n2:\r\n3:", true, true, 4.0, 3.0, 5.0);
        row("long line without colon stops", "1:\r\n" + QByteArray(70000, '7') + "\r\n3:", true, false, 1.0, 9.0, 9.0);
        // Beyond the range of a double: no number, 0 like any field without one.
        row("beyond a double", "1e400:\r\n:\r\n-1.5e999:\r\n", true, true, 0.0, 0.0, 5.0);
        row("byte-order mark", QByteArray("\xef\xbb\xbf") + "6:\r\n:\r\n8:\r\n", true, true, 6.0, 8.0, 5.0);
    }
    void openStops()
    {
        QFETCH(QByteArray, analog);
        QFETCH(bool, withLogic);
        put(path("o.txt"), analog);
        QFile::remove(path("o.txl"));
        if (withLogic) put(path("o.txl"), " 5 \r\n");
        auto t = std::make_unique<Tables>();
        for (int k = 1; k <= 8; ++k)
            for (int n = 0; n < Tables::kSlots; ++n) t->tab_ana(k, n) = Element::number(9);
        t->tab_log[0] = Element::number(9);
        const files::OpenOutcome out = files::openAcquisitions(path("o.txt"), *t);
        QVERIFY(out.opened);
        QTEST(out.reachedEnd, "reachedEnd");
        QTEST(t->tab_ana(1, 0).asNumber(), "slot0");
        QTEST(t->tab_ana(1, 2).asNumber(), "slot2");
        QTEST(t->tab_log[0].asNumber(), "logic0");
        QCOMPARE(t->tab_ana(1, 3).asNumber(), 9.0);  // beyond the file: as it was
        QCOMPARE(out.message.isEmpty(), out.reachedEnd && withLogic);
    }

    void logicBeyondADouble()
    {
        put(path("f.txt"), "1:\r\n");
        put(path("f.txl"), "1e400\r\n-1e999\r\n1e308\r\n 1 \r\n");
        auto t = std::make_unique<Tables>();
        QVERIFY(files::openAcquisitions(path("f.txt"), *t).logicRead);
        QCOMPARE(t->tab_log[0].asNumber(), 0.0);
        QCOMPARE(t->tab_log[1].asNumber(), 0.0);
        QCOMPARE(t->tab_log[2].asNumber(), 1e308);
        QCOMPARE(t->tab_log[3].asNumber(), 1.0);
    }

    // Only regular files are read: a named pipe nobody writes to is refused
    // at once (opening it would wait for a writer), a folder is said to be
    // one, and a logic file that is there but cannot be read is not "absent".
    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("analog");  // "file", "fifo", "folder"
        QTest::addColumn<QString>("logic");   // "file", "fifo", "folder", "none"
        QTest::addColumn<QString>("said");
        const auto row = [](const char *analog, const char *logic, const QString &said) {
            QTest::addRow("%s %s", analog, logic) << QString::fromLatin1(analog) << QString::fromLatin1(logic) << said;
        };
        const QString opening = QStringLiteral("Impossible d'ouvrir « %1 » : ");
        const QString logicFile = QStringLiteral("Tableaux analogiques lus ; fichier logique « %2 » ");
        const QString pipe = QStringLiteral("c'est un tube nommé, pas un fichier");
        row("fifo", "file", opening + pipe);
        row("folder", "file", opening + "c'est un dossier");
        row("file", "fifo", logicFile + "illisible : " + pipe);
        row("file", "folder", logicFile + "illisible : c'est un dossier");
        row("file", "none", logicFile + "absent");
        row("none", "file", opening + "fichier ou dossier introuvable");
    }
    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, analog);
        QFETCH(QString, logic);
        QFETCH(QString, said);
        QTemporaryDir here;
        const QString a = here.filePath(QStringLiteral("p.txt")), l = here.filePath(QStringLiteral("p.txl"));
        const auto make = [](const QString &kind, const QString &name, const QByteArray &bytes) {
            if (kind == u"file") put(name, bytes);
            if (kind == u"folder") QDir().mkpath(name);
            if (kind == u"fifo") QCOMPARE(mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        };
        make(analog, a, "3:\r\n");
        make(logic, l, "1\r\n");
        auto t = std::make_unique<Tables>();
        QElapsedTimer clock;
        clock.start();
        const files::OpenOutcome out = files::openAcquisitions(a, *t);
        QCOMPARE_LT(clock.elapsed(), 5000);  // nothing waits on a pipe
        QCOMPARE(out.message, said.replace(QStringLiteral("%1"), a).replace(QStringLiteral("%2"), l));
        QCOMPARE(out.opened, analog == u"file");
        QCOMPARE(t->tab_ana(1, 0).asNumber(), analog == u"file" ? 3.0 : 0.0);
        QCOMPARE(out.logicRead, analog == u"file" && logic == u"file");
    }

    void longerThanTheTables()
    {
        QByteArray analog, logic;
        for (int n = 0; n < 1200; ++n) analog += QByteArray::number(n) + ":1\r\n";
        for (int j = 0; j < 9000; ++j) logic += "1\r\n";
        put(path("l.txt"), analog);
        put(path("l.txl"), logic);
        auto t = std::make_unique<Tables>();
        const files::OpenOutcome out = files::openAcquisitions(path("l.txt"), *t);
        QVERIFY(out.reachedEnd);
        QCOMPARE(out.analogLines, 1200);
        QCOMPARE(t->tab_ana(1, 1000).asNumber(), 1000.0);
        QCOMPARE(t->tab_log[8007].asNumber(), 1.0);
    }

    // A file with no line break at all is read in bounded pieces: memory
    // stays far below the file's size (PRAMELOR_HUGE_MB, 40 by default).
    void hugeLine()
    {
        const int mb = panel::lengthFromEnv("PRAMELOR_HUGE_MB", 40);
        QVERIFY(writeHuge(path("h.txt"), "7:", mb));
        const double before = residentMb();
        auto t = std::make_unique<Tables>();
        const files::OpenOutcome out = files::openAcquisitions(path("h.txt"), *t);
        const double grown = residentMb() - before;
        QVERIFY(out.reachedEnd);
        QCOMPARE(out.analogLines, 1);
        QCOMPARE(t->tab_ana(1, 0).asNumber(), 7.0);
        if (!qEnvironmentVariableIsSet("PRAMELOR_SANITIZED")) QCOMPARE_LT(grown, 16.0);
        QFile::remove(path("h.txt"));
    }

    // A "param.ini" beyond the read limit is not read at all (its head would
    // give values it never meant), and saving the configuration leaves it
    // whole and says why.
    void hugeProfileIsLeftAlone()
    {
        const int mb = panel::lengthFromEnv("PRAMELOR_HUGE_MB", 40);
        const QString ini = path("huge.ini");
        QVERIFY(writeHuge(ini, "[com]\r\nvaleur=2\r\n[u_ana1]\r\nvaleur=mV", mb));
        const double before = residentMb();
        const files::Configuration c = files::readConfiguration(ini);
        QCOMPARE_LT(residentMb() - before, 16.0);
        QCOMPARE(c.com, QString());
        QCOMPARE(c.u_ana[0], QString());
        QString error;
        QVERIFY(!files::writeConfiguration(ini, c, &error));
        QVERIFY2(error.contains(QStringLiteral("dépasse 1 Mo")), qPrintable(error));
        QCOMPARE(QFileInfo(ini).size(),
                 qint64(mb) * (1 << 20) + qint64(strlen("[com]\r\nvaleur=2\r\n[u_ana1]\r\nvaleur=mV")));
        QFile::remove(ini);
    }

    void unwritableKeepsTheOldFiles()
    {
        put(path("keep.txt"), "old");
        const auto out = files::saveAcquisitions(dir.filePath(QStringLiteral("absent/essai.txt")), Tables());
        QCOMPARE(out.failures.size(), 2);
        QVERIFY(out.failures[0].contains(QStringLiteral("essai.txt")));
        QVERIFY(out.failures[1].contains(QStringLiteral("essai.txl")));
        QVERIFY(!files::openAcquisitions(dir.filePath(QStringLiteral("absent/essai.txt")), *smallTables()).opened);
        // A save that cannot finish (the logic name is a folder) leaves that file whole.
        QDir(dir.path()).mkpath(QStringLiteral("d.txl"));
        put(path("d.txt"), "old");
        const auto half = files::saveAcquisitions(path("d.txt"), *smallTables());
        QCOMPARE(half.failures.size(), 1);
        QVERIFY(bytesOf(path("d.txt")).startsWith(":::::::\r\n"));
        QCOMPARE(bytesOf(path("keep.txt")), QByteArray("old"));
    }

    void csv()
    {
        QLocale::setDefault(QLocale(QLocale::French));
        auto t = smallTables();
        t->tab_ana(1, 0) = Element::text(QStringLiteral("127,5"));
        t->tab_log[7] = Element::number(1);
        const QList<QByteArray> rows = files::csvBytes(*t).split('\n');
        QCOMPARE(rows.size(), 13);  // header, 11 slots, nothing after the last line end
        QVERIFY(rows[0].startsWith("horodatage,acquisition,voie1,voie1_V,voie2"));
        QCOMPARE(rows[1], QByteArray(",0,127.5,2.499,,,,,,,,,,,,,,,,,,,,,,1\r"));  // no time known
    }

    void profileFirstAndSecondWrite()
    {
        const QString ini = path("param.ini");
        QFile::remove(ini);
        files::Configuration c;
        c.com = QStringLiteral("3");
        c.heure1[0] = QStringLiteral("08:00:00");
        c.coeff[0] = QStringLiteral("0,5");
        QVERIFY(files::writeConfiguration(ini, c, nullptr));
        const files::Profile p = files::Profile::read(ini);
        const auto names = files::sectionNames();
        QCOMPARE(p.sections(), QStringList(names.begin(), names.end()));
        QCOMPARE(names[17], QStringLiteral("ana_j8"));
        QCOMPARE(names[37], QStringLiteral("nbre_acqui"));
        const QByteArray first = bytesOf(ini);
        QCOMPARE(first.count("valeur="), 38);
        QVERIFY(first.startsWith("[com]\r\nvaleur=3\r\n[heure0]\r\nvaleur=08:00:00\r\n[heure1]\r\nvaleur=\r\n"));

        c.u_ana[3] = QStringLiteral("mA");
        QVERIFY(files::writeConfiguration(ini, c, nullptr));
        QCOMPARE(bytesOf(ini), QByteArray(first).replace("[u_ana4]\r\nvaleur=\r\n", "[u_ana4]\r\nvaleur=mA\r\n"));
    }

    void profileReading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("com");
        QTest::addColumn<QString>("unit1");
        const auto row = [](const char *name, const QByteArray &file, const char *com, const QString &unit) {
            QTest::newRow(name) << file << QString::fromLatin1(com) << unit;
        };
        row("hand edited", "\r\n; mine\r\n[COM]\r\n  VALEUR =  2 \r\n\r\n[U_Ana1]\r\nvaleur=mV\r\n", "2", "mV");
        row("five letters", "[u_ana1]\nvaleur=Volts\n", "", "Volt");
        row("utf-8 kept whole", "[u_ana1]\nvaleur=\xf0\x9f\x8c\xa1\xf0\x9f\x8c\xa1xyz\n", "",
            QStringLiteral("🌡🌡xy"));
        row("binary", QByteArray("\x00\xff\xfe[\x01\n=\n", 8), "", "");
        row("long time", "[com]\nvaleur=123456789012345678901234567890\n", "123456789012345678901234", "");
    }
    void profileReading()
    {
        QFETCH(QByteArray, file);
        put(path("r.ini"), file);
        const files::Configuration c = files::readConfiguration(path("r.ini"));
        QTEST(c.com, "com");
        QTEST(c.u_ana[0], "unit1");
    }

    void settings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("comma");
        for (const auto &[text, point, comma] : {std::tuple("2.5", "2.5", "2,5"),
                                                 {"1.5x", "1.5", "1,5"},
                                                 {"abc", "0", "0"},
                                                 {"0,5", "0.5", "0,5"},
                                                 {"1e400", "0", "0"}})  // beyond a double
            QTest::newRow(text) << QString::fromLatin1(text) << QString::fromLatin1(point)
                                << QString::fromLatin1(comma);
    }
    void settings()
    {
        QFETCH(QString, text);
        QLocale::setDefault(QLocale::c());
        QTEST(files::coefficientSetting(text), "point");
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        QTEST(files::coefficientSetting(text), "comma");
    }

    void wholeSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");  // -99: kept out
        QTest::newRow("-1") << "-1" << -1;
        QTest::newRow("2.5 to even") << "2.5" << 2;
        QTest::newRow("3.5 to even") << "3.5" << 4;
        QTest::newRow("empty is 0") << "" << 0;
        QTest::newRow("below") << "-2" << -99;
        QTest::newRow("above") << "1001" << -99;
        QTest::newRow("beyond 16 bits") << "40000" << -99;
        QTest::newRow("leading number") << " 12abc" << 12;
    }
    void wholeSettings()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(files::wholeSetting(text, -1, 1000).value_or(-99), expected);
    }
};

QTEST_MAIN(TestFileTexts)
#include "test_file_texts.moc"
