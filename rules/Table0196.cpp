#include "rules/Table0196.h"

#include <array>

namespace arti {

namespace {

// Windows-1252 letters of the names; a literal is closed behind each so that a following
// letter cannot extend the escape.
#define AE "\xE4"
#define OE "\xF6"
#define SZ "\xDF"

constexpr std::string_view kLists01 = "01/11/12/13/21/22/23/31/32/33/41/42/43";

constexpr std::array<FieldDef, 15> kV{{
    {"Satzartkennzeichen", "1", "A", "M", "V", "F"},
    {"Datum Erstellung", "8", "N", "M", "", "F"},
    {"Informationstext", "30", "A", "M", "", "F"},
    {"1.Mitteilung", "30", "A", "K", "", "F"},
    {"2.Mitteilung", "30", "A", "K", "", "F"},
    {"SatzfolgeA", "1", "N", "M", "0/1", "F"},
    {"SatzfolgeB", "1", "N", "M", "0/1", "F"},
    {"SatzfolgeD", "1", "N", "M", "0/1", "F"},
    {"SatzfolgeP", "1", "N", "M", "0/1", "F"},
    {"SatzfolgeR", "1", "N", "M", "0/1", "F"},
    {"SatzfolgeS", "1", "N", "M", "0/1", "F"},
    {"SatzfolgeT", "1", "N", "M", "0/1", "F"},
    {"SatzfolgeZ", "1", "N", "M", "0/1", "F"},
    {"Reserve", "17", "A", "M", " ", "F"},
    {"Version", "4", "A", "M", "0196", "F"},
}};

constexpr std::array<FieldDef, 7> kK{{
    {"Satzartkennzeichen", "1", "A", "M", "K", "F"},
    {"GLN Datenersteller", "13", "N", "K", "", "F"},
    {"Name Datenersteller", "30", "A", "M", "", "F"},
    {"GLN Datenempf" AE "nger", "13", "N", "K", "", "F"},
    {"Name Datenempf" AE "nger", "30", "A", "K", "", "F"},
    {"Kundennummer", "12", "A", "K", "", "F"},
    {"Reserve", "29", "A", "M", " ", "F"},
}};

constexpr std::array<FieldDef, 9> kA{{
    {"Satzartkennzeichen", "1", "A", "M", "A", "F"},
    {"Status, Verarbeitung", "1", "N", "M", "1/9", "F"},
    {"EAN/GTIN", "14", "A", "K", "", "F"},
    {"Hersteller-Nr.", "15", "A", "K", "", "F"},
    {"Gro" SZ "h" AE "ndler-Nr.", "15", "A", "K", "", "F"},
    {"Bezeichnung 1", "27", "A", "M", "", "F"},
    {"Bezeichnung 2", "20", "A", "K", "", "F"},
    {"Typenbezeichnung", "20", "A", "K", "", "F"},
    {"Herstellername", "15", "A", "K", "", "F"},
}};

constexpr std::array<FieldDef, 34> kB{{
    {"Satzartkennzeichen", "1", "A", "M", "B", "F"},
    {"Reserve", "1", "A", "M", "\t", "F"},
    {"Schalter Art.Nr.", "1", "N", "M", "1/2/3", "F"},
    {"Artikel-Nr.", "15", "A", "M", "", "F"},
    {"Ursprung Zoll", "1", "A", "K", " /U/A/K/F", "F"},
    {"Ursprungsland", "3", "N", "K", "", "F"},
    {"Ursprung BRD Land", "2", "N", "K", "00/01/02/03/04/05/06/07/08/09/10/11/12/13/14/15/16", "F"},
    {"Zolltarif-Nr.", "8", "N", "K", "", "F"},
    {"bes.Ma" SZ "einheit Hstat.", "3", "A", "K", "", "F"},
    {"Warengruppe", "4", "A", "K", "", "F"},
    {"Katalogseite", "7", "A", "K", "", "F"},
    {"Gewicht in Gramm kl.Menge", "6", "N", "K", "", "F"},
    {"Verpackungsmenge kl.", "5", "N", "M", "", "F"},
    {"Verpackungsart", "2", "N", "K", "00/01/02/03/04/05/06/07/11/12/13/14/21/22/23/24/25/31/32/33/41/42/99",
     "F"},
    {"Mengeneinheit", "2", "N", "M", kLists01, "F"},
    {"Schalter Umrechnung", "1", "N", "K", "0/1/2", "F"},
    {"Zahl Multipl/Div", "2.1", "N", "K", "", "F"},
    {"Mengeneinheit 2", "2", "N", "K", "00/01/11/12/13/21/22/23/31/32/33/41/42/43", "F"},
    {"Preiskennzeichen", "1", "N", "M", "1/2/3", "F"},
    {"Preiseinheit", "1", "N", "M", "1/2/3/4", "F"},
    {"Preis, kleinste W" AE "hr.Einh.", "8", "N", "M", "", "F"},
    {"W" AE "hrung", "3", "A", "M", "", "F"},
    {"Datum, g"
     "\xFC"
     "ltig ab",
     "8", "N", "M", "", "F"},
    {"Preisgruppe", "3", "A", "K", "", "F"},
    {"Rabattgruppe", "4", "A", "K", "", "F"},
    {"Rabattsatz", "2.2", "N", "K", "", "F"},
    {"Kennziffer RMT", "1", "N", "K", "0/1/2/3", "F"},
    {"RSatz/Multi/Teuerung", "5", "N", "K", "", "F"},
    {"Kennziffer RMT", "1", "N", "K", "0/1/2/3", "F"},
    {"RSatz/Multi/Teuerung", "5", "N", "K", "", "F"},
    {"Kennziffer RMT", "1", "N", "K", "0/1/2/3", "F"},
    {"RSatz/Multi/Teuerung", "5", "N", "K", "", "F"},
    {"Kennung Rohstoff", "1", "N", "M", "0/1", "F"},
    {"Matchcode", "10", "A", "K", "", "F"},
}};

constexpr std::array<FieldDef, 11> kD{{
    {"Satzartkennzeichen", "1", "A", "M", "D", "F"},
    {"Status, Verarbeitung", "1", "N", "M", "1/9", "F"},
    {"Schalter Art.Nr.", "1", "N", "M", "1/2/3", "F"},
    {"Artikel-Nr.", "15", "A", "M", "", "F"},
    {"Schalter Text", "1", "N", "M", "1/2/3/4/5", "F"},
    {"Langtext/Dateiverweis", "11", "A", "M", "", "F"},
    {"Zeilennummer", "3", "N", "K", "", "F"},
    {"Dimensionstext", "40", "A", "K", "", "F"},
    {"Zeilennummer", "3", "N", "K", "", "F"},
    {"Dimensionstext", "40", "A", "K", "", "F"},
    {"Reserve", "12", "A", "M", " ", "F"},
}};

#define GUELTIG                                                                                              \
    "Datum, g"                                                                                               \
    "\xFC"                                                                                                   \
    "ltig ab"
#define WAEHRUNG "W" AE "hrung"

constexpr std::array<FieldDef, 26> kP{{
    {"Satzartkennzeichen", "1", "A", "M", "P", "F"},
    {"Reserve", "1", "A", "M", " ", "F"},
    {"Schalter Art.Nr.", "1", "N", "M", "1/2/3", "F"},
    {"Artikel-Nr.", "15", "A", "M", "", "F"},
    {"Preiskennzeichen", "1", "N", "M", "1/2/3", "F"},
    {"Preiseinheit", "1", "N", "M", "1/2/3/4", "F"},
    {"Preis, kleinste W" AE "hr.Einh.", "8", "N", "M", "", "F"},
    {WAEHRUNG, "3", "A", "M", "", "F"},
    {GUELTIG, "8", "N", "M", "", "F"},
    {"Reserve", "5", "A", "M", " ", "F"},
    {"Schalter Art.Nr.", "1", "N", "K", "0/1/2/3", "F"},
    {"Artikel-Nr.", "15", "A", "K", "", "F"},
    {"Preiskennzeichen", "1", "N", "K", "0/1/2/3", "F"},
    {"Preiseinheit", "1", "N", "K", "0/1/2/3/4", "F"},
    {"Preis", "8", "N", "K", "", "F"},
    {WAEHRUNG, "3", "A", "K", "", "F"},
    {GUELTIG, "8", "N", "K", "", "F"},
    {"Reserve", "5", "A", "M", " ", "F"},
    {"Schalter Art.Nr.", "1", "N", "K", "", "F"},
    {"Artikel-Nr.", "15", "A", "K", "", "F"},
    {"Preiskennzeichen", "1", "N", "K", "", "F"},
    {"Preiseinheit", "1", "N", "K", "", "F"},
    {"Preis", "8", "N", "K", "", "F"},
    {WAEHRUNG, "3", "A", "K", "", "F"},
    {GUELTIG, "8", "N", "K", "", "F"},
    {"Reserve", "5", "A", "M", " ", "F"},
}};

constexpr std::array<FieldDef, 7> kR{{
    {"Satzartkennzeichen", "1", "A", "M", "R", "F"},
    {"Rabattgruppe", "4", "A", "M", "", "F"},
    {"Kennziffer Rab/Multi", "1", "N", "M", "1/2", "F"},
    {"Rabatt/Multiplikator", "5", "N", "M", "", "F"},
    {"Rabattgruppentext 1", "30", "A", "K", "", "F"},
    {"Rabattgruppentext 2", "30", "A", "K", "", "F"},
    {"Reserve", "57", "A", "M", " ", "F"},
}};

constexpr std::array<FieldDef, 5> kS{{
    {"Satzartkennzeichen", "1", "A", "M", "S", "F"},
    {"Warengruppe", "4", "A", "M", "", "F"},
    {"Warengruppentext 1", "30", "A", "M", "", "F"},
    {"Warengruppentext 2", "30", "A", "K", "", "F"},
    {"Reserve", "63", "A", "M", " ", "F"},
}};

constexpr std::array<FieldDef, 10> kT{{
    {"Satzartkennzeichen", "1", "A", "M", "T", "F"},
    {"Status, Verarbeitung", "1", "N", "M", "1/9", "F"},
    {"Reserve", "1", "A", "M", " ", "F"},
    {"Langtext/Dateiverweis", "11", "A", "M", "", "F"},
    {"Zeilennummer", "3", "N", "M", "", "F"},
    {"Textzeile", "40", "A", "M", "", "F"},
    {"Reserve", "13", "A", "M", " ", "F"},
    {"Zeilennummer", "3", "N", "K", "", "F"},
    {"Textzeile", "40", "A", "K", "", "F"},
    {"Reserve", "15", "A", "M", " ", "F"},
}};

// One raw material block of the Z record; the first block's first three fields are
// mandatory and its kind has a list, the later blocks' kinds have none.
#define ZBLOCK_TAIL                                                                                          \
    {"Kennziffer Betrag/%", "1", "N", "K", "0/1/2", "F"}, {"Zuschlag/Gutschrift", "2.2", "N", "K", "", "F"}, \
        {"Sprunggr" OE SZ "e", "5", "N", "K", "", "F"}, {"Kennziffer Sprung", "1", "N", "K", "0/1/2", "F"},  \
    {                                                                                                        \
        "Kennziffer Gutschr.", "1", "N", "K", "0/1/2", "F"                                                   \
    }
#define ZBLOCK_OPTIONAL                                                                                      \
    {"Rohstoffart", "2", "N", "K", "", "F"}, {"Rohstoffgewicht g/PrEinh.", "7", "N", "K", "", "F"},          \
        {"Rohstoffbasis W" AE "hr./100kg", "5", "N", "K", "", "F"}, ZBLOCK_TAIL

constexpr std::array<FieldDef, 37> kZ{{
    {"Satzartkennzeichen", "1", "A", "M", "Z", "F"},
    {"Reserve", "1", "A", "M", " ", "F"},
    {"Schalter Art.Nr.", "1", "N", "M", "1/2/3", "F"},
    {"Artikel-Nr.", "15", "A", "M", "", "F"},
    {"Rohstoffart", "2", "N", "M", "01/02/03/04/05/06/07/90/91/92/93", "F"},
    {"Rohstoffgewicht g/PrEinh.", "7", "N", "M", "", "F"},
    {"Rohstoffbasis W" AE "hr./100kg", "5", "N", "M", "", "F"},
    ZBLOCK_TAIL,
    ZBLOCK_OPTIONAL,
    ZBLOCK_OPTIONAL,
    ZBLOCK_OPTIONAL,
    {"Reserve", "6", "A", "M", " ", "F"},
}};

#undef ZBLOCK_OPTIONAL
#undef ZBLOCK_TAIL
#undef WAEHRUNG
#undef GUELTIG
#undef SZ
#undef OE
#undef AE

} // namespace

std::span<const FieldDef> table0196(char recordType) {
    switch (recordType) {
    case 'V':
        return kV;
    case 'K':
        return kK;
    case 'A':
        return kA;
    case 'B':
        return kB;
    case 'D':
        return kD;
    case 'P':
        return kP;
    case 'R':
        return kR;
    case 'S':
        return kS;
    case 'T':
        return kT;
    case 'Z':
        return kZ;
    default:
        return {};
    }
}

} // namespace arti
