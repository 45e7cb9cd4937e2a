#include "rules/CodeTables.h"

#include "core/Text.h"

#include <initializer_list>
#include <span>
#include <vector>

namespace arti {

namespace {

// One row: a code, or a range from `code` to `last`, and its text (UTF-8 in the source,
// converted once to Windows-1252 when the tables are first used).
struct Row {
    std::string_view code;
    std::string_view text;
    std::string_view last = {};
};

struct Table {
    std::string_view keyword;
    std::string_view keyword2; // empty: the table has one keyword
    std::span<const Row> rows;
};

constexpr std::string_view kUndefined = "undefiniert";

// ---- Tables shared by several versions ----
constexpr Row kArtNr[] = {{"1", "= GTIN/EAN Global Trade Item Number"},
                          {"2", "= Hersteller Artikel Nummer"},
                          {"3", "= Großhändler Artikel Nummer"}};
constexpr Row kVerpackung[] = {
    {"01", "= Paar"},    {"02", "= Satz"},     {"03", "= Folie"},   {"04", "= Blister"},  {"05", "= Display"},
    {"06", "= Karton"},  {"07", "= Palette"},  {"11", "= Rolle"},   {"12", "= Ring"},     {"13", "= Spule"},
    {"14", "= Trommel"}, {"21", "= Dose"},     {"22", "= Flasche"}, {"23", "= Kanister"}, {"24", "= Eimer"},
    {"25", "= Fass"},    {"31", "= Tüte"},     {"32", "= Beutel"},  {"33", "= Sack"},     {"41", "= Bund"},
    {"42", "= Gebinde"}, {"99", "= Sonstiges"}};
constexpr Row kMenge[] = {{"01", "= Stück"}, {"11", "= mm"},  {"12", "= cm"}, {"13", "= m"},  {"21", "= mg"},
                          {"22", "= g"},     {"23", "= kg"},  {"31", "= ml"}, {"32", "= cl"}, {"33", "= l"},
                          {"41", "= mm²"},   {"42", "= cm²"}, {"43", "= m²"}};
constexpr Row kUmrechnung[] = {{"1", "= Multiplikator"}, {"2", "= Divisor"}};
constexpr Row kPreisKz[] = {{"1", "= Hersteller Listenpreis (UVP)"},
                            {"2", "= Datenersteller Listenpreis (Brutto)"},
                            {"3", "=  Datenempfänger EK-Preis"}};
constexpr Row kPreiseinheit[] = {
    {"1", "= 1 Einheit"}, {"2", "= 10 Einheiten"}, {"3", "= 100 Einheiten"}, {"4", "= 1000 Einheiten"}};
constexpr Row kRohstoff[] = {{"01", "= CU > Kupfer"},
                             {"02", "= AL > Aluminium"},
                             {"03", "= PB > Blei"},
                             {"04", "= AG > Silber"},
                             {"05", "= ME > CU/ZN > Messing"},
                             {"06", "= AU > Gold"},
                             {"07", "= PT > Platin"},
                             {"90", "= Verpackung"},
                             {"91", "= Versicherung"},
                             {"92", "= Teuerung"},
                             {"93", "= Recycling/Entsorgung/Rücknahme"}};
constexpr Row kBetrag[] = {{"1", "= Betrag"}, {"2", "= Prozentsatz"}};
constexpr Row kSprung[] = {{"1", "= pro angefangenem Sprung"}, {"2", "= pro vollendetem Sprung"}};
constexpr Row kGutschr[] = {{"1", "= nur Zuschlag möglich"}, {"2", "= Zuschlag/Gutschrift möglich"}};
constexpr Row kRabMulti[] = {{"1", "= Rabattsatz"}, {"2", "= Multiplikator"}};

// ---- 01/96 ----
constexpr Row kStatus0196[] = {{"1", "Neu/Neuanlage"}, {"9", "Löschen"}};
constexpr Row kUrsprung0196[] = {{"U", "= Herkunft EU/EFTA-Präferenz"},
                                 {"A", "= Herkunft andere Präferenz"},
                                 {"K", "= Herkunft keine Präferenz"},
                                 {"F", "= Festgesetzter Ursprung"}};
constexpr Row kRmt0196[] = {{"1", "= Rabattsatz"}, {"2", "= Multiplikator"}, {"3", "= TeuerungZuschl."}};
constexpr Row kKennung0196[] = {{"0", "= es folgt kein Rohstoffsatz"}, {"1", "= es folgt ein Rohstoffsatz"}};
constexpr Row kText0196[] = {{"1", "= ELDANORM Text ohne Dimensionseintrag"},
                             {"2", "= ELDANORM Langtext mit Dimensionseintrag"},
                             {"3", "= Verweis auf eine externe Textdatei"},
                             {"4", "= Verweis auf eine externe Bilddatei"},
                             {"5", "= Dateiformat nach Absprache"}};

constexpr Table k0196[] = {
    {"Status, Verarbeitung", {}, kStatus0196},
    {"Schalter Art.Nr.", {}, kArtNr},
    {"Ursprung", {}, kUrsprung0196},
    {"Verpackungsart", {}, kVerpackung},
    {"Mengeneinheit", {}, kMenge},
    {"Schalter Umrechnung", {}, kUmrechnung},
    {"Preiskennzeichen", {}, kPreisKz},
    {"Preiseinheit", {}, kPreiseinheit},
    {"Kennziffer RMT", "Kennziffer RM", kRmt0196},
    {"Kennung Rohstoff", {}, kKennung0196},
    {"Schalter Text", {}, kText0196},
    {"Rohstoffart", {}, kRohstoff},
    {"Kennziffer Betrag/%", {}, kBetrag},
    {"Kennziffer Sprung", {}, kSprung},
    {"Kennziffer Gutschr.", {}, kGutschr},
};

// ---- 05/90 ----
constexpr Row kStatus0590[] = {{"0", "normal/Pflege"},
                               {"1", "Neu/Neuanlage"},
                               {"2", "Auslauf/Pflege"},
                               {"3", "nicht aktiv/Pflege"},
                               {"9", "Löschen"}};
constexpr Row kArtNr0590[] = {{"0", "= GTIN/EAN Global Trade Item Number"},
                              {"1", "= Hersteller Artikel Nummer"},
                              {"2", "= Großhändler Artikel Nummer"}};
constexpr Row kUrsprung0590[] = {
    {"U", "EG-Mitgliedsstaat"}, {"R", "EFTA-Mitgliedsstaat"}, {"N", "sonstiger Ursprung"}};
constexpr Row kMenge0590[] = {{"01", "= Stück"},   {"02", "= m"},  {"03", "= kg"},   {"04", "= Ring"},
                              {"05", "= Trommel"}, {"06", "= t"},  {"07", "= l"},    {"08", "= Paar"},
                              {"09", "= Satz"},    {"10", "= m²"}, {"11", "= Bund"}, {"12", "= Rolle"}};
constexpr Row kRmt0590[] = {{"1", "= Rabattsatz"}, {"2", "= Multiplikator"}, {"3", "= Teuerungszuschlag"}};
constexpr Row kKennung0590[] = {{"0", "= es folgt kein Rohstoffsatz"}, {"Z", "= es folgt ein Rohstoffsatz"}};
constexpr Row kRohstoff0590[] = {
    {"01", "= CU > Kupfer"}, {"02", "= AL > Aluminium"},       {"03", "= PB > Blei"},
    {"04", "= AG > Silber"}, {"05", "= ME > CU/ZN > Messing"}, {"06", "= Reserve", "99"}};

constexpr Table k0590[] = {
    {"Status, Verarbeitung", {}, kStatus0590}, {"Schalter Art.Nr.", {}, kArtNr0590},
    {"Ursprungsland", {}, kUrsprung0590},      {"Mengeneinheit", {}, kMenge0590},
    {"Preiskennzeichen", {}, kPreisKz},        {"Preiseinheit", {}, kPreiseinheit},
    {"Kennziffer RMT", {}, kRmt0590},          {"Kennung Rohstoff", {}, kKennung0590},
    {"Rohstoffart", {}, kRohstoff0590},        {"Kennziffer Betrag/%", {}, kBetrag},
    {"Kennziffer Sprung", {}, kSprung},        {"Kennziffer Gutschr.", {}, kGutschr},
    {"Kennziffer Rab/Multi", {}, kRabMulti},
};

// ---- 2000 ----
constexpr Row kStatus2000[] = {{"S", "Standard/Neu/Pflege"}, {"L", "Löschen"}};
constexpr Row kKlasse2000[] = {{"K", "= Klasse"}, {"M", "= Merkmal"}};
constexpr Row kPreisKz2000[] = {{"1", "= Hersteller Listenpreis (UVP)"},
                                {"2", "= Datenersteller Listenpreis (Brutto)"},
                                {"3", "= Datenersteller Eckpreis"},
                                {"4", "= Datenempfänger EK-Preis"},
                                {"5", "= Endverbraucherpreis incl. Mwst."}};
constexpr Row kHG2000[] = {{"1", "= Hersteller"}, {"2", "= Großhandel"}};
constexpr Row kText2000[] = {{"0", "= unspezifizierter Text"},
                             {"1", "= Ausschreibungs-Text"},
                             {"2", "= Marketing-Text"},
                             {"3", "= Verweis auf ein unspezifizertes Dokument"},
                             {"4", "= Verweis auf ein Ausschreibungs-Dokument"},
                             {"5", "= Verweis auf ein Marketing-Dokument"},
                             {"6", "= Verweis auf eine externe Bilddatei"},
                             {"7", "= Dateiformat nach Absprache"}};
constexpr Row kUmbruch2000[] = {{"0", "= Ende des Textes"},
                                {"1", "= fortlaufender Text"},
                                {"2", "= einfacher Text-Umbruch"},
                                {"3", "= Absatz - doppelter Umbruch"}};
constexpr Row kSystem2000[] = {{"D", "= DOS (Vorgabe)"}, {"W", "= Windows"}, {"A", "= nach Absprache"}};
constexpr Row kWaehrung2000[] = {{"P", "= Prozent"}, {"W", "= Währung"}};
constexpr Row kBasis2000[] = {{"B", "= Basis"}, {"K", "= Kumuliert"}};

constexpr Table k2000[] = {
    {"Status, Verarbeitung", {}, kStatus2000},
    {"Mengeneinheit", {}, kMenge},
    {"Verpackungsart", {}, kVerpackung},
    {"Schalter Umrechnung", {}, kUmrechnung},
    {"Schalter Klasse/Merkmal", {}, kKlasse2000},
    {"Preiskennzeichen", {}, kPreisKz2000},
    {"Preiseinheit", {}, kPreiseinheit},
    {"Schalter H/G", {}, kHG2000},
    {"Kennzeichen Rab/Multi", {}, kRabMulti},
    {"Schalter Text", {}, kText2000},
    {"Schalter Umbruch", {}, kUmbruch2000},
    {"Betriebssystem", {}, kSystem2000},
    {"Rohstoffart", "Zuschlagart", kRohstoff},
    {"Schalter Art.Nr.", {}, kArtNr},
    {"Schalter Währung/Prozent", {}, kWaehrung2000},
    {"Schalter Basis/Kumuliert", {}, kBasis2000},
};

constexpr Row kLaender[] = {{"01", "Schleswig-Holstein"},
                            {"02", "Hamburg"},
                            {"03", "Niedersachsen"},
                            {"04", "Bremen"},
                            {"05", "Nordrhein-Westfalen"},
                            {"06", "Hessen"},
                            {"07", "Rheinland-Pfalz"},
                            {"08", "Baden-Württemberg"},
                            {"09", "Bayern"},
                            {"10", "Saarland"},
                            {"11", "Berlin"},
                            {"12", "Brandenburg"},
                            {"13", "Mecklenburg-Vorpommern"},
                            {"14", "Sachsen"},
                            {"15", "Sachsen-Anhalt"},
                            {"16", "Thüringen"}};

// A table in Windows-1252, made once from the source's UTF-8.
struct AnsiRow {
    std::string code, last, text;
    bool range;
};
struct AnsiTable {
    std::string keyword, keyword2;
    std::vector<AnsiRow> rows;
};

std::vector<AnsiRow> ansiRows(std::span<const Row> rows) {
    std::vector<AnsiRow> out;
    out.reserve(rows.size());
    for (const Row& r : rows)
        out.push_back({utf8ToAnsi(r.code), utf8ToAnsi(r.last), utf8ToAnsi(r.text), !r.last.empty()});
    return out;
}

std::vector<AnsiTable> ansiTables(std::span<const Table> tables) {
    std::vector<AnsiTable> out;
    out.reserve(tables.size());
    for (const Table& t : tables)
        out.push_back({utf8ToAnsi(t.keyword), utf8ToAnsi(t.keyword2), ansiRows(t.rows)});
    return out;
}

std::string lookupRows(const std::vector<AnsiRow>& rows, std::string_view value) {
    for (const AnsiRow& r : rows) {
        // A range compares as text: "42" lies between "06" and "99", "5" does not.
        const bool hit = r.range ? (value >= std::string_view(r.code) && value <= std::string_view(r.last))
                                 : value == r.code;
        if (hit) return r.text;
    }
    return std::string(kUndefined);
}

std::string lookup(const std::vector<AnsiTable>& tables, std::string_view fieldName, std::string_view value) {
    for (const AnsiTable& t : tables) {
        const bool selected = fieldName.find(t.keyword) != std::string_view::npos ||
                              (!t.keyword2.empty() && fieldName.find(t.keyword2) != std::string_view::npos);
        if (selected) return lookupRows(t.rows, value);
    }
    return std::string(value);
}

} // namespace

std::string DEFINITIONEN0196(std::string_view fieldName, std::string_view value) {
    static const std::vector<AnsiTable> tables = ansiTables(k0196);
    return lookup(tables, fieldName, value);
}

std::string DEFINITIONEN0590(std::string_view fieldName, std::string_view value) {
    static const std::vector<AnsiTable> tables = ansiTables(k0590);
    return lookup(tables, fieldName, value);
}

std::string DEFINITIONEN2000(std::string_view fieldName, std::string_view value) {
    static const std::vector<AnsiTable> tables = ansiTables(k2000);
    return lookup(tables, fieldName, value);
}

std::string BUNDESLAND(std::string_view value) {
    static const std::vector<AnsiRow> rows = ansiRows(kLaender);
    return lookupRows(rows, value);
}

std::string decodeValue(Version version, std::string_view fieldName, std::string_view value) {
    switch (version) {
    case Version::V0196:
        return DEFINITIONEN0196(fieldName, value);
    case Version::V0590:
        return DEFINITIONEN0590(fieldName, value);
    case Version::V2000:
        return DEFINITIONEN2000(fieldName, value);
    case Version::None:
    case Version::Unknown:
        break;
    }
    return std::string(value);
}

} // namespace arti
