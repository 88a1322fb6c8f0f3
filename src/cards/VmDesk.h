#pragma once

#include <QWidget>
#include <array>

class Context;
class QLabel;

class TDeskForm : public QWidget
{
    Q_OBJECT
public:
    explicit TDeskForm(Context &ctx);

    // The room page's seat fields: the one record of who sits where.
    void SetSeatFields(const std::array<QLabel *, 4> &fields) { m_seatFields = fields; }
    QLabel *SeatField(int seat) const { return m_seatFields.at(seat - 1); }

    // The trick in play; -1 while bidding, which refuses card play until the first trick.
    void SetTrick(int trick) { m_trick = trick; }
    int Trick() const { return m_trick; }

private:
    int m_trick = 0;
    std::array<QLabel *, 4> m_seatFields{};
    Context &m_ctx;
};
