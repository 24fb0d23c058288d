// "param.ini" as the Windows profile functions read and write it: quotes,
// comments, repeated sections and keys, lines kept on saving, and files
// saved by Notepad in UTF-16 or with a UTF-8 mark.
#include "files/configuration.h"
#include "files/profile.h"

#include "support/file_bytes.h"

#include <QFile>
#include <QLocale>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

using panel::bytesOf;
using panel::put;

// The text in one of the encodings Notepad saves, with its mark.
QByteArray encoded(const QString &text, const char *how)
{
    const QByteArray h(how);
    if (h == "utf-16le") return QByteArray("\xFF\xFE") + QStringEncoder(QStringConverter::Utf16LE)(text);
    if (h == "utf-16be") return QByteArray("\xFE\xFF") + QStringEncoder(QStringConverter::Utf16BE)(text);
    if (h == "utf-8 mark") return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}

// Which setting a row reads, by its section.
QString settingOf(const files::Configuration &c, const QString &section)
{
    if (section == u"com") return c.com;
    if (section == u"heure0") return c.heure1[0];
    if (section == u"heure4") return c.heure1[4];
    if (section == u"u_ana1") return c.u_ana[0];
    if (section == u"u_ana2") return c.u_ana[1];
    if (section == u"coeff1") return c.coeff[0];
    if (section == u"nbre_acqui") return c.nbre_acqui;
    return QStringLiteral("<no such setting>");
}

}  // namespace

