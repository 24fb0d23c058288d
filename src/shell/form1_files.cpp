// The window's side of the files: the configuration in "param.ini", the
// acquisition files, the exports and the screen print. The file texts and
// their rules live in src/files; here they meet the controls.
#include "shell/form1.h"

#include "acquisition/analog_frame_widget.h"
#include "acquisition/logic_frame_widget.h"
#include "files/acquisition_file.h"
#include "files/configuration.h"
#include "files/csv_export.h"
#include "files/read_progress_widget.h"
#include "files/save_file.h"
#include "files/screen_print_widget.h"
#include "files/times_file.h"
#include "graph/graph_frame_widget.h"
#include "graph/picture_widget.h"
#include "link/serial_component.h"
#include "outputs/outputs_frame_widget.h"
#include "shell/controls.h"
#include "shell/file_dialog.h"

#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardPaths>
#include <utility>

namespace {

template <typename T>
T *control(QWidget *frame, const QString &name)
{
    return frame ? frame->findChild<T *>(name) : nullptr;
}

void setText(QLineEdit *box, const QString &text)
{
    if (box) box->setText(text);
}

QString textOf(const QLineEdit *box) { return box ? box->text() : QString(); }

// A list position read from the file, kept only when the list has it.
void setPosition(QComboBox *list, const QString &text)
{
    if (!list) return;
    if (const auto position = files::wholeSetting(text, -1, list->count() - 1)) list->setCurrentIndex(*position);
}

}  // namespace

// ---------------------------------------------------------------- start-up pieces

// The port, the timetable, the units and the coefficients. With no file at
// all (the first start) the controls keep their own starting values: an empty
// unit and a coefficient 0 on every channel would only hide the readings.
void Form1::loadConfigurationFirst()
{
    // A file that cannot be read counts as none, and the status line says so.
    QString problem;
    startup_config_ = files::readStartupConfiguration(configFiles().read, &problem);
    if (!problem.isEmpty()) showStatus(problem);
    if (!startup_config_) return;
    const files::Configuration &c = *startup_config_;
    // A setting the file lacks keeps the control's starting value.
    if (const auto port = files::wholeSetting(c.com, 1, 255)) MSComm1().setPortNumber(*port);
    for (size_t i = 0; i < 8; ++i) {
        if (c.has(QStringLiteral("heure%1").arg(i))) outputs_->setStart(i, c.heure1[i]);
        if (c.has(QStringLiteral("heure2%1").arg(i))) outputs_->setEnd(i, c.heure2[i]);
    }
    for (int k = 1; k <= 8; ++k) {
        const auto n = QString::number(k);
        if (c.has(QStringLiteral("u_ana") + n))
            setText(control<QLineEdit>(analog_, QStringLiteral("u_ana") + n), c.u_ana[size_t(k - 1)]);
        if (c.has(QStringLiteral("coeff") + n))
            setText(control<QLineEdit>(analog_, QStringLiteral("coeff_a") + n),
                    files::coefficientSetting(c.coeff[size_t(k - 1)]));
    }
}

// The number of acquisitions goes through the scroll bar, which sets the
// tables' count and its caption; a value the bar cannot take keeps 100.
void Form1::loadNumberOfAcquisitions()
{
    auto *bar = control<QScrollBar>(graph_, QStringLiteral("HScroll1"));
    if (startup_config_ && bar)
        if (const auto n = files::wholeSetting(startup_config_->nbre_acqui, bar->minimum(), bar->maximum()))
            bar->setValue(*n);
    graph_->HScroll1_Change();
}

// The programmed days and hours of both frames.
void Form1::loadConfigurationLast()
{
    if (!startup_config_) return;
    const files::Configuration c = *std::exchange(startup_config_, std::nullopt);
    if (c.has(QStringLiteral("ana_j8"))) setPosition(control<QComboBox>(analog_, QStringLiteral("Combo3")), c.ana_j);
    if (c.has(QStringLiteral("ana_h8"))) setText(control<QLineEdit>(analog_, QStringLiteral("Text3")), c.ana_h);
    if (c.has(QStringLiteral("log_j8"))) setPosition(control<QComboBox>(logic_, QStringLiteral("Combo2")), c.log_j);
    if (c.has(QStringLiteral("log_h8"))) setText(control<QLineEdit>(logic_, QStringLiteral("Text2")), c.log_h);
}

// ---------------------------------------------------------------- "Enregistrer la configuration"

