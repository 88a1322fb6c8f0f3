// The club's social side over real sockets: login, registration, personal data, password,
// rooms, seats, chat, ping, the host, and every kind of bad input.

#include "ClubClient.h"

#include <QSignalSpy>
#include <QTest>

using club::ClubServer;

class TestClub : public QObject, private ClubFixture
{
    Q_OBJECT

private:

    ClubClient &client() { return connectClient(); }
    ClubClient &member(const QString &nick, const QString &room = {})
    {
        ClubClient &c = client();
        if (!c.login(nick))
            qFatal("login failed for %s", qPrintable(nick));
        if (!room.isEmpty() && !c.enter(room))
            qFatal("%s could not enter %s", qPrintable(nick), qPrintable(room));
        c.unread();
        return c;
    }

private slots:
    void init() { QVERIFY(start()); }
    void cleanup() { QVERIFY2(finish(), "the club sent a line longer than a client reads"); }

    void loginGivesLobbySnapshot()
    {
        ClubClient &anna = client();
        QVERIFY(anna.waitConnected());
        anna.send(QStringLiteral("LAnna 123"));
        QCOMPARE(anna.next(QStringLiteral("L")),
                 QStringLiteral("L4 Társalgó 1 Anna Terem1 0 Terem2 0 Terem3 0"));
        QVERIFY(server->store().member(QStringLiteral("Anna")));
        QVERIFY(server->store().member(QStringLiteral("Anna"))->password.matches(123));

        ClubClient &bela = member(QStringLiteral("Béla"));
        QCOMPARE(anna.next(QStringLiteral("U")), QStringLiteral("UBéla"));
        QVERIFY(bela.has(QStringLiteral("L4 Társalgó 2 Anna Béla Terem1 0 Terem2 0 Terem3 0")));
    }

    void wrongDigestIsRefusedAndClosed()
    {
        member(QStringLiteral("Anna")).send(QStringLiteral("Y"));
        server->store().setDigest(QStringLiteral("Anna"), 777);
        ClubClient &intruder = client();
        QVERIFY(intruder.waitConnected());
        intruder.send(QStringLiteral("LAnna 778"));
        QCOMPARE(intruder.next(QStringLiteral("M")), notice(QStringLiteral("Hibás jelszó")));
        QVERIFY(intruder.waitClosed());
        QCOMPARE(intruder.lines.filter(QRegularExpression(QStringLiteral("^L"))), QStringList()); // no lobby snapshot
    }

    void secondLoginReplacesTheFirst()
    {
        ClubClient &first = member(QStringLiteral("Anna"), QStringLiteral("Terem1"));
        ClubClient &bela = member(QStringLiteral("Béla"), QStringLiteral("Terem1"));
        ClubClient &second = client();
        QVERIFY(second.login(QStringLiteral("Anna")));
        QCOMPARE(first.next(QStringLiteral("M")),
                 notice(QStringLiteral("Ezzel a névvel valaki máshonnan bejelentkezett")));
        QVERIFY(first.waitClosed());
        QCOMPARE(bela.next(QStringLiteral("Q")), QStringLiteral("QAnna"));
        QCOMPARE(bela.next(QStringLiteral("T")), QStringLiteral("TBéla"));
        QVERIFY(second.lines.first().startsWith(QStringLiteral("L4 Társalgó 1 Anna Terem1 1 Béla ")));
        // The new connection is the one that speaks for Anna now.
        second.send(QStringLiteral("ABéla szia"));
        QCOMPARE(bela.next(QStringLiteral("M")), QStringLiteral("MAnna privát üzenete: szia"));
    }

