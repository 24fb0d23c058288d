// Each frame keeps its own part of "param.ini": a control renamed (its
// objectName changed) still has its setting saved and read back.
#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "files/configuration.h"
#include "graph/graph_frame_widget.h"
#include "outputs/outputs_frame_widget.h"
#include "shell/form1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

class TestConfigurationParts : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    std::unique_ptr<Form1> start()
    {
        Form1::Setup s;
        s.programDir = dir.path();
        s.userDir = dir.filePath(QStringLiteral("user"));
        s.folderWritable = [](const QString &) { return true; };
        s.quitApplication = false;
        return std::make_unique<Form1>(s);
    }

    // Sets the control's value, as a person would.
    static void set(QWidget *w, const QString &value)
    {
        if (auto *box = qobject_cast<QLineEdit *>(w)) box->setText(value);
        if (auto *list = qobject_cast<QComboBox *>(w)) list->setCurrentIndex(value.toInt());
        if (auto *bar = qobject_cast<QScrollBar *>(w)) bar->setValue(value.toInt());
    }
    static QString valueOf(const QWidget *w)
    {
        if (auto *box = qobject_cast<const QLineEdit *>(w)) return box->text();
        if (auto *list = qobject_cast<const QComboBox *>(w)) return QString::number(list->currentIndex());
        if (auto *bar = qobject_cast<const QScrollBar *>(w)) return QString::number(bar->value());
        return {};
    }
    static QString setting(const files::Configuration &c, const QString &section)
    {
        if (section == QLatin1String("heure3")) return c.heure1[3];
        if (section == QLatin1String("heure25")) return c.heure2[5];
        if (section == QLatin1String("u_ana2")) return c.u_ana[1];
        if (section == QLatin1String("coeff7")) return c.coeff[6];
        if (section == QLatin1String("ana_j8")) return c.ana_j;
        if (section == QLatin1String("ana_h8")) return c.ana_h;
        if (section == QLatin1String("log_j8")) return c.log_j;
        if (section == QLatin1String("log_h8")) return c.log_h;
        if (section == QLatin1String("nbre_acqui")) return c.nbre_acqui;
        return {};
    }

private slots:
    void renamedControlKeepsItsSetting_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("value");
        const auto row = [](const char *name, const char *control, const char *section, const char *value) {
            QTest::newRow(name) << QString::fromUtf8(control) << QString::fromUtf8(section) << QString::fromUtf8(value);
        };
        row("start time", "heure1_3", "heure3", "07:15:00");
        row("end time", "heure2_5", "heure25", "19:45:00");
        row("unit", "u_ana2", "u_ana2", "mA");
        row("coefficient", "coeff_a7", "coeff7", "3");
        row("analog day", "Combo3", "ana_j8", "4");
        row("analog hour", "Text3", "ana_h8", "10:00:00");
        row("logic day", "Combo2", "log_j8", "2");
        row("logic hour", "Text2", "log_h8", "11:30:00");
        row("acquisitions", "HScroll1", "nbre_acqui", "321");
    }
    void renamedControlKeepsItsSetting()
    {
        QFETCH(QString, control);
        QFETCH(QString, section);
        QFETCH(QString, value);
        QFile::remove(dir.filePath(QStringLiteral("param.ini")));
        {
            std::unique_ptr<Form1> form = start();
            QWidget *w = form->findChild<QWidget *>(control);
            QVERIFY(w);
            set(w, value);
            w->setObjectName(QStringLiteral("renamed"));
            form->n_enr_param_Click();
        }
        const files::Configuration saved = files::readConfiguration(dir.filePath(QStringLiteral("param.ini")));
        QCOMPARE(setting(saved, section), value);

        // Read back at the next start.
        std::unique_ptr<Form1> form = start();
        QCOMPARE(valueOf(form->findChild<QWidget *>(control)), value);
    }
};

QTEST_MAIN(TestConfigurationParts)
#include "test_configuration_parts.moc"
