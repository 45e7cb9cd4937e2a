// Version 2000 records: the field tables, the record-level findings, the field checks and
// the record rules, each finding with the record position it is placed at.
#include "core/Text.h"
#include "rules/Rules2000.h"
#include "rules/SharedRules.h"
#include "rules/Table2000.h"
#include "rules/VersionRules.h"
#include "run/CheckFunctions.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

using namespace arti;
using std::chrono::year;

namespace {

// Findings as "position|text", the text in UTF-8 with its line breaks kept.
// Findings as "position|text"; questions by their captions.
struct FakeContext : test::FakeCheckContext {
    // Checks one record given in UTF-8 with ";" (or `separator`) as separator, as the
    // record step of the main window does with "Feld-Prüfung ein".
    std::vector<std::string> check(const std::string& utf8, std::string_view shownPosition = "1,234",
                                   std::string_view separator = ";") {
        reports.clear();
        position = -1; // as the record step leaves it
        const std::string record = utf8ToAnsi(utf8);
        const RecordInput input{
            .text = record, .separator = separator, .shownPosition = shownPosition, .display = this};
        const FieldTable::FillCount fill = rules.fillTable(table, input);
        if (rules.checkRecordType(*this, table, fill, input)) {
            rules.checkFields(*this, table, input);
            rules.recordRules(*this, table, fill, input);
        }
        return withPositions("|");
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const Asked& a : asked)
            out.push_back(a.caption);
        return out;
    }

    const IVersionRules& rules = versionRules(Version::V2000);
    FieldTable table;
};

using Findings = std::vector<std::string>;

// Valid records of each type; cases change one field.
const char* const kH =
    "H;Drehdimmer;Unterputz;HU 638/6;Meßtechnik Ost;Meßt;10;01;;;;;150;R083;R083;P01;E425;01";
const char* const kI = "I;S;4000012424869;Me-955804;100000001";
const char* const kP = "P;1;105566;EUR;20261201;1;";
const char* const kZ = "Z;01;W;B;;;150;00000121;";

// `record` with field `nr` (1-based) replaced.
std::string with(std::string_view record, std::size_t nr, std::string_view value) {
    std::vector<std::string> f = STRING2ARRAY2(record, ";");
    f.at(nr - 1) = std::string(value);
    std::string out;
    for (std::size_t i = 0; i < f.size(); ++i)
        out += (i ? ";" : "") + f[i];
    return out;
}

TEST(Table2000, EveryTypeHasItsRowCountAndNoOtherLetterHasATable) {
    const std::pair<char, std::size_t> sizes[] = {{'H', 18}, {'I', 5}, {'K', 5}, {'P', 7},
                                                  {'R', 6},  {'S', 2}, {'T', 4}, {'U', 6},
                                                  {'V', 15}, {'W', 3}, {'X', 4}, {'Z', 9}};
    for (const auto& [type, rows] : sizes)
        EXPECT_EQ(fieldDefs2000(type).size(), rows) << type;
    for (int c = 0; c < 256; ++c) {
        const char type = static_cast<char>(c);
        if (kRecordTypes2000.find(type) == std::string_view::npos) {
            EXPECT_TRUE(fieldDefs2000(type).empty()) << c;
        }
    }
}

TEST(Table2000, OneLookUpGivesTheTableFlagsAndPlansOfEveryByte) {
    for (int c = 0; c < 256; ++c) {
        const char letter = static_cast<char>(c);
        const RecordType2000& type = recordType2000(letter);
        const std::span<const FieldDef> defs = fieldDefs2000(letter);
        ASSERT_EQ(type.size, defs.size()) << c;
        if (defs.empty()) continue;
        EXPECT_EQ(type.table().data(), defs.data()) << c;
        EXPECT_TRUE(std::equal(defs.begin(), defs.end(), type.defs, [](const FieldDef& a, const FieldDef& b) {
            return &a == &b;
        })) << c;
        const std::span<const std::uint8_t> rules = rowRules2000(letter), plans = rowPlans2000(letter);
        EXPECT_TRUE(std::equal(rules.begin(), rules.end(), type.rules)) << c;
        EXPECT_TRUE(std::equal(plans.begin(), plans.end(), type.plans)) << c;
    }
}

