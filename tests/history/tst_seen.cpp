// The day query ("Korábbi leosztások...") and the day chooser "Napok", with the locale pinned.

#include "FakeClub.h"
#include "TestClient.h"

#include "history/VmSeen.h"
#include "session/Dispatch.h"

#include <QAction>
#include <QInputDialog>
#include <QTimer>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

class TstSeen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }
    void dayQuery_data();
    void dayQuery();
    void dayQueryFromTheMenu();
    void promptOnTwoLines();
    void chooser_data();
    void chooser();
    void chooserHoldsTheLines();
    void badDayListOpensNothing();

private:
    static QStringList sent(FakeClub &club, TestClient &c)
    {
        return club.takeSent([&](const QString &mark) { c.frame()->SendLine(mark); });
    }
    static TSeen *openChooser()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *s = qobject_cast<TSeen *>(w); s && s->isVisible())
                return s;
        return nullptr;
    }
};

void TstSeen::dayQuery_data()
{
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("errors");
    const QStringList none;
    QTest::newRow("empty: all days") << std::optional<QString>("") << QStringList{"X0 0"} << none;
    QTest::newRow("blanks only: all days") << std::optional<QString>("   ") << QStringList{"X0 0"} << none;
    QTest::newRow("the short form") << std::optional<QString>("2006. 03. 07.") << QStringList{"X0 38783"} << none;
    QTest::newRow("dots") << std::optional<QString>("2006.03.07") << QStringList{"X0 38783"} << none;
    QTest::newRow("dashes") << std::optional<QString>("2006-03-07") << QStringList{"X0 38783"} << none;
    QTest::newRow("39000") << std::optional<QString>("2006.10.10") << QStringList{"X0 39000"} << none;
    QTest::newRow("not a date") << std::optional<QString>("tegnap") << none << QStringList{"Hibás dátum"};
    QTest::newRow("no such day") << std::optional<QString>("2006.02.30") << none << QStringList{"Hibás dátum"};
    QTest::newRow("cancelled") << std::optional<QString>() << none << none;
}

void TstSeen::dayQuery()
{
    QFETCH(std::optional<QString>, typed);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, errors);
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    c.dialogs->inputAnswers.enqueue(typed);
    c.ctx.guard([&] { TSeen::DayQuery(c.ctx, QDate(2024, 6, 6)); });
    const auto inputs = c.dialogs->shown;
    QCOMPARE(inputs.size(), 1 + errors.size());
    QCOMPARE(inputs[0].kind, QStringLiteral("input"));
    QCOMPARE(inputs[0].caption, QStringLiteral("Korábbi leosztás"));
    QCOMPARE(inputs[0].text, QStringLiteral("Melyik nap?\r(Hagyd üresen, ha mind érdekel.)"));
    // Five days before today, in the Hungarian short form.
    QCOMPARE(inputs[0].defaultText, QStringLiteral("2024. 06. 01."));
    QCOMPARE(c.dialogs->errors(), errors);
    QCOMPARE(sent(club, c), lines);
}

void TstSeen::dayQueryFromTheMenu()
{
    // The menu's own command: today's proposal reads back as the day five days ago.
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    QString proposal;
    c.dialogs->whileOpen = [&](const ScriptedDialogs::Shown &s) { proposal = s.defaultText; };
    c.dialogs->inputAnswers.enqueue(std::nullopt);
    c.frame()->SetPlaceMenus(true);
    c.frame()->findChild<QAction *>(QStringLiteral("mnDay"))->trigger();
    const QDate shown = QDate::fromString(proposal, QStringLiteral("yyyy. MM. dd."));
    QVERIFY2(shown.isValid(), qPrintable(proposal));
    // Taken around the call, so that midnight cannot make it fail.
    QVERIFY(shown.daysTo(QDate::currentDate()) >= 5 && shown.daysTo(QDate::currentDate()) <= 6);
    c.dialogs->inputAnswers.enqueue(proposal);
    c.frame()->findChild<QAction *>(QStringLiteral("mnDay"))->trigger();
    const int day = int(QDate(1899, 12, 30).daysTo(shown));
    QCOMPARE(sent(club, c), QStringList{QStringLiteral("X0 %1").arg(day)});
}

