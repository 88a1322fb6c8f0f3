// The announcement catalogue and its window: exact names, hints, ordering by a column.
#include "TestClient.h"

#include "bidding/BidRules.h"
#include "bidding/Catalogue.h"
#include "bidding/Points.h"

#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {
const QString NB = QString(QChar(0x00A0));
}

class TestCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void rows();
    void editorGroupsNameCatalogueRows_data();
    void editorGroupsNameCatalogueRows();
    void hintOf_data();
    void hintOf();
    void hintOfMovesTheCurrentRow();
    void windowStartsOnRowOne();
    void titles();
    void orderByClickedTitleAndBack();
    void orderByNameIsHungarian();

private:
    static QStringList shownNames(const TTkForm *form);
    static QString statusText(const TTkForm *form);
    static void clickTitle(TTkForm *form, const QString &title);
};

void TestCatalogue::rows()
{
    const QList<TAnnouncement> &rows = Catalogue::Rows();
    QCOMPARE(rows.size(), 67);
    QCOMPARE(rows[0].Tk, u"Négy"_s + NB + u"király"_s);
    QCOMPARE(rows[3].Tk, u"Csendes"_s + NB + u"XXI"_s);
    QCOMPARE(rows[10].Tk, u"L\u00B4amour"_s);
    QCOMPARE(rows[26].Tk, NB + u"ulti"_s);
    QCOMPARE(rows[33].Tk, NB + u"banda"_s);
    QCOMPARE(rows[43].Tk, NB + u"mariage"_s);
    QCOMPARE(rows[66].Tk, u"Royal"_s);
    QCOMPARE(rows[66].Made, 300);
    QCOMPARE(rows[46].Made, 150); // XXI-fogás
    QCOMPARE(rows[46].Down, 20);
    // The longest hint is whole, closing bracket included.
    QCOMPARE(rows[0].Hint.size(), 65);
    QVERIFY(rows[0].Hint.endsWith(u')'));
    for (int i = 4; i <= 8; ++i) {
        QCOMPARE(rows[i].Note, u"Jelzés"_s);
        QCOMPARE(rows[i].Made, 0);
        QCOMPARE(rows[i].Down, 0);
    }
    for (const TAnnouncement &a : rows) {
        QVERIFY2(a.Tk.size() <= 12 && a.Note.size() <= 12, qPrintable(a.Tk));
        QVERIFY2(!a.Tk.contains(u' '), qPrintable(a.Tk)); // one word of a bid text
        QVERIFY(a.Made >= 0 && a.Down >= 0);
        QVERIFY(!a.Hint.isEmpty());
    }
}

void TestCatalogue::editorGroupsNameCatalogueRows_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<int>("size");
    QTest::newRow("Biztatók") << int(BidRules::Encouragers) << QStringList{u"Biztató"_s} << 6;
    QTest::newRow("Ütések") << int(BidRules::Tricks) << QStringList{u"Ütésszám"_s, u"Kötött ütés"_s} << 11;
    QTest::newRow("Magasítók") << int(BidRules::Raisers) << QStringList{u"Magasító"_s} << 7;
    QTest::newRow("Elfogók") << int(BidRules::Captures) << QStringList{u"Elfogó"_s} << 6;
    QTest::newRow("Extrák") << int(BidRules::Extras) << QStringList{u"Extra"_s} << 7;
    QTest::newRow("Trófeák") << int(BidRules::Trophies) << QStringList{u"Trófea"_s} << 9;
    QTest::newRow("Volát trófeák") << int(BidRules::VolatTrophies) << QStringList{u"Volát trófea"_s} << 12;
}

void TestCatalogue::editorGroupsNameCatalogueRows()
{
    // Every name the editor offers is a catalogue name, character for character, of the
    // matching group, and each group offers every row of its kind.
    QFETCH(int, group);
    QFETCH(QStringList, notes);
    QFETCH(int, size);
    const QStringList entries = BidRules::GroupEntries(group);
    QCOMPARE(entries.size(), size);
    int rowsOfKind = 0;
    for (const TAnnouncement &a : Catalogue::Rows())
        rowsOfKind += notes.contains(a.Note);
    QCOMPARE(rowsOfKind, size);
    for (const QString &name : entries) {
        const int row = Catalogue::IndexOf(name);
        QVERIFY2(row >= 0, qPrintable(name));
        QVERIFY2(notes.contains(Catalogue::Rows()[row].Note), qPrintable(name));
    }
}

