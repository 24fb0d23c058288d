#pragma once
// The lines of a bench file as the reader and the writer both see them:
// "[section]", "key = value ; comment", comments and blank lines, each with
// its number and where its value lies, so that a value can be replaced
// without touching the rest of the line.

#include <QString>
#include <QStringView>
#include <vector>

namespace service {

struct BenchLine {
    enum Kind { Blank, Header, Pair, Malformed };
    Kind kind = Blank;
    int number = 0;                          // from 1
    QString raw;                             // without its line end
    QString section;                         // the section it is in (lower case), or its own name for a header
    QString key;                             // lower case
    QString value;                           // blanks and comment taken off
    qsizetype valueBegin = 0, valueEnd = 0;  // in raw
};

struct BenchLines {
    std::vector<BenchLine> lines;
    QString lineEnd = QStringLiteral("\n");  // "\r\n" when the file uses it
    bool finalNewline = true;
};

BenchLines splitBenchText(const QString &text);

}  // namespace service
