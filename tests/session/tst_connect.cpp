// Logging in, changing the password, Notify and the settings page, against a fake club.

#include "FakeClub.h"
#include "TestClient.h"
#include "bidding/VmBid.h"
#include "bidding/VmList.h"
#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "session/Dispatch.h"
#include "session/IniFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TstConnect : public QObject
{
    Q_OBJECT
private slots:
    void loginLine_data();
    void loginLine();
    void commandLineLogsInWithoutPage();
    void newUserSendsNothing();
    void cancelledLoginDoesNothing();
    void errorTexts_data();
    void errorTexts();
    void refusedConnection();
    void passwordChange_data();
    void passwordChange();
    void newPasswordInForce();
    void notify_data();
    void notify();
    void defaultsWithoutFile();
    void saveView_data();
    void saveView();
    void restoreWindows();
    void placeOffEveryScreenFallsBack();
};

static void storeDigest(TestClient &c, int digest)
{
    IniFile ini(c.ctx.connect->IniPath());
    ini.writeInteger(QStringLiteral("Connect"), QStringLiteral("Passw"), digest);
    QVERIFY(ini.save());
    c.ctx.connect->LoadSettings();
}

// Fills the login page as a user would and presses OK.
static std::function<int(TConnect &)> typeLogin(quint16 port, const QString &user,
                                                std::optional<QString> password, bool save = false)
{
    return [=](TConnect &d) {
        d.fdServer->setCurrentText(QStringLiteral("127.0.0.1"));
        d.fdPort->setText(QString::number(port));
        d.fdUser->setCurrentText(user);
        if (password)
            d.fdPw->setText(*password);
        d.fdSave->setChecked(save);
        return int(QDialog::Accepted);
    };
}

void TstConnect::loginLine_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shownBefore");
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QString>("line");
    QTest::newRow("nothing stored, nothing typed") << 0 << "" << std::optional<QString>() << "LAnna 0";
    QTest::newRow("typed password") << 0 << "" << std::optional<QString>("abc") << "LAnna 24454111";
    QTest::newRow("stored digest kept") << 777 << "********" << std::optional<QString>() << "LAnna 777";
    QTest::newRow("asterisks typed keep it") << 777 << "********" << std::optional<QString>("********") << "LAnna 777";
    QTest::newRow("typed replaces stored") << 777 << "********" << std::optional<QString>("ABC") << "LAnna 24454111";
}

void TstConnect::loginLine()
{
    QFETCH(int, stored);
    QFETCH(QString, shownBefore);
    QFETCH(std::optional<QString>, typed);
    QFETCH(QString, line);
    FakeClub club;
    TestClient c;
    storeDigest(c, stored);
    QString seen;
    const auto type = typeLogin(club.port(), QStringLiteral("Anna"), typed, true);
    c.pageAnswer = [&](TConnect &d) {
        seen = d.fdPw->text();
        return type(d);
    };
    c.ctx.connect->ShowLogin();
    QCOMPARE(seen, shownBefore);
    QVERIFY(club.waitForLines(1));
    QCOMPARE(club.received, QStringList{line});
    QCOMPARE(c.ctx.connect->fdPw->text(), QStringLiteral("********"));
    QCOMPARE(c.ctx.card->windowTitle(), QStringLiteral("Anna lapjai"));
    QCOMPARE(c.ctx.applicationTitle(), QStringLiteral("Vm Anna"));
    // Saved for the next start: the digest, never the password.
    IniFile ini(c.ctx.connect->IniPath());
    ini.load();
    QCOMPARE(ini.readString(QStringLiteral("Connect"), QStringLiteral("User"), QString()), QStringLiteral("Anna"));
    QCOMPARE(QString::number(ini.readInteger(QStringLiteral("Connect"), QStringLiteral("Passw"), -1)),
             line.section(QLatin1Char(' '), 1));
    QVERIFY(!ini.lines().join(QLatin1Char('\n')).contains(QStringLiteral("abc"), Qt::CaseInsensitive));
}

