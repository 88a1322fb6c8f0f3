#pragma once
// One deal at one table, from the cards to the score, with no sockets in it: the server
// feeds it the seats' actions and sends the lines it answers with.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

#include "Record.h"

namespace club {

// Where a line goes. Seats are 1..4; a seat held by a robot simply drops its lines.
struct Out
{
    enum To { Seat, Table, Spectators };
    To to = Table;
    int seat = 0;  // for To::Seat
    QString line;  // whole line, command letter first, no CR LF
};

} // namespace club

// Lines are moved in memory as they are, not copied one by one, when a list of them grows.
Q_DECLARE_TYPEINFO(club::Out, Q_RELOCATABLE_TYPE);

namespace club {

using Outs = QList<Out>;

class Deal
{
public:
    enum class Phase { Bidding, Playing, Done };

    // The same number always gives the same cards. With a key, the cards follow from a keyed
    // hash of the number: whoever knows the number but not the key cannot work out the hands.
    // Without one (the game's tests and benchmarks), from the number alone.
    explicit Deal(int number, const QByteArray &key = QByteArray());
    ~Deal();
    Deal(Deal &&) noexcept;
    Deal &operator=(Deal &&) noexcept;

    int number() const;
    Phase phase() const;
    int onTurn() const;                      // seat 1..4 to bid or play; 0 when done
    const QList<int> &hand(int seat) const;  // cards still held, seat 1..4

    // The lines that open the deal: each seat's hand and the first empty "B" to the opener.
    Outs start();

    // A seat's turn of bids: `turn` is '<count> <bid> ...' (the nickname already taken off).
    // Returns empty text when taken, else the Hungarian notice for the sender; nothing changes then.
    QString bid(int seat, const QString &turn, Outs &out);
    QString play(int seat, int card, Outs &out);

    // Takes back the last bid turn or card. False when there is nothing to take back.
    bool undo(Outs &out);

    // How many deals the robot imagines for each decision; 0 makes it the basic robot.
    void setRobotSamples(int samples);

    // What a robot at `seat` would do now (only meaningful when it is on turn). The same
    // position of the same numbered deal always gives the same answer.
    QString robotTurn(int seat) const;       // a '<count> <bid> ...' turn for bid()
    int robotCard(int seat) const;           // a legal card for play()
    // The same from the plain rule-of-thumb robot: what the benchmark measures against, and
    // quick enough for tests that play many deals for their members.
    QString basicRobotTurn(int seat) const;
    int basicRobotCard(int seat) const;

    // Everything a member who just switched to spectating needs: four "H" lines and the current
    // "B"/"P" state.
    QStringList spectatorLines() const;
    // What the player at `seat` needs to go on after coming back: their hand, and the bid
    // text (with the empty "B" when it is their turn) or the trick on show.
    QStringList seatLines(int seat) const;

    // When done: the table's result as chat texts (without the "M"), and the record to store.
    QStringList resultTexts() const;
    DealRecord record(const std::array<QString, 4> &names, int day) const;

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace club
