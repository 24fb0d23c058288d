#include "files/marked_text.h"

#include "files/encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace files {

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeMark[] = "\xFF\xFE";
constexpr char kUtf16BeMark[] = "\xFE\xFF";

QStringConverter::Encoding encodingOf(TextForm form)
{
    switch (form) {
    case TextForm::Utf16Le:
        return QStringConverter::Utf16LE;
    case TextForm::Utf16Be:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

QByteArrayView markOf(TextForm form)
{
    switch (form) {
    case TextForm::Utf8Mark:
        return kUtf8Mark;
    case TextForm::Utf16Le:
        return kUtf16LeMark;
    case TextForm::Utf16Be:
        return kUtf16BeMark;
    default:
        return {};
    }
}

}  // namespace

MarkedText decodeMarked(QByteArrayView bytes)
{
    TextForm form = TextForm::Plain;
    for (TextForm f : {TextForm::Utf8Mark, TextForm::Utf16Le, TextForm::Utf16Be})
        if (bytes.startsWith(markOf(f))) form = f;
    if (form == TextForm::Plain) return {decodeText(bytes), form};

    QByteArrayView body = bytes.sliced(markOf(form).size());
    // A stray last byte cannot make a UTF-16 character: it is dropped.
    if (form != TextForm::Utf8Mark && body.size() % 2) body.chop(1);
    // The mark has been taken off: a second one belongs to the text.
    QStringDecoder decoder(encodingOf(form), QStringConverter::Flag::ConvertInitialBom);
    return {decoder(body), form};
}

QByteArray encodeMarked(const QString &text, TextForm form)
{
    QStringEncoder encoder(encodingOf(form));
    QByteArray out = markOf(form).toByteArray();
    out += encoder(text);
    return out;
}

}  // namespace files
