#include "shell/debug_box.h"

#include <QEvent>

DebugBox::DebugBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Text1"));
    setReadOnly(true);
    setStyleSheet(QStringLiteral("background-color: rgb(192,255,255);"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    viewport()->installEventFilter(this);
    hide();
}

void DebugBox::open(const QString &buffer)
{
    show();
    showTail(buffer);
    raise();
    moveCursor(QTextCursor::End);
}

void DebugBox::showReceived(const QString &received, const QString &buffer)
{
    if (isHidden()) return;
    view_size_ += received.size();
    if (view_size_ > kViewCap + kViewCap / 4) {
        showTail(buffer);
    } else {
        moveCursor(QTextCursor::End);
        insertPlainText(received);
    }
    moveCursor(QTextCursor::End);  // the newest characters in sight
}

void DebugBox::showTail(const QString &buffer)
{
    if (isHidden()) return;
    const QString tail = buffer.right(kViewCap);
    view_size_ = tail.size();
    setPlainText(tail);
}

bool DebugBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == viewport() && event->type() == QEvent::MouseButtonPress) emit clicked();
    return QPlainTextEdit::eventFilter(watched, event);
}
