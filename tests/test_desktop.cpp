// The panel as a desktop program: where its settings go in a portable and in
// an installed copy, Qt's own dialogs in French, the file dialogs' folder and
// suffix, the icon, and the two command-line questions without a display.
#include "files/settings_location.h"
#include "link/serial_component.h"
#include "shell/desktop_start.h"
#include "shell/file_dialog.h"
#include "shell/form1.h"
#include "support/file_faults.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

using panel::bytesOf;
void writeFile(const QString &path, const QByteArray &bytes) { QVERIFY(panel::put(path, bytes)); }

// Runs check on the next modal dialog that opens. A dialog can become the
// active modal widget while it is still being shown, before its own event
// loop runs; an accept() then is lost and the dialog waits for ever. So the
// check runs again every 200 ms until that dialog has gone (checks only read
// the dialog and accept or reject it, so running one twice is harmless).
void onNextDialog(const std::function<void(QWidget *)> &check)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    auto handled = std::make_shared<QPointer<QWidget>>();
    auto acted = std::make_shared<bool>(false);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, check, handled, acted, ticks] {
        QWidget *w = QApplication::activeModalWidget();
        if (*acted && (handled->isNull() || w != handled->data() || !w->isVisible())) {
            poll->stop();
            poll->deleteLater();
            return;
        }
        if (!w || !w->isVisible()) return;
        if (*acted && ++*ticks % 20 != 0) return;
        *handled = w;
        *acted = true;
        check(w);
    });
    poll->start();
}

