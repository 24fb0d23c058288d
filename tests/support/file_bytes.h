#pragma once
// A file's bytes, read or written whole, for tests that compare files byte
// for byte.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace panel {

// "<absent>" when the file cannot be read.
inline QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

inline bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace panel
