// The window for keyboard users and between runs: the user guide on F1, and
// the window's size and place kept in the user's settings file.
#include "shell/form1.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace {
constexpr const char *kPlaceKey = "fenetre/geometrie";
}

// An installed panel lives in PREFIX/bin with its guide in
// PREFIX/share/doc/pramelor; a built one in a folder of the source tree,
// whose README.md is the guide.
QString Form1::userGuide() const
{
    const QDir dir(program_dir_);
    for (const QString &candidate : {QStringLiteral("../share/doc/pramelor/README.md"), QStringLiteral("README.md"),
                                     QStringLiteral("../README.md"), QStringLiteral("../../README.md")}) {
        const QFileInfo f(dir.filePath(candidate));
        if (f.isFile()) return f.canonicalFilePath();
    }
    return {};
}

void Form1::n_aide_Click()
{
    const QString guide = userGuide();
    if (guide.isEmpty()) {
        showStatus(
            QStringLiteral("Guide de l'utilisateur introuvable : README.md n'est ni dans « %1 » ni à côté du "
                           "programme")
                .arg(QDir::toNativeSeparators(QDir(program_dir_).filePath(QStringLiteral("../share/doc/pramelor")))));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(guide);
    const bool opened = setup_.openUrl ? setup_.openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened)
        showStatus(QStringLiteral("Impossible d'ouvrir le guide de l'utilisateur « %1 »")
                       .arg(QDir::toNativeSeparators(guide)));
}

void Form1::saveWindowPlace()
{
    if (!keep_place_ || !isVisible()) return;
    QSettings settings(userSettingsFile(), QSettings::IniFormat);
    settings.setValue(QString::fromLatin1(kPlaceKey), saveGeometry());
}

// The place of the last run, when it is known and the window fits the
// screen there; otherwise the window keeps the place it was given.
bool Form1::restoreWindowPlace(const QRect &available)
{
    keep_place_ = true;
    const QSettings settings(userSettingsFile(), QSettings::IniFormat);
    const QByteArray kept = settings.value(QString::fromLatin1(kPlaceKey)).toByteArray();
    if (kept.isEmpty()) return false;
    const QRect before = geometry();
    if (!restoreGeometry(kept)) return false;
    if (available.isValid() && !isMaximized() && !available.contains(geometry())) {
        setGeometry(before);  // a smaller screen than last time
        return false;
    }
    return true;
}