QStringList buttonTexts(QWidget *dialog)
{
    QStringList texts;
    if (auto *box = dialog->findChild<QDialogButtonBox *>())
        for (QAbstractButton *b : box->buttons()) texts << b->text().remove(u'&');
    return texts;
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    QString programDir() const { return dir_->filePath(QStringLiteral("bin")); }
    QString userDir() const { return dir_->filePath(QStringLiteral("config/pramelor")); }

    std::unique_ptr<Form1> start(bool programWritable)
    {
        Form1::Setup s;
        s.programDir = programDir();
        s.userDir = userDir();
        s.quitApplication = false;
        s.folderWritable = [programWritable](const QString &) { return programWritable; };
        return std::make_unique<Form1>(s);
    }

private slots:
    // As the program starts: names, Qt's French texts, icon.
    void initTestCase() { desktop::prepareApplication(*qApp); }
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(programDir()));
    }

    // ---------------------------------------------------------------- where param.ini lives

    void configurationFiles_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("beside");  // a param.ini beside the program
        QTest::addColumn<bool>("own");     // the user's own param.ini
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("write");
        const auto row = [](const char *name, bool writable, bool beside, bool own, const char *read,
                            const char *write) {
            QTest::newRow(name) << writable << beside << own << QString::fromLatin1(read) << QString::fromLatin1(write);
        };
        row("portable copy", true, true, false, "bin", "bin");
        row("portable, user file too", true, false, true, "bin", "bin");
        row("installed, first start, file beside", false, true, false, "bin", "user");
        row("installed, first start, nothing", false, false, false, "user", "user");
        row("installed, saved once", false, true, true, "user", "user");
    }
    void configurationFiles()
    {
        QFETCH(bool, writable);
        QFETCH(bool, beside);
        QFETCH(bool, own);
        QFETCH(QString, read);
        QFETCH(QString, write);
        QDir().mkpath(userDir());
        if (beside) writeFile(programDir() + QStringLiteral("/param.ini"), "[com]\nvaleur=2\n");
        if (own) writeFile(userDir() + QStringLiteral("/param.ini"), "[com]\nvaleur=3\n");
        const auto where = [this](const QString &which) {
            return (which == QLatin1String("bin") ? programDir() : userDir()) + QStringLiteral("/param.ini");
        };
        const files::ConfigurationFiles f = files::configurationFiles(programDir(), userDir(), writable);
        QCOMPARE(f.read, where(read));
        QCOMPARE(f.write, where(write));
    }

    // Root may write anywhere: the folder check runs as user nobody.
    void folderWritableAsAUser()
    {
        QFile::setPermissions(dir_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                                QFileDevice::ReadOther | QFileDevice::ExeOther);
        const QString ro = dir_->filePath(QStringLiteral("ro")), rw = dir_->filePath(QStringLiteral("rw"));
        QVERIFY(QDir().mkpath(ro) && QDir().mkpath(rw));
        QFile::setPermissions(ro, QFileDevice::ReadOther | QFileDevice::ExeOther | QFileDevice::ReadOwner |
                                      QFileDevice::ExeOwner);
        QFile::setPermissions(rw, QFileDevice::Permissions(0x7777));
        const panel::ChildResult r = panel::withFileSizeLimit(RLIM_INFINITY, [&](QString &said) {
            if (setgid(65534) != 0 || setuid(65534) != 0) return false;
            said = QStringLiteral("%1 %2").arg(files::folderWritable(ro)).arg(files::folderWritable(rw));
            return true;
        });
        QVERIFY(r.exited && r.ok);
        QCOMPARE(r.message, QStringLiteral("0 1"));  // ro not writable, rw writable
        QVERIFY(files::userConfigFolder().endsWith(QStringLiteral("/pramelor")));
    }

    // An installed copy starts from the param.ini beside it and saves in the
    // user's folder, which it creates; the status line names the file (the
    // user's own file is read from then on: configurationFiles).
    void installedCopyStartsFromTheFileBeside()
    {
        writeFile(programDir() + QStringLiteral("/param.ini"), "[com]\nvaleur=3\n[u_ana1]\nvaleur=mV\n");
        auto form = start(false);
        QCOMPARE(form->MSComm1().portNumber(), 3);
        QCOMPARE(form->findChild<QLineEdit *>(QStringLiteral("u_ana1"))->text(), QStringLiteral("mV"));
        form->findChild<QLineEdit *>(QStringLiteral("u_ana2"))->setText(QStringLiteral("A"));
        form->n_enr_param_Click();
        const QString own = userDir() + QStringLiteral("/param.ini");
        QVERIFY(form->statusText().contains(own));
        QVERIFY(bytesOf(own).contains("[u_ana2]\r\nvaleur=A"));
        QCOMPARE(bytesOf(programDir() + QStringLiteral("/param.ini")),
                 QByteArray("[com]\nvaleur=3\n[u_ana1]\nvaleur=mV\n"));
    }

    // "cmake --install build --prefix ~/.local" makes a folder that can be
    // written and yet is an installation: the configuration is saved in the
    // user's folder (a portable copy and an installed one: configurationFiles).
    void saveInAUsersOwnPrefix()
    {
        const QString bin = dir_->filePath(QStringLiteral("prefix/bin"));
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(dir_->filePath(QStringLiteral("prefix/share/doc/pramelor"))));
        Form1::Setup s;
        s.programDir = bin;
        s.userDir = userDir();
        s.quitApplication = false;
        s.folderWritable = [](const QString &) { return true; };
        Form1 form(s);
        form.n_enr_param_Click();
        QVERIFY(form.statusText().contains(userDir() + QStringLiteral("/param.ini")));
        QVERIFY(QFileInfo::exists(userDir() + QStringLiteral("/param.ini")));
        QVERIFY(!QFileInfo::exists(bin + QStringLiteral("/param.ini")));
    }

    // A program's folder that is an installation is never a portable copy,
    // even for a user who may write there (root, or "cmake --install" into
    // the user's own prefix).
    void installedLayout_data()
    {
        QTest::addColumn<QString>("folder");     // under the temporary folder unless absolute
        QTest::addColumn<QString>("installed");  // a file or folder made under it first
        QTest::addColumn<bool>("expected");
        const auto row = [](const char *name, const char *folder, const char *installed, bool expected) {
            QTest::newRow(name) << QString::fromLatin1(folder) << QString::fromLatin1(installed) << expected;
        };
        row("the package's /usr/bin", "/usr/bin", "", true);
        row("under /opt", "/opt/pramelor", "", true);
        row("a prefix with the guide", "prefix/bin", "prefix/share/doc/pramelor/", true);
        row("a prefix with the menu entry", "prefix/bin", "prefix/share/applications/pramelor.desktop", true);
        row("a bin of something else", "prefix/bin", "prefix/share/doc/other/", false);
        row("a portable copy", "pramelor", "share/doc/pramelor/", false);
        row("a build tree", "build", "", false);
        row("/usrlocal is not /usr", "/usrlocal/bin", "", false);
    }
    void installedLayout()
    {
        QFETCH(QString, folder);
        QFETCH(QString, installed);
        if (!folder.startsWith(u'/')) folder = dir_->filePath(folder);
        if (installed.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(dir_->filePath(installed)));
        } else if (!installed.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(dir_->filePath(installed)).path()));
            writeFile(dir_->filePath(installed), "");
        }
        QTEST(files::installedLayout(folder), "expected");
    }

    // ---------------------------------------------------------------- French

    // Under any language the port dialog answers "OK" / "Annuler" (run again
    // in a child under each language below).
    void portDialogButtons()
    {
        auto form = start(true);
        QStringList seen;
        onNextDialog([&seen](QWidget *w) {
            seen = buttonTexts(w);
            static_cast<QDialog *>(w)->reject();
        });
        form->n_port_Click();
        QCOMPARE(seen, QStringList({QStringLiteral("OK"), QStringLiteral("Annuler")}));
    }

    void frenchUnderEveryLanguage_data()
    {
        QTest::addColumn<QString>("lang");
        for (const char *lang : {"C.UTF-8", "en_US.UTF-8"}) QTest::newRow(lang) << QString::fromLatin1(lang);
    }
    void frenchUnderEveryLanguage()
    {
        QFETCH(QString, lang);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), lang);
        env.insert(QStringLiteral("LC_ALL"), lang);
        env.insert(QStringLiteral("LANGUAGE"), lang.left(2));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("portDialogButtons"), QStringLiteral("fileDialogInFrench")});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitCode() == 0, child.readAllStandardOutput().constData());
    }

    // The save dialog, its overwrite question and the about box.
    void fileDialogInFrench()
    {
        writeFile(programDir() + QStringLiteral("/essai.txt"), "x");
        std::unique_ptr<QFileDialog> dialog(makeFileDialog(nullptr, true, QStringLiteral("*.txt"), programDir()));
        QCOMPARE(buttonTexts(dialog.get()), QStringList({QStringLiteral("Enregistrer"), QStringLiteral("Annuler")}));
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("fileNameLabel"))->text().remove(u'&'),
                 QStringLiteral("Nom de fichier :"));
        QString question;
        QStringList answers;
        onNextDialog([&](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w)) {
                question = box->text();
                for (QAbstractButton *b : box->buttons()) answers << b->text().remove(u'&');
                box->reject();
            }
        });
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("essai"));
        QMetaObject::invokeMethod(dialog.get(), "accept", Qt::DirectConnection);
        QVERIFY2(question.contains(QStringLiteral("existe déjà")), qPrintable(question));
        answers.sort();
        QCOMPARE(answers, QStringList({QStringLiteral("Non"), QStringLiteral("Oui")}));
    }

    // ---------------------------------------------------------------- file dialogs

    void savedTablesGetTxt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << QStringLiteral("essai") << QStringLiteral("essai.txt");
        QTest::newRow(".txt") << QStringLiteral("essai.txt") << QStringLiteral("essai.txt");
        QTest::newRow("other extension") << QStringLiteral("essai.dat") << QStringLiteral("essai.dat");
    }
    void savedTablesGetTxt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        std::unique_ptr<QFileDialog> dialog(makeFileDialog(nullptr, true, QStringLiteral("*.txt"), programDir()));
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
        QMetaObject::invokeMethod(dialog.get(), "accept", Qt::DirectConnection);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->selectedFiles(), QStringList(QDir(programDir()).filePath(saved)));
    }

    // The next dialog opens in the folder chosen last, kept per user.
    void dialogsRememberTheFolder()
    {
        const QString settings = userDir() + QStringLiteral("/pramelor.conf");
        const QString other = dir_->filePath(QStringLiteral("mesures"));
        QVERIFY(QDir().mkpath(other));
        onNextDialog([other](QWidget *w) {
            // Typed, as a person would: selectFile() leaves the name box
            // alone once it has the focus.
            auto *d = qobject_cast<QFileDialog *>(w);
            d->setDirectory(other);
            d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("lundi"));
            QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
        });
        QCOMPARE(askFilePath(nullptr, true, QStringLiteral("*.txt"), settings),
                 QDir(other).filePath(QStringLiteral("lundi.txt")));
        QCOMPARE(QSettings(settings, QSettings::IniFormat).value(QStringLiteral("dialogues/dossier")).toString(),
                 other);
        // As another run of the panel would find it.
        const QString kept = dir_->filePath(QStringLiteral("archives"));
        QVERIFY(QDir().mkpath(kept));
        QSettings(settings, QSettings::IniFormat).setValue(QStringLiteral("dialogues/dossier"), kept);
        QString opened;
        onNextDialog([&opened](QWidget *w) {
            opened = qobject_cast<QFileDialog *>(w)->directory().absolutePath();
            static_cast<QDialog *>(w)->reject();
        });
        QCOMPARE(askFilePath(nullptr, false, QStringLiteral("*.txt"), settings), QString());
        QCOMPARE(opened, kept);
    }

    // ---------------------------------------------------------------- program

    // The window's icon, and the about box's text as it always was.
    void iconAndAboutBox()
    {
        auto form = start(true);
        QVERIFY(!QApplication::windowIcon().isNull());
        QVERIFY(!form->windowIcon().pixmap(48, 48).isNull());
        QString text;
        QStringList buttons;
        onNextDialog([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            text = box->text();
            for (QAbstractButton *b : box->buttons()) buttons << b->text().remove(u'&');
            box->accept();
        });
        form->n_a_propos_de_Click();
        QCOMPARE(text, QStringLiteral("Pramelor pour 16F877 ver1.0 "));
        QCOMPARE(buttons, QStringList(QStringLiteral("OK")));
    }

    // The command line answered before any window, without a display: help
    // and version, an unknown option, and the lack of a display, all in
    // French; the board simulator's too.
    void commandLineWithoutDisplay_data()
    {
        QTest::addColumn<QString>("program");  // the environment variable naming it
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("display");  // DISPLAY, unset when empty
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *program, QStringList args, const char *display, int code,
                            const char *expected) {
            QTest::newRow(name) << QString::fromLatin1(program) << args << QString::fromLatin1(display) << code
                                << QString::fromUtf8(expected);
        };
        const char *panel = "PRAMELOR_PANEL", *sim = "PRAMELOR_BOARD_SIM";
        row("--help", panel, {"--help"}, "", 0, "PRAMELOR_COM1");
        row("--version", panel, {"--version"}, "", 0, "pramelor 1.0");
        row("unknown option", panel, {"--bogus"}, "", 2,
            "pramelor : option inconnue « --bogus ». Voyez pramelor --help.");
        row("a stray argument", panel, {"-style", "fusion", "mesures.txt"}, "", 2, "option inconnue « mesures.txt »");
        row("no display", panel, {}, "", 1, "aucun affichage n'est indiqué (DISPLAY n'est pas défini)");
        row("Qt's options, no display", panel, {"-style", "fusion", "--reverse"}, "", 1,
            "le panneau a besoin d'un affichage");
        row("a display that does not answer", panel, {}, ":97", 1, "l'affichage ne peut être utilisé");
        row("simulator --help", sim, {"--help"}, "", 0,
            "--link CHEMIN      le lien vers son port (par défaut /tmp/pramelor-com1)");
        row("simulator --version", sim, {"--version"}, "", 0, "pramelor-board-sim 1.0");
        row("simulator, unknown option", sim, {"--bogus"}, "", 2, "pramelor-board-sim : option inconnue « bogus »");
    }
    void commandLineWithoutDisplay()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        QFETCH(QString, display);
        QFETCH(int, code);
        QFETCH(QString, expected);
        const QString path = qEnvironmentVariable(program.toLatin1().constData());
        if (path.isEmpty()) QSKIP("PRAMELOR_PANEL and PRAMELOR_BOARD_SIM are not set");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"}) env.remove(QString::fromLatin1(name));
        if (!display.isEmpty()) env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));  // would fail without a display
        p.setProcessEnvironment(env);
        p.start(path, args);
        QVERIFY(p.waitForFinished(20000));
        const QString said = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QVERIFY2(p.exitCode() == code, qPrintable(said));
        QVERIFY2(said.contains(expected), qPrintable(said));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
