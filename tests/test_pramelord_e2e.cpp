// pramelord as a whole process against the simulated board on a
// pseudo-terminal: the output command's period, the timetable, the ways it
// ends (6E 00 last), SIGHUP with a changed and a broken bench file, kill -9
// followed by --all-off, and a second program on the same port refused.
#include "core/board.h"
#include "link/serial_component.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using sim::Command;

namespace {

QString program()
{
    const QString p = qEnvironmentVariable("PRAMELORD");
    return p.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/../pramelord") : p;
}

struct Daemon {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    QByteArray err;

    void start(const QStringList &args)
    {
        QObject::connect(process.get(), &QProcess::readyReadStandardError,
                         [this] { err += process->readAllStandardError(); });
        process->start(program(), args);
    }
    QString log() const { return QString::fromUtf8(err); }
    bool said(const QString &text, int ms = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (!log().contains(text) && t.elapsed() < ms) QTest::qWait(20);
        return log().contains(text);
    }
    ~Daemon()
    {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(2000);
        }
    }
};

}  // namespace

class TestPramelordE2e : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<sim::PtyBoard> board;
    QString link() const { return dir.filePath(QStringLiteral("com")); }
    QString benchPath() const { return dir.filePath(QStringLiteral("serre.ini")); }

    void writeBench(const QByteArray &extra, const QByteArray &relais = "auto=0,0,0,0,0,0,0,0")
    {
        QFile f(benchPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[banc]\nnom=serre\nport=" + link().toUtf8() + "\nparametres=param.ini\n" + extra + "\n[relais]\n" +
                relais + "\n");
    }
    // Output 1 on from `on` to `off` (texts of the time of day).
    void writeTimes(const QString &on, const QString &off)
    {
        QFile f(dir.filePath(QStringLiteral("param.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("[heure0]\r\nvaleur=%1\r\n[heure20]\r\nvaleur=%2\r\n").arg(on, off).toUtf8());
    }
    static QString in(int seconds) { return QTime::currentTime().addSecs(seconds).toString(u"HH:mm:ss"); }

    // Running with output 1 on (its start time two seconds ago … its end far away).
    void startWithRelayOn(Daemon &d)
    {
        writeTimes(in(2), in(3000));
        writeBench("marche=1", "auto=1,0,0,0,0,0,0,0");
        d.start({benchPath()});
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 1, 6000);
    }

private slots:
    void init()
    {
        board = std::make_unique<sim::PtyBoard>(link());
        QVERIFY(board->isPlugged());
        writeTimes(QString(), QString());
    }
    void cleanup() { board.reset(); }

    void outputPeriod()
    {
        writeBench("marche=1");
        Daemon d;
        d.start({benchPath()});
        QVERIFY2(d.said(QStringLiteral("port %1 ouvert").arg(link())), qPrintable(d.log()));
        QVERIFY(d.log().startsWith(u"<6>pramelord "));
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) >= 8, 10000);
        std::vector<qint64> gaps;
        const auto &r = board->received();
        for (size_t i = 1; i < r.size(); ++i) gaps.push_back(r[i].tMs - r[i - 1].tMs);
        std::sort(gaps.begin(), gaps.end());
        const qint64 median = gaps[gaps.size() / 2];
        QVERIFY2(median >= 780 && median <= 820, qPrintable(QString::number(median)));
        QCOMPARE(board->relays(), 0);
    }

    // Both frames cycling every 2 s, memorised, with the journal: the board
    // hears both requests, the journal gets one line per decoding with the
    // values the board gave (the coefficient of param.ini applied), and
    // SIGTERM closes it with the all-off command last.
    void acquisitionsAndJournal()
    {
        board->setAnalogValues({100, 50, 255, 12, 1, 2, 3, 200});
        board->setLogicByte(165);
        QFile param(dir.filePath(QStringLiteral("param.ini")));
        QVERIFY(param.open(QIODevice::WriteOnly | QIODevice::Truncate));
        param.write("[coeff1]\r\nvaleur=2\r\n[u_ana1]\r\nvaleur=mA\r\n");
        param.close();
        writeBench("marche=1\n[analogique]\nmode=cyclique\nintervalle=2\nmemorisation=1\n[logique]\nmode=cyclique\n"
                   "intervalle=2\n[journal]\nfichier=journal.csv");
        Daemon d;
        d.start({benchPath(), QStringLiteral("--verbeux")});
        QVERIFY2(d.said(QStringLiteral("journal « %1 » commencé").arg(dir.filePath(QStringLiteral("journal.csv")))),
                 qPrintable(d.log()));
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Analog) >= 2 && board->count(Command::Logic) >= 2, 12000);
        QVERIFY(d.said(QStringLiteral("acquisition logique : 1 0 1 0 0 1 0 1")));
        ::kill(pid_t(d.process->processId()), SIGTERM);
        QVERIFY(d.process->waitForFinished(5000));
        QCOMPARE(d.process->exitCode(), 0);
        QVERIFY2(d.log().contains(u"journal « "), qPrintable(d.log()));
        QFile journal(dir.filePath(QStringLiteral("journal.csv")));
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = journal.readAll().split('\n');
        QVERIFY(lines.first().startsWith("horodatage,trame,voie1 (mA),voie2 (V),"));
        QVERIFY(std::any_of(lines.begin(), lines.end(),
                            [](const QByteArray &l) { return l.endsWith(",A,200.,50.,255.,12.,1.,2.,3.,200.\r"); }));
        QVERIFY(std::any_of(lines.begin(), lines.end(),
                            [](const QByteArray &l) { return l.endsWith(",L,1,0,1,0,0,1,0,1\r"); }));
        QTRY_VERIFY_WITH_TIMEOUT(board->received().back().kind == Command::Output && board->received().back().byte == 0,
                                 2000);  // the board reads the last bytes in its own time
    }

    // The timetable switches output 1 on, then off, at the times of param.ini.
    void timetable()
    {
        Daemon d;
        writeTimes(in(3), in(6));
        writeBench("marche=1", "auto=1,0,0,0,0,0,0,0");
        d.start({benchPath()});
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 1, 6000);
        QVERIFY(d.said(QStringLiteral("<6>sorties : 10000000 (0x01)")));
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0, 6000);
    }

    // SIGTERM and SIGINT: the orderly shutdown, exit 0. A crash or an
    // abort: the last-resort handler writes the all-off command.
    void ends_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("orderly");
        QTest::newRow("SIGTERM") << int(SIGTERM) << true;
        QTest::newRow("SIGINT") << int(SIGINT) << true;
        QTest::newRow("SIGSEGV") << int(SIGSEGV) << false;
        QTest::newRow("SIGABRT") << int(SIGABRT) << false;
    }
    void ends()
    {
        QFETCH(int, signal);
        QFETCH(bool, orderly);
        Daemon d;
        startWithRelayOn(d);
        QElapsedTimer t;
        t.start();
        ::kill(pid_t(d.process->processId()), signal);
        QVERIFY(d.process->waitForFinished(3000));
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(d.process->exitStatus(), orderly ? QProcess::NormalExit : QProcess::CrashExit);
        if (orderly) QCOMPARE(d.process->exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0, 1000);
        QTest::qWait(100);
        QCOMPARE(board->received().back().kind, Command::Output);
        QCOMPARE(board->received().back().byte, 0);
        if (orderly)
            QVERIFY2(d.log().contains(u"<5>commande tout-éteint 6E 00 envoyée en dernier"), qPrintable(d.log()));
    }

    // What the service manager hears: ready once the port is open, the
    // watchdog fed, stopping at the end.
    void serviceManager()
    {
        const QByteArray path = dir.filePath(QStringLiteral("notify")).toUtf8();
        const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
        QStringList heard;
        const auto listen = [&](int ms) {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < ms) {
                char buf[512];
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n > 0)
                    heard << QString::fromUtf8(buf, int(n));
                else
                    QTest::qWait(10);
            }
        };
        writeBench("marche=1");
        Daemon d;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NOTIFY_SOCKET"), QString::fromUtf8(path));
        env.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("900000"));
        d.process->setProcessEnvironment(env);
        d.start({benchPath()});
        listen(2000);
        QVERIFY2(!heard.isEmpty() && heard[0].startsWith(QStringLiteral("READY=1\nSTATUS=port %1 ouvert").arg(link())),
                 qPrintable(heard.join(u'|')));
        QVERIFY2(heard.count(QStringLiteral("WATCHDOG=1")) >= 4, qPrintable(heard.join(u'|')));
        d.process->terminate();
        QVERIFY(d.process->waitForFinished(3000));
        listen(200);
        QVERIFY2(heard.contains(QStringLiteral("STOPPING=1")), qPrintable(heard.join(u'|')));
        ::close(fd);
    }

    void reload()
    {
        Daemon d;
        startWithRelayOn(d);
        // A broken file: refused with its reason, the bench runs on.
        writeBench("marche=peut-être");
        ::kill(pid_t(d.process->processId()), SIGHUP);
        QVERIFY2(d.said(QStringLiteral("relu mais refusé")), qPrintable(d.log()));
        QVERIFY(d.log().contains(u"marche=peut-être : 0 ou 1 attendu"));
        const int before = board->count(Command::Output);
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) >= before + 2, 3000);
        QCOMPARE(board->relays(), 1);
        // A changed file: output 1 goes off at its new end time, and the
        // switch turns off when the file says so.
        writeTimes(in(-10), in(2));
        writeBench("marche=1", "auto=1,0,0,0,0,0,0,0");
        ::kill(pid_t(d.process->processId()), SIGHUP);
        QVERIFY2(d.said(QStringLiteral("relu : horaire et réglages appliqués")), qPrintable(d.log()));
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0, 5000);
        writeBench("marche=0");
        ::kill(pid_t(d.process->processId()), SIGHUP);
        QVERIFY(d.said(QStringLiteral("interrupteur général à l'arrêt")));
        QTest::qWait(1500);
        const int stopped = board->count(Command::Output);
        QTest::qWait(1700);
        QCOMPARE(board->count(Command::Output), stopped);
    }

    // kill -9 skips everything; the unit's ExecStopPost= then switches off.
    void killThenAllOff_data()
    {
        QTest::addColumn<bool>("byPort");
        QTest::newRow("--all-off BANC.ini") << false;
        QTest::newRow("--all-off --port") << true;
    }
    void killThenAllOff()
    {
        QFETCH(bool, byPort);
        Daemon d;
        startWithRelayOn(d);
        d.process->kill();
        QVERIFY(d.process->waitForFinished(2000));
        QTest::qWait(300);
        QCOMPARE(board->relays(), 1);  // nothing could speak for it
        Daemon off;
        off.start(byPort ? QStringList{QStringLiteral("--all-off"), QStringLiteral("--port"), link()}
                         : QStringList{QStringLiteral("--all-off"), benchPath()});
        QVERIFY(off.process->waitForFinished(5000));
        QCOMPARE(off.process->exitCode(), 0);
        QVERIFY2(off.log().contains(u"commande tout-éteint 6E 00 envoyée"), qPrintable(off.log()));
        QTRY_COMPARE_WITH_TIMEOUT(board->relays(), 0, 2000);
        QCOMPARE(board->received().back().kind, Command::Output);
    }

    // The adapter pulled out and put back: said each time, the output
    // commands go on once it is back.
    void portLostAndBack()
    {
        writeBench("marche=1");
        Daemon d;
        d.start({benchPath()});
        QVERIFY(d.said(QStringLiteral("<5>port %1 ouvert").arg(link())));
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) > 0, 3000);
        board->unplug();
        QVERIFY2(d.said(QStringLiteral("<3>%1 : ").arg(link())), qPrintable(d.log()));
        QVERIFY(board->plug());
        const int before = board->count(Command::Output);
        QVERIFY2(d.said(QStringLiteral("<5>port %1 de nouveau ouvert").arg(link())), qPrintable(d.log()));
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) > before, 3000);
    }

    // --all-off waits for a port another program is letting go (a bench
    // ending), then writes the all-off command itself.
    void allOffWaitsForAPortBeingLetGo()
    {
        qputenv("PRAMELOR_COM3", link().toUtf8());
        SerialComponent window;
        window.setPortNumber(3);
        QVERIFY(window.open());
        qunsetenv("PRAMELOR_COM3");
        Daemon off;
        off.start({QStringLiteral("--all-off"), QStringLiteral("--port"), link()});
        QTimer::singleShot(1000, &window, &SerialComponent::close);
        QTRY_COMPARE_WITH_TIMEOUT(off.process->state(), QProcess::NotRunning, 5000);
        QCOMPARE(off.process->exitCode(), 0);
        QVERIFY2(off.log().contains(u"(le port s'est libéré après"), qPrintable(off.log()));
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) == 1, 1000);
        QCOMPARE(board->received().back().byte, 0);
    }

    // One port, one program: a second pramelord, or the window's serial
    // component, is told in French which program holds the port.
    void secondProgramRefused()
    {
        writeBench("marche=1");
        Daemon first;
        first.start({benchPath()});
        QVERIFY(first.said(QStringLiteral("ouvert")));
        const QString held = QStringLiteral("port occupé par pramelord (processus %1)").arg(first.process->processId());
        Daemon second;
        second.start({benchPath()});
        QVERIFY2(second.said(QStringLiteral("<3>%1 : %2").arg(link(), held)), qPrintable(second.log()));

        qputenv("PRAMELOR_COM3", link().toUtf8());
        SerialComponent window;
        window.setPortNumber(3);
        QVERIFY(!window.open());
        QCOMPARE(window.lastError(), QStringLiteral("COM3 (%1) : %2").arg(link(), held));
        qunsetenv("PRAMELOR_COM3");

        // --all-off waits for the port, then says who keeps it.
        Daemon off;
        off.start({QStringLiteral("--all-off"), QStringLiteral("--port"), link()});
        QVERIFY(off.process->waitForFinished(6000));
        QCOMPARE(off.process->exitCode(), 1);
        QVERIFY2(off.log().contains(held + QStringLiteral(" depuis 3 s")), qPrintable(off.log()));
    }

    // The window first (its serial component, in this process): pramelord
    // names it, by the name the kernel gives this process.
    void windowFirst()
    {
        qputenv("PRAMELOR_COM3", link().toUtf8());
        SerialComponent window;
        window.setPortNumber(3);
        QVERIFY(window.open());
        qunsetenv("PRAMELOR_COM3");
        writeBench("marche=1");
        Daemon d;
        d.start({benchPath()});
        QFile comm(QStringLiteral("/proc/self/comm"));
        QVERIFY(comm.open(QIODevice::ReadOnly));
        const QString self = QString::fromUtf8(comm.readAll()).trimmed();
        QVERIFY2(d.said(QStringLiteral("<3>%1 : port occupé par %2 (processus %3)")
                            .arg(link(), self)
                            .arg(QCoreApplication::applicationPid())),
                 qPrintable(d.log()));
        // Freed, the port is taken at the next output command and said so.
        window.close();
        QVERIFY2(d.said(QStringLiteral("<5>port %1 ouvert").arg(link())), qPrintable(d.log()));
        QTRY_VERIFY_WITH_TIMEOUT(board->count(Command::Output) > 0, 3000);
    }

    void check_data()
    {
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");
        QTest::newRow("good") << QByteArray("marche=1") << 0 << "aucune erreur";
        QTest::newRow("wrong switch") << QByteArray("marche=2") << 2 << "ligne 5 : marche=2 : 0 ou 1 attendu";
        QTest::newRow("wrong line") << QByteArray("marche") << 2 << "ligne 5 : « marche » n'est ni";
    }
    void check()
    {
        QFETCH(QByteArray, extra);
        QFETCH(int, code);
        QFETCH(QString, said);
        writeBench(extra);
        QProcess p;
        p.start(program(), {QStringLiteral("--check"), benchPath()});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), code);
        const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QVERIFY2(out.contains(said), qPrintable(out));
        QCOMPARE(board->count(Command::Output), 0);  // a check never opens the port
    }
};

QTEST_GUILESS_MAIN(TestPramelordE2e)
#include "test_pramelord_e2e.moc"
