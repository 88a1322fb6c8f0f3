// The lobby, the rooms, the seats and the chat: the club's lines and the user's commands.

#include "FakeClub.h"
#include "TestClient.h"

#include "app/Context.h"
#include "bidding/VmBid.h"
#include "cards/VmCard.h"
#include "cards/VmKibic.h"
#include "session/ClickLabel.h"
#include "session/Dispatch.h"
#include "session/VmConnect.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QCheckBox>
#include <QTest>

namespace {
const QString Own = QStringLiteral("Én");
const QString Lobby = QStringLiteral("L3 Társalgó 2 Anna Béla Terem1 3 Robot1 Robot2 Robot3 Terem2 1 Cili");
}

class TstLobby : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dealLabels_data();
    void dealLabels();
    void lobbySnapshot();
    void lobbyWithEmptyFirstRoom();
    void emptyLobbyLineHidesGameWindows();
    void joinRoom_data();
    void joinRoom();
    void standingUpEmptiesEveryField();
    void sittingDown();
    void ownSeatDrivesPlayMenus();
    void peopleComeAndGo();
    void hostCommandsFollowHost();
    void chatLines();
    void pingFromOthersIsAnswered();
    void ownPingShowsResponseTime();
    void takeBackQuestion_data();
    void takeBackQuestion();
    void spectatorDealAsksForCards();
    void spectatorSeesTheNewRoomsNames();
    void commandChecks_data();
    void commandChecks();
    void numberedDeal_data();
    void numberedDeal();
    void personalData();
    void enterAndLeave();
    void controlsRunTheirCommands();
    void badLines_data();
    void badLines();
    void serverWordsInErrors_data();
    void serverWordsInErrors();
    void longNickInTakeBackQuestion();

private:
    void feed(const QString &line);
    QStringList sent() { return club->takeSent([this](const QString &m) { frame()->SendLine(m); }); }
    TFrame *frame() const { return client->frame(); }
    QStringList nicks() const;
    QStringList seats() const;

    std::unique_ptr<FakeClub> club;
    std::unique_ptr<TestClient> client;
};

void TstLobby::init()
{
    club = std::make_unique<FakeClub>();
    client = std::make_unique<TestClient>();
    // Notices as boxes, not beeps, so that the tests read them.
    client->ctx.connect->fdSound->setCheckState(Qt::Unchecked);
    QVERIFY(client->connectTo(*club));
    frame()->setOwnNick(Own);
}

void TstLobby::cleanup()
{
    client.reset();
    club.reset();
}

void TstLobby::feed(const QString &line)
{
    client->ctx.guard([&] { client->ctx.dispatcher().dispatch(line); });
}

QStringList TstLobby::nicks() const
{
    QStringList list;
    for (int i = 0; i < frame()->fdNicks->count(); ++i)
        list << frame()->fdNicks->item(i)->text();
    return list;
}

QStringList TstLobby::seats() const
{
    QStringList list;
    for (int seat = 1; seat <= 4; ++seat)
        list << frame()->seatField(seat)->text();
    return list;
}

void TstLobby::dealLabels_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("side14");
    QTest::addColumn<QString>("side23");
    QTest::addColumn<QString>("deal");
    QTest::addColumn<QString>("played");
    QTest::newRow("odd") << "N7 12" << "Támadók" << "Védők" << "7" << "12";
    QTest::newRow("even") << "N8 12" << "Védők" << "Támadók" << "8" << "12";
    QTest::newRow("negative odd") << "N-7 3" << "Támadók" << "Védők" << "-7" << "3";
    QTest::newRow("missing words read as 0") << "N" << "Védők" << "Támadók" << "0" << "0";
}

void TstLobby::dealLabels()
{
    QFETCH(QString, line);
    QFETCH(QString, side14);
    QFETCH(QString, side23);
    QFETCH(QString, deal);
    QFETCH(QString, played);
    // Start from the opposite picture so that both labels must be written.
    frame()->fdDeal14->setText(side23);
    frame()->fdDeal23->setText(side14);
    feed(line);
    QCOMPARE(frame()->fdDeal14->text(), side14);
    QCOMPARE(frame()->fdDeal23->text(), side23);
    QCOMPARE(frame()->lbDeal->text(), deal);
    QCOMPARE(frame()->lbMatch->text(), played);
    QVERIFY(client->dialogs->shown.isEmpty());
    QCOMPARE(sent(), QStringList{}); // not a spectator: no cards asked for
}