    void badNicknamesAreRefused_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QString>("why");
        QTest::newRow("one letter") << "A" << "Becenév rövid";
        QTest::newRow("nine letters") << "Abcdefghi" << "Becenév hosszú";
        QTest::newRow("quote") << "Ab\"c" << "Becenévben nem lehet idézőjel";
        QTest::newRow("robot") << "Robot2" << "Ez a becenév a klubé, válassz másikat";
        QTest::newRow("club") << "szerver" << "Ez a becenév a klubé, válassz másikat";
        QTest::newRow("empty") << "" << "Becenév rövid";
    }
    void badNicknamesAreRefused()
    {
        QFETCH(QString, nick);
        QFETCH(QString, why);
        ClubClient &c = client();
        QVERIFY(c.waitConnected());
        c.send(QStringLiteral("L%1 5").arg(nick));
        QCOMPARE(c.next(QStringLiteral("M")), notice(why));
        QVERIFY(c.waitClosed());
        QVERIFY(!server->store().member(nick));
    }

    void registrationThenLogin()
    {
        ClubClient &fresh = client();
        QVERIFY(fresh.waitConnected());
        const QString record = QStringLiteral("Kiss Anna;anna@example.hu;Anna;1234 Budapest;Fő u. 1;;06301234567;Szeretem a tarokkot;");
        fresh.send(QStringLiteral("D1 ") + record);
        QCOMPARE(fresh.next(QStringLiteral("M")),
                 notice(QStringLiteral("Üdvözlünk a klubban! Jelentkezz be Anna néven.")));
        QVERIFY(fresh.waitClosed());

        // The first login sets the password of a member who registered without one.
        ClubClient &anna = client();
        QVERIFY(anna.login(QStringLiteral("Anna"), 4242));
        anna.send(QStringLiteral("DAnna"));
        QCOMPARE(anna.next(QStringLiteral("D")), QStringLiteral("D1 ") + record);
        ClubClient &other = client();
        QVERIFY(other.waitConnected());
        other.send(QStringLiteral("LAnna 1"));
        QCOMPARE(other.next(QStringLiteral("M")), notice(QStringLiteral("Hibás jelszó")));

        // A nickname already taken cannot be registered again.
        ClubClient &copy = client();
        QVERIFY(copy.waitConnected());
        copy.send(QStringLiteral("D0 Más Anna;mas@example.hu;Anna;1000 Pécs;Kő u. 2;;;;"));
        QCOMPARE(copy.next(QStringLiteral("M")),
                 notice(QStringLiteral("A regisztráció nem sikerült: Ez a becenév már foglalt: Anna")));
        QVERIFY(copy.waitClosed());
    }

    void registrationChecksTheRecord_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("why");
        QTest::newRow("short name") << "Kis;a@b.hu;Anna;1234 Bp;Fő u. 1;;;;" << "Teljes név rövid";
        QTest::newRow("lower case nick") << "Kiss Anna;a@b.hu;anna;1234 Bp;Fő u. 1;;;;"
                                         << "Becenév nem nagybetűvel kezdődik";
        QTest::newRow("no at") << "Kiss Anna;ab.hu.x;Anna;1234 Bp;Fő u. 1;;;;" << "Hibás e-mail-cím";
        QTest::newRow("robot") << "Kiss Anna;a@b.hu;Robot1;1234 Bp;Fő u. 1;;;;"
                               << "Ez a becenév a klubé, válassz másikat";
        QTest::newRow("missing fields") << "Kiss Anna;a@b.hu" << "Becenév rövid";
    }
    void registrationChecksTheRecord()
    {
        QFETCH(QString, record);
        QFETCH(QString, why);
        ClubClient &c = client();
        QVERIFY(c.waitConnected());
        c.send(QStringLiteral("D1 ") + record);
        QCOMPARE(c.next(QStringLiteral("M")), notice(QStringLiteral("A regisztráció nem sikerült: ") + why));
        QVERIFY(c.waitClosed());
        QVERIFY(!server->store().member(QStringLiteral("Anna")));
    }

    void personalDataStatuses()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        // A member who never saved a record sees an empty, private one with the nickname.
        anna.send(QStringLiteral("DAnna"));
        QCOMPARE(anna.next(QStringLiteral("D")), QStringLiteral("D0 ;;Anna;;;;;;"));
        anna.send(QStringLiteral("DBéla"));
        QCOMPARE(anna.next(QStringLiteral("D")), QStringLiteral("D3 Béla"));
        anna.send(QStringLiteral("DSenki"));
        QCOMPARE(anna.next(QStringLiteral("D")), QStringLiteral("D4 Senki"));

        const QString record = QStringLiteral("Nagy Béla;bela@example.hu;Béla;7600 Pécs;Kő u. 3;;;x,y;");
        bela.send(QStringLiteral("D1 ") + record);
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Az adataidat megőriztük")));
        QVERIFY(!bela.isClosed());
        anna.send(QStringLiteral("DBéla"));
        QCOMPARE(anna.next(QStringLiteral("D")), QStringLiteral("D2 ") + record);
        bela.send(QStringLiteral("DBéla"));
        QCOMPARE(bela.next(QStringLiteral("D")), QStringLiteral("D1 ") + record);

        bela.send(QStringLiteral("D0 ") + record);
        QVERIFY(!bela.next(QStringLiteral("M")).isNull());
        anna.send(QStringLiteral("DBéla"));
        QCOMPARE(anna.next(QStringLiteral("D")), QStringLiteral("D3 Béla"));
        bela.send(QStringLiteral("DBéla"));
        QCOMPARE(bela.next(QStringLiteral("D")), QStringLiteral("D0 ") + record);
    }

    void nicknameChange()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("D1 Kiss Anna;anna@example.hu;Béla;1234 Budapest;Fő u. 1;;;;"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("Ez a becenév már foglalt: Béla")));
        QVERIFY(!anna.isClosed());

        anna.send(QStringLiteral("D1 Kiss Anna;anna@example.hu;Panni;1234 Budapest;Fő u. 1;;;;"));
        QCOMPARE(anna.next(QStringLiteral("M")),
                 notice(QStringLiteral("Az új beceneved Panni, ezzel jelentkezz be újra.")));
        QVERIFY(anna.waitClosed());
        QVERIFY(!server->store().member(QStringLiteral("Anna")));
        QCOMPARE(server->store().member(QStringLiteral("Panni"))->data.fields.value(0), QStringLiteral("Kiss Anna"));
    }

    void passwordChange()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        anna.send(QStringLiteral("W-91234"));
        QCOMPARE(anna.next(QStringLiteral("W")), QStringLiteral("W-91234"));
        QVERIFY(server->store().member(QStringLiteral("Anna"))->password.matches(-91234));
        anna.send(QStringLiteral("Wkilenc"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("'kilenc' nem érvényes egész szám")));
        QVERIFY(server->store().member(QStringLiteral("Anna"))->password.matches(-91234));
    }

    void chatReachesTheRoomByteForByte()
    {
        ClubClient &anna = member(QStringLiteral("Anna"), QStringLiteral("Terem1"));
        ClubClient &bela = member(QStringLiteral("Béla"), QStringLiteral("Terem1"));
        ClubClient &cecil = member(QStringLiteral("Cecil"));
        // Hungarian letters and a no-break space, as the client's code page writes them.
        anna.sendRaw(QByteArray("M\xf5r\xfclt \xe1rv\xedzt\xfbr\xf5\xa0g\xe9p\r\n"));
        QCOMPARE(bela.next(QStringLiteral("M")), QStringLiteral("MAnna: őrült árvíztűrő\u00a0gép"));
        QCOMPARE(anna.next(QStringLiteral("M")), QStringLiteral("MAnna: őrült árvíztűrő\u00a0gép"));
        QVERIFY(cecil.sync());
        QCOMPARE(cecil.lines.filter(QRegularExpression(QStringLiteral("^M"))), QStringList());
    }

    void privateMessages()
    {
        ClubClient &anna = member(QStringLiteral("Anna"), QStringLiteral("Terem1"));
        ClubClient &bela = member(QStringLiteral("Béla"), QStringLiteral("Terem1"));
        ClubClient &cecil = member(QStringLiteral("Cecil"), QStringLiteral("Terem1"));
        anna.send(QStringLiteral("ABéla csak neked: szia"));
        QCOMPARE(bela.next(QStringLiteral("M")), QStringLiteral("MAnna privát üzenete: csak neked: szia"));
        QCOMPARE(anna.next(QStringLiteral("M")), QStringLiteral("MPrivát üzenet Béla részére: csak neked: szia"));
        QVERIFY(anna.sync() && cecil.sync());
        QVERIFY(cecil.lines.filter(QStringLiteral("szia")).isEmpty());

        anna.send(QStringLiteral("ASenki hahó"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("Senki nincs bejelentkezve")));
        anna.send(QStringLiteral("AAnna magamnak"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("Privát üzenet csak másnak küldhető")));
        anna.send(QStringLiteral("ABéla "));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("Privát üzenet sem lehet üres")));
    }

    void roomsAndHost()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("JTerem2"));
        QCOMPARE(anna.next(QStringLiteral("J")), QStringLiteral("JTerem2 0 0 Anna 0"));
        QCOMPARE(anna.next(QStringLiteral("T")), QStringLiteral("TAnna"));
        QCOMPARE(bela.next(QStringLiteral("Q")), QStringLiteral("QAnna"));

        bela.send(QStringLiteral("JTerem2"));
        QCOMPARE(bela.next(QStringLiteral("J")), QStringLiteral("JTerem2 0 0 Anna 0 Béla 0"));
        QCOMPARE(bela.next(QStringLiteral("T")), QStringLiteral("TAnna"));
        QCOMPARE(anna.next(QStringLiteral("U")), QStringLiteral("UBéla"));

        // The host goes back to the lobby: the next one present takes over.
        anna.send(QStringLiteral("JTársalgó"));
        QCOMPARE(anna.next(QStringLiteral("L")), QStringLiteral("L4 Társalgó 1 Anna Terem1 0 Terem2 1 Béla Terem3 0"));
        QCOMPARE(bela.next(QStringLiteral("Q")), QStringLiteral("QAnna"));
        QCOMPARE(bela.next(QStringLiteral("T")), QStringLiteral("TBéla"));

        bela.send(QStringLiteral("JNincsIlyen"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Nincs ilyen terem: NincsIlyen")));
        bela.send(QStringLiteral("JTerem2"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Már ebben a teremben vagy")));
    }

    void newRoomOpensAndDisappears()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        anna.send(QStringLiteral("T"));
        QCOMPARE(anna.next(QStringLiteral("J")), QStringLiteral("JTerem4 0 0 Anna 0"));
        QCOMPARE(anna.next(QStringLiteral("T")), QStringLiteral("TAnna"));
        QCOMPARE(bela.next(QStringLiteral("L")),
                 QStringLiteral("L5 Társalgó 1 Béla Terem1 0 Terem2 0 Terem3 0 Terem4 1 Anna"));
        QCOMPARE(server->roomNames().size(), 5);

        // Empty again, the extra room goes; the rooms there from the start stay.
        anna.send(QStringLiteral("JTerem1"));
        QVERIFY(!anna.next(QStringLiteral("JTerem1")).isNull());
        QCOMPARE(bela.next(QStringLiteral("L")), QStringLiteral("L4 Társalgó 1 Béla Terem1 1 Anna Terem2 0 Terem3 0"));
        QCOMPARE(server->roomNames(), QStringList({"Társalgó", "Terem1", "Terem2", "Terem3"}));
        anna.send(QStringLiteral("JTársalgó"));
        QVERIFY(!anna.next(QStringLiteral("L")).isNull());
        QVERIFY(server->findRoom(QStringLiteral("Terem1")));
    }

    void hostRemovesAMember()
    {
        ClubClient &anna = member(QStringLiteral("Anna"), QStringLiteral("Terem1"));
        ClubClient &bela = member(QStringLiteral("Béla"), QStringLiteral("Terem1"));
        bela.send(QStringLiteral("AAnna"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Csak a házigazda távolíthat el valakit")));
        anna.send(QStringLiteral("AAnna"));
        QCOMPARE(anna.next(QStringLiteral("M")), notice(QStringLiteral("Egyszerűbb ha kilépsz")));
        anna.send(QStringLiteral("ABéla"));
        QCOMPARE(bela.next(QStringLiteral("M")), notice(QStringLiteral("Anna kiküldött a teremből")));
        QVERIFY(bela.next(QStringLiteral("L")).startsWith(QStringLiteral("L4 Társalgó 1 Béla Terem1 1 Anna ")));
        QCOMPARE(anna.next(QStringLiteral("Q")), QStringLiteral("QBéla"));
    }

    void pingIsRelayed()
    {
        ClubClient &anna = member(QStringLiteral("Anna"), QStringLiteral("Terem1"));
        ClubClient &bela = member(QStringLiteral("Béla"), QStringLiteral("Terem1"));
        anna.send(QStringLiteral("?"));
        QCOMPARE(anna.next(QStringLiteral("?")), QStringLiteral("?Anna"));
        QCOMPARE(bela.next(QStringLiteral("?")), QStringLiteral("?Anna"));
        // The answer carries the responder as the club knows them, whatever the line claimed.
        bela.send(QStringLiteral("GAnna Valaki"));
        QCOMPARE(anna.next(QStringLiteral("G")), QStringLiteral("GAnna Béla"));
    }

    void seatsAndTheRaceForOne()
    {
        ClubClient &anna = member(QStringLiteral("Anna"), QStringLiteral("Terem1"));
        ClubClient &bela = member(QStringLiteral("Béla"), QStringLiteral("Terem1"));
        // Both ask for seat 3 at once: exactly one gets it, the other hears "Foglalt".
        anna.send(QStringLiteral("I3"));
        bela.send(QStringLiteral("I3"));
        QVERIFY(anna.sync() && bela.sync());
        const bool annaSat = anna.has(QStringLiteral("IAnna 3"));
        const bool belaSat = anna.has(QStringLiteral("IBéla 3"));
        QVERIFY(annaSat != belaSat);
        ClubClient &loser = annaSat ? bela : anna;
        QVERIFY(loser.has(notice(QStringLiteral("Foglalt"))));
        QCOMPARE(bela.has(QStringLiteral("IAnna 3")), annaSat);

        ClubClient &winner = annaSat ? anna : bela;
        winner.send(QStringLiteral("I2"));
        QCOMPARE(winner.next(QStringLiteral("M")), notice(QStringLiteral("Foglalt")));
        winner.send(QStringLiteral("I7"));
        QCOMPARE(winner.next(QStringLiteral("M")), notice(QStringLiteral("Nincs ilyen hely: 7")));
        // Standing up while a deal runs: a robot finishes the hand.
        const QString nick = annaSat ? QStringLiteral("Anna") : QStringLiteral("Béla");
        winner.send(QStringLiteral("I0"));
        QCOMPARE(loser.next(QStringLiteral("I") + nick), QStringLiteral("I%1 0").arg(nick));
    }

    void badInputChangesNothingForOthers_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("answer");
        QTest::newRow("unknown") << "Zfoo" << "Ismeretlen parancs: Z";
        QTest::newRow("lower case") << "mhello" << "Ismeretlen parancs: m";
        QTest::newRow("seat not a number") << "Iegy" << "'egy' nem érvényes egész szám";
        QTest::newRow("seat missing") << "I" << "Hiányzik a hely száma";
        QTest::newRow("card without deal") << "P21" << "Nincs folyamatban leosztás";
        QTest::newRow("card missing") << "P" << "Hiányzik a lap";
        QTest::newRow("bid without deal") << "BBéla 0" << "Nincs folyamatban leosztás";
        QTest::newRow("deal by guest") << "O5" << "Új leosztást csak a házigazda kérhet";
        QTest::newRow("undo standing") << "V" << "Visszavonást csak játékos kérhet";
        QTest::newRow("undo answer nobody asked") << "VAnna y" << "Nincs ilyen visszavonási kérés";
        QTest::newRow("undo answer garbled") << "VAnna talán" << "A visszavonásra y vagy n a válasz";
        QTest::newRow("spectate other") << "H1" << "Ismeretlen kérés: H1";
        QTest::newRow("history kind") << "X7 1 1" << "Ismeretlen kérés: X7";
        QTest::newRow("history missing") << "X1 123 4" << "Nincs ilyen leosztás: 123/4";
        QTest::newRow("history day") << "X0 12" << "Erről a napról nincs tárolt leosztás";
        QTest::newRow("history day garbled") << "X0 tegnap" << "'tegnap' nem érvényes egész szám";
        QTest::newRow("empty chat") << "M" << "Az üzenet mező üres";
        QTest::newRow("login again") << "LBéla 0" << "Már bejelentkeztél";
        QTest::newRow("password missing") << "W" << "Hiányzik az új jelszó";
        QTest::newRow("data of nobody") << "D" << "Hiányzik a becenév";
        QTest::newRow("match of strangers") << "R0 8 60 Ab Bc Cd De Ef Fg Gh Hi" << "Nincs ilyen tag: Ab";
    }
    void badInputChangesNothingForOthers()
    {
        QFETCH(QString, line);
        QFETCH(QString, answer);
        ClubClient &anna = member(QStringLiteral("Anna"), QStringLiteral("Terem1"));
        ClubClient &bela = member(QStringLiteral("Béla"), QStringLiteral("Terem1"));
        const qsizetype mark = anna.lines.size();
        bela.send(line);
        QCOMPARE(bela.next(QStringLiteral("M")), notice(answer));
        QVERIFY(bela.sync());
        QVERIFY(anna.sync());
        // Only the reply to its own request.
        QCOMPARE(anna.lines.mid(mark), QStringList({QStringLiteral("Y")}));
        // Béla is still there and heard.
        bela.send(QStringLiteral("Mmég itt vagyok"));
        QCOMPARE(anna.next(QStringLiteral("M")), QStringLiteral("MBéla: még itt vagyok"));
    }

    void beforeLoginOnlyLoginAndRegistration()
    {
        ClubClient &c = client();
        QVERIFY(c.waitConnected());
        c.send(QStringLiteral("Mhalló"));
        QCOMPARE(c.next(QStringLiteral("M")), notice(QStringLiteral("Előbb jelentkezz be")));
        c.send(QStringLiteral("DAnna"));
        QCOMPARE(c.next(QStringLiteral("M")), notice(QStringLiteral("Előbb jelentkezz be")));
        QVERIFY(c.login(QStringLiteral("Anna")));
    }

    void overlongLineDisconnects()
    {
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        // The longest chat the club passes on makes a line of exactly the client's limit.
        const QString text(16384 - 7, QLatin1Char('x'));
        bela.send(QStringLiteral("M") + text);
        QCOMPARE(anna.next(QStringLiteral("MBéla")), QStringLiteral("MBéla: ") + text);
        bela.send(QStringLiteral("M") + text + QLatin1Char('x'));
        QCOMPARE(bela.next(QStringLiteral("MSzerver")), notice(QStringLiteral("Az üzenet túl hosszú")));
        // A line of the limit itself is still read, and a refusal quoting it is cut short.
        const QString longest = QStringLiteral("J") + QString(16383, QLatin1Char('y'));
        bela.send(longest);
        QVERIFY(bela.next(QStringLiteral("MSzerver")).startsWith(notice(QStringLiteral("Nincs ilyen terem: yyy"))));
        QVERIFY(bela.lines.last().endsWith(QStringLiteral("...")));
        QVERIFY(bela.lines.last().size() < 100);
        bela.send(longest + QLatin1Char('x'));
        QVERIFY(bela.waitClosed());
        QCOMPARE(anna.next(QStringLiteral("Q")), QStringLiteral("QBéla"));
        QCOMPARE(server->memberCount(), 1);
        // The same nickname can come back at once.
        QVERIFY(client().login(QStringLiteral("Béla")));
    }

    void floodedLinesAreDroppedWithANotice()
    {
        club::ClubOptions options;
        options.limits.burst = 5;
        options.limits.perSecond = 0;
        server = StartClub(options);
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &bela = member(QStringLiteral("Béla"));
        QByteArray burst;
        for (int i = 1; i <= 12; ++i)
            burst += "M" + QByteArray::number(i) + "\r\n";
        bela.sendRaw(burst);
        QCOMPARE(bela.next(QStringLiteral("MSzerver")),
                 notice(QStringLiteral("Túl sok sor érkezett tőled, a fölösleg elveszett")));
        QVERIFY(!bela.isClosed());
        // Every line counts, the login too: four of the twelve reach Anna, the rest are gone.
        QVERIFY(anna.sync());
        QCOMPARE(anna.lines.filter(QRegularExpression(QStringLiteral("^MBéla: "))),
                 QStringList({"MBéla: 1", "MBéla: 2", "MBéla: 3", "MBéla: 4"}));
    }

    void strangersWhoNeverLogInAreClosed()
    {
        // Anna must log in within the time, so it is generous: a loaded machine running the
        // sanitizer build may take a good part of a second for her login.
        const int loginMs = 2000;
        club::ClubOptions options;
        options.limits.loginMs = loginMs;
        server = StartClub(options);
        // Anna's clock started first, so it has run out too once the stranger is closed.
        ClubClient &anna = member(QStringLiteral("Anna"));
        ClubClient &stranger = client();
        QVERIFY(stranger.waitConnected());
        QCOMPARE(stranger.next(QStringLiteral("M"), loginMs + 10000),
                 notice(QStringLiteral("Lejárt a bejelentkezésre szánt idő")));
        QVERIFY(stranger.waitClosed());
        QTRY_COMPARE(server->memberCount(), 1);
        // A member who did log in stays.
        QVERIFY(!anna.isClosed());
        QVERIFY(anna.sync());
    }

    void fullClubTurnsNewcomersAway()
    {
        club::ClubOptions options;
        options.limits.maxMembers = 2;
        server = StartClub(options);
        member(QStringLiteral("Anna"));
        member(QStringLiteral("Béla"));
        ClubClient &third = client();
        QCOMPARE(third.next(QStringLiteral("M")), notice(QStringLiteral("A klub megtelt, próbáld később")));
        QVERIFY(third.waitClosed());
    }
};

QTEST_GUILESS_MAIN(TestClub)
#include "tst_club.moc"
