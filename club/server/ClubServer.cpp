#include "ClubServer.h"

#include "Wire.h"
#include "cards/Hands.h"

#include <QDate>
#include <QDateTime>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>

namespace club {

const QString ClubServer::LobbyName = QStringLiteral("Társalgó");

namespace {
// Long enough for a busy club's days, short enough for the client's longest line.
constexpr int DaysInReply = 1000;
constexpr int DealsInReply = 200;
// Days whose deals are kept written out: past them the day asked for least recently goes, so
// that a member who asks for one day after another costs reading, not memory.
constexpr int DaysKept = 16;
} // namespace

ClubServer::ClubServer(const ClubOptions &options, QObject *parent)
    : QTcpServer(parent), m_options(options), m_store(options.dataPath)
{
    m_services.store = &m_store;
    m_services.robotDelay = options.robotDelay;
    m_services.log = [this](const QString &text) { log(text); };
    m_services.today = [this] { return today(); };
    m_services.robotSamples = options.robotSamples;
    m_services.nextDealPause = options.nextDealPause;
    m_services.seatHold = options.seatHold;
    m_services.turnLimit = options.turnLimit;
    m_services.dealKey = m_store.dealKey();
    m_services.now = [this] { return m_options.clock ? m_options.clock() : QDateTime::currentMSecsSinceEpoch(); };
    m_services.deserted = [this](Room *r) { closeIfEmpty(r); };
    m_store.dealArchived = [this](int day, int id, const QString &text) { archived(day, id, text); };
    m_rooms << new Room(LobbyName, true, true, m_services, this);
    for (int i = 0; i < options.openRooms; ++i)
        m_rooms << new Room(freeRoomName(), false, true, m_services, this);
    m_matches = std::make_unique<MatchBook>(*this, m_store, MatchOptions{options.matchMinute, options.clock, options.turnLimit, options.robotDelay});
    if (m_store.isOpen())
        m_matches->load();
}

ClubServer::~ClubServer()
{
    // Members first: their leaving still reaches the rooms.
    for (Member *m : std::as_const(m_members))
        delete m;
    m_members.clear();
    m_matches.reset();
}

QStringList ClubServer::roomNames() const
{
    QStringList names;
    for (const Room *r : m_rooms)
        names << r->name();
    return names;
}

void ClubServer::log(const QString &text) const
{
    if (!m_options.log)
        return;
    // A flood of connections or guesses would log thousands of lines a second, and a log
    // that is written more slowly than that (a pipe, a terminal) holds up the whole club.
    if (!m_logPace.tryTake(m_options.limits.logLines, m_services.now())) {
        ++m_logSkipped;
        return;
    }
    if (m_logSkipped) {
        m_options.log(QStringLiteral("(%1 naplósor kimaradt: túl sok esemény)").arg(m_logSkipped));
        m_logSkipped = 0;
    }
    m_options.log(text);
}

int ClubServer::today() const
{
    return wire::DayNumber(m_options.date ? m_options.date() : QDate::currentDate());
}

Room *ClubServer::findRoom(const QString &name) const
{
    for (Room *r : m_rooms)
        if (r->name() == name)
            return r;
    return nullptr;
}

bool ClubServer::listen(const QHostAddress &address, quint16 port)
{
    delete m_accepting;
    if (!QTcpServer::listen(address, port))
        return false;
    // Qt's own notifier stays off for good; ours is the only one on the socket.
    pauseAccepting();
    m_accepting = new QSocketNotifier(socketDescriptor(), QSocketNotifier::Read, this);
    connect(m_accepting, &QSocketNotifier::activated, this, &ClubServer::acceptWaiting);
    return true;
}

void ClubServer::acceptWaiting()
{
    if (!isListening()) {
        m_accepting->setEnabled(false);
        return;
    }
    // A bounded number a turn, so that a flood of connections does not hold up the members.
    for (int i = 0; i < 64; ++i) {
        const int fd = ::accept4(int(socketDescriptor()), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            incomingConnection(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        // Out of descriptors or memory: the socket stays readable and every try fails again
        // at once. A pause lets the club serve those it has, and close some, before it tries.
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        m_accepting->setEnabled(false);
        log(QStringLiteral("nem fogadható új kapcsolat: %1; szünet %2 ms").arg(why).arg(m_options.limits.acceptPauseMs));
        QTimer::singleShot(m_options.limits.acceptPauseMs, m_accepting, [n = m_accepting] { n->setEnabled(true); });
        return;
    }
}

void ClubServer::incomingConnection(qintptr handle)
{
    auto *socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    addConnection(socket);
}

void ClubServer::addConnection(QTcpSocket *socket)
{
    const QHostAddress address = socket->peerAddress();
    auto *m = new Member(socket, m_options.limits, &m_output, this);
    m->since = m_services.now();
    // Logged-in members count here; strangers have caps of their own (Doorkeeper).
    if (m_online.size() >= m_options.limits.maxMembers) {
        m->send(wire::Notice(QStringLiteral("A klub megtelt, próbáld később")));
        log(QStringLiteral("%1: elutasítva, a klub megtelt").arg(m->peer()));
        // Deleted once the notice has left, not before.
        connect(m, &Member::gone, m, &QObject::deleteLater, Qt::QueuedConnection);
        m->close();
        return;
    }
    const Doorkeeper::Admission admission = m_door.admit(m, address, m->since);
    if (admission.refused) {
        m->send(wire::Notice(QStringLiteral("Túl sok kapcsolat vár bejelentkezésre, próbáld újra")));
        log(QStringLiteral("%1: elutasítva, túl sok kapcsolat vár bejelentkezésre").arg(m->peer()));
        connect(m, &Member::gone, m, &QObject::deleteLater, Qt::QueuedConnection);
        m->close();
        return;
    }
    m_members << m;
    log(QStringLiteral("%1: kapcsolódott").arg(m->peer()));
    for (Member *old : admission.away) {
        old->send(wire::Notice(QStringLiteral("Túl sok kapcsolat vár bejelentkezésre, próbáld újra")));
        drop(old, QStringLiteral("helyet adott egy újabb kapcsolatnak"));
    }
    connect(m, &Member::lineReceived, this, &ClubServer::handle);
    connect(m, &Member::flooded, this, [this](Member *who) {
        who->send(wire::Notice(QStringLiteral("Túl sok sor érkezett tőled, a fölösleg elveszett")));
        log(QStringLiteral("%1 %2: áradat, sorok eldobva").arg(who->peer(), who->nick));
    });
    connect(m, &Member::overlong, this, [this](Member *who) {
        log(QStringLiteral("%1 %2: túl hosszú sor, kapcsolat bontva").arg(who->peer(), who->nick));
    });
    // Queued: a socket can go away in the middle of a send to a whole room.
    connect(m, &Member::gone, this, [this](Member *who) {
        m_door.forget(who);
        drop(who, QStringLiteral("kapcsolat bontva"), true);
        m_members.removeOne(who);
        who->deleteLater();
    }, Qt::QueuedConnection);
    // The connection's own timer, gone with it: a single-shot timer stays filed for the whole
    // wait after its connection went, so a stream of short connections would pile up timers
    // that every timer the club starts is sorted in among.
    auto *deadline = new QTimer(m);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this, m] {
        if (m->nick.isEmpty() && !m->closing()) {
            m->send(wire::Notice(QStringLiteral("Lejárt a bejelentkezésre szánt idő")));
            drop(m, QStringLiteral("nem jelentkezett be"));
        }
    });
    deadline->start(m_options.limits.loginMs);
}

void ClubServer::handle(Member *m, const QString &line)
{
    if (m->closing())
        return;
    try {
        dispatch(m, line.front(), line.mid(1));
    } catch (const VimoError &e) {
        // Refusals may quote what was sent; the notice must still be a line the client can read.
        m->send(wire::Notice(wire::Quote(e.text(), 200)));
    }
}

void ClubServer::dispatch(Member *m, QChar command, QString arg)
{
    const char c = command.toLatin1();
    if (m->nick.isEmpty() && c != 'L' && c != 'D')
        Fail(QStringLiteral("Előbb jelentkezz be"));
    if (const auto kind = CostOf(command, arg); kind && !m_throttle.allow(m, *kind, m_services.now()))
        Fail(QStringLiteral("Túl gyakran kérted, próbáld később"));
    if (c == 'L' && m->nick.isEmpty()) {
        QString rest = arg;
        if (LoggedInFrom(m_online, m->address(), NextWord(rest)) >= m_options.limits.perAddress) {
            m->send(wire::Notice(QStringLiteral("Erről a címről már túl sokan vannak bejelentkezve, próbáld később")));
            drop(m, QStringLiteral("túl sok tag erről a címről"));
            return;
        }
    }
    switch (c) {
    case 'L':
        return login(m, arg);
    case 'D':
        return personalData(m, arg);
    case 'W':
        return changePassword(m, arg);
    case 'M':
        return chat(m, arg);
    case 'A':
        return privateOrRemove(m, arg);
    case '?':
        return ping(m);
    case 'G':
        return pong(m, arg);
    case 'J':
        return enterRoom(m, arg);
    case 'T':
        return openRoom(m);
    case 'I': {
        const QString word = NextWord(arg);
        if (word.isEmpty())
            Fail(QStringLiteral("Hiányzik a hely száma"));
        return m->room->sit(m, StrToInt(word));
    }
    case 'H':
        if (arg != QLatin1String("0"))
            Fail(QStringLiteral("Ismeretlen kérés: H%1").arg(wire::Quote(arg)));
        m_matches->checkWatch(m, m->room, true);
        return m->room->spectate(m);
    case 'O':
        // Whatever follows that is no number asks for a new deal, as the number 1 does.
        return m->room->newDeal(m, StrToIntDef(NextWord(arg), 1));
    case 'V':
        return undoLine(m, arg);
    case 'B':
        return m->room->bid(m, arg);
    case 'P': {
        const QString word = NextWord(arg);
        if (word.isEmpty())
            Fail(QStringLiteral("Hiányzik a lap"));
        return m->room->play(m, StrToInt(word));
    }
    case 'Y':
        m->send(daysReply());
        return;
    case 'X':
        return history(m, arg);
    case 'R':
        return m_matches->line(m, arg);
    default:
        Fail(QStringLiteral("Ismeretlen parancs: %1").arg(command));
    }
}

void ClubServer::login(Member *m, QString arg)
{
    if (!m->nick.isEmpty())
        Fail(QStringLiteral("Már bejelentkeztél"));
    const QString nick = NextWord(arg);
    const qint32 digest = NextInt(arg);
    if (m_online.size() >= m_options.limits.maxMembers && !m_online.contains(nick)) {
        m->send(wire::Notice(QStringLiteral("A klub megtelt, próbáld később")));
        drop(m, QStringLiteral("a klub megtelt"));
        return;
    }
    if (const QString fault = wire::CheckNick(nick); !fault.isEmpty()) {
        m->send(wire::Notice(fault));
        drop(m, QStringLiteral("rossz becenév: ") + nick);
        return;
    }
    // A refusal closes only this connection: whoever is logged in under the name stays.
    const Identity::Verdict verdict = m_identity.login(nick, digest, m->address());
    if (!verdict.accepted) {
        m->send(wire::Notice(verdict.refusal));
        drop(m, verdict.why);
        return;
    }
    if (verdict.created)
        log(QStringLiteral("új tag: %1").arg(nick));
    if (Member *old = m_online.value(nick)) {
        old->send(wire::Notice(QStringLiteral("Ezzel a névvel valaki máshonnan bejelentkezett")));
        drop(old, QStringLiteral("új bejelentkezés váltotta"), true);
    }
    m->nick = nick;
    m_online.insert(nick, m);
    m_door.loggedIn(m);
    log(QStringLiteral("%1: bejelentkezett: %2").arg(m->peer(), nick));
    moveTo(m, lobby());
    // Back to the seat a dropped connection left; a match's room the match itself gives back.
    for (Room *r : std::as_const(m_rooms))
        if (!r->matchId() && r->holdsSeatFor(nick)) {
            moveTo(m, r);
            break;
        }
    m_matches->loggedIn(m);
}

void ClubServer::tick()
{
    for (const QPointer<Room> &r : QList<QPointer<Room>>(m_rooms.begin(), m_rooms.end()))
        if (r)
            r->tick();
}

bool ClubServer::closeIfEmpty(Room *r)
{
    if (!r->closable() || !m_rooms.contains(r))
        return false;
    m_rooms.removeOne(r);
    r->deleteLater();
    log(QStringLiteral("%1 bezárt").arg(r->name()));
    refreshLobby();
    return true;
}

void ClubServer::drop(Member *m, const QString &why, bool holdSeat)
{
    if (Room *r = m->room) {
        r->leave(m, holdSeat);
        closeIfEmpty(r);
    }
    if (!m->nick.isEmpty() && m_online.value(m->nick) == m) {
        m_online.remove(m->nick);
        log(QStringLiteral("%1 távozott: %2").arg(m->nick, why));
    } else if (!m->closing()) {
        log(QStringLiteral("%1: %2").arg(m->peer(), why));
    }
    m->close();
}

WireLine ClubServer::lobbyLine() const
{
    // wire::LobbyLine put together from the rooms' parts as they go on the wire: the code
    // page encodes character by character, so the parts' bytes are the line's.
    const QByteArray head = "L" + QByteArray::number(m_rooms.size());
    qsizetype length = head.size();
    qsizetype size = head.size();
    for (const Room *r : m_rooms) {
        length += r->lobbyEntry().length;
        size += r->lobbyEntry().bytes.size();
    }
    QByteArray bytes;
    bytes.reserve(size);
    bytes += head;
    for (const Room *r : m_rooms)
        bytes += r->lobbyEntry().bytes;
    return WireLine(std::move(bytes), length);
}

void ClubServer::sendLobby(Member *m)
{
    m->send(lobbyLine());
}

void ClubServer::refreshLobby(const Member *except)
{
    const QList<Member *> &waiting = lobby()->members();
    if (waiting.isEmpty() || (waiting.size() == 1 && waiting.first() == except))
        return;
    const WireLine line = lobbyLine();
    for (Member *p : waiting)
        if (p != except)
            p->send(line);
}

void ClubServer::moveTo(Member *m, Room *to)
{
    Room *from = m->room;
    if (from == to) {
        if (to->isLobby())
            sendLobby(m);
        else
            Fail(QStringLiteral("Már ebben a teremben vagy"));
        return;
    }
    bool roomsChanged = false;
    if (from) {
        from->leave(m);
        if (from->closable()) {
            m_rooms.removeOne(from);
            from->deleteLater();
            log(QStringLiteral("%1 bezárt").arg(from->name()));
            roomsChanged = true;
        }
    }
    to->enter(m);
    if (to->isLobby())
        sendLobby(m);
    else
        log(QStringLiteral("%1 belépett: %2").arg(m->nick, to->name()));
    if (roomsChanged)
        refreshLobby(m);
}

void ClubServer::enterRoom(Member *m, QString arg)
{
    const QString name = NextWord(arg);
    Room *to = findRoom(name);
    if (!to)
        Fail(QStringLiteral("Nincs ilyen terem: %1").arg(wire::Quote(name)));
    m_matches->checkWatch(m, to, false);
    moveTo(m, to);
}

void ClubServer::openRoom(Member *m)
{
    // The last rooms may be kept for matches about to start.
    if (m_rooms.size() - 1 + m_matches->roomsAside() >= m_options.limits.maxRooms)
        Fail(QStringLiteral("Több terem nem nyitható"));
    const QString name = freeRoomName();
    auto *r = new Room(name, false, false, m_services, this);
    m_rooms << r;
    log(QStringLiteral("%1 megnyitotta: %2").arg(m->nick, name));
    moveTo(m, r);
    // Who waits in the lobby sees the new room at once.
    refreshLobby();
}

QString ClubServer::freeRoomName() const
{
    // At most as many tries as there are rooms, and the numbers stay small.
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Terem%1").arg(n);
        if (!findRoom(name))
            return name;
    }
}