void TstLobby::lobbySnapshot()
{
    frame()->Page->setCurrentWidget(frame()->TabRoom);
    frame()->fdNicks->addItem(QStringLiteral("régi"));
    feed(Lobby);
    QVERIFY(client->dialogs->shown.isEmpty());
    QCOMPARE(frame()->Page->currentWidget(), frame()->TabLobby);
    const QVector<TRoom> expected = {
        {QStringLiteral("Társalgó"), {QStringLiteral("Anna"), QStringLiteral("Béla")}},
        {QStringLiteral("Terem1"), {QStringLiteral("Robot1"), QStringLiteral("Robot2"), QStringLiteral("Robot3")}},
        {QStringLiteral("Terem2"), {QStringLiteral("Cili")}},
    };
    QCOMPARE(frame()->Rooms(), expected);
    QCOMPARE(nicks(), (QStringList{QStringLiteral("Anna"), QStringLiteral("Béla")}));
    QCOMPARE(frame()->lbHost->text(), QStringLiteral("Társalgó"));
    QCOMPARE(frame()->fdRooms->currentRow(), 0);
    QCOMPARE(frame()->fdMember->count(), 0); // selecting the lobby does not copy its members
    QVERIFY(frame()->menuItem("mnEnter")->isEnabled());
    QVERIFY(!frame()->menuItem("mnLeave")->isEnabled());

    // A click on a room shows its members; a later snapshot empties that copy again.
    frame()->fdRoomsClick(1);
    QCOMPARE(frame()->fdMember->count(), 3);
    QCOMPARE(frame()->fdMember->item(2)->text(), QStringLiteral("Robot3"));
    feed(QStringLiteral("L1 Társalgó 1 Zoli"));
    QCOMPARE(frame()->fdMember->count(), 0);
    QCOMPARE(frame()->Rooms(), (QVector<TRoom>{{QStringLiteral("Társalgó"), {QStringLiteral("Zoli")}}}));
    QCOMPARE(nicks(), QStringList{QStringLiteral("Zoli")});
}

void TstLobby::lobbyWithEmptyFirstRoom()
{
    frame()->statusPanel(1)->setText(QStringLiteral("valami más"));
    feed(QStringLiteral("L2 Társalgó 0 Terem1 1 Anna"));
    QVERIFY(client->dialogs->shown.isEmpty());
    QCOMPARE(nicks(), QStringList{});
    QCOMPARE(frame()->statusPanel(1)->text(), client->ctx.connect->ServerText());
    QCOMPARE(frame()->Rooms().size(), 2);
}

void TstLobby::emptyLobbyLineHidesGameWindows()
{
    feed(Lobby);
    client->ctx.kibic->SetKibic(true);
    frame()->menuItem("mnKibic")->setChecked(true);
    client->ctx.kibic->show();
    client->ctx.card->show();
    feed(QStringLiteral("L"));
    QVERIFY(!client->ctx.kibic->Kibic());
    QVERIFY(!client->ctx.kibic->isVisible());
    QVERIFY(!client->ctx.card->isVisible());
    QVERIFY(!frame()->menuItem("mnKibic")->isChecked());
    QCOMPARE(frame()->Rooms().size(), 3); // the lists stay
}

void TstLobby::joinRoom_data()
{
    QTest::addColumn<QString>("ownNick");
    QTest::addColumn<int>("seatBefore");
    QTest::addColumn<int>("ownSeat");
    QTest::addColumn<bool>("seatDownNotice");
    QTest::newRow("standing member") << "Robot2" << 0 << 0 << true;
    QTest::newRow("seated member") << "Robot3" << 0 << 3 << false;
    QTest::newRow("seat of the last room forgotten") << "Robot2" << 4 << 0 << true;
}

