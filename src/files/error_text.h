#pragma once
// Failures said in French: the reason comes from the kind of error, never
// from the platform's English text.

#include <QString>

namespace files {

// The reason for a failed file or device operation, from the system's error
// number: "disque plein", "accès refusé", "c'est un dossier" …
QString reasonFromErrno(int err);

// "Impossible d'écrire « path » : reason" (verb: "écrire", "lire", "ouvrir" …).
QString failureSentence(const QString &verb, const QString &path, const QString &reason);

}  // namespace files
