// The lookup rules of the code tables: keyword inside a longer name, the first table
// of a version wins, ranges compare as text, no trimming, the two fallbacks.
#include "core/Text.h"
#include "rules/CodeTables.h"

#include <gtest/gtest.h>

using namespace arti;

namespace {

struct Case {
    Version version;
    const char* name;
    const char* value;
    const char* expected; // UTF-8
};

TEST(CodeTables, LookupRules) {
    const Case cases[] = {
        // The same name and value differ by version.
        {Version::V0590, "Status, Verarbeitung", "2", "Auslauf/Pflege"},
        {Version::V0196, "Status, Verarbeitung", "2", "undefiniert"},
        {Version::V2000, "Status, Verarbeitung", "L", "Löschen"},
        // A keyword inside a longer name selects its table.
        {Version::V0196, "Mengeneinheit 2", "23", "= kg"},
        {Version::V0590, "Mengeneinheit 2", "23", "undefiniert"},
        {Version::V0590, "Mengeneinheit 2", "03", "= kg"},
        {Version::V0196, "Kennziffer RMT 3", "3", "= TeuerungZuschl."},
        // The first table wins: "Ursprung" of 01/96 takes "Ursprungsland" too.
        {Version::V0196, "Ursprungsland", "004", "undefiniert"},
        {Version::V0196, "Ursprungsland", "K", "= Herkunft keine Präferenz"},
        // The keyword compares case-sensitively.
        {Version::V0196, "mengeneinheit", "01", "01"},
        // A range row compares as text.
        {Version::V0590, "Rohstoffart", "42", "= Reserve"},
        {Version::V0590, "Rohstoffart", "99", "= Reserve"},
        {Version::V0590, "Rohstoffart", "06", "= Reserve"},
        {Version::V0590, "Rohstoffart", "05", "= ME > CU/ZN > Messing"},
        {Version::V0590, "Rohstoffart", "00", "undefiniert"},
        {Version::V0590, "Rohstoffart", "6", "= Reserve"}, // "6" sorts between "06" and "99"
        {Version::V0590, "Rohstoffart", "A", "undefiniert"},
        // Either keyword of a two-keyword table selects it.
        {Version::V2000, "Zuschlagart", "93", "= Recycling/Entsorgung/Rücknahme"},
        {Version::V2000, "Schalter Währung/Prozent", "W", "= Währung"},
        // No trimming: a trailing or leading blank never matches.
        {Version::V2000, "Betriebssystem", "D ", "undefiniert"},
        {Version::V2000, "Betriebssystem", " D", "undefiniert"},
        {Version::V2000, "Betriebssystem", "D", "= DOS (Vorgabe)"},
        {Version::V2000, "Betriebssystem", "", "undefiniert"},
        // No keyword: the value itself, unchanged.
        {Version::V0196, "Bezeichnung 1", " Kabel  ", " Kabel  "},
        {Version::None, "Mengeneinheit", "01", "01"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ansiToUtf8(decodeValue(c.version, utf8ToAnsi(c.name), utf8ToAnsi(c.value))), c.expected)
            << versionText(c.version) << " [" << c.name << "] [" << c.value << "]";
}

TEST(CodeTables, FederalStateFallbacks) {
    const std::pair<const char*, const char*> cases[] = {{"16", "Thüringen"},   {"01", "Schleswig-Holstein"},
                                                         {"00", "undefiniert"}, {"", "undefiniert"},
                                                         {"1", "undefiniert"},  {"17", "undefiniert"}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(ansiToUtf8(BUNDESLAND(value)), expected) << value;
}

} // namespace