void TstLobby::joinRoom()
{
    QFETCH(QString, ownNick);
    QFETCH(int, seatBefore);
    QFETCH(int, ownSeat);
    QFETCH(bool, seatDownNotice);
    frame()->setOwnNick(ownNick);
    frame()->setOwnSeat(seatBefore);
    feed(Lobby);
    frame()->seatField(2)->setText(QStringLiteral("Régi"));
    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Robot2 0 Robot3 3"));
    QVERIFY(client->dialogs->shown.isEmpty());
    QCOMPARE(frame()->Page->currentWidget(), frame()->TabRoom);
    QCOMPARE(frame()->lbHost->text(), QStringLiteral("Terem1"));
    QCOMPARE(frame()->lbDeal->text(), QStringLiteral("5"));
    QCOMPARE(frame()->lbMatch->text(), QStringLiteral("0"));
    QCOMPARE(frame()->fdDeal23->text(), QStringLiteral("Védők"));
    QCOMPARE(nicks(), (QStringList{"Robot1", "Robot2", "Robot3"}));
    QCOMPARE(seats(), (QStringList{"Robot1", TFrame::EmptySeatText(2), "Robot3", TFrame::EmptySeatText(4)}));
    QCOMPARE(frame()->ownSeat(), ownSeat);
    QCOMPARE(frame()->lbSeatDown->isVisibleTo(frame()), seatDownNotice);
    QVERIFY(frame()->menuItem("mnLeave")->isEnabled());
    QVERIFY(!frame()->menuItem("mnEnter")->isEnabled());
    QCOMPARE(frame()->menuItem("mnUndo")->isEnabled(), ownSeat > 0);
}

void TstLobby::standingUpEmptiesEveryField()
{
    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Robot2 2 Robot3 3 Én 0"));
    frame()->seatField(4)->setText(QStringLiteral("Robot1")); // a stale second copy
    client->ctx.bid->show();
    client->ctx.card->show();
    feed(QStringLiteral("IRobot1 0"));
    QCOMPARE(seats(), (QStringList{TFrame::EmptySeatText(1), "Robot2", "Robot3", TFrame::EmptySeatText(4)}));
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Robot1 felállt"));
    QVERIFY(frame()->lbSeatDown->isVisibleTo(frame()));
    // Standing, the user has no use for the bid editor and the hand.
    QVERIFY(!client->ctx.bid->isVisible());
    QVERIFY(!client->ctx.card->isVisible());
}

void TstLobby::sittingDown()
{
    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Robot2 2 Robot3 0 Én 0"));
    QVERIFY(frame()->lbSeatDown->isVisibleTo(frame()));
    feed(QStringLiteral("IRobot3 3"));
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Robot3 leült"));
    QVERIFY(frame()->lbSeatDown->isVisibleTo(frame()));
    feed(QStringLiteral("IÉn 4"));
    QCOMPARE(frame()->ownSeat(), 4);
    QCOMPARE(seats(), (QStringList{"Robot1", "Robot2", "Robot3", Own}));
    QVERIFY(!frame()->lbSeatDown->isVisibleTo(frame()));
    // Changing seats without standing up leaves no copy at the old place.
    feed(QStringLiteral("IRobot3 0"));
    feed(QStringLiteral("IRobot2 3"));
    QCOMPARE(seats(), (QStringList{"Robot1", TFrame::EmptySeatText(2), "Robot2", Own}));
    QVERIFY(client->dialogs->shown.isEmpty());
}

void TstLobby::ownSeatDrivesPlayMenus()
{
    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Robot2 2 Én 0"));
    const auto undo = [this] { return frame()->menuItem("mnUndo")->isEnabled(); };
    const auto prev = [this] { return frame()->menuItem("mnPrev")->isEnabled(); };
    QVERIFY(!undo() && !prev());
    feed(QStringLiteral("IRobot3 3")); // someone else sitting down does not make the user a player
    QVERIFY(!undo() && !prev());
    feed(QStringLiteral("IÉn 4"));
    QVERIFY(undo() && prev());
    feed(QStringLiteral("IRobot1 0")); // nor does someone else standing up end the user's game
    QVERIFY(undo() && prev());
    feed(QStringLiteral("IÉn 0"));
    QVERIFY(!undo() && !prev());
}

void TstLobby::peopleComeAndGo()
{
    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Én 0"));
    feed(QStringLiteral("UZoli"));
    QCOMPARE(nicks(), (QStringList{"Robot1", Own, "Zoli"}));
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Zoli belépett"));
    feed(QStringLiteral("QRobot1"));
    QCOMPARE(nicks(), (QStringList{Own, "Zoli"}));
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Robot1 távozott"));
    feed(QStringLiteral("QSenki"));
    QCOMPARE(nicks(), (QStringList{Own, "Zoli"}));
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Senki távozott"));
}

void TstLobby::hostCommandsFollowHost()
{
    feed(QStringLiteral("JTerem1 5 0 Én 0"));
    const auto hostMenus = [this] {
        QList<bool> states;
        for (const char *name : {"mnNC", "mnSkip", "mnDisc"})
            states << frame()->menuItem(name)->isEnabled();
        return states;
    };
    feed(QStringLiteral("TÉn"));
    QCOMPARE(hostMenus(), (QList<bool>{true, true, true}));
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Én az új házigazda"));
    feed(QStringLiteral("TRobot1"));
    QCOMPARE(hostMenus(), (QList<bool>{false, false, false}));
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Robot1 az új házigazda"));
}

