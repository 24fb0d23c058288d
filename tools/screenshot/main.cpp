// Saves pictures of the window as a person would see it, for a look at the
// layout without a display: pramelor-shot <folder> [scale, 1 = as drawn]
#include "shell/desktop_start.h"
#include "shell/file_dialog.h"
#include "shell/form1.h"
#include "shell/scaled_view.h"
#include "shell/serial_ports_dialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

namespace {

void click(QWidget *root, const char *name)
{
    auto *w = root->findChild<QWidget *>(QString::fromLatin1(name));
    if (!w) {
        qWarning("no control %s", name);
        return;
    }
    QTest::mouseClick(w, Qt::LeftButton);
    QApplication::processEvents();
}

void save(QWidget &w, const QString &dir, const char *name)
{
    QApplication::processEvents();
    w.grab().save(QDir(dir).filePath(QString::fromLatin1(name)));
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    desktop::installFrenchTranslation(app);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    Form1::Setup setup;
    // The per-user settings (the journal's last path …) stay in the picture folder.
    setup.userDir = dir;
    setup.quitApplication = false;
    // The journal goes to the picture folder.
    setup.askPath = [&dir](bool, const QString &) { return QDir(dir).filePath(QStringLiteral("journal.csv")); };
    Form1 form(setup);
    if (argc > 2) {
        auto *view = form.findChild<ScaledView *>();
        view->setScale(QString::fromLocal8Bit(argv[2]).toDouble());
        view->resizeWindowToForm();
    }
    form.show();
    save(form, dir, "window.png");

    auto *ana = form.findChild<QWidget *>(QStringLiteral("Command16"));
    if (ana) QTest::mouseClick(ana, Qt::LeftButton);
    save(form, dir, "window_programmed.png");
    if (ana) QTest::mouseClick(form.findChild<QWidget *>(QStringLiteral("Command20")), Qt::LeftButton);

    form.n_graph_Click();
    click(&form, "Command23");
    click(&form, "Option1");
    click(&form, "Label56_0");
    click(&form, "Label56_3");
    click(&form, "Command24");
    save(form, dir, "graph_analog.png");
    // Markers A and B (Ctrl + left, Ctrl + right click) and the "Mesures" window.
    if (auto *area = form.findChild<QWidget *>(QStringLiteral("Picture1_area"))) {
        QTest::mouseClick(area, Qt::LeftButton, Qt::ControlModifier, QPoint(277, 150));
        QTest::mouseClick(area, Qt::RightButton, Qt::ControlModifier, QPoint(558, 150));
        save(form, dir, "graph_markers.png");
        if (auto *mesures = form.findChild<QWidget *>(QStringLiteral("Mesures"))) save(*mesures, dir, "mesures.png");
    }
    click(&form, "Option2");
    click(&form, "Command24");
    save(form, dir, "graph_logic.png");

    // The debug box after a long run of characters with no line break.
    form.n_debug_Click();
    for (int i = 0; i < 200; ++i) form.appendToBuffer(QString(48, u'x'));
    form.appendToBuffer(QStringLiteral("s1 512 s2 1023 s3 0 s4 7 s5 100 s6 200 s7 300 s8 400\r\nE:165\r\n"));
    save(form, dir, "debug.png");

    // The panel's own dialogs, in French.
    form.findChild<QAction *>(QStringLiteral("n_ports_serie"))->trigger();
    if (auto *ports = form.findChild<SerialPortsDialog *>()) {
        save(*ports, dir, "ports.png");
        ports->reject();
    }
    QFileDialog *files = makeFileDialog(&form, true, QStringLiteral("*.txt"), dir);
    files->show();
    save(*files, dir, "save_dialog.png");
    delete files;

    form.findChild<QWidget *>(QStringLiteral("Text1"))->hide();

    // The "Fichier" menu, and the journal running with its line count.
    auto *fichier = form.findChild<QMenu *>(QStringLiteral("n_fichier"));
    fichier->popup(form.mapToGlobal(QPoint(0, 20)));
    QApplication::processEvents();
    fichier->grab().save(QDir(dir).filePath(QStringLiteral("menu_fichier.png")));
    fichier->hide();
    form.findChild<QAction *>(QStringLiteral("n_journal"))->trigger();
    save(form, dir, "journal.png");
    return 0;
}