void ClubServer::chat(Member *m, const QString &said)
{
    const QString text = wire::WithoutControls(said);
    if (text.isEmpty())
        Fail(QStringLiteral("Az üzenet mező üres"));
    const QString line = wire::ChatLine(m->nick, text);
    if (!wire::Fits(line))
        Fail(QStringLiteral("Az üzenet túl hosszú"));
    m->room->broadcast(line);
}

void ClubServer::privateOrRemove(Member *m, QString arg)
{
    const bool removal = !arg.contains(QLatin1Char(' '));
    const QString nick = NextWord(arg);
    if (nick.isEmpty())
        Fail(QStringLiteral("Nincs kiválasztott jelenlévő"));
    if (nick == m->nick)
        Fail(removal ? QStringLiteral("Egyszerűbb ha kilépsz")
                     : QStringLiteral("Privát üzenet csak másnak küldhető"));
    Member *target = m_online.value(nick);
    if (removal) {
        Room *r = m->room;
        if (r->isLobby())
            Fail(QStringLiteral("A társalgóból senkit sem lehet eltávolítani"));
        if (r->host() != m)
            Fail(QStringLiteral("Csak a házigazda távolíthat el valakit"));
        if (!target || target->room != r)
            Fail(QStringLiteral("%1 nincs a teremben").arg(wire::Quote(nick)));
        // Whoever came in first, a match's players keep their places.
        if (m_matches->inLineUp(r, nick))
            Fail(QStringLiteral("A mérkőzés játékosát nem lehet kiküldeni"));
        target->send(wire::Notice(QStringLiteral("%1 kiküldött a teremből").arg(m->nick)));
        log(QStringLiteral("%1: %2 kiküldte: %3").arg(r->name(), m->nick, nick));
        moveTo(target, lobby());
        return;
    }
    arg = wire::WithoutControls(arg);
    if (arg.isEmpty())
        Fail(QStringLiteral("Privát üzenet sem lehet üres"));
    if (!target)
        Fail(QStringLiteral("%1 nincs bejelentkezve").arg(wire::Quote(nick)));
    // The other room of a match plays the same cards: its players talk to nobody in private
    // until it ends.
    if (m_matches->playing(m->nick))
        Fail(QStringLiteral("Mérkőzés közben nem küldhetsz privát üzenetet"));
    if (m_matches->playing(nick))
        Fail(QStringLiteral("%1 mérkőzésen játszik, most nem kaphat privát üzenetet").arg(nick));
    // Partners in a deal must not talk behind the others' backs.
    const int seat = m->room->seatOf(m);
    if (seat && target->room == m->room && m->room->seatOf(target) == 5 - seat && m->room->dealRunning())
        Fail(QStringLiteral("Privát üzenet partnernek nem küldhető"));
    const QString line = wire::PrivateLine(m->nick, arg);
    const QString echo = wire::PrivateEcho(nick, arg);
    if (!wire::Fits(line) || !wire::Fits(echo))
        Fail(QStringLiteral("Az üzenet túl hosszú"));
    target->send(line);
    m->send(echo);
}

