// The field table of a record: constant definitions referred to, per-record columns
// filled, the nine column texts as the findings list reads them.
#include "rules/FieldTable.h"

#include <gtest/gtest.h>

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using namespace arti;

namespace {

constexpr std::array<FieldDef, 4> kDefs{{
    {"Satzartkennzeichen", "1", "A", "M", "A", "F"},
    {"Artikelnummer", "15", "A", "M", "", "F"},
    {"Rabattsatz", "2.2", "N", "K", "", "T"},
    {"Mengeneinheit", "2", "N", "K", "01/11/12", "F"},
}};

static_assert(declaredWidth("2.2") == 4);
static_assert(kDefs[2].width() == 4 && kDefs[1].width() == 15);
static_assert(kDefs[2].numeric() && !kDefs[1].numeric());
static_assert(kDefs[0].mandatory() && !kDefs[3].mandatory());

TEST(DeclaredWidth, IsTheIntegerPartPlusTheDecimals) {
    const std::pair<const char*, std::size_t> cases[] = {
        {"1", 1}, {"35", 35}, {"2.2", 4}, {"2.1", 3},   {"11.3", 14},
        {"", 0},  {"x", 0},   {"3.", 3},  {"3.2.1", 5},
    };
    for (const auto& [text, width] : cases)
        EXPECT_EQ(declaredWidth(text), width) << text;
}

TEST(FieldTableRows, StartEmptyAndReferToTheirDefinitions) {
    FieldTable t;
    t.reset(kDefs);
    ASSERT_EQ(t.size(), 4u);
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(&t.def(i), &kDefs[i]);
        EXPECT_EQ(t.content(i), "");
        EXPECT_EQ(t.column(i, FieldCol::Pos), "");
        EXPECT_EQ(t.column(i, FieldCol::Nr), "");
    }
    // Names are not copied: the row's view points into the constant table.
    EXPECT_EQ(t.row(1).name().data(), kDefs[1].name.data());
}

TEST(FieldTableRows, ShowAllNineColumns) {
    FieldTable t;
    t.reset(kDefs);
    t.setContent(2, "0550");
    t.setPosition(2, 17);
    t.setNumber(2, 3);
    const std::array<const char*, 9> expected{"0550", "Rabattsatz", "2.2", "N", "K", "17", "3", "", "T"};
    for (int c = 1; c <= kFieldColumns; ++c)
        EXPECT_EQ(t.column(2, static_cast<FieldCol>(c)), expected[static_cast<std::size_t>(c - 1)]) << c;

    const std::vector<std::string> list = t.rowTexts(2);
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list, (std::vector<std::string>{"0550", "Rabattsatz", "2.2", "N", "K", "17", "3"}));
    EXPECT_EQ(t.rowTexts(2, 9).back(), "T");
    EXPECT_EQ(t.rowTexts(3, 9)[7], "01/11/12");

    const FieldRow r = t.row(2);
    EXPECT_EQ(r.content, "0550");
    EXPECT_EQ(r.position, 17u);
    EXPECT_EQ(r.number, 3u);
}

TEST(FieldTableRows, ContentsStayIntactWhileTheBufferGrows) {
    FieldTable t;
    t.reset(kDefs);
    // Long enough to move the buffer several times; each view is taken afresh.
    const std::string a(100, 'a'), b(1000, 'b'), c(10000, 'c');
    t.setContent(0, "A");
    t.setContent(1, a);
    t.setContent(2, b);
    t.setContent(3, c);
    EXPECT_EQ(t.content(0), "A");
    EXPECT_EQ(t.content(1), a);
    EXPECT_EQ(t.content(2), b);
    EXPECT_EQ(t.content(3), c);
    // Setting a row again replaces its content and leaves the others.
    t.setContent(1, "neu");
    EXPECT_EQ(t.content(1), "neu");
    EXPECT_EQ(t.content(3), c);
}

TEST(FieldTableRows, ANewRecordStartsFromEmptyRows) {
    constexpr std::array<FieldDef, 2> kOther{
        {{"Satzart", "1", "A", "M", "B", "F"}, {"Text", "40", "A", "K", "", "F"}}};
    FieldTable t;
    t.reset(kDefs);
    t.setContent(1, "4711");
    t.setPosition(1, 4);
    t.setNumber(1, 2);
    t.reset(kOther);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t.def(1).name, "Text");
    EXPECT_EQ(t.content(1), "");
    EXPECT_EQ(t.position(1), 0u);
    EXPECT_EQ(t.number(1), 0u);
    t.clear();
    EXPECT_TRUE(t.empty());
}

} // namespace

