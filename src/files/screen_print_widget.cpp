#include "files/screen_print_widget.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace files {

QString pdfName(const QString &folder, const QDateTime &when)
{
    const QDir dir(folder);
    const QString stem = QStringLiteral("Pramelor écran %1").arg(when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    QString name = stem + QStringLiteral(".pdf");
    for (int n = 2; dir.exists(name); ++n) name = QStringLiteral("%1 (%2).pdf").arg(stem).arg(n);
    return dir.filePath(name);
}

namespace {

// The picture scaled to fit the printable area, keeping its proportions,
// against the top left corner.
bool paint(QPrinter &printer, const QImage &image)
{
    printer.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect area = painter.viewport();
    const QSize size = image.size().scaled(area.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(area.topLeft(), size), image);
    return painter.end();
}

}  // namespace

PrintOutcome printImage(const QImage &image, const QString &pdfFolder, const QDateTime &when, bool forcePdf)
{
    PrintOutcome out;
    if (image.isNull()) {
        out.message = QStringLiteral("Impression impossible : la fenêtre n'a pas d'image");
        return out;
    }
    const QPrinterInfo info = forcePdf ? QPrinterInfo() : QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        out.done = paint(printer, image);
        out.message = out.done ? QStringLiteral("Page envoyée à l'imprimante %1").arg(info.printerName())
                               : QStringLiteral("Impression impossible sur %1").arg(info.printerName());
        return out;
    }
    if (!QDir().mkpath(pdfFolder)) {
        out.message = QStringLiteral("Aucune imprimante, et le dossier « %1 » ne peut être créé").arg(pdfFolder);
        return out;
    }
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    out.pdfPath = pdfName(pdfFolder, when);
    pdf.setOutputFileName(out.pdfPath);
    out.done = paint(pdf, image) && QFileInfo::exists(out.pdfPath);
    out.message = out.done ? QStringLiteral("Aucune imprimante : page écrite dans « %1 »").arg(out.pdfPath)
                           : QStringLiteral("Aucune imprimante, et « %1 » ne peut être écrit").arg(out.pdfPath);
    if (!out.done) out.pdfPath.clear();
    return out;
}

}  // namespace files
