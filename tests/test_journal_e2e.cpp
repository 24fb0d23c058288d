// The continuous journal and the acquisition times against the simulated
// board: both frames cycling every 2 s with the journal on, and a journal
// that meets a full disk (a child run of this test with a lowered file-size
// limit) while the acquisitions go on.
#include "acquisition/acquired.h"
#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "acquisition/tables.h"
#include "files/journal.h"
#include "support/panel_fixture.h"
#include "text/numbers.h"

#include "support/file_bytes.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <csignal>
#include <sys/resource.h>

using sim::Command;

namespace {

using panel::bytesOf;

constexpr char kLimitVariable[] = "PRAMELOR_FILE_SIZE_LIMIT";
using panel::kValues;

}  // namespace

class TestJournalE2e : public QObject {
    Q_OBJECT
    panel::Bench b;

    QAction *journalEntry() const { return b.child<QAction>(QStringLiteral("n_journal")); }
    QString journalPath() const { return b.dir.filePath(QStringLiteral("journal.csv")); }
    void startJournal()
    {
        const QString p = journalPath();
        b.makeForm([&](Form1::Setup &s) {
            s.userDir = b.dir.filePath(QStringLiteral("config"));
            s.askPath = [p](bool, const QString &) { return p; };
        });
        journalEntry()->trigger();
        QVERIFY(journalEntry()->isChecked());
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        QVERIFY(b.open());
    }
    void cleanup() { b.close(); }

    // Five cycles of each frame: one journal line per decoding, with the
    // values the frame showed, and each time within 50 ms of the request.
    void cyclingBothFramesWithTheJournal()
    {
        startJournal();
        // Each request gets its own answer, so every line can be told apart.
        std::vector<std::array<int, 8>> analogSent;
        std::vector<int> logicSent;
        connect(b.board.get(), &sim::PtyBoard::commandReceived, this, [&](Command kind, int) {
            if (kind == Command::Analog) {
                std::array<int, 8> v = kValues;
                for (int &x : v) x = (x + 17 * int(analogSent.size())) % 256;
                analogSent.push_back(v);
                b.board->setAnalogValues(v);
            } else if (kind == Command::Logic) {
                logicSent.push_back((37 * int(logicSent.size()) + 5) % 256);
                b.board->setLogicByte(logicSent.back());
            }
        });
        // What the frames showed at each decoding.
        QStringList analogShown, logicShown;
        connect(&b.form->bench().analog(), &FrameEngine::valuesDecoded, this, [&] {
            QStringList l;
            for (int k = 1; k <= 8; ++k) l << b.child<QLabel>(QStringLiteral("ana%1").arg(k))->text();
            analogShown << l.join(u'|');
        });
        connect(&b.form->bench().logic(), &FrameEngine::valuesDecoded, this, [&] {
            QString s;
            for (int i = 0; i < 8; ++i) s += b.child<QLabel>(QStringLiteral("log1_%1").arg(i))->text();
            logicShown << s;
        });
        const QDateTime wall0 = QDateTime::currentDateTime();
        const qint64 board0 = b.board->nowMs();

        b.click(QStringLiteral("Image2"));
        b.memorise(true);
        b.startCyclic(true, QStringLiteral("Toutes les 2 secondes"));
        QTest::qWait(200);
        b.startCyclic(false, QStringLiteral("Toutes les 2 secondes"));
        QTRY_VERIFY_WITH_TIMEOUT(analogShown.size() == 5 && logicShown.size() == 5, 14000);
        journalEntry()->trigger();  // closed before a sixth
        QVERIFY(!journalEntry()->isChecked());

        QList<QByteArray> lines = bytesOf(journalPath()).split('\n');
        QCOMPARE(lines.size(), 12);  // header, ten lines, nothing after the last line end
        QVERIFY(lines[0].startsWith("horodatage,trame,voie1 (V)"));
        const Tables &t = b.form->tables();
        const auto analogRequests = b.of(Command::Analog), logicRequests = b.of(Command::Logic);
        int a = 0, l = 0;
        qint64 worst = 0;
        for (qsizetype i = 1; i <= 10; ++i) {
            const QList<QByteArray> f = lines[i].chopped(1).split(',');
            QCOMPARE(f.size(), 10);
            const QDateTime when = acquisition::fromIsoTime(QString::fromLatin1(f[0]));
            const bool analog = f[1] == "A";
            const int n = analog ? a++ : l++;
            // The time: the moment the request went out, as the board saw it.
            const sim::Received &r = (analog ? analogRequests : logicRequests)[size_t(n)];
            const qint64 off = wall0.msecsTo(when) - (r.tMs - board0);
            QVERIFY2(std::abs(off) <= 50,
                     qPrintable(QStringLiteral("line %1: %2 ms from the request").arg(i).arg(off)));
            worst = std::max(worst, std::abs(off));
            QCOMPARE(when, analog ? t.times.analog(n) : t.times.logic(n));
            if (analog) {
                QStringList shown;
                for (int k = 0; k < 8; ++k) {
                    QCOMPARE(f[k + 2], QByteArray::number(analogSent[size_t(n)][size_t(k)]) + '.');
                    shown << text::twoDecimals(f[k + 2].toDouble() * 0.0196) + QStringLiteral(" V");
                }
                QCOMPARE(shown.join(u'|'), analogShown[n]);
            } else {
                QCOMPARE(QString::fromLatin1(f.mid(2).join()), logicShown[n]);
                QCOMPARE(logicShown[n], panel::bitsOf(logicSent[size_t(n)]));
            }
        }
        QCOMPARE(a, 5);
        QCOMPARE(l, 5);
        qInfo("times at most %lld ms from the requests as the board received them", worst);
    }

