// The sampling robot: the same answer in the same position of a numbered deal (a replay and a
// take-back meet the same moves), the catches its imagined deals find, and announcements as
// far as the hand bears them.

#include "game/Auction.h"
#include "game/Deal.h"
#include "game/Robot.h"

#include "cards/Hands.h"

#include <QTest>

using namespace club;

namespace {

int tarokksOf(const QList<int> &hand)
{
    int n = 0;
    for (int c : hand)
        n += Card::isTarokk(c) ? 1 : 0;
    return n;
}

// The trick on the table, from the line the table reads: cards by seat, 0 for not yet down.
std::array<int, 4> trickCards(const Deal &deal)
{
    QString rest = deal.spectatorLines().last().mid(1);
    const int who = NextInt(rest);
    NextInt(rest);
    NextInt(rest);
    std::array<int, 4> cards{};
    for (int &c : cards)
        c = NextInt(rest);
    if (who < 0)
        cards = {};  // a complete trick: the next card opens a new one
    return cards;
}

} // namespace

class TstRobot : public QObject
{
    Q_OBJECT
private slots:
    void sameAnswerInTheSamePosition();
    void takeBackMeetsTheSameAnswer();
    void catchesTheXXIWithTheSkiz();
    void announcesWhatTheHandBears();
};

void TstRobot::sameAnswerInTheSamePosition()
{
    // Two deals of the same number, played by robots side by side, and a third of another
    // number: the first two agree move for move, the third goes its own way.
    auto play = [](int number) {
        Deal deal(number);
        QStringList moves;
        while (deal.phase() != Deal::Phase::Done && moves.size() < 80) {
            Outs out;
            const int seat = deal.onTurn();
            if (deal.phase() == Deal::Phase::Bidding) {
                moves << deal.robotTurn(seat);
                if (!deal.bid(seat, moves.last(), out).isEmpty())
                    return QStringList{QStringLiteral("refused")};
            } else {
                moves << QString::number(deal.robotCard(seat));
                if (!deal.play(seat, moves.last().toInt(), out).isEmpty())
                    return QStringList{QStringLiteral("refused")};
            }
        }
        return moves;
    };
    const QStringList first = play(4711);
    QVERIFY(!first.contains(QStringLiteral("refused")));
    QCOMPARE(play(4711), first);
    QVERIFY(play(4712) != first);
}

void TstRobot::takeBackMeetsTheSameAnswer()
{
    Deal deal(86);
    int checkedBids = 0, checkedCards = 0;
    while (deal.phase() != Deal::Phase::Done) {
        Outs out;
        const int seat = deal.onTurn();
        if (deal.phase() == Deal::Phase::Bidding) {
            const QString turn = deal.robotTurn(seat);
            QCOMPARE(deal.bid(seat, turn, out), QString());
            QVERIFY(deal.undo(out));
            QCOMPARE(deal.robotTurn(seat), turn);
            QCOMPARE(deal.bid(seat, turn, out), QString());
            ++checkedBids;
        } else {
            const int card = deal.robotCard(seat);
            QCOMPARE(deal.play(seat, card, out), QString());
            if (deal.phase() == Deal::Phase::Done)
                break;
            QVERIFY(deal.undo(out));
            QCOMPARE(deal.robotCard(seat), card);
            QCOMPARE(deal.play(seat, card, out), QString());
            ++checkedCards;
        }
    }
    QVERIFY(checkedBids >= 4);
    QVERIFY(checkedCards >= 30);
}

void TstRobot::catchesTheXXIWithTheSkiz()
{
    // Deals the basic robots play, stopped wherever a seat holding the Skíz may put it on
    // the other side's XXI: fifty points for the side, which the imagined deals all show.
    int positions = 0;
    for (int n = 2; n <= 400; ++n) {
        Deal deal(n);
        while (deal.phase() == Deal::Phase::Bidding) {
            Outs out;
            deal.bid(deal.onTurn(), QStringLiteral("0"), out);
        }
        while (deal.phase() == Deal::Phase::Playing) {
            const int seat = deal.onTurn();
            const std::array<int, 4> trick = trickCards(deal);
            int xxiSeat = 0;
            for (int s = 1; s <= 4; ++s)
                if (trick[s - 1] == Card::XXI)
                    xxiSeat = s;
            // Not in the last trick: a finished deal takes nothing back, not even a probe.
            if (xxiSeat && SideOf(xxiSeat) != SideOf(seat) && deal.hand(seat).contains(Card::Skiz)
                && deal.hand(seat).size() > 1) {
                Outs probe;
                if (deal.play(seat, Card::Skiz, probe).isEmpty()) {
                    deal.undo(probe);
                    QCOMPARE(deal.robotCard(seat), int(Card::Skiz));
                    ++positions;
                }
            }
            Outs out;
            QCOMPARE(deal.play(seat, deal.basicRobotCard(seat), out), QString());
        }
    }
    QVERIFY2(positions >= 3, qPrintable(QString::number(positions)));
}

void TstRobot::announcesWhatTheHandBears()
{
    // The opener's first word, before anybody else spoke: a poor hand says no more than
    // "Gém" (which costs little even when it fails, as it takes the silent "Obscur" from the
    // other side), a hand of eight tarokks and more announces a trick count; and over many
    // deals the robots say more than the basic robot's "Gém", "Honőr" and "Köpf".
    int poor = 0, strong = 0;
    QSet<QString> said;
    for (int n = 2; n <= 300; ++n) {
        Deal deal(n);
        const int opener = deal.onTurn();
        const QList<int> &hand = deal.hand(opener);
        const int tarokks = tarokksOf(hand);
        const bool honours = hand.contains(Card::XXI) || hand.contains(Card::Skiz);
        const QString turn = deal.robotTurn(opener);
        QStringList words = turn.split(QLatin1Char(' '));
        words.removeFirst();
        for (const QString &w : std::as_const(words))
            said.insert(w);
        if (tarokks <= 3 && !honours) {
            QVERIFY2(turn == QLatin1String("0") || turn == QStringLiteral("1 Gém"),
                     qPrintable(QStringLiteral("deal %1: %2").arg(n).arg(turn)));
            ++poor;
        }
        if (tarokks >= 8) {
            bool count = false;
            for (const QString &w : std::as_const(words))
                count = count || TrickChain().contains(w);
            QVERIFY2(count, qPrintable(QStringLiteral("deal %1: %2").arg(n).arg(turn)));
            ++strong;
        }
    }
    QVERIFY(poor >= 10);
    QVERIFY(strong >= 3);
    said.remove(QStringLiteral("Gém"));
    said.remove(QStringLiteral("Honőr"));
    said.remove(QStringLiteral("Köpf"));
    QVERIFY2(!said.isEmpty(), "nothing beyond the basic robot's words");
}

QTEST_APPLESS_MAIN(TstRobot)
#include "tst_robot.moc"