void ClubServer::ping(Member *m)
{
    // Each client answers with a "G": that answer is owed, and costs its sender nothing. A
    // few at most, so that an answer never pinged for cannot ride on them.
    constexpr int AnswersOwed = 4;
    for (Member *p : m->room->members())
        p->pingsToAnswer = std::min(AnswersOwed, p->pingsToAnswer + 1);
    m->room->broadcast(QStringLiteral("?") + m->nick);
}

void ClubServer::pong(Member *m, QString arg)
{
    const QString pinger = NextWord(arg);
    // The answer names its sender as the club knows it, whatever the line claimed.
    if (Member *target = m_online.value(pinger))
        target->send(QStringLiteral("G%1 %2").arg(pinger, m->nick));
}

void ClubServer::undoLine(Member *m, QString arg)
{
    if (arg.isEmpty())
        return m->room->askUndo(m);
    const QString asker = NextWord(arg);
    const QString answer = NextWord(arg);
    if (answer != QLatin1String("y") && answer != QLatin1String("n"))
        Fail(QStringLiteral("A visszavonásra y vagy n a válasz"));
    m->room->answerUndo(m, asker, answer == QLatin1String("y"));
}

void ClubServer::personalData(Member *m, const QString &arg)
{
    if (arg.startsWith(QLatin1String("0 ")) || arg.startsWith(QLatin1String("1 ")))
        return saveData(m, wire::PersonalData::parse(arg.mid(2), arg.front() == QLatin1Char('1')));
    if (m->nick.isEmpty())
        Fail(QStringLiteral("Előbb jelentkezz be"));
    QString rest = arg;
    const QString nick = NextWord(rest);
    if (nick.isEmpty())
        Fail(QStringLiteral("Hiányzik a becenév"));
    const auto record = m_store.member(nick);
    if (!record)
        m->send(QStringLiteral("D4 ") + wire::Quote(nick));
    else if (nick == m->nick)
        m->send(QStringLiteral("D%1 %2").arg(record->data.isPublic ? 1 : 0).arg(record->data.payload()));
    else if (record->data.isPublic)
        m->send(QStringLiteral("D2 ") + record->data.payload());
    else
        m->send(QStringLiteral("D3 ") + nick);
}