TEST(Table2000, RowsAreWellFormedAndStartWithTheRecordType) {
    int dateFields = 0;
    for (const char type : kRecordTypes2000) {
        const auto defs = fieldDefs2000(type);
        EXPECT_EQ(defs[0].name, "Satzartkennzeichen");
        EXPECT_EQ(defs[0].values, std::string_view(&type, 1));
        for (const FieldDef& d : defs) {
            EXPECT_TRUE(d.type == "A" || d.type == "N") << d.name;
            EXPECT_TRUE(d.mk == "M" || d.mk == "K") << d.name;
            EXPECT_EQ(d.flag, "F");
            EXPECT_GT(d.width(), 0u) << d.name;
            if (d.name.find("Datum") != std::string_view::npos) ++dateFields;
        }
    }
    EXPECT_EQ(dateFields, 3);
}

TEST(Table2000, NamesWithUmlautsAndListsAreWindows1252Text) {
    struct Row {
        char type;
        std::size_t row;
        const char* name;
        const char* length;
        const char* values;
    };
    const Row rows[] = {
        {'H', 5, "Herstellerkürzel", "10", ""},
        {'H', 7, "Mengeneinheit 1", "2", "01/11/12/13/21/22/23/31/32/33/41/42/43"},
        {'H', 14, "Rabattgruppe Großh.", "4", ""},
        {'H', 17, "Verpackungsart", "2", "01/02/03/04/05/06/07/11/12/13/14/21/22/23/24/25/31/32/33/41/42/99"},
        {'I', 4, "Großhändler-Nr.", "15", ""},
        {'K', 4, "Objekt/Maßangabe", "35", ""},
        {'P', 3, "Währung", "3", ""},
        {'P', 4, "Datum, gültig ab", "8", ""},
        {'T', 2, "Text/Dateiname", "245", ""},
        {'U', 1, "Präferenz", "3", ""},
        {'U', 3, "Ursprung BRD Land", "2", "01/02/03/04/05/06/07/08/09/10/11/12/13/14/15/16"},
        {'U', 5, "bes.Maßeinheit Hstat.", "8", ""},
        {'V', 3, "Satzarten", "10", "H/I/K/P/R/S/T/U/W/X/Z"},
        {'V', 11, "Kunden-Nr. Datenempfänger", "15", ""},
        {'V', 12, "Betriebssystem", "1", " /D/W/A"},
        {'X', 3, "Großhändler-Nr. neu", "15", ""},
        {'Z', 2, "Schalter Währung/Prozent", "1", "P/W"},
        {'Z', 6, "Materialbasis Währ./100kg", "6", ""},
        {'Z', 8, "Sprunggröße", "6", ""},
    };
    for (const Row& r : rows) {
        const FieldDef& d = fieldDefs2000(r.type)[r.row];
        EXPECT_EQ(d.name, utf8ToAnsi(r.name)) << r.type << r.row;
        EXPECT_EQ(d.length, r.length) << r.name;
        EXPECT_EQ(d.values, r.values) << r.name;
    }
}

TEST(FillTable2000, PositionsFollowTheDeliveredFieldsAndEveryRowKeepsItsNumber) {
    const IVersionRules& rules = versionRules(Version::V2000);
    const auto fill = [&](FieldTable& t, std::string_view text) {
        return rules.fillTable(t, RecordInput{.text = text, .separator = ";"});
    };
    FieldTable t;
    const std::vector<std::string_view> fields{"P", "1", "105566", "EUR"};
    const FieldTable::FillCount split = fill(t, "P;1;105566;EUR  ");
    EXPECT_EQ(split.taken, 4u);
    EXPECT_EQ(split.fields, 4u);
    ASSERT_EQ(t.size(), 7u);
    const std::uint32_t positions[] = {1, 3, 5, 12, 0, 0, 0};
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(t.position(i), positions[i]) << i;
        EXPECT_EQ(t.number(i), i + 1);
        EXPECT_EQ(t.content(i), i < 4 ? std::string_view(fields[i]) : std::string_view());
    }
    // Surplus fields are counted, not looked at.
    const FieldTable::FillCount many = fill(t, "S;x;y;z");
    EXPECT_EQ(many.taken, 2u);
    EXPECT_EQ(many.fields, 4u);
    EXPECT_EQ(t.size(), 2u);
    EXPECT_EQ(fill(t, "Q;x;y;z").taken, 0u);
    EXPECT_TRUE(t.empty());
}