namespace {

// The traits the checks read instead of the texts, fixed when a row is made.
constexpr std::array<FieldDef, 7> kTraitRows{{
    {"W\xE4hrung", "3", "A", "M", "", "F"},
    {"Datum, g\xFCltig ab", "8", "N", "M", "", "F"},
    {"Preisdatum", "8", "N", "K", "", "T"},
    {"Reserve", "12", "A", "M", " ", "FT"},
    {"Reserve", "12", "A", "M", "  ", "F"},
    {"Schalter", "1", "A", "K", " \t", "F"},
    {"Mengeneinheit", "10", "X", "K", " /D/W/A", "F"},
}};

} // namespace

TEST(FieldDefTraits, AreReadFromTheConstantColumns) {
    const auto& r = kTraitRows;
    EXPECT_TRUE(r[0].has(kTraitCurrency) && r[0].has(kTraitAlpha) && r[0].mandatory());
    EXPECT_FALSE(r[0].has(kTraitDate) || r[0].has(kTraitList));
    EXPECT_TRUE(r[1].has(kTraitDate) && r[1].numeric() && !r[1].has(kTraitCodeZero));
    EXPECT_TRUE(r[2].has(kTraitDate) && r[2].has(kTraitCodeZero));     // "datum" in any case
    EXPECT_TRUE(r[3].has(kTraitReserve) && !r[3].has(kTraitCodeZero)); // only "T" marks code 0
    EXPECT_FALSE(r[4].has(kTraitReserve)); // two blanks are not the single-blank list
    EXPECT_FALSE(r[5].has(kTraitList));    // blanks and tabs make no list
    EXPECT_TRUE(r[5].has(kTraitShortLength));
    EXPECT_TRUE(r[6].has(kTraitList) && !r[6].has(kTraitShortLength));
    EXPECT_FALSE(r[6].has(kTraitAlpha) || r[6].numeric()); // an unknown type is neither
    EXPECT_EQ(kDefs[2].wholeWidth(), 2u);
    EXPECT_EQ(kDefs[2].width(), 4u);
}

TEST(FieldTableFill, FixedRecordsOfOneTypeShareTheirLayoutAndShortOnesAreCut) {
    FieldTable t;
    const std::string full = "A" + std::string("ART-4711       ") + "1250" + "01";
    EXPECT_EQ(t.fillFixed(kDefs, full), 22u);
    EXPECT_EQ(t.content(1), "ART-4711       ");
    EXPECT_EQ(t.position(3), 21u);
    // A short record after a full one of the same type: the fields it does not reach
    // are empty, the one across its end is cut; positions and numbers stay.
    EXPECT_EQ(t.fillFixed(kDefs, "AB-1"), 22u);
    EXPECT_EQ(t.content(0), "A");
    EXPECT_EQ(t.content(1), "B-1");
    EXPECT_EQ(t.content(2), "");
    EXPECT_EQ(t.content(3), "");
    EXPECT_EQ(t.position(2), 17u);
    EXPECT_EQ(t.number(3), 4u);
    // And a full one again takes the whole layout.
    EXPECT_EQ(t.fillFixed(kDefs, full), 22u);
    EXPECT_EQ(t.content(2), "1250");
    EXPECT_EQ(t.content(3), "01");
}

// A whole fixed record reads its type's layout in place: a change of one row, in the table
// or in a copy of it, stays with that table and never reaches the next record's layout.
TEST(FieldTableFill, ChangedRowsOfAWholeRecordStayWithTheirTable) {
    const std::string full = "A" + std::string("ART-4711       ") + "1250" + "01";
    FieldTable t;
    t.fillFixed(kDefs, full);
    FieldTable copy = t;
    copy.setPosition(1, 99);
    copy.setContent(3, "11");
    EXPECT_EQ(t.position(1), 2u);
    EXPECT_EQ(t.content(3), "01");
    t.setNumber(2, 42);
    EXPECT_EQ(copy.number(2), 3u);
    EXPECT_EQ(copy.position(1), 99u);
    EXPECT_EQ(copy.content(3), "11");
    EXPECT_EQ(copy.content(1), "ART-4711       ");
    // The next record of the type has the layout's rows again.
    t.fillFixed(kDefs, full);
    EXPECT_EQ(t.number(2), 3u);
    EXPECT_EQ(t.position(1), 2u);
    FieldTable other;
    other.fillFixed(kDefs, full);
    other.assignRecord(copy);
    EXPECT_EQ(other.position(1), 99u);
    EXPECT_EQ(other.content(3), "11");
}

