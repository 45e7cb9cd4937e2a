#include "rules/Table0590.h"

#include <array>

namespace arti {
namespace {

// Windows-1252 spellings of the names with umlauts.
#define AE "\xE4"
#define UE "\xFC"
#define OE "\xF6"
#define SZ "\xDF"

constexpr std::string_view kBlank = " ";

constexpr std::array<FieldDef, 6> kV{{
    {"Satzartkennzeichen", "1", "A", "M", "V", "F"},
    {"Datum Erstellung", "8", "N", "M", "", "F"},
    {"Informationstext", "30", "A", "M", "", "F"},
    {"1.Mitteilung", "30", "A", "K", "", "T"},
    {"2.Mitteilung", "30", "A", "K", "", "T"},
    {"Reserve", "29", "A", "M", kBlank, "F"},
}};

constexpr std::array<FieldDef, 6> kK{{
    {"Satzartkennzeichen", "1", "A", "M", "K", "F"},
    {"GLN Datenersteller", "13", "N", "K", "", "T"},
    {"Name Datenersteller", "30", "A", "M", "", "F"},
    {"GLN Datenempf" AE "nger", "13", "N", "K", "", "T"},
    {"Name Datenempf" AE "nger", "30", "A", "K", "", "T"},
    {"Reserve", "41", "A", "M", kBlank, "F"},
}};

constexpr std::array<FieldDef, 10> kA{{
    {"Satzartkennzeichen", "1", "A", "M", "A", "F"},
    {"Status, Verarbeitung", "1", "N", "M", "0/1/2/3/9", "F"},
    {"EAN/GTIN", "14", "A", "K", "", "T"},
    {"Hersteller-Nr.", "15", "A", "K", "", "T"},
    {"Gro" SZ "h" AE "ndler-Nr.", "15", "A", "K", "", "T"},
    {"Bezeichnung 1", "27", "A", "M", "", "T"},
    {"Bezeichnung 2", "20", "A", "K", "", "T"},
    {"Typenbezeichnung", "20", "A", "K", "", "T"},
    {"Zusatztext", "8", "A", "K", "", "T"},
    {"Reserve", "7", "A", "M", kBlank, "F"},
}};

constexpr std::array<FieldDef, 30> kB{{
    {"Satzartkennzeichen", "1", "A", "M", "B", "F"},
    {"Status, Verarbeitung", "1", "N", "M", "0/1/2/3/9", "F"},
    {"Schalter Art.Nr.", "1", "N", "M", "0/1/2", "F"},
    {"Artikel-Nr.", "15", "A", "M", "", "F"},
    {"Herstellername", "15", "A", "K", "", "T"},
    {"Warengruppe", "3", "A", "K", "", "T"},
    {"Katalogseite", "4", "A", "K", "", "T"},
    {"Verpackungseinheit", "5", "N", "K", "", "T"},
    {"Verpackungseinheit kl.", "5", "N", "K", "", "T"},
    {"Gewicht in Gramm kl.Menge", "6", "N", "K", "", "T"},
    {"Ursprungsland", "1", "A", "K", "U/R/N", "T"},
    {"Mengeneinheit", "2", "N", "K", "", "T"},
    {"Preiskennzeichen", "1", "N", "K", "1/2/3", "T"},
    {"Preiseinheit", "1", "N", "K", "1/2/3/4", "T"},
    {"Preis, kleinste W" AE "hr.Einh.", "8", "N", "K", "", "T"},
    {"W" AE "hrung", "3", "A", "K", "", "T"},
    {"Datum, g" UE "ltig ab", "8", "N", "M", "", "T"},
    {"Reserve", "4", "A", "M", kBlank, "F"},
    {"Preisgruppe", "3", "A", "K", "", "T"},
    {"Rabattgruppe", "4", "A", "K", "", "T"},
    {"Rabattsatz", "2.2", "N", "K", "", "T"},
    {"Kennziffer RMT", "1", "N", "K", "1/2/3", "T"},
    {"RSatz/Multi/Teuerung", "4", "N", "K", "", "T"},
    {"Kennziffer RMT", "1", "N", "K", "1/2/3", "T"},
    {"RSatz/Multi/Teuerung", "4", "N", "K", "", "T"},
    {"Kennziffer RMT", "1", "N", "K", "1/2/3", "T"},
    {"RSatz/Multi/Teuerung", "4", "N", "K", "", "T"},
    {"Kennung Rohstoff", "1", "A", "K", "0/Z", "T"},
    {"Matchcode", "10", "A", "K", "", "T"},
    {"Reserve", "7", "A", "M", kBlank, "F"},
}};

constexpr std::array<FieldDef, 28> kP{{
    {"Satzartkennzeichen", "1", "A", "M", "P", "F"},
    {"Status, Verarbeitung", "1", "N", "M", "0/2/3/9", "F"},
    {"Schalter Art.Nr.", "1", "N", "M", "0/1/2", "F"},
    {"Artikel-Nr.", "15", "A", "M", "", "F"},
    {"Preiskennzeichen", "1", "N", "K", "1/2/3", "F"},
    {"Preiseinheit", "1", "N", "K", "1/2/3/4", "F"},
    {"Preis, kleinste W" AE "hr.Einh.", "8", "N", "K", "", "F"},
    {"W" AE "hrung", "3", "A", "K", "", "F"},
    {"Datum, g" UE "ltig ab", "8", "N", "K", "", "T"},
    {"Reserve", "4", "A", "M", kBlank, "F"},
    {"Status, Verarbeitung", "1", "N", "M", "0/2/3/9", "T"},
    {"Schalter Art.Nr.", "1", "N", "K", "0/1/2", "T"},
    {"Artikel-Nr.", "15", "A", "K", "", "T"},
    {"Preiskennzeichen", "1", "N", "K", "", "T"},
    {"Preiseinheit", "1", "N", "K", "", "T"},
    {"Preis", "8", "N", "K", "", "T"},
    {"W" AE "hrung", "3", "A", "K", "", "T"},
    {"Datum, g" UE "ltig ab", "8", "N", "K", "", "T"},
    {"Reserve", "5", "A", "M", kBlank, "F"},
    {"Status, Verarbeitung", "1", "N", "M", "0/2/3/9", "T"},
    {"Schalter Art.Nr.", "1", "N", "K", "0/1/2", "T"},
    {"Artikel-Nr.", "15", "A", "K", "", "T"},
    {"Preiskennzeichen", "1", "N", "K", "1/2/3", "T"},
    {"Preiseinheit", "1", "N", "K", "1/2/3/4", "T"},
    {"Preis", "8", "N", "K", "", "T"},
    {"W" AE "hrung", "3", "A", "K", "", "T"},
    {"Datum, g" UE "ltig ab", "8", "N", "K", "", "T"},
    {"Reserve", "4", "A", "M", kBlank, "F"},
}};

constexpr std::array<FieldDef, 7> kR{{
    {"Satzartkennzeichen", "1", "A", "M", "R", "F"},
    {"Rabattgruppe", "4", "A", "M", "", "F"},
    {"Kennziffer Rab/Multi", "1", "N", "K", "1/2", "T"},
    {"Rabatt/Multiplikator", "4", "N", "K", "", "T"},
    {"Rabattgruppentext 1", "30", "A", "K", "", "T"},
    {"Rabattgruppentext 2", "30", "A", "K", "", "T"},
    {"Reserve", "58", "A", "M", kBlank, "F"},
}};

constexpr std::array<FieldDef, 5> kS{{
    {"Satzartkennzeichen", "1", "A", "M", "S", "F"},
    {"Warengruppe", "4", "A", "M", "", "F"},
    {"Warengruppentext 1", "30", "A", "M", "", "T"},
    {"Warengruppentext 2", "30", "A", "K", "", "T"},
    {"Reserve", "63", "A", "M", kBlank, "FT"},
}};

// One raw material block of the Z record; the first block's lists differ.
#define ROHSTOFF_BLOCK(kennziffer)                                                                           \
    {"Rohstoffart", "2", "N", "K", "01/02/03/04/05/06/99", "T"},                                             \
        {"Rohstoffgewicht g/PrEinh.", "7", "N", "K", "", "T"},                                               \
        {"Rohstoffbasis W" AE "hr./100kg", "5", "N", "K", "", "T"},                                          \
        {"Kennziffer Betrag/%", "1", "N", "K", kennziffer, "T"},                                             \
        {"Zuschlag/Gutschrift", "2.2", "N", "K", "", "T"}, {"Sprunggr" OE SZ "e", "5", "N", "K", "", "T"},   \
        {"Kennziffer Sprung", "1", "N", "K", kennziffer, "T"}, {                                             \
        "Kennziffer Gutschr.", "1", "N", "K", kennziffer, "T"                                                \
    }

constexpr std::array<FieldDef, 37> kZ{{
    {"Satzartkennzeichen", "1", "A", "M", "Z", "F"},
    {"Status, Verarbeitung", "1", "N", "M", "0/1/2/3/9", "F"},
    {"Schalter Art.Nr.", "1", "N", "M", "0/1/2", "F"},
    {"Artikel-Nr.", "15", "A", "M", "", "F"},
    // The first block: its raw material type is mandatory and its code fields carry no list.
    {"Rohstoffart", "2", "N", "M", "01/02/03/04/05/06/99", "T"},
    {"Rohstoffgewicht g/PrEinh.", "7", "N", "K", "", "T"},
    {"Rohstoffbasis W" AE "hr./100kg", "5", "N", "K", "", "T"},
    {"Kennziffer Betrag/%", "1", "N", "K", "", "T"},
    {"Zuschlag/Gutschrift", "2.2", "N", "K", "", "T"},
    {"Sprunggr" OE SZ "e", "5", "N", "K", "", "T"},
    {"Kennziffer Sprung", "1", "N", "K", "", "T"},
    {"Kennziffer Gutschr.", "1", "N", "K", "", "T"},
    ROHSTOFF_BLOCK("1/2"),
    ROHSTOFF_BLOCK("1/2"),
    ROHSTOFF_BLOCK("1/2"),
    {"Reserve", "6", "A", "M", kBlank, "F"},
}};

#undef ROHSTOFF_BLOCK
#undef AE
#undef UE
#undef OE
#undef SZ

} // namespace

std::span<const FieldDef> table0590(char recordType) {
    switch (recordType) {
    case 'V':
        return kV;
    case 'K':
        return kK;
    case 'A':
        return kA;
    case 'B':
        return kB;
    case 'P':
        return kP;
    case 'R':
        return kR;
    case 'S':
        return kS;
    case 'Z':
        return kZ;
    default:
        return {};
    }
}

} // namespace arti
