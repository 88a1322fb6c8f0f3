#pragma once
// The bid list: a deal's bidding laid out under the four seats, and the record of a stored
// deal that the deal history keeps.

#include "cards/Hands.h"

#include <QFont>
#include <QHash>
#include <QWidget>
#include <array>

class Context;
class QLabel;
class QListWidget;
class QTreeWidgetItem;

// One stored deal of the history.
struct TBoard
{
    TBoard(QString board, qint32 id) : Board(std::move(board)), Id(id) {}

    QTreeWidgetItem *Node = nullptr;
    QString Board;
    qint32 Id;
    qint32 Day = 0;
    std::array<QString, 4> Names;
    // Hands[0]: side 2-3's tricks after each trick; Hands[1..4]: each seat's cards in trick order.
    std::array<THand, 5> Hands;
    QString Split;
    QString Tag;
    QString Scores; // the reply once it has come; whether it was asked for is the history's
    QString Bids;   // likewise
};

class TListForm : public QWidget
{
    Q_OBJECT
public:
    explicit TListForm(Context &ctx);

    // Shows the window with the seats' names over the columns and the bids laid out.
    void ShowBids(const QString &text);
    // Lays a stored deal's bids out into `lines` (neither shows nor touches the header).
    // A text that cannot be read throws and leaves `lines` as they were.
    static void RenderBoard(const TBoard &board, QStringList &lines);
    // The lines the list shows, top to bottom.
    QStringList Lines() const;
    // Lays Source out into Target.
    void Render();

    QString Source;
    QStringList Target;

    // The four columns in display order (0 = seat 4, 1 = seat 1, 2 = seat 2, 3 = seat 3):
    // left edge in the list's contents and width. Each column is as wide as its widest bid
    // or its caption needs, and never narrower than the design's 80 pixels.
    int ColumnLeft(int column) const { return m_columnLeft.at(column); }
    int ColumnWidth(int column) const { return m_columnWidth.at(column); }
    int ContentsWidth() const { return m_columnLeft[3] + m_columnWidth[3]; }
    static constexpr int DesignColumnWidth = 80;
    static constexpr int ColumnMargin = 8;
    static constexpr int ColumnPadding = 6; // between a column's text and the next column

    QWidget *pnBids = nullptr;
    std::array<QLabel *, 4> Seats{}; // Seat1 .. Seat4
    QListWidget *ListBox = nullptr;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Works the column widths out from the lines and captions shown, and puts the captions
    // over their columns.
    void fitColumns();
    void placeCaptions();
    // The list's width of one bid, measured once per font: a deal's few dozen bids come from a
    // vocabulary of a few dozen words, and laying text out is the dearest step of a bid reply.
    int bidWidth(const QString &bid);

    Context &m_ctx;
    QHash<QString, int> m_bidWidths;
    QFont m_bidWidthsFont; // the list's font they were measured in
    std::array<int, 4> m_columnLeft{8, 88, 168, 248};
    std::array<int, 4> m_columnWidth{80, 80, 80, 80};
};
