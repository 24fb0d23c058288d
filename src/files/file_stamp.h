#pragma once
// The size and checksum of a file's bytes, kept in another file written with
// it, so that a later reading can tell whether the two still belong together
// (a save cut short replaces some files of a set and not the others).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace files {

struct FileStamp {
    qint64 size = 0;
    QByteArray sum;  // SHA-256, 64 lowercase hexadecimal digits
    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(QByteArrayView bytes);

// "size;sum" and back; nothing when the text is not that.
QByteArray stampText(const FileStamp &s);
std::optional<FileStamp> stampFromText(QByteArrayView text);

// Whether the plain file at path holds exactly the stamped bytes (the sum is
// worked out only when the size agrees). A missing file does not.
bool fileMatches(const QString &path, const FileStamp &s);

}  // namespace files
