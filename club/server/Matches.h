#pragma once
// Team matches: proposals and their line-ups, the invitations, the start at the agreed
// time in two rooms that deal the same numbered deals, the team totals, and the list.
// Every change is kept in the store at once; the clock is given, so that tests can move it.

#include "Store.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace club {

class ClubServer;
class Member;
class Room;

struct MatchOptions
{
    qint64 minuteMs = 60000;             // how long a "minute" of the match rules is
    std::function<qint64()> clock;       // ms since the epoch; the system's when empty
    qint64 turnLimit = 90000;            // ms a human has for a turn in a match room
    qint64 robotDelay = 700;             // ms a robot takes for a turn
};

// One room's results of a match's boards, in board order: team 1's and team 2's points, or
// nothing for a deal the room had to drop.
using BoardResults = QList<std::optional<std::pair<qint64, qint64>>>;
struct PairedScore
{
    int played = 0;     // boards both rooms have finished
    qint64 team1 = 0;
    qint64 team2 = 0;
    bool operator==(const PairedScore &) const = default;
};
// The team totals: a board counts once both rooms have finished it, so that neither room's
// lead in deals shows in the score; a board one room had to drop counts for neither team in
// either room.
PairedScore PairTotals(const BoardResults &first, const BoardResults &second);

class MatchBook : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxDeals = 16;
    static constexpr int MaxMinutes = 60;
    static constexpr int GraceMinutes = 5;     // how long a late start waits for the missing
    static constexpr int OpenPerMember = 3;    // matches one member may have proposed and not finished
    static constexpr int OpenInClub = 40;
    static constexpr int FinishedShown = 20;   // finished matches on the list
    static constexpr int EndedMinutesShown = 9999; // "perce befejeződött" stops counting here
    static constexpr int OpenPerAddress = 3;   // the same for everyone proposing from one address
    // Proposals from one address (or one proposer) that may name the same member within an
    // hour of match minutes: cancelling and proposing again does not flood their screen.
    static constexpr int InvitationsPerHour = 5;
    static constexpr int SentKept = 32768;     // invitations remembered for that, at most
    static constexpr int StaleKept = 2 * OpenInClub; // gone invitations remembered per member
    // Turns a deal can take at most, bids and cards, for the latest end of a running match.
    static constexpr int TurnsPerDeal = 100;
    static constexpr int OverdueMinutes = 10;  // and the slack after it

    MatchBook(ClubServer &club, Store &store, const MatchOptions &options, QObject *parent = nullptr);
    ~MatchBook() override;

    // Reads what the store kept: pending matches keep their times; a match that was running
    // when the club stopped ends with its score so far.
    void load();

    // Every "R" line of a logged-in member, the letter taken off.
    void line(Member *m, QString arg);
    // After a login's lobby snapshot: back into a running match's room, and the first
    // invitation waiting for the member.
    void loggedIn(Member *m);

    // Starts what is due, cancels what waited too long. The club's timer calls it; tests
    // call it after moving the clock.
    void tick();

    // The "R0" reply.
    QString listLine() const;

    // The match with that id, if it is on the list.
    const MatchRecord *find(int id) const;
    qint64 now() const;

    // Rooms the club keeps free for matches due to start within a minute, all answers in.
    int roomsAside() const;
    // A member renamed: the line-ups and proposals follow them (the store has done the same).
    void renamed(const QString &from, const QString &to);
    // The running match whose line-up holds `nick`, if any.
    const MatchRecord *playing(const QString &nick) const;
    // Whether a running match that `nick` plays in deals this board: its rows in the archive
    // stay hidden from its players until the end.
    bool hidesBoard(const QString &nick, const QString &board) const;
    // Refuses a line-up member the other room of their running match, and spectating either.
    void checkWatch(const Member *m, const Room *room, bool spectate) const;
    // Whether `nick` is in the line-up of the match that `room` belongs to.
    bool inLineUp(const Room *room, const QString &nick) const;

private:
    struct Match
    {
        MatchRecord rec;
        qint64 graceUntil = 0;            // while waiting after the start time
        QList<int> boards;                // the deal numbers, the same in both rooms
        std::array<QPointer<Room>, 2> rooms;
        std::array<int, 2> done{};        // deals each room has finished
        QString missing;                  // why it could not start at the last look
        QString told;                     // the reason last told to the players
        QString address;                  // whence it was proposed (not kept across a restart)
        qint64 startedAt = 0;
        std::array<BoardResults, 2> results;  // each room's
    };
    struct Sent
    {
        qint64 at;
        QString address;
        QString proposer;
        QString invited;
    };

    void propose(Member *m, QString arg);
    void accept(Member *m, int id);
    void decline(Member *m, int id);
    void cancel(Match &match, const QString &why);
    void finish(Match &match);
    bool tryStart(Match &match);
    void dealEnded(int id, int which, qint64 side14, qint64 side23, bool completed);
    qint64 latestEnd(const Match &match) const;
    void checkFlood(Member *m, const std::array<QString, 8> &lineUp);
    void forget(Member *m, int id);
    void nextDeal(int id, int which);
    void save(const Match &match);

    // Invitations: one on show per member; the next goes when it is answered.
    void offerNext(Member *m);
    void offerAll();
    QString invitation(const Match &match) const;
    // Tells every line-up member online (and the proposer).
    void tell(const Match &match, const QString &text) const;

    Match *open(int id);
    int minutesUntil(qint64 at) const;
    QString busyReason(const Match &match) const;

    ClubServer &m_club;
    Store &m_store;
    MatchOptions m_options;
    std::map<int, std::unique_ptr<Match>> m_matches;  // open and recently finished, by id
    QList<Sent> m_sent;                               // invitations of the last hour, oldest first
    QTimer m_timer;
};

} // namespace club
