#include "files/file_stamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace files {

namespace {

constexpr auto kSum = QCryptographicHash::Sha256;

bool isHex(QByteArrayView s)
{
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace

FileStamp stampOf(QByteArrayView bytes) { return {bytes.size(), QCryptographicHash::hash(bytes, kSum).toHex()}; }

QByteArray stampText(const FileStamp &s) { return QByteArray::number(s.size) + ';' + s.sum; }

std::optional<FileStamp> stampFromText(QByteArrayView text)
{
    const qsizetype semi = text.indexOf(';');
    if (semi <= 0 || semi > 18) return std::nullopt;
    qint64 size = 0;
    for (char c : text.first(semi)) {
        if (c < '0' || c > '9') return std::nullopt;
        size = size * 10 + (c - '0');
    }
    const QByteArrayView sum = text.sliced(semi + 1);
    if (sum.size() != 64 || !isHex(sum)) return std::nullopt;
    return FileStamp{size, sum.toByteArray()};
}

bool fileMatches(const QString &path, const FileStamp &s)
{
    // Only a plain file: a pipe or a device in its place would never end.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() != s.size) return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QCryptographicHash sum(kSum);
    qint64 read = 0;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(1 << 16);
        if (chunk.isEmpty()) return false;
        read += chunk.size();
        sum.addData(chunk);
    }
    return read == s.size && sum.result().toHex() == s.sum;
}

}  // namespace files
