// Team matches: the rows of the club's list with their state texts, the proposal's checks and
// line, the line-up order both ways, and the invitation: accepted, declined, replaced by the
// next "R", and forgotten with the connection.

#include "FakeClub.h"
#include "TestClient.h"

#include "history/MatchText.h"
#include "history/VmMatch.h"
#include "session/Dispatch.h"
#include "session/Link.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <limits>

Q_DECLARE_METATYPE(TMatchRow)
Q_DECLARE_METATYPE(TLineUp)

namespace {

TMatchRow row(const QString &tab1, const QString &tab2, qint32 leo, const QString &res, qint64 dif,
              const QString &status, qint32 id)
{
    return TMatchRow{tab1, tab2, leo, res, dif, status, id};
}

// A line-up whose cells are named by where they sit: "c<col>r<row>".
TLineUp namedCells()
{
    TLineUp l;
    for (int c = 1; c <= 2; ++c)
        for (int r = 1; r <= 4; ++r)
            l[c - 1][r - 1] = QStringLiteral("c%1r%2").arg(c).arg(r);
    return l;
}

TLineUp with(TLineUp l, int col, int row, const QString &name)
{
    l[col - 1][row - 1] = name;
    return l;
}

const QString Invitation = QStringLiteral("R1 77 8 45 Anna Béla Cili Dani Ede Feri Gabi Hugó");

} // namespace

class TstMatch : public QObject
{
    Q_OBJECT
private slots:
    void rows_data();
    void rows();
    void listPage();
    void emptyListAndDelete();
    void badRowKeepsEarlierRows();
    void proposal_data();
    void proposal();
    void lineUpOrderBothWays();
    void newMatchPage();
    void proposeFromWindow();
    void failedProposalKeepsWindow();
    void invitationPage_data();
    void invitationPage();
    void acceptSendsOnlyR1();
    void closingDeclines();
    void secondInvitationDeclinesFirst();
    void listAfterInvitationDeclines();
    void nameOnlyWhileEditing();
    void hidesOnLostConnection();
    void hidesWhenUserDisconnects();

private:
    static void feed(TestClient &c, const QString &line)
    {
        c.ctx.guard([&] { c.ctx.dispatcher().dispatch(line); });
    }
    static QStringList sent(FakeClub &club, TestClient &c)
    {
        return club.takeSent([&](const QString &mark) { c.frame()->SendLine(mark); });
    }
    static bool connected(FakeClub &club, TestClient &c)
    {
        c.frame()->setOwnNick(QStringLiteral("Anna"));
        return c.connectTo(club);
    }
};

void TstMatch::rows_data()
{
    constexpr qint32 Max = std::numeric_limits<qint32>::max();
    constexpr qint32 Min = std::numeric_limits<qint32>::min();
    QTest::addColumn<QString>("words");
    QTest::addColumn<TMatchRow>("expected");

    QTest::newRow("-1: starts in a minutes, b is the id")
        << "4 -1 5 42 Terem4 Terem5" << row("Terem4", "Terem5", 4, "- - -", 0, " 5 perc múlva kezdődik", 42);
    QTest::newRow("-2: waiting a minutes more")
        << "8 -2 15 42 Terem4 Terem5" << row("Terem4", "Terem5", 8, "- - -", 0, " Még 15 percig várunk", 42);
    QTest::newRow("-3: just finished, 7 : 9")
        << "2 -3 7 9 A B" << row("A", "B", 2, "7 : 9", -2, " Befejeződött", 0);
    QTest::newRow("-10: finished ten minutes ago, no leading blank")
        << "2 -10 8 8 A B" << row("A", "B", 2, "8 : 8", 0, "10 perce befejeződött", 0);
    QTest::newRow("-4: the first of the minutes-ago codes")
        << "2 -4 1 0 A B" << row("A", "B", 2, "1 : 0", 1, "4 perce befejeződött", 0);
    QTest::newRow("0: running, nothing played yet")
        << "16 0 0 0 A B" << row("A", "B", 16, "0 : 0", 0, " 0 leosztás után", 0);
    QTest::newRow("6: running after six deals")
        << "16 6 120 -35 A B" << row("A", "B", 16, "120 : -35", 155, " 6 leosztás után", 0);
    QTest::newRow("room names cut to eight characters")
        << "2 1 0 0 Teremszoba123 Nagyteremben" << row("Teremszo", "Nagytere", 2, "0 : 0", 0, " 1 leosztás után", 0);
    QTest::newRow("score cut to ten characters, the difference whole")
        << "2 -3 123456 -98765 A B" << row("A", "B", 2, "123456 : -", 222221, " Befejeződött", 0);
    QTest::newRow("difference beyond 32 bits")
        << QStringLiteral("2 -3 %1 %2 A B").arg(Max).arg(Min)
        << row("A", "B", 2, "2147483647", qint64(Max) - Min, " Befejeződött", 0);
    QTest::newRow("lowest state code negated in 64 bits")
        << QStringLiteral("2 %1 0 0 A B").arg(Min) << row("A", "B", 2, "0 : 0", 0, "2147483648 perce befejez", 0);
    QTest::newRow("minutes text cut to 24 characters")
        << QStringLiteral("2 -2 %1 9 A B").arg(Min) << row("A", "B", 2, "- - -", 0, " Még -2147483648 percig ", 9);
    QTest::newRow("a negative id is kept, and allows no delete")
        << "2 -1 3 -5 A B" << row("A", "B", 2, "- - -", 0, " 3 perc múlva kezdődik", -5);
    QTest::newRow("missing words read as zero and empty")
        << "6 -1" << row("", "", 6, "- - -", 0, " 0 perc múlva kezdődik", 0);
}

