// A hostile club: lines built to hurt, read through the real connection, dispatcher and
// windows (offscreen). Whatever comes, the client ends every line in a result or an error
// box, keeps its memory bounded, shows server text literally wherever it shows it, and is
// still reading afterwards: each case ends with an "O" that must be answered with "O1".

#include "FakeClub.h"
#include "TestClient.h"

#include "session/ChatPane.h"
#include "session/LineFramer.h"
#include "session/Link.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

using Lines = QList<QByteArray>;
Q_DECLARE_METATYPE(Lines)

namespace {

const QString Own = QStringLiteral("Enke");

// Markup, mnemonics, argument and title place marks with no blank in them, so that it fits
// any one word of a line: a nickname, a room, a tag.
// Every mark stands inside, so that one taken away cannot pass for a text cut short.
const QByteArray Word = "<b>x</b>[*]&P%1&lt;i&gt;<img\xa0src=x>z";
// The same with blanks, for the places that show free text.
const QByteArray Text = "<img src=x> [*] <a href=\"http://x\">y</a> &lt;b&gt; &P %1 %2 z";

// What a person sees of a text in each kind of place.
QString seenInLabel(const QLabel *label)
{
    const QString text = label->text();
    const bool rich = label->textFormat() == Qt::RichText
        || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    if (!rich)
        return text;
    QTextDocument doc;
    doc.setHtml(text);
    return doc.toPlainText();
}

QString seenWithMnemonic(QString text)
{
    // "&&" shows one "&"; a lone "&" underlines the next letter and is not shown.
    QString seen;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
            seen += text[i];
        } else if (text[i] != QLatin1Char('&')) {
            seen += text[i];
        }
    }
    return seen;
}

QString seenAsTip(const QString &tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument doc;
    doc.setHtml(tip);
    return doc.toPlainText();
}

// The title bar shows "[*]" as "*" while the window is modified and not at all otherwise;
// only "[*][*]" shows "[*]".
QString seenAsTitle(const QWidget *w)
{
    const QString mark = QStringLiteral("[*]");
    QString title = w->windowTitle();
    QString seen;
    qsizetype at = 0;
    while (at < title.size()) {
        if (title.mid(at, 6) == mark + mark) {
            seen += mark;
            at += 6;
        } else if (title.mid(at, 3) == mark) {
            if (w->isWindowModified())
                seen += QLatin1Char('*');
            at += 3;
        } else {
            seen += title[at++];
        }
    }
    return seen;
}

struct Place
{
    QString where;
    QString seen;
};

// Every text the client shows, as it is seen.
QList<Place> shownTexts()
{
    QList<Place> places;
    const auto add = [&](const QWidget *w, const QString &kind, const QString &seen) {
        if (!seen.isEmpty())
            places << Place{QStringLiteral("%1 %2 (%3)").arg(kind, w->objectName(), QString::fromLatin1(w->metaObject()->className())), seen};
    };
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        QList<QWidget *> widgets = top->findChildren<QWidget *>();
        widgets.prepend(top);
        for (QWidget *w : widgets) {
            if (w->isWindow())
                add(w, QStringLiteral("title"), seenAsTitle(w));
            add(w, QStringLiteral("tooltip"), seenAsTip(w->toolTip()));
            if (auto *l = qobject_cast<QLabel *>(w))
                add(w, QStringLiteral("label"), seenInLabel(l));
            else if (auto *b = qobject_cast<QAbstractButton *>(w))
                add(w, QStringLiteral("button"), seenWithMnemonic(b->text()));
            else if (auto *e = qobject_cast<QLineEdit *>(w))
                add(w, QStringLiteral("field"), e->text());
            else if (auto *pane = qobject_cast<ChatPane *>(w))
                // The document's plain text turns no-break spaces into blanks; the lines keep them.
                add(w, QStringLiteral("pane"), pane->lines().join(QLatin1Char('\n')));
            else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
                add(w, QStringLiteral("pane"), p->toPlainText());
            else if (auto *t = qobject_cast<QTextEdit *>(w))
                add(w, QStringLiteral("text"), t->toPlainText());
            else if (auto *g = qobject_cast<QGroupBox *>(w))
                add(w, QStringLiteral("group"), seenWithMnemonic(g->title()));
            else if (auto *c = qobject_cast<QComboBox *>(w)) {
                for (int i = 0; i < c->count(); ++i)
                    add(w, QStringLiteral("combo item"), c->itemText(i));
            } else if (auto *tabs = qobject_cast<QTabBar *>(w)) {
                for (int i = 0; i < tabs->count(); ++i) {
                    add(w, QStringLiteral("tab"), seenWithMnemonic(tabs->tabText(i)));
                    add(w, QStringLiteral("tab tooltip"), seenAsTip(tabs->tabToolTip(i)));
                }
            }
            if (auto *view = qobject_cast<QAbstractItemView *>(w); view && view->model()) {
                QList<QModelIndex> todo{QModelIndex()};
                const QAbstractItemModel *m = view->model();
                while (!todo.isEmpty()) {
                    const QModelIndex parent = todo.takeLast();
                    for (int r = 0; r < m->rowCount(parent); ++r)
                        for (int c = 0; c < m->columnCount(parent); ++c) {
                            const QModelIndex i = m->index(r, c, parent);
                            add(w, QStringLiteral("item"), i.data(Qt::DisplayRole).toString());
                            add(w, QStringLiteral("item tooltip"), seenAsTip(i.data(Qt::ToolTipRole).toString()));
                            if (c == 0 && m->hasChildren(i))
                                todo << i;
                        }
                }
            }
        }
    }
    return places;
}

