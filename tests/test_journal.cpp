// The continuous journal as a file: its lines and headers, going on with an
// existing journal, the once-a-second flush, reading its end back into the
// tables, and what is left after a killed writer or a full disk.
#include "files/journal.h"

#include "support/both_locales.h"
#include "support/file_faults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <ctime>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using acquisition::Acquired;

namespace {

using panel::bytesOf;

// Times are written with their offset from UTC: the tests fix the zone
// before any date is made.
const bool kParis = [] {
    qputenv("TZ", "Europe/Paris");
    ::tzset();
    return true;
}();
const QDateTime kT0(QDate(2026, 12, 7), QTime(14, 32, 7, 412));
constexpr char kChildVariable[] = "PRAMELOR_JOURNAL_CHILD";

files::Units unitsOf(const QString &u)
{
    files::Units units;
    units.fill(u);
    return units;
}

Acquired analog(const QDateTime &t, std::array<QString, 8> values, const files::Units &units = unitsOf("V"))
{
    Acquired a;
    a.channel = Channel::Analog;
    a.time = t;
    a.values = std::move(values);
    a.units = units;
    return a;
}

Acquired logic(const QDateTime &t, int byte)
{
    Acquired a;
    a.channel = Channel::Logic;
    a.time = t;
    for (size_t k = 0; k < 8; ++k) a.values[k] = (byte >> k) & 1 ? QStringLiteral("1") : QStringLiteral("0");
    return a;
}

// Analog values that say which writer and which line they come from.
Acquired numbered(int run, int i)
{
    return analog(kT0.addMSecs(i),
                  {QString::number(run) + u'.', QString::number(i) + u'.', "0.5", "", "1.25", "2.", "3.", "4."});
}

void append(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::Append));
    f.write(bytes);
}

// The writer a killed child runs: lines as fast as it can, the number of each
// line on the standard output once its write has returned.
[[noreturn]] void runChild(const QString &path, int run)
{
    files::JournalWriter w;
    QString error;
    if (!w.open(path, unitsOf(QStringLiteral("V")), &error)) {
        fprintf(stderr, "%s\n", qPrintable(error));
        _exit(2);
    }
    for (int i = 0;; ++i) {
        if (!w.append(numbered(run, i), &error)) _exit(3);
        const QByteArray said = QByteArray::number(i) + '\n';
        if (::write(STDOUT_FILENO, said.constData(), size_t(said.size())) < 0) _exit(4);
    }
}

// A forked child's part: in a mount namespace of its own, a journal on a
// small file system that is then unmounted lazily, as when a stick is
// pulled. 77: no namespace to be had here.
int lazyUnmountChild(const QString &mountPoint)
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return 77;
    if (!panel::put(QStringLiteral("/proc/self/setgroups"), "deny") ||
        !panel::put(QStringLiteral("/proc/self/uid_map"), "0 " + QByteArray::number(uid) + " 1") ||
        !panel::put(QStringLiteral("/proc/self/gid_map"), "0 " + QByteArray::number(gid) + " 1"))
        return 77;
    const QByteArray mp = QFile::encodeName(mountPoint);
    if (::mount("none", mp.constData(), "tmpfs", 0, nullptr) != 0) return 77;
    files::JournalWriter w;
    if (!w.open(mountPoint + QStringLiteral("/j.csv"), unitsOf("V"), nullptr)) return 1;
    if (!w.append(numbered(0, 0), nullptr) || w.checkPlace() != files::JournalWriter::Place::Same) return 2;
    for (int i = 1; i <= 3; ++i)
        if (!w.append(numbered(0, i), nullptr)) return 3;
    if (::umount2(mp.constData(), MNT_DETACH) != 0) return 4;
    if (w.checkPlace() != files::JournalWriter::Place::Lost) return 5;
    return w.linesSinceCheck() == 3 ? 0 : 6;
}

}  // namespace

