// The announcement catalogue and its window.

#include "TestClient.h"

#include "bidding/Catalogue.h"
#include "bidding/Points.h"
#include "session/Cp1250.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTest>

static const QString NB(QChar(0x00A0));

class TstPoints : public QObject
{
    Q_OBJECT
private slots:
    void catalogueNames();
    void hintOf_data();
    void hintOf();
    void hintMovesCurrentRow();
    void windowAtStart();
    void orderByColumnAndBack();
};

void TstPoints::catalogueNames()
{
    QCOMPARE(Catalogue::Row(0).Name(), QStringLiteral("Négy") + NB + QStringLiteral("király"));
    QCOMPARE(Catalogue::Row(10).Name(), QStringLiteral("L\u00B4amour"));
    QCOMPARE(Cp1250::encode(Catalogue::Row(10).Name()), QByteArray("L\xB4" "amour"));
    QCOMPARE(Catalogue::Row(26).Name(), NB + QStringLiteral("ulti"));
    QCOMPARE(Catalogue::Row(66).Name(), QStringLiteral("Royal"));
    for (int i = 0; i < Catalogue::Count; ++i) {
        const Announcement &a = Catalogue::Row(i);
        QVERIFY2(!a.Name().contains(QLatin1Char(' ')), qPrintable(a.Name())); // one word each
        QVERIFY(a.Name().size() <= 12);
        QVERIFY(a.made >= 0 && a.down >= 0);
        QCOMPARE(Catalogue::IndexOf(a.Name()), i); // names are unique
    }
    for (int i = 4; i <= 8; ++i)
        QVERIFY(Catalogue::Row(i).made == 0 && Catalogue::Row(i).down == 0);
}

void TstPoints::hintOf_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::newRow("raiser with its no-break space") << NB + "ulti" << "A 10. (utolsó) ütés elvitele a megnevezett magasítóval";
    QTest::newRow("without the no-break space") << "ulti" << "";
    QTest::newRow("with a plain blank") << " ulti" << "";
    QTest::newRow("composed bid") << "Pagát" + NB + "ulti" << "";
    QTest::newRow("two words, no-break space")
        << "Négy" + NB + "király" << "Az összes király elvitele (Volát, Légió, stb. esetén is érvényes)";
    QTest::newRow("two words, plain blank") << "Négy király" << "";
    QTest::newRow("case counts") << "gém" << "";
}

void TstPoints::hintOf()
{
    QFETCH(QString, name);
    QFETCH(QString, hint);
    QCOMPARE(Catalogue::HintOf(name), hint);
    TestClient c;
    QCOMPARE(c.ctx.tk->HintOf(name), hint);
}

void TstPoints::hintMovesCurrentRow()
{
    TestClient c;
    TTkForm *tk = c.ctx.tk;
    QCOMPARE(tk->HintOf(QStringLiteral("Kassza")), QStringLiteral("Bármelyik 6 ütés elvitele"));
    QCOMPARE(tk->CurrentRow(), 16);
    QCOMPARE(tk->StatusPanel->text(), QStringLiteral("Bármelyik 6 ütés elvitele"));
    QVERIFY(tk->HintOf(QStringLiteral("nincs ilyen")).isEmpty());
    QCOMPARE(tk->CurrentRow(), 16); // a miss moves nothing
}

void TstPoints::windowAtStart()
{
    TestClient c;
    TTkForm *tk = c.ctx.tk;
    QCOMPARE(tk->windowTitle(), QStringLiteral("Bemondások jutalma és büntetése"));
    QCOMPARE(tk->CurrentRow(), 0);
    QVERIFY(tk->StatusPanel->text().endsWith(QLatin1Char(')'))); // the longest hint, whole
    qsizetype longest = 0;
    for (int i = 0; i < Catalogue::Count; ++i)
        longest = std::max(longest, Catalogue::Row(i).Hint().size());
    QCOMPARE(tk->StatusPanel->text().size(), longest);
    QAbstractItemModel *m = tk->DBGrid->model();
    QCOMPARE(m->rowCount(), 67);
    QStringList titles;
    for (int col = 0; col < 4; ++col)
        titles << m->headerData(col, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"  Bemondás", " Teljesítés", "    Bukás", "       Csoport"}));
    QVERIFY(tk->DBGrid->isColumnHidden(TTkForm::Hint));
    QCOMPARE(tk->DBGrid->editTriggers(), QAbstractItemView::NoEditTriggers);
    // The menu item shows the window.
    c.frame()->SetPlaceMenus(true);
    c.frame()->menuItem("mnPoint")->trigger();
    QVERIFY(tk->isVisible());
}

void TstPoints::orderByColumnAndBack()
{
    TestClient c;
    TTkForm *tk = c.ctx.tk;
    QAbstractItemModel *m = tk->DBGrid->model();
    const auto column = [&](int col) {
        QList<int> values;
        for (int row = 0; row < m->rowCount(); ++row)
            values << m->index(row, col).data().toInt();
        return values;
    };
    tk->DBGrid->horizontalHeader()->sectionClicked(TTkForm::Down); // "    Bukás"
    const QList<int> downs = column(TTkForm::Down);
    QVERIFY(std::is_sorted(downs.begin(), downs.end()));
    QCOMPARE(downs.first(), 0);
    QCOMPARE(downs.last(), 30);
    // Equal penalties keep catalogue order.
    QCOMPARE(m->index(0, TTkForm::Tk).data().toString(), QStringLiteral("Négy") + NB + QStringLiteral("király"));
    QCOMPARE(tk->CatalogueRow(5), 5);

    tk->DBGridTitleClick(TTkForm::Made); // another title orders by that one
    const QList<int> mades = column(TTkForm::Made);
    QVERIFY(std::is_sorted(mades.begin(), mades.end()));

    tk->DBGridTitleClick(TTkForm::Made); // the same title again: catalogue order
    for (int row = 0; row < Catalogue::Count; ++row)
        QCOMPARE(tk->CatalogueRow(row), row);
    QCOMPARE(m->index(0, TTkForm::Tk).data().toString(), QStringLiteral("Négy") + NB + QStringLiteral("király"));
}

QTEST_MAIN(TstPoints)
#include "tst_points.moc"
