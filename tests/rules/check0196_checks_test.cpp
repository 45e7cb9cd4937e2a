// Field checks and record rules of version 01/96, on records built from valid defaults
// with the fields under test changed.
#include "core/Text.h"
#include "rules/Table0196.h"
#include "rules/VersionRules.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

using namespace arti;
using namespace arti::literals;
using std::chrono::year;

namespace {

using Finding = test::FakeCheckContext::Report;

struct Ctx : test::FakeCheckContext {
    Ctx() { window = DateWindow{year{2026} / 1 / 1, year{2026} / 12 / 31}; }
    std::vector<std::string> questions() const { return FakeCheckContext::questions(" | "); }
};

long long startOf(char type, std::size_t nr) {
    long long start = 1;
    const auto t = table0196(type);
    for (std::size_t i = 0; i + 1 < nr; ++i)
        start += static_cast<long long>(t[i].width());
    return start;
}

// Writes `value` (Windows-1252) into field `nr`, padded with blanks to the field's width.
void put(std::string& record, std::size_t nr, std::string_view value) {
    const char type = record[0];
    const std::size_t width = table0196(type)[nr - 1].width();
    std::string v(value);
    v.resize(width, ' ');
    record.replace(static_cast<std::size_t>(startOf(type, nr) - 1), width, v);
}

// A record of the type that passes every check and rule with the context's defaults.
std::string validRecord(char type) {
    std::string record;
    for (const FieldDef& d : table0196(type)) {
        const std::size_t w = d.width();
        std::string v;
        const bool list = d.values.find_first_not_of(" \t") != std::string_view::npos;
        if (list)
            v = std::string(d.values.substr(0, d.values.find('/')));
        else if (d.name.find("W\xE4hrung") != std::string_view::npos)
            v = "EUR";
        else if (d.name.find("Datum") != std::string_view::npos)
            v = "15062026";
        else if (d.type == "N")
            v = std::string(w, '0');
        else if (d.mk == "M" && d.name != "Reserve")
            v = "X";
        if (d.type == "N" && v.size() < w) v.insert(0, w - v.size(), '0');
        v.resize(w, ' ');
        record += v;
    }
    if (type == 'A') put(record, 4, "HSN-4711");
    if (type == 'T') put(record, 5, "001");
    if (type == 'Z') put(record, 6, "0000100");
    return record;
}

const IVersionRules& rules = versionRules(Version::V0196);

FieldTable::FillCount fill(FieldTable& t, std::string_view record) {
    return rules.fillTable(t, RecordInput{.text = record});
}

std::vector<Finding> check(Ctx& ctx, const std::string& record) {
    FieldTable t;
    const RecordInput input{.text = record};
    const FieldTable::FillCount count = rules.fillTable(t, input);
    rules.checkFields(ctx, t, input);
    rules.recordRules(ctx, t, count, input);
    return ctx.reports;
}

const char* const kCharRule =
    "\r\nErlaubt sind die Zeichen CHR 32 bis CHR 126 und die Umlaute ÄÖÜäöüß (siehe ASCII-Tabelle 850)";

TEST(Fill0196, CutsFixedFieldsWithDecimalWidths) {
    std::string b = validRecord('B');
    put(b, 26, "1250");
    FieldTable t;
    EXPECT_EQ(fill(t, b).width, 128u);
    ASSERT_EQ(t.size(), 34u);
    EXPECT_EQ(t.content(25), "1250");
    EXPECT_EQ(t.position(25), startOf('B', 26));
    EXPECT_EQ(t.position(26), startOf('B', 26) + 4);
    EXPECT_EQ(t.number(25), 26u);
    EXPECT_EQ(t.position(0), 1u);

    // A record that ends inside a field leaves a short cut and empty cuts behind it.
    FieldTable s;
    fill(s, b.substr(0, 10));
    EXPECT_EQ(s.content(3), "X      ");
    EXPECT_EQ(s.content(4), "");
    EXPECT_EQ(s.position(33), startOf('B', 34));

    FieldTable none;
    EXPECT_EQ(fill(none, "Q123").width, 0u);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(fill(none, "").width, 0u);
}

TEST(Check0196, ValidRecordsOfEveryTypePass) {
    for (const char type : kRecordTypes0196) {
        Ctx ctx;
        EXPECT_EQ(check(ctx, validRecord(type)), std::vector<Finding>{}) << type;
        EXPECT_TRUE(ctx.questions().empty()) << type;
    }
}

struct FieldCase {
    const char* label;
    char type;
    std::size_t nr;
    std::string value;              // Windows-1252, padded to the width
    std::vector<std::string> texts; // UTF-8, in order; all at the field's start
};

class FieldChecks0196 : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldChecks0196, ReportExactly) {
    const FieldCase& c = GetParam();
    std::string record = validRecord(c.type);
    put(record, c.nr, c.value);
    Ctx ctx;
    const std::vector<Finding> found = check(ctx, record);
    std::vector<Finding> expected;
    for (const std::string& text : c.texts)
        expected.push_back({startOf(c.type, c.nr), text});
    EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, FieldChecks0196,
    ::testing::Values(
        // A mandatory field blank over its whole width is not reported.
        FieldCase{"MandatoryBlank", 'B', 4, "", {}}, FieldCase{"ReserveBlank", 'P', 10, "", {}},
        FieldCase{"ReserveLetter",
                  'P',
                  10,
                  "  x",
                  {"Satz 7, Fehler in Feld 10, Reservefeld muss 5 Leerzeichen enthalten!"}},
        FieldCase{"ReserveWide",
                  'R',
                  7,
                  "x",
                  {"Satz 7, Fehler in Feld 7, Reservefeld muss 57 Leerzeichen enthalten!"}},
        // B field 2's tab list is no list: a blank passes, a tab is a bad character.
        FieldCase{"TabReserveBlank", 'B', 2, " ", {}},
        FieldCase{
            "TabReserveTab",
            'B',
            2,
            "\t",
            {"Satz 7, Fehler in Feld 2,Position 1, Zeichen >\t< nicht zulässig." + std::string(kCharRule)}},
        FieldCase{"NumericBlank",
                  'B',
                  6,
                  "   ",
                  {"Satz 7, Fehler in Feld 6,Position 1\r\n, Zeichen > < nicht zulässig.\r\n, zulässig sind "
                   "nur die Zahlen 0 bis 9"}},
        FieldCase{"NumericSign",
                  'B',
                  12,
                  "00-100",
                  {"Satz 7, Fehler in Feld 12,Position 3\r\n, Zeichen >-< nicht zulässig.\r\n, zulässig sind "
                   "nur die Zahlen 0 bis 9"}},
        FieldCase{"NumericListContained", 'B', 15, "3/", {}},
        FieldCase{"NumericListBlank", 'B', 14, "  ", {}},
        FieldCase{"NumericListOut",
                  'B',
                  15,
                  "10",
                  {"Satz 7, Fehler in Feld 15, der numerische Wert kann nur im Bereich "
                   "01/11/12/13/21/22/23/31/32/33/41/42/43 liegen !"}},
        FieldCase{"AlphaListBlankEntry", 'B', 5, " ", {}},
        FieldCase{
            "AlphaListOut", 'B', 5, "X", {"Fehler in Feld 5, der Vorgabewert kann nur   /U/A/K/F sein !"}},
        FieldCase{"AlphaListVersion",
                  'V',
                  15,
                  "0590",
                  {"Fehler in Feld 15, der Vorgabewert kann nur  0196 sein !"}},
        FieldCase{"Umlauts",
                  'A',
                  6,
                  "Gr\xFC\xDF"
                  "e \xC4\xD6\xDC\xE4\xF6",
                  {}},
        FieldCase{"Code128",
                  'A',
                  7,
                  "ab\x80",
                  {"Satz 7, Fehler in Feld 7,Position 3, Zeichen >\u20ac< nicht zulässig." +
                   std::string(kCharRule)}},
        FieldCase{
            "Control",
            'A',
            7,
            "a\x1A",
            {"Satz 7, Fehler in Feld 7,Position 2, Zeichen >\x1A< nicht zulässig." + std::string(kCharRule)}},
        FieldCase{
            "InvalidDate", 'B', 23, "29022026", {"Satz 7, Fehler in Feld 23, ungültiges Datum 29022026"}},
        FieldCase{
            "YmdIsNoDmy", 'B', 23, "20260615", {"Satz 7, Fehler in Feld 23, ungültiges Datum 20260615"}},
        FieldCase{"LeapDay",
                  'B',
                  23,
                  "29022024",
                  {"Satz 7, Fehler in Feld 23, das Datum 29.02.2024 liegt nicht im gültigen Bereich."}},
        FieldCase{"WindowLimit", 'B', 23, "31122026", {}}),
    [](const ::testing::TestParamInfo<FieldCase>& i) { return std::string(i.param.label); });