void TstMatch::rows()
{
    QFETCH(QString, words);
    QFETCH(TMatchRow, expected);
    QString text = words;
    const TMatchRow got = ReadMatchRow(text);
    QCOMPARE(got.Tab1, expected.Tab1);
    QCOMPARE(got.Tab2, expected.Tab2);
    QCOMPARE(got.Leo, expected.Leo);
    QCOMPARE(got.Res, expected.Res);
    QCOMPARE(got.Dif, expected.Dif);
    QCOMPARE(got.Status, expected.Status);
    QCOMPARE(got.Id, expected.Id);
    QCOMPARE(text, QString());
}

void TstMatch::listPage()
{
    TestClient c;
    TMatch *m = c.ctx.match;
    QVERIFY(!m->isVisible());
    feed(c, QStringLiteral("R0 4 -1 5 42 Terem4 Terem5 2 -3 7 9 Terem6 Terem7 2 -3 8 8 Terem8 Terem9 "
                           "16 6 120 -35 Terem2 Terem3"));
    QCOMPARE(c.dialogs->errors(), QStringList());
    QVERIFY(m->isVisible());
    QVERIFY(!m->isModal());
    QCOMPARE(m->windowTitle(), QStringLiteral("Csapatmérkőzés"));
    QCOMPARE(m->Page->currentWidget(), m->TabAll);
    QCOMPARE(m->RowCount(), 4);
    // Rows keep the club's order; the first is current.
    QCOMPARE(m->CurrentRow(), 0);
    QVERIFY(m->btDelete->isEnabled());
    // What the grid shows: Dif blank for zero, "-2" for 7 : 9, the id hidden.
    const QAbstractItemModel *model = m->Grid->model();
    QCOMPARE(model->headerData(TMatch::Tab1, Qt::Horizontal).toString(), QStringLiteral(" Terem 1."));
    QCOMPARE(model->headerData(TMatch::Leo, Qt::Horizontal).toString(), QStringLiteral(" Leo"));
    QCOMPARE(model->headerData(TMatch::Res, Qt::Horizontal).toString(), QStringLiteral("     Állás"));
    QCOMPARE(model->headerData(TMatch::Dif, Qt::Horizontal).toString(), QStringLiteral("  + -"));
    QCOMPARE(model->headerData(TMatch::Status, Qt::Horizontal).toString(), QStringLiteral("      Állapot"));
    QVERIFY(m->Grid->isColumnHidden(TMatch::Id));
    QCOMPARE(model->index(0, TMatch::Dif).data().toString(), QString());
    QCOMPARE(model->index(1, TMatch::Dif).data().toString(), QStringLiteral("-2"));
    QCOMPARE(model->index(2, TMatch::Dif).data().toString(), QString());
    QCOMPARE(model->index(3, TMatch::Dif).data().toString(), QStringLiteral("155"));
    QCOMPARE(model->index(3, TMatch::Status).data().toString(), QStringLiteral(" 6 leosztás után"));
    QCOMPARE(model->index(0, TMatch::Leo).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    // Delete is offered exactly on the row with an id.
    for (int r : {1, 2, 3, 0}) {
        m->SetCurrentRow(r);
        QCOMPARE(m->btDelete->isEnabled(), r == 0);
    }
    // A new list replaces the old one.
    feed(c, QStringLiteral("R0 2 -3 1 2 A B"));
    QCOMPARE(m->RowCount(), 1);
    QVERIFY(!m->btDelete->isEnabled());
}

void TstMatch::emptyListAndDelete()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    feed(c, QStringLiteral("R0"));
    QVERIFY(m->isVisible());
    QCOMPARE(m->RowCount(), 0);
    QVERIFY(!m->btDelete->isEnabled());

    feed(c, QStringLiteral("R0 2 -3 1 2 A B 8 -2 15 42 Terem4 Terem5"));
    m->SetCurrentRow(1);
    QVERIFY(m->btDelete->isEnabled());
    m->btDelete->click();
    QCOMPARE(sent(club, c), (QStringList{"R2 42", "R"}));
    QVERIFY(!m->isVisible());
    QCOMPARE(c.dialogs->errors(), QStringList());

    feed(c, QStringLiteral("R0 2 -3 1 2 A B"));
    m->btRefresh->click();
    QCOMPARE(sent(club, c), QStringList{"R"});
    QVERIFY(!m->isVisible());
}