TEST(Record2000, TypeWithoutTableIsTheOnlyFinding) {
    FakeContext c;
    EXPECT_EQ(c.check("Q;1;2;3", "   1,234 "),
              Findings{"-1|Die Satzart > Q <  ab Position 1,234 ist nicht zulässig !"});
    EXPECT_EQ(c.fieldCount, 0u);
    // An empty record has no type either.
    EXPECT_EQ(c.check("", "0"), Findings{"-1|Die Satzart >  <  ab Position 0 ist nicht zulässig !"});
}

TEST(Record2000, TooManyFieldsIsReportedAndTheFirstRowsAreStillTested) {
    FakeContext c;
    EXPECT_EQ(c.check(std::string(kP) + ";x;y"),
              Findings{"-1|Die Satzart > P <  hat 9 Felder, darf aber nur 7 Felder haben !"});
    EXPECT_EQ(c.fieldCount, 9u);
    EXPECT_EQ(c.check("P;1;105566;EUR;20261201;7;;x;y"),
              (Findings{"-1|Die Satzart > P <  hat 9 Felder, darf aber nur 7 Felder haben !",
                        "25|Fehler in Feld 6, der numerische Wert kann nur im Bereich 1/2/3/4 liegen !"}));
}

TEST(Record2000, MissingFieldsAreEmptyAndNamedByTheirNumber) {
    FakeContext c;
    EXPECT_EQ(c.check("P;1;105566;EUR;20261201"),
              Findings{"0|Fehler in Feld 6, Muss-Feld muss einen Inhalt haben !"});
    EXPECT_EQ(c.fieldCount, 5u);
    EXPECT_EQ(c.table.size(), 7u);
}

TEST(Record2000, ValidRecordsOfEveryTypePass) {
    FakeContext c;
    for (const std::string& r :
         {std::string(kH), std::string(kI), std::string(kP), std::string(kZ),
          std::string("K;K;EC001001;EG000017;"), std::string("T;1;Farbe ähnlich RAL 9010.;0"),
          std::string("U;000;DE;;85365080;0"), std::string("R;1;R083;Rabatt;1;12.5"), std::string("S;Dimmer"),
          std::string("W;E425;Schalter"), std::string("X;4100000001253;Me-519797;100000002"),
          std::string("V;2000A;20261201;IHPTZK;Info;Muster GmbH;;;;;;;W;;")})
        EXPECT_EQ(c.check(r), Findings{}) << r;
}

struct FieldCase {
    std::string record;
    Findings expected;
};

class FieldChecks : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldChecks, ReportExactlyTheFirstFault) {
    FakeContext c;
    EXPECT_EQ(c.check(GetParam().record), GetParam().expected) << GetParam().record;
}