TEST(Check0196, ARecordCutBeforeAMandatoryFieldReportsIt) {
    Ctx ctx;
    std::string b = validRecord('B');
    b.resize(3); // ends before "Artikel-Nr."
    const std::vector<Finding> found = check(ctx, b);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0], (Finding{4, "Satz 7, Fehler in Feld 4, Mussfeld muss einen Inhalt haben!"}));
    EXPECT_EQ(found[1].text, "Satz 7, Fehler in Feld 13, Mussfeld muss einen Inhalt haben!");
}

TEST(Check0196, ASCIICheckOffAdmitsHighCodesButNotControlCharacters) {
    for (const bool oem : {true, false}) {
        Ctx ctx;
        ctx.sw.asciiCheckOff = true;
        ctx.sw.oemFile = oem;
        std::string a = validRecord('A');
        put(a, 7, "\x80\xA9");
        EXPECT_TRUE(check(ctx, a).empty());
        put(a, 7, "\x09");
        EXPECT_EQ(check(ctx, a).size(), 1u);
    }
    // Without the switch the rule is the same for ANSI files.
    Ctx ansi;
    ansi.sw.oemFile = false;
    std::string a = validRecord('A');
    put(a, 7, "\xA9");
    EXPECT_EQ(check(ansi, a).size(), 1u);
}