void TestCatalogue::hintOf_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::newRow("ulti") << NB + u"ulti"_s << u"A 10. (utolsó) ütés elvitele a megnevezett magasítóval"_s;
    QTest::newRow("ulti without its no-break space") << u"ulti"_s << QString();
    QTest::newRow("ulti with a blank") << u" ulti"_s << QString();
    QTest::newRow("composed bid") << u"Pagát"_s + NB + u"ulti"_s << QString();
    QTest::newRow("row 1 with a blank") << u"Négy király"_s << QString();
    QTest::newRow("row 1") << u"Négy"_s + NB + u"király"_s
                           << u"Az összes király elvitele (Volát, Légió, stb. esetén is érvényes)"_s;
    QTest::newRow("apostrophe is not the accent") << u"L'amour"_s << QString();
    QTest::newRow("L´amour") << u"L\u00B4amour"_s << u"A XIX elvitele"_s;
    QTest::newRow("letter case counts") << u"gém"_s << QString();
    QTest::newRow("Matador") << u"Matador"_s
                             << u"Matador a kézben (Pagát I, sas II, kakadu III vagy kanári IIII)"_s;
}

void TestCatalogue::hintOf()
{
    QFETCH(QString, name);
    QFETCH(QString, hint);
    QCOMPARE(Catalogue::HintOf(name), hint);
    TestClient client;
    QCOMPARE(client.ctx.tk->HintOf(name), hint);
}

QString TestCatalogue::statusText(const TTkForm *form)
{
    return form->StatusBar->findChild<QLabel *>()->text();
}

void TestCatalogue::hintOfMovesTheCurrentRow()
{
    TestClient client;
    TTkForm *tk = client.ctx.tk;
    QVERIFY(!tk->isVisible());
    tk->HintOf(u"Kassza"_s);
    QCOMPARE(tk->CurrentRow(), 16);
    QCOMPARE(statusText(tk), u"Bármelyik 6 ütés elvitele"_s);
    const QModelIndexList selected = tk->DBGrid->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().data().toString(), u"Kassza"_s);
    // A name that is not there leaves the current row alone.
    QCOMPARE(tk->HintOf(u"Kassza "_s), QString());
    QCOMPARE(tk->CurrentRow(), 16);
}

