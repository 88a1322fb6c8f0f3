// Fair play at the club's tables: the cards of a numbered deal follow from the club's own
// secret, not from the number alone, and a take-back whose asker drops does not stall the
// table.

#include "ClubClient.h"
#include "game/Deal.h"

#include <QTemporaryDir>
#include <QTest>

using club::ClubServer;
using club::Deal;

class TestClubFair : public QObject, private ClubFixture
{
    Q_OBJECT

private:
    static std::unique_ptr<ClubServer> clubOn(const QString &path)
    {
        club::ClubOptions options;
        options.dataPath = path;
        return StartClub(options);
    }
    // Seat 1's hand of deal `number` at the club, as a member who opens a room of their own
    // and asks for the deal as its host sees it.
    static QString handAt(ClubServer &club, int number)
    {
        static int visitor = 0;
        ClubClient anna(club.serverPort());
        if (!anna.login(QStringLiteral("Vendég%1").arg(++visitor)))
            return QString();
        anna.send(QStringLiteral("T"));
        if (anna.next(QStringLiteral("J")).isNull())
            return QString();
        anna.send(QStringLiteral("I1"));
        if (anna.next(QStringLiteral("N")).isNull())
            return QString();
        anna.send(QStringLiteral("O%1").arg(number));
        if (anna.next(QStringLiteral("N%1 ").arg(number)).isNull())
            return QString();
        return anna.next(QStringLiteral("H1"));
    }

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    void cardsFollowTheClubsSecret()
    {
        const int number = 4321;
        const QString here = handAt(*server, number);
        QVERIFY(!here.isNull());
        // The same club deals the same cards for the number, whenever asked.
        QCOMPARE(handAt(*server, number), here);
        QCOMPARE(server->dealKey().size(), 32);
        const Deal dealt(number, server->dealKey());  // a temporary would die before the loop reads it
        QString cards = QStringLiteral("H1");
        for (int c : dealt.hand(1))
            cards += QStringLiteral(" %1").arg(c);
        QCOMPARE(here, cards);
        // What the number alone deals, anyone can work out: not these cards.
        QVERIFY(Deal(number, server->dealKey()).hand(1) != Deal(number).hand(1));
        // Another club, another secret, other cards.
        auto other = StartClub();
        QVERIFY(other);
        QVERIFY(other->dealKey() != server->dealKey());
        QVERIFY(handAt(*other, number) != here);
    }

    void secretIsKeptWithTheData()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("club.sqlite"));
        QString first;
        QByteArray key;
        {
            auto club = clubOn(path);
            QVERIFY(club);
            key = club->dealKey();
            first = handAt(*club, 77);
            QVERIFY(!first.isNull());
        }
        auto again = clubOn(path);
        QVERIFY(again);
        QCOMPARE(again->dealKey(), key);
        QCOMPARE(handAt(*again, 77), first);
        // A club on another file has a secret of its own.
        auto elsewhere = clubOn(dir.filePath(QStringLiteral("other.sqlite")));
        QVERIFY(elsewhere->dealKey() != key);
    }

    void takeBackWhoseAskerDropsDoesNotStall()
    {
        auto *anna = &connectClient();
        ClubClient &bela = connectClient();
        QVERIFY(anna->login(QStringLiteral("Anna")) && anna->enter(QStringLiteral("Terem1")));
        QVERIFY(bela.login(QStringLiteral("Béla")) && bela.enter(QStringLiteral("Terem1")));
        club::Room *room = server->findRoom(QStringLiteral("Terem1"));
        // Anna plays a deal with robots; Béla, standing, then takes a seat for the next.
        anna->send(QStringLiteral("I1"));
        QVERIFY(!anna->next(QStringLiteral("N")).isNull());
        while (room->deal()->phase() != Deal::Phase::Done) {
            QVERIFY(QTest::qWaitFor([&] { return room->deal()->phase() == Deal::Phase::Done || room->deal()->onTurn() == 1; }, 5000));
            const Deal *d = room->deal();
            if (d->phase() == Deal::Phase::Bidding)
                anna->send(QStringLiteral("BAnna ") + d->robotTurn(1));
            else if (d->phase() == Deal::Phase::Playing)
                anna->send(QStringLiteral("P%1").arg(d->robotCard(1)));
            QVERIFY(anna->sync());
        }
        bela.send(QStringLiteral("I3"));
        QVERIFY(!bela.next(QStringLiteral("IBéla 3")).isNull());
        anna->send(QStringLiteral("O4321"));  // odd: seat 1 opens
        QVERIFY(!anna->next(QStringLiteral("N4321 ")).isNull());
        QVERIFY(anna->sync());
        QCOMPARE(room->deal()->onTurn(), 1);
        // The pass and the request in one go: the robot after her has not bid yet, and waits.
        anna->sendRaw("BAnna 0\r\nV\r\n");
        QVERIFY(!bela.next(QStringLiteral("VAnna")).isNull());
        QCOMPARE(room->deal()->onTurn(), 2);
        // Anna drops before Béla answers: her seat waits for her, and the table goes on.
        clients.erase(std::find_if(clients.begin(), clients.end(), [&](const auto &c) { return c.get() == anna; }));
        QTRY_VERIFY_WITH_TIMEOUT(room->holdsSeatFor(QStringLiteral("Anna")), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(room->deal()->onTurn() != 2, 5000);
    }
};

QTEST_MAIN(TestClubFair)
#include "tst_clubfair.moc"
