// Saving never loses what was saved before: a full disk, a folder that may
// not be written, a name that is a folder or a pipe, a symbolic link.
#include "acquisition/tables.h"
#include "files/acquisition_file.h"
#include "files/configuration.h"
#include "files/save_file.h"
#include "files/times_file.h"
#include "support/file_faults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using panel::AsNobody;
using panel::bytesOf;
using panel::ChildResult;
using panel::put;
using panel::withFileSizeLimit;

namespace {

// Every name in the folder, hidden ones too (a temporary file left behind).
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// No English reason from the platform ever reaches the user.
void expectFrench(const QString &message)
{
    for (const char *english : {"denied", "directory", "Unknown", "error", "space", "writable", "large", "File"})
        QVERIFY2(!message.contains(QLatin1String(english)), qPrintable(message));
}

std::unique_ptr<Tables> tablesOf(int count)
{
    auto t = std::make_unique<Tables>();
    t->nbre_acqui = count;
    for (int n = 0; n <= count; ++n)
        for (int k = 1; k <= 8; ++k) t->tab_ana(k, n) = Element::number(n % 255);
    return t;
}

// The file's last change moved back by seconds.
void age(const QString &file, int seconds)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime));
}

}  // namespace

class TestSafeSave : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    QString path(const char *name) const { return dir->filePath(QString::fromUtf8(name)); }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(dir->path(), QFileDevice::Permissions(0x7755));  // others may look in
    }
    void cleanup() { dir.reset(); }

    // Below 16 KiB a buffered writer only meets the full disk when it closes
    // the file; above, at the first write. Either way the old file stays.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("size");  // of the new content, roughly
        QTest::newRow("bytes, 2 KiB") << "bytes" << 2048;
        QTest::newRow("bytes, 100 KiB") << "bytes" << 100 * 1024;
        QTest::newRow("acquisition files, 10 slots") << "tables" << 10;
        QTest::newRow("param.ini") << "ini" << 0;
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(QString, kind);
        QFETCH(int, size);
        const QByteArray old(429, 'o');
        const QString file = path(kind == u"ini" ? "param.ini" : "old.txt");
        put(file, old);
        put(files::logicFileName(file), old);
        const ChildResult r = withFileSizeLimit(100, [&](QString &message) {
            if (kind == u"bytes") return files::writeWhole(file, QByteArray(size, 'n'), &message);
            if (kind == u"tables") {
                const QStringList failures = files::saveAcquisitions(file, *tablesOf(size)).failures;
                message = failures.join(u'\n');
                return failures.isEmpty();
            }
            files::Configuration c;
            c.com = QStringLiteral("2");
            return files::writeConfiguration(file, c, &message);
        });
        QVERIFY(r.exited);
        QVERIFY2(!r.ok, qPrintable(r.message));
        QCOMPARE(bytesOf(file), old);
        if (kind == u"tables") QCOMPARE(bytesOf(files::logicFileName(file)), old);
        QVERIFY2(r.message.contains(QStringLiteral("fichier trop grand")), qPrintable(r.message));
        QVERIFY2(r.message.contains(QStringLiteral("l'ancien fichier est conservé")), qPrintable(r.message));
        expectFrench(r.message);
        QStringList names{QFileInfo(file).fileName(), QFileInfo(files::logicFileName(file)).fileName()};
        names.sort();
        QCOMPARE(entries(dir->path()), names);  // no temporary file left
    }

    // The same writes with room enough go through whole.
    void roomEnoughWritesWhole()
    {
        const QString file = path("old.txt");
        put(file, "old");
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        const QByteArray bytes(100 * 1024, 'n');
        const ChildResult r =
            withFileSizeLimit(200 * 1024, [&](QString &message) { return files::writeWhole(file, bytes, &message); });
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(bytesOf(file), bytes);
        QCOMPARE(QFileInfo(file).permissions() & 0x7077, QFileDevice::Permissions(0x6040));  // kept
        QCOMPARE(entries(dir->path()), QStringList{QStringLiteral("old.txt")});
    }

    // What may not be written is refused, said in French, and left alone.
    void refusedNames_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("reason");
        for (const auto &[name, setUp, reason] :
             {std::tuple("folder not writable", "closed folder", "accès refusé"),
              {"file made read-only", "read-only file", "accès refusé"},
              {"name is a folder", "folder", "c'est un dossier"},
              {"name is a pipe", "fifo", "c'est un tube nommé, pas un fichier"},
              {"folder missing", "no folder", "fichier ou dossier introuvable"},
              {"path under a file", "under a file", "un élément du chemin n'est pas un dossier"}})
            QTest::newRow(name) << QString::fromLatin1(setUp) << QString::fromUtf8(reason);
    }
    void refusedNames()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, reason);
        const bool asNobody = setUp == u"closed folder" || setUp == u"read-only file";
        if (asNobody && !AsNobody::possible()) QSKIP("cannot take another user's identity here");
        QString folder = dir->path();
        QString file = path("old.txt");
        if (setUp == u"closed folder") {
            folder = path("closed");
            QDir().mkpath(folder);
            file = folder + QStringLiteral("/old.txt");
            put(file, "old");
            QFile::setPermissions(file, QFileDevice::Permissions(0x6666));    // anyone may write it
            QFile::setPermissions(folder, QFileDevice::Permissions(0x7755));  // but not add a file beside it
        } else if (setUp == u"read-only file") {
            folder = path("open");
            QDir().mkpath(folder);
            QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));  // anyone may add files
            file = folder + QStringLiteral("/old.txt");
            put(file, "old");
            QFile::setPermissions(file, QFileDevice::Permissions(0x6644));  // root's, others read
        } else if (setUp == u"folder") {
            QDir().mkpath(file);
            put(file + QStringLiteral("/inside"), "kept");
        } else if (setUp == u"fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else if (setUp == u"no folder") {
            file = path("absent/old.txt");
        } else if (setUp == u"under a file") {
            put(path("plain"), "plain");
            file = path("plain/old.txt");
        }
        const QStringList before = entries(folder);
        QString message;
        int err = -1;
        QElapsedTimer clock;
        clock.start();
        bool ok = false;
        {
            std::unique_ptr<AsNobody> nobody(asNobody ? new AsNobody : nullptr);
            ok = files::writeWhole(file, "new", &message, &err);
        }
        QCOMPARE_LT(clock.elapsed(), 5000);  // a pipe is not opened
        QVERIFY(!ok);
        QVERIFY2(message.startsWith(QStringLiteral("Impossible d'écrire « %1 » : %2").arg(file, reason)),
                 qPrintable(message));
        expectFrench(message);
        QCOMPARE(entries(folder), before);
        if (setUp == u"closed folder" || setUp == u"read-only file") QCOMPARE(bytesOf(file), QByteArray("old"));
        if (setUp == u"folder") QCOMPARE(bytesOf(file + QStringLiteral("/inside")), QByteArray("kept"));
        if (setUp == u"fifo") QVERIFY(QFileInfo(file).isFile() == false && QFileInfo(file).exists());
    }

    // A "param.ini" that is a symbolic link is read through the link, but a
    // save replaces the link by a file: what it points to is never written.
    void symbolicLinkIsReplacedNotFollowed()
    {
        const QString elsewhere = path("elsewhere.ini");
        const QByteArray target = "[com]\r\nvaleur=3\r\n[mine]\r\nclef=garde\r\n";
        put(elsewhere, target);
        const QString ini = path("param.ini");
        QVERIFY(QFile::link(elsewhere, ini));
        files::Configuration c = files::readConfiguration(ini);
        QCOMPARE(c.com, QStringLiteral("3"));
        c.com = QStringLiteral("4");
        QString error;
        QVERIFY2(files::writeConfiguration(ini, c, &error), qPrintable(error));
        QCOMPARE(bytesOf(elsewhere), target);
        QVERIFY(!QFileInfo(ini).isSymLink());
        QVERIFY(QFileInfo(ini).isFile());
        const QByteArray saved = bytesOf(ini);
        QVERIFY(saved.startsWith("[com]\r\nvaleur=4\r\n[mine]\r\nclef=garde\r\n"));

        // A link to nowhere is replaced the same way.
        const QString dangling = path("dangling.txt");
        QVERIFY(QFile::link(path("nowhere/at/all"), dangling));
        QVERIFY(files::writeWhole(dangling, "new", nullptr));
        QVERIFY(!QFileInfo(dangling).isSymLink());
        QCOMPARE(bytesOf(dangling), QByteArray("new"));
    }

    // A "param.ini" that cannot be read is not overwritten by a save that
    // would lose what it holds.
    void unreadableConfigurationIsLeftAlone()
    {
        if (!AsNobody::possible()) QSKIP("cannot take another user's identity here");
        const QString ini = path("param.ini");
        put(ini, "[mine]\r\nclef=garde\r\n");
        QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::setPermissions(dir->path(), QFileDevice::Permissions(0x7777));
        QString error;
        bool ok = true;
        {
            AsNobody nobody;
            ok = files::writeConfiguration(ini, files::Configuration(), &error);
        }
        QVERIFY(!ok);
        QVERIFY2(error.contains(QStringLiteral("ne peut être lu (accès refusé)")), qPrintable(error));
        QCOMPARE(bytesOf(ini), QByteArray("[mine]\r\nclef=garde\r\n"));
    }

    // A save cut short leaves its hidden temporary file; the next save into
    // the folder removes those a minute old, and nothing else.
    void staleTemporariesRemoved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("age");  // seconds
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("ours, two minutes old") << ".g.txl.pramelor-0a1b2c3" << 120 << "file" << true;
        QTest::newRow("another target's") << ".param.ini.pramelor-zzzzzzz" << 3600 << "file" << true;
        QTest::newRow("a save in progress") << ".g.txl.pramelor-0a1b2c3" << 5 << "file" << false;
        QTest::newRow("the user's hidden file") << ".g.txt" << 3600 << "file" << false;
        QTest::newRow("not hidden") << "g.txl.pramelor-0a1b2c3" << 3600 << "file" << false;
        QTest::newRow("six digits") << ".g.txl.pramelor-0a1b2c" << 3600 << "file" << false;
        QTest::newRow("no name before") << "..pramelor-0a1b2c3" << 3600 << "file" << false;
        QTest::newRow("a folder") << ".g.txl.pramelor-0a1b2c3" << 3600 << "folder" << false;
        QTest::newRow("a link") << ".g.txl.pramelor-0a1b2c3" << 3600 << "link" << false;
    }
    void staleTemporariesRemoved()
    {
        QFETCH(QString, name);
        QFETCH(int, age);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        const QString left = dir->filePath(name);
        const QString target = path("kept.txt");
        put(target, "kept");
        if (kind == u"folder") {
            QVERIFY(QDir().mkdir(left));
        } else if (kind == u"link") {
            QVERIFY(QFile::link(target, left));
        } else {
            put(left, "cut short");
            ::age(left, age);
        }
        QVERIFY(files::writeWhole(path("g.txt"), "new", nullptr));
        QCOMPARE(!QFileInfo::exists(left) && !QFileInfo(left).isSymLink(), removed);
        QCOMPARE(bytesOf(target), QByteArray("kept"));
        QCOMPARE(bytesOf(path("g.txt")), QByteArray("new"));
    }

    // "Enregistrer graphique" killed at random moments: whatever is left,
    // opening it never gives one recording's times to another's values.
    void killedSavesNeverMixTimes()
    {
        // Two recordings told apart by their values and times.
        std::unique_ptr<Tables> rec[2];
        for (int i = 0; i < 2; ++i) {
            rec[i] = tablesOf(1000);
            for (int n = 0; n <= 1000; ++n) {
                rec[i]->tab_ana(1, n) = Element::number(i);
                rec[i]->times.setAnalog(n, QDateTime(QDate(2026, 12, 7 + i), QTime(10, 0)).addSecs(n));
            }
        }
        const QString txt = path("g.txt");
        QVERIFY(files::saveAcquisitions(txt, *rec[0]).failures.isEmpty());
        QVERIFY(files::saveTimes(txt, *rec[0], nullptr));
        for (int trial = 0; trial < 20; ++trial) {
            const pid_t pid = fork();
            QVERIFY(pid >= 0);
            if (pid == 0) {
                for (int i = 1;; i ^= 1) {  // saves one after the other, as fast as they go
                    files::saveAcquisitions(txt, *rec[i]);
                    files::saveTimes(txt, *rec[i], nullptr);
                }
            }
            ::usleep(useconds_t(QRandomGenerator::global()->bounded(2000, 40000)));
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            Tables back;
            const files::OpenOutcome out = files::openAcquisitions(txt, back);
            QVERIFY(out.opened);
            const files::TimesRead r = files::openTimes(txt, back, out.analogLines, out.logicLines);
            const int values = back.tab_ana(1, 0).toNumber().value_or(-1) == 1 ? 1 : 0;
            if (r.mismatch)
                QVERIFY(!back.times.analog(0).isValid());
            else
                QCOMPARE(back.times.analog(0), rec[values]->times.analog(0));  // never another's times
        }
        // The temporaries the kills left are removed once old enough.
        for (const QString &name : entries(dir->path()))
            if (name.startsWith(u'.')) ::age(dir->filePath(name), 120);
        QVERIFY(files::writeWhole(path("autre.txt"), "x", nullptr));
        for (const QString &name : entries(dir->path())) QVERIFY2(!name.startsWith(u'.'), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestSafeSave)
#include "test_safe_save.moc"