// Fragments only the hostile text has: where one shows, the whole must show as sent.
bool hasFragment(const QString &seen, const QString &whole)
{
    for (const char *f : {"img", "href", "lt;", "%1", "[*", "&P", "x</b>"})
        if (whole.contains(QLatin1String(f)) && seen.contains(QLatin1String(f)))
            return true;
    return false;
}

// The hostile text stands as it came: from where it begins, every character is its own, up
// to its end or up to the end of the place (a field or a column may be narrower than the
// text, and a long word may be cut short with its tail dropped).
bool standsLiterally(const QString &seen, const QString &hostile)
{
    for (const QString &piece : {hostile}) {
        const QString head = piece.left(4);
        for (qsizetype at = seen.indexOf(head); at >= 0; at = seen.indexOf(head, at + 1)) {
            const qsizetype room = seen.size() - at;
            if (room >= piece.size() ? seen.mid(at, piece.size()) == piece
                                     : seen.mid(at) == piece.left(room))
                return true;
            // Cut short with a mark of its own ("...", "…") after what fits.
            qsizetype n = 0;
            while (n < piece.size() && at + n < seen.size() && seen[at + n] == piece[n])
                ++n;
            const QString rest = seen.mid(at + n);
            if (n >= 6 && (rest.startsWith(QStringLiteral("...")) || rest.startsWith(QChar(0x2026))))
                return true;
        }
    }
    return false;
}

} // namespace

class TstHostile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void hostileLines_data();
    void hostileLines();
    void markupShownLiterally_data();
    void markupShownLiterally();
    void checkerSeesInterpretedText();
    void tenMegabytesWithoutLineEnd();

private:
    // Lines put the client in a room at a table, as a session would before the hostile part.
    void enterRoom();
    void sendLines(const Lines &lines);
    // The client still reads and answers: "O" in, exactly one "O1" out.
    void answersKeepAlive();
    QStringList sent() { return club->takeSent([this](const QString &m) { client->frame()->SendLine(m); }); }

    std::unique_ptr<FakeClub> club;
    std::unique_ptr<TestClient> client;
};

void TstHostile::init()
{
    club = std::make_unique<FakeClub>();
    client = std::make_unique<TestClient>();
    client->frame()->show();
    client->frame()->setOwnNick(Own);
    QVERIFY(client->connectTo(*club));
}

void TstHostile::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->testAttribute(Qt::WA_DeleteOnClose))
            w->close();
    client.reset();
    club.reset();
}

void TstHostile::sendLines(const Lines &lines)
{
    QByteArray all;
    for (const QByteArray &line : lines)
        all += line + "\r\n";
    club->sendRaw(all);
}

