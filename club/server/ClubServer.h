#pragma once
// The club: accepts connections, logs members in, keeps the rooms and answers every line a
// member sends. A line that cannot be carried out is answered with a notice to its sender
// alone; nothing changes for anyone else.

#include "Identity.h"
#include "Matches.h"
#include "Member.h"
#include "Room.h"
#include "Limits.h"
#include "Store.h"

#include <QDate>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpServer>
#include <functional>
#include <memory>
#include <optional>

namespace club {

struct ClubOptions
{
    Limits limits;
    int robotDelay = 700;     // ms
    QString dataPath;         // empty: nothing is kept
    int openRooms = 3;        // rooms besides the lobby that are always there
    std::function<void(const QString &)> log;  // one line per event; none when empty
    std::function<QDate()> date;               // the archive's calendar; the system's when empty
    qint64 matchMinute = 60000;                // ms in a minute of the team match rules
    std::function<qint64()> clock;             // the club's clock (ms since the epoch); the system's when empty
    int robotSamples = DefaultRobotSamples;    // deals a robot imagines per decision; 0: the basic robot
    int nextDealPause = 5000;                  // ms before a deal follows the last at the same table
    qint64 seatHold = 180000;                  // ms a dropped player's seat is kept; 0: not kept
    qint64 turnLimit = 90000;                  // ms a human in a match room has for a turn
};

class ClubServer : public QTcpServer
{
    Q_OBJECT
public:
    static const QString LobbyName;

    explicit ClubServer(const ClubOptions &options, QObject *parent = nullptr);
    ~ClubServer() override;

    bool storeOpen() const { return m_store.isOpen(); }
    QString storeError() const { return m_store.error(); }
    Store &store() { return m_store; }
    int memberCount() const { return int(m_members.size()); }
    QStringList roomNames() const;
    Room *findRoom(const QString &name) const;
    MatchBook &matches() { return *m_matches; }
    // The club's secret for the shuffle: with it, a number deals the same cards here again.
    const QByteArray &dealKey() const { return m_services.dealKey; }
    // The days whose "X0" replies are kept, the least recently asked for first.
    QList<int> historyDaysKept() const { return m_history.used; }
    // Lets every room look at the clock: deals due to begin, held seats due to go. The rooms'
    // own timers do it; tests call it after moving the clock.
    void tick();
    // Listens as QTcpServer does, but the club accepts the connections itself: Qt retries an
    // accept that failed for want of descriptors on every turn of the event loop, where the
    // club pauses (Limits::acceptPauseMs) and serves the connections it has meanwhile.
    bool listen(const QHostAddress &address = QHostAddress::Any, quint16 port = 0);
    // Takes in a connection that is already made, as the listening socket does with each
    // one it accepts; the club owns the socket from then on. The fuzz target hands in its
    // in-process connections here.
    void addConnection(QTcpSocket *socket);

protected:
    void incomingConnection(qintptr handle) override;

private:
    friend class MatchBook;

    void acceptWaiting();
    void handle(Member *m, const QString &line);
    void dispatch(Member *m, QChar command, QString arg);
    void log(const QString &text) const;

    void login(Member *m, QString arg);
    void personalData(Member *m, const QString &arg);
    void saveData(Member *m, const wire::PersonalData &data);
    void changePassword(Member *m, QString arg);
    void enterRoom(Member *m, QString arg);
    void openRoom(Member *m);
    void chat(Member *m, const QString &text);
    void privateOrRemove(Member *m, QString arg);
    void ping(Member *m);
    void pong(Member *m, QString arg);
    void undoLine(Member *m, QString arg);
    void history(Member *m, QString arg);
    QString daysReply();
    const QList<std::optional<WireLine>> &dealsReply(int day);
    void archived(int day, int id, const QString &text);

    // "Terem<n>" with the smallest n no room has.
    QString freeRoomName() const;
    void moveTo(Member *m, Room *room);
    WireLine lobbyLine() const;
    void sendLobby(Member *m);
    // Sends the lobby as it is now to everyone in it, `except` excepted.
    void refreshLobby(const Member *except = nullptr);
    // `holdSeat`: the connection went, not the member; a seat in a running deal waits for them.
    void drop(Member *m, const QString &why, bool holdSeat = false);
    // A room that is not always open goes when its last member has left.
    bool closeIfEmpty(Room *r);
    Room *lobby() const { return m_rooms.first(); }
    int today() const;

    ClubOptions m_options;
    Store m_store;
    RoomServices m_services;
    QList<Room *> m_rooms;                  // the lobby first
    QList<Member *> m_members;              // every connection, logged in or not
    QHash<QString, Member *> m_online;      // logged-in members by nickname
    Doorkeeper m_door{m_options.limits};    // strangers' caps
    Identity m_identity{m_store, m_options.limits, [this] { return m_services.now(); }};
    OutputBudget m_output{m_options.limits.maxUnsentAll};
    Throttle m_throttle{m_options.limits.paces};
    QPointer<QSocketNotifier> m_accepting;  // the listening socket's, while the club listens
    mutable TokenBucket m_logPace;          // the log's lines
    mutable qint64 m_logSkipped = 0;
    std::unique_ptr<MatchBook> m_matches;
    // The history's replies as last read from the archive: every member who opens the history
    // asks for the same latest days, so what was read and written out is kept, and a deal
    // the archive takes in is added to what is kept rather than reading the day again.
    struct HistoryReplies
    {
        std::optional<QString> daysLine;
        QList<int> days;  // the days it names, rising
        // By day, for days with deals: the reply line of each of the latest rows, oldest
        // first, nothing for a row the history cannot read back.
        QHash<int, QList<std::optional<WireLine>>> deals;
        QList<int> used;  // the days in `deals`, the least recently asked for first
    } m_history;
};

} // namespace club