void TstLobby::chatLines()
{
    const int before = frame()->ChatLineCount();
    feed(QStringLiteral("MAnna: <b>szia</b>  mindenki "));
    feed(QStringLiteral("M"));
    QCOMPARE(frame()->ChatLineCount(), before + 2);
    const QStringList lines = client->chatLines();
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("Anna: <b>szia</b>  mindenki "));
    QCOMPARE(lines.last(), QStringLiteral(">>> Szerver hiba"));
}

void TstLobby::pingFromOthersIsAnswered()
{
    const int before = frame()->ChatLineCount();
    feed(QStringLiteral("?Anna"));
    QCOMPARE(sent(), QStringList{QStringLiteral("GAnna Én")});
    QCOMPARE(frame()->ChatLineCount(), before);
    // An answer that no request of ours asked for is not shown.
    feed(QStringLiteral("GÉn Anna"));
    QCOMPARE(frame()->ChatLineCount(), before);
}

void TstLobby::ownPingShowsResponseTime()
{
    frame()->menuItem("mnMsgs")->setEnabled(true);
    frame()->SetSessionEnabled(true);
    frame()->menuItem("mnPing")->trigger();
    QCOMPARE(sent(), QStringList{QStringLiteral("?")});
    const QRegularExpression shape(QStringLiteral("^>>> Válaszidő [ 0-9]{3,}\\.[0-9]{2} mp (.*)$"));
    feed(QStringLiteral("?Én"));
    QRegularExpressionMatch m = shape.match(client->chatLines().last());
    QVERIFY2(m.hasMatch(), qPrintable(client->chatLines().last()));
    QCOMPARE(m.captured(1), QString());
    feed(QStringLiteral("GÉn Anna"));
    m = shape.match(client->chatLines().last());
    QVERIFY2(m.hasMatch(), qPrintable(client->chatLines().last()));
    QCOMPARE(m.captured(1), QStringLiteral("Anna"));
    QCOMPARE(sent(), QStringList{}); // the own ping is not answered
}

void TstLobby::takeBackQuestion_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("reply");
    QTest::newRow("yes") << true << "VRobot1 y";
    QTest::newRow("no") << false << "VRobot1 n";
}

void TstLobby::takeBackQuestion()
{
    QFETCH(bool, yes);
    QFETCH(QString, reply);
    client->dialogs->yesNoAnswers.enqueue(yes);
    feed(QStringLiteral("VRobot1"));
    QCOMPARE(client->dialogs->texts(QStringLiteral("yesno")),
             QStringList{QStringLiteral("Robot1 visszavonást kér. Hozzájárulok.")});
    QCOMPARE(sent(), QStringList{reply});
}

void TstLobby::spectatorDealAsksForCards()
{
    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Én 0"));
    client->ctx.kibic->SetKibic(true);
    feed(QStringLiteral("N9 2"));
    QCOMPARE(sent(), QStringList{QStringLiteral("H0")});
    QCOMPARE(client->ctx.kibic->windowTitle(), QStringLiteral("Kibic Én"));
    QCOMPARE(frame()->lbDeal->text(), QStringLiteral("9"));
}

void TstLobby::spectatorSeesTheNewRoomsNames()
{
    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Én 0"));
    client->ctx.kibic->SetKibic(true);
    feed(QStringLiteral("JTerem2 7 0 Hanna 1 Kovács 3 Én 0"));
    sent();
    const QLabel *bottom = client->ctx.kibic->findChild<QLabel *>(QStringLiteral("Nick1"));
    const QLabel *top = client->ctx.kibic->findChild<QLabel *>(QStringLiteral("Nick3"));
    QVERIFY(bottom && top);
    QCOMPARE(bottom->text(), QStringLiteral("Hanna"));
    QCOMPARE(top->text(), QStringLiteral("Kovács"));
}

