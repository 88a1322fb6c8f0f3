#pragma once
// The club's outgoing lines as text, and the few checks every incoming line shares.
// Kept apart from the sockets so that each form can be tested on its own.

#include "history/PersonalData.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace club::wire {

struct RoomPeople
{
    QString room;
    QStringList nicks;
};

// "L<room count> <room> <member count> <nick> ..."
QString LobbyLine(const QList<RoomPeople> &rooms);
// One room's part of the lobby line: " <room> <member count> <nick> ..."
QString LobbyEntry(const QString &room, const QStringList &nicks);
// "J<room> <deal number> <deals played> <nick> <seat> ..."
QString JoinLine(const QString &room, int dealNumber, int dealsPlayed,
                 const QList<QPair<QString, int>> &present);
QString SeatLine(const QString &nick, int seat);          // "I<nick> <seat>"
QString DealLine(int dealNumber, int dealsPlayed);        // "N<deal number> <deals played>"

QString ChatLine(const QString &nick, const QString &text);
QString PrivateLine(const QString &from, const QString &text);
QString PrivateEcho(const QString &to, const QString &text);
// Whether a line fits the longest line a client reads.
bool Fits(const QString &line);
// A piece of a member's input quoted in a notice, cut short when long.
QString Quote(const QString &text, int longest = 40);
// A notice from the club itself, told apart from members' chat by its sender.
QString Notice(const QString &text);

// The personal record of eight fields, each ended by ";", as the club stores it: the
// member's own record form with its public flag.
struct PersonalData
{
    static constexpr int FieldCount = ::PersonalData::FieldCount;
    static constexpr int NickField = 2;
    QStringList fields;  // always FieldCount entries
    bool isPublic = false;

    static PersonalData parse(const QString &payload, bool isPublic);
    QString payload() const;
    QString nick() const { return fields.value(NickField); }
    // The same record in the form the member's window reads and checks.
    ::PersonalData record() const;
};
// The first failing check of a record as its Hungarian text; empty when it is sound.
QString CheckPersonalData(const PersonalData &data);

// A nickname the club accepts at login: its failure text, empty when acceptable.
QString CheckNick(const QString &nick);
// Robots and the club's own notices use these names; no member may take them, nor one that
// reads the same to the eye (case, blanks and marks between the letters disregarded).
bool IsReservedNick(const QString &nick);
// A member's text without the C0 control characters and DEL, which no other member's
// client should be handed.
QString WithoutControls(const QString &text);

// Days counted from 30 December 1899.
int DayNumber(const QDate &date);

} // namespace club::wire