    // A board that says nothing, then one that answers noise, then a good
    // one: only the good replies become journal lines.
    void noLineWithoutAReply()
    {
        b.board->setAnalogValues(kValues);
        b.board->setLogicByte(165);
        QFile::remove(journalPath());  // a new journal
        startJournal();
        b.click(QStringLiteral("Image2"));
        int decoded = 0;
        const auto count = [&] { ++decoded; };
        connect(&b.form->bench().analog(), &FrameEngine::valuesDecoded, this, count);
        connect(&b.form->bench().logic(), &FrameEngine::valuesDecoded, this, count);
        for (sim::Mode mode : {sim::Mode::Silent, sim::Mode::Garbled, sim::Mode::Normal}) {
            b.board->setMode(mode);
            for (const char *button : {"Command12", "Command13"}) {
                const int before = decoded;
                b.click(QString::fromLatin1(button));
                QTRY_VERIFY_WITH_TIMEOUT(decoded == before + 1, 5000);
            }
        }
        QCOMPARE(b.form->statusText(), QString());  // the last ones answered
        journalEntry()->trigger();
        const QList<QByteArray> lines = bytesOf(journalPath()).split('\n');
        QCOMPARE(lines.size(), 4);  // the header, one line per frame, nothing after
        QVERIFY2(lines[1].endsWith(",A,100.,50.,255.,12.,1.,2.,3.,200.\r"), lines[1].constData());
        QVERIFY2(lines[2].endsWith(",L,1,0,1,0,0,1,0,1\r"), lines[2].constData());
    }

    // The child's part: the journal stops at the file-size limit, says why,
    // and the acquisitions, the tables and the relays go on.
    void journalStopsWhileAcquisitionsGoOn()
    {
        if (qEnvironmentVariableIsEmpty(kLimitVariable)) QSKIP("runs in a child with a lowered file-size limit");
        b.board->setAnalogValues(kValues);
        b.board->setLogicByte(165);
        startJournal();
        b.click(QStringLiteral("Image2"));
        b.memorise(true);
        b.startCyclic(true, QStringLiteral("Toutes les 2 secondes"));
        QTest::qWait(200);
        b.startCyclic(false, QStringLiteral("Toutes les 2 secondes"));
        QTRY_VERIFY_WITH_TIMEOUT(!journalEntry()->isChecked(), 15000);

        const QString said = b.form->statusText();
        QVERIFY2(said.startsWith(QStringLiteral("Journal continu arrêté. Impossible d'écrire dans le journal")) &&
                     said.endsWith(QStringLiteral("fichier trop grand pour ce disque")),
                 qPrintable(said));
        auto *box = b.form->findChild<QMessageBox *>(QStringLiteral("journalMessage"));
        QVERIFY(box && box->isVisible() && !box->isModal());
        const QByteArray journal = bytesOf(journalPath());
        QVERIFY(journal.endsWith("\r\n"));
        QVERIFY(files::readJournalTail(journalPath(), 100).damaged == 0);

        const int analogBefore = b.board->count(Command::Analog), logicBefore = b.board->count(Command::Logic);
        const int outputsBefore = b.board->count(Command::Output);
        const int slotBefore = b.form->tables().indice_a;
        QTRY_VERIFY_WITH_TIMEOUT(b.board->count(Command::Analog) >= analogBefore + 2 &&
                                     b.board->count(Command::Logic) >= logicBefore + 2,
                                 7000);
        QTest::qWait(1600);  // the last replies decoded
        const Tables &t = b.form->tables();
        QVERIFY(t.indice_a >= slotBefore + 2);
        for (int k = 1; k <= 8; ++k)
            QCOMPARE(t.tab_ana(k, t.indice_a - 1).asText(), QString::number(kValues[size_t(k - 1)]) + u'.');
        QVERIFY(t.times.analog(t.indice_a - 1).isValid());
        QVERIFY(b.board->count(Command::Output) > outputsBefore);
        QCOMPARE(b.form->marche(), 1);
        QCOMPARE(bytesOf(journalPath()), journal);  // nothing more tried once stopped
        qInfo("journal stopped at %lld bytes: %s", qint64(journal.size()), qPrintable(said));
    }

    void writeFailureStopsOnlyTheJournal()
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kLimitVariable), QStringLiteral("220"));  // a header, two lines and a piece
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("journalStopsWhileAcquisitionsGoOn")});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray out = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, out.constData());
        QVERIFY2(out.contains("PASS   : TestJournalE2e::journalStopsWhileAcquisitionsGoOn()"), out.constData());
        for (const QByteArray &line : out.split('\n'))
            if (line.contains("journal stopped")) qInfo("child: %s", line.constData());
    }
};

int main(int argc, char **argv)
{
    if (const QByteArray limit = qgetenv(kLimitVariable); !limit.isEmpty()) {
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG
        rlimit r{};
        getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = rlim_t(limit.toULongLong());
        setrlimit(RLIMIT_FSIZE, &r);
    }
    QApplication app(argc, argv);
    TestJournalE2e test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_journal_e2e.moc"