void TstConnect::commandLineLogsInWithoutPage()
{
    FakeClub club;
    TestClient c;
    int pages = 0;
    c.pageAnswer = [&](TConnect &) { ++pages; return int(QDialog::Rejected); };
    c.ctx.connect->fdServer->setCurrentText(QStringLiteral("127.0.0.1"));
    c.ctx.connect->fdPort->setText(QString::number(club.port()));
    c.ctx.connect->setArgument(QStringLiteral("Béla"));
    c.ctx.connect->ShowLogin();
    QVERIFY(club.waitForLines(1));
    QCOMPARE(club.received, QStringList{QStringLiteral("LBéla 0")});
    QCOMPARE(pages, 0);
    // A later login from the menu shows the page again.
    c.ctx.connect->ShowLogin();
    QCOMPARE(pages, 1);
}

void TstConnect::newUserSendsNothing()
{
    FakeClub club;
    TestClient c;
    const auto type = typeLogin(club.port(), QStringLiteral("Újonc"), QStringLiteral("titok"));
    c.pageAnswer = [&](TConnect &d) {
        d.fdNewUser->setChecked(true);
        return type(d);
    };
    c.ctx.connect->ShowLogin();
    QVERIFY(club.waitForClient());
    QTRY_VERIFY(!c.ctx.connect->fdNewUser->isChecked()); // the login went on after connecting
    QCOMPARE(club.takeSent([&](const QString &mark) { c.frame()->SendLine(mark); }), QStringList());
    QCOMPARE(c.frame()->ownNick(), QStringLiteral("Új felhasználó"));
    QCOMPARE(c.ctx.connect->fdPw->text(), QString());
    QCOMPARE(c.ctx.connect->StoredDigest(), 0);
}

void TstConnect::cancelledLoginDoesNothing()
{
    TestClient c;
    c.frame()->setOwnNick(QStringLiteral("Régi"));
    c.ctx.connect->ShowLogin(); // the page answers Cancel
    QCOMPARE(c.frame()->ownNick(), QStringLiteral("Régi"));
    QVERIFY(!c.ctx.link().isOpen());
}

void TstConnect::errorTexts_data()
{
    QTest::addColumn<QAbstractSocket::SocketError>("error");
    QTest::addColumn<QString>("text");
    const QString head = QStringLiteral("Kapcsolatfelvétel sikertelen\n\r");
    QTest::newRow("address in use") << QAbstractSocket::AddressInUseError << head + " (a cím foglalt)";
    QTest::newRow("address not available") << QAbstractSocket::SocketAddressNotAvailableError << head + " (a cím nem elérhető)";
    QTest::newRow("network unreachable") << QAbstractSocket::NetworkError << head + " (a hálózat nem elérhető)";
    QTest::newRow("time-out") << QAbstractSocket::SocketTimeoutError << head + " (a kapcsolódási idő lejárt)";
    QTest::newRow("refused") << QAbstractSocket::ConnectionRefusedError << head + " (szerver nem üzemel)";
    QTest::newRow("host not found") << QAbstractSocket::HostNotFoundError << head + " (nincs internet kapcsolat)";
    QTest::newRow("other keeps its text") << QAbstractSocket::SslHandshakeFailedError << "system text";
}

void TstConnect::errorTexts()
{
    QFETCH(QAbstractSocket::SocketError, error);
    QFETCH(QString, text);
    QCOMPARE(ConnectErrorText(error, QStringLiteral("system text")), text);
}

void TstConnect::refusedConnection()
{
    quint16 port;
    {
        FakeClub gone; // a port that was just free
        port = gone.port();
    }
    TestClient c;
    c.pageAnswer = typeLogin(port, QStringLiteral("Anna"), std::nullopt);
    c.ctx.connect->ShowLogin();
    QTRY_COMPARE(c.dialogs->errors(),
                 QStringList{QStringLiteral("Kapcsolatfelvétel sikertelen\n\r (szerver nem üzemel)")});
    QCOMPARE(c.frame()->statusPanel(1)->text(), QStringLiteral("Nincs kapcsolat"));
}

void TstConnect::passwordChange_data()
{
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("fresh");
    QTest::addColumn<QString>("again");
    QTest::addColumn<QString>("error");
    QTest::newRow("ok, old typed in other case") << "OLD" << "új" << "új" << "";
    QTest::newRow("wrong old") << "bad" << "új" << "új" << "Régi jelszó hibás";
    QTest::newRow("repeat differs in case") << "old" << "új" << "Új" << "Az új jelszó hibás";
}

