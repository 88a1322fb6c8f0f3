#pragma once
// The user's own cards: a strip of pictures to pick from with the mouse or the keys and to
// play by dragging onto the table, double-clicking or pressing Enter.

#include "HandRules.h"

#include <QWidget>
#include <array>
#include <functional>

class Context;

class TCardForm : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *CardMimeType = "application/x-vimo-card";

    explicit TCardForm(Context &ctx);

    // The "H" line: a seat, then up to ten cards.
    void HandMessage(QString &argument);
    void ApplyCardSize();
    void ShowHand();
    void YourTurn();
    void PlaySelected();
    void SendPlay();
    void SelectCard(int slot);
    int CardTop(bool selected) const;

    const THand &Hand() const { return m_hand; }
    int Selected() const { return m_selected; }
    QRect SlotRect(int slot) const { return m_slots[slot]; }
    int SlotCard(int slot) const { return m_slotCards[slot]; }
    // The signals a fresh ten-card hand proposes to the bid editor.
    const QStringList &Proposals() const { return m_proposals; }

    // The table's state, read when the user plays; the table window provides it.
    std::function<TableState()> tableState;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    const QPixmap &picture(int card) const;
    QSize cardSize() const;

    Context &m_ctx;
    THand m_hand;
    THand m_counts;
    QStringList m_proposals;
    std::array<QRect, 10> m_slots{};
    std::array<int, 10> m_slotCards{};
    int m_selected = 1;
    int m_size = -1; // the active picture list: 0 full size, 1 small, -1 none yet
};
