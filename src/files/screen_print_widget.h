#pragma once
// "Imprime écran": the window's picture on one page of the default printer,
// or, with no printer on the machine, on one page of a PDF file.

#include <QDateTime>
#include <QImage>
#include <QString>

namespace files {

struct PrintOutcome {
    bool done = false;  // a page went to the printer or the PDF was written
    QString pdfPath;    // the PDF written, when there was no printer
    QString message;    // French text for the status line
};

// The PDF name: "Pramelor écran AAAA-MM-JJ HH-MM-SS.pdf" in the given folder;
// when that file exists already (two prints within one second), the first of
// " (2)", " (3)" … before ".pdf" that does not.
QString pdfName(const QString &folder, const QDateTime &when);

// Never asks anything: no dialog, no preview. forcePdf skips the printer.
PrintOutcome printImage(const QImage &image, const QString &pdfFolder, const QDateTime &when, bool forcePdf = false);

}  // namespace files
