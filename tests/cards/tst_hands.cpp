#include "cards/Hands.h"

#include <QTest>

Q_DECLARE_METATYPE(THand)

class TstHands : public QObject
{
    Q_OBJECT
private slots:
    void suitOf_data();
    void suitOf();
    void handOperations();
    void rangeErrors();
    void countSuits();
    void textForm_data();
    void textForm();
    void nextWordSequence();
    void nextField_data();
    void nextField();
    void nextInt();
    void strToInt_data();
    void strToInt();
    void smallHelpers();
    void passwordDigest_data();
    void passwordDigest();
    void failCarriesText();
    void trickWinner_data();
    void trickWinner();
};

void TstHands::suitOf_data()
{
    QTest::addColumn<int>("card");
    QTest::addColumn<int>("suit");
    const int rows[][2] = {{1, 0}, {5, 0}, {6, 1}, {10, 1}, {11, 2}, {15, 2}, {16, 3},
                           {20, 3}, {21, 4}, {42, 4}, {0, 4}, {-1, 4}, {43, 4}, {INT_MIN, 4}};
    for (const auto &r : rows)
        QTest::addRow("%d", r[0]) << r[0] << r[1];
}

void TstHands::suitOf()
{
    QFETCH(int, card);
    QFETCH(int, suit);
    QCOMPARE(SuitOf(card), suit);
}

void TstHands::handOperations()
{
    THand hand;
    hand.SetCount(10);
    hand.Put(12, 7);
    QCOMPARE(hand.Count(), 13);
    QCOMPARE(hand.Get(10), 0);
    QCOMPARE(hand.Get(11), 0);
    QCOMPARE(hand.Get(12), 7);

    THand sorted{42, 3, 21, 7};
    sorted.Sort();
    QCOMPARE(sorted, (THand{3, 7, 21, 42}));

    THand repeated{4, 9, 4};
    QCOMPARE(repeated.IndexOf(4), 0);
    QCOMPARE(repeated.IndexOf(5), -1);
    QVERIFY(repeated.Contains(9));
    QVERIFY(!repeated.Contains(0));

    QCOMPARE(THand::CreateSlice(THand{1, 2, 3, 4}, 2, 1), (THand{2, 3}));
    QCOMPARE(THand::CreateSlice(THand{1, 2}, 0, 5).Count(), 0);

    THand copy{1};
    repeated.CopyTo(copy);
    QCOMPARE(copy, repeated);
    copy.Swap(0, 1);
    QCOMPARE(copy, (THand{9, 4, 4}));

    THand shrink{1, 2, 3};
    shrink.SetCount(1);
    shrink.SetCount(3);
    QCOMPARE(shrink, (THand{1, 0, 0}));
}

void TstHands::rangeErrors()
{
    THand hand{1, 2, 3};
    QVERIFY_THROWS_EXCEPTION(RangeError, hand.Get(3));
    QVERIFY_THROWS_EXCEPTION(RangeError, hand.Get(-1));
    QVERIFY_THROWS_EXCEPTION(RangeError, hand.Put(-1, 5));
    QVERIFY_THROWS_EXCEPTION(RangeError, hand.Swap(0, 3));
    QVERIFY_THROWS_EXCEPTION(RangeError, THand::CreateSlice(hand, 2, 2));
    QCOMPARE(hand, (THand{1, 2, 3})); // a failed operation changes nothing
}

void TstHands::countSuits()
{
    THand counts{9, 9, 9, 9, 9, 9, 9};
    THand{1, 5, 6, 21, 42, 0}.CountSuits(counts);
    QCOMPARE(counts, (THand{2, 1, 0, 0, 3}));
}

void TstHands::textForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<THand>("hand");
    QTest::newRow("plain") << "5 27" << THand{5, 27};
    QTest::newRow("two blanks give a zero") << "5  27" << THand{5, 0, 27};
    QTest::newRow("leading blank") << " 5 27" << THand{0, 5, 27};
    QTest::newRow("negative") << "-2 3" << THand{-2, 3};
    QTest::newRow("empty") << "" << THand{};
}

void TstHands::textForm()
{
    QFETCH(QString, text);
    QFETCH(THand, hand);
    THand parsed{99};
    parsed.SetText(text);
    QCOMPARE(parsed, hand);
    QCOMPARE(THand({5, 27}).GetText(), QStringLiteral(" 5 27"));
    QCOMPARE(THand().GetText(), QString());
}

void TstHands::nextWordSequence()
{
    QString text = QStringLiteral("  5 6");
    QCOMPARE(NextWord(text), QString());
    QCOMPARE(NextWord(text), QString());
    QCOMPARE(NextWord(text), QStringLiteral("5"));
    QCOMPARE(NextWord(text), QStringLiteral("6"));
    QVERIFY(text.isEmpty());

    // The no-break space is a letter, not a separator.
    QString bid = QStringLiteral("Tuletroa\u00A0banda Gém");
    QCOMPARE(NextWord(bid), QStringLiteral("Tuletroa\u00A0banda"));
    QCOMPARE(bid, QStringLiteral("Gém"));
}