INSTANTIATE_TEST_SUITE_P(
    Version2000, FieldChecks,
    testing::Values(
        // Allowed values are found by containment; an empty optional value passes.
        FieldCase{with(kH, 8, "1"), {}},
        FieldCase{with(kH, 8, "10"),
                  {"56|Fehler in Feld 8, der numerische Wert kann nur im Bereich "
                   "01/11/12/13/21/22/23/31/32/33/41/42/43 liegen !"}},
        FieldCase{with(kH, 18, ""), {}},
        // Numeric characters: signs, commas and points anywhere; the first other character.
        FieldCase{with(kP, 3, "12 5"),
                  {"5|Fehler in Feld 3,Position 3, \r\nZeichen > < nicht zulässig.\r\n"
                   "Zulässig sind nur Zahlen 0 bis 9 und ,. -"}},
        FieldCase{with(kP, 3, "-1.234,5"), {}},
        FieldCase{with(kP, 7, "1a2b"),
                  {"27|Fehler in Feld 7,Position 2, \r\nZeichen >a< nicht zulässig.\r\n"
                   "Zulässig sind nur Zahlen 0 bis 9 und ,. -"}},
        // Mandatory blanks are empty; optional blanks are a fault of their own.
        FieldCase{with(kH, 2, "   "), {"3|Fehler in Feld 2, Muss-Feld muss einen Inhalt haben !"}},
        FieldCase{with(kH, 3, "   "),
                  {"14|Fehler in Feld 3 unzulässige Zeichenfolge >   < oder nur Leerzeichen im Feld."}},
        // Dates: exactly eight digits of a calendar date, inside the window.
        FieldCase{with(kP, 5, "20250229"), {"16|Fehler in Feld 5, ungültiges Datum 20250229"}},
        FieldCase{with(kP, 5, "20240229"), {}},
        FieldCase{with(kP, 5, "00000101"), {"16|Fehler in Feld 5, ungültiges Datum 00000101"}},
        FieldCase{with(kP, 5, "261201"), {"16|Fehler in Feld 5, ungültiges Datum 261201"}},
        FieldCase{with(kP, 5, "2026-1201"), {"16|Fehler in Feld 5, ungültiges Datum 2026-1201"}},
        FieldCase{with(kH, 9, ""), {}},
        FieldCase{with(kH, 9, "2026x201"), {"59|Fehler in Feld 9, ungültiges Datum 2026x201"}},
        // Currency by the prefix rule.
        FieldCase{with(kP, 4, "EURO"), {}},
        // Alphanumeric lists only on one-character fields, exact letters.
        FieldCase{with(kI, 2, "X"), {"3|Fehler in Feld 2, der Vorgabewert kann nur  S/L sein !"}},
        FieldCase{"PX;1;105566;EUR;20261201;1;", {"1|Fehler in Feld 1, der Vorgabewert kann nur  P sein !"}},
        FieldCase{"V;2000A;20261201;Q;Info;Muster GmbH;;;;;;;;;", {}},
        FieldCase{"V;2000A;20261201;IHP;Info;Muster GmbH;;;;;;;X;;",
                  {"45|Fehler in Feld 13, der Vorgabewert kann nur   /D/W/A sein !"}},
        FieldCase{"U;000;AT;;85365080;0", {"7|Fehler in Feld 3, der Vorgabewert kann nur  DE sein !"}},
        // GTIN rule of the I record.
        FieldCase{with(kI, 3, "4000012424868"),
                  {"5|Satz 7, Fehler im Feld 3 (GTIN/EAN), \r\n"
                   "Prüfziffer (letzte Stelle) der GTIN/EAN stimmt nicht !"}},
        FieldCase{with(kI, 3, "96385074"), {}},
        FieldCase{with(kI, 3, "96385075"),
                  {"5|Satz 7, Fehler im Feld 3 (GTIN/EAN), \r\n"
                   "Prüfziffer (letzte Stelle) der GTIN/EAN stimmt nicht !"}},
        FieldCase{with(kI, 3, "12345"),
                  {"5|Satz 7, Fehler im Feld 3 (GTIN/EAN), \r\ndie Zahl muss 8 oder 13 Stellen haben. "
                   "Prüfziffer kann nicht berechnet werden !"}},
        FieldCase{with(kI, 3, "400001242486"),
                  {"5|Satz 7, Fehler im Feld 3 (GTIN/EAN), \r\ndie Zahl muss 8 oder 13 Stellen haben. "
                   "Prüfziffer kann nicht berechnet werden !"}},
        FieldCase{with(kI, 3, "04000012424869"),
                  {"5|Satz 7, Fehler im Feld 3 (GTIN/EAN), \r\ndie Zahl muss 8 oder 13 "
                   "Stellen haben. Prüfziffer kann nicht berechnet werden !"}},
        FieldCase{"I;S;;;",
                  {"5|Fehler in den Feldern 3 bis 5, \r\neine der 3 möglichen Artikelnummern muss vorhanden "
                   "sein !"}},
        FieldCase{"I;S;;;100000001", {}},
        FieldCase{"X;;;",
                  {"3|Fehler in den Feldern 2 bis 4, \r\neine der 3 möglichen Artikelnummern muss vorhanden "
                   "sein !"}},
        FieldCase{"X;4100000001252;;",
                  {"3|Satz 7, Fehler im Feld 2 (GTIN/EAN), \r\n"
                   "Prüfziffer (letzte Stelle) der GTIN/EAN stimmt nicht !"}},
        // H: field 10 > 0 needs fields 11 and 12; a missing one keeps the position found.
        FieldCase{
            "H;Drehdimmer;;HU 638/6;Meßtechnik Ost;;10;01;;1",
            {"47|Fehler Feld 11, \r\nwenn Feld 10 > 0 muss Feld 11 vorhanden und mit Wert > 0 gefüllt sein !",
             "47|Fehler Feld 12, \r\nwenn Feld 10 > 0 muss Feld 12 vorhanden und mit Wert > 0 gefüllt sein "
             "!"}},
        FieldCase{"H;Drehdimmer;;HU 638/6;Meßtechnik Ost;;10;01;;1;0",
                  {"49|Fehler in Feld 11, \r\nwenn Feld 10 > 0 muss Feld 11 mit Wert > 0 gefüllt sein !",
                   "49|Fehler Feld 12, \r\nwenn Feld 10 > 0 muss Feld 12 vorhanden und mit Wert > 0 gefüllt "
                   "sein !"}},
        FieldCase{"H;Drehdimmer;;HU 638/6;Meßtechnik Ost;;10;01;;1;2",
                  {"47|Fehler Feld 12, \r\nwenn Feld 10 > 0 muss Feld 12 vorhanden und mit Wert > 0 gefüllt "
                   "sein !"}},
        FieldCase{
            "H;Drehdimmer;;HU 638/6;Meßtechnik Ost;;10;01;;1;0;",
            {"49|Fehler in Feld 11, \r\nwenn Feld 10 > 0 muss Feld 11 mit Wert > 0 gefüllt sein !",
             "51|Fehler in Feld 12, \r\nwenn Feld 10 > 0 muss Feld 12 mit Mengeneinheit > 0 gefüllt sein !"}},
        FieldCase{"H;Drehdimmer;;HU 638/6;Meßtechnik Ost;;10;01;;2;1.5;11", {}},
        // Z rules, each at the field it names.
        FieldCase{"Z;91;P;B;;;;;", {"10|Fehler im Feld 5, \r\nFeld muss Prozentsatz enthalten !"}},
        FieldCase{"Z;90;W;K;;;;;", {"11|Fehler im Feld 6, \r\nFeld muss Währungsbetrag enthalten !"}},
        FieldCase{"Z;07;W;B;;;;;", {"12|Fehler im Feld 7, \r\nFeld muss Material-Basis enthalten !"}},
        FieldCase{"Z;01;W;B;;;150;0;",
                  {"16|Fehler im Feld 8, \r\nFeld muss Material-Gewicht in Gramm/Preiseinheit enthalten !"}},
        FieldCase{"Z;92;W;B;0;5;;;10", {}},
        FieldCase{"Z;92;P;B;0;;;;10",
                  {"10|Fehler in den Feldern 5 oder 6, \r\nSprung in Feld 9 > 0, Feld 5 oder 6 muss einen "
                   "Wert > 0 enthalten !"}}));