void TstMatch::badRowKeepsEarlierRows()
{
    TestClient c;
    TMatch *m = c.ctx.match;
    feed(c, QStringLiteral("R0 2 -3 1 2 A B 4 x 0 0 C D"));
    QCOMPARE(c.dialogs->errors().size(), 1);
    QVERIFY(c.dialogs->errors().first().contains(QStringLiteral("'x'")));
    QCOMPARE(m->RowCount(), 1);
    QCOMPARE(m->Row(0).Res, QStringLiteral("1 : 2"));
}

void TstMatch::proposal_data()
{
    QTest::addColumn<int>("dealsIndex");
    QTest::addColumn<QString>("time");
    QTest::addColumn<TLineUp>("lineUp");
    QTest::addColumn<QString>("result");

    const TLineUp cells = namedCells();
    const QString order = QStringLiteral("c1r1 c2r1 c2r4 c1r4 c2r3 c1r3 c1r2 c2r2");
    QTest::newRow("line-up order") << 3 << " 10" << cells << "R0 8 10 " + order;
    QTest::newRow("no deals chosen sends 0") << -1 << "  1" << cells << "R0 0 1 " + order;
    QTest::newRow("sixteen deals") << 7 << " 60" << cells << "R0 16 60 " + order;
    QTest::newRow("a time typed by hand") << 0 << "45" << cells << "R0 2 45 " + order;
    QTest::newRow("a negative time is the club's to refuse") << 0 << "-5" << cells << "R0 2 -5 " + order;
    QTest::newRow("time not a number") << 0 << "tíz" << cells << "Hibás kezdési idő";
    QTest::newRow("time with a trailing blank") << 0 << " 10 " << cells << "Hibás kezdési idő";
    QTest::newRow("time empty") << 0 << "" << cells << "Hibás kezdési idő";
    QTest::newRow("time beyond 32 bits") << 0 << "4294967296" << cells << "Hibás kezdési idő";
    QTest::newRow("time checked before names") << 0 << "x" << with(cells, 2, 2, "") << "Hibás kezdési idő";
    QTest::newRow("empty cell") << 0 << "1" << with(cells, 2, 2, "") << "Hibás név ";
    QTest::newRow("one letter after blanks go") << 0 << "1" << with(cells, 1, 3, " X ") << "Hibás név X";
    QTest::newRow("cells read column by column") << 0 << "1" << with(with(cells, 2, 1, "Y"), 1, 4, "Z")
                                                  << "Hibás név Z";
    QTest::newRow("blanks inside a name go") << 0 << "1" << with(cells, 1, 1, " Ki  Rály ")
                                              << "R0 2 1 KiRály c2r1 c2r4 c1r4 c2r3 c1r3 c1r2 c2r2";
    QTest::newRow("names equal after blank removal") << 0 << "1"
                                                     << with(with(cells, 1, 1, "Ki Rály"), 2, 3, "KiRály")
                                                     << "Minden név csak 1x szerepelhet";
    QTest::newRow("names differing in case are two") << 0 << "1"
                                                      << with(with(cells, 1, 1, "anna"), 2, 4, "Anna")
                                                      << "R0 2 1 anna c2r1 Anna c1r4 c2r3 c1r3 c1r2 c2r2";
    QTest::newRow("short name reported before a repeat") << 0 << "1"
                                                          << with(with(with(cells, 1, 1, "Ab"), 1, 2, "Ab"), 2, 4, "Q")
                                                          << "Hibás név Q";
}

