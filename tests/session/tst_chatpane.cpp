// The chat pane: one entry per line whatever the line holds, and a bounded size.

#include "TestClient.h"

#include "session/ChatPane.h"
#include "session/Dispatch.h"

#include <QTest>
#include <QTextDocument>

class TstChatPane : public QObject
{
    Q_OBJECT
private slots:
    void breakInsideALineStaysOneEntry_data();
    void breakInsideALineStaysOneEntry();
    void paneKeepsItsCapacity();
};

void TstChatPane::breakInsideALineStaysOneEntry_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shown");
    const QString sign(QChar(ChatPane::LineBreakSign));
    QTest::newRow("lone LF") << QStringLiteral("Mbob: egy\nkettő") << QStringLiteral("bob: egy") + sign + QStringLiteral("kettő");
    QTest::newRow("lone CR") << QStringLiteral("Mbob: egy\rkettő") << QStringLiteral("bob: egy") + sign + QStringLiteral("kettő");
    QTest::newRow("LF at the end") << QStringLiteral("Mbob: vége\n") << QStringLiteral("bob: vége") + sign;
    QTest::newRow("LF CR") << QStringLiteral("M\n\r") << sign + sign;
}

void TstChatPane::breakInsideALineStaysOneEntry()
{
    QFETCH(QString, line);
    QFETCH(QString, shown);
    TestClient client;
    client.frame()->show();
    const int before = client.frame()->ChatLineCount();
    client.ctx.guard([&] { client.ctx.dispatcher().dispatch(line); });
    QCOMPARE(client.frame()->ChatLineCount(), before + 1);
    QCOMPARE(client.chatLines().last(), shown);
    // The document agrees once the pane has laid the line out.
    QTRY_COMPARE(client.frame()->fdMsgs->document()->blockCount(), before + 1);
}

void TstChatPane::paneKeepsItsCapacity()
{
    ChatPane pane;
    const int total = ChatPane::Capacity * 3 + 17;
    int most = 0;
    for (int i = 0; i < total; ++i) {
        pane.appendLine(QString::number(i));
        most = std::max(most, pane.lineCount());
        if (i % 997 == 0)
            QCoreApplication::processEvents(); // let some batches reach the document
    }
    QVERIFY(most <= ChatPane::Capacity);
    const QStringList lines = pane.lines();
    QCOMPARE(lines.size(), pane.lineCount());
    QCOMPARE(lines.size(), ChatPane::Capacity);
    // The newest lines are kept, in order, with nothing missing between them.
    QCOMPARE(lines.last(), QString::number(total - 1));
    QCOMPARE(lines.first(), QString::number(total - lines.size()));
    QTRY_COMPARE(pane.document()->blockCount(), pane.lineCount());
}

QTEST_MAIN(TstChatPane)
#include "tst_chatpane.moc"