void TstHands::nextField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("rest");
    QTest::newRow("no separator") << "abc" << "abc" << "";
    QTest::newRow("leading separator") << ";x" << "" << "x";
    QTest::newRow("no trimming") << " a ;b " << " a " << "b ";
    QTest::newRow("empty") << "" << "" << "";
}

void TstHands::nextField()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QFETCH(QString, rest);
    QCOMPARE(NextField(text, QLatin1Char(';')), field);
    QCOMPARE(text, rest);
}

void TstHands::nextInt()
{
    QString text = QStringLiteral("-3 x");
    QCOMPARE(NextInt(text), -3);
    QCOMPARE(text, QStringLiteral("x"));
    try {
        NextInt(text);
        QFAIL("a word that is not a number must raise");
    } catch (const ConversionError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("'x'")), qPrintable(e.text()));
        QVERIFY(e.text().contains(QStringLiteral("egész szám")));
    }
    QVERIFY(text.isEmpty()); // nothing beyond the bad word is consumed

    QString empty;
    QCOMPARE(NextInt(empty), 0);
    QVERIFY(empty.isEmpty());
}

void TstHands::strToInt_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("digits") << "123" << true << 123;
    QTest::newRow("minus") << "-7" << true << -7;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("int max") << "2147483647" << true << INT_MAX;
    QTest::newRow("int min") << "-2147483648" << true << INT_MIN;
    QTest::newRow("overflow") << "2147483648" << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("letters") << "12a" << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
    QTest::newRow("no-break space") << "1\u00A0" << false << 0;
    QTest::newRow("fullwidth digit") << "\uFF11" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
}

void TstHands::strToInt()
{
    QFETCH(QString, word);
    QFETCH(bool, ok);
    QFETCH(int, value);
    if (ok) {
        QCOMPARE(StrToInt(word), value);
    } else {
        QVERIFY_THROWS_EXCEPTION(ConversionError, StrToInt(word));
        QCOMPARE(StrToIntDef(word, 42), 42);
    }
}

void TstHands::smallHelpers()
{
    QCOMPARE(SafeField(QStringLiteral("a;b")), QStringLiteral("a,b;"));
    QCOMPARE(SafeField(QString()), QStringLiteral(";"));
    QCOMPARE(RemoveBlanks(QStringLiteral(" a b\tc \u00A0")), QStringLiteral("ab\tc\u00A0"));
    QCOMPARE(BlankInt(5), QStringLiteral(" 5"));
    QCOMPARE(BlankInt(-2), QStringLiteral(" -2"));
}

void TstHands::passwordDigest_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<qint32>("digest");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("abc") << "abc" << 24454111;
    QTest::newRow("ABC") << "ABC" << 24454111;
    QTest::newRow("aBc") << "aBc" << 24454111;
    // One character: 523 + (c & 127) * 123503 - 1.
    QTest::newRow("A") << "A" << 523 + 65 * 123503 - 1;
    // Accented letters are not upper-cased; their byte is cut to 7 bits.
    QTest::newRow("á (E1)") << "á" << 523 + (0xE1 & 127) * 123503 - 1;
    QTest::newRow("Á (C1)") << "Á" << 523 + (0xC1 & 127) * 123503 - 1;
}

void TstHands::passwordDigest()
{
    QFETCH(QString, password);
    QFETCH(qint32, digest);
    QCOMPARE(PasswordDigest(password), digest);
}

void TstHands::failCarriesText()
{
    const QString text = QStringLiteral("Hibás licit. Gém már van.");
    try {
        Fail(text);
        QFAIL("Fail must throw");
    } catch (const VimoError &e) {
        QCOMPARE(e.text(), text);
    }
    // Only the first 16 characters count.
    const QString twenty = QStringLiteral("abcdefghijklmnopqrst");
    QCOMPARE(PasswordDigest(twenty), PasswordDigest(twenty.left(16)));
    QVERIFY(PasswordDigest(twenty.left(15)) != PasswordDigest(twenty.left(16)));
}

void TstHands::trickWinner_data()
{
    QTest::addColumn<QList<int>>("cards");
    QTest::addColumn<int>("winner");
    QTest::newRow("highest of led suit") << QList<int>{2, 5, 3, 1} << 1;
    QTest::newRow("other suit never wins") << QList<int>{2, 10, 3, 1} << 2;
    QTest::newRow("tarokk beats the suit") << QList<int>{5, 21, 4, 3} << 1;
    QTest::newRow("highest tarokk") << QList<int>{30, 41, 42, 22} << 2;
    QTest::newRow("tarokk led, suit discarded") << QList<int>{25, 20, 15, 24} << 0;
}

void TstHands::trickWinner()
{
    QFETCH(QList<int>, cards);
    QFETCH(int, winner);
    const int trick[4] = {cards[0], cards[1], cards[2], cards[3]};
    QCOMPARE(TrickWinner(trick), winner);
}

QTEST_APPLESS_MAIN(TstHands)
#include "tst_hands.moc"
