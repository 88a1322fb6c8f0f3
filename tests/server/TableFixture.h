#pragma once
// A club on a clock the test moves, with members who play their seats as a client would: what
// the tests of tables that keep playing and of held seats share.

#include "ClubClient.h"

#include <QTest>
#include <functional>
#include <map>

class TableFixture : protected ClubFixture
{
protected:
    static constexpr qint64 Epoch = 1741950000000;  // the fake clock's start
    static constexpr qint64 Pause = 5000;
    static constexpr qint64 Hold = 180000;

    qint64 m_now = Epoch;
    int m_robotDelay = 0;
    int m_robotSamples = club::DefaultRobotSamples;

    // `realClock`: the club reads the system's clock and only the rooms' own timers look at it.
    bool startClub(qint64 hold = Hold, int robotDelay = 0, bool realClock = false)
    {
        m_now = Epoch;
        m_robotDelay = robotDelay;
        club::ClubOptions options;
        options.robotDelay = robotDelay;
        options.robotSamples = m_robotSamples;
        options.date = [] { return ClubDate; };
        if (!realClock)
            options.clock = [this] { return m_now; };
        options.nextDealPause = int(Pause);
        options.seatHold = hold;
        server = std::make_unique<club::ClubServer>(options);
        return server->listen(QHostAddress::LocalHost, 0);
    }
    // Moves the fake clock and lets the rooms look at it.
    void advance(qint64 ms)
    {
        m_now += ms;
        server->tick();
    }

    ClubClient &member(const QString &nick, const QString &room = QStringLiteral("Terem1"),
                       const QHostAddress &from = QHostAddress())
    {
        clients.push_back(std::make_unique<ClubClient>(server->serverPort(), from));
        ClubClient &c = *clients.back();
        if (!c.login(nick) || (!room.isEmpty() && !c.enter(room)))
            qFatal("%s could not get into %s", qPrintable(nick), qPrintable(room));
        return c;
    }
    // The connection goes without a word, as when a network drops.
    void hangUp(ClubClient *c)
    {
        clients.erase(std::find_if(clients.begin(), clients.end(), [&](const auto &p) { return p.get() == c; }));
    }
    club::Room *room(const QString &name = QStringLiteral("Terem1")) const { return server->findRoom(name); }
    const club::Deal *deal(const QString &name = QStringLiteral("Terem1")) const
    {
        club::Room *r = room(name);
        return r ? r->deal() : nullptr;
    }
    // Long enough for three robots acting one after the other.
    int turnWait() const { return 5000 + 3 * m_robotDelay; }

    // Sends, for the seat on turn, what the rules' basic robot would choose, as a client would.
    bool act(ClubClient &c, const QString &nick, int seat)
    {
        using club::Deal;
        if (!QTest::qWaitFor([&] { return deal() && deal()->phase() != Deal::Phase::Done && deal()->onTurn() == seat; }, turnWait()))
            return false;
        const int before = int(c.lines.size());
        if (deal()->phase() == Deal::Phase::Bidding)
            c.send(QStringLiteral("B%1 %2").arg(nick, deal()->basicRobotTurn(seat)));
        else
            c.send(QStringLiteral("P%1").arg(deal()->basicRobotCard(seat)));
        return QTest::qWaitFor([&] { return c.lines.size() > before; }, 5000);
    }
    using Humans = std::map<int, std::pair<ClubClient *, QString>>;
    // Plays for the humans until `stop` holds or the deal is over.
    bool playUntil(const Humans &humans, const std::function<bool(const club::Deal &)> &stop = {})
    {
        using club::Deal;
        for (int step = 0; step < 400; ++step) {
            if (!QTest::qWaitFor([&] {
                    const Deal *d = deal();
                    return d && (d->phase() == Deal::Phase::Done || (stop && stop(*d)) || humans.count(d->onTurn()));
                }, turnWait()))
                return false;
            const Deal *d = deal();
            if (d->phase() == Deal::Phase::Done || (stop && stop(*d)))
                return true;
            const auto &[client, nick] = humans.at(d->onTurn());
            if (!act(*client, nick, d->onTurn()))
                return false;
        }
        return false;
    }
    // Anna at seat 1 and Béla at seat 2 with two robots, dealing `number`: Béla waited for
    // the end of Anna's first deal to sit down. Deal 7 opens with seat 1.
    bool twoAtTheTable(ClubClient &anna, ClubClient &bela, int number = 7)
    {
        anna.send(QStringLiteral("I1"));
        if (!playUntil({{1, {&anna, QStringLiteral("Anna")}}}))
            return false;
        bela.send(QStringLiteral("I2"));
        if (bela.next(QStringLiteral("IBéla 2")).isNull())
            return false;
        anna.send(QStringLiteral("O%1").arg(number));
        return !anna.next(QStringLiteral("N%1 ").arg(number)).isNull() && anna.sync() && bela.sync();
    }
    static bool hasLine(const QStringList &lines, const QString &prefix)
    {
        for (const QString &l : lines)
            if (l.startsWith(prefix))
                return true;
        return false;
    }
};
