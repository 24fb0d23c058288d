#pragma once
// An initialisation file with the habits of the Windows profile functions:
// sections stay in the order they were first written, names are matched
// without regard to letter case, a later value replaces the earlier one in
// place, and whatever is missing reads as an empty text.

#include <QList>
#include <QString>
#include <QStringList>

namespace files {

class Profile {
public:
    // Only the first kMaxBytes of a file are read: a settings file is a few
    // hundred bytes, and a huge or binary one must not stall the start-up.
    static constexpr qint64 kMaxBytes = 1 << 20;

    static Profile read(const QString &path);  // missing or unreadable: empty
    static Profile parse(const QString &text);

    QString value(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    // Written whole to a temporary file then renamed: a failed write leaves
    // the old file as it was. error receives a French sentence.
    bool write(const QString &path, QString *error) const;
    QString text() const;  // UTF-8 file text, CR LF line ends
    QStringList sections() const;

private:
    struct Entry {
        QString key, value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    Section *find(const QString &name);
    const Section *find(const QString &name) const;

    QList<Section> sections_;
};

}  // namespace files