void TstConnect::passwordChange()
{
    QFETCH(QString, old);
    QFETCH(QString, fresh);
    QFETCH(QString, again);
    QFETCH(QString, error);
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    storeDigest(c, PasswordDigest(QStringLiteral("old")));
    c.pageAnswer = [&](TConnect &d) {
        d.fdPw0->setText(old);
        d.fdPw1->setText(fresh);
        d.fdPw2->setText(again);
        return int(QDialog::Accepted);
    };
    c.ctx.guard([&] { c.ctx.connect->ChangePassword(); });
    if (error.isEmpty()) {
        QVERIFY(club.waitForLines(1));
        QCOMPARE(club.received, QStringList{QStringLiteral("W%1").arg(PasswordDigest(fresh))});
        QCOMPARE(c.ctx.connect->fdPw1->text(), QString());
    } else {
        QCOMPARE(c.dialogs->errors(), QStringList{error});
        QCOMPARE(c.ctx.connect->fdPw1->text(), fresh); // kept after an error
    }
    // The stored digest changes only when the club confirms.
    QCOMPARE(c.ctx.connect->StoredDigest(), PasswordDigest(QStringLiteral("old")));
}

void TstConnect::newPasswordInForce()
{
    TestClient c;
    c.ctx.guard([&] { c.ctx.dispatcher().dispatch(QStringLiteral("W24454111")); });
    QCOMPARE(c.ctx.connect->StoredDigest(), 24454111);
    QCOMPARE(c.dialogs->texts(QStringLiteral("message")), QStringList{QStringLiteral("Az új jelszó érvénybelépett")});
    c.ctx.guard([&] { c.ctx.dispatcher().dispatch(QStringLiteral("Wx")); });
    QCOMPARE(c.ctx.connect->StoredDigest(), 24454111);
    QCOMPARE(c.dialogs->errors().size(), 1);
}

void TstConnect::notify_data()
{
    QTest::addColumn<Qt::CheckState>("sound");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<int>("boxes");
    QTest::newRow("checked: beep only") << Qt::Checked << "Te jössz!" << 1 << 0;
    QTest::newRow("unchecked: box only") << Qt::Unchecked << "Te jössz!" << 0 << 1;
    QTest::newRow("grayed: both") << Qt::PartiallyChecked << "Te jössz!" << 1 << 1;
    QTest::newRow("empty message shows no box") << Qt::PartiallyChecked << "" << 1 << 0;
}

void TstConnect::notify()
{
    QFETCH(Qt::CheckState, sound);
    QFETCH(QString, message);
    QFETCH(int, beeps);
    QFETCH(int, boxes);
    TestClient c;
    c.ctx.connect->fdSound->setCheckState(sound);
    c.ctx.connect->Notify(message);
    QCOMPARE(c.beeps, beeps);
    QCOMPARE(c.dialogs->texts(QStringLiteral("message")).size(), boxes);
}

void TstConnect::defaultsWithoutFile()
{
    TestClient c;
    TConnect *t = c.ctx.connect;
    t->LoadSettings();
    QCOMPARE(t->ServerText(), QString::fromUtf8(TConnect::DefaultServerLabel));
    QCOMPARE(t->fdUser->currentText(), QString());
    QCOMPARE(t->StoredDigest(), 0);
    QCOMPARE(t->fdPort->text(), QStringLiteral("5052"));
    QCOMPARE(t->CardSize(), 0);
    QCOMPARE(t->CardOrder(), 1);
    QCOMPARE(t->fdSound->checkState(), Qt::Checked);
    QVERIFY(t->ExitQuestion());
    QVERIFY(!t->Trace());
    QCOMPARE(t->fdUser->count(), 5);
    QCOMPARE(t->fdUser->itemText(0), QStringLiteral("Masina"));
    QCOMPARE(t->fdServer->itemText(1), QString::fromUtf8(TConnect::DefaultServerLabel));
    QCOMPARE(c.frame()->pos(), QPoint(0, 0));
    // The other windows' places make room for the main window as large as it is.
    const QSize frame = c.frame()->size();
    QCOMPARE(c.ctx.desk->pos(), QPoint(std::max(365, frame.width()), 30));
    QCOMPARE(c.ctx.bid->x(), c.ctx.desk->x());
    QCOMPARE(c.ctx.card->pos(), QPoint(0, std::max(510, frame.height() + 2)));
}

