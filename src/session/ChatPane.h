#pragma once
// The chat pane: one entry per line, plain text. While the windows hold their painting
// during a burst of server lines, new lines wait here and go into the document in one
// batch, so that each line is not laid out and shaped on its own.

#include <QPlainTextEdit>
#include <QStringList>

class ChatPane : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit ChatPane(QWidget *parent = nullptr);

    void appendLine(const QString &text);
    int lineCount() const { return m_documentLines + int(m_pending.size()); }
    // Removes the first `count` lines.
    void removeFirst(int count);
    // Every line, oldest first, exactly as appended (no-break spaces kept).
    QStringList lines() const;
    // Moves the waiting lines into the document.
    void flush();

private:
    int m_documentLines = 0;
    QStringList m_pending;
};
