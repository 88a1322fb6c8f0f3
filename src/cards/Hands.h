#pragma once
// Card numbers, hands and the text helpers every line handler reads with.
// Nothing here knows about windows or sockets.

#include <QString>
#include <QStringList>
#include <QVector>
#include <exception>
#include <initializer_list>

// Every failure the user should see as a message box is a VimoError: its text is
// shown exactly as given.
class VimoError : public std::exception
{
public:
    explicit VimoError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString &text() const noexcept { return m_text; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

// A slot of a hand that does not exist.
class RangeError : public VimoError
{
public:
    using VimoError::VimoError;
};

// A word that should have been a number.
class ConversionError : public VimoError
{
public:
    using VimoError::VimoError;
};

[[noreturn]] void Fail(const QString &message);

// Card numbers: 0 = no card, 1..20 the four suits (5 each), 21..41 tarokk I..XXI, 42 Skíz.
namespace Card {
constexpr int None = 0;
constexpr int Pagat = 21;
constexpr int Sas = 22;
constexpr int Kakadu = 23;
constexpr int Kanari = 24;
constexpr int XXI = 41;
constexpr int Skiz = 42;
constexpr int Count = 43;
constexpr bool isCard(int n) { return n >= 1 && n <= 42; }
constexpr bool isTarokk(int n) { return n >= 21 && n <= 42; }
} // namespace Card

// Suit class: 0..3 Treff, Káró, Kőr, Pikk; 4 for tarokks and for anything else (0 included).
constexpr int SuitOf(int card)
{
    const unsigned k = static_cast<unsigned>(card) - 1u;
    return k < 20u ? static_cast<int>(k / 5u) : 4;
}

// The winner of a trick, as an index 0..3 into the cards in the order played:
// the highest tarokk takes it; without one, the highest card of the led suit.
int TrickWinner(const int cards[4]);

class THand
{
public:
    using TCards = QVector<qint32>;

    THand() = default;
    THand(std::initializer_list<qint32> cards) : m_cards(cards) {}
    static THand CreateSlice(const THand &source, int count, int start);

    int Count() const { return int(m_cards.size()); }
    void SetCount(int n);
    qint32 Get(int i) const;
    void Put(int i, qint32 v);
    void Add(qint32 v) { m_cards.append(v); }
    void Sort();
    void Swap(int i, int j);
    void CountSuits(THand &dest) const;
    int IndexOf(qint32 v) const { return int(m_cards.indexOf(v)); }
    bool Contains(qint32 v) const { return IndexOf(v) >= 0; }
    void CopyTo(THand &dest) const { dest.m_cards = m_cards; }

    virtual QString GetText() const;
    virtual void SetText(const QString &text);
    virtual ~THand() = default;
    THand(const THand &) = default;
    THand &operator=(const THand &) = default;

    const TCards &Cards() const { return m_cards; }
    bool operator==(const THand &other) const { return m_cards == other.m_cards; }

private:
    void checkIndex(int i) const;
    TCards m_cards;
};

// Text helpers: they consume `text` from the front. Only the ordinary blank (U+0020)
// separates words; the no-break space is a letter.
QString NextField(QString &text, QChar separator);
QString NextWord(QString &text);
int NextInt(QString &text);
QString SafeField(const QString &value);
QString RemoveBlanks(const QString &value);
QString BlankInt(int n);

// Server text quoted in a message is cut to QuoteLength characters, the last one "…": a
// line may be as long as the club sends, and the box that quotes it must still fit a screen.
constexpr int QuoteLength = 80;
QString ShortQuote(const QString &text);

// Strict signed decimal conversion; throws ConversionError naming the word.
int StrToInt(const QString &word);
// Like StrToInt, but gives `fallback` instead of throwing.
int StrToIntDef(const QString &word, int fallback);

// The 32-bit digest sent instead of a password.
qint32 PasswordDigest(const QString &password);

// The bids of chosen seats picked out of a bid text: the first seat, then one group per
// turn (a count and that many tokens), in seat order from the first seat.
class TBidList : public QStringList
{
public:
    // One turn of the auction: the seat that made it, its count as written (0 = pass) and
    // the bids read for it.
    struct Turn
    {
        int Seat = 0;
        int Count = 0;
        QStringList Bids;
    };

    // Only seats 1 and 3 open; any other first-seat value is read as seat 1, by the layout
    // and by every seat pick alike, so that all views of one text agree.
    static int FirstSeat(int value) { return value == 3 ? 3 : 1; }

    // Reads a whole bid text into its turns. A word that should be a count and is not a
    // number throws ConversionError. A count larger than the words that follow takes the
    // words there are and ends the text: the work is bounded by the text's length.
    static QList<Turn> Turns(const QString &text);

    // seat > 0: that seat's bids; seat <= 0: the bids of both seats of -seat's side
    // (seats 2 and 3, or 1 and 4 for any other value). A one-character text leaves the
    // list as it was; a text that cannot be read throws and leaves it as it was too.
    void Parse(const QString &text, int seat);
};

// A turn is moved as bytes when the list of turns grows: a long bid text makes many.
Q_DECLARE_TYPEINFO(TBidList::Turn, Q_RELOCATABLE_TYPE);

// The seat a turn's group belongs to: groups run F, F+1, ... around the table.
int BidGroupSeat(int firstSeat, int group);