void Form1::n_enr_param_Click()
{
    files::Configuration c;
    c.com = QString::number(MSComm1().portNumber());
    const Bench::Timetable rows = outputs_->timetable();
    for (size_t i = 0; i < 8; ++i) {
        c.heure1[i] = rows[i].start;
        c.heure2[i] = rows[i].end;
    }
    const auto *combo3 = control<QComboBox>(analog_, QStringLiteral("Combo3"));
    const auto *combo2 = control<QComboBox>(logic_, QStringLiteral("Combo2"));
    c.ana_j = QString::number(combo3 ? combo3->currentIndex() : -1);
    c.ana_h = textOf(control<QLineEdit>(analog_, QStringLiteral("Text3")));
    c.log_j = QString::number(combo2 ? combo2->currentIndex() : -1);
    c.log_h = textOf(control<QLineEdit>(logic_, QStringLiteral("Text2")));
    for (int k = 1; k <= 8; ++k) {
        const auto n = QString::number(k);
        c.u_ana[size_t(k - 1)] = textOf(control<QLineEdit>(analog_, QStringLiteral("u_ana") + n));
        c.coeff[size_t(k - 1)] = textOf(control<QLineEdit>(analog_, QStringLiteral("coeff_a") + n));
    }
    const auto *label61 = control<QLabel>(graph_, QStringLiteral("Label61"));
    c.nbre_acqui = label61 ? label61->text() : QString::number(tables_->nbre_acqui);

    const QString path = configFiles().write;
    QDir().mkpath(QFileInfo(path).absolutePath());  // the user's folder, on the first save
    QString error;
    if (files::writeConfiguration(path, c, &error))
        showStatus(QStringLiteral("Configuration enregistrée dans « %1 »").arg(QDir::toNativeSeparators(path)));
    else
        showStatus(error);
}

// ---------------------------------------------------------------- file dialogs

// The acquisition dialogs open on the ".txt" files; the export dialogs on
// the kind of file they write. Overwriting asks first.
QString Form1::askPath(bool save, const QString &start)
{
    if (setup_.askPath) return setup_.askPath(save, start);
    return askFilePath(this, save, start, userSettingsFile());
}

bool Form1::writeFileOrSay(const QString &path, const QByteArray &bytes)
{
    QString error;
    if (files::writeWhole(path, bytes, &error)) return true;
    showStatus(error);
    return false;
}

// ---------------------------------------------------------------- acquisition files

void Form1::n_enregistrer_Click()
{
    const QString path = askPath(true, QStringLiteral("*.txt"));
    if (path.isEmpty()) return;
    files::SaveOutcome out = files::saveAcquisitions(path, *tables_);
    if (QString error; !files::saveTimes(path, *tables_, &error)) out.failures << error;
    if (out.failures.isEmpty())
        showStatus(QStringLiteral("Tableaux enregistrés dans « %1 », « %2 » et « %3 »")
                       .arg(QFileInfo(path).fileName(), QFileInfo(files::logicFileName(path)).fileName(),
                            QFileInfo(files::timesFileName(path)).fileName()));
    else
        showStatus(out.failures.join(QStringLiteral(" ; ")));
}

void Form1::n_ouvrir_Click()
{
    const QString path = askPath(false, QStringLiteral("*.txt"));
    if (path.isEmpty()) return;
    // Read aside while the panel runs on; the tables change only here, at once.
    const files::OpenOutcome out = files::applyAcquisitionRead(files::readAcquisitionsWaiting(this, path), *tables_);
    if (out.opened) graph_->clearMarkers();
    QString said = out.message;
    if (out.opened)
        if (const QString times = files::openTimes(path, *tables_, out.analogLines, out.logicLines).message;
            !times.isEmpty())
            said += (said.isEmpty() ? QString() : QStringLiteral(" ; ")) + times;
    if (out.reachedEnd) Command26_Click();
    if (!said.isEmpty())
        showStatus(said);
    else
        showStatus(QStringLiteral("Tableaux lus dans « %1 »").arg(QFileInfo(path).fileName()));
}

// ---------------------------------------------------------------- exports and print

void Form1::n_export_csv_Click()
{
    const QString path = askPath(true, QStringLiteral("acquisitions.csv"));
    if (path.isEmpty()) return;
    if (writeFileOrSay(path, files::csvBytes(*tables_)))
        showStatus(QStringLiteral("Tableaux exportés dans « %1 »").arg(QDir::toNativeSeparators(path)));
}

void Form1::n_export_png_Click()
{
    const QString path = askPath(true, QStringLiteral("graphique.png"));
    if (path.isEmpty()) return;
    const QImage image = graph_->picture()->grab().toImage();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    if (writeFileOrSay(path, bytes))
        showStatus(QStringLiteral("Graphique exporté dans « %1 »").arg(QDir::toNativeSeparators(path)));
}

void Form1::n_imprime_Click()
{
    QString folder = setup_.documentsDir;
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    const files::PrintOutcome out = files::printImage(grab().toImage(), folder, QDateTime::currentDateTime());
    showStatus(out.message);
}
