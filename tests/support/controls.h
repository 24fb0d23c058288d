#pragma once
// A control found by its design name, as a person finds it on the screen; a
// name that is not there stops the test at once.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <QtGlobal>

namespace panel {

template <class T>
T *control(const QObject *root, const QString &name)
{
    T *w = root->findChild<T *>(name);
    if (!w) qFatal("no control %s", qPrintable(name));
    return w;
}

// The texts of row r of a table, cell by cell (an empty cell gives "").
inline QStringList cells(const QTableWidget *t, int r)
{
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c) out << (t->item(r, c) ? t->item(r, c)->text() : QString());
    return out;
}

}  // namespace panel
