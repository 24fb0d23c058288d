// The files as a person uses them from the window: the configuration saved
// and found again at the next start, the acquisition files through the file
// dialog, the exports and the screen print.
#include "files/configuration.h"
#include "files/read_progress_widget.h"
#include "link/serial_component.h"
#include "shell/form1.h"
#include "support/both_locales.h"
#include "support/file_faults.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <memory>
#include <sys/stat.h>

class TestFilesWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Form1> form;
    QString chosen;  // what the file dialog answers; empty = cancel

    std::unique_ptr<Form1> start()
    {
        Form1::Setup s;
        s.programDir = dir->path();
        s.documentsDir = dir->filePath(QStringLiteral("Documents"));
        s.quitApplication = false;
        s.askPath = [this](bool, const QString &) { return chosen; };
        return std::make_unique<Form1>(s);
    }
    template <typename T = QWidget>
    T *find(const QString &name) const
    {
        auto *w = form->findChild<T *>(name);
        if (!w) qWarning("no control %s", qPrintable(name));
        return w;
    }
    QString text(const QString &name) const { return find<QLineEdit>(name)->text(); }
    void writeIni(const QByteArray &bytes) { QVERIFY(panel::put(dir->filePath(QStringLiteral("param.ini")), bytes)); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        form = start();
    }
    void cleanup()
    {
        form.reset();
        dir.reset();
        QLocale::setDefault(QLocale::c());
    }

    void configurationComesBack_data() { panel::addLocaleRows(); }
    void configurationComesBack()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const QString half = french ? QStringLiteral("0,5") : QStringLiteral("0.5");
        form.reset();
        form = start();
        form->MSComm1().setPortNumber(3);
        // Each box: what is typed, what comes back at the next start.
        const std::vector<std::tuple<const char *, QString, QString>> boxes{
            {"heure1_0", "08:00:00", "08:00:00"},
            {"heure1_1", "", ""},
            {"heure2_7", "23:59:59", "23:59:59"},
            {"u_ana1", "mV", "mV"},
            {"u_ana2", "Volts", "Volt"},  // four characters come back
            {"u_ana3", "°C", "°C"},
            {"u_ana4", "V", "V"},
            {"coeff_a1", half, half},
            {"coeff_a2", "2.5x", QLocale().toString(2.5)},
            {"coeff_a3", "abc", "0"},
            {"coeff_a4", "1", "1"},
            {"Text3", "12:30:00", "12:30:00"},
            {"Text2", "06:00:00", "06:00:00"}};
        for (const auto &[name, typed, back] : boxes) find<QLineEdit>(QString::fromLatin1(name))->setText(typed);
        find<QComboBox>(QStringLiteral("Combo3"))->setCurrentIndex(8);
        find<QComboBox>(QStringLiteral("Combo2"))->setCurrentIndex(-1);
        find<QScrollBar>(QStringLiteral("HScroll1"))->setValue(250);
        form->n_enr_param_Click();
        QVERIFY2(form->statusText().contains(QStringLiteral("param.ini")), qPrintable(form->statusText()));

        form.reset();
        form = start();
        QCOMPARE(form->MSComm1().portNumber(), 3);
        for (const auto &[name, typed, back] : boxes) QCOMPARE(text(QString::fromLatin1(name)), back);
        QCOMPARE(find<QComboBox>(QStringLiteral("Combo3"))->currentIndex(), 8);
        QCOMPARE(find<QComboBox>(QStringLiteral("Combo2"))->currentIndex(), -1);
        QCOMPARE(find<QScrollBar>(QStringLiteral("HScroll1"))->value(), 250);
        QCOMPARE(find<QLabel>(QStringLiteral("Label61"))->text(), QStringLiteral("250"));
        QCOMPARE(form->tables().nbre_acqui, 250);
    }

    void firstStartKeepsTheStartingValues()
    {
        QCOMPARE(find<QComboBox>(QStringLiteral("Combo3"))->currentIndex(), 1);
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("param.ini"))));  // reading never creates it
    }

    // Values the controls cannot take leave them as they start.
    void valuesOutOfReach_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("day3");
        QTest::addColumn<int>("day2");
        const auto row = [](const char *name, const QByteArray &ini, int port, int count, int day3, int day2) {
            QTest::newRow(name) << ini << port << count << day3 << day2;
        };
        // A day list missing from the file keeps its starting entry.
        row("zeros", "[com]\r\nvaleur=0\r\n[nbre_acqui]\r\nvaleur=0\r\n", 1, 100, 1, 1);
        row("beyond 16 bits", "[com]\nvaleur=70000\n[nbre_acqui]\nvaleur=99999\n[ana_j8]\nvaleur=40000\n", 1, 100, 1,
            1);
        row("outside the lists", "[ana_j8]\nvaleur=10\n[log_j8]\nvaleur=-2\n[nbre_acqui]\nvaleur=1001\n", 1, 100, 1, 1);
        row("hand edited", "\r\n[COM]\r\n  Valeur = 2 \r\n\r\n[Nbre_Acqui]\r\nVALEUR=10\r\n[LOG_J8]\r\nvaleur=8\r\n", 2,
            10, 1, 8);
        row("last positions", "[ana_j8]\nvaleur=9.4\n[log_j8]\nvaleur=8\n[nbre_acqui]\nvaleur=1000\n", 1, 1000, 9, 8);
        row("no digit 8", "[ana_j]\nvaleur=5\n[log_j]\nvaleur=5\n", 1, 100, 1, 1);
        row("binary", QByteArray("\x00\xff[com\x01]\n\xfe=\x00\x00", 14), 1, 100, 1, 1);
        row("day lists there but empty", "[ana_j8]\nvaleur=\n[log_j8]\nvaleur=\n", 1, 100, 0, 0);
    }
    void valuesOutOfReach()
    {
        QFETCH(QByteArray, ini);
        writeIni(ini);
        form.reset();
        form = start();
        QTEST(form->MSComm1().portNumber(), "port");
        QTEST(form->tables().nbre_acqui, "count");
        QTEST(find<QComboBox>(QStringLiteral("Combo3"))->currentIndex(), "day3");
        QTEST(find<QComboBox>(QStringLiteral("Combo2"))->currentIndex(), "day2");
        QCOMPARE(find<QLabel>(QStringLiteral("Label61"))->text(), QString::number(form->tables().nbre_acqui));
    }

    // The panel writes all 38 settings: a file made by hand may lack some.
    // Those keep their starting values (no coefficient 0, no empty unit) and
    // the status line says how many were missing. A file beyond 1 MB is not
    // read at all.
    void missingSettings_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("coeff1");
        QTest::addColumn<QString>("coeff3");
        QTest::addColumn<QString>("unit3");
        QTest::addColumn<QString>("status");
        QByteArray all, allButCoeff3;
        for (const QString &name : files::sectionNames()) {
            const QByteArray value = name.startsWith(u"coeff") ? "2" : name.startsWith(u"u_ana") ? "mV" : "5";
            const QByteArray section = '[' + name.toLatin1() + "]\r\nvaleur=" + value + "\r\n";
            all += section;
            if (name != u"coeff3") allButCoeff3 += section;
        }
        const auto row = [](const char *name, const QByteArray &ini, const char *coeff1, const char *coeff3,
                            const char *unit3, const QString &status) {
            QTest::newRow(name) << ini << QString::fromLatin1(coeff1) << QString::fromLatin1(coeff3)
                                << QString::fromLatin1(unit3) << status;
        };
        const QString ini = QStringLiteral("« %1/param.ini »");
        const QString many = ini + " : il manque %2 réglages sur 38 ; ils gardent leur valeur de départ";
        const QString coeff3 = ini + " : il manque le réglage coeff3 sur 38 ; il garde sa valeur de départ";
        row("every setting", all, "2", "2", "mV", QString());
        row("only the number of acquisitions", "[nbre_acqui]\nvaleur=50\n", "1", "1", "V", many.arg("%1", "37"));
        row("one section taken out", allButCoeff3, "2", "1", "mV", coeff3);
        row("a section without its key", QByteArray(all).replace("[coeff3]\r\nvaleur=2", "[coeff3]\r\nvalue=2"), "2",
            "1", "mV", coeff3);
        row("empty file", QByteArray(), "1", "1", "V", many.arg("%1", "38"));
        row("beyond 1 MB", QByteArray("[coeff1]\nvaleur=7777\n").append(QByteArray(1 << 20, ';')), "1", "1", "V",
            ini + " dépasse 1 Mo : ce n'est pas un fichier de réglages, il n'est pas lu ; réglages de départ gardés");
    }
    void missingSettings()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, status);
        writeIni(ini);
        form.reset();
        form = start();
        QTEST(text(QStringLiteral("coeff_a1")), "coeff1");
        QTEST(text(QStringLiteral("coeff_a3")), "coeff3");
        QTEST(text(QStringLiteral("u_ana3")), "unit3");
        const QString said = form->statusText();
        if (status.isEmpty())
            QVERIFY2(!said.contains(u"param.ini"), qPrintable(said));
        else
            QCOMPARE(said, status.arg(QDir::toNativeSeparators(dir->path())));
    }

    void acquisitionsSaveAndOpen()
    {
        find<QPushButton>(QStringLiteral("Command23"))->click();  // "Aléatoire"
        const auto copy = std::make_unique<Tables>(form->tables());
        const Tables &saved = *copy;
        chosen = dir->filePath(QStringLiteral("essai.txt"));
        form->n_enregistrer_Click();
        QVERIFY(QFile::exists(chosen));
        QVERIFY(QFile::exists(dir->filePath(QStringLiteral("essai.txl"))));
        QVERIFY2(form->statusText().contains(QStringLiteral("essai.txl")), qPrintable(form->statusText()));

        find<QPushButton>(QStringLiteral("Command3"))->click();  // "RAZ tableaux"
        const int before = form->num_tableau;
        form->n_ouvrir_Click();
        QCOMPARE(form->num_tableau, (before + 1) % 9);  // the listing moved on one table
        for (int k = 1; k <= 8; ++k)
            for (int a = 0; a <= saved.nbre_acqui; ++a)
                QCOMPARE(form->tables().tab_ana(k, a).toNumber(), saved.tab_ana(k, a).toNumber());
        for (int j = 0; j < 8 * (saved.nbre_acqui + 1); ++j)
            QCOMPARE(form->tables().tab_log[size_t(j)].toNumber(), saved.tab_log[size_t(j)].toNumber());
    }

    void cancelChangesNothing()
    {
        chosen.clear();
        const QString status = form->statusText();
        form->n_enregistrer_Click();
        form->n_ouvrir_Click();
        form->n_export_csv_Click();
        form->n_export_png_Click();
        QCOMPARE(form->statusText(), status);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());
    }

    void exports()
    {
        find<QPushButton>(QStringLiteral("Command23"))->click();
        chosen = dir->filePath(QStringLiteral("mesures.csv"));
        form->n_export_csv_Click();
        QFile csv(chosen);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), form->tables().nbre_acqui + 2);  // header and one row a slot

        chosen = dir->filePath(QStringLiteral("graphique.png"));
        form->n_export_png_Click();
        const QImage png(chosen);
        QVERIFY(!png.isNull());
        QVERIFY(png.width() > 500);
    }

    // A full disk (a child process whose files may not grow): every save says
    // so in French, and what was saved before stays byte for byte.
    void fullDiskIsSaid_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("name");  // the file the dialog answers
        for (const auto &[title, entry, name] : {std::tuple("Enregistrer graphique", "n_enregistrer", "old.txt"),
                                                 {"Enregistrer la configuration", "n_enr_param", "param.ini"},
                                                 {"Exporter en CSV", "n_export_csv", "old.csv"},
                                                 {"Exporter le graphique", "n_export_png", "old.png"}})
            QTest::newRow(title) << QString::fromLatin1(entry) << QString::fromLatin1(name);
    }
    void fullDiskIsSaid()
    {
        QFETCH(QString, entry);
        QFETCH(QString, name);
        chosen = dir->filePath(name);
        const QByteArray old(429, 'o');
        QVERIFY(panel::put(chosen, old));
        QVERIFY(panel::put(dir->filePath(QStringLiteral("old.txl")), old));
        form.reset();
        form = start();
        form->show();
        find<QPushButton>(QStringLiteral("Command23"))->click();  // "Aléatoire": something to save
        const panel::ChildResult r = panel::withFileSizeLimit(100, [&](QString &said) {
            form->findChild<QAction *>(entry)->trigger();
            said = form->statusText();
            return true;
        });
        QVERIFY(r.exited);
        QVERIFY2(r.message.contains(QStringLiteral("Impossible d'écrire « %1 » : fichier trop grand")
                                        .arg(QDir::toNativeSeparators(chosen))),
                 qPrintable(r.message));
        QCOMPARE(panel::bytesOf(chosen), old);
        QCOMPARE(panel::bytesOf(dir->filePath(QStringLiteral("old.txl"))), old);
    }

    void fullDiskPrintLeavesNoHalfPdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed on this machine");
        form->show();
        const QString documents = dir->filePath(QStringLiteral("Documents"));
        QDir().mkpath(documents);
        const panel::ChildResult r = panel::withFileSizeLimit(100, [&](QString &said) {
            form->n_imprime_Click();
            said = form->statusText();
            return true;
        });
        QVERIFY2(r.message.startsWith(QStringLiteral("Aucune imprimante ; Impossible d'écrire « %1")
                                          .arg(QDir::toNativeSeparators(documents))),
                 qPrintable(r.message));
        QVERIFY2(r.message.contains(QStringLiteral("fichier trop grand")), qPrintable(r.message));
        QCOMPARE(QDir(documents).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // A "param.ini" that is there but cannot be read counts as none: the
    // controls keep their starting values and the status line says why.
    void unreadableConfiguration_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no permission") << QStringLiteral("private") << QStringLiteral("accès refusé");
        QTest::newRow("a folder") << QStringLiteral("folder") << QStringLiteral("c'est un dossier");
        QTest::newRow("a named pipe") << QStringLiteral("fifo")
                                      << QStringLiteral("c'est un tube nommé, pas un fichier");
    }
    void unreadableConfiguration()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString ini = dir->filePath(QStringLiteral("param.ini"));
        if (kind == u"private") {
            if (!panel::AsNobody::possible()) QSKIP("cannot take another user's identity here");
            writeIni("[com]\r\nvaleur=3\r\n[coeff1]\r\nvaleur=2\r\n");
            QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QFile::setPermissions(dir->path(), QFileDevice::Permissions(0x7755));
        } else if (kind == u"folder") {
            QDir().mkpath(ini);
        } else {
            QCOMPARE(mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
        }
        form.reset();
        {
            std::unique_ptr<panel::AsNobody> nobody(kind == u"private" ? new panel::AsNobody : nullptr);
            form = start();
        }
        QCOMPARE(form->statusText(), QStringLiteral("« %1 » ne peut être lu (%2) : réglages de départ gardés")
                                         .arg(QDir::toNativeSeparators(ini), reason));
        QCOMPARE(text(QStringLiteral("coeff_a1")), QStringLiteral("1"));
        QCOMPARE(text(QStringLiteral("u_ana1")), QStringLiteral("V"));
        QCOMPARE(form->MSComm1().portNumber(), 1);
        QCOMPARE(form->tables().nbre_acqui, 100);
    }

    // "Ouvrir graphique" reads regular files only: a named pipe is refused
    // at once (the other kinds: test_file_texts, onlyRegularFilesAreRead).
    void openRefusesWhatIsNoFile()
    {
        chosen = dir->filePath(QStringLiteral("tube.txt"));
        QCOMPARE(mkfifo(QFile::encodeName(chosen).constData(), 0600), 0);
        const QString before = form->listingText();
        QElapsedTimer clock;
        clock.start();
        form->findChild<QAction *>(QStringLiteral("n_ouvrir"))->trigger();
        QCOMPARE_LT(clock.elapsed(), 5000);
        QCOMPARE(form->statusText(), QStringLiteral("Impossible d'ouvrir « %1 » : c'est un tube nommé, pas un fichier")
                                         .arg(QDir::toNativeSeparators(chosen)));
        QCOMPARE(form->listingText(), before);
    }

    // A read that lasts shows its progress in French and can be given up;
    // given up, it changes nothing. Meanwhile a second open is refused.
    void longReadShowsProgress()
    {
        chosen = dir->filePath(QStringLiteral("long.txt"));
        QByteArray lines;
        for (int n = 0; n < 200000; ++n) lines += "7:7:7:7:7:7:7:7\r\n";
        QVERIFY(panel::put(chosen, lines));
        std::atomic<bool> release{false};
        files::WaitOptions options;
        options.progressAfterMs = 0;
        options.eachPiece = [&] {
            while (!release.load()) QThread::msleep(2);
        };
        QString buttonText, title, busy;
        bool shown = false;
        QTimer::singleShot(200, form.get(), [&] {
            if (auto *progress = form->findChild<QProgressDialog *>(QStringLiteral("lectureEnCours"))) {
                shown = progress->isVisible();
                title = progress->windowTitle();
                if (auto *cancel = progress->findChild<QPushButton *>()) {
                    buttonText = cancel->text();
                    busy = files::readAcquisitionsWaiting(form.get(), chosen).message;
                    cancel->click();
                }
            }
            release = true;  // whatever was found, the read goes on
        });
        const files::AcquisitionRead read = files::readAcquisitionsWaiting(form.get(), chosen, options);
        release = true;
        QVERIFY(shown);
        QCOMPARE(title, QStringLiteral("Ouvrir graphique"));
        QCOMPARE(buttonText, QStringLiteral("Annuler"));
        QCOMPARE(busy, QStringLiteral("Une lecture de fichier est déjà en cours : attendez qu'elle se termine"));
        QVERIFY(read.cancelled);
        QVERIFY(read.analog.empty());
        QVERIFY(form->findChild<QProgressDialog *>(QStringLiteral("lectureEnCours")) == nullptr);

        // Not held back, the same read goes to its end.
        const files::AcquisitionRead whole = files::readAcquisitionsWaiting(form.get(), chosen);
        QVERIFY(whole.reachedEnd);
        QCOMPARE(whole.analogLines, 200000);
    }

    void printWithoutPrinterWritesAPdf()
    {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is installed on this machine");
        form->show();
        form->n_imprime_Click();
        const QStringList pdfs = QDir(dir->filePath(QStringLiteral("Documents"))).entryList({QStringLiteral("*.pdf")});
        QCOMPARE(pdfs.size(), 1);
        QVERIFY2(form->statusText().contains(pdfs.front()), qPrintable(form->statusText()));
        QFile pdf(QDir(dir->filePath(QStringLiteral("Documents"))).filePath(pdfs.front()));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1);  // one page
    }
};

QTEST_MAIN(TestFilesWindow)
#include "test_files_window.moc"
