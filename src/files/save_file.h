#pragma once
// Every file the panel writes goes through here. The bytes go to a new file
// beside the old one; only when every byte is known to be on the disk (each
// write checked, the file synchronised and closed without error) is it
// renamed over the old name, and the folder is synchronised too. A failed
// save (full disk, refused access, a name that is a folder …) leaves the old
// file byte for byte as it was.
//
// A name that is a symbolic link: the link itself is replaced by a regular
// file, the file it points to is never written. A name that is a folder, a
// named pipe or a device is refused, and so is an existing file that the
// user made read-only.
//
// The new file is hidden beside the old one as ".NAME.pramelor-XXXXXXX". Such
// files left by a save cut short (a crash, a kill, a power cut) are removed
// by the next save into the same folder once a minute old; nothing else is.

#include <QByteArray>
#include <QString>

namespace files {

// error receives a French sentence naming the file and the reason.
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error);
// The same, also giving the system's error number of the failure (0 when the
// reason is not one: a folder, a pipe …).
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error, int *errorNumber);

}  // namespace files
