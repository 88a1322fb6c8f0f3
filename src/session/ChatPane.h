#pragma once
// The chat pane: one entry per line, plain text. New lines wait here and go into the
// document in one batch when the event loop next turns, so that a burst of server lines
// is laid out and shaped once rather than line by line. The pane keeps at most
// `Capacity` lines: a flood or a long evening cannot grow it without bound.

#include <QPlainTextEdit>
#include <QStringList>

class ChatPane : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr int Capacity = 4000;
    // What a lone CR or LF inside a line shows as: the line stays one entry.
    static constexpr char16_t LineBreakSign = u'\u21B5';

    explicit ChatPane(QWidget *parent = nullptr);

    void appendLine(const QString &text);
    int lineCount() const;
    // Removes the first `count` lines.
    void removeFirst(int count);
    // Every line, oldest first, as shown (no-break spaces kept).
    QStringList lines() const;
    // Moves the waiting lines into the document.
    void flush();

private:
    int m_documentLines = 0;
    QStringList m_pending;
    bool m_flushQueued = false;
};