class TestProfile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString ini() const { return dir.filePath(QStringLiteral("param.ini")); }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // What start-up reads from a file, cut to the setting's read limit.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("read");
        QTest::newRow("double quotes") << QByteArray("[coeff1]\r\nvaleur=\"2.5\"\r\n") << "coeff1"
                                       << "2.5";
        QTest::newRow("single quotes") << QByteArray("[heure0]\r\nvaleur='08:00:00'\r\n") << "heure0"
                                       << "08:00:00";
        QTest::newRow("quotes go before the cut") << QByteArray("[u_ana2]\r\nvaleur=\"abcdefgh\"\r\n") << "u_ana2"
                                                  << "abcd";
        QTest::newRow("quotes that do not match") << QByteArray("[u_ana1]\r\nvaleur=\"mV'\r\n") << "u_ana1"
                                                  << "\"mV'";
        QTest::newRow("two pairs: one goes") << QByteArray("[u_ana1]\r\nvaleur=\"\"V\"\"\r\n") << "u_ana1"
                                             << "\"V\"";
        QTest::newRow("first of two sections")
            << QByteArray("[heure4]\r\nautre=1\r\n[heure4]\r\nvaleur=09:00:00\r\n") << "heure4"
            << "";
        QTest::newRow("first section wins") << QByteArray("[com]\nvaleur=4\n[COM]\nvaleur=1\n") << "com"
                                            << "4";
        QTest::newRow("first key wins") << QByteArray("[com]\nValeur=4\nvaleur=1\n") << "com"
                                        << "4";
        QTest::newRow("comments") << QByteArray("; valeur=5\r\n[com]\r\n; valeur=6\r\n# valeur=7\r\nvaleur=2\r\n")
                                  << "com"
                                  << "2";
        QTest::newRow("key before the first section") << QByteArray("valeur=7\r\n[x]\r\n") << "com"
                                                      << "";
        QTest::newRow("letter case") << QByteArray("[U_ANA1]\r\nVALEUR=mA\r\n") << "u_ana1"
                                     << "mA";
        QTest::newRow("windows-1252") << QByteArray("[u_ana1]\r\nvaleur=\xb0"
                                                    "C\r\n")
                                      << "u_ana1"
                                      << "°C";
        for (const char *how : {"utf-16le", "utf-16be", "utf-8 mark"}) {
            const QString text = QStringLiteral("; Notepad\r\n[u_ana1]\r\nvaleur=°C\r\n[coeff1]\r\nvaleur=2.5\r\n");
            QTest::addRow("%s", how) << encoded(text, how) << "u_ana1"
                                     << "°C";
        }
    }
    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        put(ini(), file);
        QTEST(settingOf(files::readConfiguration(ini()), section), "read");
    }

    // The numbers of a quoted or UTF-16 file reach the controls under both
    // regional habits.
    void numbers_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("coefficient");
        const QString text = QStringLiteral("[com]\r\nvaleur=\"3\"\r\n[coeff1]\r\nvaleur=\"2.5\"\r\n[nbre_acqui]\r\n"
                                            "valeur='250'\r\n");
        for (const char *how : {"plain", "utf-16le"}) {
            QTest::addRow("point %s", how) << QLocale::c() << encoded(text, how) << "2.5";
            QTest::addRow("comma %s", how) << QLocale(QLocale::French, QLocale::France) << encoded(text, how) << "2,5";
        }
    }
    void numbers()
    {
        QFETCH(QLocale, locale);
        QFETCH(QByteArray, file);
        QLocale::setDefault(locale);
        put(ini(), file);
        const files::Configuration c = files::readConfiguration(ini());
        QTEST(files::coefficientSetting(c.coeff[0]), "coefficient");
        QCOMPARE(files::wholeSetting(c.com, 1, 255).value_or(-1), 3);
        QCOMPARE(files::wholeSetting(c.nbre_acqui, 10, 1000).value_or(-1), 250);
    }

    // Storing "com" = 3 into a file: only that value changes.
    void writing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("comments and top keys kept")
            << QByteArray("; mine\r\ntop=1\r\n[com]\r\n# note\r\nvaleur=2\r\n;end\r\n")
            << QByteArray("; mine\r\ntop=1\r\n[com]\r\n# note\r\nvaleur=3\r\n;end\r\n");
        QTest::newRow("first of two sections") << QByteArray("[com]\r\nvaleur=2\r\n[com]\r\nvaleur=4\r\n")
                                               << QByteArray("[com]\r\nvaleur=3\r\n[com]\r\nvaleur=4\r\n");
        QTest::newRow("first of two keys")
            << QByteArray("[com]\r\nvaleur=2\r\nvaleur=4\r\n") << QByteArray("[com]\r\nvaleur=3\r\nvaleur=4\r\n");
        QTest::newRow("lines that mean nothing") << QByteArray("garbage\r\n[com\r\n\x01\r\n[com]\r\nvaleur=2\r\n")
                                                 << QByteArray("garbage\r\n[com\r\n\x01\r\n[com]\r\nvaleur=3\r\n");
        QTest::newRow("missing key after the section's last line")
            << QByteArray("[com]\r\nautre=1\r\n; about x\r\n\r\n[x]\r\na=1\r\n")
            << QByteArray("[com]\r\nautre=1\r\n; about x\r\nvaleur=3\r\n\r\n[x]\r\na=1\r\n");
        QTest::newRow("missing section at the end") << QByteArray("[x]\r\na=1")
                                                    << QByteArray("[x]\r\na=1\r\n[com]\r\n"
                                                                  "valeur=3\r\n");
        QTest::newRow("same value: the line as it was")
            << QByteArray("[com]\r\n  VALEUR = 3 \r\n") << QByteArray("[com]\r\n  VALEUR = 3 \r\n");
        QTest::newRow("key kept as written")
            << QByteArray("[Com]\r\n  Valeur = \"2\" \r\n") << QByteArray("[Com]\r\n  Valeur=3\r\n");
        QTest::newRow("line feeds only") << QByteArray("[com]\nvaleur=2\n\n[x]\n")
                                         << QByteArray("[com]\nvaleur=3\n\n[x]\n");
        QTest::newRow("windows-1252 becomes utf-8") << QByteArray("[u_ana1]\r\nvaleur=\xb0"
                                                                  "C\r\n[com]\r\nvaleur=2\r\n")
                                                    << QByteArray("[u_ana1]\r\nvaleur=\xc2\xb0"
                                                                  "C\r\n[com]\r\nvaleur=3\r\n");
        for (const char *how : {"utf-16le", "utf-8 mark"})
            QTest::addRow("%s stays %s", how, how)
                << encoded(QStringLiteral("; é\r\n[u_ana1]\r\nvaleur=°C\r\n[com]\r\nvaleur=2\r\n"), how)
                << encoded(QStringLiteral("; é\r\n[u_ana1]\r\nvaleur=°C\r\n[com]\r\nvaleur=3\r\n"), how);
    }
    void writing()
    {
        QFETCH(QByteArray, before);
        put(ini(), before);
        files::Profile p = files::Profile::read(ini());
        p.setValue(QStringLiteral("com"), QStringLiteral("valeur"), QStringLiteral("3"));
        QVERIFY(p.write(ini(), nullptr));
        QTEST(bytesOf(ini()), "after");
        QCOMPARE(files::Profile::read(ini()).value(QStringLiteral("com"), QStringLiteral("valeur")),
                 QStringLiteral("3"));
    }

    // "Enregistrer la configuration" over a hand-edited file: every line it
    // does not write is still there, the values it writes read back.
    void savingOverAHandEditedFile()
    {
        const QByteArray mine("; réglages du banc\r\n"
                              "version=2\r\n"
                              "[com]\r\n"
                              "; port du banc\r\n"
                              "valeur=2\r\n"
                              "valeur=9\r\n"
                              "[heure4]\r\n"
                              "valeur=08:00:00\r\n"
                              "[heure4]\r\n"
                              "valeur=10:00:00\r\n"
                              "[coeff1]\r\n"
                              "# deux fois plus\r\n"
                              "valeur=\"2.5\"\r\n"
                              "n'importe quoi\r\n"
                              "[autre programme]\r\n"
                              "clé=valeur\r\n");
        put(ini(), mine);
        files::Configuration c = files::readConfiguration(ini());
        QCOMPARE(c.coeff[0], QStringLiteral("2.5"));
        QCOMPARE(c.heure1[4], QStringLiteral("08:00:00"));
        c.heure1[4] = QStringLiteral("07:30:00");
        QVERIFY(files::writeConfiguration(ini(), c, nullptr));
        const QByteArray saved = bytesOf(ini());
        for (const QByteArray &line : mine.split('\n')) {
            if (line.isEmpty() || line == "valeur=08:00:00\r" || line == "valeur=\"2.5\"\r") continue;
            QVERIFY2(saved.contains(line + '\n'), line.constData());
        }
        QVERIFY(saved.contains("[heure4]\r\nvaleur=07:30:00\r\n[heure4]\r\nvaleur=10:00:00\r\n"));
        QVERIFY(saved.contains("[coeff1]\r\n# deux fois plus\r\nvaleur=2.5\r\n"));
        QCOMPARE(saved.count("[com]"), 1);
        QCOMPARE(saved.count("valeur="), 5 + 35);  // five were there; com, heure4 and coeff1 among the 38
        const files::Configuration back = files::readConfiguration(ini());
        QCOMPARE(back.heure1[4], QStringLiteral("07:30:00"));
        QCOMPARE(back.com, QStringLiteral("2"));
        QCOMPARE(back.coeff[0], QStringLiteral("2.5"));
    }
};

QTEST_MAIN(TestProfile)
#include "test_profile.moc"