// A table that cuts records of many types keeps each type's layout apart, also beyond the
// layouts it finds without a search: 36 tables of definitions, cut twice over.
TEST(FieldTableFill, EveryTableOfDefinitionsKeepsItsLayout) {
    static constexpr std::array<FieldDef, 8> kEight{{
        {"F1", "1", "A", "K", "", "F"},
        {"F2", "2", "A", "K", "", "F"},
        {"F3", "3", "A", "K", "", "F"},
        {"F4", "4", "A", "K", "", "F"},
        {"F5", "5", "A", "K", "", "F"},
        {"F6", "6", "A", "K", "", "F"},
        {"F7", "7", "A", "K", "", "F"},
        {"F8", "8", "A", "K", "", "F"},
    }};
    const std::string record = "123456789012345678901234567890123456";
    FieldTable t;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t from = 0; from < kEight.size(); ++from) {
            for (std::size_t n = 1; from + n <= kEight.size(); ++n) {
                const std::span<const FieldDef> defs = std::span(kEight).subspan(from, n);
                const std::size_t start = from * (from + 1) / 2; // where the record has field `from`
                const std::size_t width = (from + n) * (from + n + 1) / 2 - start;
                ASSERT_EQ(t.fillFixed(defs, record.substr(start)), width) << from << "+" << n;
                ASSERT_EQ(t.size(), n);
                EXPECT_EQ(t.position(n - 1), width - (from + n) + 1);
                EXPECT_EQ(t.content(n - 1), record.substr(start + width - (from + n), from + n));
            }
        }
    }
}

TEST(FieldTableFill, SplitFieldsCountTheirSeparatorsAndMissingOnesStayEmpty) {
    FieldTable t;
    const FieldTable::SplitCount split = t.fillSplit(kDefs, "A;;12,50", ";");
    EXPECT_EQ(split.taken, 3u);
    EXPECT_EQ(split.fields, 3u);
    const std::uint32_t positions[] = {1, 3, 4, 0};
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(t.position(i), positions[i]) << i;
        EXPECT_EQ(t.number(i), i + 1);
    }
    EXPECT_EQ(t.content(1), "");
    EXPECT_EQ(t.content(2), "12,50");
    EXPECT_EQ(t.content(3), "");
    EXPECT_EQ(t.column(3, FieldCol::Pos), "");
}

// A table that cuts records of changing types and lengths keeps its storage at the size of
// the largest, yet holds only the record at hand: its rows, its text, a content set
// afterwards, a copy of it and the next record, split or fixed.
TEST(FieldTableFill, EachRecordStandsAloneInStorageKeptFromLongerOnes) {
    FieldTable t;
    t.fillSplit(kDefs, "A;Artikelnummer-12345678;1234,50;01", ";");
    t.fillSplit(std::span(kDefs).first(2), "B;x", ";");
    EXPECT_EQ(t.size(), 2u);
    EXPECT_EQ(t.text(), "B;x");
    t.setContent(1, "neu");
    EXPECT_EQ(t.content(1), "neu");
    EXPECT_EQ(t.content(0), "B");
    const FieldTable copy = t;
    EXPECT_EQ(copy.size(), 2u);
    EXPECT_EQ(copy.content(1), "neu");
    t.fillSplit(kDefs, "C;y", ";");
    EXPECT_EQ(t.size(), 4u);
    EXPECT_EQ(t.text(), "C;y");
    EXPECT_EQ(t.content(2), "");
    EXPECT_EQ(t.position(3), 0u);
    EXPECT_EQ(t.fillFixed(kDefs, "D"), 22u);
    EXPECT_EQ(t.text(), "D");
    EXPECT_EQ(t.content(1), "");
}

// A table may be filled again from its own text, or from a part of it: the copy keeps the
// text it copies intact.
TEST(FieldTableFill, SplittingTheTablesOwnTextKeepsIt) {
    const std::pair<std::size_t, const char*> cases[] = {{0, "A;Artikelnummer-12345678;1234,50;x"},
                                                         {2, "Artikelnummer-12345678;1234,50;x"},
                                                         {25, "1234,50;x"}};
    for (const auto& [from, want] : cases) {
        FieldTable t;
        t.fillSplit(kDefs, "A;Artikelnummer-12345678;1234,50;x   ", ";");
        t.fillSplit(kDefs, t.text().substr(from), ";");
        EXPECT_EQ(t.text(), want) << from;
        EXPECT_EQ(t.content(0), std::string_view(want).substr(0, std::string_view(want).find(';'))) << from;
    }
}

