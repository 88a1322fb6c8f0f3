// Who may log in under a name, tried over loopback from several 127.0.0.x addresses on a
// clock the test moves: a name without a password, a fresh registration, wrong passwords
// from many addresses, the owner's own address, names that look like the club's, the stored
// hash and an earlier club's file, and what members may send to each other.

#include "ClubClient.h"
#include "server/Identity.h"
#include "server/Store.h"
#include "server/Wire.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr qint64 Epoch = 1'741'950'000'000;
constexpr qint64 Minute = 60'000;

QHostAddress loopback(int last)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(last));
}
} // namespace

class TestClubIdentity : public QObject, private ClubFixture
{
    Q_OBJECT

private:
    qint64 m_now = Epoch;

    bool startClub(club::ClubOptions options = {}, const QString &dataPath = {})
    {
        m_now = Epoch;
        options.clock = [this] { return m_now; };
        options.dataPath = dataPath;
        server = StartClub(options);
        return server != nullptr;
    }
    ClubClient &from(int last)
    {
        clients.push_back(std::make_unique<ClubClient>(server->serverPort(), loopback(last)));
        return *clients.back();
    }
    // A login line from a new connection: "lobby", or the notice it got.
    QString attempt(int last, const QString &nick, qint32 digest)
    {
        ClubClient &c = from(last);
        if (!c.waitConnected())
            return QStringLiteral("no connection");
        c.send(QStringLiteral("L%1 %2").arg(nick).arg(digest));
        const QString answer = c.next([](const QString &l) { return l.startsWith('M') || l.startsWith('L'); });
        if (answer.startsWith('L'))
            return QStringLiteral("lobby");
        // A refused login is closed.
        return c.waitClosed() ? answer : QStringLiteral("left open: ") + answer;
    }
    bool registerFrom(int last, const QString &nick)
    {
        ClubClient &c = from(last);
        if (!c.waitConnected())
            return false;
        c.send(QStringLiteral("D0 Kiss Vera;vera@example.hu;%1;1234 Budapest;Fő u. 1;;;;").arg(nick));
        return c.next(QStringLiteral("M"))
            == notice(QStringLiteral("Üdvözlünk a klubban! Jelentkezz be %1 néven.").arg(nick));
    }

private slots:
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    // The owner of the name is logged in and seated in a deal from their own address while
    // someone tries the name: a refusal leaves the owner's session, seat and password alone.
    void loginTable_data()
    {
        QTest::addColumn<QString>("account");   // "none": no password; "fresh": registered; "set": 777
        QTest::addColumn<int>("address");        // the last byte of the trying address
        QTest::addColumn<qint64>("later");       // ms after the account was made
        QTest::addColumn<int>("digest");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("password");       // the digest that logs in afterwards

        const QString noPassword = notice(QStringLiteral(
            "Ennek a névnek nincs jelszava: jelentkezz be jelszó nélkül, majd válassz jelszót a Jelszócsere menüben"));
        const QString wrong = notice(QStringLiteral("Hibás jelszó"));
        QTest::newRow("no password, another digest") << "none" << 9 << 0LL << 777 << noPassword << 0;
        QTest::newRow("no password, same address") << "none" << 2 << 0LL << 777 << noPassword << 0;
        QTest::newRow("no password, digest 0") << "none" << 9 << 0LL << 0 << "lobby" << 0;
        QTest::newRow("fresh, its address at once") << "fresh" << 2 << 0LL << 4242 << "lobby" << 4242;
        QTest::newRow("fresh, its address at 14:59") << "fresh" << 2 << 15 * Minute - 1 << 4242 << "lobby" << 4242;
        QTest::newRow("fresh, its address at 15:00") << "fresh" << 2 << 15 * Minute << 4242 << noPassword << 0;
        QTest::newRow("fresh, another address") << "fresh" << 9 << 0LL << 4242 << noPassword << 0;
        QTest::newRow("fresh, digest 0") << "fresh" << 9 << 0LL << 0 << "lobby" << 0;
        QTest::newRow("password, wrong") << "set" << 9 << 0LL << 778 << wrong << 777;
        QTest::newRow("password, 0") << "set" << 9 << 0LL << 0 << wrong << 777;
        QTest::newRow("password, right") << "set" << 9 << 0LL << 777 << "lobby" << 777;
    }
    void loginTable()
    {
        QFETCH(QString, account);
        QFETCH(int, address);
        QFETCH(qint64, later);
        QFETCH(int, digest);
        QFETCH(QString, answer);
        QFETCH(int, password);
        QVERIFY(startClub());

        // The owner registers (or makes the name by a login) from 127.0.0.2 ...
        if (account == QLatin1String("fresh")) {
            QVERIFY(registerFrom(2, QStringLiteral("Vicky")));
        } else {
            ClubClient &maker = from(2);
            QVERIFY(maker.login(QStringLiteral("Vicky"), account == QLatin1String("set") ? 777 : 0));
            maker.send(QStringLiteral("LVicky 1"));  // a second login on a logged-in connection
            QCOMPARE(maker.next(QStringLiteral("M")), notice(QStringLiteral("Már bejelentkeztél")));
            QVERIFY(!maker.isClosed());
        }
        // ... and, for an account already used, is playing from 127.0.0.3 when the attempt comes.
        ClubClient *owner = nullptr;
        if (account != QLatin1String("fresh")) {
            owner = &from(3);
            QVERIFY(owner->login(QStringLiteral("Vicky"), account == QLatin1String("set") ? 777 : 0));
            QVERIFY(owner->enter(QStringLiteral("Terem1")));
            owner->send(QStringLiteral("I1"));
            QVERIFY(!owner->next(QStringLiteral("H")).isNull());
            owner->unread();
        }
        m_now += later;
        QCOMPARE(attempt(address, QStringLiteral("Vicky"), digest), answer);

        if (owner) {
            const bool replaced = answer == QLatin1String("lobby");
            QVERIFY(replaced ? owner->waitClosed() : owner->sync());
            QCOMPARE(owner->has(notice(QStringLiteral("Ezzel a névvel valaki máshonnan bejelentkezett"))), replaced);
            if (!replaced)
                QCOMPARE(server->findRoom(QStringLiteral("Terem1"))->members().size(), qsizetype(1));
        }
        const auto record = server->store().member(QStringLiteral("Vicky"));
        QVERIFY(record);
        QVERIFY(record->password.matches(password));
        QCOMPARE(record->password.isNone(), password == 0);
    }

