// The client reading the club's lines over a real loopback socket.

#include "FakeClub.h"
#include "TestClient.h"

#include "session/ChatPane.h"
#include "session/Dispatch.h"

#include <QTextDocument>

#include <QTest>

class TstReading : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keepAliveAnsweredOnce();
    void unknownAndEmptyLines();
    void burstReachesTheChatPane();
    void loneLineFeedStaysInLine();
    void sentLineCannotSmuggleASecondLine();
    void splitAcrossManyWrites();
    void linesWaitWhileBoxIsOpen();
    void linesWaitWhileHandlerShowsBox();
    void malformedLineThenGoodLines();
    void serverClosesConnection();
    void overlongLineClosesAndStaysBounded();
    void answersToAGonePeerAreDropped();

private:
    // 'Z' lines are recorded; 'Z' + a non-number word fails like a malformed line.
    void recordZ();
    QStringList sent() { return club->takeSent([this](const QString &m) { client->frame()->SendLine(m); }); }
    std::unique_ptr<FakeClub> club;
    std::unique_ptr<TestClient> client;
    QStringList handled;
};

void TstReading::init()
{
    club = std::make_unique<FakeClub>();
    client = std::make_unique<TestClient>();
    handled.clear();
    recordZ();
    QVERIFY(client->connectTo(*club));
}

void TstReading::cleanup()
{
    client.reset();
    club.reset();
}

void TstReading::recordZ()
{
    client->ctx.dispatcher().add(QLatin1Char('Z'), [this](QString &arg) {
        if (arg.startsWith(QLatin1String("bad")))
            NextInt(arg);
        handled << arg;
    });
}

void TstReading::keepAliveAnsweredOnce()
{
    club->sendLines({QStringLiteral("O"), QStringLiteral("Oxyz"), QStringLiteral("Zend")});
    QTRY_COMPARE(handled, QStringList{QStringLiteral("end")});
    QCOMPARE(sent(), (QStringList{QStringLiteral("O1"), QStringLiteral("O1")}));
}

void TstReading::unknownAndEmptyLines()
{
    const int before = client->frame()->ChatLineCount();
    club->sendLines({QString(), QStringLiteral("mhello"), QString(), QStringLiteral("Zdone")});
    QTRY_COMPARE(handled, QStringList{QStringLiteral("done")});
    QCOMPARE(client->frame()->ChatLineCount(), before + 1);
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Ismeretlen: mhello"));
    QCOMPARE(sent(), QStringList());
}

void TstReading::burstReachesTheChatPane()
{
    client->frame()->show();
    QStringList burst;
    for (int i = 0; i < 300; ++i)
        burst << QStringLiteral("m%1").arg(i);
    burst << QStringLiteral("Zend");
    club->sendLines(burst);
    QTRY_COMPARE(handled, QStringList{QStringLiteral("end")});
    // Whatever was held back during the burst is in the document once it is over.
    QTRY_COMPARE(client->frame()->fdMsgs->document()->blockCount(), client->frame()->ChatLineCount());
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> Ismeretlen: m299"));
    QVERIFY(client->frame()->fdMsgs->updatesEnabled());
}

void TstReading::loneLineFeedStaysInLine()
{
    club->sendRaw("Za\nb\rc\r\n");
    QTRY_COMPARE(handled, QStringList{QStringLiteral("a\nb\rc")});
}

void TstReading::sentLineCannotSmuggleASecondLine()
{
    // Text that came from the club (a chat line, a personal record) may hold CR LF; sent
    // back, it must stay one line and not become a command of its own.
    client->frame()->SendLine(QStringLiteral("D1 Anna;\r\nMszia;a\nb\rc;"));
    QCOMPARE(sent(), QStringList{QStringLiteral("D1 Anna; Mszia;a\nb\rc;")});
}

void TstReading::splitAcrossManyWrites()
{
    const QByteArray bytes = "Zfirst line\r\nZs\xE9" "cond\r\nZthird\r\n";
    for (char c : bytes) {
        club->sendRaw(QByteArray(1, c));
        QCoreApplication::processEvents();
    }
    QTRY_COMPARE(handled, (QStringList{QStringLiteral("first line"), QStringLiteral("sécond"),
                                       QStringLiteral("third")}));
}