void TstLobby::commandChecks_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("ownSeat");   // 0 or 3
    QTest::addColumn<bool>("kibic");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QStringList>("lines");

    // In the room: Robot1 at 1, Robot2 at 2, Robot4 standing; the user stands or sits at 3.
    const QStringList none;
    QTest::newRow("msg: empty") << "mnMsg" << 0 << false << "" << "" << "Az üzenet mező üres" << "" << none;
    QTest::newRow("msg: sent") << "mnMsg" << 0 << false << "Szép volt partner!" << "Robot1" << ""
                               << "" << QStringList{"MSzép volt partner!"};
    QTest::newRow("private: spectator") << "mnPrivate" << 0 << true << "" << "" << "Kibic nem küldhet privát üzenetet" << "" << none;
    QTest::newRow("private: empty") << "mnPrivate" << 0 << false << "" << "Robot1"
                                    << "Privát üzenet sem lehet üres" << "" << none;
    QTest::newRow("private: nobody selected") << "mnPrivate" << 0 << false << "szia" << ""
                                              << "Privát üzenet csak a kiválasztott jelenlévőnek küldhető" << "" << none;
    QTest::newRow("private: self") << "mnPrivate" << 0 << false << "szia" << "Én"
                                   << "Privát üzenet csak másnak küldhető" << "" << none;
    QTest::newRow("private: partner while seated") << "mnPrivate" << 3 << false << "szia" << "Robot2"
                                                   << "Privát üzenet partnernek nem küldhető" << "" << none;
    QTest::newRow("private: partner's name while standing") << "mnPrivate" << 0 << false << "szia" << "Robot2"
                                                            << "" << "" << QStringList{"ARobot2 szia"};
    QTest::newRow("private: opponent while seated") << "mnPrivate" << 3 << false << "szia te" << "Robot1"
                                                    << "" << "" << QStringList{"ARobot1 szia te"};
    QTest::newRow("remove: nobody selected") << "mnDisc" << 0 << false << "" << "" << "Nincs kiválasztott jelenlévő" << "" << none;
    QTest::newRow("remove: self") << "mnDisc" << 0 << false << "" << "Én" << "Egyszerűbb ha kilépsz" << "" << none;
    QTest::newRow("remove: member") << "mnDisc" << 0 << false << "" << "Robot4" << "" << "" << QStringList{"ARobot4"};
    QTest::newRow("spectate: seated") << "mnKibic" << 3 << false << "" << "" << "Játékos nem lehet kibic" << "" << none;
    QTest::newRow("spectate: on") << "mnKibic" << 0 << false << "" << "" << "" << "" << QStringList{"H0"};
    QTest::newRow("spectate: off") << "mnKibic" << 0 << true << "" << "" << "" << "" << none;
    QTest::newRow("seat: taken") << "mnSeat1" << 0 << false << "" << "" << "" << "Foglalt" << none;
    QTest::newRow("seat: taken while seated") << "mnSeat2" << 3 << false << "" << "" << "" << "Foglalt" << none;
    QTest::newRow("seat: free") << "mnSeat3" << 0 << false << "" << "" << "" << "" << QStringList{"I3"};
    QTest::newRow("seat: free while seated") << "mnSeat4" << 3 << false << "" << "" << "" << "Előbb állj fel!" << none;
    QTest::newRow("seat: spectator") << "mnSeat3" << 0 << true << "" << "" << "Aki kibic, maradjon nyugton!" << "" << none;
    QTest::newRow("stand: seated") << "mnStand" << 3 << false << "" << "" << "" << "" << QStringList{"I0"};
    QTest::newRow("stand: standing") << "mnStand" << 0 << false << "" << "" << "" << "" << none;
    QTest::newRow("stand: spectator") << "mnStand" << 0 << true << "" << "" << "Aki kibic, maradjon nyugton!" << "" << none;
    QTest::newRow("new deal") << "mnSkip" << 3 << false << "" << "" << "" << "" << QStringList{"O1"};
}

