#pragma once
// Failures said in French: the reason comes from the kind of error, never
// from the platform's English text.

#include <QString>

namespace files {

// The reason for a failed file or device operation, from the system's error
// number: "disque plein", "accès refusé", "c'est un dossier" …
QString reasonFromErrno(int err);

// Why something that is not a regular file cannot be read or written as
// one, from its file type (the st_mode of stat): "c'est un dossier", "c'est
// un tube nommé, pas un fichier" …; empty for a regular file.
QString reasonFromFileType(unsigned mode);

// "Impossible d'écrire « path » : reason" (verb: "écrire", "lire", "ouvrir" …).
QString failureSentence(const QString &verb, const QString &path, const QString &reason);

}  // namespace files