void TstReading::linesWaitWhileBoxIsOpen()
{
    bool arrivedWhileOpen = false;
    QStringList seenWhileOpen;
    QStringList sentWhileOpen;
    client->dialogs->whileOpen = [&](const ScriptedDialogs::Shown &) {
        club->sendLines({QStringLiteral("Z1"), QStringLiteral("Z2"), QStringLiteral("O")});
        arrivedWhileOpen = QTest::qWaitFor([&] { return client->ctx.link().bufferedBytes() >= 11; });
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        seenWhileOpen = handled;
        sentWhileOpen = sent();
    };
    client->ctx.dialogs().message(QStringLiteral("box"));
    client->dialogs->whileOpen = nullptr;
    QVERIFY(arrivedWhileOpen);
    QVERIFY(seenWhileOpen.isEmpty());
    QCOMPARE(sentWhileOpen, QStringList()); // not even the keep-alive is answered under a box
    // No new byte arrives after the box closes, yet the waiting lines are handled, in order.
    QTRY_COMPARE(handled, (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    QTRY_COMPARE(club->received, QStringList{QStringLiteral("O1")});
}

void TstReading::linesWaitWhileHandlerShowsBox()
{
    // A handler that opens a box (the take-back question, an error) runs a nested event
    // loop; the next line must not start inside it.
    client->ctx.dispatcher().add(QLatin1Char('Y'), [this](QString &) {
        client->ctx.dialogs().askYesNo(QStringLiteral("?"));
        handled << QStringLiteral("Y done");
    });
    client->dialogs->whileOpen = [&](const ScriptedDialogs::Shown &) {
        club->sendLines({QStringLiteral("Zafter")});
        QVERIFY(QTest::qWaitFor([&] { return client->ctx.link().bufferedBytes() > 0; }));
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        QVERIFY(handled.isEmpty());
    };
    club->sendLines({QStringLiteral("Y")});
    QTRY_COMPARE(handled, (QStringList{QStringLiteral("Y done"), QStringLiteral("after")}));
}

void TstReading::malformedLineThenGoodLines()
{
    club->sendLines({QStringLiteral("Zbad x"), QStringLiteral("Zgood"), QStringLiteral("Zmore")});
    QTRY_COMPARE(handled, (QStringList{QStringLiteral("good"), QStringLiteral("more")}));
    QCOMPARE(client->dialogs->errors().size(), 1);
    QVERIFY(client->dialogs->errors().first().contains(QStringLiteral("'bad'")));
}

void TstReading::serverClosesConnection()
{
    club->sendLines({QStringLiteral("Zlast"), QStringLiteral("Zwords")});
    club->closeClient();
    QTRY_VERIFY(!client->ctx.link().isReading());
    QCOMPARE(handled, (QStringList{QStringLiteral("last"), QStringLiteral("words")}));
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> A kapcsolat mexakadt"));
    QCOMPARE(client->chatLines().count(QStringLiteral(">>> A kapcsolat mexakadt")), 1);
}

void TstReading::overlongLineClosesAndStaysBounded()
{
    const qsizetype bound = LineFramer::DefaultLimit + 1 + 2 * Link::ReadChunk;
    QByteArray chunk(64 * 1024, 'x');
    qsizetype sent = 0;
    qsizetype most = 0;
    club->send(QStringLiteral("Zbefore"));
    while (sent < 10 * 1024 * 1024 && client->ctx.link().isReading()) {
        club->peer()->write(chunk);
        sent += chunk.size();
        // Let both ends move bytes, watching what the client holds.
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
            most = std::max(most, client->ctx.link().bufferedBytes());
        }
    }
    QTRY_VERIFY(!client->ctx.link().isReading());
    QVERIFY2(most <= bound, qPrintable(QString::number(most)));
    QCOMPARE(handled, QStringList{QStringLiteral("before")});
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> A kapcsolat mexakadt"));
    QVERIFY(!client->ctx.link().isOpen());

    // The next connection reads as if nothing had happened.
    club = std::make_unique<FakeClub>();
    QVERIFY(client->connectTo(*club));
    club->send(QStringLiteral("Zagain"));
    QTRY_COMPARE(handled, (QStringList{QStringLiteral("before"), QStringLiteral("again")}));
    QVERIFY(client->ctx.link().isReading());
}

void TstReading::answersToAGonePeerAreDropped()
{
    // The club's last lines ask for answers and the club closes at once: the lines are
    // handled after the close (a box held them back), and the answers have nowhere to go.
    client->frame()->setOwnNick(QStringLiteral("anna"));
    client->dialogs->yesNoAnswers.enqueue(true);
    client->dialogs->whileOpen = [&](const ScriptedDialogs::Shown &) {
        club->sendLines({QStringLiteral("O"), QStringLiteral("?bob"), QStringLiteral("Vbob"),
                         QStringLiteral("Zlast")});
        club->closeClient();
        QVERIFY(QTest::qWaitFor([&] { return !client->ctx.link().isOpen(); }));
    };
    client->ctx.dialogs().message(QStringLiteral("box"));
    client->dialogs->whileOpen = nullptr;
    QTRY_VERIFY(!client->ctx.link().isReading());
    QCOMPARE(handled, QStringList{QStringLiteral("last")});
    // The take-back question was still asked; answering it raised nothing.
    QVERIFY(client->dialogs->texts().contains(QStringLiteral("bob visszavonást kér. Hozzájárulok.")));
    QCOMPARE(client->dialogs->errors(), QStringList());
    QCOMPARE(client->chatLines().last(), QStringLiteral(">>> A kapcsolat mexakadt"));
}

QTEST_MAIN(TstReading)
#include "tst_reading.moc"
