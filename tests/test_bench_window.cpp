// "Configuration" / "Enregistrer le banc…" and "Ouvrir un banc…": the bench
// file pramelord runs, written from what the window holds (by its controls)
// and read back into a new window; a wrong file changes nothing.
#include "engine/bench.h"
#include "engine/frame_engine.h"
#include "service/bench_file.h"
#include "shell/form1.h"
#include "support/controls.h"
#include "support/fake_clock.h"
#include "support/file_bytes.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestBenchWindow : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    FakeClock clock;
    QString chosen;

    std::unique_ptr<Form1> start()
    {
        Form1::Setup s;
        s.clock = &clock;
        s.programDir = dir.path();
        s.userDir = dir.filePath(QStringLiteral("user"));
        s.folderWritable = [](const QString &) { return true; };
        s.quitApplication = false;
        s.askPath = [this](bool, const QString &) { return chosen; };
        return std::make_unique<Form1>(s);
    }
    template <class T>
    static T *find(Form1 &f, const char *name)
    {
        return panel::control<T>(&f, QString::fromLatin1(name));
    }
    static QString status(Form1 &f) { return f.statusText(); }

private slots:
    void savedThenOpened()
    {
        chosen = dir.filePath(QStringLiteral("serre.ini"));
        auto f = start();
        // Output 2 automatic, the analog frame cycling every 10 s and memorising.
        find<QCheckBox>(*f, "auto1_1")->setChecked(true);
        QTest::mouseClick(find<QPushButton>(*f, "Command16"), Qt::LeftButton);
        auto *intervals = find<QComboBox>(*f, "Combo4");
        intervals->setCurrentIndex(intervals->findText(QStringLiteral("Toutes les 10 secondes")));
        find<QCheckBox>(*f, "Check6")->setChecked(true);
        QTest::mouseClick(find<QPushButton>(*f, "Command21"), Qt::LeftButton);
        find<QCheckBox>(*f, "memo_a")->setChecked(true);
        find<QAction>(*f, "n_enr_banc")->trigger();
        QVERIFY2(status(*f).startsWith(u"Banc enregistré"), qPrintable(status(*f)));

        QStringList errors;
        const service::BenchSettings s =
            service::parseBenchText(QString::fromUtf8(panel::bytesOf(chosen)), chosen, &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(u'\n')));
        QCOMPARE(s.name, QStringLiteral("serre"));
        QCOMPARE(s.port, QStringLiteral("COM1"));
        QCOMPARE(s.automatic, (std::array<bool, 8>{false, true, false, false, false, false, false, false}));
        QCOMPARE(s.analog.mode, service::AcquisitionMode::Cyclic);
        QCOMPARE(s.analog.interval, 10);
        QVERIFY(s.analog.memorisation);
        QCOMPARE(s.logic.mode, service::AcquisitionMode::Manual);
        QVERIFY(!s.marche);
        QVERIFY(s.journal.isEmpty());

        // A new window takes it all back, and shows it.
        f = start();
        find<QAction>(*f, "n_ouvrir_banc")->trigger();
        QCOMPARE(status(*f), QStringLiteral("Banc « serre » ouvert"));
        QVERIFY(find<QCheckBox>(*f, "auto1_1")->isChecked());
        QVERIFY(f->bench().timetable()[1].automatic);
        QVERIFY(f->bench().analog().cycleRunning());
        QCOMPARE(find<QComboBox>(*f, "Combo4")->currentText(), QStringLiteral("Toutes les 10 secondes"));
        QVERIFY(find<QCheckBox>(*f, "memo_a")->isChecked());
        QVERIFY(!f->bench().logic().cycleRunning());
    }

    // Saving over a hand-edited file keeps its other keys and comments.
    void savingKeepsWhatIsNotTheWindows()
    {
        chosen = dir.filePath(QStringLiteral("atelier.ini"));
        panel::put(chosen, "; banc de l'atelier\n[banc]\nnom=atelier\nremarque=à garder\n[mqtt]\nhote=labo\n");
        auto f = start();
        find<QAction>(*f, "n_enr_banc")->trigger();
        const QByteArray bytes = panel::bytesOf(chosen);
        QVERIFY(bytes.startsWith("; banc de l'atelier\n[banc]\nnom=atelier\n"));
        QVERIFY(bytes.contains("remarque=à garder\n"));
        QVERIFY(bytes.contains("[mqtt]\nhote=labo\n"));
        QVERIFY(bytes.contains("port=COM1"));
    }

    void wrongFileChangesNothing()
    {
        chosen = dir.filePath(QStringLiteral("faux.ini"));
        panel::put(chosen, "[banc]\nmarche=peut-être\n[analogique]\nmode=cyclique\nintervalle=2\n");
        auto f = start();
        find<QAction>(*f, "n_ouvrir_banc")->trigger();
        QVERIFY2(status(*f).startsWith(u"Banc refusé : "), qPrintable(status(*f)));
        QVERIFY(status(*f).contains(u"ligne 2"));
        QVERIFY(!f->bench().analog().cycleRunning());
        QCOMPARE(f->marche(), 0);
    }
};

QTEST_MAIN(TestBenchWindow)
#include "test_bench_window.moc"
