// What the checks of whole fixed records rely on: the table hands out the record it took
// whole only while its rows are that fill's layout, and the sign of a number field is
// the sign of the number read from it.
#include "rules/FieldTable.h"
#include "rules/SharedRules.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

using namespace arti;

namespace {

constexpr std::array<FieldDef, 3> kFirst{{
    {"Satzartkennzeichen", "1", "A", "M", "A", "F"},
    {"Artikelnummer", "5", "A", "M", "", "F"},
    {"Rabattsatz", "2.2", "N", "K", "", "T"},
}};
constexpr std::array<FieldDef, 2> kSecond{{
    {"Satzartkennzeichen", "1", "A", "M", "B", "F"},
    {"Text", "9", "A", "K", "", "F"},
}};

// Every row's content, position and running number, as the checks read them.
std::string rows(const FieldTable& t) {
    std::string s;
    for (std::size_t i = 0; i < t.size(); ++i)
        s += std::string(t.content(i)) + "@" + std::to_string(t.position(i)) + "#" +
             std::to_string(t.number(i)) + "|";
    return s;
}

TEST(FixedRecord, IsHandedOutOnlyWhileTheRowsAreTheWholeFillsLayout) {
    struct Case {
        const char* what;
        std::function<void(FieldTable&)> after; // what happens after a whole fill of kFirst
        bool handedOut;
        std::string rows; // empty: as the whole fill left them
    };
    const std::string whole = "A12345x9y8\r\n";
    const Case cases[] = {
        {"nothing", [](FieldTable&) {}, true, ""},
        {"a short record", [](FieldTable& t) { t.fillFixed(kFirst, "A123"); }, false, "A@1#1|123@2#2|@7#3|"},
        {"a record one byte short", [](FieldTable& t) { t.fillFixed(kFirst, "A12345x9y"); }, false,
         "A@1#1|12345@2#2|x9y@7#3|"},
        {"a content set", [](FieldTable& t) { t.setContent(1, "99"); }, false, "A@1#1|99@2#2|x9y8@7#3|"},
        {"a position set", [](FieldTable& t) { t.setPosition(2, 7); }, false, ""},
        {"a running number set", [](FieldTable& t) { t.setNumber(0, 1); }, false, ""},
        {"a reset", [](FieldTable& t) { t.reset(kFirst); }, false, "@0#0|@0#0|@0#0|"},
        {"a copy taken", [](FieldTable& t) { t.assignRecord(FieldTable(t)); }, false, ""},
        // A fill over rows that were changed, and one of another table between two of the
        // same, lay the rows out anew.
        {"a changed row filled again",
         [&whole](FieldTable& t) {
             t.setPosition(1, 40);
             t.fillFixed(kFirst, whole);
         },
         true, ""},
        {"another table between",
         [&whole](FieldTable& t) {
             t.fillFixed(kSecond, "B123456789");
             t.fillFixed(kFirst, whole);
         },
         true, ""},
        {"the same table again", [&whole](FieldTable& t) { t.fillFixed(kFirst, "A54321a1b2\r\n"); }, true,
         "A@1#1|54321@2#2|a1b2@7#3|"},
    };
    for (const Case& c : cases) {
        FieldTable t;
        t.fillFixed(kFirst, whole);
        const std::string filled = rows(t);
        c.after(t);
        if (c.handedOut)
            EXPECT_EQ(t.fixedRecord(), t.text()) << c.what;
        else
            EXPECT_TRUE(t.fixedRecord().empty()) << c.what;
        EXPECT_EQ(rows(t), c.rows.empty() ? filled : c.rows) << c.what;
    }
}

int signOf(double v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

TEST(FieldSign, IsTheSignOfTheNumberReadFromTheField) {
    const std::string texts[] = {"",
                                 " ",
                                 "0",
                                 "00000",
                                 "00012",
                                 "12",
                                 " 7",
                                 "   0",
                                 "-3",
                                 "-0",
                                 "+0",
                                 "+5",
                                 "- 5",
                                 "0.0",
                                 "0.05",
                                 "-0.0001",
                                 ".5",
                                 "-.5",
                                 "0.",
                                 "00.00x",
                                 "0x1",
                                 "x1",
                                 "1e5",
                                 "--1",
                                 "0 1",
                                 "000000000000000000007",
                                 "00000000000000000000",
                                 "0." + std::string(320, '0') + "1",
                                 "-0." + std::string(310, '0') + "3",
                                 std::string(400, '9'),
                                 "-" + std::string(400, '0'),
                                 "0.0.1"};
    for (const std::string& t : texts)
        EXPECT_EQ(fieldSign(t), signOf(fieldNumber(t))) << t.substr(0, 40) << " (" << t.size() << ")";
}

} // namespace
