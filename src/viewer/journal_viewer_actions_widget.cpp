// The journal browser's buttons: "Aller à…", and the exports of the span
// shown as CSV (the journal's own lines) and as a picture, both written
// through the panel's safe save.
#include "files/save_file.h"
#include "shell/file_dialog.h"
#include "viewer/journal_plot_widget.h"
#include "viewer/journal_viewer_widget.h"
#include "viewer/span_export.h"

#include <QBuffer>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace viewer {

namespace {

// The span's name in a file name: "journal_2026-12-07_1430.csv".
QString proposedName(const QString &journal, qint64 t0, const QString &suffix)
{
    return QStringLiteral("%1_%2.%3")
        .arg(QFileInfo(journal).completeBaseName(),
             QDateTime::fromMSecsSinceEpoch(t0).toString(QStringLiteral("yyyy-MM-dd_HHmm")), suffix);
}

std::optional<QDateTime> askTimeDialog(QWidget *parent, const QDateTime &current, const QDateTime &first,
                                       const QDateTime &last)
{
    QDialog d(parent);
    d.setObjectName(QStringLiteral("allerADialog"));
    d.setWindowTitle(QStringLiteral("Aller à…"));
    auto *edit = new QDateTimeEdit(current, &d);
    edit->setObjectName(QStringLiteral("dateHeure"));
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    edit->setCalendarPopup(true);
    edit->setDateTimeRange(first, last);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto *layout = new QVBoxLayout(&d);
    layout->addWidget(new QLabel(QStringLiteral("Date et heure à placer au milieu du tracé :"), &d));
    layout->addWidget(edit);
    layout->addWidget(buttons);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return edit->dateTime();
}

}  // namespace

QString JournalViewer::ask(bool save, const QString &start)
{
    if (options_.askPath) return options_.askPath(save, start);
    return askFilePath(this, save, start, options_.settingsFile);
}

void JournalViewer::allerA_Click()
{
    if (!model_) return;
    const Span s = plot_->state().span;
    const QDateTime current = QDateTime::fromMSecsSinceEpoch(s.t0 + s.length() / 2);
    const QDateTime first = QDateTime::fromMSecsSinceEpoch(plot_->whole().t0);
    const QDateTime last = QDateTime::fromMSecsSinceEpoch(plot_->whole().t1);
    const std::optional<QDateTime> t =
        options_.askTime ? options_.askTime(current) : askTimeDialog(this, current, first, last);
    if (!t || !t->isValid()) return;
    plot_->setSpan(centred(s, t->toMSecsSinceEpoch(), plot_->whole()));
    emit plot_->userMoved();
}

void JournalViewer::exporterCsv_Click()
{
    if (!model_) return;
    const Span s = plot_->state().span;
    const QString path = ask(true, proposedName(path_, s.t0, QStringLiteral("csv")));
    if (path.isEmpty()) return;
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(path_).absoluteFilePath()) {
        statusBar()->showMessage(
            QStringLiteral("Le journal lui-même ne peut pas recevoir l'export : choisissez un autre nom."));
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const std::optional<QByteArray> bytes = spanLines(path_, s, &error);
    const bool ok = bytes && files::writeWhole(path, *bytes, &error);
    QGuiApplication::restoreOverrideCursor();
    statusBar()->showMessage(ok ? QStringLiteral("Plage exportée dans « %1 » (%2 lignes).")
                                      .arg(QFileInfo(path).fileName())
                                      .arg(bytes->count('\n'))
                                : error);
}

void JournalViewer::exporterImage_Click()
{
    if (!model_) return;
    const QString path = ask(true, proposedName(path_, plot_->state().span.t0, QStringLiteral("png")));
    if (path.isEmpty()) return;
    QImage image(plot_->size(), QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.setFont(plot_->font());
        paintPlot(p, image.size(), plot_->state());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    const bool ok = image.save(&buffer, "PNG") && files::writeWhole(path, bytes, &error);
    if (!ok && error.isEmpty()) error = QStringLiteral("L'image n'a pas pu être faite.");
    statusBar()->showMessage(ok ? QStringLiteral("Image enregistrée dans « %1 ».").arg(QFileInfo(path).fileName())
                                : error);
}

}  // namespace viewer