    // A registration's first login is its one chance to choose a password: later logins
    // from its address cannot, even within the quarter hour.
    void registrationIsSettledByItsFirstLogin()
    {
        QVERIFY(startClub());
        QVERIFY(registerFrom(2, QStringLiteral("Vera")));
        // A stranger's digest-0 login does not settle it: the registrant may still choose.
        QCOMPARE(attempt(9, QStringLiteral("Vera"), 0), QStringLiteral("lobby"));
        QCOMPARE(attempt(2, QStringLiteral("Vera"), 0), QStringLiteral("lobby"));
        QVERIFY(attempt(2, QStringLiteral("Vera"), 55).contains(QStringLiteral("nincs jelszava")));
        QVERIFY(server->store().member(QStringLiteral("Vera"))->password.isNone());
        // "W" from a logged-in session is the way.
        ClubClient &vera = from(9);
        QVERIFY(vera.login(QStringLiteral("Vera"), 0));
        vera.send(QStringLiteral("W55"));
        QCOMPARE(vera.next(QStringLiteral("W")), QStringLiteral("W55"));
        QCOMPARE(attempt(7, QStringLiteral("Vera"), 55), QStringLiteral("lobby"));
    }

    // Ten wrong passwords for one name within ten minutes, from ten addresses that each stay
    // under their own counts, bar the name for a minute, then two, then four; the owner's own
    // address is never barred, and the owner's session is never touched.
    void wrongPasswordsAreCountedPerName()
    {
        QVERIFY(startClub());
        ClubClient &anna = from(2);
        QVERIFY(anna.login(QStringLiteral("Anna"), 777));
        anna.unread();
        const QString wrong = notice(QStringLiteral("Hibás jelszó"));
        const QString barred = notice(QStringLiteral("Túl sok hibás jelszó ehhez a névhez, próbáld később"));

        int address = 10;
        for (const qint64 bar : {1 * Minute, 2 * Minute, 4 * Minute}) {
            for (int i = 0; i < 10; ++i) {
                QCOMPARE(attempt(address++, QStringLiteral("Anna"), 100 + i), wrong);
                m_now += 30'000; // ten in 4.5 minutes: inside the window
            }
            m_now -= 30'000;
            QCOMPARE(attempt(address++, QStringLiteral("Anna"), 777), barred);
            QCOMPARE(attempt(address++, QStringLiteral("Anna"), 1), barred);
            // Anna's own address (she logged in from there) goes through.
            QCOMPARE(attempt(2, QStringLiteral("Anna"), 777), QStringLiteral("lobby"));
            m_now += bar - 1;
            QCOMPARE(attempt(address++, QStringLiteral("Anna"), 777), barred);
            m_now += 1;
            QCOMPARE(attempt(address++, QStringLiteral("Anna"), 777), QStringLiteral("lobby"));
        }
        // Wrong ones spread wider than the window bar nothing.
        for (int i = 0; i < 10; ++i) {
            m_now += 70'000;
            QCOMPARE(attempt(address++, QStringLiteral("Anna"), 100 + i), wrong);
        }
        QCOMPARE(attempt(address++, QStringLiteral("Anna"), 777), QStringLiteral("lobby"));
        // Another name was never held back.
        QCOMPARE(attempt(address++, QStringLiteral("Béla"), 5), QStringLiteral("lobby"));
    }

