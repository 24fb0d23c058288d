#include "files/save_file.h"

#include <QDir>
#include <QSaveFile>

namespace files {

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
    if (error)
        *error =
            QStringLiteral("Impossible d'écrire « %1 » : %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

}  // namespace files