void TstMatch::proposal()
{
    QFETCH(int, dealsIndex);
    QFETCH(QString, time);
    QFETCH(TLineUp, lineUp);
    QFETCH(QString, result);
    try {
        QCOMPARE(ProposalLine(dealsIndex, time, lineUp), result);
    } catch (const VimoError &e) {
        QCOMPARE(e.text(), result);
    }
}

void TstMatch::lineUpOrderBothWays()
{
    // Line-up position k sits in the cell the order names, whichever way the names travel.
    const QString words = QStringLiteral("P1 P2 P3 P4 P5 P6 P7 P8");
    QString text = words;
    const TLineUp lineUp = ReadLineUp(text);
    const QStringList cells = {lineUp[0][0], lineUp[1][0], lineUp[1][3], lineUp[0][3],
                               lineUp[1][2], lineUp[0][2], lineUp[0][1], lineUp[1][1]};
    QCOMPARE(cells, words.split(QLatin1Char(' ')));
    // Team 1 (column 1): positions 1, 4, 6, 7; rows Induló, Elfogó, Induló, Elfogó.
    QCOMPARE(QStringList({lineUp[0][0], lineUp[0][1], lineUp[0][2], lineUp[0][3]}),
             (QStringList{"P1", "P7", "P6", "P4"}));
    QCOMPARE(ProposalLine(0, QStringLiteral("5"), lineUp), QStringLiteral("R0 2 5 ") + words);

    // Through the window: an invitation's names land in those cells.
    TestClient c;
    feed(c, QStringLiteral("R3 9 2 5 ") + words);
    QCOMPARE(c.ctx.match->LineUp(), lineUp);
    QCOMPARE(c.ctx.match->Sg->item(3, 0)->text(), QStringLiteral("P4")); // column 1, row 4
}

void TstMatch::newMatchPage()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    feed(c, QStringLiteral("L3 Társalgó 2 Anna Béla Terem1 1 R&B Terem2 0"));
    TMatch *m = c.ctx.match;
    feed(c, QStringLiteral("R0"));
    m->btNew->click();
    QCOMPARE(m->Page->currentWidget(), m->TabInvit);
    QCOMPARE(m->fdInvit->text(), QStringLiteral("Új mérkózés"));
    QCOMPARE(m->btAccept->text(), QStringLiteral("OK"));
    QCOMPARE(m->btAccept->width(), m->btClose->width());
    QVERIFY(m->fdLeo->isEnabled());
    QVERIFY(m->fdTime->isEnabled());
    QVERIFY(m->Editing());
    QCOMPARE(m->LineUp()[0][0], QStringLiteral("Anna"));
    QCOMPARE(m->InvitationId(), 0);
    QCOMPARE(m->NameItems(), (QStringList{"Anna", "Béla", "R&B"}));
    QCOMPARE(m->fdLeo->currentIndex(), -1);
    QCOMPARE(m->Sg->horizontalHeaderItem(0)->text(), QStringLiteral("  Csapat 1."));
    QCOMPARE(m->Sg->verticalHeaderItem(3)->text(), QStringLiteral("  Elfogó"));

    // A name chosen from the popup goes into the current cell; an "&" stays a letter.
    m->Sg->setCurrentCell(1, 1);
    m->fdNames->actions().at(2)->trigger();
    QCOMPARE(m->LineUp()[1][1], QStringLiteral("R&B"));

    // The popup is rebuilt each time: the rooms as they are now.
    feed(c, QStringLiteral("L1 Társalgó 1 Anna"));
    feed(c, QStringLiteral("R0"));
    m->btNew->click();
    QCOMPARE(m->NameItems(), QStringList{"Anna"});
    // Cells, deals and time keep what they held.
    QCOMPARE(m->LineUp()[1][1], QStringLiteral("R&B"));
}