void ClubServer::saveData(Member *m, const wire::PersonalData &data)
{
    const QString nick = data.nick();
    const QString fault = wire::CheckPersonalData(data);
    if (m->nick.isEmpty()) {
        // A newcomer's client drops the line after this record, as it told its user.
        QString outcome;
        if (!fault.isEmpty())
            outcome = fault;
        else if (m_store.member(nick))
            outcome = QStringLiteral("Ez a becenév már foglalt: %1").arg(nick);
        else if (const QString refusal = m_identity.mayRegister(m->address()); !refusal.isEmpty())
            outcome = refusal;
        else {
            // No password yet: the first login from this address, soon, may give it one.
            MemberRecord fresh;
            fresh.nick = nick;
            fresh.data = data;
            fresh.registered = m_services.now();
            fresh.registeredFrom = Identity::addressKey(m->address());
            if (m_store.addMember(fresh))
                m_identity.registered(m->address());
            else
                outcome = QStringLiteral("A tagnyilvántartás most nem érhető el");
        }
        if (outcome.isEmpty()) {
            m->send(wire::Notice(QStringLiteral("Üdvözlünk a klubban! Jelentkezz be %1 néven.").arg(nick)));
            log(QStringLiteral("új tag regisztrált: %1").arg(nick));
        } else {
            m->send(wire::Notice(QStringLiteral("A regisztráció nem sikerült: ") + outcome));
        }
        drop(m, QStringLiteral("regisztráció"));
        return;
    }
    if (!fault.isEmpty())
        Fail(fault);
    if (nick == m->nick) {
        if (!m_store.setData(nick, data))
            Fail(QStringLiteral("A tagnyilvántartás most nem érhető el"));
        m->send(wire::Notice(QStringLiteral("Az adataidat megőriztük")));
        return;
    }
    if (m_store.member(nick) || m_online.contains(nick))
        Fail(QStringLiteral("Ez a becenév már foglalt: %1").arg(nick));
    const QString old = m->nick;
    if (!m_store.rename(old, nick, data))
        Fail(QStringLiteral("A tagnyilvántartás most nem érhető el"));
    m_matches->renamed(old, nick);
    m->send(wire::Notice(QStringLiteral("Az új beceneved %1, ezzel jelentkezz be újra.").arg(nick)));
    log(QStringLiteral("%1 új beceneve: %2").arg(old, nick));
    drop(m, QStringLiteral("becenévcsere"));
}

