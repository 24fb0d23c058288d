#pragma once
// A whole file's bytes, for comparing what the panel wrote.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace panel {

// Empty when the file cannot be read.
inline QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace panel
