#pragma once
// A seated client at a fake club: the common ground of the hand and table tests.

#include "FakeClub.h"
#include "TestClient.h"

#include "cards/VmCard.h"
#include "cards/VmDesk.h"
#include "session/Dispatch.h"
#include "session/VmConnect.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <memory>

struct PlayTable
{
    static inline const QString Own = QStringLiteral("Én");

    std::unique_ptr<FakeClub> club = std::make_unique<FakeClub>();
    std::unique_ptr<TestClient> client = std::make_unique<TestClient>();

    PlayTable()
    {
        // Notices as boxes, not beeps, so that the tests read them.
        client->ctx.connect->fdSound->setCheckState(Qt::Unchecked);
        client->frame()->setOwnNick(Own);
    }

    bool connect() { return client->connectTo(*club); }

    Context &ctx() { return client->ctx; }
    TCardForm *card() { return client->ctx.card; }
    TDeskForm *desk() { return client->ctx.desk; }
    ScriptedDialogs *dialogs() { return client->dialogs; }

    // A server line, handled as the reader handles it (errors become boxes).
    void feed(const QString &line)
    {
        client->ctx.guard([&] { client->ctx.dispatcher().dispatch(line); });
    }

    // Enters a room where the user sits at `own` (0: standing) and Robot<n> at the others.
    void sit(int own)
    {
        QString line = QStringLiteral("JTerem1 5 0");
        for (int seat = 1; seat <= 4; ++seat)
            line += seat == own ? QStringLiteral(" %1 %2").arg(Own).arg(seat)
                                : QStringLiteral(" Robot%1 %1").arg(seat);
        if (own == 0)
            line += QStringLiteral(" %1 0").arg(Own);
        feed(line);
    }

    void setOrder(int item)
    {
        client->ctx.connect->findChild<QRadioButton *>(QStringLiteral("fdOrder%1").arg(item))->setChecked(true);
    }

    // Lines the client has sent since the last call, in order.
    QStringList sent()
    {
        return club->takeSent([this](const QString &mark) { client->frame()->SendLine(mark); });
    }

    QStringList notices() const { return client->dialogs->texts(QStringLiteral("message")); }
    QStringList errors() const { return client->dialogs->errors(); }
    void forgetBoxes() { client->dialogs->shown.clear(); }
};
