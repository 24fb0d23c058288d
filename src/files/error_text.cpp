#include "files/error_text.h"

#include <QDir>
#include <cerrno>
#include <sys/stat.h>

namespace files {

QString reasonFromErrno(int err)
{
    switch (err) {
    case 0:
        return QStringLiteral("erreur inconnue");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("disque plein");
    case EFBIG:
        return QStringLiteral("fichier trop grand pour ce disque");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case EROFS:
        return QStringLiteral("système de fichiers en lecture seule");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case ENOENT:
        return QStringLiteral("fichier ou dossier introuvable");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case ENAMETOOLONG:
        return QStringLiteral("nom trop long");
    case EIO:
        return QStringLiteral("erreur d'entrée-sortie (support retiré ou défectueux)");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("périphérique absent");
    case EBUSY:
        return QStringLiteral("occupé par un autre programme");
    case ENOTTY:
        return QStringLiteral("ce n'est pas un port série");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    case EEXIST:
        return QStringLiteral("le fichier existe déjà");
    case EINVAL:
        return QStringLiteral("nom ou opération refusé par le système");
    case ELOOP:
        return QStringLiteral("trop de liens symboliques");
    case ETXTBSY:
        return QStringLiteral("fichier en cours d'utilisation");
    default:
        return QStringLiteral("erreur système %1").arg(err);
    }
}

QString reasonFromFileType(unsigned mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG:
        return {};
    case S_IFDIR:
        return reasonFromErrno(EISDIR);
#ifdef S_IFIFO
    case S_IFIFO:
        return QStringLiteral("c'est un tube nommé, pas un fichier");
#endif
    case S_IFCHR:
#ifdef S_IFBLK
    case S_IFBLK:
#endif
        return QStringLiteral("c'est un périphérique, pas un fichier");
#ifdef S_IFSOCK
    case S_IFSOCK:
        return QStringLiteral("c'est une prise de communication, pas un fichier");
#endif
    default:
        return QStringLiteral("ce n'est pas un fichier ordinaire");
    }
}

QString failureSentence(const QString &verb, const QString &path, const QString &reason)
{
    return QStringLiteral("Impossible %1 « %2 » : %3")
        .arg(verb.startsWith(u'é') || verb.startsWith(u'o') || verb.startsWith(u'a') ? QStringLiteral("d'") + verb
                                                                                     : QStringLiteral("de ") + verb,
             QDir::toNativeSeparators(path), reason);
}

}  // namespace files
