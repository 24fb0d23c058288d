#pragma once
// Texts that may begin with a byte-order mark. Notepad saves "Unicode" files
// as UTF-16 little-endian with a mark, and may write UTF-16 big-endian or
// UTF-8 with a mark; such a file is written back in its own encoding, with
// its mark. A file without a mark is read as decodeText() reads it and
// written as UTF-8.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace files {

enum class TextForm { Plain, Utf8Mark, Utf16Le, Utf16Be };

struct MarkedText {
    QString text;
    TextForm form = TextForm::Plain;
};

MarkedText decodeMarked(QByteArrayView bytes);
QByteArray encodeMarked(const QString &text, TextForm form);

}  // namespace files
