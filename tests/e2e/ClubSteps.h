#pragma once
// The steps every visit to the club begins with, done through the client's own windows.

#include "TestClient.h"

#include "session/VmConnect.h"
#include "session/VmFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QTest>

// The login page as a user fills it for the club on this machine's `port`. The page's own
// "Nincs még felhasználó nevem" box is ticked while *newUser is true.
inline std::function<int(TConnect &)> TypeLogin(quint16 port, const QString &nick,
                                                const bool *newUser = nullptr)
{
    return [=](TConnect &page) {
        page.fdServer->setCurrentText(QStringLiteral("127.0.0.1"));
        page.fdPort->setText(QString::number(port));
        page.fdUser->setCurrentText(nick);
        page.fdNewUser->setChecked(newUser && *newUser);
        page.fdSave->setChecked(false);
        return int(QDialog::Accepted);
    };
}

// Logs a client in and waits for the lobby.
inline bool LogIn(TestClient &client, quint16 port, const QString &nick)
{
    client.pageAnswer = TypeLogin(port, nick);
    client.ctx.guard([&] { client.ctx.connect->ShowLogin(); });
    return QTest::qWaitFor([&] { return client.frame()->fdRooms->count() > 1; }, 10000);
}

// Takes a client from the lobby into the first room after it.
inline bool EnterFirstRoom(TestClient &client)
{
    TFrame *frame = client.frame();
    frame->fdRooms->setCurrentRow(1);
    client.ctx.guard([&] { frame->cmEnter(); });
    return QTest::qWaitFor([&] { return frame->Page->currentWidget() == frame->TabRoom; }, 10000);
}

// Sits down at `seat`, which deals some deal, then asks as the host for deal `number`, so
// that every run plays the same cards.
inline bool SitForDeal(TestClient &client, int seat, int number)
{
    TFrame *frame = client.frame();
    client.ctx.guard([&] { frame->cmSeat(seat); });
    if (!QTest::qWaitFor([&] { return frame->ownSeat() == seat; }, 10000))
        return false;
    frame->SendLine(QStringLiteral("O") + QString::number(number));
    return QTest::qWaitFor([&] { return frame->lbDeal->text() == QString::number(number); }, 10000);
}
