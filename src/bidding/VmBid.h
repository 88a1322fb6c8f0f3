#pragma once
// The bid editor: the user composes the bids of one turn group by group, the checks stop
// what is certainly wrong, and "&Mehet" sends the turn as one line. It also takes the
// club's bid text, offers contras against the other side and passes the text to the list.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>

class Context;
class QComboBox;
class QLabel;
class QMimeData;
class QListWidget;
class QPushButton;
class QStatusBar;

class TBidxForm : public QWidget
{
    Q_OBJECT
public:
    explicit TBidxForm(Context &ctx);

    // The hand signals the own hand proposes ("Jelzések"), replacing the earlier ones.
    void SetSignals(const QStringList &proposals);
    const QStringList &GroupBids(int group) const { return m_groupBids.at(group); }

    // The "B" line: empty = the user's turn; otherwise the bid text of the deal so far.
    void ReceiveBid(const QString &text);
    QString LastBids() const { return m_lastBids; }
    // A new deal (or another room's) begins: the last bid text and the contras offered
    // against it belong to the deal before.
    void NewDeal();

    void BidGroupsClick();
    void BidAddClick();
    void BidDelClick();
    void BidUpClick();
    void BidDownClick();
    void BidSendClick();
    void BidUndo();
    void BidMouseMove(const QPoint &pos);

    // Reordering the pending bids by dragging within fdSend. The drag carries
    // fdSendDragData (a new object, the caller's); a drop is accepted only with that data,
    // while a drag of fdSend is on.
    void fdSendStartDrag();
    QMimeData *fdSendDragData() const;
    bool fdSendDragOver(const QMimeData *data) const;
    void fdSendDragDrop(const QPoint &pos);
    int DragIndex() const { return m_dragIndex; }

    // The pending bids in sending order, and which of them came from the signals group.
    QStringList Pending() const;
    QList<bool> PendingSignalMarks() const;
    QString StatusText() const;

    QListWidget *fdGroups = nullptr;
    QComboBox *fdHigher = nullptr;
    QListWidget *fdBid = nullptr;
    QPushButton *btUp = nullptr;
    QPushButton *btAdd = nullptr;
    QPushButton *btDel = nullptr;
    QPushButton *btDown = nullptr;
    QPushButton *cmUndo = nullptr;
    QListWidget *fdSend = nullptr;
    QPushButton *cmGo = nullptr;
    QStatusBar *StatusBar = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormCreate();
    void buildControls();
    void selectGroup(int group);
    void moveEntry(int from, int to);
    QByteArray dragMark() const;
    void setStatus(const QString &text);
    int ownSeat() const;

    Context &m_ctx;
    std::array<QStringList, 10> m_groupBids;
    QString m_lastBids;
    int m_dragIndex = -1;
    int m_shownGroup = -1; // the group fdBid holds a copy of; -1 before the first choice
    QLabel *m_statusText = nullptr;
};