void TstHostile::enterRoom()
{
    sendLines({"L2 T\xe1rsalg\xf3 1 Zoli Terem1 3 Anna B\xe9la " + Own.toLatin1(),
               "JTerem1 12 3 Anna 1 B\xe9la 2 " + Own.toLatin1() + " 3",
               "N12 3"});
    answersKeepAlive();
}

void TstHostile::answersKeepAlive()
{
    // Boxes the hostile lines opened are answered by the script at once; a window made for
    // one reply may still be open, and the lines wait only while a modal box is.
    club->send(QStringLiteral("O"));
    QStringList out;
    QVERIFY(QTest::qWaitFor([&] {
        // A modal window a line opened (the day chooser) holds the lines until the user
        // closes it, as the user does here.
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        out += sent();
        return out.contains(QStringLiteral("O1"));
    }, 5000));
    QCOMPARE(out.count(QStringLiteral("O1")), 1);
    QVERIFY(client->ctx.link().isReading());
}

void TstHostile::hostileLines_data()
{
    QTest::addColumn<Lines>("lines");
    const QByteArray own = Own.toLatin1();

    QTest::newRow("numbers at and past 32 bits")
        << Lines{"N2147483647 2147483647", "N2147483648 1", "N-2147483649 -1",
                 "N99999999999999999999999 0", "I" + own + " 2147483648", "IAnna -2147483648",
                 "H1 2147483647 -2147483648 42 43", "P2147483647 2147483647 2147483647 1 2 3 4",
                 "P-2147483648 -1 -1 0 0 0 0", "Y2147483647 -2147483648 0 -1", "Y99999999999",
                 "W2147483648", "W-2147483648", "L2147483647 a", "L-1", "L3 a 2147483647 x",
                 "JTerem1 -2147483648 2147483647 Anna 2147483647 B\xe9la -1",
                 "R0 2147483647 -2147483648 2147483647 -2147483648 a b",
                 "R0 2 -1 2147483647 1 - - 4 -2147483648 -2147483648 2147483647 a b",
                 "R2147483647 2147483647 2147483647 a b c d e f g h"};
    QTest::newRow("seats and cards zero, negative, beyond")
        << Lines{"I" + own + " 0", "I" + own + " -1", "I" + own + " 5", "IAnna 4", "IAnna 4",
                 "H1 0 0 0 0 0 0 0 0 0 0", "H1 -5 43 44 99", "H0", "H5 1 2", "H-1 1",
                 "P0 1 0 0 0 0 0", "P5 1 0 1 2 3 4", "P1 0 0 1 2 3 4", "P1 11 10 1 2 3 4",
                 "P-5 1 0 1 2 3 4", "P1 1 0 43 -1 0 0", "P3 1 0 21 21 21 21",
                 "B0 1 x", "B9 2 a b", "B-3 0"};
    QTest::newRow("missing words")
        << Lines{"N", "I", "H", "P", "P1", "B", "J", "JTerem1", "L", "L1", "U", "Q", "T", "?", "G",
                 "V", "W", "X", "X0", "X1", "X2", "X9", "Y", "R", "R0", "R1", "D", "D0", "D2", "D9", "M"};
    QTest::newRow("extra words")
        << Lines{"N12 3 extra words", "I" + own + " 1 2 3 4", "P1 1 0 1 2 3 4 5 6 7",
                 "H1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20", "TAnna B\xe9la",
                 "QAnna B\xe9la", "UZoli more", "GAnna B\xe9la Cili", "W12 13",
                 "Y1 2 3 x", "X0 1 2 3 45000 tag a b c d 1 2 3"};
    QTest::newRow("words that are not numbers")
        << Lines{"Nx y", "IAnna x", "Hx", "Px 1 0 1 2 3 4", "P1 1 0 a b c d", "Y1 x 3",
                 "R0 x -1 0 0 - -", "Rx", "X0 x y z", "X1 1 x lbl 1 2", "Wx", "L1 T x"};
    QTest::newRow("NUL bytes")
        << Lines{QByteArray("M\0\0x", 4), QByteArray("\0", 1), QByteArray("I\0 1", 4),
                 QByteArray("L1 T\0 1 a\0", 10), QByteArray("UZo\0li", 6), QByteArray("X0 1 2 \0", 8)};
    QTest::newRow("lone CR and LF")
        << Lines{"Ma\rb", "Ma\nb", "\r", "\n", "\r\r\n", "IAnna\r1", "U\nZoli", "H1 1\n2",
                 "JTerem1\r12 3 Anna 1", "M\r"};
    QTest::newRow("undefined Windows-1250 bytes")
        << Lines{"M\x81\x83\x88\x90\x98", "U\x81\x83", "L1 \x81 1 \x98", "I\x90 1",
                 "D2 \x81;\x83;\x88;\x90;\x98;;;;", "X0 1 2 45000 \x81 \x83 \x88 \x90 \x98"};
    QTest::newRow("unknown and lower-case commands")
        << Lines{"a", "zzz", "\x7f", "\xff\xfe", "~", "1", " "};
    QTest::newRow("a flood of take-back questions")
        << Lines(50, "V" + own + "x");
    QTest::newRow("long lines just under the limit")
        << Lines{"M" + QByteArray(LineFramer::DefaultLimit - 1, 'x'),
                 "L1 T " + QByteArray(LineFramer::DefaultLimit / 2 - 4, '1'),
                 "Y" + QByteArray(LineFramer::DefaultLimit - 1, ' ') ,
                 "H1" + QByteArray(LineFramer::DefaultLimit / 3, '1').replace("111", " 1 ")};
}