// The record is cut as the record step cuts it: trailing blanks belong to no field, n
// separators give n+1 fields (also for an empty or blank record), fields keep their
// blanks, surplus fields are counted. Long records cross the eight-byte steps of the scan.
TEST(FieldTableFill, SplitTextsAreCutLikeTheRecordStepCutsThem) {
    const struct {
        std::string_view text;
        std::string_view separator;
        std::vector<std::string_view> contents; // the four rows
        std::vector<std::uint32_t> positions;
        std::size_t fields;
    } cases[] = {
        {"", ";", {"", "", "", ""}, {1, 0, 0, 0}, 1},
        {"     ", ";", {"", "", "", ""}, {1, 0, 0, 0}, 1},
        {"A; b ;;c  ", ";", {"A", " b ", "", "c"}, {1, 3, 7, 8}, 4},
        {"A;B;C;D;E;F  ", ";", {"A", "B", "C", "D"}, {1, 3, 5, 7}, 6},
        {"A|Artikelnummer-12345678|1234567890|x|",
         "|",
         {"A", "Artikelnummer-12345678", "1234567890", "x"},
         {1, 3, 26, 37},
         5},
        {"A"
         "B",
         "",
         {"A", "B", "", ""},
         {1, 3, 0, 0},
         2},
        {"A;B", "", {"A;B", "", "", ""}, {1, 0, 0, 0}, 1},
    };
    FieldTable t;
    for (const auto& c : cases) {
        const FieldTable::SplitCount split = t.fillSplit(kDefs, c.text, c.separator);
        EXPECT_EQ(split.fields, c.fields) << c.text;
        EXPECT_EQ(split.taken, std::min<std::size_t>(c.fields, 4)) << c.text;
        ASSERT_EQ(t.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(t.content(i), c.contents[i]) << c.text << " row " << i;
            EXPECT_EQ(t.position(i), c.positions[i]) << c.text << " row " << i;
            EXPECT_EQ(t.number(i), i + 1);
        }
    }
}

// A split record's rows may be edited: the edited row keeps what was not edited, and the
// next record is cut with its own positions and running numbers in every row.
TEST(FieldTableFill, EditedSplitRowsKeepTheRestAndTheNextRecordStartsAfresh) {
    const struct {
        const char* edit;
        std::size_t row;
        std::string_view content;
        std::uint32_t position, number;
    } cases[] = {
        {"content", 1, "neu", 3, 2},
        {"content", 3, "neu", 0, 4}, // a row without a field keeps no position
        {"position", 2, "1250", 40, 3},
        {"number", 0, "A", 1, 9},
    };
    for (const auto& c : cases) {
        FieldTable t;
        t.fillSplit(kDefs, "A;ART-4711;1250", ";");
        if (std::string_view(c.edit) == "content") t.setContent(c.row, "neu");
        if (std::string_view(c.edit) == "position") t.setPosition(c.row, 40);
        if (std::string_view(c.edit) == "number") t.setNumber(c.row, 9);
        EXPECT_EQ(t.content(c.row), c.content) << c.edit;
        EXPECT_EQ(t.position(c.row), c.position) << c.edit;
        EXPECT_EQ(t.number(c.row), c.number) << c.edit;
        EXPECT_EQ(t.content(1 - c.row % 2), c.row % 2 ? "A" : "ART-4711") << c.edit;
        t.fillSplit(kDefs, "B;x;y;z", ";");
        const std::uint32_t positions[] = {1, 3, 5, 7};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(t.position(i), positions[i]) << c.edit << " row " << i;
            EXPECT_EQ(t.number(i), i + 1) << c.edit << " row " << i;
        }
    }
}

// Records of every length up to the longest line are held whole, after longer and shorter
// ones alike.
TEST(FieldTableFill, RecordsOfEveryLengthAreKeptWhole) {
    FieldTable t;
    std::string longest;
    for (std::size_t n = 0; n < 300; ++n)
        longest += static_cast<char>(n % 7 == 6 ? ';' : 'a' + n % 26);
    for (const std::size_t n : {300, 1, 2, 3, 4, 7, 8, 15, 16, 17, 31, 33, 63, 64, 65, 100, 129, 299}) {
        const std::string record = longest.substr(0, n) + "x";
        const FieldTable::SplitCount split = t.fillSplit(kDefs, record, ";");
        EXPECT_EQ(t.text(), record) << n;
        EXPECT_EQ(split.fields, n / 7 + 1) << n;
    }
}
