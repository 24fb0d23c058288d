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
        const auto row = [](const char *name, const QByteArray &file, const char *section, const QString &read) {
            QTest::newRow(name) << file << QString::fromLatin1(section) << read;
        };
        row("double quotes", "[coeff1]\r\nvaleur=\"2.5\"\r\n", "coeff1", "2.5");
        row("single quotes", "[heure0]\r\nvaleur='08:00:00'\r\n", "heure0", "08:00:00");
        row("quotes go before the cut", "[u_ana2]\r\nvaleur=\"abcdefgh\"\r\n", "u_ana2", "abcd");
        row("quotes that do not match", "[u_ana1]\r\nvaleur=\"mV'\r\n", "u_ana1", "\"mV'");
        row("two pairs: one goes", "[u_ana1]\r\nvaleur=\"\"V\"\"\r\n", "u_ana1", "\"V\"");
        row("first of two sections", "[heure4]\r\nautre=1\r\n[heure4]\r\nvaleur=09:00:00\r\n", "heure4", "");
        row("first section wins", "[com]\nvaleur=4\n[COM]\nvaleur=1\n", "com", "4");
        row("first key wins", "[com]\nValeur=4\nvaleur=1\n", "com", "4");
        row("comments", "; valeur=5\r\n[com]\r\n; valeur=6\r\n# valeur=7\r\nvaleur=2\r\n", "com", "2");
        row("key before the first section", "valeur=7\r\n[x]\r\n", "com", "");
        row("windows-1252", "[u_ana1]\r\nvaleur=\xb0\x43\r\n", "u_ana1", QStringLiteral("°C"));
        for (const char *how : {"utf-16le", "utf-16be", "utf-8 mark"})
            row(how, encoded(QStringLiteral("; Notepad\r\n[u_ana1]\r\nvaleur=°C\r\n"), how), "u_ana1",
                QStringLiteral("°C"));
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
        const auto row = [](const char *name, const QByteArray &before, const QByteArray &after) {
            QTest::newRow(name) << before << after;
        };
        row("comments and top keys kept", "; mine\r\ntop=1\r\n[com]\r\n# note\r\nvaleur=2\r\n;end\r\n",
            "; mine\r\ntop=1\r\n[com]\r\n# note\r\nvaleur=3\r\n;end\r\n");
        row("first of two sections", "[com]\r\nvaleur=2\r\n[com]\r\nvaleur=4\r\n",
            "[com]\r\nvaleur=3\r\n[com]\r\nvaleur=4\r\n");
        row("first of two keys", "[com]\r\nvaleur=2\r\nvaleur=4\r\n", "[com]\r\nvaleur=3\r\nvaleur=4\r\n");
        row("lines that mean nothing", "garbage\r\n[com\r\n\x01\r\n[com]\r\nvaleur=2\r\n",
            "garbage\r\n[com\r\n\x01\r\n[com]\r\nvaleur=3\r\n");
        row("missing key after the section's last line", "[com]\r\nautre=1\r\n; x\r\n\r\n[x]\r\n",
            "[com]\r\nautre=1\r\n; x\r\nvaleur=3\r\n\r\n[x]\r\n");
        row("missing section at the end", "[x]\r\na=1", "[x]\r\na=1\r\n[com]\r\nvaleur=3\r\n");
        row("same value: the line as it was", "[com]\r\n  VALEUR = 3 \r\n", "[com]\r\n  VALEUR = 3 \r\n");
        row("key kept as written", "[Com]\r\n  Valeur = \"2\" \r\n", "[Com]\r\n  Valeur=3\r\n");
        row("line feeds only", "[com]\nvaleur=2\n\n[x]\n", "[com]\nvaleur=3\n\n[x]\n");
        row("windows-1252 becomes utf-8", "[u_ana1]\r\nvaleur=\xb0\x43\r\n[com]\r\nvaleur=2\r\n",
            "[u_ana1]\r\nvaleur=\xc2\xb0\x43\r\n[com]\r\nvaleur=3\r\n");
        for (const char *how : {"utf-16le", "utf-8 mark"})
            row(how, encoded(QStringLiteral("; é\r\n[u_ana1]\r\nvaleur=°C\r\n[com]\r\nvaleur=2\r\n"), how),
                encoded(QStringLiteral("; é\r\n[u_ana1]\r\nvaleur=°C\r\n[com]\r\nvaleur=3\r\n"), how));
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
    // does not write is still there (how they read back: reading_data).
    void savingOverAHandEditedFile()
    {
        const QByteArray mine(
            "; réglages du banc\r\nversion=2\r\n[com]\r\n; port du banc\r\nvaleur=2\r\nvaleur=9\r\n"
            "[heure4]\r\nvaleur=08:00:00\r\n[heure4]\r\nvaleur=10:00:00\r\n[coeff1]\r\n"
            "# deux fois plus\r\nvaleur=\"2.5\"\r\nn'importe quoi\r\n[autre programme]\r\nclé=valeur\r\n");
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
    }
};

QTEST_MAIN(TestProfile)
#include "test_profile.moc"
