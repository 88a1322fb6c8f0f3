// Personal data: the "D" replies, the checks and what is sent.

#include "FakeClub.h"
#include "TestClient.h"

#include "history/VmStat.h"
#include "session/Dispatch.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(PersonalData)

static PersonalData good()
{
    PersonalData d;
    d.fields = {QStringLiteral("Abc Def"), QStringLiteral("a@b.hu"), QStringLiteral("Abc"),
                QStringLiteral("1000 Xyz"), QStringLiteral("Fo u. 1"), QString(),
                QStringLiteral("12"), QStringLiteral("x;y")};
    return d;
}

static PersonalData with(PersonalData d, PersonalData::Field f, const QString &value)
{
    d.fields[f] = value;
    return d;
}

class TstStat : public QObject
{
    Q_OBJECT
private slots:
    void checks_data();
    void checks();
    void lineSent();
    void statuses_data();
    void statuses();
    void saveOwnRecord();
    void failedCheckKeepsWindow();
    void nicknameChange_data();
    void nicknameChange();
    void newUserRegistration();
    void severalWindowsFreedOnClose();
    void captionShowsNicknameAsItIs();
    void keys_data();
    void keys();
    void serverTextInBoxesIsCut();

private:
    // Lines the client has sent since the last call; a marker line shows they are all here.
    static QStringList sent(FakeClub &club, TestClient &c)
    {
        return club.takeSent([&](const QString &mark) { c.frame()->SendLine(mark); });
    }
};

void TstStat::checks_data()
{
    using F = PersonalData;
    QTest::addColumn<PersonalData>("data");
    QTest::addColumn<QString>("error");
    QTest::newRow("good") << good() << "";
    QTest::newRow("nick of 8") << with(good(), F::Nick, "Abcdefgh") << "";
    QTest::newRow("nick of 9") << with(good(), F::Nick, "Abcdefghi") << "Becenév hosszú";
    QTest::newRow("nick of 1") << with(good(), F::Nick, "A") << "Becenév rövid";
    QTest::newRow("name of 63") << with(good(), F::Name, QString(63, 'N')) << "";
    QTest::newRow("name of 64") << with(good(), F::Name, QString(64, 'N')) << "Teljes név hosszú";
    QTest::newRow("accented letters count once") << with(good(), F::Nick, "Őrzőűéáö") << "";
    QTest::newRow("lower-case nick") << with(good(), F::Nick, "abc") << "Becenév nem nagybetűvel kezdődik";
    QTest::newRow("accented lower-case nick") << with(good(), F::Nick, "ábc") << "Becenév nem nagybetűvel kezdődik";
    QTest::newRow("digit first") << with(good(), F::Nick, "7abc") << "";
    QTest::newRow("blank before quote") << with(good(), F::Nick, "A b'c") << "Becenévben nem lehet szóköz";
    QTest::newRow("apostrophe") << with(good(), F::Nick, "Ab'c") << "Becenévben nem lehet idézőjel";
    QTest::newRow("quote before mail") << with(with(good(), F::Nick, "Ab\"c"), F::Email, "abcde")
                                       << "Becenévben nem lehet idézőjel";
    QTest::newRow("dot, no at") << with(good(), F::Email, "ab.hu") << "Hibás e-mail-cím";
    QTest::newRow("at and dot in any order") << with(good(), F::Email, "a.b@c") << "";
    QTest::newRow("lengths come first") << with(with(good(), F::Nick, "a b"), F::Name, "Abc")
                                        << "Teljes név rövid";
    QTest::newRow("town short") << with(good(), F::Town, "X") << "Városnév rövid";
    QTest::newRow("street short") << with(good(), F::Address, "F 1") << "Utcanév rövid";
    QTest::newRow("phones long") << with(good(), F::Phones, QString(33, '1')) << "Telefonok hosszú";
    QTest::newRow("mobile long") << with(good(), F::Mobile, QString(17, '1')) << "Mobil hosszú";
    QTest::newRow("note long") << with(good(), F::Note, QString(65, 'x')) << "Megjegyzés hosszú";
    QTest::newRow("mail long") << with(good(), F::Email, QString(60, 'a') + "@b.hu") << "Email-cím hosszú";
}

void TstStat::checks()
{
    QFETCH(PersonalData, data);
    QFETCH(QString, error);
    try {
        CheckPersonalData(data);
        QCOMPARE(QString(), error);
    } catch (const VimoError &e) {
        QCOMPARE(e.text(), error);
    }
}

void TstStat::lineSent()
{
    QCOMPARE(good().Line(true), QStringLiteral("D1 Abc Def;a@b.hu;Abc;1000 Xyz;Fo u. 1;;12;x,y;"));
    QCOMPARE(good().Line(false).left(3), QStringLiteral("D0 "));
    const PersonalData parsed = PersonalData::Parse(QStringLiteral("a;b;c"));
    QCOMPARE(parsed.fields[2], QStringLiteral("c")); // a last field without ";" is whole
    QCOMPARE(parsed.fields[7], QString());
}

