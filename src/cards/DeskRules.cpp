#include "DeskRules.h"

namespace {

constexpr int CardWidth = 114;
constexpr int CardHeight = 204;
constexpr int HandMax = 10;
constexpr int Tricks = 10;

void checkSeat(int seat)
{
    if (seat < 1 || seat > 4)
        Fail(QStringLiteral("Érvénytelen ülőhely: %1").arg(seat));
}

void checkCard(int card, int lowest)
{
    if (card < lowest || card > Card::Skiz)
        Fail(QStringLiteral("Hibás lapszám: %1").arg(card));
}

} // namespace

int DisplayPosition(int seat, int ownSeat)
{
    const int o = ownSeat >= 1 && ownSeat <= 4 ? ownSeat : 1;
    return ((seat - o) % 4 + 4) % 4 + 1;
}

TrickLine ParseTrickLine(QString argument)
{
    if (argument.isEmpty())
        Fail(QStringLiteral("Ilyen nincs már"));
    const QString line = argument;
    // Seven words exactly: a short line would read as empty places and a long one would
    // hide a fault of the sender.
    std::array<int, 7> n{};
    for (int &value : n) {
        const QString word = NextWord(argument);
        if (word.isEmpty())
            Fail(QStringLiteral("Hibás ütéssor: ") + ShortQuote(QLatin1Char('P') + line));
        value = StrToInt(word);
    }
    if (!argument.isEmpty())
        Fail(QStringLiteral("Hibás ütéssor: ") + ShortQuote(QLatin1Char('P') + line));
    TrickLine t;
    const int who = n[0];
    if (who == 0 || who < -4 || who > 4)
        Fail(QStringLiteral("Érvénytelen ülőhely: %1").arg(who));
    t.taken = who < 0;
    t.seat = t.taken ? -who : who;
    t.trick = n[1];
    t.count = n[2];
    for (int s = 0; s < 4; ++s)
        t.cards[s] = n[3 + s];
    if (t.trick < 1 || t.trick > Tricks)
        Fail(QStringLiteral("Hibás hívásszám: %1").arg(t.trick));
    if (t.count < 0 || t.count > Tricks)
        Fail(QStringLiteral("Hibás ütésszám: %1").arg(t.count));
    for (int card : t.cards)
        checkCard(card, 0);
    return t;
}

QString TrickStatus(const TrickLine &line, const QString &seatName)
{
    const int first = line.trick - (line.taken ? 0 : 1) - line.count;
    // One arg call: a second one would read "%1" inside the nickname as a place of its own.
    return QStringLiteral(" %1. hívás. %2 %3.  Ütések %4:%5")
        .arg(QString::number(line.trick), seatName,
             line.taken ? QStringLiteral("ütött") : QStringLiteral("jön"), QString::number(first),
             QString::number(line.count));
}

HandLine ParseHandLine(QString argument)
{
    HandLine h;
    h.seat = NextInt(argument);
    checkSeat(h.seat);
    while (!argument.isEmpty() && h.cards.Count() < HandMax) {
        const int card = NextInt(argument);
        // A hand holds real cards only: a 0 would count as a tarokk in the suit counts.
        checkCard(card, 1);
        h.cards.Add(card);
    }
    return h;
}

std::array<QPoint, 4> LayoutDesk(QSize client, int barHeight)
{
    const int h = (client.height() - barHeight) / 2;
    const int a = h < CardHeight + 1 ? 0 : h - CardHeight;
    const int v = (client.width() - 3 * CardWidth) / 6;
    const QPoint bottom(3 * v + CardWidth, h + a);
    const QPoint left(v, h - a - CardHeight / 2);
    const QPoint top(bottom.x(), h - a - CardHeight);
    const QPoint right(5 * v + 2 * CardWidth, left.y());
    return {bottom, right, top, left};
}
