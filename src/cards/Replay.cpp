#include "Replay.h"

#include <algorithm>

TStripLayout LayStrip(int n, int length, bool vertical)
{
    TStripLayout lay;
    lay.gap = std::min(((10 - n) * 3) / 2, 4);
    lay.step = (vertical ? 15 : 26) + lay.gap;
    int pos = (length - (n * lay.step - lay.gap)) / 2;
    for (int i = 0; i < n; ++i, pos += lay.step)
        lay.positions.append(pos);
    return lay;
}

int NameImageTop(int letters)
{
    return std::max(0, 44 - (letters / 2) * 11);
}

THand &TReplay::SeatHand(int seat)
{
    if (seat < 1 || seat > 4)
        throw RangeError(QStringLiteral("Hibás ülőhely: %1").arg(seat));
    return m_hands[seat - 1];
}

const THand &TReplay::SeatHand(int seat) const
{
    return const_cast<TReplay *>(this)->SeatHand(seat);
}

int TReplay::SlotOr0(const THand &hand, int slot)
{
    return slot >= 0 && slot < hand.Count() ? hand.Get(slot) : 0;
}

void TReplay::SetBoard(int deal)
{
    Leaders.SetCount(0);
    Leaders.Add(deal % 2 != 0 ? 1 : 3);
    for (int slot = 0; slot < 9; ++slot) {
        const int lead = Leaders.Get(slot);
        int cards[4];
        for (int k = 0; k < 4; ++k)
            cards[k] = SlotOr0(m_hands[(lead - 1 + k) % 4], slot);
        Leaders.Add((lead - 1 + TrickWinner(cards)) % 4 + 1);
    }
}

void TReplay::SetPosition(int t, int s)
{
    m_t = std::clamp(t, 0, 10);
    m_s = std::clamp(s, 0, 4);
    // Trick 0 complete and trick 11 begun do not exist.
    if (m_t == 0 && m_s == 4)
        m_s = 0;
    if (m_t == 10)
        m_s = 4;
}

void TReplay::GoFirst()
{
    SetPosition(0, 0);
}

void TReplay::GoPrevTrick()
{
    const int t = m_t - 1;
    if (t > 0)
        SetPosition(t, 4);
    else
        SetPosition(0, 0);
}

void TReplay::StepBack()
{
    int t = m_t;
    const int s = m_s - 1;
    if (s == 3)
        --t;
    if (s >= 0) {
        SetPosition(t, s);
    } else {
        // From an empty table after trick t back to trick t complete.
        m_t = t + 1;
        GoPrevTrick();
    }
}

void TReplay::StepForward()
{
    int s = m_s;
    if (m_t < 10)
        ++s;
    if (s > 4)
        s = 0;
    if (s == 4) {
        GoNextTrick();
    } else {
        SetPosition(m_t, s);
    }
}

void TReplay::GoNextTrick()
{
    SetPosition(std::min(m_t + 1, 10), 4);
}

void TReplay::GoLast()
{
    SetPosition(10, 4);
}

int TReplay::LeaderInView() const
{
    const int slot = std::clamp(m_s == 4 ? m_t - 1 : m_t, 0, 9);
    const int leader = SlotOr0(Leaders, slot);
    return leader >= 1 && leader <= 4 ? leader : 1;
}

std::array<TReplay::TSeatShow, 4> TReplay::Position() const
{
    const int slot = std::clamp(m_s == 4 ? m_t - 1 : m_t, 0, 9);
    const int lead = LeaderInView();
    std::array<TSeatShow, 4> shows;
    for (int k = 0; k < 4; ++k) {
        const int idx = (lead - 1 + k) % 4;
        if (k < m_s)
            shows[idx] = {slot + 1, SlotOr0(m_hands[idx], slot)};
        else
            shows[idx] = {slot, 0};
    }
    return shows;
}

QString TReplay::ScoreText() const
{
    const int second = m_t > 0 ? SlotOr0(Tricks, m_t - 1) : 0;
    return QStringLiteral("%1 : %2").arg(m_t - second).arg(second);
}