    // On one address (a household, a NAT), one member's typing does not bar the others.
    void aSharedAddressIsBarredLast()
    {
        QVERIFY(startClub());
        const QString wrong = notice(QStringLiteral("Hibás jelszó"));
        const QString barred = notice(QStringLiteral("Túl sok hibás jelszó erről a címről, próbáld később"));
        const club::Limits limits;
        QStringList names;
        for (int n = 0; n < 16; ++n) {
            names << QStringLiteral("Tag%1").arg(n);
            QCOMPARE(attempt(20 + n, names.last(), 1000 + n), QStringLiteral("lobby"));
            m_now += 100; // the club's password checks refill
        }
        m_now += Minute; // the login buckets full again
        for (int i = 0; i < limits.wrongPasswords; ++i)
            QCOMPARE(attempt(2, names[0], 1), wrong);
        QCOMPARE(attempt(2, names[0], 1000), barred);
        QCOMPARE(attempt(2, names[1], 1001), QStringLiteral("lobby"));
        // The address as a whole only after many more, across names.
        int sent = limits.wrongPasswords;
        for (int n = 1; sent < limits.wrongPasswordsPerAddress; ++n)
            for (int i = 0; i < limits.wrongPasswords - 1 && sent < limits.wrongPasswordsPerAddress; ++i, ++sent) {
                QCOMPARE(attempt(2, names[n], 1), wrong);
                m_now += 1000; // the address's login bucket refills one a second
            }
        QCOMPARE(attempt(2, names[15], 1015), barred);
        QCOMPARE(attempt(3, names[15], 1015), QStringLiteral("lobby"));
        m_now += limits.wrongPasswordWindowMs;
        QCOMPARE(attempt(2, names[15], 1015), QStringLiteral("lobby"));
    }

    // Logins cost a password check each: a burst from one address or at one name is refused
    // past its bucket, and refills with time. The name's bucket is the strangers': the
    // member's own address is not held back by it.
    void loginsAreRateLimited()
    {
        QVERIFY(startClub());
        const club::Limits limits;
        QCOMPARE(attempt(2, QStringLiteral("Anna"), 777), QStringLiteral("lobby"));
        for (int i = 0; i < limits.loginsPerName; ++i)
            QCOMPARE(attempt(10 + i, QStringLiteral("Anna"), i), notice(QStringLiteral("Hibás jelszó")));
        QCOMPARE(attempt(20, QStringLiteral("Anna"), 777),
                 notice(QStringLiteral("Túl sok bejelentkezés ezzel a névvel, próbáld később")));
        QCOMPARE(attempt(2, QStringLiteral("Anna"), 777), QStringLiteral("lobby"));
        m_now += qint64(1000 / limits.loginsPerNamePerSecond);
        QCOMPARE(attempt(20, QStringLiteral("Anna"), 777), QStringLiteral("lobby"));

        for (int i = 0; i < limits.loginsPerAddress; ++i)
            QCOMPARE(attempt(4, QStringLiteral("Tag%1").arg(i % 5), 0), QStringLiteral("lobby"));
        QCOMPARE(attempt(4, QStringLiteral("Tag1"), 0),
                 notice(QStringLiteral("Túl sok bejelentkezés erről a címről, próbáld később")));
        QCOMPARE(attempt(5, QStringLiteral("Tag9"), 0), QStringLiteral("lobby"));
        m_now += 10'000;
        QCOMPARE(attempt(4, QStringLiteral("Tag2"), 0), QStringLiteral("lobby"));
    }

