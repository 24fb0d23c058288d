// The panel as a desktop program: where its settings go in a portable and in
// an installed copy, the file dialogs' folder and suffix.
#include "files/settings_location.h"
#include "link/serial_component.h"
#include "shell/file_dialog.h"
#include "shell/form1.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs check on the next modal dialog that opens, then lets it go.
void onNextDialog(const std::function<void(QWidget *)> &check)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [check, poll] {
        if (QWidget *w = QApplication::activeModalWidget())
            check(w);
        else
            QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
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
        QTest::newRow("portable copy") << true << true << false << "bin"
                                       << "bin";
        QTest::newRow("portable, user file too") << true << false << true << "bin"
                                                 << "bin";
        QTest::newRow("installed, first start, file beside") << false << true << false << "bin"
                                                             << "user";
        QTest::newRow("installed, first start, nothing") << false << false << false << "user"
                                                         << "user";
        QTest::newRow("installed, saved once") << false << true << true << "user"
                                               << "user";
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
        const QByteArray roPath = ro.toLocal8Bit(), rwPath = rw.toLocal8Bit();
        const pid_t child = fork();
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
            const bool roWritable = files::folderWritable(QString::fromLocal8Bit(roPath));
            const bool rwWritable = files::folderWritable(QString::fromLocal8Bit(rwPath));
            _exit(roWritable ? 1 : rwWritable ? 0 : 2);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(files::userConfigFolder().endsWith(QStringLiteral("/pramelor")));
    }

    // An installed copy starts from the param.ini beside it and saves in the
    // user's folder, which it creates; the status line names the file.
    void installedCopyStartsFromTheFileBeside()
    {
        writeFile(programDir() + QStringLiteral("/param.ini"), "[com]\nvaleur=3\n[u_ana1]\nvaleur=mV\n");
        auto form = start(false);
        QCOMPARE(form->MSComm1().portNumber(), 3);
        QCOMPARE(form->findChild<QLineEdit *>(QStringLiteral("u_ana1"))->text(), QStringLiteral("mV"));
        form->findChild<QLineEdit *>(QStringLiteral("u_ana2"))->setText(QStringLiteral("A"));
        form->n_enr_param_Click();
        const QString own = userDir() + QStringLiteral("/param.ini");
        QVERIFY(QFileInfo::exists(own));
        QVERIFY(form->statusText().contains(own));
        QVERIFY(read(own).contains("[u_ana2]\r\nvaleur=A"));
        QCOMPARE(read(programDir() + QStringLiteral("/param.ini")),
                 QByteArray("[com]\nvaleur=3\n[u_ana1]\nvaleur=mV\n"));

        // From now on the user's own file is the one read.
        form.reset();
        writeFile(programDir() + QStringLiteral("/param.ini"), "[com]\nvaleur=4\n");
        form = start(false);
        QCOMPARE(form->MSComm1().portNumber(), 3);
        QCOMPARE(form->findChild<QLineEdit *>(QStringLiteral("u_ana2"))->text(), QStringLiteral("A"));
    }

    void installedCopyWithNothingBeside()
    {
        auto form = start(false);
        QCOMPARE(form->MSComm1().portNumber(), 1);
        QCOMPARE(form->findChild<QLineEdit *>(QStringLiteral("u_ana1"))->text(), QStringLiteral("V"));
        form->n_enr_param_Click();
        QVERIFY(QFileInfo::exists(userDir() + QStringLiteral("/param.ini")));
        QVERIFY(!QFileInfo::exists(programDir() + QStringLiteral("/param.ini")));
    }

    void portableCopyKeepsItBeside()
    {
        auto form = start(true);
        form->n_enr_param_Click();
        QVERIFY(QFileInfo::exists(programDir() + QStringLiteral("/param.ini")));
        QVERIFY(!QFileInfo::exists(userDir() + QStringLiteral("/param.ini")));
        QVERIFY(form->statusText().contains(programDir() + QStringLiteral("/param.ini")));
    }

    // ---------------------------------------------------------------- file dialogs

    void savedTablesGetTxt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "essai"
                                      << "essai.txt";
        QTest::newRow(".txt") << "essai.txt"
                              << "essai.txt";
        QTest::newRow("other extension") << "essai.dat"
                                         << "essai.dat";
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
            auto *d = qobject_cast<QFileDialog *>(w);
            d->selectFile(QDir(other).filePath(QStringLiteral("lundi")));
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

};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
