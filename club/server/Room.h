#pragma once
// A room of the club: the people present and its host, and (except in the lobby) the table
// with its four seats, the deal in play, the robots and a take-back in progress.

#include "game/Deal.h"
#include "game/Robot.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>
#include <QBasicTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace club {

class Member;
class Room;
class Store;

struct RoomServices
{
    Store *store = nullptr;
    int robotDelay = 0;                     // ms before a robot acts
    int robotSamples = DefaultRobotSamples; // deals a robot imagines per decision; 0: the basic robot
    int nextDealPause = 5000;               // ms between two deals that follow each other
    qint64 seatHold = 180000;               // ms a dropped player's seat waits for them; 0: none
    qint64 turnLimit = 90000;               // ms a human in a match room has for a turn; 0: no limit
    QByteArray dealKey;                     // the club's secret for the shuffle
    std::function<void(const QString &)> log;
    std::function<int()> today;             // day number for the archive
    std::function<qint64()> now;            // the club's clock, ms
    // A room nobody is in any more, and nobody will come back to, may go.
    std::function<void(Room *)> deserted;
};

class Room : public QObject
{
    Q_OBJECT
public:
    Room(const QString &name, bool lobby, bool permanent, const RoomServices &services,
         QObject *parent = nullptr);
    ~Room() override;

    const QString &name() const { return m_name; }
    bool isLobby() const { return m_lobby; }
    bool permanent() const { return m_permanent; }
    const QList<Member *> &members() const { return m_members; }
    Member *host() const { return m_lobby ? nullptr : m_members.value(0); }
    QStringList nicks() const;
    // The room's part of the lobby line, its length in characters and its bytes on the wire;
    // made again only after someone came or went.
    struct LobbyEntry
    {
        qsizetype length = 0;
        QByteArray bytes;
    };
    const LobbyEntry &lobbyEntry() const;
    int dealNumber() const { return m_dealNumber; }
    int dealsPlayed() const { return m_dealsPlayed; }
    bool dealRunning() const;
    const Deal *deal() const { return m_deal.get(); }

    // A room of a team match: it stays while the match runs, its seats belong to the
    // line-up (empty name: a robot's), and its deals begin when the match says so.
    int matchId() const { return m_matchId; }
    void setMatch(int id, const std::array<QString, 5> &seats);
    void endMatch();
    void setPermanent(bool permanent) { m_permanent = permanent; }
    // A line-up member renamed: the seat follows them.
    void renameMatchSeat(const QString &from, const QString &to);
    // Seats the line-up members present in their own seats, robots in the rest, and deals
    // the numbered deal.
    void startMatchDeal(int number);

    void broadcast(const QString &line, const Member *except = nullptr) const;
    // Sends the "Q" lines of the departures not yet told; every line the room sends later
    // goes after them.
    void tellDepartures() const;

    // Entering sends the newcomer the room and tells the others; the lobby's own snapshot
    // is the club's to send. A member whose seat is held for them sits in it again at once.
    void enter(Member *m);
    // `dropped`: the connection went, and the seat of a running deal is held for a while.
    void leave(Member *m, bool dropped = false);
    // Whether the room may close: no one in it, no seat waiting for anyone, not kept open.
    bool closable() const;
    bool holdsSeatFor(const QString &nick) const;
    // Starts the next deal and ends the holds that are due on the club's clock. The room's own
    // timer calls it; tests call it after moving the clock.
    void tick();

    // Table actions. A refusal throws VimoError with the text for the sender.
    void sit(Member *m, int seat);
    void spectate(Member *m);
    void newDeal(Member *m, int number);
    void bid(Member *m, QString turn);
    void play(Member *m, int card);
    void askUndo(Member *m);
    void answerUndo(Member *m, const QString &asker, bool agreed);

    int seatOf(const Member *m) const;
    static QString RobotName(int seat);

protected:
    void timerEvent(QTimerEvent *event) override;

signals:
    // A deal of this room has ended: its points for side 1-4 and side 2-3, or, when it was
    // dropped before the end, no points and `completed` false.
    void dealEnded(int number, qint64 side14, qint64 side23, bool completed);

private:
    struct Seat
    {
        Member *human = nullptr;
        bool robot = false;
        QString held;          // the dropped player the robot keeps the seat for
        qint64 heldUntil = 0;  // on the club's clock
    };
    struct TakeBack
    {
        Member *asker = nullptr;
        int seat = 0;
        QSet<int> waiting;  // seats of the humans yet to agree
    };

    QString seatName(int seat) const;
    qint64 now() const;
    void standUp(Member *m);
    void holdSeat(Member *m, int seat);
    void endHold(int seat);
    bool anyHeld() const;
    // Deals follow each other while someone plays and nobody in the room waits for a seat.
    bool keepsGoing() const;
    void standRobotsUp();
    void armClock();
    void startDeal(int number);
    void abandonDeal(const QString &why);
    void route(const Outs &outs);
    void afterAction();
    // A seat's bid or card: refused unless the deal is in `phase`; taken, it is routed and
    // the table moves on.
    void act(int seat, Deal::Phase phase, const QString &wrongPhase,
             const std::function<QString(Outs &)> &action);
    void finishDeal();
    void scheduleRobot();
    void robotAct();
    // The robot's bid or card for `seat`, whoever sits there; false when the rules refused it
    // and the deal was dropped.
    bool robotMove(int seat);
    // A human on turn in a match room has until m_turnDue; then a robot acts for that turn.
    void armTurn();
    void turnExpired();
    void takeBack();
    void dropTakeBack(const QString &noticeToAsker);
    void requireTurn(Member *m, int seat) const;

    QString m_name;
    bool m_lobby;
    bool m_permanent;
    RoomServices m_services;
    QList<Member *> m_members;
    mutable std::optional<LobbyEntry> m_lobbyEntry;
    // Departures not yet told: a burst of them (a flood of members cut off at once) goes to
    // each member who stays in one write, not one write per departure and member.
    mutable QByteArray m_departures;      // "Q" lines, each but the last ended by CR LF
    mutable qsizetype m_longestDeparture = 0;
    bool m_departuresQueued = false;
    std::array<Seat, 5> m_seats;  // 1..4
    std::unique_ptr<Deal> m_deal;
    bool m_recorded = false;      // the current deal has been stored
    int m_dealNumber = 0;
    int m_dealsPlayed = 0;
    std::optional<TakeBack> m_takeBack;
    QList<int> m_actors;          // the seat of every bid turn and card of the deal, in order
    // Plain timers of the room's own, not QTimer objects: a room is opened for every "T".
    QBasicTimer m_robotTimer;     // wakes robotAct() for the robot on turn
    QBasicTimer m_clockTimer;     // wakes tick() for the next deal or the end of a hold
    qint64 m_nextDealAt = 0;      // 0: no deal follows by itself
    qint64 m_turnDue = 0;         // 0: no human's turn is timed
    int m_matchId = 0;
    std::array<QString, 5> m_matchSeats;  // 1..4
};

} // namespace club
