// The bench file: every kind of fault named with its file, line and what is
// expected; the window's start-up values for what it lacks; param.ini's
// settings applied; paths relative to the file; and a save over a file
// that keeps every line it does not own.
#include "service/bench_file.h"

#include "support/file_bytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace service;

using panel::bytesOf;
using panel::put;

class TestBenchFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file(const QString &name) const { return dir.filePath(name); }

private slots:
    void cleanup() { qunsetenv("STATE_DIRECTORY"); }

    void faults_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("said");  // after « file »,
        const auto row = [](const char *name, const QByteArray &text, const QString &said) {
            QTest::newRow(name) << text << said;
        };
        const QString notAKey = QStringLiteral(" » n'est ni une section [nom] ni une ligne clé=valeur");
        const QString eight = QStringLiteral(" : huit valeurs 0 ou 1 séparées par des virgules attendues");
        row("not a key", "[banc]\nport /dev/ttyUSB0\n", "ligne 2 : « port /dev/ttyUSB0" + notAKey);
        row("section not closed", "\n[banc\n", "ligne 2 : « [banc" + notAKey);
        row("name", "[banc]\nnom=ma serre\n", "ligne 2 : nom=ma serre : un nom de lettres, chiffres, - et _ attendu");
        row("port", "[banc]\nport=COM5\n",
            "ligne 2 : port=COM5 : COM1 à COM4 ou le chemin d'un périphérique (/dev/…) attendu");
        row("switch", "[banc]\n; the switch\nmarche=oui ; on\n", "ligne 3 : marche=oui : 0 ou 1 attendu");
        row("seven boxes", "[relais]\nauto=1,0,0,0,0,0,0\n", "ligne 2 : auto=1,0,0,0,0,0,0" + eight);
        row("a box 2", "[relais]\nauto=1,0,0,2,0,0,0,0\n", "ligne 2 : auto=1,0,0,2,0,0,0,0" + eight);
        row("mode", "[analogique]\nmode=auto\n", "ligne 2 : mode=auto : manuel, cyclique ou programme attendu");
        row("interval", "[logique]\nintervalle=5\n",
            "ligne 2 : intervalle=5 : un intervalle en secondes parmi 3600, 1800, 600, 60, 30, 10, 2 attendu");
        row("memorisation", "[logique]\nmemorisation=\n", "ligne 2 : memorisation= : 0 ou 1 attendu");
        row("twice", "[banc]\nmarche=1\n[relais]\n[BANC]\nMarche=0\n",
            "ligne 5 : marche est déjà donné ligne 2 ([banc])");
        row("no param.ini", "[banc]\nparametres=absent.ini\n",
            QStringLiteral(
                "ligne 2 : parametres=absent.ini : « %1 » ne peut être lu (fichier ou dossier introuvable) ; "
                "un fichier param.ini lisible attendu")
                .arg(file(QStringLiteral("absent.ini"))));
        row("param.ini a folder", "[banc]\nparametres=.\n", "ligne 2 : parametres=. : « ");  // then the folder
    }
    void faults()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, said);
        const QString path = file(QStringLiteral("faulty.ini"));
        put(path, text);
        const BenchFile f = readBenchFile(path);
        QCOMPARE(f.errors.size(), 1);
        QVERIFY2(f.errors[0].startsWith(QStringLiteral("« %1 », %2").arg(path, said)), qPrintable(f.errors[0]));
    }

    // A missing file or a folder is said; nothing is saved over a folder.
    void unreadableAndFolders()
    {
        QCOMPARE(readBenchFile(file(QStringLiteral("none.ini"))).errors,
                 QStringList{
                     QStringLiteral("« %1 » ne peut être lu : fichier ou dossier introuvable").arg(file("none.ini"))});
        const BenchFile folder = readBenchFile(dir.path());
        QCOMPARE(folder.errors.size(), 1);
        QVERIFY2(folder.errors[0].contains(u"dossier"), qPrintable(folder.errors[0]));
        QString error;
        QVERIFY(!writeBenchFile(dir.path(), BenchSettings{}, &error));
        QVERIFY2(error.contains(u"dossier"), qPrintable(error));
    }

    // Nothing given: what the window starts with (switch off, no "Auto",
    // manual acquisitions, the first interval, no memorisation, no journal).
    void startUpValues()
    {
        qputenv("PRAMELOR_COM1", "/dev/ttyFAKE");
        const QString path = file(QStringLiteral("serre-2.ini"));
        put(path, "; nothing but a comment\n");
        const BenchFile f = readBenchFile(path);
        qunsetenv("PRAMELOR_COM1");
        QVERIFY2(f.ok(), qPrintable(f.errors.join(u'\n')));
        QCOMPARE(f.settings.name, QStringLiteral("serre-2"));
        QCOMPARE(f.device, QStringLiteral("/dev/ttyFAKE"));
        QCOMPARE(f.settings.marche, false);
        QCOMPARE(f.settings.automatic, (std::array<bool, 8>{}));
        QCOMPARE(f.settings.analog, FrameSettings{});
        QCOMPARE(f.settings.logic.interval, 3600);
        QVERIFY(f.journalPath.isEmpty() && f.parametersPath.isEmpty());
        for (const auto &row : f.timetable()) QVERIFY(row.start.isEmpty() && row.end.isEmpty() && !row.automatic);
    }

    // Every key read, comments after values, param.ini's times and port
    // (COM2) applied, paths relative to the file, the journal under the
    // service's state folder.
    void everyKey()
    {
        QDir(dir.path()).mkpath(QStringLiteral("banc"));
        put(file(QStringLiteral("banc/param.ini")),
            "[com]\r\nvaleur=2\r\n[heure0]\r\nvaleur=08:00:00\r\n[heure20]\r\nvaleur=09:30:00\r\n");
        const QString path = file(QStringLiteral("banc/serre.ini"));
        put(path, "\xEF\xBB\xBF[banc]\nnom = serre   ; its name\nparametres=param.ini\nmarche=1\n"
                  "[relais]\nauto=1, 0,0,0,0,0,0,1\n[analogique]\nmode=Cyclique\nintervalle=2\nmemorisation=1\n"
                  "[logique]\nmode=programme\n[journal]\nfichier=journal.csv # relative\n");
        qputenv("PRAMELOR_COM2", "/dev/ttyCOM2");
        qputenv("STATE_DIRECTORY", dir.filePath(QStringLiteral("state")).toUtf8());
        const BenchFile f = readBenchFile(path);
        qunsetenv("PRAMELOR_COM2");
        QVERIFY2(f.ok(), qPrintable(f.errors.join(u'\n')));
        QCOMPARE(f.settings.name, QStringLiteral("serre"));
        QCOMPARE(f.device, QStringLiteral("/dev/ttyCOM2"));
        QCOMPARE(f.parametersPath, file(QStringLiteral("banc/param.ini")));
        QCOMPARE(f.journalPath, dir.filePath(QStringLiteral("state/journal.csv")));
        QVERIFY(f.settings.marche);
        QCOMPARE(f.settings.analog, (FrameSettings{AcquisitionMode::Cyclic, 2, true}));
        QCOMPARE(f.settings.logic, (FrameSettings{AcquisitionMode::Programmed, 3600, false}));
        const auto rows = f.timetable();
        QCOMPARE(rows[0].start, QStringLiteral("08:00:00"));
        QCOMPARE(rows[0].end, QStringLiteral("09:30:00"));
        QVERIFY(rows[0].automatic && !rows[1].automatic && rows[7].automatic);
    }

    void devicePath()
    {
        const QString path = file(QStringLiteral("usb.ini"));
        put(path, "[banc]\nport=/dev/serial/by-id/usb-FTDI\n");
        QCOMPARE(readBenchFile(path).device, QStringLiteral("/dev/serial/by-id/usb-FTDI"));
    }

    // Saving over a file someone edited: their comments, unknown keys and
    // sections stay byte for byte; the settings read back as written.
    void saveKeepsTheRest_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray()
                                  << QByteArray("[banc]\nnom=serre\nport=/dev/ttyUSB0\nparametres=param.ini\nmarche=1\n"
                                                "[relais]\nauto=1,0,0,0,0,0,0,0\n[analogique]\nmode=cyclique\n"
                                                "intervalle=2\nmemorisation=1\n[logique]\nmode=manuel\n"
                                                "intervalle=3600\nmemorisation=0\n[journal]\nfichier=journal.csv\n");
        QTest::newRow("edited by hand")
            << QByteArray("# my bench\r\n[banc]\r\nnom=old ; keep me\r\ncouleur=verte\r\n\r\n[mqtt]\r\nhote=x\r\n"
                          "[logique]\r\nmode=programme\r\n[journal]\r\nfichier=  ; none yet")
            << QByteArray("# my bench\r\n[banc]\r\nnom=serre ; keep me\r\ncouleur=verte\r\nport=/dev/ttyUSB0\r\n"
                          "parametres=param.ini\r\nmarche=1\r\n\r\n[mqtt]\r\nhote=x\r\n[logique]\r\nmode=manuel\r\n"
                          "intervalle=3600\r\nmemorisation=0\r\n[journal]\r\nfichier=journal.csv  ; none yet\r\n"
                          "[relais]\r\nauto=1,0,0,0,0,0,0,0\r\n[analogique]\r\nmode=cyclique\r\nintervalle=2\r\n"
                          "memorisation=1\r\n");
    }
    void saveKeepsTheRest()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        BenchSettings s;
        s.name = QStringLiteral("serre");
        s.port = QStringLiteral("/dev/ttyUSB0");
        s.parameters = QStringLiteral("param.ini");
        s.marche = true;
        s.automatic[0] = true;
        s.analog = {AcquisitionMode::Cyclic, 2, true};
        s.journal = QStringLiteral("journal.csv");
        const QString path = file(QStringLiteral("saved.ini"));
        QFile::remove(path);
        if (!before.isEmpty()) put(path, before);
        QString error;
        QVERIFY2(writeBenchFile(path, s, &error), qPrintable(error));
        QCOMPARE(bytesOf(path), after);
        QStringList errors;
        QCOMPARE(parseBenchText(QString::fromUtf8(after), path, &errors), s);
        QCOMPARE(errors, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBenchFile)
#include "test_bench_file.moc"
