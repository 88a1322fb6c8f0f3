// The bytes on the wire: the Windows-1250 codec and the CR LF framer.

#include "session/Cp1250.h"
#include "session/LineFramer.h"

#include <QTest>

class TstWire : public QObject
{
    Q_OBJECT
private slots:
    void everyByteRoundTrips();
    void hungarianLetters_data();
    void hungarianLetters();
    void unencodableBecomesQuestionMark_data();
    void unencodableBecomesQuestionMark();
    void framerCuts_data();
    void framerCuts();
    void framerByteByByte();
    void framerLimit();
    void framerBoundedWithoutLineEnd();
};

void TstWire::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = Cp1250::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(Cp1250::encode(text), all);
    // The five bytes the code page leaves undefined map to the C1 controls of the same value.
    for (int b : {0x81, 0x83, 0x88, 0x90, 0x98})
        QCOMPARE(text[b].unicode(), char16_t(b));
    QCOMPARE(text[0xA0], QChar(0x00A0));
    QCOMPARE(text[0x80], QChar(0x20AC));
}

void TstWire::hungarianLetters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lower") << "áéíóöőúüű" << QByteArray("\xE1\xE9\xED\xF3\xF6\xF5\xFA\xFC\xFB");
    QTest::newRow("upper") << "ÁÉÍÓÖŐÚÜŰ" << QByteArray("\xC1\xC9\xCD\xD3\xD6\xD5\xDA\xDC\xDB");
    QTest::newRow("version") << "2.0  ß 5 verzió" << QByteArray("2.0  \xDF 5 verzi\xF3");
    QTest::newRow("acute accent") << "L´amour" << QByteArray("L\xB4" "amour");
}

void TstWire::hungarianLetters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1250::encode(text), bytes);
    QCOMPARE(Cp1250::decode(bytes), text);
}

void TstWire::unencodableBecomesQuestionMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("cyrillic") << "aЖb" << QByteArray("a?b");
    QTest::newRow("emoji is one character") << QString::fromUtf8("x\xF0\x9F\x98\x80y") << QByteArray("x?y");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
    QTest::newRow("latin-1 not in the page") << "ñ" << QByteArray("?");
}

void TstWire::unencodableBecomesQuestionMark()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Cp1250::encode(text), bytes);
}

void TstWire::framerCuts_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<qsizetype>("left");
    QTest::newRow("two lines") << QByteArray("a\r\nbc\r\n") << QList<QByteArray>{"a", "bc"} << qsizetype(0);
    QTest::newRow("lone LF is text") << QByteArray("a\nb\r\n") << QList<QByteArray>{"a\nb"} << qsizetype(0);
    QTest::newRow("lone CR is text") << QByteArray("a\rb\r\n") << QList<QByteArray>{"a\rb"} << qsizetype(0);
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\n") << QList<QByteArray>{"a\r"} << qsizetype(0);
    QTest::newRow("empty line") << QByteArray("\r\nx\r\n") << QList<QByteArray>{"", "x"} << qsizetype(0);
    QTest::newRow("partial kept") << QByteArray("a\r\nbc\r") << QList<QByteArray>{"a"} << qsizetype(3);
    QTest::newRow("NUL inside") << QByteArray("a\0b\r\n", 5) << QList<QByteArray>{QByteArray("a\0b", 3)} << qsizetype(0);
}

void TstWire::framerCuts()
{
    QFETCH(QByteArray, input);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(qsizetype, left);
    LineFramer framer;
    framer.feed(input);
    QList<QByteArray> got;
    while (auto line = framer.takeLine())
        got << *line;
    QCOMPARE(got, lines);
    QCOMPARE(framer.buffered(), left);
    QVERIFY(!framer.overflowed());
}

void TstWire::framerByteByByte()
{
    const QByteArray input("first\r\nse\rcond\n\r\n\r\nthird\r\n");
    LineFramer framer;
    QList<QByteArray> got;
    for (char c : input) {
        framer.feed(&c, 1);
        while (auto line = framer.takeLine())
            got << *line;
    }
    QCOMPARE(got, (QList<QByteArray>{"first", "se\rcond\n", "", "third"}));
}

void TstWire::framerLimit()
{
    LineFramer framer(8);
    framer.feed(QByteArray(8, 'x') + "\r\n");
    QCOMPARE(framer.takeLine(), std::optional<QByteArray>(QByteArray(8, 'x')));
    // A line of exactly the limit whose LF has not come yet is still fine.
    framer.feed(QByteArray(8, 'y') + "\r");
    QVERIFY(!framer.takeLine());
    QVERIFY(!framer.overflowed());
    framer.feed("\n");
    QCOMPARE(framer.takeLine(), std::optional<QByteArray>(QByteArray(8, 'y')));
    framer.feed(QByteArray(9, 'z') + "\r\n");
    QVERIFY(!framer.takeLine());
    QVERIFY(framer.overflowed());
    // A new connection starts clean.
    framer.clear();
    QVERIFY(!framer.overflowed());
    framer.feed("next\r\n");
    QCOMPARE(framer.takeLine(), std::optional<QByteArray>("next"));
}

void TstWire::framerBoundedWithoutLineEnd()
{
    LineFramer framer;
    const QByteArray chunk(4096, 'a');
    int fed = 0;
    while (!framer.overflowed() && fed < 10 * 1024 * 1024) {
        framer.feed(chunk);
        fed += chunk.size();
        QVERIFY(!framer.takeLine());
        QVERIFY(framer.buffered() <= framer.limit() + 1 + chunk.size());
    }
    QVERIFY(framer.overflowed());
    QVERIFY(fed < 2 * framer.limit() + chunk.size());
}

QTEST_APPLESS_MAIN(TstWire)
#include "tst_wire.moc"