void TstHostile::hostileLines()
{
    QFETCH(Lines, lines);
    enterRoom();
    sendLines(lines);
    answersKeepAlive();
    // The chat pane never holds more than its bound, whatever came.
    QVERIFY(client->frame()->fdMsgs->lineCount() <= ChatPane::Capacity);
}

void TstHostile::markupShownLiterally_data()
{
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<QString>("hostile");
    const QByteArray own = Own.toLatin1();
    const QString word = QString::fromLatin1(Word);
    const QString text = QString::fromLatin1(Text);

    QTest::newRow("chat") << Lines{"M" + Text} << text;
    QTest::newRow("lobby room and nick")
        << Lines{"L2 T\xe1rsalg\xf3 1 " + Word + " " + Word + " 1 Anna"} << word;
    QTest::newRow("room and nicks at the table")
        << Lines{"J" + Word + " 12 3 " + Word + " 1 Anna 2 " + own + " 3"} << word;
    QTest::newRow("nick coming, seating, host")
        << Lines{"U" + Word, "I" + Word + " 4", "T" + Word} << word;
    QTest::newRow("ping and answer") << Lines{"?" + Word, "G" + own + " " + Word} << word;
    QTest::newRow("take-back question") << Lines{"V" + Word} << word;
    QTest::newRow("unknown line") << Lines{"z" + Text} << QStringLiteral("z") + text;
    // ";" ends a field of the record, so the text there goes without the entity.
    const QByteArray field = "<b>x</b>[*]&P%1<img\xa0src=x>z";
    QTest::newRow("personal data")
        << Lines{"D2 " + field + ";" + field + ";" + field + ";" + field + ";" + field + ";" + field + ";"
                 + field + ";" + field + ";"}
        << QString::fromLatin1(field);
    QTest::newRow("history record names and tag")
        << Lines{"X0 1 2 45000 " + Word + " " + Word + " " + Word + " " + Word + " " + Word
                 + " 0 0 0 0 0 0 0 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20"
                   " 21 22 23 24 25 26 27 28 29 30 31 32 33 34 35 36 37 38 39 40"}
        << word;
    QTest::newRow("history score labels")
        << Lines{"X0 1 2 45000 t a b c d 0 0 0 0 0 0 0 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16"
                 " 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 33 34 35 36 37 38 39 40",
                 "X1 1 2 " + Word + " 5 -5 " + Word + " 1 2"}
        << word;
    QTest::newRow("match list rooms") << Lines{"R0 4 7 10 12 " + Word + " " + Word} << word;
    QTest::newRow("match invitation names")
        << Lines{"R7 8 30 " + Word + " A" + Word + " B" + Word + " C" + Word + " D" + Word + " E" + Word
                 + " F" + Word + " G" + Word}
        << word;
}