void ClubServer::changePassword(Member *m, QString arg)
{
    const QString word = NextWord(arg);
    if (word.isEmpty())
        Fail(QStringLiteral("Hiányzik az új jelszó"));
    const qint32 digest = StrToInt(word);
    if (const QString refusal = m_identity.changePassword(m->nick, digest); !refusal.isEmpty())
        Fail(refusal);
    log(QStringLiteral("%1 jelszót cserélt").arg(m->nick));
    m->send(QStringLiteral("W") + QString::number(digest));
}

void ClubServer::history(Member *m, QString arg)
{
    const QString kind = NextWord(arg);
    if (kind == QLatin1String("0")) {
        int day = NextInt(arg);
        if (day == 0)
            day = today();
        QList<std::optional<WireLine>> rows;
        if (m_matches->playing(m->nick)) {
            // The boards of their running match stay out of a player's sight: read afresh.
            for (const auto &deal : m_store.dealRowsOfDay(day, DealsInReply))
                if (deal && !m_matches->hidesBoard(m->nick, deal->board))
                    rows << WireLine(DealsReply({*deal}).first());
        } else {
            // A copy: the list is shared, and a send cannot change what was archived.
            rows = dealsReply(day);
        }
        if (std::none_of(rows.cbegin(), rows.cend(), [](const auto &row) { return row.has_value(); }))
            Fail(QStringLiteral("Erről a napról nincs tárolt leosztás"));
        for (const auto &row : rows)
            if (row)
                m->send(*row);
        return;
    }
    if (kind != QLatin1String("1") && kind != QLatin1String("2"))
        Fail(QStringLiteral("Ismeretlen kérés: X%1").arg(wire::Quote(kind)));
    const QString board = NextWord(arg);
    const int id = NextInt(arg);
    if (m_matches->hidesBoard(m->nick, board))
        Fail(QStringLiteral("A mérkőzés leosztásai a mérkőzés végéig nem nézhetők meg"));
    const auto deal = m_store.deal(board, id);
    if (!deal)
        Fail(QStringLiteral("Nincs ilyen leosztás: %1/%2").arg(wire::Quote(board)).arg(id));
    m->send(kind == QLatin1String("1") ? ScoresReply(*deal) : BidsReply(*deal));
}