void TstLobby::commandChecks()
{
    QFETCH(QString, action);
    QFETCH(int, ownSeat);
    QFETCH(bool, kibic);
    QFETCH(QString, message);
    QFETCH(QString, selected);
    QFETCH(QString, error);
    QFETCH(QString, notice);
    QFETCH(QStringList, lines);

    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Robot2 2 Robot4 0 Én %1").arg(ownSeat));
    feed(QStringLiteral("TÉn"));
    QCOMPARE(frame()->ownSeat(), ownSeat);
    client->ctx.kibic->SetKibic(kibic);
    frame()->fdMsg->setEditText(message);
    if (!selected.isEmpty()) {
        const auto found = frame()->fdNicks->findItems(selected, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        frame()->fdNicks->setCurrentItem(found.first());
    }
    const QStringList seatsBefore = seats();
    QAction *item = frame()->menuItem(qPrintable(action));
    QVERIFY2(item->isEnabled(), qPrintable(action));
    item->trigger();

    QCOMPARE(client->dialogs->errors(), error.isEmpty() ? QStringList{} : QStringList{error});
    QCOMPARE(client->dialogs->texts(QStringLiteral("message")),
             notice.isEmpty() ? QStringList{} : QStringList{notice});
    QCOMPARE(sent(), lines);
    // The room picture changes only on the club's word.
    QCOMPARE(seats(), seatsBefore);
    QCOMPARE(frame()->ownSeat(), ownSeat);
    if (!error.isEmpty()) {
        QCOMPARE(frame()->fdMsg->currentText(), message);
        QCOMPARE(client->ctx.kibic->Kibic(), kibic);
    }
    if (action == QLatin1String("mnMsg") || action == QLatin1String("mnPrivate")
        || action == QLatin1String("mnDisc")) {
        if (!lines.isEmpty()) {
            QCOMPARE(frame()->SelectedNick(), QString());
            QVERIFY(frame()->fdNicks->selectedItems().isEmpty());
            QCOMPARE(frame()->fdMsg->currentText(), QString());
        } else if (!selected.isEmpty()) {
            QCOMPARE(frame()->SelectedNick(), selected);
        }
    }
    if (action == QLatin1String("mnKibic") && error.isEmpty()) {
        QCOMPARE(client->ctx.kibic->Kibic(), !kibic);
        QCOMPARE(frame()->menuItem("mnKibic")->isChecked(), !kibic);
        QCOMPARE(client->ctx.kibic->isVisible(), !kibic);
    }
}

void TstLobby::numberedDeal_data()
{
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("number") << std::optional<QString>(QStringLiteral("4711")) << QStringList{"O4711"};
    QTest::newRow("blanks around") << std::optional<QString>(QStringLiteral(" 12 ")) << QStringList{"O12"};
    QTest::newRow("not a number") << std::optional<QString>(QStringLiteral("abc")) << QStringList{"O1"};
    QTest::newRow("empty") << std::optional<QString>(QString()) << QStringList{"O1"};
    QTest::newRow("cancel") << std::optional<QString>() << QStringList{};
}

void TstLobby::numberedDeal()
{
    QFETCH(std::optional<QString>, answer);
    QFETCH(QStringList, lines);
    feed(QStringLiteral("JTerem1 5 0 Én 1"));
    feed(QStringLiteral("TÉn"));
    client->dialogs->inputAnswers.enqueue(answer);
    frame()->menuItem("mnNC")->trigger();
    QCOMPARE(client->dialogs->shown.size(), 1);
    QCOMPARE(client->dialogs->shown.first().caption, QStringLiteral("Számozott osztás"));
    QCOMPARE(client->dialogs->shown.first().text, QStringLiteral("Leosztás szám?"));
    QCOMPARE(client->dialogs->shown.first().defaultText, QString());
    QCOMPARE(sent(), lines);
}

void TstLobby::personalData()
{
    feed(Lobby);
    // Nobody selected: the first one present is offered.
    client->dialogs->inputAnswers.enqueue(QStringLiteral("Kati"));
    frame()->menuItem("mnStat")->trigger();
    QCOMPARE(client->dialogs->shown.size(), 1);
    QCOMPARE(client->dialogs->shown.last().caption, QStringLiteral("Személyes adatok"));
    QCOMPARE(client->dialogs->shown.last().text, QStringLiteral("Becenév?"));
    QCOMPARE(client->dialogs->shown.last().defaultText, QStringLiteral("Anna"));
    QCOMPARE(frame()->SelectedNick(), QStringLiteral("Anna"));
    QCOMPARE(sent(), QStringList{QStringLiteral("DKati")});

    frame()->fdNicks->setCurrentRow(1);
    frame()->menuItem("mnStat")->trigger(); // cancelled
    QCOMPARE(client->dialogs->shown.last().defaultText, QStringLiteral("Béla"));
    QCOMPARE(sent(), QStringList{});

    frame()->fdNicks->clear();
    frame()->menuItem("mnStat")->trigger();
    QCOMPARE(client->dialogs->errors(), QStringList{QStringLiteral("Nincs jelenlévő, akit kiválaszthatnál")});
    QCOMPARE(client->dialogs->texts(QStringLiteral("input")).size(), 2);
    QCOMPARE(sent(), QStringList{});
}

void TstLobby::enterAndLeave()
{
    feed(Lobby);
    frame()->fdRooms->setCurrentRow(2);
    frame()->menuItem("mnEnter")->trigger();
    QCOMPARE(sent(), QStringList{QStringLiteral("JTerem2")});

    feed(QStringLiteral("JTerem2 3 1 Cili 1 Én 0"));
    client->ctx.kibic->SetKibic(true);
    frame()->menuItem("mnKibic")->setChecked(true);
    client->ctx.kibic->show();
    frame()->menuItem("mnLeave")->trigger();
    QVERIFY(client->dialogs->shown.isEmpty());
    QCOMPARE(sent(), QStringList{QStringLiteral("JTársalgó")});
    QVERIFY(!client->ctx.kibic->Kibic());
    QVERIFY(!client->ctx.kibic->isVisible());
    QCOMPARE(frame()->fdRooms->currentRow(), 0);

    frame()->fdRooms->setCurrentRow(-1);
    frame()->SetPlaceMenus(true);
    frame()->menuItem("mnEnter")->trigger();
    QCOMPARE(client->dialogs->errors(), QStringList{QStringLiteral("Nincs kiválasztott terem")});
    QCOMPARE(sent(), QStringList{});
}

void TstLobby::controlsRunTheirCommands()
{
    frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame()));
    client->ctx.connect->fdSound->setCheckState(Qt::Unchecked); // showing loaded the settings
    feed(Lobby);

    // A click on a room lists its members; a double click enters it.
    QListWidget *rooms = frame()->fdRooms;
    const QPoint terem1 = rooms->visualItemRect(rooms->item(1)).center();
    QTest::mouseClick(rooms->viewport(), Qt::LeftButton, {}, terem1);
    QCOMPARE(frame()->fdMember->count(), 3);
    QTest::mouseDClick(rooms->viewport(), Qt::LeftButton, {}, terem1);
    QCOMPARE(sent(), QStringList{QStringLiteral("JTerem1")});

    QTest::mouseClick(frame()->btTable, Qt::LeftButton);
    QCOMPARE(sent(), QStringList{QStringLiteral("T")});

    feed(QStringLiteral("JTerem1 5 0 Robot1 1 Robot2 0 Én 0"));
    QTest::mouseClick(frame()->seatField(4), Qt::LeftButton);
    QTest::mouseClick(frame()->seatField(1), Qt::LeftButton);
    QCOMPARE(sent(), QStringList{QStringLiteral("I4")});
    QCOMPARE(client->dialogs->texts(QStringLiteral("message")), QStringList{QStringLiteral("Foglalt")});

    // Enter in the message box sends it; a double click on a name writes privately.
    const int phrases = frame()->fdMsg->count();
    QVERIFY(phrases > 0);
    frame()->fdMsg->setEditText(QStringLiteral("Sziasztok!"));
    QTest::keyClick(frame()->fdMsg->lineEdit(), Qt::Key_Return);
    QCOMPARE(sent(), QStringList{QStringLiteral("MSziasztok!")});
    QVERIFY(client->dialogs->shown.size() == 1); // the "Foglalt" notice only: sent once, no error
    frame()->fdMsg->setEditText(QStringLiteral("a billentyűzet Enter gombja is"));
    QTest::keyClick(frame()->fdMsg, Qt::Key_Enter);
    QCOMPARE(sent(), QStringList{QStringLiteral("Ma billentyűzet Enter gombja is")});
    QCOMPARE(frame()->fdMsg->count(), phrases); // the ready phrases stay as they are
    frame()->fdMsg->setEditText(QStringLiteral("psszt"));
    QListWidget *nicks = frame()->fdNicks;
    const QPoint robot2 = nicks->visualItemRect(nicks->item(1)).center();
    QTest::mouseClick(nicks->viewport(), Qt::LeftButton, {}, robot2);
    QTest::mouseDClick(nicks->viewport(), Qt::LeftButton, {}, robot2);
    QCOMPARE(sent(), QStringList{QStringLiteral("ARobot2 psszt")});

    // A failing control shows its error, it does not escape into the event loop.
    QTest::keyClick(frame()->fdMsg->lineEdit(), Qt::Key_Return);
    QCOMPARE(client->dialogs->errors(), QStringList{QStringLiteral("Az üzenet mező üres")});
    QCOMPARE(sent(), QStringList{});
}