TEST(CharacterRule, DependsOnTheFileModeAndTheSwitch) {
    struct Case {
        bool oem, off;
        const char* name; // Windows-1252 bytes
        bool passes;
    };
    const Case cases[] = {
        {true, false, "M\xFCller \xC4\xD6\xDC\xE4\xF6\xDF", true},
        {true, false, "M\x80", false},
        {true, false, "M\x7F", false},
        {true, false, "M\xE9", false},
        {true, true, "M\x80\xE9", true},
        {true, true, "M\x1F", false},
        {false, false, "M\x80\xE9\x7F", true},
        {false, false, "M\x09", false},
    };
    for (const Case& k : cases) {
        FakeContext c;
        c.sw.oemFile = k.oem;
        c.sw.asciiCheckOff = k.off;
        const std::string record = ansiToUtf8(std::string("S;") + k.name);
        const Findings f = c.check(record);
        if (k.passes) {
            EXPECT_EQ(f, Findings{}) << record;
        } else {
            const std::string bad = ansiToUtf8(std::string(1, k.name[1]));
            EXPECT_EQ(
                f,
                Findings{"3|Fehler in Feld 2,Position 2, Zeichen >" + bad +
                         "< nicht zulässig.\r\nErlaubt sind die Zeichen CHR 32 bis CHR 126 und die Umlaute "
                         "ÄÖÜäöüß (siehe ASCII-Tabelle 850)"})
                << record;
        }
    }
}