void TstMatch::proposeFromWindow()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    feed(c, QStringLiteral("R0"));
    m->btNew->click();
    const QStringList others = {"Robot1", "Robot2", "Robot3", "Robot4", "Robot5", "Robot6", "Robot7"};
    // Anna in (1, 1); the robots fill the other cells column by column.
    int k = 0;
    for (int col = 1; col <= 2; ++col)
        for (int r = 1; r <= 4; ++r)
            if (col != 1 || r != 1)
                m->SetCell(col, r, others[k++]);
    m->fdLeo->setCurrentIndex(0);
    m->fdTime->setEditText(QStringLiteral("  1"));
    m->btAccept->click();
    QCOMPARE(c.dialogs->errors(), QStringList());
    QVERIFY(!m->isVisible());
    // Cells by column: Anna R1 R2 R3 | R4 R5 R6 R7, sent in line-up order.
    QCOMPARE(sent(club, c), QStringList{"R0 2 1 Anna Robot4 Robot7 Robot3 Robot6 Robot2 Robot1 Robot5"});
}

void TstMatch::failedProposalKeepsWindow()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    feed(c, QStringLiteral("R0"));
    m->btNew->click();
    m->fdTime->setEditText(QStringLiteral("soon"));
    m->btAccept->click();
    QCOMPARE(c.dialogs->errors(), QStringList{"Hibás kezdési idő"});
    QVERIFY(m->isVisible());
    QCOMPARE(m->fdTime->currentText(), QStringLiteral("soon"));
    m->fdTime->setEditText(QStringLiteral("10"));
    m->btAccept->click();
    QCOMPARE(c.dialogs->errors().last(), QStringLiteral("Hibás név "));
    QVERIFY(m->isVisible());
    QCOMPARE(m->LineUp()[0][0], QStringLiteral("Anna"));
    QCOMPARE(sent(club, c), QStringList());
}

void TstMatch::invitationPage_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<qint32>("id");
    QTest::addColumn<int>("dealsIndex");
    QTest::addColumn<QString>("time");

    QTest::newRow("8 deals select the item of 8") << Invitation << 77 << 3 << "  45";
    QTest::newRow("any k other than 0 invites") << "R-4 5 16 1 A B C D E F G H" << 5 << 7 << "  1";
    QTest::newRow("3 deals truncate to the item of 2") << "R1 6 3 10 A B C D E F G H" << 6 << 0 << "  10";
    QTest::newRow("0 deals choose nothing") << "R1 6 0 10 A B C D E F G H" << 6 << -1 << "  10";
    QTest::newRow("deals beyond the list choose nothing") << "R1 6 40 10 A B C D E F G H" << 6 << -1 << "  10";
    QTest::newRow("negative deals choose nothing") << "R1 6 -4 10 A B C D E F G H" << 6 << -1 << "  10";
}

void TstMatch::invitationPage()
{
    QFETCH(QString, line);
    QFETCH(qint32, id);
    QFETCH(int, dealsIndex);
    QFETCH(QString, time);
    TestClient c;
    TMatch *m = c.ctx.match;
    feed(c, line);
    QCOMPARE(c.dialogs->errors(), QStringList());
    QVERIFY(m->isVisible());
    QCOMPARE(m->Page->currentWidget(), m->TabInvit);
    QCOMPARE(m->InvitationId(), id);
    QCOMPARE(m->fdLeo->currentIndex(), dealsIndex);
    QCOMPARE(m->fdTime->currentText(), time);
    QVERIFY(!m->fdLeo->isEnabled());
    QVERIFY(!m->fdTime->isEnabled());
    QVERIFY(!m->Editing());
    QCOMPARE(m->Sg->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!m->Sg->currentIndex().isValid());
    QCOMPARE(m->btAccept->text(), QStringLiteral("Elfogadom"));
    QCOMPARE(m->btAccept->width(), 105);
    QCOMPARE(m->fdInvit->text(), QStringLiteral("Meghívás mérkőzésre"));
}

