#pragma once
// A control found by its design name, as a person finds it on the screen; a
// name that is not there stops the test at once.

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace panel {

template <class T>
T *control(const QObject *root, const QString &name)
{
    T *w = root->findChild<T *>(name);
    if (!w) qFatal("no control %s", qPrintable(name));
    return w;
}

}  // namespace panel
