#pragma once
// Text1, the "debug" box: the characters the board sent, newest at the end.
// A click in it hides it again.

#include <QPlainTextEdit>

class DebugBox : public QPlainTextEdit {
    Q_OBJECT
public:
    // The box shows only the newest part of the buffer: a long line of text
    // costs the box far more memory than the characters themselves.
    static constexpr int kViewCap = 4 * 1024;

    explicit DebugBox(QWidget *parent);

    // Shown, raised and refreshed from the buffer (the hidden box is not kept up).
    void open(const QString &buffer);
    // Received characters are added as they come while the box is open; the
    // box is rewritten from the buffer only now and then, not on every piece.
    void showReceived(const QString &received, const QString &buffer);
    void showTail(const QString &buffer);

signals:
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    qsizetype view_size_ = 0;  // characters put into the box
};