// The whole record is scanned once; only a record holding a character the rule forbids
// is looked at field by field. The separator itself is no field content: DEL, which the
// rule forbids in an OEM file, may separate the fields.
TEST(CharacterRule, IsAppliedToFieldsNotToTheRecordAsAWhole) {
    FakeContext c;
    c.sw.oemFile = true;
    std::string del =
        "H;Drehdimmer;Unterputz;HU 638/6;Messtechnik Ost;Mest;10;01;;;;;150;R083;R083;P01;E425;01";
    for (char& ch : del)
        if (ch == ';') ch = '\x7F';
    EXPECT_EQ(c.check(del, "1", "\x7F"), Findings{});

    // A fault in a later field is named there, with the other fields clean.
    std::string late = del;
    late.replace(late.find("Unterputz") + 5, 1, "\x01");
    EXPECT_EQ(
        c.check(late, "1", "\x7F"),
        Findings{"14|Fehler in Feld 3,Position 6, Zeichen >\x01< nicht zulässig.\r\nErlaubt sind die Zeichen "
                 "CHR 32 bis CHR 126 und die Umlaute ÄÖÜäöüß (siehe ASCII-Tabelle 850)"});

    // In an ANSI file only control characters are refused, wherever they stand.
    c.sw.oemFile = false;
    EXPECT_EQ(c.check(with(kH, 5, "M\u00e9tal \u20ac")), Findings{});
    EXPECT_EQ(c.check(with(kH, 5, "M\u00e9tal\t")).size(), 1u);
}

TEST(Questions, ADateOutsideTheWindowIsReportedAndTheWindowWidenedOnYes) {
    FakeContext c;
    c.answers = {false, true};
    const std::string early = with(kP, 5, "20190101");
    const Findings f{"16|Satz 7, Fehler in Feld 5, Datum liegt nicht im gültigen Bereich 20190101"};
    EXPECT_EQ(c.check(early), f);
    EXPECT_EQ(c.check(early), f);
    EXPECT_EQ(c.captions(), (std::vector<std::string>{"Erstellungs-Datum", "Erstellungs-Datum"}));
    EXPECT_EQ(c.window.lower, year{2019} / 1 / 1);
    EXPECT_EQ(c.check(early), Findings{});
    EXPECT_EQ(c.captions().size(), 2u);
    // Both limits belong to the window.
    EXPECT_EQ(c.check(with(kP, 5, "20301231")), Findings{});
}

