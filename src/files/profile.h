#pragma once
// An initialisation file read and written as the Windows profile functions
// do it:
// - reading takes the first section of a name and, within it, the first key
//   of a name; names match without regard to letter case; blanks around a
//   name or a value do not count; one pair of matching " or ' around a value
//   is removed; whatever is missing reads as an empty text;
// - writing replaces only the value it writes, in that first key of that
//   first section; a missing key goes after the last line of its section, a
//   missing section at the end of the file; every other line (comments, keys
//   before the first section, repeated sections and keys, lines that mean
//   nothing) stays as it was, byte for byte once decoded;
// - a file with a byte-order mark is written back in its own encoding.
// Reading and writing take time in proportion to the file's size.

#include "files/marked_text.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <utility>
#include <vector>

namespace files {

class Profile {
public:
    // Only the first kMaxBytes of a file are read: a settings file is a few
    // hundred bytes, and a huge or binary one must not stall the start-up.
    static constexpr qint64 kMaxBytes = 1 << 20;

    static Profile read(const QString &path);  // missing or unreadable: empty
    static Profile fromBytes(QByteArrayView bytes);
    static Profile parse(const QString &text, TextForm form = TextForm::Plain);

    // The value as GetPrivateProfileString gives it, before any length cut.
    QString value(const QString &section, const QString &key) const;
    // Whether the file has that key in that section (its first of the name).
    bool contains(const QString &section, const QString &key) const;
    // As WritePrivateProfileString stores it. A line break in the value
    // becomes a blank; an empty section or key name stores nothing.
    void setValue(const QString &section, const QString &key, const QString &value);

    // Written whole to a temporary file then renamed: a failed write leaves
    // the old file as it was. error receives a French sentence.
    bool write(const QString &path, QString *error) const;
    QString text() const;      // the file's text with the values written
    QByteArray bytes() const;  // the same in the file's own encoding
    TextForm form() const { return form_; }
    // Every section header of the file in order, repeated ones included,
    // then the sections added since it was read.
    QStringList sections() const;

    // What a value stored with setValue() reads back as.
    static QString readBack(const QString &stored);

private:
    struct Line {
        qsizetype begin = 0, end = 0;  // in source_, without the "\n" that ends it
        bool newline = false;          // a "\n" follows
        bool header = false;           // "[name]"
        bool blank = true;
        qsizetype nameBegin = 0, nameEnd = 0;      // section or key name
        qsizetype valueBegin = -1, valueEnd = -1;  // after "=", blanks taken off; -1: no "="
        int written = -1;                          // index in written_ of the value stored over it
    };
    struct Section {
        QStringView name;  // in source_, or in addedName for an added section
        QString addedName;
        int first = 0, last = 0;  // its lines: header first, last the last one that is not blank
        int end = 0;              // one past its last line
        bool added = false;       // not in the file: written at the end
        std::vector<std::pair<QString, QString>> addedKeys;
    };

    std::optional<QString> find(const QString &section, const QString &key) const;
    QStringView span(qsizetype begin, qsizetype end) const;
    int findSection(QStringView name) const;
    void addSection(Section s);
    QString writtenLine(const Line &l) const;

    QString source_;  // the file's text as read
    TextForm form_ = TextForm::Plain;
    std::vector<Line> lines_;
    std::vector<Section> sections_;  // sections_[0]: the lines before the first header
    // A section name compared without regard to letter case; the text it
    // views lives as long as the profile (source_ is never changed).
    struct Name {
        QStringView text;
        bool operator==(const Name &o) const { return text.compare(o.text, Qt::CaseInsensitive) == 0; }
    };
    friend size_t qHash(const Name &n, size_t seed) noexcept;
    QHash<Name, int> first_;  // name → its first section
    QStringList written_;     // values stored over existing keys
};

}  // namespace files
