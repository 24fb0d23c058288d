// Any "param.ini": read as a profile and as the panel's configuration, then
// changed and written back; what was set must read back.
#include "files/configuration.h"
#include "files/encoding.h"
#include "files/profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = dir.filePath(QStringLiteral("param.ini"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(bytes);
    }
    (void)files::readConfiguration(path);
    files::Profile p = files::Profile::read(path);
    p.setValue(QStringLiteral("coeff1"), QStringLiteral("coeff1"), QStringLiteral("0.5"));
    p.setValue(QStringLiteral("Nouvelle"), QStringLiteral("clé"), QStringLiteral("valeur é"));
    if (p.value(QStringLiteral("COEFF1"), QStringLiteral("Coeff1")) != u"0.5") std::abort();
    QString error;
    if (!p.write(path, &error)) std::abort();
    const files::Profile back = files::Profile::read(path);
    if (back.value(QStringLiteral("coeff1"), QStringLiteral("coeff1")) != u"0.5") std::abort();
    if (back.value(QStringLiteral("nouvelle"), QStringLiteral("clé")) != u"valeur é") std::abort();
    return 0;
}
