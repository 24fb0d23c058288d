#include "shell/user_guide.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace guide {

QString userGuide(const QString &programDir)
{
    const QDir dir(programDir);
    for (const QString &candidate : {QStringLiteral("../share/doc/pramelor/README.md"), QStringLiteral("README.md"),
                                     QStringLiteral("../README.md"), QStringLiteral("../../README.md")}) {
        const QFileInfo f(dir.filePath(candidate));
        if (f.isFile()) return f.canonicalFilePath();
    }
    return {};
}

QString openUserGuide(const QString &programDir, const std::function<bool(const QUrl &)> &openUrl)
{
    const QString guide = userGuide(programDir);
    if (guide.isEmpty())
        return QStringLiteral("Guide de l'utilisateur introuvable : README.md n'est ni dans « %1 » ni à côté du "
                              "programme")
            .arg(QDir::toNativeSeparators(QDir(programDir).filePath(QStringLiteral("../share/doc/pramelor"))));
    const QUrl url = QUrl::fromLocalFile(guide);
    if (openUrl ? openUrl(url) : QDesktopServices::openUrl(url)) return {};
    return QStringLiteral("Impossible d'ouvrir le guide de l'utilisateur « %1 »").arg(QDir::toNativeSeparators(guide));
}

}  // namespace guide