void TstLobby::badLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("no room") << "L0";
    QTest::newRow("negative room count") << "L-2 Társalgó 0";
    QTest::newRow("room count not a number") << "Lsok Társalgó 0";
    QTest::newRow("fewer rooms than counted") << "L3 Társalgó 1 Zoli Terem9 0";
    QTest::newRow("fewer names than counted") << "L2 Társalgó 1 Zoli Terem9 4 Ede Feri";
    QTest::newRow("member count not a number") << "L2 Társalgó 1 Zoli Terem9 x Ede";
    QTest::newRow("negative member count") << "L1 Társalgó -1";
    QTest::newRow("huge room count") << "L2000000000 Társalgó 0";
    QTest::newRow("seat above 4") << "IRobot1 5";
    QTest::newRow("negative seat") << "IRobot1 -1";
    QTest::newRow("seat not a number") << "IRobot1 egy";
    QTest::newRow("room seat above 4") << "JTerem9 1 0 Zoli 0 Ede 7";
    QTest::newRow("room deal not a number") << "JTerem9 x 0 Zoli 1";
    QTest::newRow("deal not a number") << "Nhét 1";
    QTest::newRow("played not a number") << "N7 tíz";
}

void TstLobby::badLines()
{
    QFETCH(QString, line);
    // A room the user is in, with the lobby lists behind it.
    club->sendLines({Lobby, QStringLiteral("JTerem1 5 2 Robot1 1 Robot2 2 Én 0")});
    QTRY_COMPARE(frame()->lbHost->text(), QStringLiteral("Terem1"));
    const QVector<TRoom> rooms = frame()->Rooms();
    const QStringList nicksBefore = nicks();
    const QStringList seatsBefore = seats();
    const QStringList dealBefore = {frame()->lbDeal->text(), frame()->lbMatch->text(),
                                    frame()->fdDeal14->text(), frame()->fdDeal23->text()};

    club->sendLines({line, QStringLiteral("UZoli")});
    QTRY_COMPARE(nicks(), nicksBefore + QStringList{QStringLiteral("Zoli")});
    QCOMPARE(client->dialogs->errors().size(), 1);
    QVERIFY(!client->dialogs->errors().first().isEmpty());
    QCOMPARE(frame()->Rooms(), rooms);
    QCOMPARE(seats(), seatsBefore);
    QCOMPARE(frame()->Page->currentWidget(), frame()->TabRoom);
    QCOMPARE(frame()->lbHost->text(), QStringLiteral("Terem1"));
    QCOMPARE(frame()->ownSeat(), 0);
    QCOMPARE((QStringList{frame()->lbDeal->text(), frame()->lbMatch->text(), frame()->fdDeal14->text(),
                          frame()->fdDeal23->text()}),
             dealBefore);
}