void TstSeen::promptOnTwoLines()
{
    // The real input box breaks the prompt at its CR, as the user is meant to read it.
    QtDialogs dialogs;
    QString label;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(box);
        label = box->labelText();
        box->reject();
    });
    const auto answer = dialogs.inputBox(QStringLiteral("Korábbi leosztás"),
                                         QStringLiteral("Melyik nap?\r(Hagyd üresen, ha mind érdekel.)"), QString());
    QCOMPARE(answer, std::nullopt);
    QCOMPARE(label, QStringLiteral("Melyik nap?\n(Hagyd üresen, ha mind érdekel.)"));
}

void TstSeen::chooser_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("two days, the last chosen")
        << "Y38782 38783" << QStringList{"2006. 03. 06.", "2006. 03. 07."} << true << QStringList{"X0 38783"};
    QTest::newRow("Semmis sends nothing")
        << "Y38782 38783" << QStringList{"2006. 03. 06.", "2006. 03. 07."} << false << QStringList();
    QTest::newRow("two blanks are day 0")
        << "Y38782  38783" << QStringList{"2006. 03. 06.", "1899. 12. 30.", "2006. 03. 07."} << true << QStringList{"X0 38783"};
    QTest::newRow("no days: OK sends nothing") << "Y" << QStringList() << true << QStringList();
}

void TstSeen::chooser()
{
    QFETCH(QString, line);
    QFETCH(QStringList, entries);
    QFETCH(bool, ok);
    QFETCH(QStringList, lines);
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    club.send(line);
    TSeen *seen = nullptr;
    QTRY_VERIFY((seen = openChooser()) != nullptr);
    QPointer<TSeen> alive(seen);
    QCOMPARE(seen->windowTitle(), QStringLiteral("Napok"));
    QCOMPARE(seen->windowModality(), Qt::ApplicationModal);
    QCOMPARE(QApplication::activeModalWidget(), seen);
    QCOMPARE(seen->lbDays->text(), QStringLiteral("&Válaszd ki a napot"));
    QCOMPARE(seen->lbDays->buddy(), seen->fdDays);
    QCOMPARE(seen->btCancel->text(), QStringLiteral("Semmis"));
    QStringList shown;
    for (int i = 0; i < seen->fdDays->count(); ++i)
        shown << seen->fdDays->item(i)->text();
    QCOMPARE(shown, entries);
    QCOMPARE(seen->fdDays->currentRow(), int(entries.size()) - 1);
    (ok ? seen->btOk : seen->btCancel)->click();
    QTRY_VERIFY(alive.isNull());
    QCOMPARE(sent(club, c), lines);
    QCOMPARE(c.dialogs->errors(), QStringList());
}

void TstSeen::chooserHoldsTheLines()
{
    // While the chooser is open no server line is handled; they all come after it closes.
    FakeClub club;
    TestClient c;
    QVERIFY(c.connectTo(club));
    club.sendLines({QStringLiteral("Y38783"), QStringLiteral("Y38782"), QStringLiteral("Mkati: hahó")});
    TSeen *first = nullptr;
    QTRY_VERIFY((first = openChooser()) != nullptr);
    const int chat = c.frame()->ChatLineCount();
    // The other two lines are here, waiting, and turns of the event loop do not take them.
    QTRY_VERIFY(c.ctx.link().bufferedBytes() >= qsizetype(strlen("Y38782\r\nMkati: hah\xF3\r\n")));
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(c.frame()->ChatLineCount(), chat);
    QCOMPARE(first->Days(), QList<qint32>{38783});
    QPointer<TSeen> gone(first);
    first->btCancel->click();
    QTRY_VERIFY(gone.isNull());
    TSeen *second = nullptr;
    QTRY_VERIFY((second = openChooser()) != nullptr);
    QCOMPARE(second->Days(), QList<qint32>{38782});
    QCOMPARE(c.frame()->ChatLineCount(), chat);
    second->btOk->click();
    QTRY_VERIFY(c.frame()->ChatLineCount() > chat);
    QCOMPARE(sent(club, c), QStringList{QStringLiteral("X0 38782")});
}

void TstSeen::badDayListOpensNothing()
{
    TestClient c;
    c.ctx.guard([&] { c.ctx.dispatcher().dispatch(QStringLiteral("Y38782 tegnap")); });
    QCOMPARE(c.dialogs->errors().size(), 1);
    QCOMPARE(openChooser(), nullptr);
    QCOMPARE(c.frame()->findChildren<TSeen *>().size(), 0);
}

QTEST_MAIN(TstSeen)
#include "tst_seen.moc"
