#pragma once
// The two acquisition files of one save: the analog file (the chosen name,
// eight fields a slot joined by colons) and the logic file beside it (".txl",
// one element a line). Lines end in CR LF; files are written in UTF-8.

#include "acquisition/tables.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace files {

// A file beside the analog one: the first ".txt" of the path (letter case as
// written) becomes the extension; a path without ".txt" gets it added, so the
// companion is never the analog file itself.
QString siblingFileName(const QString &path, const QString &extension);
// The logic file: ".txl".
QString logicFileName(const QString &path);

// The text form of one element: a text unchanged; a number as a blank (or
// its minus sign), the number with the regional separator and a blank;
// nothing for an element never written.
QString elementText(const Element &e);

QByteArray analogFileBytes(const Tables &t);  // nbre_acqui + 1 lines
QByteArray logicFileBytes(const Tables &t);   // 8 (nbre_acqui + 1) lines

struct SaveOutcome {
    QStringList failures;  // one French sentence per file not written
};
// Each file goes to a temporary file renamed over the old one: a failed save
// leaves the previous file whole. The logic file is tried even when the
// analog one failed.
SaveOutcome saveAcquisitions(const QString &path, const Tables &t);

struct OpenOutcome {
    bool opened = false;      // the analog file could be read
    bool reachedEnd = false;  // read to its end (no line without ":")
    bool logicRead = false;   // the logic file was there and read
    int analogLines = 0, logicLines = 0;
    QString message;  // French, when something went wrong
};
// Reads both files and puts what they hold into the tables (see
// acquisition_reader.h for the two steps, which the window runs apart).
OpenOutcome openAcquisitions(const QString &path, Tables &t);

}  // namespace files