void TstMatch::acceptSendsOnlyR1()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    feed(c, Invitation);
    m->btAccept->click();
    QVERIFY(!m->isVisible());
    QCOMPARE(m->InvitationId(), 0);
    QCOMPARE(sent(club, c), QStringList{"R1 77"});
    // The next list hides nothing that could still be declined.
    feed(c, QStringLiteral("R0"));
    QCOMPARE(sent(club, c), QStringList());
}

void TstMatch::closingDeclines()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    feed(c, Invitation);
    m->btClose->click();
    QVERIFY(!m->isVisible());
    QCOMPARE(sent(club, c), QStringList{"R2 77"});

    // The title bar's close box and Escape decline as well; once.
    feed(c, Invitation);
    m->close();
    QVERIFY(!m->isVisible());
    feed(c, QStringLiteral("R1 78 2 1 A B C D E F G H"));
    QTest::keyClick(m, Qt::Key_Escape);
    QVERIFY(!m->isVisible());
    QCOMPARE(sent(club, c), (QStringList{"R2 77", "R2 78"}));

    // Closing the list or a new match page sends nothing.
    feed(c, QStringLiteral("R0"));
    m->btClose->click();
    feed(c, QStringLiteral("R0"));
    m->btNew->click();
    m->btClose->click();
    QCOMPARE(sent(club, c), QStringList());
}

void TstMatch::secondInvitationDeclinesFirst()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    feed(c, Invitation);
    feed(c, QStringLiteral("R1 90 2 1 A B C D E F G H"));
    QCOMPARE(sent(club, c), QStringList{"R2 77"});
    QCOMPARE(m->InvitationId(), 90);
    QCOMPARE(m->LineUp()[0][0], QStringLiteral("A"));
    m->btAccept->click();
    QCOMPARE(sent(club, c), QStringList{"R1 90"});
}

void TstMatch::listAfterInvitationDeclines()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    feed(c, Invitation);
    feed(c, QStringLiteral("R0 2 -1 1 77 A B"));
    QCOMPARE(sent(club, c), QStringList{"R2 77"});
    QCOMPARE(m->InvitationId(), 0);
    QCOMPARE(m->Page->currentWidget(), m->TabAll);
    // A malformed invitation shows nothing and leaves nothing to decline.
    feed(c, QStringLiteral("R1 91 x 1 A B C D E F G H"));
    QCOMPARE(c.dialogs->errors().size(), 1);
    QVERIFY(!m->isVisible());
    QCOMPARE(m->InvitationId(), 0);
    feed(c, QStringLiteral("R0"));
    QCOMPARE(sent(club, c), QStringList());
}

void TstMatch::nameOnlyWhileEditing()
{
    TestClient c;
    TMatch *m = c.ctx.match;
    feed(c, Invitation);
    m->Sg->setCurrentCell(0, 0);
    m->cmName(QStringLiteral("Zoli"));
    QCOMPARE(m->LineUp()[0][0], QStringLiteral("Anna"));
}

void TstMatch::hidesOnLostConnection()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    QSignalSpy sentLines(&c.ctx.link(), &Link::lineSent);
    club.send(Invitation);
    QTRY_VERIFY(m->isVisible());
    QCOMPARE(m->InvitationId(), 77);
    club.closeClient();
    QTRY_VERIFY(c.chatLines().contains(QStringLiteral(">>> A kapcsolat mexakadt")));
    QVERIFY(!m->isVisible());
    QCOMPARE(m->InvitationId(), 0);
    QCOMPARE(sentLines.count(), 0);
    QCOMPARE(c.dialogs->errors(), QStringList());

    // Logged in again, the old invitation cannot be answered, and nothing is declined.
    QVERIFY(c.connectTo(club));
    feed(c, QStringLiteral("R0"));
    m->btClose->click();
    QCOMPARE(sent(club, c), QStringList());
}

void TstMatch::hidesWhenUserDisconnects()
{
    FakeClub club;
    TestClient c;
    QVERIFY(connected(club, c));
    TMatch *m = c.ctx.match;
    QSignalSpy sentLines(&c.ctx.link(), &Link::lineSent);
    feed(c, Invitation);
    c.ctx.link().close();
    QVERIFY(!m->isVisible());
    QCOMPARE(m->InvitationId(), 0);
    QCOMPARE(sentLines.count(), 0);
    QCOMPARE(c.dialogs->errors(), QStringList());
}

QTEST_MAIN(TstMatch)
#include "tst_match.moc"