TEST(Check0196, ForeignCurrencyIsReportedAndAdoptedOnYes) {
    Ctx ctx;
    ctx.answers = {false, true};
    std::string b = validRecord('B');
    put(b, 22, "CHF");
    check(ctx, b);
    check(ctx, b);
    const std::string question =
        "Währungsschlüssel | Soll das Währungskennzeichen CHF jetzt für diesen Prüflauf\r\n"
        "(nicht aber in den Systemeinstellungen) angepasst werden? ";
    const Finding f{startOf('B', 22),
                    "Satz 7, Fehler in Feld 22, das Währungskennzeichen CHF ist nicht identisch mit der "
                    "Systemeinstellung EUR"};
    EXPECT_EQ(ctx.reports, (std::vector<Finding>{f, f}));
    EXPECT_EQ(ctx.questions(), (std::vector<std::string>{question, question}));
    EXPECT_EQ(ctx.currency_, "CHF");
    // Adopted: CHF passes now, EUR differs.
    ctx.reports.clear();
    EXPECT_TRUE(check(ctx, b).empty());
    EXPECT_EQ(check(ctx, validRecord('B')).size(), 1u);
    // The prefix rule: a value beginning with the run's code does not differ.
    Ctx prefix;
    prefix.currency_ = "EU";
    EXPECT_TRUE(check(prefix, validRecord('B')).empty());
    // A code that does not differ goes on to the character rule.
    Ctx none;
    none.currency_ = "";
    put(b, 22, "E\x01R");
    ASSERT_EQ(check(none, b).size(), 1u);
    EXPECT_EQ(none.reports[0].text.substr(0, 42), "Satz 7, Fehler in Feld 22,Position 2, Zeic");
    EXPECT_TRUE(none.questions().empty());
}

TEST(Check0196, PRecordWithOnlyTheFirstPriceBlock) {
    Ctx ctx;
    std::string p = validRecord('P');
    for (std::size_t nr = 11; nr <= 26; ++nr)
        put(p, nr, "");
    const std::vector<Finding> found = check(ctx, p);
    std::vector<std::string> texts;
    for (const Finding& f : found)
        texts.push_back(f.text);
    const std::vector<std::string> expected{
        "Satz 7, Fehler in Feld 15,Position 1\r\n, Zeichen > < nicht zulässig.\r\n, zulässig sind nur die "
        "Zahlen 0 bis 9",
        "Satz 7, Fehler in Feld 16, das Währungskennzeichen     ist nicht identisch mit der "
        "Systemeinstellung EUR",
        "Satz 7, Fehler in Feld 17, ungültiges Datum         ",
        "Satz 7, Fehler in Feld 19,Position 1\r\n, Zeichen > < nicht zulässig.\r\n, zulässig sind nur die "
        "Zahlen 0 bis 9",
        "Satz 7, Fehler in Feld 21,Position 1\r\n, Zeichen > < nicht zulässig.\r\n, zulässig sind nur die "
        "Zahlen 0 bis 9",
        "Satz 7, Fehler in Feld 22,Position 1\r\n, Zeichen > < nicht zulässig.\r\n, zulässig sind nur die "
        "Zahlen 0 bis 9",
        "Satz 7, Fehler in Feld 23,Position 1\r\n, Zeichen > < nicht zulässig.\r\n, zulässig sind nur die "
        "Zahlen 0 bis 9",
        "Satz 7, Fehler in Feld 24, das Währungskennzeichen     ist nicht identisch mit der "
        "Systemeinstellung EUR",
        "Satz 7, Fehler in Feld 25, ungültiges Datum         ",
    };
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(ctx.questions().size(), 2u);
}

