#pragma once
// A control found by its design name, as a person finds it on the screen; a
// name that is not there stops the test at once.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMouseEvent>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <QTest>
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

// Cyclic acquisition of one frame as a person sets it: its programme panel,
// the interval, the "Auto" box, then "Validation".
inline void startCyclic(const QObject *root, bool analog, const QString &interval)
{
    const auto name = [analog](const char *a, const char *l) { return QString::fromLatin1(analog ? a : l); };
    QTest::mouseClick(control<QWidget>(root, name("Command16", "Command14")), Qt::LeftButton);
    auto *list = control<QComboBox>(root, name("Combo4", "Combo1"));
    list->setCurrentIndex(list->findText(interval));
    control<QCheckBox>(root, name("Check6", "Check1"))->setChecked(true);
    QTest::mouseClick(control<QWidget>(root, name("Command21", "Command18")), Qt::LeftButton);
}

// A mouse event sent straight to w at at (its own pixels): the button is
// held during the event except for a release (a move with a button drags).
inline void mouse(QWidget *w, QEvent::Type type, QPointF at, Qt::MouseButton button = Qt::NoButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, mods);
    QApplication::sendEvent(w, &e);
}

// A click of button: its press and its release.
inline void clickAt(QWidget *w, QPointF at, Qt::MouseButton button = Qt::LeftButton)
{
    mouse(w, QEvent::MouseButtonPress, at, button);
    mouse(w, QEvent::MouseButtonRelease, at, button);
}

}  // namespace panel