    // Password checks cost the event loop a few milliseconds each: past the club's budget a
    // login that needs one is refused; one without a password needs none.
    void passwordChecksHaveABudget()
    {
        QVERIFY(startClub());
        const club::Limits limits;
        for (int n = 0; n < limits.hashBurst; ++n)
            QCOMPARE(attempt(20 + n, QStringLiteral("Tag%1").arg(n), 1000 + n), QStringLiteral("lobby"));
        const QString busy = notice(QStringLiteral("Most sokan jelentkeznek be, próbáld újra néhány másodperc múlva"));
        QCOMPARE(attempt(40, QStringLiteral("Tag0"), 1000), busy);
        QCOMPARE(attempt(41, QStringLiteral("Uj"), 5), busy);
        QCOMPARE(attempt(42, QStringLiteral("Nulla"), 0), QStringLiteral("lobby"));
        m_now += qint64(1000 / limits.hashesPerSecond);
        QCOMPARE(attempt(40, QStringLiteral("Tag0"), 1000), QStringLiteral("lobby"));
    }

    // New members per address and hour: by registration and by a login under a new name alike.
    void newMembersAreCappedPerAddress()
    {
        club::ClubOptions options;
        options.limits.newMembersPerAddress = 3;
        QVERIFY(startClub(options));
        const QString full = notice(QStringLiteral(
            "Erről a címről egy órán belül nem lehet több új tagot felvenni, próbáld később"));
        QVERIFY(registerFrom(2, QStringLiteral("Uj1")));
        QCOMPARE(attempt(2, QStringLiteral("Uj2"), 5), QStringLiteral("lobby"));
        QVERIFY(registerFrom(2, QStringLiteral("Uj3")));
        QCOMPARE(attempt(2, QStringLiteral("Uj4"), 5), full);
        ClubClient &form = from(2);
        QVERIFY(form.waitConnected());
        form.send(QStringLiteral("D1 Kiss Vera;vera@example.hu;Uj5;1234 Budapest;Fő u. 1;;;;"));
        QCOMPARE(form.next(QStringLiteral("M")), notice(QStringLiteral("A regisztráció nem sikerült: ") + full.mid(10)));
        QVERIFY(!server->store().member(QStringLiteral("Uj4")));
        QVERIFY(!server->store().member(QStringLiteral("Uj5")));
        // Known names still log in; another address makes members; an hour later this one again.
        QCOMPARE(attempt(2, QStringLiteral("Uj2"), 5), QStringLiteral("lobby"));
        QCOMPARE(attempt(3, QStringLiteral("Uj4"), 5), QStringLiteral("lobby"));
        m_now += 60 * Minute;
        QCOMPARE(attempt(2, QStringLiteral("Uj6"), 5), QStringLiteral("lobby"));
    }