TEST(Check0196, DateOutsideTheWindowIsReportedAndTheWindowWidenedOnYes) {
    Ctx ctx;
    ctx.answers = {true};
    std::string b = validRecord('B');
    put(b, 23, "02012027");
    check(ctx, b);
    ASSERT_EQ(ctx.reports.size(), 1u);
    EXPECT_EQ(ctx.reports[0].text,
              "Satz 7, Fehler in Feld 23, das Datum 02.01.2027 liegt nicht im gültigen Bereich.");
    ASSERT_EQ(ctx.questions().size(), 1u);
    EXPECT_NE(ctx.questions()[0].find("Das Datum 02.01.2027 im Feld 23 liegt nicht"), std::string::npos);
    EXPECT_EQ(ctx.window.upper, year{2027} / 1 / 2);
    ctx.reports.clear();
    EXPECT_TRUE(check(ctx, b).empty());

    Ctx no;
    check(no, b);
    check(no, b);
    EXPECT_EQ(no.reports.size(), 2u);
    EXPECT_EQ(no.asked.size(), 2u);
}

struct RuleCase {
    const char* label;
    char type;
    std::vector<std::pair<std::size_t, std::string>> fields;
    std::vector<Finding> expected; // UTF-8 texts
};

class RecordRules0196 : public ::testing::TestWithParam<RuleCase> {};

TEST_P(RecordRules0196, ReportExactly) {
    const RuleCase& c = GetParam();
    std::string record = validRecord(c.type);
    for (const auto& [nr, v] : c.fields)
        put(record, nr, v);
    Ctx ctx;
    EXPECT_EQ(check(ctx, record), c.expected);
}

const std::string kGtin13 = "4006381333931"; // valid EAN-13
const std::string kGtin8 = "96385074";       // valid EAN-8
const std::string kBadCheck =
    "Satz 7, Fehler im Feld 3 (GTIN/EAN), \r\nPrüfziffer (13.Stelle) der GTIN/EAN stimmt nicht !";

