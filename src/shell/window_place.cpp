#include "shell/window_place.h"

#include <QSettings>
#include <QWidget>

namespace {
constexpr const char *kPlaceKey = "fenetre/geometrie";
}

WindowPlace::WindowPlace(QWidget &window, QString settingsFile)
    : window_(window), settings_file_(std::move(settingsFile))
{
}

void WindowPlace::save() const
{
    if (!keep_ || !window_.isVisible()) return;
    QSettings settings(settings_file_, QSettings::IniFormat);
    settings.setValue(QString::fromLatin1(kPlaceKey), window_.saveGeometry());
}

bool WindowPlace::restore(const QRect &available)
{
    keep_ = true;
    const QSettings settings(settings_file_, QSettings::IniFormat);
    const QByteArray kept = settings.value(QString::fromLatin1(kPlaceKey)).toByteArray();
    if (kept.isEmpty()) return false;
    const QRect before = window_.geometry();
    if (!window_.restoreGeometry(kept)) return false;
    if (available.isValid() && !window_.isMaximized() && !available.contains(window_.geometry())) {
        window_.setGeometry(before);  // a smaller screen than last time
        return false;
    }
    return true;
}
