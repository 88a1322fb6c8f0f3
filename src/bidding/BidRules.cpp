#include "BidRules.h"

using namespace Qt::StringLiterals;

namespace BidRules {

const QStringList &GroupNames()
{
    static const QStringList names = {
        QStringLiteral("Jelzések"),  QStringLiteral("Biztatók"),      QStringLiteral("Ütések"),
        QStringLiteral("Magasítók"), QStringLiteral("Elfogók"),       QStringLiteral("Extrák"),
        QStringLiteral("Trófeák"),   QStringLiteral("Volát trófeák"), QStringLiteral("* Kontra"),
        QStringLiteral("** Rekontra")};
    return names;
}

QStringList GroupEntries(int group)
{
    // The catalogue's names, character for character; the no-break space at the front of a
    // raiser's or a suit's name is what separates it from the word put before it.
    switch (group) {
    case Encouragers:
        return {u"Vizi"_s, u"L\u00B4amour"_s, u"Angelo"_s, u"Honőr"_s, u"Köpf"_s, u"Trull"_s};
    case Tricks:
        return {u"Gém"_s,    u"Kassza"_s, u"Bridzs"_s,  u"Oktáv"_s,    u"Mizer"_s,
                u"Volát"_s,  u"Pikoló"_s, u"City"_s,    u"Centrum"_s,  u"Kismadár"_s,
                u"Nagymadár"_s};
    case Raisers:
        return {u"\u00A0ulti"_s,  u"\u00A0uhu"_s,   u"\u00A0sárkány"_s, u"\u00A0griff"_s,
                u"\u00A0turul"_s, u"\u00A0fácán"_s, u"\u00A0sólyom"_s};
    case Captures:
        return {u"\u00A0banda"_s, u"Piros-fekete"_s, u"Flotta"_s,
                u"Armada"_s,      u"Légió"_s,        u"Pagátfogás"_s};
    case Extras:
        return {u"Amazon"_s,          u"Spadille"_s, u"Manille"_s, u"Dzsinn"_s,
                u"\u00A0mariage"_s,   u"Surranó"_s,  u"Főnix"_s};
    case Trophies:
        return {u"XXI-fogás"_s, u"Héja"_s,    u"Couleur"_s,  u"Golgota"_s, u"Kentaur"_s,
                u"Trojka"_s,    u"Famille"_s, u"Betlehem"_s, u"Szfinx"_s};
    case VolatTrophies:
        return {u"Skála"_s, u"Piramis"_s, u"Quart"_s,  u"Spektrum"_s, u"Stella"_s, u"Full"_s,
                u"Court"_s, u"Grand"_s,   u"Hárpia"_s, u"Glória"_s,   u"Triumf"_s, u"Royal"_s};
    default:
        return {};
    }
}

const QStringList &HigherWords()
{
    static const QStringList words = {
        QStringLiteral("Pagát"), QStringLiteral("Sas"),  QStringLiteral("Kakadu"),
        QStringLiteral("Kanári"), QStringLiteral("Treff"), QStringLiteral("Káró"),
        QStringLiteral("Kőr"),   QStringLiteral("Pikk")};
    return words;
}

const QStringList &ChainA()
{
    static const QStringList chain = {QStringLiteral("Honőr"), QStringLiteral("Köpf"),
                                      QStringLiteral("Trull")};
    return chain;
}

const QStringList &ChainB()
{
    static const QStringList chain = {QStringLiteral("Gém"),   QStringLiteral("Kassza"),
                                      QStringLiteral("Bridzs"), QStringLiteral("Oktáv"),
                                      QStringLiteral("Mizer"), QStringLiteral("Volát")};
    return chain;
}

// A list "holds" a bid the way a list box finds an entry: letter case does not count.
// Chain membership, by contrast, is exact.
static bool holds(const QStringList &list, const QString &bid)
{
    return list.contains(bid, Qt::CaseInsensitive);
}

void CheckRepeat(const QStringList &list, const QString &bid)
{
    if (holds(list, bid))
        Fail(QStringLiteral("Ismételt licit. ") + bid + QStringLiteral(" már van"));
    for (const QStringList *chain : {&ChainA(), &ChainB()}) {
        const qsizetype at = chain->indexOf(bid);
        if (at < 0)
            continue;
        for (qsizetype higher = at + 1; higher < chain->size(); ++higher)
            if (holds(list, chain->at(higher)))
                Fail(QStringLiteral("Hibás emelés. ") + chain->at(higher) + QStringLiteral(" már van."));
    }
}

void CheckExclusive(const QStringList &pending, const QString &bid)
{
    for (const QStringList *chain : {&ChainA(), &ChainB()}) {
        if (!chain->contains(bid))
            continue;
        for (const QString &member : *chain)
            if (member != bid && holds(pending, member))
                Fail(QStringLiteral("Hibás licit. ") + member + QStringLiteral(" már van."));
    }
}

QString ComposeBid(int group, int entry, const QStringList &entries, const QString &higherText)
{
    const bool needsSuit = (group == Captures && entry == 0) || (group == Extras && entry == 4);
    const qsizetype higher = HigherWords().indexOf(higherText);
    if (needsSuit && higher < FirstSuit)
        Fail(QStringLiteral("Hibás színválasztás"));
    if (entry < 0 || entry >= entries.size())
        Fail(QStringLiteral("Hibás licit"));
    // A raiser's name is bid behind one of the four raisers. Free text typed into the box
    // is refused: a blank in it would split the token and break the count of the bid line.
    if (group == Raisers && (higher < 0 || higher >= FirstSuit))
        Fail(QStringLiteral("Hibás licit"));
    const QString prefix = (group == Raisers || needsSuit) ? higherText : QString();
    return prefix + entries.at(entry);
}

Offers ContraOffers(const QList<TBidList::Turn> &turns, int ownSeat)
{
    Offers offers;
    if (ownSeat < 1 || ownSeat > 4)
        return offers;
    const auto sideOf = [](int seat) { return seat == 2 || seat == 3 ? 2 : 1; };
    for (const TBidList::Turn &turn : turns) {
        if (sideOf(turn.Seat) == sideOf(ownSeat))
            continue;
        for (const QString &bid : turn.Bids) {
            // Distribution and hand signals are facts, not promises: nothing to doubt. An
            // empty word (two blanks in a row) names nothing either.
            if (bid.isEmpty() || (bid[0] >= QLatin1Char('1') && bid[0] <= QLatin1Char('9')))
                continue;
            if (bid == QLatin1String("Vannak") || bid == QLatin1String("Flush")
                || bid == QLatin1String("Matador") || bid.startsWith(QLatin1String("**")))
                continue;
            if (bid.startsWith(QLatin1Char('*')))
                offers.recontra.append(QLatin1Char('*') + bid);
            else
                offers.contra.append(QLatin1Char('*') + bid);
        }
    }
    return offers;
}

QString BidLine(const QString &nick, const QStringList &bids)
{
    QString line = QLatin1Char('B') + nick + BlankInt(int(bids.size()));
    for (const QString &bid : bids)
        line += QLatin1Char(' ') + bid;
    return line;
}

QString EntryHint(int group, const std::optional<QString> &entry,
                  const std::function<QString(const QString &)> &hintOf)
{
    if (!entry)
        return QStringLiteral("A csoporthoz tartozó bemondások");
    if (group == Contra || group == Recontra)
        return QStringLiteral("A bemondás teljesítésének kétségbevonása");
    if (group == Signals) {
        if (*entry == QLatin1String("Matador") || *entry == QLatin1String("Vannak")
            || *entry == QLatin1String("Flush"))
            return hintOf(*entry);
        return QStringLiteral("Elosztás közlés");
    }
    return hintOf(*entry);
}

} // namespace BidRules
