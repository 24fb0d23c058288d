#pragma once
// The times file saved beside the two acquisition files: one line for each
// slot that has a time, "A;slot;time" for the analog tables and "L;slot;time"
// for the logic groups, the time in ISO 8601 to the millisecond, CR LF line
// ends. Two lines before them, "txt;size;sum" and "txl;size;sum", give the
// size and SHA-256 of the ".txt" and ".txl" files of the same save: the times
// file is written last, and when the files beside it are not those (a save
// cut short in the middle) its times are not used. The ".txt" and ".txl"
// files stay exactly as they were; without this file the tables are read back
// without times, and an older one without the two lines is read as before.

#include "acquisition/tables.h"
#include "files/file_stamp.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace files {

// Formed like the logic file's name: the first ".txt" (letter case as
// written) becomes ".txh"; a path without ".txt" gets ".txh" added.
QString timesFileName(const QString &path);

// The two stamp lines, then slots 0 … nbre_acqui: the analog slots with a
// time, then the logic groups. Without stamps, those of the bytes the tables
// give now.
QByteArray timesFileBytes(const Tables &t, const FileStamp &txt, const FileStamp &txl);
QByteArray timesFileBytes(const Tables &t);

// path: the analog file's path, as chosen. error receives a French sentence.
bool saveTimes(const QString &path, const Tables &t, QString *error);

struct TimesRead {
    bool present = false;  // the times file was there and read
    int applied = 0;       // times given to slots
    int damaged = 0;       // lines that could not be read
    int firstDamaged = 0;  // the first of them, counted from 1
    QString message;       // French, when lines were damaged or the files differ
    // The stamps of the ".txt" and ".txl" it was written with, when it has them.
    std::optional<FileStamp> txt, txl;
    bool stampDamaged = false;  // a stamp line that could not be read
    bool mismatch = false;      // the files beside it are not those: no time used
};

// A larger times file is damaged: only its beginning is read.
constexpr qint64 kMaxTimesBytes = 1024 * 1024;

// The times in the bytes of a times file for the slots an open has just
// written (analog slots 0 … analogSlots - 1, logic groups 0 … logicGroups -
// 1); lines for other slots are passed over.
TimesRead applyTimes(QByteArrayView bytes, acquisition::AcquisitionTimes &times, int analogSlots, int logicGroups);

// After an open of the acquisition files at path that wrote analogLines lines
// of the analog file and logicLines of the logic file: the slots written lose
// their times, then take those of the times file when it is there.
TimesRead openTimes(const QString &path, Tables &t, int analogLines, int logicLines);

}  // namespace files
