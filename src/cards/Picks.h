#pragma once
// The compact table: all four hands as strips of small cards, the trick in front of the
// seats, the names, the deal number and the trick score. The spectator window shows one,
// fed by the club's lines; the deal history shows another and steps a recorded deal.

#include "Replay.h"

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>

class Context;

// A picture holder: shows its pixmap at its top left, nothing else.
class TPicture : public QWidget
{
    Q_OBJECT
public:
    explicit TPicture(QWidget *parent) : QWidget(parent) {}
    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QPixmap m_picture;
};

// One card in front of a seat.
class TTableCard : public TPicture
{
    Q_OBJECT
public:
    using TPicture::TPicture;
    void setCard(int card);
    int card() const { return m_card; }

private:
    int m_card = 0;
};

// A seat's held cards in a row (or a column for the side seats).
class TCardStrip : public TPicture
{
    Q_OBJECT
public:
    using TPicture::TPicture;
    // The cards as given; they are ordered for display here.
    void setCards(const THand &cards, int order);
    const THand &cards() const { return m_shown; } // in display order
    const QVector<int> &positions() const { return m_layout.positions; }
    bool vertical() const { return height() > width(); }

private:
    THand m_shown;
    TStripLayout m_layout;
};

// The rounded table in the middle.
class TTableShape : public QWidget
{
    Q_OBJECT
public:
    explicit TTableShape(QWidget *parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *) override;
};

class TPlayView : public QWidget
{
    Q_OBJECT
public:
    // The key colour of the small pictures; the view's brush. Nothing is painted in it:
    // what is drawn in the key colour shows the felt under it.
    static constexpr QColor KeyColour = QColor(255, 0, 255);
    static constexpr QSize ViewSize = QSize(329, 216);

    // `cardOrder` gives the card-order setting each time a strip is laid out
    // (empty: descending).
    explicit TPlayView(QWidget *parent = nullptr, std::function<int()> cardOrder = {});
    // Reads the card order from the settings page.
    TPlayView(Context &ctx, QWidget *parent);

    // Seat 1..4; anything else is a range error.
    THand &SeatHand(int seat) { return m_replay.SeatHand(seat); }
    THand &Tricks() { return m_replay.Tricks; }
    THand &Leaders() { return m_replay.Leaders; }
    TReplay &Replay() { return m_replay; }

    // Seats 1..4 from the texts of four labels (a missing label reads as no name).
    void SetNames(const std::array<QLabel *, 4> &fields);
    void SetNames(const std::array<QString, 4> &names);
    // The deal number shown, and the trick leaders worked out from it and the seat hands.
    void SetBoard(int deal);
    // The deal number as the lobby writes it, for spectators (no leaders needed there).
    void SetBoardText(const QString &text);

    // The seat's strip shows the hand from slot `from` to its end, in the chosen order.
    void DrawHand(const THand &hand, int from, int seat);
    // The card in front of the seat (0 = the empty place).
    void DrawPlayed(int card, int seat);
    // Redraws every strip after the card-order setting changed.
    void ApplyCardOrder();

    // Draws `text` downwards, one letter under the other, into `image` (filled with the
    // key colour first); returns the first letter's top.
    static int PaintNameImage(const QString &text, QPixmap &image);

    // Replay: hands, table and score at the current position.
    void ShowPosition();
    void GoFirst();
    void GoPrevTrick();
    void StepBack();
    void StepForward();
    void GoNextTrick();
    void GoLast();

    // The felt the view is painted on, and the colours drawn on it.
    static QColor FeltColour();
    static QColor TableColour();
    static QColor TextColour();

protected:
    void paintEvent(QPaintEvent *) override;

private:
    void build();
    int cardOrder() const;
    TCardStrip *strip(int seat) const;
    TTableCard *tableCard(int seat) const;

    std::function<int()> m_cardOrder;
    TReplay m_replay;
    std::array<TCardStrip *, 4> m_strips{};
    std::array<TTableCard *, 4> m_played{};
    std::array<THand, 4> m_stripCards; // what each strip was last given, before ordering
    TPicture *m_name2 = nullptr;
    TPicture *m_name4 = nullptr;
    QLabel *m_nick1 = nullptr;
    QLabel *m_nick3 = nullptr;
    QLabel *m_board = nullptr;
    QLabel *m_score = nullptr;
};

// Small card picture `index` with its key-coloured pixels made see-through.
const QPixmap &SmallPicture(int index);