void TstConnect::saveView_data()
{
    QTest::addColumn<bool>("arrange");
    QTest::newRow("without fdWindow") << false;
    QTest::newRow("with fdWindow") << true;
}

void TstConnect::saveView()
{
    QFETCH(bool, arrange);
    TestClient c;
    {
        IniFile ini(c.ctx.connect->IniPath());
        ini.setLines({QStringLiteral("[Arrange]"), QStringLiteral("FT=5"), QStringLiteral("Mine=keep")});
        QVERIFY(ini.save());
    }
    c.ctx.connect->LoadSettings();
    c.ctx.desk->move(123, 45);
    c.pageAnswer = [&](TConnect &d) {
        d.fdSound->setCheckState(Qt::PartiallyChecked);
        d.fdWindow->setChecked(arrange);
        return TConnect::SaveResult;
    };
    c.ctx.connect->ShowSetup();
    IniFile ini(c.ctx.connect->IniPath());
    ini.load();
    QCOMPARE(ini.readInteger(QStringLiteral("View"), QStringLiteral("Sound"), -1), 2);
    QCOMPARE(ini.readInteger(QStringLiteral("View"), QStringLiteral("Order"), -1), 1);
    QCOMPARE(ini.readInteger(QStringLiteral("View"), QStringLiteral("ExitQuery"), -1), 1);
    QCOMPARE(ini.readString(QStringLiteral("Arrange"), QStringLiteral("Mine"), QString()), QStringLiteral("keep"));
    QCOMPARE(ini.readInteger(QStringLiteral("Arrange"), QStringLiteral("DL"), -1), arrange ? 123 : -1);
    QCOMPARE(ini.readInteger(QStringLiteral("Arrange"), QStringLiteral("FT"), -1), arrange ? c.frame()->y() : 5);
    QVERIFY(!c.ctx.connect->fdWindow->isChecked());
    QCOMPARE(ini.readString(QStringLiteral("Connect"), QStringLiteral("Passw"), QStringLiteral("none")), QStringLiteral("none"));
}

void TstConnect::restoreWindows()
{
    TestClient c;
    IniFile ini(c.ctx.connect->IniPath());
    ini.setLines({QStringLiteral("[ARRANGE]"), QStringLiteral("dt=77"), QStringLiteral("DL=0x40"),
                  QStringLiteral("FW=900"), QStringLiteral("FH=600"), QStringLiteral("[View]"),
                  QStringLiteral("Order=7"), QStringLiteral("Card=-1"), QStringLiteral("Sound=x")});
    QVERIFY(ini.save());
    c.ctx.connect->LoadSettings();
    QCOMPARE(c.ctx.desk->pos(), QPoint(64, 77));
    QCOMPARE(c.frame()->size(), QSize(900, 600));
    QCOMPARE(c.ctx.list->pos(), QPoint(900, 13)); // not in the file: beside the frame
    QCOMPARE(c.ctx.connect->CardOrder(), 2); // above the last item: the last
    QCOMPARE(c.ctx.connect->CardSize(), -1); // negative: none
    QCOMPARE(c.ctx.connect->fdSound->checkState(), Qt::Checked); // garbage: the default
}

void TstConnect::placeOffEveryScreenFallsBack()
{
    TestClient c;
    IniFile ini(c.ctx.connect->IniPath());
    ini.setLines({QStringLiteral("[Arrange]"), QStringLiteral("DT=30"), QStringLiteral("DL=40000"),
                  QStringLiteral("BT=-5000"), QStringLiteral("BL=400")});
    QVERIFY(ini.save());
    c.ctx.connect->LoadSettings();
    const int beside = std::max(365, c.frame()->width());
    QCOMPARE(c.ctx.desk->pos(), QPoint(beside, 30));
    QCOMPARE(c.ctx.bid->pos(), QPoint(beside, 275));
}

QTEST_MAIN(TstConnect)
#include "tst_connect.moc"