    // A registration nobody ever logged in with goes after 30 days, so that its name is free;
    // one that was used stays, and so does one named in a match not yet played.
    void unclaimedRegistrationsGo()
    {
        QVERIFY(startClub());
        constexpr qint64 Day = 24 * 60 * Minute;
        QVERIFY(registerFrom(2, QStringLiteral("Regi")));
        QVERIFY(registerFrom(3, QStringLiteral("Hasznalt")));
        QCOMPARE(attempt(3, QStringLiteral("Hasznalt"), 0), QStringLiteral("lobby"));
        QVERIFY(registerFrom(4, QStringLiteral("Meccses")));
        club::MatchRecord match;
        match.proposer = QStringLiteral("Hasznalt");
        match.deals = 2;
        match.start = m_now + 31 * Day;
        match.lineUp = {QStringLiteral("Meccses"), QStringLiteral("Robot1"), QStringLiteral("Robot2"),
                        QStringLiteral("Robot3"), QStringLiteral("Robot4"), QStringLiteral("Robot5"),
                        QStringLiteral("Robot6"), QStringLiteral("Robot7")};
        QVERIFY(server->store().addMatch(match));
        m_now += 10 * Day;
        QVERIFY(registerFrom(5, QStringLiteral("Friss")));

        m_now += 20 * Day + 1; // Regi's thirty days are past; Friss has twenty to go
        QVERIFY(registerFrom(6, QStringLiteral("Ujabb")));
        QVERIFY(!server->store().member(QStringLiteral("Regi")));
        for (const char *kept : {"Hasznalt", "Meccses", "Friss", "Ujabb"})
            QVERIFY2(server->store().member(QString::fromLatin1(kept)), kept);
        QVERIFY(registerFrom(7, QStringLiteral("Regi"))); // the name is free again
    }

