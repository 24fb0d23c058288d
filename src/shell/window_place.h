#pragma once
// The window's size and place, kept per user between runs: once the place of
// the last run is asked for (the panel's start does), the place at the end is
// kept for the next. Tests that show a window directly never write it.

#include <QRect>
#include <QString>

class QWidget;

class WindowPlace {
public:
    WindowPlace(QWidget &window, QString settingsFile);

    void save() const;
    // The place of the last run, when it is known and the window fits the
    // screen there; otherwise the window keeps the place it was given.
    bool restore(const QRect &available);

private:
    QWidget &window_;
    QString settings_file_;
    bool keep_ = false;
};
