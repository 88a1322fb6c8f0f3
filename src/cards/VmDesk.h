#pragma once
// The table: the four cards of the trick in play in front of the four seats, the status
// line of the play as the caption, and the table state the own hand's checks read.

#include <QString>
#include <QWidget>
#include <array>

class Context;
class QLabel;
class QToolButton;
class DeskCard;

// One trick as the table shows it: the caption and the cards at display positions 1..4
// (index 0 = bottom, the own seat; 1 right; 2 top; 3 left; 0 = no card).
struct TrickRecord
{
    QString caption;
    std::array<int, 4> cards{};
};

class TDeskForm : public QWidget
{
    Q_OBJECT
public:
    static constexpr int BarHeight = 22;
    // The client size the window opens with.
    static constexpr int DesignWidth = 396;
    static constexpr int DesignHeight = 439;
    // The drag format of a card dragged out of the own hand.
    static constexpr const char *CardMime = "application/x-vimo-card";

    explicit TDeskForm(Context &ctx);

    // The room page's seat fields: the one record of who sits where.
    void SetSeatFields(const std::array<QLabel *, 4> &fields) { m_seatFields = fields; }
    QLabel *SeatField(int seat) const { return m_seatFields.at(seat - 1); }

    // The "P" line.
    void TrickMessage(QString &argument);

    enum class Which { Current, Previous };
    void ShowTrick(Which which);
    Which Showing() const { return m_showing; }

    // A new deal (or another room's) begins: neither its current nor its previous trick
    // is known yet.
    void NewDeal();

    void cmCurr();
    void cmPrev();
    void cmUndo();

    // -1 while bidding: the bid editor sets it when bidding starts, so that play attempts
    // are refused until the first "P" of the play.
    int TrickNumber() const { return m_trick; }
    void SetTrickNumber(int trick) { m_trick = trick; }
    int SeatToAct() const { return m_seatToAct; }
    const TrickRecord &Current() const { return m_current; }
    const TrickRecord &Previous() const { return m_previous; }

    // The card a place shows now (position 1..4).
    int ShownCard(int position) const;

public:
    // Controls, named as the program names them.
    std::array<DeskCard *, 4> Image{}; // Image1..Image4
    QWidget *Panel = nullptr;
    QLabel *lbNick = nullptr;
    QToolButton *btPrev = nullptr;
    QToolButton *btUndo = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool acceptsDropAt(const QPoint &pos) const;
    void layoutCards();

    std::array<QLabel *, 4> m_seatFields{};
    Context &m_ctx;
    int m_trick = 0;
    int m_seatToAct = 0;
    TrickRecord m_current;
    TrickRecord m_previous;
    Which m_showing = Which::Current;
};
