#pragma once
// The bid list: a bid text laid out in four seat columns, and the record of a stored deal
// whose bidding the deal history lays out the same way.

#include "cards/Hands.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

class Context;
class QLabel;
class QListWidget;
class QTreeWidgetItem;

// One stored deal of the history. The history creates, fills and owns it.
struct TBoard
{
    TBoard(const QString &board, qint32 id) : Board(board), Id(id) {}

    QTreeWidgetItem *Node = nullptr; // the history tree entry that shows this deal
    QString Board;                   // board number, as received
    qint32 Id = 0;                   // the deal's id within the board
    qint32 Day = 0;                  // day number
    std::array<QString, 4> Names;    // nicknames at seats 1..4
    // [0]: side 2-3's tricks after each of the ten tricks; [1..4]: the cards seats 1..4 played.
    std::array<THand, 5> Hands;
    QString Split;  // final trick score, side 1-4 first
    QString Tag;    // the word after the day in the deal record
    QString Scores; // score rows; empty until fetched, "X" while asked for
    QString Bids;   // bid text; empty until fetched, "X" while asked for
};

class TListForm : public QWidget
{
    Q_OBJECT
public:
    explicit TListForm(Context &ctx);

    // Shows the window with `text` laid out, the seat captions taken from the table's seat
    // fields, and the newest bid in view. A text that cannot be read changes nothing.
    void ShowBids(const QString &text);
    // Lays a stored deal's bid text out into `lines`; on a text that cannot be read it
    // throws and leaves `lines` as they were.
    static void RenderBoard(const TBoard &board, QStringList &lines);
    // Lays Source out into the list.
    void Render();

    // The lines the list shows, top to bottom.
    QStringList Lines() const;

    QWidget *pnBids = nullptr;
    QLabel *Seat4 = nullptr;
    QLabel *Seat1 = nullptr;
    QLabel *Seat2 = nullptr;
    QLabel *Seat3 = nullptr;
    QListWidget *ListBox = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *seatLabel(int seat) const;
    void placeSeatLabels();

    Context &m_ctx;
    QString m_source;
};
