#include "Catalogue.h"

namespace {

struct Row
{
    const char16_t *tk;
    int made;
    int down;
    const char16_t *note;
    const char16_t *hint;
};

// Names that read as two words, or that are joined behind a raiser or suit word, carry
// no-break spaces (U+00A0): a bid text separates its words with ordinary blanks only.
// "L´amour" is written with the acute accent U+00B4, as the club spells it.
constexpr Row Table[] = {
    {u"Négy\u00A0király", 10, 0, u"Csendben",
     u"Az összes király elvitele (Volát, Légió, stb. esetén is érvényes)"},
    {u"Les", 10, 0, u"Csendben",
     u"Az ellenfél pagátjának megütése"},
    {u"Obscur", 5, 0, u"Csendben",
     u"Ha nem volt gém, kassza stb. bemondva, aki az elsőként üt ötöt"},
    {u"Csendes\u00A0XXI", 50, 0, u"Csendben",
     u"Az ellenfél XXI-esének elvitele"},
    {u"Színszám", 0, 0, u"Jelzés",
     u"Egynél több egyszínű lap a kézben"},
    {u"Tarokkszám", 0, 0, u"Jelzés",
     u"8, 9 vagy 10 tarokk a kézben"},
    {u"Matador", 0, 0, u"Jelzés",
     u"Matador a kézben (Pagát I, sas II, kakadu III vagy kanári IIII)"},
    {u"Flush", 0, 0, u"Jelzés",
     u"Egy színből az összes lap a kézben"},
    {u"Vannak", 0, 0, u"Jelzés",
     u"Négy azonos figura a kézben"},
    {u"Vizi", 1, 1, u"Biztató",
     u"A XVIII elvitele"},
    {u"L\u00B4amour", 1, 1, u"Biztató",
     u"A XIX elvitele"},
    {u"Angelo", 1, 1, u"Biztató",
     u"A XX elvitele"},
    {u"Honőr", 1, 1, u"Biztató",
     u"Az egyik honőr (XXI vagy Skíz) elvitele"},
    {u"Köpf", 2, 2, u"Biztató",
     u"Mind a két honőr (XXI és Skíz) elvitele"},
    {u"Trull", 3, 3, u"Biztató",
     u"Mind a két honőr és a pagát elvitele"},
    {u"Gém", 10, 5, u"Ütésszám",
     u"Bármelyik 5 ütés elvitele"},
    {u"Kassza", 15, 5, u"Ütésszám",
     u"Bármelyik 6 ütés elvitele"},
    {u"Bridzs", 20, 10, u"Ütésszám",
     u"Bármelyik 7 ütés elvitele"},
    {u"Oktáv", 25, 10, u"Ütésszám",
     u"Bármelyik 8 ütés elvitele"},
    {u"Mizer", 30, 10, u"Ütésszám",
     u"Bármelyik 9 ütés elvitele"},
    {u"Volát", 35, 10, u"Ütésszám",
     u"Minden ütés elvitele"},
    {u"Pikoló", 5, 5, u"Kötött ütés",
     u"Az első 3 ütés elvitele a 3. a XVIII-assal"},
    {u"City", 5, 5, u"Kötött ütés",
     u"Az első 4 ütés elvitele a 4. a XIX-essel"},
    {u"Centrum", 10, 5, u"Kötött ütés",
     u"Az első 5 ütés elvitele az 5. a XX-assal"},
    {u"Kismadár", 15, 5, u"Kötött ütés",
     u"Az első 6 ütés elvitele a 6. a XXI-essel"},
    {u"Nagymadár", 20, 5, u"Kötött ütés",
     u"Az első 7 ütés elvitele a 7. a Skízzel"},
    {u"\u00A0ulti", 10, 5, u"Magasító",
     u"A 10. (utolsó) ütés elvitele a megnevezett magasítóval"},
    {u"\u00A0uhu", 15, 5, u"Magasító",
     u"A 9. ütés elvitele a megnevezett magasítóval"},
    {u"\u00A0sárkány", 20, 10, u"Magasító",
     u"A 8. ütés elvitele a megnevezett magasítóval"},
    {u"\u00A0griff", 25, 10, u"Magasító",
     u"A 7. ütés elvitele a megnevezett magasítóval"},
    {u"\u00A0turul", 30, 10, u"Magasító",
     u"A 6. ütés elvitele a megnevezett magasítóval"},
    {u"\u00A0fácán", 10, 5, u"Magasító",
     u"Az első ütés elvitele a megnevezett magasítóval"},
    {u"\u00A0sólyom", 10, 5, u"Magasító",
     u"A második ütés elvitele a megnevezett magasítóval"},
    {u"\u00A0banda", 5, 5, u"Elfogó",
     u"A megnevezett szín minden lapjának elvitele"},
    {u"Piros-fekete", 10, 5, u"Elfogó",
     u"Egy piros és egy fekete szín minden lapjának elvitele"},
    {u"Flotta", 10, 5, u"Elfogó",
     u"Az összes piros (kőr és káró) lap elvitele"},
    {u"Armada", 15, 5, u"Elfogó",
     u"Az összes fekete (pikk és treff) lap elvitele"},
    {u"Légió", 25, 10, u"Elfogó",
     u"Az összes színes lap elvitele"},
    {u"Pagátfogás", 20, 10, u"Elfogó",
     u"Az ellenfél pagátjának elvitele"},
    {u"Amazon", 5, 5, u"Extra",
     u"Ütés egy kis színes lappal (nem király)"},
    {u"Spadille", 30, 10, u"Extra",
     u"Ütés egy kis piros lappal (nem király)"},
    {u"Manille", 30, 10, u"Extra",
     u"Ütés egy kis fekete lappal (nem király, nem dáma)"},
    {u"Dzsinn", 30, 10, u"Extra",
     u"Tízes ulti (treff vagy pikk)"},
    {u"\u00A0mariage", 30, 10, u"Extra",
     u"Az utolsó két ütés a megnevezett színű királlyal és dámával"},
    {u"Surranó", 30, 10, u"Extra",
     u"Az utolsó két ütés elvitele matadorokkal"},
    {u"Főnix", 30, 10, u"Extra",
     u"Az utolsó két ütés elvitele királyokkal"},
    {u"XXI-fogás", 150, 20, u"Trófea",
     u"Az ellenfél XXI-esének elfogása"},
    {u"Héja", 150, 20, u"Trófea",
     u"Első 3 ütés elvitele magasítókkal"},
    {u"Couleur", 160, 20, u"Trófea",
     u"Az utolsó 3 ütés elvitele színes lapokkal"},
    {u"Golgota", 180, 20, u"Trófea",
     u"XXI-fogás + Pagátfogás"},
    {u"Kentaur", 180, 20, u"Trófea",
     u"XXI-fogás + Amazon"},
    {u"Trojka", 180, 20, u"Trófea",
     u"Utolsó 3 ütés matadorokkal"},
    {u"Famille", 200, 25, u"Trófea",
     u"Utolsó 3 ütés azonos színű lapokkal"},
    {u"Betlehem", 200, 25, u"Trófea",
     u"Utolsó 3 ütés királyokkal"},
    {u"Szfinx", 200, 25, u"Trófea",
     u"Spadille + Manille"},
    {u"Skála", 220, 30, u"Volát trófea",
     u"Volát + Pikoló + City + Centrum + Kismadár + Nagymadár"},
    {u"Piramis", 240, 30, u"Volát trófea",
     u"Volát + egymást követő 4 ütés a matadorokkal"},
    {u"Quart", 240, 30, u"Volát trófea",
     u"Volát + egymást követő 4 ütés színes lapokkal"},
    {u"Stella", 240, 30, u"Volát trófea",
     u"Skála + Couleur"},
    {u"Full", 260, 30, u"Volát trófea",
     u"Volát + Héja + City + Centrum + Kismadár + Nagymadár"},
    {u"Spektrum", 260, 30, u"Volát trófea",
     u"Skála + Trojka"},
    {u"Court", 260, 30, u"Volát trófea",
     u"Skála + Famille"},
    {u"Grand", 260, 30, u"Volát trófea",
     u"Skála + Betlehem"},
    {u"Hárpia", 280, 30, u"Volát trófea",
     u"Volát + Golgota + Kentaur"},
    {u"Glória", 280, 30, u"Volát trófea",
     u"Volát + XXI-fogás + Couleur"},
    {u"Triumf", 280, 30, u"Volát trófea",
     u"Volát + XXI-fogás + Trojka"},
    {u"Royal", 300, 30, u"Volát trófea",
     u"Volát + Golgota + Trojka, de nem ugyanaz üti az utolsó hármat"},
};

} // namespace

namespace Catalogue {

const QList<TAnnouncement> &Rows()
{
    static const QList<TAnnouncement> rows = [] {
        QList<TAnnouncement> list;
        list.reserve(std::size(Table));
        for (const Row &r : Table)
            list.append({QString::fromUtf16(r.tk), r.made, r.down, QString::fromUtf16(r.note),
                          QString::fromUtf16(r.hint)});
        return list;
    }();
    return rows;
}

int IndexOf(const QString &name)
{
    const QList<TAnnouncement> &rows = Rows();
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].Tk == name)
            return i;
    return -1;
}

QString HintOf(const QString &name)
{
    const int i = IndexOf(name);
    return i < 0 ? QString() : Rows()[i].Hint;
}

} // namespace Catalogue
