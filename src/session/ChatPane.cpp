#include "ChatPane.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

ChatPane::ChatPane(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    // The document drops its oldest blocks itself, once per batch of new lines.
    document()->setMaximumBlockCount(Capacity);
}

void ChatPane::appendLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line)
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QChar(LineBreakSign);
    m_pending << line;
    if (m_pending.size() > Capacity)
        m_pending.erase(m_pending.begin(), m_pending.begin() + (m_pending.size() - Capacity));
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &ChatPane::flush, Qt::QueuedConnection);
    }
}

void ChatPane::flush()
{
    m_flushQueued = false;
    if (m_pending.isEmpty())
        return;
    QScrollBar *bar = verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    QTextCursor cursor(document());
    // The edit block first: a move outside one lays out the block it lands on.
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    for (const QString &line : std::as_const(m_pending)) {
        // The document's first block exists from the start; later lines open new blocks.
        if (m_documentLines > 0)
            cursor.insertBlock();
        cursor.insertText(line);
        ++m_documentLines;
    }
    cursor.endEditBlock();
    m_documentLines = document()->blockCount();
    m_pending.clear();
    if (atBottom)
        bar->setValue(bar->maximum());
}

int ChatPane::lineCount() const
{
    return std::min(m_documentLines + int(m_pending.size()), Capacity);
}

void ChatPane::removeFirst(int count)
{
    flush();
    const int fromDocument = std::min(count, m_documentLines);
    if (fromDocument == m_documentLines) {
        clear();
        m_documentLines = 0;
    } else if (fromDocument > 0) {
        // Moved inside an edit block: outside one, every move of a cursor lays out the
        // block it lands on to remember its place on the line, which for a full pane cost
        // more than the lines it removed.
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        cursor.setPosition(document()->findBlockByNumber(fromDocument).position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.endEditBlock();
        m_documentLines -= fromDocument;
    }
    m_pending.erase(m_pending.begin(),
                    m_pending.begin() + std::min<qsizetype>(count - fromDocument, m_pending.size()));
}

QStringList ChatPane::lines() const
{
    QStringList all;
    if (m_documentLines > 0)
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
            all << b.text();
    all += m_pending;
    // What the document will drop when the waiting lines go in.
    return all.mid(std::max<qsizetype>(0, all.size() - Capacity));
}
