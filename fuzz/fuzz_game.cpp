// A club deal driven by any sequence of seat actions, and the archive line read from any
// text: every refusal is a notice, never a crash, and what is taken keeps the deal whole.
//
// Input, in Windows-1250, one action per LF-separated line:
//   'D<number>'    start over with that deal number (first line only, else deal 1)
//   'B<seat> <turn>', 'P<seat> <card>', 'U' (take back), 'R' (the robot on turn acts)
//   'T<text>'      the text goes to DealRecord::fromText
//   'S<n>'         the next robot action imagines n deals (1..2) instead of the plain rule;
//                  one action only, and two such a run: a search costs as much as a hundred
//                  plain lines

#include "cards/DeskRules.h"
#include "cards/Hands.h"
#include "game/Deal.h"
#include "game/Record.h"
#include "session/Cp1250.h"

#include <QHash>
#include <QStringTokenizer>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void check(const club::Deal &deal)
{
    // Every card held is a card, and none is held twice: as many cards in all the hands
    // together as there are cards held.
    quint64 held = 0;
    int count = 0;
    for (int s = 1; s <= 4; ++s) {
        const QList<int> &hand = deal.hand(s);
        for (int c : hand) {
            if (!Card::isCard(c))
                std::abort();
            held |= quint64(1) << c;
        }
        count += int(hand.size());
    }
    if (std::popcount(held) != count)
        std::abort();
    const int onTurn = deal.onTurn();
    if (onTurn < 0 || onTurn > 4)
        std::abort();
    if ((onTurn == 0) != (deal.phase() == club::Deal::Phase::Done))
        std::abort();
}

// The client's reader of trick lines, asked once for each distinct line: what it says depends
// on the line alone, and the same trick lines come back in input after input (a take-back and
// the card again, a deal played the same way), while reading one costs a text per word. The
// lines it took are kept in a table of fixed size made once, so that a new line leaves no
// allocation behind for the leak check to run the input again over.
class TrickLineReader
{
public:
    // `line` is a whole "P" line.
    bool accepts(const QString &line)
    {
        if (line.size() > Longest)
            return reads(line);
        Slot &slot = m_slots[qHash(QStringView(line)) % m_slots.size()];
        const auto text = reinterpret_cast<const char16_t *>(line.constData());
        if (slot.size == line.size() && std::equal(text, text + line.size(), slot.text.begin()))
            return true;
        if (!reads(line))
            return false;
        slot.size = int(line.size());
        std::copy(text, text + line.size(), slot.text.begin());
        return true;
    }

private:
    static bool reads(const QString &line)
    {
        try {
            ParseTrickLine(line.mid(1));
        } catch (const VimoError &) {
            return false;
        }
        return true;
    }

    // "P-4 10 10 42 42 42 42" and a little room; a longer line is always read.
    static constexpr int Longest = 30;
    struct Slot
    {
        int size = 0; // 0: empty (a "P" line never is)
        std::array<char16_t, Longest> text;
    };
    std::vector<Slot> m_slots = std::vector<Slot>(1 << 15);
};

TrickLineReader &trickLines()
{
    static TrickLineReader reader;
    return reader;
}

// What a spectator coming in now would be sent: built only when the phase changes and at the
// end, since it writes out all four hands and the cost of that would swamp the rest.
void checkSpectator(const club::Deal &deal)
{
    const QString state = deal.spectatorLines().last();
    if (state.startsWith(QLatin1Char('P')) && !trickLines().accepts(state))
        std::abort(); // the client would refuse the club's own line
}

void checkLines(const club::Outs &out)
{
    for (const club::Out &o : out) {
        if (o.line.contains(QLatin1Char('\r')) || o.line.contains(QLatin1Char('\n')))
            std::abort();
        if (o.line.startsWith(QLatin1Char('P')) && !trickLines().accepts(o.line))
            std::abort();
    }
}

// NextWord on a view: the word up to the first blank, and the rest after it.
QStringView nextWord(QStringView &rest)
{
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    const QStringView word = blank < 0 ? rest : rest.first(blank);
    rest = blank < 0 ? QStringView() : rest.sliced(blank + 1);
    return word;
}

// StrToIntDef without the exception it throws and catches for every word that is no number.
int toInt(QStringView word, int fallback)
{
    qsizetype i = !word.isEmpty() && (word[0] == QLatin1Char('-') || word[0] == QLatin1Char('+')) ? 1 : 0;
    if (i == word.size())
        return fallback;
    for (; i < word.size(); ++i)
        if (word[i] < QLatin1Char('0') || word[i] > QLatin1Char('9'))
            return fallback;
    bool ok = false;
    const int value = word.toInt(&ok, 10);
    return ok ? value : fallback;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = Cp1250::decode(reinterpret_cast<const char *>(data), qsizetype(std::min<size_t>(size, 1 << 16)));
    auto lines = QStringView(input).tokenize(QLatin1Char('\n'));
    auto line = lines.begin();
    int number = 1;
    if (line != lines.end() && (*line).startsWith(QLatin1Char('D'))) {
        number = toInt((*line).sliced(1), 1);
        ++line;
    }
    club::Deal deal(number);
    deal.setRobotSamples(0);
    checkLines(deal.start());
    check(deal);
    club::Deal::Phase phase = deal.phase();
    int searches = 0;
    club::Outs out; // cleared for every action, its room kept
    for (; line != lines.end(); ++line) {
        if ((*line).isEmpty())
            continue;
        out.clear();
        bool undone = false;
        QStringView rest = (*line).sliced(1);
        switch ((*line)[0].unicode()) {
        case 'B': {
            const int seat = toInt(nextWord(rest), 0);
            const QString notice = deal.bid(seat, rest.toString(), out);
            if (notice.isEmpty() == out.isEmpty())
                std::abort(); // taken turns speak, refused ones change nothing
            break;
        }
        case 'P': {
            const int seat = toInt(nextWord(rest), 0);
            const QString notice = deal.play(seat, toInt(nextWord(rest), 0), out);
            if (notice.isEmpty() == out.isEmpty())
                std::abort();
            break;
        }
        case 'U':
            undone = deal.undo(out);
            if (!undone && !out.isEmpty())
                std::abort();
            break;
        case 'R': {
            const int seat = deal.onTurn();
            QString notice;
            if (deal.phase() == club::Deal::Phase::Bidding)
                notice = deal.bid(seat, deal.robotTurn(seat), out);
            else if (deal.phase() == club::Deal::Phase::Playing)
                notice = deal.play(seat, deal.robotCard(seat), out);
            if (!notice.isEmpty())
                std::abort(); // a robot never makes a move the rules refuse
            deal.setRobotSamples(0);
            break;
        }
        case 'S':
            if (searches++ < 2)
                deal.setRobotSamples(std::clamp(toInt(rest, 0), 0, 2));
            continue;
        case 'T': {
            const QString text = rest.toString();
            const auto record = club::DealRecord::fromText(text);
            if (record && record->toText() != text)
                std::abort();
            break;
        }
        default:
            break;
        }
        // A refused or empty action changed nothing: the deal was checked when it last did.
        if (out.isEmpty() && !undone)
            continue;
        checkLines(out);
        check(deal);
        if (deal.phase() != phase) {
            phase = deal.phase();
            checkSpectator(deal);
        }
    }
    checkSpectator(deal);
    if (deal.phase() == club::Deal::Phase::Done) {
        const club::DealRecord r = deal.record({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}, 1);
        const QString text = r.toText();
        const auto back = club::DealRecord::fromText(text);
        if (!back || back->toText() != text)
            std::abort();
    }
    return 0;
}
