#pragma once
// Texts read from disk: files written by this panel are UTF-8, files written
// by older versions or edited on Windows are Windows-1252.

#include <QByteArrayView>
#include <QString>

namespace files {

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark dropped),
// Windows-1252 otherwise.
QString decodeText(QByteArrayView bytes);

// The first `limit` characters of s; a character outside the basic plane (two
// UTF-16 units) counts as one and is never cut in half. limit < 0 keeps all.
QString leftChars(const QString &s, int limit);

}  // namespace files
