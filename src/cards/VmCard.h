#pragma once
// The own hand: the user's cards in a strip, picked with the mouse or the keys and played
// by dragging onto the table, double-clicking or Enter, after the legality check.

#include "Hands.h"

#include <QPixmap>
#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <array>

class Context;

class TCardForm : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Slots = 10;
    enum CardSizeItem { Normal = 0, Mini = 1 };

    explicit TCardForm(Context &ctx);

    // The "H" line.
    void HandMessage(QString &argument);
    // Orders, lays out and repaints the own hand.
    void ShowHand();
    // Sizes the window and the slots for the card size of the settings page; the
    // overload takes the size itself (0 "Normál", 1 "Mini").
    void ApplyCardSize();
    void ApplyCardSize(int size);
    // The table's "P" handler calls this when the seat to act is the user's.
    void YourTurn();
    // The user's request to play the selected card (also a drop on the table).
    void PlaySelected();
    void SendPlay();
    // The selected card may be played on the table's current trick.
    bool IsLegalPlay() const;
    // Sorts a hand for display by the order of the settings page.
    void OrderHand(THand &hand) const;
    // Top of a slot at rest or selected, for the active card size.
    int CardTop(bool selected) const;
    void SelectCard(int slot);

    const THand &Hand() const { return m_hand; }
    const THand &SuitCounts() const { return m_counts; }
    int Selected() const { return m_selected; }
    QWidget *Slot(int i) const { return m_slot.at(i); }
    int Tag(int i) const { return m_tag.at(i); }
    int CardSizeInUse() const { return m_size; }

    // The hand signals of the last ten-card hand, for the bid editor's "Jelzések" group.
    const QStringList &Proposals() const { return m_proposals; }

signals:
    // A fresh ten-card hand has been analysed; the bid editor replaces its "Jelzések"
    // group with these.
    void proposalsChanged(const QStringList &proposals);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void KeyDown(int key);
    const QPixmap &picture(int card) const;
    bool inHand(int slot) const { return slot >= 0 && slot < m_hand.Count(); }
    void startDrag();

    Context &m_ctx;
    THand m_hand;
    THand m_counts;
    QStringList m_proposals;
    std::array<QWidget *, Slots> m_slot{}; // Image0..Image9: position and size only
    std::array<int, Slots> m_tag{};
    int m_selected = 1;
    int m_size = -1; // no picture list until ApplyCardSize
    int m_pressSlot = -1;
    QPoint m_pressAt;
};