void TstStat::statuses_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("window");
    QTest::addColumn<bool>("isPublic");
    QTest::addColumn<bool>("saveShown");
    QTest::addColumn<QString>("caption");
    QTest::newRow("3 not public") << "D3 <b>Anna</b>" << "<b>Anna</b> adatai nem nyilvánosak" << false << false << false << "";
    QTest::newRow("4 unknown") << "D4 Zoli" << "Zoli nem regisztrált név" << false << false << false << "";
    QTest::newRow("0 own, not public") << "D0 Kis Anna;a@b.hu;Anna;" << "" << true << false << true << "Anna";
    QTest::newRow("1 public") << "D1 Kis Anna;a@b.hu;Anna;" << "" << true << true << true << "Anna";
    QTest::newRow("2 another's") << "D2 Kis Béla;b@b.hu;Béla;" << "" << true << true << false << "Béla";
    QTest::newRow("5 new entry") << "D5 ;;Új;1234 Budapest;" << "" << true << true << true << "Adatok felvétele";
    QTest::newRow("7 like 1") << "D7 ;;Kati;" << "" << true << true << true << "Kati";
}

void TstStat::statuses()
{
    QFETCH(QString, line);
    QFETCH(QString, message);
    QFETCH(bool, window);
    QFETCH(bool, isPublic);
    QFETCH(bool, saveShown);
    QFETCH(QString, caption);
    TestClient c;
    c.ctx.guard([&] { c.ctx.dispatcher().dispatch(line); });
    const QList<TStat *> windows = c.frame()->findChildren<TStat *>();
    QCOMPARE(c.dialogs->texts(QStringLiteral("message")), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(windows.size(), window ? 1 : 0);
    if (!window)
        return;
    TStat *w = windows.first();
    QVERIFY(w->isVisible() && w->isWindow());
    QCOMPARE(w->fdPublic->isChecked(), isPublic);
    QCOMPARE(w->btSave->isVisibleTo(w), saveShown);
    QCOMPARE(w->windowTitle(), caption);
}

void TstStat::saveOwnRecord()
{
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    c.frame()->setOwnNick(QStringLiteral("Abc"));
    TStat *w = TStat::ReceiveStat(c.ctx, QStringLiteral("0 Abc Def;a@b.hu;Abc;1000 Xyz;Fo u. 1;;12;x;y;"));
    QPointer<TStat> alive(w);
    w->fdNote->setText(QStringLiteral("x;y"));
    w->fdPublic->setChecked(true);
    w->btSave->click();
    QVERIFY(club.waitForLines(1));
    QCOMPARE(club.received, QStringList{QStringLiteral("D1 Abc Def;a@b.hu;Abc;1000 Xyz;Fo u. 1;;12;x,y;")});
    QTRY_VERIFY(!alive);
}

void TstStat::failedCheckKeepsWindow()
{
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    TStat *w = TStat::ReceiveStat(c.ctx, QStringLiteral("1 Abc Def;nomail;Abc;1000 Xyz;Fo u. 1;;;;"));
    QPointer<TStat> alive(w);
    w->btSave->click();
    QCOMPARE(c.dialogs->errors(), QStringList{QStringLiteral("Hibás e-mail-cím")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive && alive->isVisible());
    QCOMPARE(alive->fdEmil->text(), QStringLiteral("nomail"));
    QCOMPARE(sent(club, c), QStringList());
}

void TstStat::nicknameChange_data()
{
    QTest::addColumn<bool>("agree");
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("message");
    QTest::newRow("confirmed") << true << std::optional<QString>("Abd") << "D1 Abc Def;a@b.hu;Abd;1000 Xyz;Fo u. 1;;;;" << "";
    QTest::newRow("forgotten") << true << std::optional<QString>("Abe") << "" << "Máris elfelejtetted az új nevedet! Maradt a régi!";
    QTest::newRow("cancelled") << true << std::optional<QString>() << "" << "";
    QTest::newRow("refused") << false << std::optional<QString>("Abd") << "" << "";
}

void TstStat::nicknameChange()
{
    QFETCH(bool, agree);
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, sent);
    QFETCH(QString, message);
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    c.frame()->setOwnNick(QStringLiteral("Abc"));
    c.dialogs->yesNoAnswers.enqueue(agree);
    c.dialogs->inputAnswers.enqueue(typed);
    TStat *w = TStat::ReceiveStat(c.ctx, QStringLiteral("1 Abc Def;a@b.hu;Abc;1000 Xyz;Fo u. 1;;;;"));
    QPointer<TStat> alive(w);
    w->fdNick->setText(QStringLiteral("Abd"));
    w->btSave->click();
    QCOMPARE(TstStat::sent(club, c), sent.isEmpty() ? QStringList() : QStringList{sent});
    QCOMPARE(c.dialogs->texts(QStringLiteral("yesno")),
             QStringList{QStringLiteral("Most lebomlik a kapcsolat és az új becenévvel kell belépni. Rendben?")});
    QCOMPARE(c.dialogs->texts(QStringLiteral("message")), message.isEmpty() ? QStringList() : QStringList{message});
    QTRY_VERIFY(!alive); // closed and freed in every case
}

void TstStat::newUserRegistration()
{
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    c.frame()->setOwnNick(QStringLiteral("Új felhasználó"));
    TStat *w = TStat::ReceiveStat(c.ctx, QStringLiteral("5 ;;Kata;1234 Budapest;"));
    QVERIFY(w->NewEntry());
    QCOMPARE(w->fdNick->text(), QStringLiteral("Kata"));
    QCOMPARE(w->fdTown->text(), QStringLiteral("1234 Budapest"));
    w->fdName->setText(QStringLiteral("Kiss Kata"));
    w->fdEmil->setText(QStringLiteral("kata@pelda.hu"));
    w->fdAddr->setText(QStringLiteral("Fő utca 1."));
    w->fdPublic->setChecked(false);
    w->btSave->click();
    QVERIFY(club.waitForLines(1));
    QCOMPARE(club.received,
             QStringList{QStringLiteral("D0 Kiss Kata;kata@pelda.hu;Kata;1234 Budapest;Fő utca 1.;;;;")});
    QCOMPARE(c.dialogs->texts(QStringLiteral("message")),
             QStringList{QStringLiteral("Most lebomlik a kapcsolat és az új becenévvel kell belépni.")});
}

void TstStat::severalWindowsFreedOnClose()
{
    TestClient c;
    QPointer<TStat> a = TStat::ReceiveStat(c.ctx, QStringLiteral("2 ;;Anna;"));
    QPointer<TStat> b = TStat::ReceiveStat(c.ctx, QStringLiteral("2 ;;Béla;"));
    QVERIFY(a && b && a != b);
    QCOMPARE(c.frame()->findChildren<TStat *>().size(), 2);
    b->btCancel->click();
    QTRY_VERIFY(!b);
    QVERIFY(a && a->isVisible());
    a->close();
    QTRY_VERIFY(!a);
    // A status that is not a number is an error, and opens nothing.
    c.ctx.guard([&] { c.ctx.dispatcher().dispatch(QStringLiteral("Dx ;;Anna;")); });
    QCOMPARE(c.dialogs->errors().size(), 1);
    QCOMPARE(c.frame()->findChildren<TStat *>().size(), 0);
}

void TstStat::captionShowsNicknameAsItIs()
{
    TestClient c;
    TStat *w = TStat::ReceiveStat(c.ctx, QStringLiteral("2 ;;a[*]b;"));
    QVERIFY(w && w->windowHandle());
    QCOMPARE(w->windowHandle()->title(), QStringLiteral("a[*]b"));
    w->close();
}

void TstStat::keys_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("enterSaves");
    QTest::newRow("0 own") << "0" << true;
    QTest::newRow("1 public") << "1" << true;
    QTest::newRow("2 another's") << "2" << false;
    QTest::newRow("5 new entry") << "5" << true;
}