class TestJournal : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void linesAndHeaders()
    {
        QCOMPARE(files::journalLine(analog(kT0, {"100.", "", "255.", "12.5", "-1.", "2.", "3.", "200."})),
                 QByteArray("2026-12-07T14:32:07.412+01:00,A,100.,,255.,12.5,-1.,2.,3.,200.\r\n"));
        QCOMPARE(files::journalLine(logic(kT0, 165)),
                 QByteArray("2026-12-07T14:32:07.412+01:00,L,1,0,1,0,0,1,0,1\r\n"));
        files::Units units = unitsOf(QStringLiteral("V"));
        units[1] = QStringLiteral("°C");
        units[2] = QStringLiteral("m,s");
        units[3] = QStringLiteral("\"x\"");
        units[4] = QString();
        const QByteArray header = files::journalHeader(units);
        QCOMPARE(header, QByteArray("horodatage,trame,voie1 (V),voie2 (\xC2\xB0"
                                    "C),\"voie3 (m,s)\",\"voie4 (\"\"x\"\")\",voie5 (),voie6 (V),voie7 (V),"
                                    "voie8 (V)\r\n"));
        QCOMPARE(files::journalHeaderUnits(header.chopped(2)), std::optional<files::Units>(units));
        QVERIFY(!files::journalHeaderUnits("horodatage,trame,voie1 (V)"));
        QVERIFY(!files::journalHeaderUnits("2026-12-07T14:32:07.412,L,1,0,1,0,0,1,0,1"));
    }

    void newJournalThenGoingOn()
    {
        const QString p = path(QStringLiteral("suite.csv"));
        {
            files::JournalWriter w;
            QVERIFY(w.open(p, unitsOf("V"), nullptr));
            QCOMPARE(bytesOf(p), files::journalHeader(unitsOf("V")));
            QVERIFY(w.append(analog(kT0, {"1.", "2.", "3.", "4.", "5.", "6.", "7.", "8."}), nullptr));
            QVERIFY(w.append(logic(kT0.addSecs(1), 3), nullptr));
            QCOMPARE(w.lines(), 2);
        }
        // Opened again, with the same units: no second header.
        files::JournalWriter w;
        QVERIFY(w.open(p, unitsOf("V"), nullptr));
        QCOMPARE(w.lines(), 2);
        QVERIFY(w.append(analog(kT0.addSecs(2), {"9.", "", "", "", "", "", "", ""}), nullptr));
        w.close();
        const QByteArray bytes = bytesOf(p);
        QCOMPARE(bytes.count("horodatage"), 1);
        QCOMPARE(bytes.count("\r\n"), 4);
        QVERIFY(bytes.endsWith("2026-12-07T14:32:09.412+01:00,A,9.,,,,,,,\r\n"));
    }

    // A header before the first analog line whose units differ from the last
    // header's, never before a logic line.
    void unitChangeBringsAHeader()
    {
        const QString p = path(QStringLiteral("unites.csv"));
        files::Units mA = unitsOf("V");
        mA[2] = QStringLiteral("mA");
        {
            files::JournalWriter w;
            QVERIFY(w.open(p, unitsOf("V"), nullptr));
            QVERIFY(w.append(analog(kT0, {}, unitsOf("V")), nullptr));
            QVERIFY(w.append(logic(kT0, 1), nullptr));
            QVERIFY(w.append(analog(kT0, {}, mA), nullptr));
            QVERIFY(w.append(analog(kT0, {}, mA), nullptr));
        }
        // Opened again while the boxes say V: the journal's last header says mA.
        files::JournalWriter w;
        QVERIFY(w.open(p, unitsOf("V"), nullptr));
        QVERIFY(w.append(logic(kT0, 2), nullptr));
        QVERIFY(w.append(analog(kT0, {}, mA), nullptr));
        QVERIFY(w.append(analog(kT0, {}, unitsOf("V")), nullptr));
        w.close();
        const QList<QByteArray> lines = bytesOf(p).split('\n');
        QStringList kinds;
        for (const QByteArray &l : lines)
            if (!l.isEmpty())
                kinds << QString::fromLatin1(l.startsWith("horodatage") ? QByteArray(l.contains("(mA)") ? "HmA" : "HV")
                                                                        : l.mid(30, 1));
        QCOMPARE(kinds.join(u' '), QStringLiteral("HV A L HmA A A L A HV A"));
    }

    void refusedPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        for (const auto &[name, reason] : {std::pair("autre.csv", "pas un journal"),
                                           {"dossier", "dossier"},
                                           {"tube", "pas un fichier ordinaire"},
                                           {"absent/j.csv", "introuvable"},
                                           {"autre.csv/j.csv", "pas un dossier"}})
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(reason);
    }
    void refusedPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const QByteArray other("a,b,c\r\n1,2,3\r\n");
        QFile::remove(path(QStringLiteral("autre.csv")));
        append(path(QStringLiteral("autre.csv")), other);
        QDir(dir.path()).mkpath(QStringLiteral("dossier"));
        if (!QFile::exists(path(QStringLiteral("tube")))) QCOMPARE(::mkfifo(qPrintable(path("tube")), 0644), 0);
        files::JournalWriter w;
        QString error;
        QVERIFY(!w.open(path(name), unitsOf("V"), &error));
        QVERIFY(!w.isOpen());
        QVERIFY2(error.startsWith(QStringLiteral("Impossible d'ouvrir le journal")) && error.contains(reason),
                 qPrintable(error));
        QCOMPARE(bytesOf(path(QStringLiteral("autre.csv"))), other);
    }

    // A line a crash cut short is closed so that nothing reads it as whole,
    // and the journal goes on after it.
    void cutLineIsPassedOver()
    {
        const QString p = path(QStringLiteral("coupe.csv"));
        {
            files::JournalWriter w;
            QVERIFY(w.open(p, unitsOf("V"), nullptr));
            QVERIFY(w.append(numbered(1, 1), nullptr));
        }
        append(p, files::journalLine(numbered(1, 200)).left(40));  // "…,A,1.,20"
        files::JournalTail tail = files::readJournalTail(p, 10);
        QVERIFY(tail.halfLine);
        QCOMPARE(tail.analog.size(), size_t(1));
        QCOMPARE(tail.damaged, 0);

        files::JournalWriter w;
        QVERIFY(w.open(p, unitsOf("V"), nullptr));
        QVERIFY(w.append(numbered(1, 3), nullptr));
        w.close();
        tail = files::readJournalTail(p, 10);
        QVERIFY(!tail.halfLine);
        QCOMPARE(tail.damaged, 1);
        QCOMPARE(tail.analog.size(), size_t(2));
        QCOMPARE(tail.analog[1].values[1], std::optional<double>(3));
    }

    void flushAtMostOnceASecond()
    {
        qint64 now = 5000;
        files::JournalWriter w([&now] { return now; });
        QVERIFY(w.open(path(QStringLiteral("rythme.csv")), unitsOf("V"), nullptr));
        QCOMPARE(w.msUntilSync(), -1);  // the header went to the disk at once
        now += 300;
        QVERIFY(w.append(numbered(0, 0), nullptr));
        QCOMPARE(w.msUntilSync(), 700);
        now += 700;
        QVERIFY(w.syncIfDue(nullptr));
        QCOMPARE(w.msUntilSync(), -1);
        now += 1500;
        QVERIFY(w.append(numbered(0, 1), nullptr));  // a second has gone: flushed with the write
        QCOMPARE(w.msUntilSync(), -1);
        now += 10;
        QVERIFY(w.append(numbered(0, 2), nullptr));
        QCOMPARE(w.msUntilSync(), 990);
    }

    // The last acquisitions of each frame, oldest first, whatever lies
    // between them: headers, damaged lines, a half line at the end.
    void readingTheEnd()
    {
        const QString p = path(QStringLiteral("fin.csv"));
        QByteArray bytes = files::journalHeader(unitsOf("V"));
        for (int i = 0; i < 20; ++i) {
            bytes += files::journalLine(numbered(0, i));
            if (i % 3 == 0) bytes += files::journalLine(logic(kT0.addMSecs(i), i));
            if (i == 17) bytes += "2026-12-07T14:32:07.412,A,x,,,,,,,\r\n";  // a value that is no number
            if (i == 18) bytes += files::journalHeader(unitsOf("mV"));
        }
        bytes += "2026-12-07T14:32:07.412,L,1,1";
        QFile::remove(p);
        append(p, bytes);
        const files::JournalTail tail = files::readJournalTail(p, 4);
        QVERIFY(tail.opened && tail.halfLine);
        QCOMPARE(tail.damaged, 1);
        QCOMPARE(tail.analog.size(), size_t(4));
        QCOMPARE(tail.logic.size(), size_t(4));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(tail.analog[size_t(i)].values[1], std::optional<double>(16 + i));
            QCOMPARE(tail.analog[size_t(i)].time, kT0.addMSecs(16 + i));
            QCOMPARE(tail.analog[size_t(i)].values[3], std::optional<double>());  // skipped channel
            QCOMPARE(tail.logic[size_t(i)].time, kT0.addMSecs(9 + 3 * i));
        }
        QCOMPARE(tail.logic[3].values[0], std::optional<double>(0));  // 18 = 0b00010010
        QCOMPARE(tail.logic[3].values[1], std::optional<double>(1));
        // Fewer than asked: all there is.
        QCOMPARE(files::readJournalTail(p, 1000).logic.size(), size_t(7));
        QVERIFY(!files::readJournalTail(path(QStringLiteral("absent.csv")), 4).opened);
    }

    // A journal read in several pieces: lines across their edges, a line too
    // long to be one of ours, logic lines only at the very start.
    void readingALongJournalInPieces()
    {
        const QString p = path(QStringLiteral("long.csv"));
        QByteArray bytes = files::journalHeader(unitsOf("V"));
        bytes += files::journalLine(logic(kT0, 1)) + files::journalLine(logic(kT0, 2));
        // Lines made from one, as a date and time costs much to compute.
        const QByteArray line = files::journalLine(numbered(7, 0));
        const QByteArray start = line.left(line.indexOf(",0.,") + 1), end = line.mid(line.indexOf(",0.,") + 2);
        int i = 0;
        for (; bytes.size() < (3 << 20); ++i) {
            bytes += start + QByteArray::number(i) + end;
            if (i == 20000) bytes += QByteArray(100 * 1024, 'x') + "\r\n";
        }
        QFile::remove(p);
        append(p, bytes);
        std::vector<qint64> seen;
        const files::JournalTail tail = files::readJournalTail(p, 5, [&](qint64 done, qint64 total) {
            seen.push_back(done);
            return total == bytes.size();
        });
        QVERIFY(!tail.cancelled);
        QCOMPARE(tail.damaged, 1);
        QCOMPARE(tail.analog.size(), size_t(5));
        QCOMPARE(tail.analog[4].values[1], std::optional<double>(i - 1));
        QCOMPARE(tail.analog[0].values[1], std::optional<double>(i - 5));
        QCOMPARE(tail.logic.size(), size_t(2));
        QCOMPARE(tail.logic[1].values[1], std::optional<double>(1));  // 2 = input 2
        QVERIFY(seen.size() >= 3 && std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.back(), qint64(bytes.size()));

        const files::JournalTail stopped = files::readJournalTail(p, 5, [](qint64, qint64) { return false; });
        QVERIFY(stopped.cancelled);
    }

    void loadedAsMemorisationStores_data() { panel::addLocaleRows(); }
    void loadedAsMemorisationStores()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        const QString sep = QLocale().decimalPoint();
        files::JournalTail tail;
        tail.analog.push_back({kT0, {100, 12.5, std::nullopt, -0.25, 0, 1, 2, 3}});
        tail.logic.push_back({kT0.addSecs(1), {1, 0, 1, 0, 0, 1, 0, 1}});
        Tables t;
        t.tab_ana(1, 1) = Element::text("old");
        t.tab_ana(3, 0) = Element::text("old");
        t.tab_ana(8, 1000) = Element::text("old");
        t.tab_log[8] = t.tab_log[8007] = Element::text("1");
        t.times.setAnalog(1, kT0.addDays(-1));
        t.times.setLogic(1, kT0.addDays(-1));
        t.times.setLogic(1000, kT0.addDays(-1));
        files::loadJournalTail(tail, t);
        QCOMPARE(t.tab_ana(1, 0), Element::text("100" + sep));
        QCOMPARE(t.tab_ana(2, 0), Element::text("12" + sep + "5"));
        QVERIFY(t.tab_ana(3, 0).isEmpty());
        QCOMPARE(t.tab_ana(4, 0), Element::text("-0" + sep + "25"));
        QVERIFY(t.tab_ana(1, 1).isEmpty());  // nothing of the recording before is left
        QString bits;
        for (int e = 0; e < 8; ++e) bits += t.tab_log[size_t(e)].asText();
        QCOMPARE(bits, QStringLiteral("10100101"));
        QCOMPARE(t.times.analog(0), kT0);
        QCOMPARE(t.times.logic(0), kT0.addSecs(1));
        QVERIFY(!t.times.analog(1).isValid());
        QVERIFY(t.tab_ana(8, 1000).isEmpty());
        QVERIFY(t.tab_log[8].isEmpty() && t.tab_log[8007].isEmpty());
        QVERIFY(!t.times.logic(1).isValid() && !t.times.logic(1000).isValid());
    }

    // The file behind the path, looked at once a second: a file deleted,
    // its folder removed or another file in its place takes the lines to
    // nowhere; a rename within the folder is followed.
    void fileGoneFromItsPath_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("nameAfter");
        using P = files::JournalWriter::Place;
        QTest::newRow("left alone") << "none" << int(P::Same) << "j.csv";
        QTest::newRow("deleted") << "delete" << int(P::Lost) << "j.csv";
        QTest::newRow("folder removed") << "rmdir" << int(P::Lost) << "j.csv";
        QTest::newRow("deleted and made again") << "recreate" << int(P::Lost) << "j.csv";
        QTest::newRow("renamed in its folder") << "rename" << int(P::Renamed) << "k.csv";
        QTest::newRow("moved to another folder") << "move" << int(P::Moved) << "j.csv";
    }
    void fileGoneFromItsPath()
    {
        QFETCH(QString, what);
        QFETCH(int, place);
        QFETCH(QString, nameAfter);
        QTemporaryDir top;
        QVERIFY(QDir(top.path()).mkdir(QStringLiteral("d")));
        QVERIFY(QDir(top.path()).mkdir(QStringLiteral("ailleurs")));
        const QString folder = top.filePath(QStringLiteral("d")), p = folder + QStringLiteral("/j.csv");
        files::JournalWriter w;
        QVERIFY(w.open(p, unitsOf("V"), nullptr));
        QCOMPARE(w.linesSinceCheck(), qint64(0));
        QVERIFY(w.append(numbered(0, 0), nullptr));
        QVERIFY(w.checkPlace() == files::JournalWriter::Place::Same);
        for (int i = 1; i <= 3; ++i) QVERIFY(w.append(numbered(0, i), nullptr));
        QCOMPARE(w.linesSinceCheck(), qint64(3));

        if (what == u"delete" || what == u"recreate") QVERIFY(QFile::remove(p));
        if (what == u"recreate") append(p, "autre chose\r\n");
        if (what == u"rmdir") QVERIFY(QDir(folder).removeRecursively());
        if (what == u"rename") QVERIFY(QFile::rename(p, folder + QStringLiteral("/k.csv")));
        if (what == u"move") QVERIFY(QFile::rename(p, top.filePath(QStringLiteral("ailleurs/j.csv"))));

        QCOMPARE(int(w.checkPlace()), place);
        QCOMPARE(QFileInfo(w.path()).fileName(), nameAfter);
        QCOMPARE(QFileInfo(w.path()).path(), folder);
        const bool kept =
            place == int(files::JournalWriter::Place::Same) || place == int(files::JournalWriter::Place::Renamed);
        QCOMPARE(w.linesSinceCheck(), qint64(kept ? 0 : 3));  // lost: the lines since the last good check
        if (what == u"move") QCOMPARE(w.movedTo(), top.filePath(QStringLiteral("ailleurs/j.csv")));
        if (kept) {  // the journal goes on in the file it follows
            QVERIFY(w.append(numbered(0, 4), nullptr));
            w.close();
            QCOMPARE(files::readJournalTail(w.path(), 10).analog.size(), size_t(5));
        }
    }

    void lazilyUnmounted()
    {
        const QString mountPoint = path(QStringLiteral("cle"));
        QVERIFY(QDir().mkpath(mountPoint));
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(lazyUnmountChild(mountPoint));
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status));
        if (WEXITSTATUS(status) == 77) QSKIP("no mount namespace to be had here");
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    // A full disk stands for every write failure: the append says why in
    // French and the file still ends with whole lines.
    void writeFailureLeavesWholeLines()
    {
        const QString p = path(QStringLiteral("plein.csv"));
        files::JournalWriter w;
        QVERIFY(w.open(p, unitsOf("V"), nullptr));
        QVERIFY(w.append(numbered(0, 0), nullptr));
        // Room for one line and a piece: the second append fails.
        const panel::ChildResult r = panel::withFileSizeLimit(rlim_t(w.size() + 100), [&w](QString &error) {
            return w.append(numbered(0, 1), &error) && !w.append(numbered(0, 2), &error);
        });
        QVERIFY(r.exited && r.ok);
        QVERIFY2(r.message.startsWith(QStringLiteral("Impossible d'écrire dans le journal")) &&
                     r.message.contains(QStringLiteral("trop grand")),
                 qPrintable(r.message));
        const QByteArray bytes = bytesOf(p);
        QVERIFY(bytes.endsWith(files::journalLine(numbered(0, 1))));
    }

    // kill -9 of a writer at a random moment, again and again on the same
    // journal: every line it said it had written is there, whole, and the
    // journal reads back.
    void killedWriterLosesNothingWritten()
    {
        const QString p = path(QStringLiteral("tue.csv"));
        const int kills = 40;
        qint64 checked = 0;
        for (int run = 1; run <= kills; ++run) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QString::fromLatin1(kChildVariable), QStringLiteral("%1;%2").arg(p).arg(run));
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(child.waitForStarted());
            const int wanted = QRandomGenerator::global()->bounded(1, 300);
            int said = -1;
            QByteArray out;
            while (said < wanted) {
                QVERIFY2(child.waitForReadyRead(5000), qPrintable(child.readAllStandardError()));
                out += child.readAllStandardOutput();
                const qsizetype end = out.lastIndexOf('\n');
                if (end > 0) said = out.left(end).split('\n').last().toInt();
            }
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(5000));
            out += child.readAllStandardOutput();
            said = out.left(out.lastIndexOf('\n')).split('\n').last().toInt();

            // This writer's lines, in order, each whole.
            const QList<QByteArray> lines = bytesOf(p).split('\n');
            int next = 0;
            for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
                const QByteArray &l = lines[i];
                if (!l.startsWith(QByteArray::number(kT0.date().year()))) continue;  // header
                if (!l.contains(",A," + QByteArray::number(run) + ".,")) continue;   // another writer's
                QCOMPARE(l, files::journalLine(numbered(run, next)).chopped(1));
                ++next;
            }
            QVERIFY2(next > said, qPrintable(QStringLiteral("run %1: %2 lines, %3 said").arg(run).arg(next).arg(said)));
            checked += next;
        }
        const files::JournalTail tail = files::readJournalTail(p, 1000000);
        QCOMPARE(qint64(tail.analog.size()), checked);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(kChildVariable)) {
        const QStringList a = qEnvironmentVariable(kChildVariable).split(u';');
        runChild(a.value(0), a.value(1).toInt());
    }
    QCoreApplication app(argc, argv);
    TestJournal test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_journal.moc"
