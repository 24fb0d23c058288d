#pragma once
// A file opened for reading only when it is a regular file. A folder, a
// named pipe, a device or a socket is refused before anything could wait on
// it (a pipe nobody writes to would hold the whole panel), and every refusal
// carries its French reason.

#include <QString>
#include <QtGlobal>

namespace files {

class ReadableFile {
public:
    explicit ReadableFile(const QString &path);
    ~ReadableFile();
    ReadableFile(const ReadableFile &) = delete;
    ReadableFile &operator=(const ReadableFile &) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Nothing at all under that name (a missing file, not an unreadable one).
    bool isAbsent() const { return absent_; }
    // Why it is not open or why a read failed, in French ("accès refusé",
    // "c'est un dossier" …); empty when all went well.
    QString reason() const { return reason_; }
    qint64 size() const { return size_; }

    // Up to max bytes into data; 0 at the end of the file, -1 when the read
    // failed (reason() then says why).
    qint64 read(char *data, qint64 max);

private:
    void fail(int err);

    int fd_ = -1;
    bool absent_ = false;
    qint64 size_ = 0;
    QString reason_;
};

}  // namespace files