void TstHostile::markupShownLiterally()
{
    QFETCH(Lines, lines);
    QFETCH(QString, hostile);
    enterRoom();
    // Windows that show only on the user's command are opened, so their texts count too.
    client->frame()->cmTable();
    // A ping of ours is out, so that an answer is shown with its time.
    client->frame()->cmPing();
    sendLines(lines);
    answersKeepAlive();
    QTest::qWait(50); // the history gathers a burst of records before it draws them

    QList<Place> places = shownTexts();
    // The boxes are plain text: what they were given is what they showed.
    for (const ScriptedDialogs::Shown &box : client->dialogs->shown)
        places << Place{box.kind + QStringLiteral(" box"), box.text};
    QStringList wrong;
    int found = 0;
    for (const Place &p : places) {
        if (!hasFragment(p.seen, hostile))
            continue;
        if (standsLiterally(p.seen, hostile))
            ++found;
        else
            wrong << p.where + QStringLiteral(": ") + p.seen.left(200);
    }
    if (!wrong.isEmpty())
        QFAIL(qPrintable(wrong.join(QLatin1Char('\n'))));
    // The case must have shown the text somewhere, or it proves nothing.
    QVERIFY2(found > 0, "the hostile text was shown nowhere");
}

// The look over the windows must be able to fail: text taken as markup, a mnemonic or a
// title place mark is caught, and the same text shown as it came is not.
void TstHostile::checkerSeesInterpretedText()
{
    const QString word = QString::fromLatin1(Word);
    QWidget window;
    window.setObjectName(QStringLiteral("probe"));
    window.setWindowTitle(word);
    auto *rich = new QLabel(word, &window);
    rich->setObjectName(QStringLiteral("rich"));
    auto *plain = new QLabel(&window);
    plain->setObjectName(QStringLiteral("plain"));
    plain->setTextFormat(Qt::PlainText);
    plain->setText(word);
    auto *button = new QPushButton(word, &window);
    button->setObjectName(QStringLiteral("button"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QStringList wrong, right;
    for (const Place &p : shownTexts())
        if (p.where.contains(QLatin1String("probe")) || p.where.contains(QLatin1String("rich"))
            || p.where.contains(QLatin1String("plain")) || p.where.contains(QLatin1String(" button ")))
            (standsLiterally(p.seen, word) ? right : wrong) << p.where;
    QVERIFY2(right == QStringList{QStringLiteral("label plain (QLabel)")}, qPrintable(right.join(QLatin1Char(','))));
    QCOMPARE(wrong.size(), 3); // the title, the rich label and the button
}

void TstHostile::tenMegabytesWithoutLineEnd()
{
    enterRoom();
    const qsizetype bound = LineFramer::DefaultLimit + 1 + Link::ReadChunk;
    qsizetype most = 0;
    const QByteArray block(1 << 20, 'x');
    // Written a megabyte at a time while the client reads; what it holds never passes the
    // longest line plus one read.
    for (int i = 0; i < 10 && client->ctx.link().isReading(); ++i) {
        if (club->peer() && club->peer()->state() == QAbstractSocket::ConnectedState)
            club->peer()->write(block);
        QTest::qWait(5);
        most = std::max(most, client->ctx.link().bufferedBytes());
    }
    QVERIFY(QTest::qWaitFor([&] {
        most = std::max(most, client->ctx.link().bufferedBytes());
        return !client->ctx.link().isReading();
    }, 10000));
    QVERIFY2(most <= bound, qPrintable(QStringLiteral("held %1 bytes").arg(most)));
    // Such a line is no line of a club: the connection is dropped and said so.
    QVERIFY(QTest::qWaitFor([&] { return client->chatLines().contains(QStringLiteral(">>> A kapcsolat mexakadt")); }, 5000));

    // A new connection reads as before.
    club = std::make_unique<FakeClub>();
    QVERIFY(client->connectTo(*club));
    answersKeepAlive();
}

QTEST_MAIN(TstHostile)
#include "tst_hostile.moc"
