#pragma once
// Every file the panel writes goes through here: the bytes go to a temporary
// file renamed over the old one, so a failed save leaves the old file whole.

#include <QByteArray>
#include <QString>

namespace files {

// error receives a French sentence naming the file.
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error);

}  // namespace files
