// Times and the continuous journal from the window, as a person uses them:
// the "Fichier" entries, the journal ticked and unticked, its path found
// again at the next start, "Ouvrir un journal…", the times file through the
// file dialog, and the time of the acquisition under the mouse.
#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "files/journal.h"
#include "files/settings_location.h"
#include "files/times_file.h"
#include "graph/graph_frame_widget.h"
#include "graph/picture_widget.h"
#include "shell/form1.h"
#include "shell/journal_widget.h"
#include "support/both_locales.h"
#include "support/controls.h"

#include "support/file_bytes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

using panel::bytesOf;

const QDateTime kT0(QDate(2026, 12, 7), QTime(14, 32, 7, 412));

}  // namespace

class TestJournalWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Form1> form;
    QString chosen;       // what the file dialog answers; empty = cancel
    QStringList offered;  // the start names the dialogs were given

    std::unique_ptr<Form1> start()
    {
        Form1::Setup s;
        s.programDir = dir->path();
        s.userDir = dir->filePath(QStringLiteral("config"));
        s.quitApplication = false;
        s.askPath = [this](bool, const QString &start) {
            offered << start;
            return chosen;
        };
        return std::make_unique<Form1>(s);
    }
    template <typename T = QWidget>
    T *find(const QString &name) const
    {
        return panel::control<T>(form.get(), name);
    }
    QAction *action(const char *name) const { return find<QAction>(QString::fromLatin1(name)); }
    QString path(const char *name) const { return dir->filePath(QString::fromLatin1(name)); }
    // One decoding of each frame as the board's replies would bring it.
    void reply(Channel c, const QString &reply)
    {
        form->appendToBuffer(reply);
        form->bench().decodeReply(c, form->bench().buffer(), form->clock().now());
    }
    void analogReply(const QString &r) { reply(Channel::Analog, r); }
    void logicReply(const QString &r) { reply(Channel::Logic, r); }
    QString indicator() const
    {
        auto *l = find<QLabel>(QStringLiteral("journalStatus"));
        return l->isHidden() ? QString() : l->text();
    }
    // A real mouse move over the drawing surface, at (x, y) in twips.
    void moveOver(double x, double y)
    {
        QWidget *area = find<GraphFrame>(QStringLiteral("Frame6"))->picture()->area();
        const QPointF at(x / 15, y / 15);
        QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(area, &move);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        form = start();
        form->show();
        chosen.clear();
        offered.clear();
    }
    void cleanup()
    {
        form.reset();
        dir.reset();
        QLocale::setDefault(QLocale::c());
    }

    void menuEntries()
    {
        QStringList names;
        for (QAction *a : find<QMenu>(QStringLiteral("n_fichier"))->actions()) names << a->objectName();
        QCOMPARE(names.mid(names.indexOf(QStringLiteral("n_imprime")) + 1),
                 QStringList({"n_export_csv", "n_export_png", "n_journal", "n_ouvrir_journal", "n_parcourir_journal",
                              "n_quitter"}));
        QCOMPARE(action("n_journal")->text(), QStringLiteral("Journal continu…"));
        QVERIFY(action("n_journal")->isCheckable());
        QCOMPARE(action("n_ouvrir_journal")->text(), QStringLiteral("Ouvrir un journal…"));
    }

    void journalFromTickToNextStart()
    {
        chosen = path("journal.csv");
        action("n_journal")->trigger();
        QVERIFY(action("n_journal")->isChecked());
        QCOMPARE(offered, QStringList{QStringLiteral("journal.csv")});
        QCOMPARE(indicator(), QStringLiteral("Journal : journal.csv — 0 ligne"));
        QVERIFY2(form->statusText().contains(QStringLiteral("journal.csv")), qPrintable(form->statusText()));
        QCOMPARE(QSettings(files::userSettingsFile(dir->filePath(QStringLiteral("config"))), QSettings::IniFormat)
                     .value(QLatin1String(JournalPanel::kLastPathKey))
                     .toString(),
                 chosen);

        find<QLineEdit>(QStringLiteral("u_ana2"))->setText(QStringLiteral("mA"));
        analogReply(QStringLiteral("nAs1:100s2:50s3:255s4:12s5:1s6:2s7:3s8:200"));  // not memorised
        find<QCheckBox>(QStringLiteral("memo_l"))->setChecked(true);
        logicReply(QStringLiteral("E:165"));
        QCOMPARE(indicator(), QStringLiteral("Journal : journal.csv — 2 lignes"));
        action("n_journal")->trigger();  // unticked: closed
        QVERIFY(!action("n_journal")->isChecked());
        QCOMPARE(indicator(), QString());
        QVERIFY2(form->statusText().contains(QStringLiteral("fermé (2 lignes)")), qPrintable(form->statusText()));

        const QList<QByteArray> lines = bytesOf(chosen).split('\n');
        QCOMPARE(lines.size(), 5);  // the first header, the new units' header, two lines, nothing after
        QVERIFY(lines[0].startsWith("horodatage,trame,voie1 (V),voie2 (V),"));
        QVERIFY(lines[1].startsWith("horodatage,trame,voie1 (V),voie2 (mA),"));
        QVERIFY(lines[2].endsWith(",A,100.,50.,255.,12.,1.,2.,3.,200.\r"));
        QVERIFY(lines[3].endsWith(",L,1,0,1,0,0,1,0,1\r"));
        QCOMPARE(acquisition::fromIsoTime(QString::fromLatin1(lines[3].left(lines[3].indexOf(',')))),
                 form->tables().times.logic(0));

        // The next start does not record by itself; ticking offers the last journal.
        form = start();
        QVERIFY(!action("n_journal")->isChecked());
        QVERIFY(!form->journalRunning());
        offered.clear();
        action("n_journal")->trigger();
        QCOMPARE(offered, QStringList{chosen});
        QCOMPARE(indicator(), QStringLiteral("Journal : journal.csv — 2 lignes"));
        find<QLineEdit>(QStringLiteral("u_ana2"))->setText(QStringLiteral("mA"));
        analogReply(QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8"));
        form.reset();  // closing the window closes the journal
        const QByteArray bytes = bytesOf(chosen);
        QCOMPARE(bytes.count("horodatage"), 2);  // no header on reopening: the units are those of the last one
        QVERIFY(bytes.endsWith(",A,1.,2.,3.,4.,5.,6.,7.,8.\r\n"));
    }

    void cancelledDialogLeavesItUnticked()
    {
        action("n_journal")->trigger();
        QVERIFY(!action("n_journal")->isChecked());
        QVERIFY(!form->journalRunning());
    }

    void failureStopsTheJournal()
    {
        QVERIFY(panel::put(path("fichier"), ""));
        chosen = path("fichier/journal.csv");
        action("n_journal")->trigger();
        QVERIFY(!action("n_journal")->isChecked());
        const QString said = form->statusText();
        QVERIFY2(said.startsWith(QStringLiteral("Journal continu arrêté. Impossible d'ouvrir le journal")) &&
                     said.endsWith(QStringLiteral("un élément du chemin n'est pas un dossier")),
                 qPrintable(said));
        auto *box = form->findChild<QMessageBox *>(QStringLiteral("journalMessage"));
        QVERIFY(box && box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(box->text(), said);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // The end of a long journal goes into the tables with its times, listed
    // as after "Ouvrir graphique".
    void openingALongJournal()
    {
        find<QScrollBar>(QStringLiteral("HScroll1"))->setValue(1000);
        const int lines = 100000;
        QByteArray bytes = files::journalHeader(files::Units{"V", "V", "V", "V", "V", "V", "V", "V"});
        bytes.reserve(lines * 80);
        // A second apart; the texts are made by hand, as a local date and
        // time costs much to compute.
        const auto isoOf = [](int i) {
            const qint64 ms = kT0.time().msecsSinceStartOfDay() + qint64(i) * 1000;
            const QDate d = kT0.date().addDays(ms / 86400000);
            const QTime t = QTime::fromMSecsSinceStartOfDay(int(ms % 86400000));
            return acquisition::isoTime(QDateTime(d, t, Qt::UTC));  // the same figures, no time zone to look up
        };
        const auto timeOf = [&isoOf](int i) { return acquisition::fromIsoTime(isoOf(i)); };
        for (int i = 0; i < lines; ++i) {
            acquisition::Acquired a;
            a.time = kT0;
            a.channel = i % 2 ? Channel::Logic : Channel::Analog;
            for (int k = 0; k < 8; ++k)
                a.values[size_t(k)] =
                    a.channel == Channel::Logic ? QString::number((i >> k) & 1) : QStringLiteral("%1.%2").arg(i).arg(k);
            bytes += files::journalLine(a).replace(0, 29, isoOf(i).toLatin1());
        }
        chosen = path("long.csv");
        QVERIFY(panel::put(chosen, bytes));
        const int before = form->num_tableau;
        action("n_ouvrir_journal")->trigger();
        QCOMPARE(form->statusText(),
                 QStringLiteral("Journal « long.csv » : 1001 acquisitions analogiques et 1001 logiques chargées"));
        const Tables &t = form->tables();
        for (int n : {0, 500, 1000}) {
            const int analog = lines - 2 * (1001 - n), logic = analog + 1;
            QCOMPARE(t.tab_ana(3, n), Element::text(QStringLiteral("%1.2").arg(analog)));
            QCOMPARE(t.times.analog(n), timeOf(analog));
            QCOMPARE(t.tab_log[8 * size_t(n)], Element::text(QString::number(logic & 1)));
            QCOMPARE(t.times.logic(n), timeOf(logic));
        }
        QCOMPARE(form->num_tableau, (before + 1) % 9);
    }

    void timesFileThroughTheDialog_data() { panel::addLocaleRows(); }
    void timesFileThroughTheDialog()
    {
        QFETCH(bool, french);
        panel::useLocale(french);
        find<QCheckBox>(QStringLiteral("memo_a"))->setChecked(true);
        analogReply(QStringLiteral("nAs1:100s2:50s3:255s4:12s5:1s6:2s7:3s8:200"));
        const QDateTime taken = form->tables().times.analog(0);
        QVERIFY(taken.isValid());
        chosen = path("essai.txt");
        form->n_enregistrer_Click();
        QVERIFY2(form->statusText().contains(QStringLiteral("essai.txh")), qPrintable(form->statusText()));
        QVERIFY(bytesOf(path("essai.txh"))
                    .endsWith(QByteArray("\r\nA;0;") + acquisition::isoTime(taken).toLatin1() + QByteArray("\r\n")));

        find<QPushButton>(QStringLiteral("Command3"))->click();  // "RAZ tableaux": no more times
        QVERIFY(!form->tables().times.analog(0).isValid());
        form->n_ouvrir_Click();
        QCOMPARE(form->tables().times.analog(0), taken);
        QCOMPARE(form->statusText(), QStringLiteral("Tableaux lus dans « essai.txt »"));

        QVERIFY(panel::put(path("essai.txh"), bytesOf(path("essai.txh")) + "A;1;hier\r\n"));
        form->n_ouvrir_Click();
        QCOMPARE(form->tables().times.analog(0), taken);
        QVERIFY2(form->statusText().contains(QStringLiteral("abîmé")), qPrintable(form->statusText()));
    }

    // The journal's file taken from under it: within a second the journal
    // stops, the entry unticks and the status line and a message say how
    // many lines went nowhere. Unticking says so too instead of "fermé".
    void fileGoneStopsTheJournal_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("untick");
        QTest::addColumn<bool>("ownTimer");  // waits for the panel's own once-a-second look
        QTest::newRow("deleted") << "delete" << false << true;
        QTest::newRow("deleted and made again") << "recreate" << false << false;
        QTest::newRow("deleted, then unticked") << "delete" << true << false;
    }
    void fileGoneStopsTheJournal()
    {
        QFETCH(QString, what);
        QFETCH(bool, untick);
        QFETCH(bool, ownTimer);
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("d")));
        chosen = path("d/journal.csv");
        action("n_journal")->trigger();
        QVERIFY(action("n_journal")->isChecked());
        auto *watch = form->findChild<QTimer *>(QStringLiteral("journalSync"));
        QVERIFY(watch->isActive() && watch->remainingTime() <= 1000);  // looked at even with no line to flush
        auto *journal = form->findChild<JournalPanel *>(QStringLiteral("journal"));
        analogReply(QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8"));
        journal->sync_Timer();  // all in place
        QVERIFY(action("n_journal")->isChecked());

        if (what == u"delete" || what == u"recreate") QVERIFY(QFile::remove(chosen));
        if (what == u"recreate") QVERIFY(panel::put(chosen, "d'un autre programme\r\n"));
        logicReply(QStringLiteral("E:165"));
        logicReply(QStringLiteral("E:3"));
        QCOMPARE(indicator(), QStringLiteral("Journal : journal.csv — 3 lignes"));
        if (untick)
            action("n_journal")->trigger();
        else if (ownTimer)
            QTRY_VERIFY_WITH_TIMEOUT(!action("n_journal")->isChecked(), 1000);
        else
            journal->sync_Timer();

        QVERIFY(!action("n_journal")->isChecked());
        QVERIFY(!form->journalRunning());
        QCOMPARE(indicator(), QString());
        const QString said =
            QStringLiteral("Journal continu arrêté. Le fichier du journal « journal.csv » a été supprimé ou déplacé : "
                           "2 lignes écrites depuis la dernière vérification sont perdues.");
        QCOMPARE(form->statusText(), said);
        auto *box = form->findChild<QMessageBox *>(QStringLiteral("journalMessage"));
        QVERIFY(box && box->isVisible() && !box->isModal());
        QCOMPARE(box->text(), said);
        QVERIFY(!watch->isActive());
        if (what == u"recreate") QCOMPARE(bytesOf(chosen), QByteArray("d'un autre programme\r\n"));  // left alone
    }

    // Renamed within its folder, the journal goes on in it under its new name.
    void renamedJournalIsFollowed()
    {
        chosen = path("journal.csv");
        action("n_journal")->trigger();
        auto *journal = form->findChild<JournalPanel *>(QStringLiteral("journal"));
        analogReply(QStringLiteral("nAs1:1s2:2s3:3s4:4s5:5s6:6s7:7s8:8"));
        QVERIFY(QFile::rename(chosen, path("juin.csv")));
        journal->sync_Timer();
        QVERIFY(action("n_journal")->isChecked());
        QCOMPARE(indicator(), QStringLiteral("Journal : juin.csv — 1 ligne"));
        QCOMPARE(
            form->statusText(),
            QStringLiteral("Journal continu « journal.csv » renommé en « juin.csv » : l'enregistrement s'y poursuit"));
        QCOMPARE(journal->lastPath(), path("juin.csv"));
        logicReply(QStringLiteral("E:165"));
        action("n_journal")->trigger();
        QVERIFY(form->statusText().endsWith(QStringLiteral("« juin.csv » fermé (2 lignes)")));
        const QByteArray bytes = bytesOf(path("juin.csv"));
        QVERIFY(bytes.endsWith(",L,1,0,1,0,0,1,0,1\r\n"));
        QCOMPARE(bytes.count('\n'), 3);
        QVERIFY(!QFile::exists(chosen));
    }

    // A reply missing, or of the other frame's form, is no measurement: the
    // frames show and store what they always did, but the journal writes no
    // line for it.
    void repliesThatAreNoData_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("analog");
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<QByteArray>("line");  // empty: no line
        const QLocale point = QLocale::c(), comma(QLocale::French, QLocale::France);
        const QString reply = QStringLiteral("s1:100s2:50s3:255s4:12s5:1s6:2s7:3s8:200");
        for (const QLocale &l : {point, comma}) {
            const QByteArray tag = l == point ? " (point)" : " (virgule)";
            QTest::newRow("analog, no reply" + tag) << l << true << "nA" << QByteArray();
            QTest::newRow("analog, logic reply" + tag) << l << true << "nAE:165" << QByteArray();
            QTest::newRow("analog, noise" + tag) << l << true << "nA#!(%7:,&" << QByteArray();
            QTest::newRow("analog, reply" + tag)
                << l << true << "nA" + reply << QByteArray(",A,100.,50.,255.,12.,1.,2.,3.,200.");
            QTest::newRow("analog, s5 missing" + tag)
                << l << true << "nAs1:1.5s2:2s3:3s4:4s6:6s7:7s8:8" << QByteArray(",A,1.5,2.,3.,,0.,6.,7.,8.");
            QTest::newRow("logic, no reply" + tag) << l << false << "nL" << QByteArray();
            QTest::newRow("logic, analog reply" + tag) << l << false << "nL" + reply << QByteArray();
            QTest::newRow("logic, marker and noise" + tag) << l << false << "nLE:#x!" << QByteArray();
            QTest::newRow("logic, negative" + tag) << l << false << "nLE:-5" << QByteArray();
            QTest::newRow("logic, reply" + tag) << l << false << "nLE:165" << QByteArray(",L,1,0,1,0,0,1,0,1");
            QTest::newRow("logic, zero" + tag) << l << false << "nLE: 0" << QByteArray(",L,0,0,0,0,0,0,0,0");
        }
    }
    void repliesThatAreNoData()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, analog);
        QFETCH(QString, buffer);
        QFETCH(QByteArray, line);
        QLocale::setDefault(locale);
        chosen = path("journal.csv");
        action("n_journal")->trigger();
        find<QCheckBox>(analog ? QStringLiteral("memo_a") : QStringLiteral("memo_l"))->setChecked(true);
        analog ? analogReply(buffer) : logicReply(buffer);
        QCOMPARE(indicator(), QStringLiteral("Journal : journal.csv — %1 ligne").arg(line.isEmpty() ? 0 : 1));
        action("n_journal")->trigger();
        const QList<QByteArray> lines = bytesOf(chosen).split('\n');
        QCOMPARE(lines.size(), line.isEmpty() ? 2 : 3);  // the header, the line if any, nothing after
        if (!line.isEmpty()) QCOMPARE(lines[1].mid(lines[1].indexOf(',')), line + '\r');  // after the time
        // The frames keep their ways: channel 8 of a missing analog reply reads 0.
        const QString sep = locale.decimalPoint();
        const Tables &t = form->tables();
        if (analog && buffer == u"nA") {
            QCOMPARE(find<QLabel>(QStringLiteral("ana8"))->text(), "0" + sep + " V");
            QCOMPARE(t.tab_ana(8, 0), Element::text("0" + sep));
        }
        if (!analog && buffer == u"nLE:#x!") QCOMPARE(t.tab_log[0], Element::text("0"));
    }

    // A short journal leaves nothing of the recording before it.
    void shortJournalEmptiesTheRest()
    {
        find<QCheckBox>(QStringLiteral("memo_a"))->setChecked(true);
        find<QCheckBox>(QStringLiteral("memo_l"))->setChecked(true);
        for (int i = 0; i < 4; ++i) {
            analogReply(QStringLiteral("nAs1:9s2:9s3:9s4:9s5:9s6:9s7:9s8:9"));
            logicReply(QStringLiteral("E:255"));
        }
        QVERIFY(form->tables().times.analog(3).isValid());
        chosen = path("court.csv");
        QVERIFY(panel::put(chosen, files::journalHeader(files::Units{"V", "V", "V", "V", "V", "V", "V", "V"}) +
                                       "2026-12-07T14:32:07.412,A,1.,2.,3.,4.,5.,6.,7.,8.\r\n"
                                       "2026-12-07T14:32:08.412,L,1,0,0,0,0,0,0,0\r\n"
                                       "2026-12-07T14:32:09.412,A,1.,2.,3.,4.,5.,6.,7.,8.\r\n"));
        action("n_ouvrir_journal")->trigger();
        const Tables &t = form->tables();
        QCOMPARE(t.tab_ana(1, 1), Element::text("1."));
        QVERIFY(t.tab_ana(1, 2).isEmpty() && !t.times.analog(3).isValid());
        QVERIFY(t.tab_log[8].isEmpty() && !t.times.logic(1).isValid());
        QCOMPARE(form->statusText(),
                 QStringLiteral("Journal « court.csv » : 2 acquisitions analogiques et 1 logique chargées"));
    }

    // The progress window of "Ouvrir un journal…" has a title.
    void progressWindowHasATitle()
    {
        struct Titles : QObject {
            QStringList seen;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() == QEvent::WindowTitleChange && o->objectName() == u"journalProgress")
                    seen << static_cast<QWidget *>(o)->windowTitle();
                return false;
            }
        } titles;
        qApp->installEventFilter(&titles);
        chosen = path("j.csv");
        QVERIFY(panel::put(chosen, files::journalHeader(files::Units{"V", "V", "V", "V", "V", "V", "V", "V"})));
        action("n_ouvrir_journal")->trigger();
        qApp->removeEventFilter(&titles);
        QCOMPARE(titles.seen, QStringList{QStringLiteral("Ouvrir un journal")});
    }

    // The status line names the acquisition under the mouse and its time,
    // in the full view and in the zoom; Label59 keeps its own text.
    void timeUnderTheMouse()
    {
        form->n_graph_Click();
        find<QRadioButton>(QStringLiteral("Option1"))->click();
        Tables &t = form->tables();
        t.times.setAnalog(49, kT0);
        t.times.setLogic(50, kT0.addSecs(2));
        const double step = (11520.0 - 1000.0) / t.nbre_acqui;
        moveOver(1000 + 49 * step, 3000);
        QCOMPARE(form->statusText(), QStringLiteral("Acquisition 49 — 07/12/2026 14:32:07,412"));
        QCOMPARE(find<QLabel>(QStringLiteral("Label59"))->text(), QStringLiteral("Acquisition N°: 49"));
        moveOver(1000 + 48 * step, 3000);  // no time: nothing said
        QCOMPARE(form->statusText(), QString());
        form->showStatus(QStringLiteral("autre message"));
        moveOver(1000 + 47 * step, 3000);
        QCOMPARE(form->statusText(), QStringLiteral("autre message"));  // another message stays

        // The zoom: acquisitions 44 to 54 across the width.
        moveOver(1000 + 49 * step, 3000);
        find<GraphFrame>(QStringLiteral("Frame6"))->Picture1_MouseDown(1, 0, 1000 + 49 * step, 3000);
        moveOver(1000 + 4 * (10520.0 / 10), 3000);
        QCOMPARE(form->statusText(), QString());
        moveOver(1000 + 5 * (10520.0 / 10), 3000);
        QCOMPARE(form->statusText(), QStringLiteral("Acquisition 49 — 07/12/2026 14:32:07,412"));

        find<QRadioButton>(QStringLiteral("Option2"))->click();  // the logic layout reads the logic times
        find<QPushButton>(QStringLiteral("Command24"))->click();
        moveOver(1000 + 50 * step, 3000);
        QCOMPARE(form->statusText(), QStringLiteral("Acquisition 50 — 07/12/2026 14:32:09,412"));
    }
};

QTEST_MAIN(TestJournalWindow)
#include "test_journal_window.moc"
