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

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

void check(const club::Deal &deal)
{
    std::array<bool, 43> held{};
    for (int s = 1; s <= 4; ++s)
        for (int c : deal.hand(s)) {
            if (!Card::isCard(c) || held[c])
                std::abort();
            held[c] = true;
        }
    if (deal.onTurn() < 0 || deal.onTurn() > 4)
        std::abort();
    if ((deal.onTurn() == 0) != (deal.phase() == club::Deal::Phase::Done))
        std::abort();
}

// What a spectator coming in now would be sent: built only when the phase changes and at the
// end, since it writes out all four hands and the cost of that would swamp the rest.
void checkSpectator(const club::Deal &deal)
{
    const QString state = deal.spectatorLines().last();
    if (state.startsWith(QLatin1Char('P'))) {
        try {
            ParseTrickLine(state.mid(1));
        } catch (const VimoError &) {
            std::abort(); // the client would refuse the club's own line
        }
    }
}

void checkLines(const club::Outs &out)
{
    for (const club::Out &o : out) {
        if (o.line.contains(QLatin1Char('\r')) || o.line.contains(QLatin1Char('\n')))
            std::abort();
        if (o.line.startsWith(QLatin1Char('P'))) {
            try {
                ParseTrickLine(o.line.mid(1));
            } catch (const VimoError &) {
                std::abort();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = Cp1250::decode(reinterpret_cast<const char *>(data), qsizetype(std::min<size_t>(size, 1 << 16)));
    QStringList lines = input.split(QLatin1Char('\n'));
    int number = 1;
    if (!lines.isEmpty() && lines.first().startsWith(QLatin1Char('D')))
        number = StrToIntDef(lines.takeFirst().mid(1), 1);
    club::Deal deal(number);
    deal.setRobotSamples(0);
    checkLines(deal.start());
    check(deal);
    club::Deal::Phase phase = deal.phase();
    int searches = 0;
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        club::Outs out;
        bool undone = false;
        QString rest = line.mid(1);
        switch (line[0].unicode()) {
        case 'B': {
            const int seat = StrToIntDef(NextWord(rest), 0);
            const QString notice = deal.bid(seat, rest, out);
            if (notice.isEmpty() == out.isEmpty())
                std::abort(); // taken turns speak, refused ones change nothing
            break;
        }
        case 'P': {
            const int seat = StrToIntDef(NextWord(rest), 0);
            const QString notice = deal.play(seat, StrToIntDef(NextWord(rest), 0), out);
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
                deal.setRobotSamples(std::clamp(StrToIntDef(rest, 0), 0, 2));
            continue;
        case 'T': {
            const auto record = club::DealRecord::fromText(rest);
            if (record && record->toText() != rest)
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
        const auto back = club::DealRecord::fromText(r.toText());
        if (!back || back->toText() != r.toText())
            std::abort();
    }
    return 0;
}