    void lookAlikeNamesAreRefused_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QString>("why");
        const QString clubs = QStringLiteral("Ez a becenév a klubé, válassz másikat");
        QTest::newRow("Szerver + no-break space") << QStringLiteral("Szerver\u00a0") << "Becenévben nem lehet szóköz";
        QTest::newRow("no-break space inside") << QStringLiteral("Ro\u00a0bot1") << "Becenévben nem lehet szóköz";
        QTest::newRow("Robot1 + soft hyphen") << QStringLiteral("Robot1\u00ad") << "Becenévben nem lehet láthatatlan jel";
        QTest::newRow("soft hyphen inside") << QStringLiteral("Sz\u00aderver") << "Becenévben nem lehet láthatatlan jel";
        QTest::newRow("escape") << QStringLiteral("Anna\u001b") << "Becenévben nem lehet vezérlőkarakter";
        QTest::newRow("C1 control") << QStringLiteral("Anna\u0081") << "Becenévben nem lehet vezérlőkarakter";
        QTest::newRow("DEL") << QStringLiteral("An\u007fna") << "Becenévben nem lehet vezérlőkarakter";
        QTest::newRow("SZERVER") << QStringLiteral("SZERVER") << clubs;
        QTest::newRow("Szerver:") << QStringLiteral("Szerver:") << clubs;
        QTest::newRow("Robot-1") << QStringLiteral("Robot-1") << clubs;
        QTest::newRow("ROBOT77") << QStringLiteral("ROBOT77") << clubs;
        QTest::newRow("Ro.bot1") << QStringLiteral("Ro.bot1") << clubs;
    }
    void lookAlikeNamesAreRefused()
    {
        QFETCH(QString, nick);
        QFETCH(QString, why);
        QVERIFY(startClub());
        // At login ...
        QCOMPARE(attempt(2, nick, 5), notice(why));
        // ... at registration ...
        ClubClient &form = from(3);
        QVERIFY(form.waitConnected());
        form.send(QStringLiteral("D0 Kiss Vera;vera@example.hu;%1;1234 Budapest;Fő u. 1;;;;").arg(nick));
        QCOMPARE(form.next(QStringLiteral("M")), notice(QStringLiteral("A regisztráció nem sikerült: ") + why));
        QVERIFY(!server->store().member(nick));
        // ... and as a new name for a member.
        ClubClient &anna = from(4);
        QVERIFY(anna.login(QStringLiteral("Anna"), 0));
        anna.send(QStringLiteral("D1 Kiss Anna;anna@example.hu;%1;1234 Budapest;Fő u. 1;;;;").arg(nick));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(why));
        QVERIFY(!anna.isClosed());
        QVERIFY(server->store().member(QStringLiteral("Anna")));
    }
    void namesThatMerelyResembleAreFine_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::newRow("Robotka") << QStringLiteral("Robotka");
        QTest::newRow("Szerver2") << QStringLiteral("Szerver2");
        QTest::newRow("Árvíztű") << QStringLiteral("Árvíztű");
        QTest::newRow("Kis-Pál") << QStringLiteral("Kis-Pál");
    }
    void namesThatMerelyResembleAreFine()
    {
        QFETCH(QString, nick);
        QCOMPARE(club::wire::CheckNick(nick), QString());
    }

    // Control characters reach nobody: not in chat, not in private messages.
    void controlsAreStrippedFromWhatMembersSay()
    {
        QVERIFY(startClub());
        ClubClient &anna = from(2);
        QVERIFY(anna.login(QStringLiteral("Anna")));
        QVERIFY(anna.enter(QStringLiteral("Terem1")));
        ClubClient &bela = from(3);
        QVERIFY(bela.login(QStringLiteral("Béla")));
        QVERIFY(bela.enter(QStringLiteral("Terem1")));
        anna.unread();
        bela.unread();

        const char said[] = "Mhi\x00\x1b[2J\x07 \x7f\xe1\x09z\x01\r\n";
        anna.sendRaw(QByteArray(said, sizeof said - 1));
        QCOMPARE(bela.next(QStringLiteral("MAnna:")), QStringLiteral("MAnna: hi[2J \u00e1z"));
        anna.sendRaw("AB\xe9la s\x1b\x07zia\x0b\r\n");
        QCOMPARE(bela.next(QStringLiteral("MAnna ")), QStringLiteral("MAnna privát üzenete: szia"));
        QCOMPARE(anna.next(QStringLiteral("MPriv")), QStringLiteral("MPrivát üzenet Béla részére: szia"));
        // Nothing left to say is nothing said.
        anna.sendRaw("M\x07\x1b\r\n");
        QCOMPARE(anna.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Az üzenet mező üres")));
        anna.sendRaw("AB\xe9la \x07\r\n");
        QCOMPARE(anna.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Privát üzenet sem lehet üres")));
        QVERIFY(bela.sync());
        for (const QString &line : bela.lines)
            for (QChar c : line)
                QVERIFY2(c.unicode() >= 0x20 && c.unicode() != 0x7f, qPrintable(line));
    }

    // The file keeps a salted slow hash: no digest in clear, two members with the same
    // password look different, and the hash still lets its member in after a restart.
    void passwordsAreStoredHashed()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("club.sqlite"));
        QVERIFY(startClub({}, path));
        QCOMPARE(attempt(2, QStringLiteral("Anna"), 424242), QStringLiteral("lobby"));
        QCOMPARE(attempt(2, QStringLiteral("Béla"), 424242), QStringLiteral("lobby"));
        QCOMPARE(attempt(2, QStringLiteral("Cili"), 0), QStringLiteral("lobby"));
        finish();

        QStringList stored;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(path);
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec(QStringLiteral("SELECT * FROM members ORDER BY nick")));
            while (q.next()) {
                QStringList row;
                for (int i = 0; i < q.record().count(); ++i)
                    row << q.value(i).toString();
                stored << row.join(QLatin1Char('|'));
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        QCOMPARE(stored.size(), 3);
        QVERIFY(!stored.join(QLatin1Char('\n')).contains(QStringLiteral("424242")));
        const QString anna = stored[0].section(QLatin1Char('|'), 1, 1);
        const QString bela = stored[1].section(QLatin1Char('|'), 1, 1);
        QVERIFY2(anna.startsWith(QStringLiteral("pbkdf2-sha256$%1$").arg(club::Password::Iterations)), qPrintable(anna));
        QVERIFY(anna != bela);                                   // salted
        QCOMPARE(stored[2].section(QLatin1Char('|'), 1, 1), QString()); // no password: still told apart

        QVERIFY(startClub({}, path));
        QCOMPARE(attempt(3, QStringLiteral("Anna"), 424242), QStringLiteral("lobby"));
        QCOMPARE(attempt(3, QStringLiteral("Béla"), 424241), notice(QStringLiteral("Hibás jelszó")));
        QCOMPARE(attempt(3, QStringLiteral("Cili"), 0), QStringLiteral("lobby"));
    }

    // A file written by an earlier club, with the digests in clear, is migrated when it is
    // opened: hashed in one go, the clear column gone, the members' passwords still theirs.
    void anEarlierFileIsMigratedOnOpen()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("club.sqlite"));
        {
            QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
            old.setDatabaseName(path);
            QVERIFY(old.open());
            QSqlQuery q(old);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE members (nick TEXT PRIMARY KEY, digest INTEGER NOT NULL,"
                                          " public INTEGER NOT NULL DEFAULT 0, data TEXT NOT NULL DEFAULT '')")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO members VALUES ('Anna', 777, 1, 'Kiss Anna;a@b.hu;Anna;1234 Bp;Fő u. 1;;;;'),"
                                          " ('Béla', 0, 0, ''), ('Cili', -91234, 0, '')")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old"));

        {
            club::Store store(path);
            QVERIFY2(store.isOpen(), qPrintable(store.error()));
            const auto anna = store.member(QStringLiteral("Anna"));
            QVERIFY(anna);
            QVERIFY(anna->password.matches(777));
            QVERIFY(!anna->password.matches(778));
            QVERIFY(anna->data.isPublic);
            QCOMPARE(anna->data.fields.value(0), QStringLiteral("Kiss Anna"));
            QVERIFY(store.member(QStringLiteral("Béla"))->password.isNone());
            QVERIFY(store.member(QStringLiteral("Cili"))->password.matches(-91234));
        }
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            raw.setDatabaseName(path);
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec(QStringLiteral("PRAGMA table_info(members)")));
            QStringList columns;
            while (q.next())
                columns << q.value(1).toString();
            QVERIFY2(!columns.contains(QStringLiteral("digest")), qPrintable(columns.join(' ')));
            QVERIFY(q.exec(QStringLiteral("SELECT password FROM members WHERE nick = 'Anna'")) && q.next());
            QVERIFY(!q.value(0).toString().contains(QStringLiteral("777")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        // Opened again: nothing more to do, and the club logs the members in.
        QVERIFY(startClub({}, path));
        QCOMPARE(attempt(2, QStringLiteral("Anna"), 777), QStringLiteral("lobby"));
        QCOMPARE(attempt(2, QStringLiteral("Cili"), -91234), QStringLiteral("lobby"));
        QCOMPARE(attempt(2, QStringLiteral("Béla"), 5), notice(QStringLiteral(
            "Ennek a névnek nincs jelszava: jelentkezz be jelszó nélkül, majd válassz jelszót a Jelszócsere menüben")));
    }

    // The counts forget: a spray of wrong passwords from thousands of addresses at thousands
    // of names leaves tables no larger than their bound.
    void countsStayBounded()
    {
        club::Store store{QString()};
        club::Limits limits;
        limits.hashBurst = 1 << 30;
        limits.hashesPerSecond = 1e9;
        limits.loginsPerName = 1 << 30;
        limits.wrongPasswordsPerName = 1 << 30;
        qint64 now = Epoch;
        club::Identity identity(store, limits, [&now] { return now; });
        // Cheap hashes, so that the spray is quick; the counting is what is tried.
        for (int n = 0; n < 50; ++n)
            QVERIFY(store.addMember({QStringLiteral("Tag%1").arg(n), club::Password::of(777, 1), {}}));
        QVERIFY(store.addMember({QStringLiteral("Uj"), club::Password::of(777, 1), {}}));
        const int addresses = club::Identity::Remembered + 1500;
        for (int a = 0; a < addresses; ++a) {
            const QHostAddress from(quint32(0x7f000000 + 0x100 + a));  // 127.0.1.0 and on
            const auto verdict = identity.login(QStringLiteral("Tag%1").arg(a % 50), 1, from);
            QVERIFY(!verdict.accepted);
            now += 10;
        }
        // Every table at its bound, none past it.
        QCOMPARE(identity.remembered(), qsizetype(club::Identity::Remembered));
        // The counting goes on as before: the newest address is barred for a name after its limit.
        const QHostAddress last(quint32(0x7f000000 + 0x100 + addresses - 1));
        for (int i = 0; i < limits.wrongPasswords; ++i)
            QCOMPARE(identity.login(QStringLiteral("Uj"), 1, last).refusal, QStringLiteral("Hibás jelszó"));
        QCOMPARE(identity.login(QStringLiteral("Uj"), 777, last).refusal,
                 QStringLiteral("Túl sok hibás jelszó erről a címről, próbáld később"));
    }
};

QTEST_GUILESS_MAIN(TestClubIdentity)
#include "tst_clubidentity.moc"