QString ClubServer::daysReply()
{
    if (!m_history.daysLine) {
        m_history.days = m_store.days(DaysInReply);
        m_history.daysLine = DaysReply(m_history.days);
    }
    return *m_history.daysLine;
}

const QList<std::optional<WireLine>> &ClubServer::dealsReply(int day)
{
    static const QList<std::optional<WireLine>> none;
    auto it = m_history.deals.constFind(day);
    if (it != m_history.deals.cend()) {
        m_history.used.removeOne(day);
        m_history.used << day;
        return *it;
    }
    QList<std::optional<WireLine>> rows;
    bool any = false;
    for (const auto &deal : m_store.dealRowsOfDay(day, DealsInReply)) {
        if (deal)
            rows << WireLine(DealsReply({*deal}).first());
        else
            rows << std::nullopt;
        any = any || deal;
    }
    // A day without deals costs one look at the archive's index; only days with deals are kept.
    if (!any)
        return none;
    // The day asked for least recently goes: members who go from day to day through more days
    // than are kept would otherwise clear what everyone else keeps asking for.
    if (m_history.deals.size() >= DaysKept)
        m_history.deals.remove(m_history.used.takeFirst());
    m_history.used << day;
    return *m_history.deals.insert(day, rows);
}

void ClubServer::archived(int day, int id, const QString &text)
{
    // Another deal of a day already named leaves the latest days as they were.
    if (!std::binary_search(m_history.days.cbegin(), m_history.days.cend(), day))
        m_history.daysLine.reset();
    auto it = m_history.deals.find(day);
    if (it == m_history.deals.end())
        return;
    if (const auto deal = Store::readBack(text, id))
        it->append(WireLine(DealsReply({*deal}).first()));
    else
        it->append(std::nullopt);
    if (it->size() > DealsInReply)
        it->removeFirst();
}

} // namespace club
