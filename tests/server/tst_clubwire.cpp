// The club's line forms and record checks, without sockets; and the store on a real file.

#include "server/Store.h"
#include "server/Wire.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>

using namespace club;

class TestClubWire : public QObject
{
    Q_OBJECT

private slots:
    void lines()
    {
        QCOMPARE(wire::LobbyLine({{"Társalgó", {"Anna", "Béla"}}, {"Terem1", {}}}),
                 QStringLiteral("L2 Társalgó 2 Anna Béla Terem1 0"));
        QCOMPARE(wire::JoinLine("Terem1", 5, 0, {{"Robot1", 1}, {"Anna", 0}, {"Robot3", 3}}),
                 QStringLiteral("JTerem1 5 0 Robot1 1 Anna 0 Robot3 3"));
        QCOMPARE(wire::JoinLine("Terem2", -7, 3, {}), QStringLiteral("JTerem2 -7 3"));
        QCOMPARE(wire::SeatLine("Anna", 0), QStringLiteral("IAnna 0"));
        QCOMPARE(wire::DealLine(12, 3), QStringLiteral("N12 3"));
    }

    void personalDataRoundTrip()
    {
        const auto data = wire::PersonalData::parse("Abc Def;a@b.c;Abc;1000 Xyz;Fo u. 1;;12;x,y;", true);
        QCOMPARE(data.fields.size(), 8);
        QCOMPARE(data.nick(), QStringLiteral("Abc"));
        QCOMPARE(data.payload(), QStringLiteral("Abc Def;a@b.c;Abc;1000 Xyz;Fo u. 1;;12;x,y;"));
        // A last field without its ";" is taken whole; missing ones are empty.
        const auto shortOne = wire::PersonalData::parse("Abc Def;a@b.c", false);
        QCOMPARE(shortOne.payload(), QStringLiteral("Abc Def;a@b.c;;;;;;;"));
    }

    void recordChecks_data()
    {
        // The field rules are the member form's own and are tested with it; here, that the
        // club's record reaches them field by field, and the nickname rules only the club has.
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("fault");
        QTest::newRow("sound") << "Kiss Anna;a@b.hu;Anna;1234 Bp;Fő u. 1;;;;" << "";
        QTest::newRow("the form's rules, name first") << "Kis;a@b.hu;anna;1234 Bp;Fő u. 1;;;;" << "Teljes név rövid";
        QTest::newRow("the form's rules, e-mail") << "Kiss Anna;a.b.hu;Anna;1234 Bp;Fő u. 1;;;;" << "Hibás e-mail-cím";
        QTest::newRow("the form's rules, mobile") << "Kiss Anna;a@b.hu;Anna;1234 Bp;Fő u. 1;;12345678901234567;;" << "Mobil hosszú";
        QTest::newRow("control in nick") << "Kiss Anna;a@b.hu;A\tb;1234 Bp;Fő u. 1;;;;" << "Becenévben nem lehet vezérlőkarakter";
        QTest::newRow("the club's own name") << "Kiss Anna;a@b.hu;Robot2;1234 Bp;Fő u. 1;;;;" << "Ez a becenév a klubé, válassz másikat";
    }
    void recordChecks()
    {
        QFETCH(QString, record);
        QFETCH(QString, fault);
        QCOMPARE(wire::CheckPersonalData(wire::PersonalData::parse(record, true)), fault);
    }

    void reservedNames_data()
    {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<bool>("reserved");
        QTest::newRow("Robot1") << "Robot1" << true;
        QTest::newRow("robot") << "robot" << true;
        QTest::newRow("ROBOT12") << "ROBOT12" << true;
        QTest::newRow("Robotka") << "Robotka" << false;
        QTest::newRow("Szerver") << "Szerver" << true;
        QTest::newRow("Anna") << "Anna" << false;
    }
    void reservedNames()
    {
        QFETCH(QString, nick);
        QFETCH(bool, reserved);
        QCOMPARE(wire::IsReservedNick(nick), reserved);
    }

    void dayNumbers()
    {
        QCOMPARE(wire::DayNumber(QDate(1899, 12, 30)), 0);
        QCOMPARE(wire::DayNumber(QDate(2006, 3, 7)), 38783);
    }

    void storeKeepsMembersAcrossRuns()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("club.sqlite");
        {
            Store store(path);
            QVERIFY(store.isOpen());
            QVERIFY(store.addMember({"Anna", Password::of(42), wire::PersonalData::parse(";;Anna;;;;;;", false)}));
            QVERIFY(!store.addMember({"Anna", Password::of(43), {}}));
            QVERIFY(store.setData("Anna", wire::PersonalData::parse("Kiss Anna;a@b.hu;Anna;1234 Bp;Fő u. 1;;;;", true)));
            QVERIFY(store.addMember({"Béla", Password::of(7), {}}));
            // A taken name changes nothing, not even the record that came with it.
            QVERIFY(!store.rename("Anna", "Béla", wire::PersonalData::parse("Más Anna;;Béla;;;;;;", false)));
            QVERIFY(store.rename("Béla", "Bandi", wire::PersonalData::parse("Nagy Béla;;Bandi;;;;;;", false)));
        }
        Store store(path);
        const auto anna = store.member("Anna");
        QVERIFY(anna);
        QVERIFY(anna->password.matches(42));
        QVERIFY(anna->data.isPublic);
        QCOMPARE(anna->data.fields.value(0), QStringLiteral("Kiss Anna"));
        QVERIFY(!store.member("Béla"));
        QVERIFY(store.member("Bandi")->password.matches(7));
        QCOMPARE(store.member("Bandi")->data.nick(), QStringLiteral("Bandi"));
        QCOMPARE(store.member("Bandi")->data.fields.value(0), QStringLiteral("Nagy Béla"));
    }

    void storeUnopenableFileIsReported()
    {
        Store store("/nonexistent-dir/x/club.sqlite");
        QVERIFY(!store.isOpen());
        QVERIFY(!store.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClubWire)
#include "tst_clubwire.moc"
