#include "Room.h"

#include "Member.h"
#include "Store.h"
#include "Wire.h"
#include "cards/Hands.h"
#include "session/Cp1250.h"

#include <QDateTime>
#include <QMessageAuthenticationCode>
#include <QTimerEvent>
#include <QRandomGenerator>

#include <algorithm>
#include <utility>

namespace club {

Room::Room(const QString &name, bool lobby, bool permanent, const RoomServices &services,
           QObject *parent)
    : QObject(parent), m_name(name), m_lobby(lobby), m_permanent(permanent), m_services(services)
{
}

Room::~Room() = default;

void Room::timerEvent(QTimerEvent *event)
{
    // Both wake the room once: a timer goes again only when the room starts it again.
    if (event->timerId() == m_robotTimer.timerId()) {
        m_robotTimer.stop();
        robotAct();
    } else if (event->timerId() == m_clockTimer.timerId()) {
        m_clockTimer.stop();
        tick();
    } else {
        QObject::timerEvent(event);
    }
}

QString Room::RobotName(int seat)
{
    // Named for every seat change and every deal's log line: made once.
    static const std::array<QString, 5> names{QString(), QStringLiteral("Robot1"), QStringLiteral("Robot2"),
                                              QStringLiteral("Robot3"), QStringLiteral("Robot4")};
    return seat >= 1 && seat <= 4 ? names[seat] : QStringLiteral("Robot%1").arg(seat);
}

QStringList Room::nicks() const
{
    QStringList list;
    for (const Member *m : m_members)
        list << m->nick;
    return list;
}

const Room::LobbyEntry &Room::lobbyEntry() const
{
    if (!m_lobbyEntry) {
        const QString text = wire::LobbyEntry(m_name, nicks());
        m_lobbyEntry = LobbyEntry{text.size(), Cp1250::encode(text)};
    }
    return *m_lobbyEntry;
}

bool Room::dealRunning() const
{
    return m_deal && m_deal->phase() != Deal::Phase::Done;
}

void Room::broadcast(const QString &line, const Member *except) const
{
    tellDepartures();
    if (m_members.isEmpty() || (m_members.size() == 1 && m_members.first() == except))
        return;
    const WireLine wire(line);
    for (Member *m : m_members)
        if (m != except)
            m->send(wire);
}

void Room::tellDepartures() const
{
    if (m_departures.isEmpty())
        return;
    // The lines are whole lines of the client's: the write ends with the last one's CR LF.
    const WireLine lines(std::exchange(m_departures, QByteArray()), std::exchange(m_longestDeparture, 0));
    for (Member *m : m_members)
        m->send(lines);
}

int Room::seatOf(const Member *m) const
{
    for (int s = 1; s <= 4; ++s)
        if (m_seats[s].human == m)
            return s;
    return 0;
}

qint64 Room::now() const
{
    return m_services.now ? m_services.now() : QDateTime::currentMSecsSinceEpoch();
}

bool Room::anyHeld() const
{
    for (int s = 1; s <= 4; ++s)
        if (!m_seats[s].held.isEmpty())
            return true;
    return false;
}

bool Room::holdsSeatFor(const QString &nick) const
{
    for (int s = 1; s <= 4; ++s)
        if (m_seats[s].held == nick)
            return true;
    return false;
}

bool Room::closable() const
{
    return !m_permanent && m_members.isEmpty() && !anyHeld();
}

QString Room::seatName(int seat) const
{
    if (m_seats[seat].human)
        return m_seats[seat].human->nick;
    return m_seats[seat].robot ? RobotName(seat) : QString();
}

void Room::enter(Member *m)
{
    // Whoever comes in hears only of departures after theirs.
    tellDepartures();
    const bool firstHere = m_members.isEmpty();
    m_members << m;
    m_lobbyEntry.reset();
    m->room = this;
    m->spectator = false;
    if (m_lobby) {
        broadcast(QStringLiteral("U") + m->nick, m);
        return;
    }
    // Whoever dropped out of a deal takes the seat back from the robot before the room is
    // described to them, so that their own "J" already seats them.
    int back = 0;
    for (int s = 1; s <= 4; ++s)
        if (m_seats[s].held == m->nick && !m_seats[s].human)
            back = s;
    const bool robotGoes = back && m_seats[back].robot;
    if (back) {
        m_seats[back] = Seat{m, false, {}, 0};
        armClock();
    }
    QList<QPair<QString, int>> present;
    for (const Member *p : m_members)
        present << qMakePair(p->nick, seatOf(p));
    for (int s = 1; s <= 4; ++s)
        if (m_seats[s].robot)
            present << qMakePair(RobotName(s), s);
    m->send(wire::JoinLine(m_name, m_dealNumber, m_dealsPlayed, present));
    broadcast(QStringLiteral("U") + m->nick, m);
    if (back) {
        // The returning member hears it too, as every seat change of their own.
        if (robotGoes)
            broadcast(wire::SeatLine(RobotName(back), 0));
        broadcast(wire::SeatLine(m->nick, back));
    }
    if (firstHere)
        broadcast(QStringLiteral("T") + m->nick);
    else
        m->send(QStringLiteral("T") + host()->nick);  // whom to ask for a deal
    if (back) {
        // What a spectator coming in would be given, from the seat's side: the hand, and the
        // bidding or the trick on show.
        if (dealRunning())
            for (const QString &line : m_deal->seatLines(back))
                m->send(line);
        broadcast(wire::Notice(QStringLiteral("%1 visszajött").arg(m->nick)));
        m_services.log(QStringLiteral("%1: %2 visszaült (%3)").arg(m_name, m->nick).arg(back));
        if (!dealRunning() && !m_nextDealAt && !m_matchId)
            startDeal(0);
        armTurn();
    }
    // Robots wait while nobody is in the room.
    scheduleRobot();
}

void Room::leave(Member *m, bool dropped)
{
    if (!m_members.contains(m))
        return;
    if (const int seat = seatOf(m); seat && dropped && dealRunning() && m_services.seatHold > 0)
        holdSeat(m, seat);
    else if (seat)
        standUp(m);
    if (m_takeBack && m_takeBack->asker == m) {
        // Robots wait while a request is open: with its asker gone, the one on turn goes on.
        m_takeBack.reset();
        scheduleRobot();
    }
    const bool wasHost = host() == m;
    m_members.removeOne(m);
    m_lobbyEntry.reset();
    m->room = nullptr;
    m->spectator = false;
    const QString departure = QStringLiteral("Q") + m->nick;
    if (!m_departures.isEmpty())
        m_departures += "\r\n";
    m_departures += WireLine(departure).bytes;
    m_longestDeparture = std::max(m_longestDeparture, departure.size());
    if (!m_departuresQueued) {
        m_departuresQueued = true;
        QMetaObject::invokeMethod(this, [this] {
            m_departuresQueued = false;
            tellDepartures();
        }, Qt::QueuedConnection);
    }
    if (m_lobby)
        return;
    if (m_members.isEmpty()) {
        // A match plays on: its other room deals the same cards, and its totals need this one.
        if (m_matchId)
            return;
        // The deal waits, robots and all, for whoever dropped out of it.
        if (anyHeld()) {
            m_robotTimer.stop();
            return;
        }
        // Nobody left to watch: robots playing on for no one would only burn time.
        abandonDeal(QStringLiteral("mindenki távozott"));
        for (int s = 1; s <= 4; ++s)
            m_seats[s] = Seat{};
        m_nextDealAt = 0;
        armClock();
        return;
    }
    if (wasHost)
        broadcast(QStringLiteral("T") + host()->nick);
}

void Room::sit(Member *m, int seat)
{
    if (m_lobby)
        Fail(QStringLiteral("A társalgóban nincs asztal"));
    if (seat < 0 || seat > 4)
        Fail(QStringLiteral("Nincs ilyen hely: %1").arg(seat));
    const int own = seatOf(m);
    if (seat == 0) {
        if (own == 0)
            return;
        standUp(m);
        return;
    }
    if (own == seat)
        return;
    if (m_seats[seat].human || m_seats[seat].robot)
        Fail(QStringLiteral("Foglalt"));
    if (own)
        Fail(QStringLiteral("Előbb állj fel!"));
    if (m_matchId && m_matchSeats[seat] != m->nick)
        Fail(QStringLiteral("A mérkőzésen mindenki csak a saját helyére ülhet"));
    m_seats[seat].human = m;
    m->spectator = false;
    broadcast(wire::SeatLine(m->nick, seat));
    m_services.log(QStringLiteral("%1: %2 leült (%3)").arg(m_name, m->nick, QString::number(seat)));
    // A match deals when the match says so.
    if (!dealRunning() && !m_matchId)
        startDeal(0);
}

void Room::standUp(Member *m)
{
    const int seat = seatOf(m);
    if (!seat)
        return;
    m_seats[seat].human = nullptr;
    broadcast(wire::SeatLine(m->nick, 0));
    m_services.log(QStringLiteral("%1: %2 felállt").arg(m_name, m->nick));
    if (m_takeBack)
        dropTakeBack(QStringLiteral("%1 felállt, a visszavonás elmarad").arg(m->nick));
    if (dealRunning()) {
        // The deal goes on: a robot finishes the hand that was left.
        m_seats[seat].robot = true;
        broadcast(wire::SeatLine(RobotName(seat), seat));
        scheduleRobot();
    } else if (m_nextDealAt) {
        // Standing up between two deals ends the run of them.
        m_nextDealAt = 0;
        armClock();
        standRobotsUp();
    }
}

void Room::holdSeat(Member *m, int seat)
{
    m_seats[seat] = Seat{nullptr, true, m->nick, now() + m_services.seatHold};
    broadcast(wire::SeatLine(m->nick, 0), m);
    broadcast(wire::SeatLine(RobotName(seat), seat), m);
    if (m_takeBack && m_takeBack->asker != m)
        dropTakeBack(QStringLiteral("%1 kiesett, a visszavonás elmarad").arg(m->nick));
    broadcast(wire::Notice(QStringLiteral("%1 kiesett, egy robot játszik helyette").arg(m->nick)), m);
    m_services.log(QStringLiteral("%1: %2 kiesett, a helye %3 ms-ig vár rá")
                       .arg(m_name, m->nick).arg(m_services.seatHold));
    armClock();
    scheduleRobot();
}

void Room::endHold(int seat)
{
    m_services.log(QStringLiteral("%1: %2 nem jött vissza, a helyét nem tartjuk tovább")
                       .arg(m_name, m_seats[seat].held));
    m_seats[seat].held.clear();
    m_seats[seat].heldUntil = 0;
    // Between deals that do not follow each other, a robot sits only for whoever is away.
    if (!dealRunning() && !m_nextDealAt && m_seats[seat].robot && !m_matchId) {
        m_seats[seat].robot = false;
        broadcast(wire::SeatLine(RobotName(seat), 0));
    }
    if (m_members.isEmpty() && !anyHeld() && !m_matchId) {
        abandonDeal(QStringLiteral("a kiesett játékos nem jött vissza"));
        for (int s = 1; s <= 4; ++s)
            m_seats[s] = Seat{};
        m_nextDealAt = 0;
        if (m_services.deserted)
            m_services.deserted(this);
    }
}

void Room::tick()
{
    const qint64 at = now();
    if (m_turnDue && at >= m_turnDue)
        turnExpired();
    for (int s = 1; s <= 4; ++s)
        if (!m_seats[s].held.isEmpty() && at >= m_seats[s].heldUntil)
            endHold(s);
    if (m_nextDealAt && at >= m_nextDealAt) {
        m_nextDealAt = 0;
        // Someone may have come in meanwhile, waiting for a seat.
        if (!dealRunning() && keepsGoing())
            startDeal(0);
        else
            standRobotsUp();
    }
    armClock();
}

void Room::armClock()
{
    qint64 due = m_nextDealAt;
    if (m_turnDue && (!due || m_turnDue < due))
        due = m_turnDue;
    for (int s = 1; s <= 4; ++s)
        if (!m_seats[s].held.isEmpty() && (!due || m_seats[s].heldUntil < due))
            due = m_seats[s].heldUntil;
    if (!due) {
        m_clockTimer.stop();
        return;
    }
    // A clock that a test holds still re-arms the timer at the same distance, never in a loop.
    m_clockTimer.start(int(std::clamp<qint64>(due - now(), 0, 3600000)), this);
}

bool Room::keepsGoing() const
{
    if (m_matchId)
        return false;
    bool anyone = false;
    for (int s = 1; s <= 4; ++s)
        anyone = anyone || m_seats[s].human;
    if (!anyone)
        return false;
    for (const Member *p : m_members)
        if (!seatOf(p))
            return false;
    return true;
}

void Room::standRobotsUp()
{
    for (int s = 1; s <= 4; ++s)
        if (m_seats[s].robot && (m_seats[s].held.isEmpty() || m_matchId)) {
            m_seats[s].robot = false;
            broadcast(wire::SeatLine(RobotName(s), 0));
        }
}

void Room::spectate(Member *m)
{
    if (m_lobby)
        Fail(QStringLiteral("A társalgóban nincs mit nézni"));
    if (seatOf(m))
        Fail(QStringLiteral("Játékos nem lehet kibic"));
    m->spectator = true;
    if (m_deal)
        for (const QString &line : m_deal->spectatorLines())
            m->send(line);
}

void Room::newDeal(Member *m, int number)
{
    if (m_lobby)
        Fail(QStringLiteral("A társalgóban nem lehet játszani"));
    if (host() != m)
        Fail(QStringLiteral("Új leosztást csak a házigazda kérhet"));
    if (m_matchId)
        Fail(QStringLiteral("A mérkőzés leosztásai maguktól jönnek"));
    if (dealRunning())
        abandonDeal(QStringLiteral("a házigazda új leosztást kért"));
    // "O1" is the plain request for a new deal, so numbered deals start at 2.
    startDeal(number >= 2 ? number : 0);
}

void Room::setMatch(int id, const std::array<QString, 5> &seats)
{
    m_matchId = id;
    m_matchSeats = seats;
    m_permanent = true;
}

void Room::renameMatchSeat(const QString &from, const QString &to)
{
    for (QString &nick : m_matchSeats)
        if (nick == from)
            nick = to;
}

void Room::endMatch()
{
    m_matchId = 0;
    m_matchSeats = {};
    m_permanent = false;
}

void Room::startMatchDeal(int number)
{
    for (int s = 1; s <= 4; ++s) {
        if (m_seats[s].human || m_matchSeats[s].isEmpty())
            continue;
        for (Member *p : std::as_const(m_members))
            if (p->nick == m_matchSeats[s] && !seatOf(p)) {
                m_seats[s].human = p;
                p->spectator = false;
                broadcast(wire::SeatLine(p->nick, s));
                break;
            }
    }
    startDeal(number);
}

void Room::startDeal(int number)
{
    if (number == 0)
        number = int(QRandomGenerator::global()->bounded(2, 1000000));
    m_robotTimer.stop();
    m_takeBack.reset();
    m_nextDealAt = 0;
    armClock();
    m_dealNumber = number;
    for (int s = 1; s <= 4; ++s)
        if (!m_seats[s].human && !m_seats[s].robot) {
            m_seats[s].robot = true;
            broadcast(wire::SeatLine(RobotName(s), s));
        }
    // Spectators ask again for every deal, so one who stopped watching stops getting hands.
    for (Member *p : m_members)
        p->spectator = false;
    broadcast(wire::DealLine(m_dealNumber, m_dealsPlayed));
    // A match's boards are keyed apart: a board's number is on show to its table, and "O<n>"
    // in a room of anyone's must not deal its cards again while the other room plays them.
    const QByteArray key = m_matchId ? QMessageAuthenticationCode::hash("match " + QByteArray::number(m_matchId),
                                                                         m_services.dealKey, QCryptographicHash::Sha256)
                                     : m_services.dealKey;
    m_deal = std::make_unique<Deal>(number, key);
    m_deal->setRobotSamples(m_services.robotSamples);
    m_actors.clear();
    m_recorded = false;
    m_services.log(QStringLiteral("%1: %2. leosztás (%3, %4, %5, %6)")
                       .arg(m_name, QString::number(number), seatName(1), seatName(2), seatName(3),
                            seatName(4)));
    route(m_deal->start());
    afterAction();
}

void Room::abandonDeal(const QString &why)
{
    m_robotTimer.stop();
    m_takeBack.reset();
    if (!dealRunning())
        return;
    m_services.log(QStringLiteral("%1: a %2. leosztás elmarad: %3").arg(m_name, QString::number(m_dealNumber), why));
    m_deal.reset();
    if (m_matchId) {
        // The match counts the deal as played, for nothing: waiting for it would stop both rooms.
        for (int s = 1; s <= 4; ++s)
            if (m_seats[s].robot) {
                m_seats[s].robot = false;
                broadcast(wire::SeatLine(RobotName(s), 0));
            }
        ++m_dealsPlayed;
        emit dealEnded(m_dealNumber, 0, 0, false);
    }
}

void Room::route(const Outs &outs)
{
    for (const Out &out : outs) {
        switch (out.to) {
        case Out::Seat:
            if (out.seat >= 1 && out.seat <= 4 && m_seats[out.seat].human)
                m_seats[out.seat].human->send(out.line);
            break;
        case Out::Table:
            broadcast(out.line);
            break;
        case Out::Spectators: {
            std::optional<WireLine> wire;
            for (Member *p : m_members)
                if (p->spectator) {
                    if (!wire)
                        wire.emplace(out.line);
                    p->send(*wire);
                }
            break;
        }
        }
    }
}

void Room::afterAction()
{
    if (m_deal && m_deal->phase() == Deal::Phase::Done && !m_recorded)
        finishDeal();
    else
        scheduleRobot();
    armTurn();
}

void Room::armTurn()
{
    const qint64 before = m_turnDue;
    m_turnDue = 0;
    if (m_matchId && m_services.turnLimit > 0 && dealRunning()) {
        const int seat = m_deal->onTurn();
        if (seat >= 1 && seat <= 4 && m_seats[seat].human)
            m_turnDue = now() + m_services.turnLimit;
    }
    if (m_turnDue != before)
        armClock();
}

void Room::turnExpired()
{
    m_turnDue = 0;
    if (!m_matchId || !dealRunning())
        return;
    const int seat = m_deal->onTurn();
    Member *late = seat >= 1 && seat <= 4 ? m_seats[seat].human : nullptr;
    if (!late)
        return;
    // One turn only: the seat stays the member's, and their next turn is timed afresh.
    broadcast(wire::Notice(QStringLiteral("%1 ideje lejárt, helyette a robot lépett").arg(late->nick)));
    m_services.log(QStringLiteral("%1: %2 ideje lejárt, a robot lépett helyette").arg(m_name, late->nick));
    if (robotMove(seat))
        afterAction();
}

void Room::finishDeal()
{
    m_recorded = true;
    m_robotTimer.stop();
    m_takeBack.reset();
    for (const QString &text : m_deal->resultTexts())
        broadcast(QStringLiteral("M") + text);
    std::array<QString, 4> names;
    for (int s = 1; s <= 4; ++s)
        names[s - 1] = seatName(s);
    const DealRecord record = m_deal->record(names, m_services.today());
    const int id = m_services.store ? m_services.store->addDeal(record) : 0;
    ++m_dealsPlayed;
    if (id)
        m_services.log(QStringLiteral("%1: a %2. leosztás véget ért, tárolva: %3/%4")
                           .arg(m_name, QString::number(m_dealNumber), record.board, QString::number(id)));
    else
        m_services.log(QStringLiteral("%1: HIBA: a %2. leosztás nem tárolható").arg(m_name, QString::number(m_dealNumber)));
    if (keepsGoing()) {
        // Nobody waits for a seat: the same table plays on after a pause to read the result.
        m_nextDealAt = now() + m_services.nextDealPause;
        const int seconds = (m_services.nextDealPause + 999) / 1000;
        broadcast(wire::Notice(seconds > 0 ? QStringLiteral("A következő leosztás %1 másodperc múlva kezdődik").arg(seconds)
                                           : QStringLiteral("Kezdődik a következő leosztás")));
        armClock();
    } else {
        // Robots give their seats back, so that humans can sit down for the next deal; a seat
        // held for someone who dropped keeps its robot.
        standRobotsUp();
    }
    // The score rows end with the points of side 1-4 and side 2-3.
    qint64 side14 = 0, side23 = 0;
    for (const QString &row : record.scoreRows) {
        const QStringList words = row.split(QLatin1Char(' '));
        if (words.size() >= 3) {
            side14 += words[words.size() - 2].toLongLong();
            side23 += words.last().toLongLong();
        }
    }
    emit dealEnded(m_dealNumber, side14, side23, true);
}

void Room::scheduleRobot()
{
    if (!dealRunning() || m_takeBack)
        return;
    // An empty room's deal waits for the player whose seat it holds.
    if (m_members.isEmpty() && !m_matchId)
        return;
    const int seat = m_deal->onTurn();
    if (seat >= 1 && seat <= 4 && m_seats[seat].robot)
        m_robotTimer.start(m_services.robotDelay, this);
}

void Room::robotAct()
{
    if (!dealRunning() || m_takeBack)
        return;
    const int seat = m_deal->onTurn();
    if (seat < 1 || seat > 4 || !m_seats[seat].robot)
        return;
    if (robotMove(seat))
        afterAction();
}

bool Room::robotMove(int seat)
{
    Outs outs;
    QString fault;
    if (m_deal->phase() == Deal::Phase::Bidding)
        fault = m_deal->bid(seat, m_deal->robotTurn(seat), outs);
    else
        fault = m_deal->play(seat, m_deal->robotCard(seat), outs);
    if (!fault.isEmpty()) {
        // A robot the rules refuse would be asked again forever; end the deal instead.
        route(outs);
        broadcast(wire::Notice(QStringLiteral("%1 elakadt, a leosztás elmarad").arg(RobotName(seat))));
        m_services.log(QStringLiteral("%1: HIBA: %2: %3").arg(m_name, RobotName(seat), fault));
        abandonDeal(fault);
        return false;
    }
    m_actors << seat;
    route(outs);
    return true;
}

void Room::requireTurn(Member *m, int seat) const
{
    if (!dealRunning())
        Fail(QStringLiteral("Nincs folyamatban leosztás"));
    if (seat == 0)
        Fail(QStringLiteral("Nem ülsz az asztalnál"));
    if (m_deal->onTurn() != seat)
        Fail(QStringLiteral("Nem te következel"));
}

void Room::bid(Member *m, QString turn)
{
    const int seat = seatOf(m);
    requireTurn(m, seat);
    if (NextWord(turn) != m->nick)
        Fail(QStringLiteral("Csak a saját nevedben licitálhatsz"));
    act(seat, Deal::Phase::Bidding, QStringLiteral("A licit már véget ért"),
        [&](Outs &outs) { return m_deal->bid(seat, turn, outs); });
}

void Room::play(Member *m, int card)
{
    const int seat = seatOf(m);
    requireTurn(m, seat);
    act(seat, Deal::Phase::Playing, QStringLiteral("Még licitálni kell"),
        [&](Outs &outs) { return m_deal->play(seat, card, outs); });
}

void Room::act(int seat, Deal::Phase phase, const QString &wrongPhase,
               const std::function<QString(Outs &)> &action)
{
    if (m_deal->phase() != phase)
        Fail(wrongPhase);
    Outs outs;
    const QString fault = action(outs);
    if (!fault.isEmpty())
        Fail(fault);
    m_actors << seat;
    if (m_takeBack)
        dropTakeBack(QStringLiteral("a játék közben továbbment, a visszavonás elmarad"));
    route(outs);
    afterAction();
}

void Room::askUndo(Member *m)
{
    // The robots always agree: a player would take back any card once the trick was seen.
    if (m_matchId)
        Fail(QStringLiteral("A mérkőzésen nincs visszavonás"));
    const int seat = seatOf(m);
    if (!seat)
        Fail(QStringLiteral("Visszavonást csak játékos kérhet"));
    if (!dealRunning())
        Fail(QStringLiteral("Nincs mit visszavonni"));
    if (m_takeBack)
        Fail(QStringLiteral("Már folyik egy visszavonás"));
    if (!m_actors.contains(seat))
        Fail(QStringLiteral("Nincs mit visszavonni"));
    TakeBack request{m, seat, {}};
    for (int s = 1; s <= 4; ++s)
        if (s != seat && m_seats[s].human)
            request.waiting.insert(s);
    m_takeBack = request;
    m_robotTimer.stop();
    m_services.log(QStringLiteral("%1: %2 visszavonást kér").arg(m_name, m->nick));
    if (request.waiting.isEmpty()) {
        takeBack();  // robots always agree
        return;
    }
    for (int s : std::as_const(request.waiting))
        m_seats[s].human->send(QStringLiteral("V") + m->nick);
}

void Room::answerUndo(Member *m, const QString &asker, bool agreed)
{
    const int seat = seatOf(m);
    if (!m_takeBack || m_takeBack->asker->nick != asker || !m_takeBack->waiting.contains(seat))
        Fail(QStringLiteral("Nincs ilyen visszavonási kérés"));
    if (!agreed) {
        dropTakeBack(QStringLiteral("%1 nem járult hozzá a visszavonáshoz").arg(m->nick));
        return;
    }
    m_takeBack->waiting.remove(seat);
    if (m_takeBack->waiting.isEmpty())
        takeBack();
}

void Room::dropTakeBack(const QString &noticeToAsker)
{
    if (!m_takeBack)
        return;
    Member *asker = m_takeBack->asker;
    m_takeBack.reset();
    asker->send(wire::Notice(noticeToAsker));
    scheduleRobot();
}

void Room::takeBack()
{
    const TakeBack request = *m_takeBack;
    m_takeBack.reset();
    // The asker means their own last action: what others did after it goes back with it,
    // or else a robot on turn would at once do the same again.
    Outs outs;
    bool any = false;
    while (!m_actors.isEmpty() && m_deal->undo(outs)) {
        any = true;
        if (m_actors.takeLast() == request.seat)
            break;
    }
    route(outs);
    if (!any)
        request.asker->send(wire::Notice(QStringLiteral("Nincs mit visszavonni")));
    else
        m_services.log(QStringLiteral("%1: visszavonva %2 kérésére").arg(m_name, request.asker->nick));
    afterAction();
}

} // namespace club