// Enter presses "&Megőriz" only where it is shown: a record that cannot be saved must not go
// out as the user's own (nor start a nickname change). Escape is "Semmis" everywhere.
void TstStat::keys()
{
    QFETCH(QString, status);
    QFETCH(bool, enterSaves);
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    c.frame()->setOwnNick(QStringLiteral("Abc"));
    const auto open = [&] {
        TStat *w = TStat::ReceiveStat(c.ctx, status + QStringLiteral(" Abc Def;a@b.hu;Abc;1000 Xyz;Fo u. 1;;;;"));
        return QPointer<TStat>(w);
    };

    QPointer<TStat> w = open();
    QTest::keyClick(w->fdTown, Qt::Key_Escape);
    QTRY_VERIFY(!w);
    QCOMPARE(sent(club, c), QStringList());

    w = open();
    QTest::keyClick(w->fdTown, Qt::Key_Return);
    if (enterSaves) {
        QCOMPARE(sent(club, c).size(), 1);
        QTRY_VERIFY(!w);
        return;
    }
    QCOMPARE(sent(club, c), QStringList());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(w && w->isVisible());
    QCOMPARE(c.dialogs->shown.size(), 0);
    w->close();
}

// A nickname as long as a line can be still gives a box of a sensible width.
void TstStat::serverTextInBoxesIsCut()
{
    TestClient c;
    const QString nick(5000, QLatin1Char('N'));
    c.ctx.guard([&] { c.ctx.dispatcher().dispatch(QStringLiteral("D4 ") + nick); });
    const QStringList shown = c.dialogs->texts(QStringLiteral("message"));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first(), nick.left(79) + QStringLiteral("… nem regisztrált név"));
}

QTEST_MAIN(TstStat)
#include "tst_stat.moc"