INSTANTIATE_TEST_SUITE_P(
    Rules, RecordRules0196,
    ::testing::Values(
        RuleCase{"ANoNumbers",
                 'A',
                 {{4, "   "}},
                 {{3, "Satz 7, Fehler in den Feldern 3 bis 5, \r\neines der Felder muss mit einer Nummer "
                      "gefüllt sein !"}}},
        RuleCase{"AGtin13", 'A', {{3, kGtin13}}, {}},
        RuleCase{"AGtin13WrongDigit", 'A', {{3, "4006381333932"}}, {{3, kBadCheck}}},
        RuleCase{"AGtin13Indented", 'A', {{3, " " + kGtin13}}, {}},
        RuleCase{"AGtin8", 'A', {{3, kGtin8}}, {}},
        RuleCase{"AGtin8WrongDigitNotTested", 'A', {{3, "96385075"}}, {}},
        RuleCase{"AGtin12", 'A', {{3, "400638133393"}}, {{3, kBadCheck}}},
        RuleCase{"AGtin14", 'A', {{3, "0" + kGtin13}}, {{3, kBadCheck}}},
        RuleCase{"AGtin14Prefix", 'A', {{3, kGtin13 + "5"}}, {}}, RuleCase{"AGtin5", 'A', {{3, "12345"}}, {}},
        RuleCase{"BConversionPartial",
                 'B',
                 {{16, "1"}, {17, "010"}},
                 {{startOf('B', 16),
                   "Satz 7, Fehler in den Feldern 16 bis 18, \r\nwenn eines der Felder > 0 müssen alle "
                   "Felder mit Werten > 0 gefüllt sein !"}}},
        RuleCase{"BConversionComplete", 'B', {{16, "1"}, {17, "010"}, {18, "01"}}, {}},
        RuleCase{"BDiscountGroupAndRate",
                 'B',
                 {{25, "R1"}, {26, "0100"}},
                 {{startOf('B', 25),
                   "Satz 7, Fehler in den Feldern 25 bis 26, \r\nwenn Feld 25 mit Inhalt muss 26 mit "
                   "0000 gefüllt sein !"}}},
        RuleCase{"BDiscountGroupOnly", 'B', {{25, "R1"}}, {}},
        RuleCase{"BRmtWithoutRate",
                 'B',
                 {{29, "2"}},
                 {{startOf('B', 29),
                   "Satz 7, Fehler in den Feldern 29 und 30, \r\nwenn Feld 29 mit Inhalt, muss Feld 30 "
                   "mit einem Rabattsatz oder Multiplikator gefüllt sein !"}}},
        RuleCase{"BRmtWithRate", 'B', {{31, "3"}, {32, "00150"}}, {}},
        RuleCase{"DText1Empty",
                 'D',
                 {{6, ""}, {7, "001"}},
                 {{startOf('D', 6),
                   "Satz 7, Fehler in den Feldern 6-7-8, \r\nwenn Feld 6 ohne Langtextverweis, muss Feld "
                   "7 mit einer Zeilennummer und Feld 8 mit Text gefüllt sein !"},
                  {startOf('D', 8), "Satz 7, Fehler im Feld 8, \r\nFeld 8 muss einen Textinhalt haben !"}}},
        RuleCase{"DText1Filled", 'D', {{6, ""}, {7, "001"}, {8, "Text"}}, {}},
        RuleCase{
            "DText2",
            'D',
            {{5, "2"}, {6, ""}, {9, "000"}, {10, "$a$"}},
            {{startOf('D', 6), "Satz 7, Fehler im Feld 6, \r\nFeld 6 muss einen Langtextverweis enthalten !"},
             {startOf('D', 7),
              "Satz 7, Fehler im Feld 7, \r\nFeld  7 muss eine Zeilennummer > 0 enthalten !"},
             {startOf('D', 9),
              "Satz 7, Fehler im Feld 9, \r\nFeld 10 hat Inhalt, Feld 9 muss eine Zeilennummer > 0 "
              "enthalten !"}}},
        RuleCase{"DText2Dollars",
                 'D',
                 {{5, "2"}, {7, "001"}, {8, "$Dim 1"}, {9, "002"}, {10, "$a$"}},
                 {{startOf('D', 8),
                   "Satz 7, Fehler im Feld 8, \r\nFeld 8 muss als Start- und Stop-Zeichen für den "
                   "Dimensionstext je ein $ Zeichen enthalten !"}}},
        RuleCase{"DFileReference",
                 'D',
                 {{5, "4"}, {6, "bild.jpg"}},
                 {{startOf('D', 6),
                   "Satz 7, Fehler im Feld 6, \r\nFeld 6 darf im Dateiverweis keinen Punkt enthalten !"},
                  {startOf('D', 6),
                   "Satz 7, Fehler im Feld 6, \r\nFeld 6 muss links mit Leerzeichen aufgefüllt werden !"}}},
        RuleCase{"DFileReferenceRightAligned", 'D', {{5, "3"}, {6, "     BILD01"}}, {}},
        RuleCase{"DFileWithLines",
                 'D',
                 {{5, "5"}, {6, "      BILD1"}, {9, "001"}, {8, "x"}},
                 {{startOf('D', 9),
                   "Satz 7, Fehler im Feld 9, \r\nFeld 9 darf keine Zeilennummer > 0 enthalten !"},
                  {startOf('D', 8), "Satz 7, Fehler im Feld 8, \r\nFeld 8 darf keinen Textinhalt haben !"}}},
        RuleCase{"TLineWithoutNumber",
                 'T',
                 {{9, "mehr"}},
                 {{startOf('T', 8),
                   "Satz 7, Fehler im Feld 8, \r\nFeld 9 hat Inhalt, Feld 8 muss eine Zeilennummer > 0 "
                   "enthalten !"}}},
        RuleCase{"TNumberWithoutLine",
                 'T',
                 {{8, "002"}},
                 {{startOf('T', 9),
                   "Satz 7, Fehler im Feld 9, \r\nFeld 9 muss einen Textinhalt haben, da Zeilennummer > "
                   "0 !"}}},
        RuleCase{"TDeletedNumberWithoutLine", 'T', {{2, "9"}, {8, "002"}}, {}},
        RuleCase{"ZNoWeight",
                 'Z',
                 {{6, "0000000"}},
                 {{startOf('Z', 5),
                   "Satz 7, Fehler im Feld 5, \r\nes muss ein Rohstoffgewicht > 0 vorhanden sein !"}}},
        RuleCase{"ZSurchargeInstead", 'Z', {{6, "0000000"}, {9, "0150"}}, {}},
        RuleCase{"ZBlankBlock",
                 'Z',
                 {{21, ""}, {22, "0000000"}},
                 {{startOf('Z', 21),
                   "Satz 7, Fehler in Feld 21,Position 1\r\n, Zeichen > < nicht zulässig.\r\n, zulässig "
                   "sind nur die Zahlen 0 bis 9"},
                  {startOf('Z', 21),
                   "Satz 7, Fehler im Feld 21, \r\nes muss ein Rohstoffgewicht > 0 vorhanden sein !"}}}),
    [](const ::testing::TestParamInfo<RuleCase>& i) { return std::string(i.param.label); });

} // namespace