void TestCatalogue::windowStartsOnRowOne()
{
    TestClient client;
    TTkForm *tk = client.ctx.tk;
    QCOMPARE(tk->windowTitle(), u"Bemondások jutalma és büntetése"_s);
    QCOMPARE(tk->CurrentRow(), 0);
    QCOMPARE(statusText(tk), Catalogue::Rows()[0].Hint);
    QCOMPARE(tk->size(), QSize(314, 350));
    QVERIFY(!(tk->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(tk->windowFlags() & Qt::WindowCloseButtonHint);
    // The main menu's "&Pontok..." shows it.
    client.frame()->menuItem("mnPoint")->trigger();
    QVERIFY(tk->isVisible());
}

void TestCatalogue::titles()
{
    TestClient client;
    const QTableView *grid = client.ctx.tk->DBGrid;
    const QAbstractItemModel *m = grid->model();
    QCOMPARE(m->columnCount(), 5);
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), u"  Bemondás"_s);
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), u" Teljesítés"_s);
    QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), u"    Bukás"_s);
    QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), u"       Csoport"_s);
    QVERIFY(grid->isColumnHidden(4));
    QVERIFY(!grid->isColumnHidden(3));
    QCOMPARE(m->index(4, 1).data().toInt(), 0);
    QCOMPARE(m->index(4, 2).data().toInt(), 0);
    QCOMPARE(m->index(15, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QVERIFY(!(m->flags(m->index(0, 0)) & Qt::ItemIsEditable));
    // Columns are at least as wide as their character counts and their titles.
    const int letter = grid->fontMetrics().averageCharWidth();
    const int counts[] = {12, 9, 9};
    for (int c = 0; c < 3; ++c) {
        QVERIFY(grid->columnWidth(c) >= counts[c] * letter);
        QVERIFY(grid->columnWidth(c) >= grid->horizontalHeader()->sectionSizeHint(c));
    }
}

QStringList TestCatalogue::shownNames(const TTkForm *form)
{
    QStringList names;
    const QAbstractItemModel *m = form->DBGrid->model();
    for (int r = 0; r < m->rowCount(); ++r)
        names << m->index(r, Catalogue::Tk).data().toString();
    return names;
}

void TestCatalogue::clickTitle(TTkForm *form, const QString &title)
{
    QHeaderView *header = form->DBGrid->horizontalHeader();
    int section = -1;
    for (int s = 0; s < header->count(); ++s)
        if (header->model()->headerData(s, Qt::Horizontal).toString() == title)
            section = s;
    QVERIFY2(section >= 0, qPrintable(title));
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void TestCatalogue::orderByClickedTitleAndBack()
{
    TestClient client;
    TTkForm *tk = client.ctx.tk;
    tk->show();
    QVERIFY(QTest::qWaitForWindowExposed(tk));
    QStringList catalogueOrder;
    for (const TAnnouncement &a : Catalogue::Rows())
        catalogueOrder << a.Tk;
    QCOMPARE(shownNames(tk), catalogueOrder);
    // At its first size every column shows whole: nothing to scroll sideways, the group
    // column holds its widest text.
    QCOMPARE(tk->DBGrid->horizontalScrollBar()->maximum(), 0);
    QVERIFY(tk->DBGrid->columnWidth(Catalogue::Note)
            > tk->DBGrid->fontMetrics().horizontalAdvance(u"Kötött ütés"_s));
    tk->HintOf(u"Gém"_s);

    clickTitle(tk, u"    Bukás"_s);
    QCOMPARE(tk->OrderColumn(), int(Catalogue::Down));
    const QAbstractItemModel *m = tk->DBGrid->model();
    // Ascending by penalty; equal penalties keep their catalogue order.
    QList<int> rowsByPenalty(67);
    std::iota(rowsByPenalty.begin(), rowsByPenalty.end(), 0);
    std::stable_sort(rowsByPenalty.begin(), rowsByPenalty.end(), [](int a, int b) {
        return Catalogue::Rows()[a].Down < Catalogue::Rows()[b].Down;
    });
    for (int r = 0; r < 67; ++r)
        QCOMPARE(m->index(r, Catalogue::Tk).data().toString(), Catalogue::Rows()[rowsByPenalty[r]].Tk);
    QCOMPARE(m->index(9, Catalogue::Tk).data().toString(), u"Vizi"_s);
    QCOMPARE(m->index(66, Catalogue::Tk).data().toString(), u"Royal"_s);
    QCOMPARE(m->index(66, Catalogue::Down).data().toInt(), 30);
    // The current row stays with its announcement.
    QCOMPARE(tk->CurrentRow(), 15);
    QCOMPARE(statusText(tk), u"Bármelyik 5 ütés elvitele"_s);

    clickTitle(tk, u"    Bukás"_s);
    QCOMPARE(tk->OrderColumn(), -1);
    QCOMPARE(shownNames(tk), catalogueOrder);
    QCOMPARE(shownNames(tk).first(), u"Négy"_s + NB + u"király"_s);
    QCOMPARE(tk->CurrentRow(), 15);

    // Another title orders by that one; the one after it replaces it.
    clickTitle(tk, u" Teljesítés"_s);
    QCOMPARE(tk->OrderColumn(), int(Catalogue::Made));
    QCOMPARE(m->index(66, Catalogue::Made).data().toInt(), 300);
    clickTitle(tk, u"       Csoport"_s);
    QCOMPARE(tk->OrderColumn(), int(Catalogue::Note));
    QCOMPARE(m->index(0, Catalogue::Note).data().toString(), u"Biztató"_s);
    QCOMPARE(m->index(66, Catalogue::Note).data().toString(), u"Volát trófea"_s);
}

void TestCatalogue::orderByNameIsHungarian()
{
    TestClient client;
    TTkForm *tk = client.ctx.tk;
    tk->DBGridTitleClick(Catalogue::Tk);
    const QStringList names = shownNames(tk);
    // Accented vowels sort with their letters, not after "z" as their code points would.
    QVERIFY(names.indexOf(u"Légió"_s) < names.indexOf(u"Les"_s));
    QVERIFY(names.indexOf(u"Főnix"_s) < names.indexOf(u"Full"_s));
    QVERIFY(names.indexOf(u"Hárpia"_s) < names.indexOf(u"Héja"_s));
    QVERIFY(names.indexOf(u"Héja"_s) < names.indexOf(u"Honőr"_s));
    // The hidden hint column cannot be chosen.
    tk->DBGridTitleClick(Catalogue::Hint);
    QCOMPARE(tk->OrderColumn(), int(Catalogue::Tk));
}

int runCatalogue(int argc, char **argv)
{
    TestCatalogue t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_catalogue.moc"