void TstLobby::serverWordsInErrors_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");
    const QString longName(5000, QLatin1Char('T'));
    // A room name is put into the text once, as it is: "%2" in it is not a place for the count.
    QTest::newRow("%2 in a room name") << "L1 Te%2rem -1" << "Hibás teremlista: Te%2rem létszáma -1";
    QTest::newRow("%1%2 as a room name") << "L1 %1%2 3 A B" << "Hibás teremlista: %1%2 névsora rövidebb 3 névnél";
    QTest::newRow("long room name") << "L1 " + longName + " -1"
                                    << "Hibás teremlista: " + longName.left(79) + "… létszáma -1";
    QTest::newRow("long word for a number") << "N" + QString(300, QLatin1Char('9')) + "x 1"
                                            << "'" + QString(79, QLatin1Char('9')) + "…' nem érvényes egész szám";
}

void TstLobby::serverWordsInErrors()
{
    QFETCH(QString, line);
    QFETCH(QString, error);
    feed(line);
    QCOMPARE(client->dialogs->errors(), QStringList{error});
}

// The question shows a sensible width of a very long name; the answer names it whole.
void TstLobby::longNickInTakeBackQuestion()
{
    const QString nick(3000, QLatin1Char('R'));
    client->dialogs->yesNoAnswers.enqueue(true);
    feed(QStringLiteral("V") + nick);
    QCOMPARE(client->dialogs->texts(QStringLiteral("yesno")),
             QStringList{nick.left(79) + QStringLiteral("… visszavonást kér. Hozzájárulok.")});
    QCOMPARE(sent(), QStringList{QStringLiteral("V") + nick + QStringLiteral(" y")});
}

QTEST_MAIN(TstLobby)
#include "tst_lobby.moc"