TEST(Questions, ADifferentCurrencyIsReportedAndAdoptedOnYes) {
    FakeContext c;
    c.answers = {false, true};
    const std::string chf = with(kP, 4, "CHF");
    const Findings f{"12|Satz 7, Fehler in Feld 4, das Währungskennzeichen ist nicht identisch mit den "
                     "Systemeinstellungen."};
    EXPECT_EQ(c.check(chf), f);
    EXPECT_EQ(c.currency_, "EUR");
    EXPECT_EQ(c.check(chf), f);
    EXPECT_EQ(c.currency_, "CHF");
    EXPECT_EQ(c.captions(), (std::vector<std::string>{"Währungsschlüssel", "Währungsschlüssel"}));
    EXPECT_EQ(c.check(chf), Findings{});
    EXPECT_EQ(c.check(kP),
              Findings{"12|Satz 7, Fehler in Feld 4, das Währungskennzeichen ist nicht identisch mit den "
                       "Systemeinstellungen."});
    // A shorter code differs.
    c.currency_ = "EUR";
    c.answers.clear();
    EXPECT_EQ(c.check(with(kP, 4, "EU")).size(), 1u);
}

TEST(Questions, CountryCodesAreTheRunsSetting) {
    FakeContext c;
    c.countries_ = "DE,AT";
    EXPECT_EQ(c.check("U;000;AT;;85365080;0"), Findings{});
    EXPECT_EQ(c.check("U;000;CH;;85365080;0"),
              Findings{"7|Fehler in Feld 3, der Vorgabewert kann nur  DE,AT sein !"});
}

// Contents at the edges of what the quick tests of a row let pass: each goes the whole
// way or passes, and the findings are those of the whole check.
TEST(RowPlans2000, EdgeContentsGetTheFindingsOfTheWholeCheck) {
    const std::pair<std::string, Findings> cases[] = {
        // A blank at the start of a text is allowed where the text is more than blanks.
        {with(kH, 2, " Drehdimmer"), {}},
        {with(kH, 3, " Unterputz"), {}},
        {with(kH, 3, " "),
         {"14|Fehler in Feld 3 unzulässige Zeichenfolge > < oder nur Leerzeichen im Feld."}},
        // Mandatory numbers and lists: empty or led by a blank.
        {with(kP, 3, ""), {"5|Fehler in Feld 3, Muss-Feld muss einen Inhalt haben !"}},
        {with(kP, 3, " 1"),
         {"5|Fehler in Feld 3,Position 1, \r\nZeichen > < nicht zulässig.\r\n"
          "Zulässig sind nur Zahlen 0 bis 9 und ,. -"}},
        {with(kP, 2, ""), {"3|Fehler in Feld 2, Muss-Feld muss einen Inhalt haben !"}},
        {with(kP, 2, " 1"),
         {"3|Fehler in Feld 2, der numerische Wert kann nur im Bereich 1/2/3/4/5 liegen !"}},
        {with(kP, 5, " 20261201"), {"16|Fehler in Feld 5, ungültiges Datum  20261201"}},
        // Bytes above 127 in a number, and at the end of a long record.
        {with(kP, 7, "1\u00b5"),
         {"27|Fehler in Feld 7,Position 2, \r\nZeichen >\u00b5< nicht zulässig.\r\n"
          "Zulässig sind nur Zahlen 0 bis 9 und ,. -"}},
        {with(kH, 18, "0\u00e4"),
         {"86|Fehler in Feld 18, der numerische Wert kann nur im Bereich "
          "01/02/03/04/05/06/07/11/12/13/14/21/22/23/24/25/31/32/33/41/42/99 liegen !"}},
        {with(kH, 17, "E425\u00e4\u00f6\u00fc"), {}},
        // An optional empty list or date passes.
        {with(kH, 12, ""), {}},
        {with(kH, 9, ""), {}},
    };
    FakeContext c;
    for (const auto& [record, findings] : cases)
        EXPECT_EQ(c.check(record), findings) << record;
}

