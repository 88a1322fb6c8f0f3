#include "Matches.h"

#include "ClubServer.h"
#include "Member.h"
#include "Room.h"
#include "Wire.h"
#include "cards/Hands.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace club {

namespace {

// Robots may stand in a line-up under any of these names; they accept at once.
bool IsRobotName(const QString &name)
{
    static const QRegularExpression robot(QStringLiteral("^Robot[1-9][0-9]?$"));
    return robot.match(name).hasMatch();
}

qint32 Clamp32(qint64 v)
{
    return qint32(std::clamp<qint64>(v, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

QString Row(int deals, qint64 state, qint64 a, qint64 b, const QString &room1, const QString &room2)
{
    return QStringLiteral(" %1 %2 %3 %4 %5 %6")
        .arg(deals).arg(Clamp32(state)).arg(Clamp32(a)).arg(Clamp32(b)).arg(room1, room2);
}

// Line-up positions 1-4 play in the first room, 5-8 in the second, seat = position there.
int RoomOf(int position) { return position < 4 ? 0 : 1; }

// The address part of "address:port".
QString AddressOf(const Member *m)
{
    const QString &peer = m->peer();
    return peer.left(peer.lastIndexOf(QLatin1Char(':')));
}

bool Holds(const MatchRecord &rec, const QString &nick)
{
    return std::find(rec.lineUp.begin(), rec.lineUp.end(), nick) != rec.lineUp.end();
}

} // namespace

MatchBook::MatchBook(ClubServer &club, Store &store, const MatchOptions &options, QObject *parent)
    : QObject(parent), m_club(club), m_store(store), m_options(options)
{
    if (m_options.minuteMs < 1)
        m_options.minuteMs = 1;
    // Often enough that a start is never late by more than a tenth of a minute.
    m_timer.setInterval(int(std::clamp<qint64>(m_options.minuteMs / 10, 5, 1000)));
    connect(&m_timer, &QTimer::timeout, this, [this] {
        try {
            tick();
        } catch (const VimoError &e) {
            m_club.log(QStringLiteral("HIBA a mérkőzéseknél: ") + e.text());
        }
    });
    m_timer.start();
}

MatchBook::~MatchBook() = default;

qint64 MatchBook::now() const
{
    return m_options.clock ? m_options.clock() : QDateTime::currentMSecsSinceEpoch();
}

int MatchBook::minutesUntil(qint64 at) const
{
    const qint64 left = at - now();
    if (left <= 0)
        return 0;
    return int(std::min<qint64>((left + m_options.minuteMs - 1) / m_options.minuteMs, 1000000));
}

void MatchBook::load()
{
    const qint64 at = now();
    for (MatchRecord rec : m_store.matches(FinishedShown)) {
        if (rec.state == MatchRecord::Cancelled) {
            // Its deletion failed the last time: it stays gone.
            m_store.deleteMatch(rec.id);
            continue;
        }
        if (rec.state == MatchRecord::Running) {
            // Its rooms went with the club: it ends with the score it had, the boards both
            // rooms had finished.
            rec.state = MatchRecord::Finished;
            rec.ended = at;
            m_store.updateMatch(rec);
            m_club.log(QStringLiteral("mérkőzés %1: a klub leállásával véget ért, %2 : %3")
                           .arg(rec.id).arg(rec.score1).arg(rec.score2));
        }
        auto match = std::make_unique<Match>();
        match->rec = rec;
        m_matches[rec.id] = std::move(match);
    }
}

const MatchRecord *MatchBook::find(int id) const
{
    const auto it = m_matches.find(id);
    return it == m_matches.end() ? nullptr : &it->second->rec;
}

MatchBook::Match *MatchBook::open(int id)
{
    const auto it = m_matches.find(id);
    return it == m_matches.end() || it->second->rec.state == MatchRecord::Finished ? nullptr : it->second.get();
}

void MatchBook::save(const Match &match)
{
    if (!m_store.updateMatch(match.rec))
        m_club.log(QStringLiteral("HIBA: a %1. mérkőzés állása nem tárolható").arg(match.rec.id));
}

// ---------------------------------------------------------------------------------------
// Lines

void MatchBook::line(Member *m, QString arg)
{
    if (arg.isEmpty()) {
        m->send(listLine());
        return;
    }
    const QString code = NextWord(arg);
    if (code == QLatin1String("0"))
        return propose(m, arg);
    if (code != QLatin1String("1") && code != QLatin1String("2"))
        Fail(QStringLiteral("Ismeretlen kérés: R%1").arg(wire::Quote(code)));
    const QString word = NextWord(arg);
    if (word.isEmpty())
        Fail(QStringLiteral("Hiányzik a mérkőzés száma"));
    const int id = StrToInt(word);
    if (code == QLatin1String("1"))
        accept(m, id);
    else
        decline(m, id);
}

void MatchBook::propose(Member *m, QString arg)
{
    const int deals = NextInt(arg);
    const int minutes = NextInt(arg);
    std::array<QString, 8> lineUp;
    for (QString &name : lineUp)
        if ((name = NextWord(arg)).isEmpty())
            Fail(QStringLiteral("A mérkőzéshez nyolc játékos kell"));
    if (!arg.isEmpty())
        Fail(QStringLiteral("A mérkőzéshez nyolc játékos kell"));
    if (deals < 2 || deals > MaxDeals || deals % 2 != 0)
        Fail(QStringLiteral("A leosztások száma 2 és %1 közötti páros szám legyen").arg(MaxDeals));
    if (minutes < 1 || minutes > MaxMinutes)
        Fail(QStringLiteral("A kezdésig 1 és %1 perc közötti idő lehet").arg(MaxMinutes));
    int humans = 0;
    for (int p = 0; p < 8; ++p) {
        for (int q = 0; q < p; ++q)
            if (lineUp[q] == lineUp[p])
                Fail(QStringLiteral("%1 kétszer szerepel a csapatokban").arg(wire::Quote(lineUp[p])));
        if (IsRobotName(lineUp[p]))
            continue;
        if (!m_store.member(lineUp[p]))
            Fail(QStringLiteral("Nincs ilyen tag: %1").arg(wire::Quote(lineUp[p])));
        ++humans;
    }
    if (humans == 0)
        Fail(QStringLiteral("Legalább egy tag játsszon a mérkőzésen"));
    const QString address = AddressOf(m);
    int mine = 0, here = 0, all = 0;
    for (const auto &[id, match] : m_matches)
        if (match->rec.state != MatchRecord::Finished) {
            ++all;
            mine += match->rec.proposer == m->nick;
            here += match->address == address;
        }
    if (mine >= OpenPerMember)
        Fail(QStringLiteral("Egyszerre legfeljebb %1 mérkőzést hirdethetsz meg").arg(OpenPerMember));
    // Members cost nothing to make: the cap that holds is the address's.
    if (here >= OpenPerAddress)
        Fail(QStringLiteral("Erről a címről egyszerre legfeljebb %1 mérkőzés hirdethető meg").arg(OpenPerAddress));
    if (all >= OpenInClub)
        Fail(QStringLiteral("Most nem hirdethető meg több mérkőzés"));
    checkFlood(m, lineUp);

    MatchRecord rec;
    rec.proposer = m->nick;
    rec.deals = deals;
    rec.start = now() + minutes * m_options.minuteMs;
    rec.lineUp = lineUp;
    for (int p = 0; p < 8; ++p)
        rec.accepted[p] = IsRobotName(lineUp[p]) || lineUp[p] == m->nick;
    rec.id = m_store.addMatch(rec);
    if (rec.id <= 0)
        Fail(QStringLiteral("A mérkőzés most nem jegyezhető fel"));
    for (const QString &name : lineUp)
        if (!IsRobotName(name) && name != m->nick)
            m_sent << Sent{now(), address, m->nick, name};
    auto match = std::make_unique<Match>();
    match->rec = rec;
    match->address = address;
    m_matches[rec.id] = std::move(match);
    m_club.log(QStringLiteral("mérkőzés %1: %2 meghirdette, %3 leosztás, %4 perc múlva: %5")
                   .arg(QString::number(rec.id), m->nick, QString::number(deals), QString::number(minutes),
                        QStringList(lineUp.begin(), lineUp.end()).join(QLatin1Char(' '))));
    m->send(wire::Notice(QStringLiteral("A mérkőzés (%1) meghirdetve, %2 perc múlva kezdődik").arg(rec.id).arg(minutes)));
    offerAll();
}

void MatchBook::checkFlood(Member *m, const std::array<QString, 8> &lineUp)
{
    const qint64 hour = 60 * m_options.minuteMs;
    const qint64 at = now();
    while (!m_sent.isEmpty() && (m_sent.first().at <= at - hour || m_sent.size() > SentKept))
        m_sent.removeFirst();
    const QString address = AddressOf(m);
    for (const QString &name : lineUp) {
        if (IsRobotName(name) || name == m->nick)
            continue;
        int sent = 0;
        for (const Sent &s : std::as_const(m_sent))
            sent += s.invited == name && (s.address == address || s.proposer == m->nick);
        if (sent >= InvitationsPerHour)
            Fail(QStringLiteral("%1 már elég meghívást kapott innen, próbáld később").arg(wire::Quote(name)));
    }
}

void MatchBook::forget(Member *m, int id)
{
    // A client that never answers would make the set grow with every match that goes: the
    // oldest (smallest) ids go first, their declines then answered as unknown.
    m->staleInvitations.insert(id);
    while (m->staleInvitations.size() > StaleKept)
        m->staleInvitations.remove(*std::min_element(m->staleInvitations.cbegin(), m->staleInvitations.cend()));
}

void MatchBook::accept(Member *m, int id)
{
    Match *match = open(id);
    if (!match) {
        const bool stale = m->staleInvitations.remove(id);
        if (m->invitationOnShow == id) {
            m->invitationOnShow = 0;
            offerNext(m);
        }
        Fail(stale ? QStringLiteral("Ez a mérkőzés elmaradt") : QStringLiteral("Nincs ilyen mérkőzés: %1").arg(id));
    }
    if (match->rec.state == MatchRecord::Running)
        Fail(QStringLiteral("A mérkőzés már elkezdődött"));
    const auto &lineUp = match->rec.lineUp;
    const auto at = std::find(lineUp.begin(), lineUp.end(), m->nick);
    if (at == lineUp.end())
        Fail(QStringLiteral("Erre a mérkőzésre nem szól meghívásod"));
    const int position = int(at - lineUp.begin());
    if (!match->rec.accepted[position]) {
        if (!m_store.acceptMatch(id, position))
            Fail(QStringLiteral("A válasz most nem jegyezhető fel"));
        match->rec.accepted[position] = true;
        m_club.log(QStringLiteral("mérkőzés %1: %2 elfogadta").arg(id).arg(m->nick));
    }
    m->send(wire::Notice(QStringLiteral("Elfogadtad: a mérkőzés (%1) %2 perc múlva kezdődik")
                             .arg(id).arg(minutesUntil(match->rec.start))));
    if (m->invitationOnShow == id) {
        m->invitationOnShow = 0;
        offerNext(m);
    }
    // A match waiting past its time starts as soon as the last answer is in.
    if (now() >= match->rec.start)
        tick();
}

void MatchBook::decline(Member *m, int id)
{
    const bool wasShown = m->invitationOnShow == id;
    if (wasShown)
        m->invitationOnShow = 0;
    Match *match = open(id);
    if (!match) {
        // The client declines by itself an invitation it still showed when the match went.
        if (m->staleInvitations.remove(id)) {
            offerNext(m);
            return;
        }
        if (wasShown)
            offerNext(m);
        Fail(QStringLiteral("Nincs ilyen mérkőzés: %1").arg(id));
    }
    if (match->rec.state == MatchRecord::Running) {
        if (wasShown)
            offerNext(m);
        Fail(QStringLiteral("A mérkőzés már elkezdődött, nem törölhető"));
    }
    const auto &lineUp = match->rec.lineUp;
    if (m->nick == match->rec.proposer)
        cancel(*match, QStringLiteral("%1 törölte").arg(m->nick));
    else if (std::find(lineUp.begin(), lineUp.end(), m->nick) != lineUp.end())
        cancel(*match, QStringLiteral("%1 nem vállalta").arg(m->nick));
    else
        Fail(QStringLiteral("Ezt a mérkőzést nem törölheted"));
    offerNext(m);
}

void MatchBook::cancel(Match &match, const QString &why)
{
    const int id = match.rec.id;
    tell(match, QStringLiteral("A mérkőzés (%1) elmarad: %2").arg(id).arg(why));
    m_club.log(QStringLiteral("mérkőzés %1 elmarad: %2").arg(id).arg(why));
    // Marked first: a deletion that fails then leaves a row the next start passes over.
    match.rec.state = MatchRecord::Cancelled;
    save(match);
    if (!m_store.deleteMatch(id))
        m_club.log(QStringLiteral("HIBA: a %1. mérkőzés nem törölhető a tárból").arg(id));
    m_matches.erase(id);
    // Whoever still sees its invitation gets the next one; the client declines the old one
    // by itself, and that decline is expected.
    for (Member *p : m_club.m_online)
        if (p->invitationOnShow == id) {
            p->invitationOnShow = 0;
            forget(p, id);
            offerNext(p);
        }
}

// ---------------------------------------------------------------------------------------
// Invitations

QString MatchBook::invitation(const Match &match) const
{
    QString line = QStringLiteral("R1 %1 %2 %3").arg(match.rec.id).arg(match.rec.deals).arg(minutesUntil(match.rec.start));
    for (const QString &name : match.rec.lineUp)
        line += QLatin1Char(' ') + name;
    return line;
}

void MatchBook::offerNext(Member *m)
{
    // The client declines the invitation on show whenever any "R" comes: one at a time.
    if (m->invitationOnShow != 0 || m->nick.isEmpty() || m->closing())
        return;
    for (const auto &[id, match] : m_matches) {
        if (match->rec.state != MatchRecord::Pending)
            continue;
        for (int p = 0; p < 8; ++p)
            if (match->rec.lineUp[p] == m->nick && !match->rec.accepted[p]) {
                m->invitationOnShow = id;
                m->send(invitation(*match));
                return;
            }
    }
}

void MatchBook::offerAll()
{
    for (Member *p : m_club.m_online)
        offerNext(p);
}

void MatchBook::tell(const Match &match, const QString &text) const
{
    QStringList told;
    const auto tellOne = [&](const QString &nick) {
        if (told.contains(nick))
            return;
        told << nick;
        if (Member *p = m_club.m_online.value(nick))
            p->send(wire::Notice(text));
    };
    tellOne(match.rec.proposer);
    for (const QString &nick : match.rec.lineUp)
        tellOne(nick);
}

void MatchBook::loggedIn(Member *m)
{
    for (const auto &[id, match] : m_matches) {
        if (match->rec.state != MatchRecord::Running)
            continue;
        const auto &lineUp = match->rec.lineUp;
        const auto at = std::find(lineUp.begin(), lineUp.end(), m->nick);
        if (at == lineUp.end())
            continue;
        // Back to the own table: the seat is theirs again from the next deal.
        if (Room *r = match->rooms[RoomOf(int(at - lineUp.begin()))])
            m_club.moveTo(m, r);
        break;
    }
    offerNext(m);
}

// ---------------------------------------------------------------------------------------
// The clock

qint64 MatchBook::latestEnd(const Match &match) const
{
    // Every turn used to the full, robots' and humans', the pause between deals, and slack.
    const qint64 turn = std::max<qint64>({m_options.turnLimit, m_options.robotDelay, 1000});
    const qint64 pause = std::min<qint64>(m_options.minuteMs / 20, 5000);
    return match.startedAt + match.rec.deals * (TurnsPerDeal * turn + pause) + OverdueMinutes * m_options.minuteMs;
}

void MatchBook::tick()
{
    const qint64 at = now();
    QList<int> overdue;
    for (const auto &[id, match] : m_matches)
        if (match->rec.state == MatchRecord::Running && at >= latestEnd(*match))
            overdue << id;
    for (int id : overdue)
        if (Match *match = open(id)) {
            m_club.log(QStringLiteral("mérkőzés %1: túl sokáig tartott, véget ér").arg(id));
            finish(*match);
        }
    QList<int> due;
    for (const auto &[id, match] : m_matches)
        if (match->rec.state == MatchRecord::Pending && at >= match->rec.start)
            due << id;
    for (int id : due) {
        Match *match = open(id);
        if (!match || tryStart(*match))
            continue;
        if (match->graceUntil == 0)
            match->graceUntil = match->rec.start + GraceMinutes * m_options.minuteMs;
        if (at >= match->graceUntil) {
            cancel(*match, QStringLiteral("nem kezdődhetett el: ") + match->missing);
            continue;
        }
        if (match->missing != match->told) {
            match->told = match->missing;
            tell(*match, QStringLiteral("A mérkőzés (%1) még %2 percig vár: %3")
                             .arg(id).arg(minutesUntil(match->graceUntil)).arg(match->missing));
        }
    }
}

QString MatchBook::busyReason(const Match &match) const
{
    for (int p = 0; p < 8; ++p) {
        const QString &nick = match.rec.lineUp[p];
        if (IsRobotName(nick))
            continue;
        if (!match.rec.accepted[p])
            return QStringLiteral("%1 nem fogadta el a meghívást").arg(nick);
        Member *m = m_club.m_online.value(nick);
        if (!m)
            return QStringLiteral("%1 nincs bejelentkezve").arg(nick);
        if (m->room && m->room->seatOf(m) && m->room->dealRunning())
            return QStringLiteral("%1 éppen játszik").arg(nick);
        for (const auto &[id, other] : m_matches)
            if (other->rec.state == MatchRecord::Running
                && std::find(other->rec.lineUp.begin(), other->rec.lineUp.end(), nick) != other->rec.lineUp.end())
                return QStringLiteral("%1 másik mérkőzésen játszik").arg(nick);
    }
    if (m_club.m_rooms.size() - 1 + 2 > m_club.m_options.limits.maxRooms)
        return QStringLiteral("nincs szabad terem");
    return QString();
}

bool MatchBook::tryStart(Match &match)
{
    match.missing = busyReason(match);
    if (!match.missing.isEmpty())
        return false;
    const int id = match.rec.id;
    QStringList names;
    for (int k = 1; names.size() < 2; ++k) {
        const QString name = QStringLiteral("Meccs%1").arg(k);
        if (!m_club.findRoom(name))
            names << name;
    }
    for (int which = 0; which < 2; ++which) {
        std::array<QString, 5> seats;
        for (int s = 1; s <= 4; ++s) {
            const QString &nick = match.rec.lineUp[which * 4 + s - 1];
            if (!IsRobotName(nick))
                seats[s] = nick;
        }
        auto *r = new Room(names[which], false, true, m_club.m_services, &m_club);
        r->setMatch(id, seats);
        connect(r, &Room::dealEnded, this, [this, id, which](int, qint64 side14, qint64 side23, bool completed) {
            dealEnded(id, which, side14, side23, completed);
        });
        m_club.m_rooms << r;
        match.rooms[which] = r;
    }
    auto *rng = QRandomGenerator::global();
    match.boards.clear();
    for (int k = 0; k < match.rec.deals; ++k)
        match.boards << int(rng->bounded(2, 1000000));
    match.rec.state = MatchRecord::Running;
    match.startedAt = now();
    match.results = {};
    match.rec.room1 = names[0];
    match.rec.room2 = names[1];
    save(match);
    m_club.log(QStringLiteral("mérkőzés %1 elkezdődött: %2, %3").arg(id).arg(names[0], names[1]));
    tell(match, QStringLiteral("A mérkőzés (%1) elkezdődött: %2 és %3").arg(id).arg(names[0], names[1]));
    for (int p = 0; p < 8; ++p)
        if (Member *m = m_club.m_online.value(match.rec.lineUp[p]))
            m_club.moveTo(m, match.rooms[RoomOf(p)]);
    m_club.refreshLobby();
    for (int which = 0; which < 2; ++which)
        match.rooms[which]->startMatchDeal(match.boards[0]);
    return true;
}

PairedScore PairTotals(const BoardResults &first, const BoardResults &second)
{
    PairedScore score;
    score.played = int(std::min(first.size(), second.size()));
    for (int k = 0; k < score.played; ++k)
        if (first[k] && second[k]) {
            score.team1 += first[k]->first + second[k]->first;
            score.team2 += first[k]->second + second[k]->second;
        }
    return score;
}

void MatchBook::dealEnded(int id, int which, qint64 side14, qint64 side23, bool completed)
{
    Match *match = open(id);
    if (!match || match->rec.state != MatchRecord::Running)
        return;
    // Team 1 holds side 1-4 in the first room and side 2-3 in the second.
    std::optional<std::pair<qint64, qint64>> result;
    if (completed)
        result = which == 0 ? std::make_pair(side14, side23) : std::make_pair(side23, side14);
    match->results[which] << result;
    ++match->done[which];
    const PairedScore score = PairTotals(match->results[0], match->results[1]);
    if (score.played != match->rec.played) {
        match->rec.played = score.played;
        match->rec.score1 = score.team1;
        match->rec.score2 = score.team2;
        save(*match);
    }
    m_club.log(QStringLiteral("mérkőzés %1: %2 a %3. leosztás után%4, állás %5 : %6")
                   .arg(id).arg(which ? match->rec.room2 : match->rec.room1)
                   .arg(match->done[which]).arg(completed ? QString() : QStringLiteral(" (elmaradt)"))
                   .arg(match->rec.score1).arg(match->rec.score2));
    if (match->done[0] >= match->rec.deals && match->done[1] >= match->rec.deals) {
        finish(*match);
        return;
    }
    if (match->done[which] < match->rec.deals) {
        // A short pause, so that the table reads the result before the next cards come.
        QTimer::singleShot(int(std::min<qint64>(m_options.minuteMs / 20, 5000)), this,
                           [this, id, which] { nextDeal(id, which); });
    }
}

void MatchBook::nextDeal(int id, int which)
{
    Match *match = open(id);
    if (!match || match->rec.state != MatchRecord::Running)
        return;
    Room *r = match->rooms[which];
    if (!r || r->dealRunning() || match->done[which] >= match->rec.deals)
        return;
    r->startMatchDeal(match->boards[match->done[which]]);
}

void MatchBook::finish(Match &match)
{
    const PairedScore score = PairTotals(match.results[0], match.results[1]);
    match.rec.played = score.played;
    match.rec.score1 = score.team1;
    match.rec.score2 = score.team2;
    match.rec.state = MatchRecord::Finished;
    match.rec.ended = now();
    save(match);
    const QString result = QStringLiteral("A mérkőzés (%1) véget ért: Csapat 1. %2 : %3 Csapat 2.")
                               .arg(match.rec.id).arg(match.rec.score1).arg(match.rec.score2);
    m_club.log(QStringLiteral("mérkőzés %1 véget ért: %2 : %3").arg(match.rec.id).arg(match.rec.score1).arg(match.rec.score2));
    QStringList toldInRooms;
    for (QPointer<Room> &r : match.rooms) {
        if (!r)
            continue;
        r->broadcast(wire::Notice(result));
        toldInRooms << r->nicks();
        r->endMatch();
        m_club.closeIfEmpty(r);
        r = nullptr;
    }
    for (const QString &nick : match.rec.lineUp)
        if (!toldInRooms.contains(nick))
            if (Member *p = m_club.m_online.value(nick))
                p->send(wire::Notice(result));
    // The list shows only the latest finished ones.
    QList<std::pair<qint64, int>> finished;
    for (const auto &[id, m] : m_matches)
        if (m->rec.state == MatchRecord::Finished)
            finished << std::make_pair(m->rec.ended, id);
    std::sort(finished.begin(), finished.end());
    while (finished.size() > FinishedShown)
        m_matches.erase(finished.takeFirst().second);
}

// ---------------------------------------------------------------------------------------
// What the match rooms keep from others, and what the club keeps for them

int MatchBook::roomsAside() const
{
    const qint64 soon = now() + m_options.minuteMs;
    int rooms = 0;
    for (const auto &[id, match] : m_matches)
        if (match->rec.state == MatchRecord::Pending && match->rec.start <= soon
            && std::all_of(match->rec.accepted.begin(), match->rec.accepted.end(), [](bool yes) { return yes; }))
            rooms += 2;
    return rooms;
}

void MatchBook::renamed(const QString &from, const QString &to)
{
    for (const auto &[id, match] : m_matches) {
        if (match->rec.proposer == from)
            match->rec.proposer = to;
        for (int p = 0; p < 8; ++p)
            if (match->rec.lineUp[p] == from) {
                match->rec.lineUp[p] = to;
                if (Room *r = match->rooms[RoomOf(p)])
                    r->renameMatchSeat(from, to);
            }
    }
}

const MatchRecord *MatchBook::playing(const QString &nick) const
{
    for (const auto &[id, match] : m_matches)
        if (match->rec.state == MatchRecord::Running && Holds(match->rec, nick))
            return &match->rec;
    return nullptr;
}

bool MatchBook::hidesBoard(const QString &nick, const QString &board) const
{
    for (const auto &[id, match] : m_matches)
        if (match->rec.state == MatchRecord::Running && Holds(match->rec, nick))
            for (int number : match->boards)
                if (board == QString::number(number))
                    return true;
    return false;
}

void MatchBook::checkWatch(const Member *m, const Room *room, bool spectate) const
{
    if (!room->matchId())
        return;
    const auto it = m_matches.find(room->matchId());
    if (it == m_matches.end() || it->second->rec.state != MatchRecord::Running)
        return;
    const Match &match = *it->second;
    const auto at = std::find(match.rec.lineUp.begin(), match.rec.lineUp.end(), m->nick);
    if (at == match.rec.lineUp.end())
        return;
    // The other room plays the same cards: what is seen there is known here.
    if (match.rooms[RoomOf(int(at - match.rec.lineUp.begin()))] != room)
        Fail(QStringLiteral("A mérkőzés másik termébe a végéig nem mehetsz be"));
    if (spectate)
        Fail(QStringLiteral("A mérkőzés játékosa nem lehet kibic"));
}

bool MatchBook::inLineUp(const Room *room, const QString &nick) const
{
    const auto it = m_matches.find(room->matchId());
    return room->matchId() && it != m_matches.end() && Holds(it->second->rec, nick);
}

// ---------------------------------------------------------------------------------------
// The list

QString MatchBook::listLine() const
{
    const qint64 at = now();
    QString line = QStringLiteral("R0");
    QList<const Match *> finished;
    for (const auto &[id, match] : m_matches) {
        const MatchRecord &rec = match->rec;
        switch (rec.state) {
        case MatchRecord::Pending:
            if (at < rec.start) {
                line += Row(rec.deals, -1, minutesUntil(rec.start), id, QStringLiteral("-"), QStringLiteral("-"));
            } else {
                const qint64 grace = match->graceUntil ? match->graceUntil : rec.start + GraceMinutes * m_options.minuteMs;
                line += Row(rec.deals, -2, minutesUntil(grace), id, QStringLiteral("-"), QStringLiteral("-"));
            }
            break;
        case MatchRecord::Running:
            line += Row(rec.deals, rec.played, rec.score1, rec.score2, rec.room1, rec.room2);
            break;
        default:
            finished << match.get();
        }
    }
    std::sort(finished.begin(), finished.end(), [](const Match *a, const Match *b) {
        return a->rec.ended != b->rec.ended ? a->rec.ended > b->rec.ended : a->rec.id > b->rec.id;
    });
    for (const Match *match : finished) {
        const MatchRecord &rec = match->rec;
        const qint64 since = std::clamp<qint64>((at - rec.ended) / m_options.minuteMs, 0, EndedMinutesShown);
        line += Row(rec.deals, -std::max<qint64>(3, since), rec.score1, rec.score2, rec.room1, rec.room2);
    }
    return line;
}

} // namespace club