// Each record type's table is checked by code compiled for its rows, with its record
// rules in the same step; a table of other definitions by the loop over the plans, then
// the record rules. Both give the same findings at the same positions and leave the same
// position, for every field of every type changed to contents that pass and that fail.
TEST(RowPlans2000, CompiledChecksAgreeWithThePlanLoop) {
    const std::string records[] = {kH,
                                   kI,
                                   kP,
                                   kZ,
                                   "K;K;EC001001;EG000017;",
                                   "T;1;Farbe ähnlich RAL 9010.;0",
                                   "U;000;DE;;85365080;0",
                                   "R;1;R083;Rabatt;1;12.5",
                                   "S;Dimmer",
                                   "W;E425;Schalter",
                                   "X;4100000001253;Me-519797;100000002",
                                   "V;2000A;20261201;IHPTZK;Info;Muster GmbH;;;;;;;W;;"};
    const char* const contents[] = {"",           " ",
                                    "  x",        "x",
                                    "1",          "01",
                                    "1/",         "9",
                                    "12.5",       "-3",
                                    "EUR",        "EURO",
                                    "USD",        "20261201",
                                    "20270101",   "2026120x",
                                    "DE",         "S/L",
                                    "ä",          "\x7f",
                                    "Farbe\tRAL", "12345678901234567890123456789012345678"};
    FakeContext compiled, looped;
    compiled.defaultAnswer = looped.defaultAnswer = false;
    for (const std::string& valid : records) {
        const std::span<const FieldDef> defs = fieldDefs2000(valid[0]);
        static std::vector<std::vector<FieldDef>> copies;
        copies.emplace_back(defs.begin(), defs.end());
        const std::vector<FieldDef>& copy = copies.back();
        for (std::size_t nr = 2; nr <= defs.size(); ++nr) {
            for (const char* content : contents) {
                const std::string record = utf8ToAnsi(with(valid, nr, content));
                const auto run = [&](FakeContext& c, std::span<const FieldDef> table, bool inOneStep) {
                    c.reports.clear();
                    c.position = -1;
                    FieldTable t;
                    const std::size_t delivered = t.fillSplit(table, record, ";").taken;
                    if (inOneStep) {
                        checkRecord2000(c, t, record[0], c.sw, delivered);
                    } else {
                        checkFields2000(c, t, record[0], c.sw);
                        recordRules2000(c, t, delivered);
                    }
                    return std::pair(c.withPositions("|"), c.position);
                };
                EXPECT_EQ(run(compiled, defs, true), run(looped, copy, false)) << ansiToUtf8(record);
            }
        }
    }
}

// A date that passed is held against the window the run has at each record: the window
// may have moved since.
TEST(RowPlans2000, ADateThatPassedIsTestedAgainstTheWindowOfTheRecord) {
    struct Step {
        int lastYear;
        const char* date;
        std::size_t findings;
    };
    const Step steps[] = {
        {2030, "20261201", 0}, {2030, "20261201", 0}, {2025, "20261201", 1}, {2030, "20261201", 0},
        {2030, "20261202", 0}, {2030, "2026120x", 1}, {2030, "20250229", 1}, {2030, "20261202", 0},
    };
    FakeContext c;
    c.defaultAnswer = false;
    for (const Step& s : steps) {
        c.window.upper = year{s.lastYear} / 12 / 31;
        EXPECT_EQ(c.check(with(kP, 5, s.date)).size(), s.findings) << s.date << " " << s.lastYear;
    }
}

// The check digit of a GTIN-13 is worked out from words of digits: it agrees with the
// digit-by-digit sum for every check digit and for numbers that are not all digits.
TEST(GtinRule2000, ThirteenDigitsAgreeWithTheDigitByDigitCheckDigit) {
    std::vector<std::string> numbers = {"0000000000000", "9999999999999", "4000012424869", "400001242486x",
                                        "x000012424869", "40000124 4869", "4000012424869"};
    std::uint64_t state = 3;
    for (int i = 0; i < 300; ++i) {
        std::string n(13, '0');
        for (char& d : n)
            d = static_cast<char>('0' +
                                  (state = state * 6364136223846793005ULL + 1442695040888963407ULL) % 10);
        numbers.push_back(n);
    }
    FakeContext c;
    for (const std::string& n : numbers) {
        const bool right = n.back() == '0' + gtinCheckDigit(std::string_view(n).substr(0, 12));
        const Findings f = c.check(with(kI, 3, n));
        EXPECT_EQ(f.empty(), right) << n;
    }
}

} // namespace
