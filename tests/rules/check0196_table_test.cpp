// The field tables of version 01/96: every record type fills 128 characters, row counts,
// and the rows whose texts are easy to get wrong (umlauts, decimal widths, the blank and
// tab lists).
#include "core/Text.h"
#include "rules/Table0196.h"

#include <gtest/gtest.h>

#include <string>

using namespace arti;

namespace {

TEST(Table0196, EveryRecordTypeFillsOneRecordWithItsRowCount) {
    const std::pair<char, std::size_t> types[] = {{'V', 15}, {'K', 7}, {'A', 9}, {'B', 34}, {'D', 11},
                                                  {'P', 26}, {'R', 7}, {'S', 5}, {'T', 10}, {'Z', 37}};
    std::string seen;
    for (const auto& [type, rows] : types) {
        const auto t = table0196(type);
        EXPECT_EQ(t.size(), rows) << type;
        std::size_t width = 0;
        for (const FieldDef& d : t) {
            width += d.width();
            EXPECT_EQ(d.flag, "F") << type << ' ' << d.name;
            EXPECT_TRUE(d.type == "A" || d.type == "N") << type << ' ' << d.name;
            EXPECT_TRUE(d.mk == "M" || d.mk == "K") << type << ' ' << d.name;
        }
        EXPECT_EQ(width, 128u) << type;
        ASSERT_FALSE(t.empty());
        EXPECT_EQ(t[0].name, "Satzartkennzeichen");
        EXPECT_EQ(t[0].values, std::string(1, type));
        seen += type;
    }
    EXPECT_EQ(seen, kRecordTypes0196);
}

TEST(Table0196, OtherLettersHaveNoTable) {
    for (const char c : {'H', 'I', 'X', 'Q', ' ', 'a', '\0'})
        EXPECT_TRUE(table0196(c).empty()) << int(c);
}

struct Row {
    char type;
    std::size_t nr;
    const char* name; // UTF-8
    const char* length;
    const char* typ;
    const char* mk;
    const char* values;
};

class Table0196Rows : public ::testing::TestWithParam<Row> {};

TEST_P(Table0196Rows, AreTranscribedExactly) {
    const Row& r = GetParam();
    const auto t = table0196(r.type);
    ASSERT_GE(t.size(), r.nr);
    const FieldDef& d = t[r.nr - 1];
    EXPECT_EQ(ansiToUtf8(d.name), r.name);
    EXPECT_EQ(d.length, r.length);
    EXPECT_EQ(d.type, r.typ);
    EXPECT_EQ(d.mk, r.mk);
    EXPECT_EQ(d.values, r.values);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, Table0196Rows,
    ::testing::Values(
        Row{'V', 14, "Reserve", "17", "A", "M", " "}, Row{'V', 15, "Version", "4", "A", "M", "0196"},
        Row{'K', 4, "GLN Datenempfänger", "13", "N", "K", ""},
        Row{'K', 5, "Name Datenempfänger", "30", "A", "K", ""},
        Row{'A', 5, "Großhändler-Nr.", "15", "A", "K", ""},
        Row{'A', 2, "Status, Verarbeitung", "1", "N", "M", "1/9"},
        Row{'B', 2, "Reserve", "1", "A", "M", "\t"}, Row{'B', 5, "Ursprung Zoll", "1", "A", "K", " /U/A/K/F"},
        Row{'B', 9, "bes.Maßeinheit Hstat.", "3", "A", "K", ""},
        Row{'B', 14, "Verpackungsart", "2", "N", "K",
            "00/01/02/03/04/05/06/07/11/12/13/14/21/22/23/24/25/31/32/33/41/42/99"},
        Row{'B', 17, "Zahl Multipl/Div", "2.1", "N", "K", ""},
        Row{'B', 18, "Mengeneinheit 2", "2", "N", "K", "00/01/11/12/13/21/22/23/31/32/33/41/42/43"},
        Row{'B', 21, "Preis, kleinste Währ.Einh.", "8", "N", "M", ""},
        Row{'B', 22, "Währung", "3", "A", "M", ""}, Row{'B', 23, "Datum, gültig ab", "8", "N", "M", ""},
        Row{'B', 26, "Rabattsatz", "2.2", "N", "K", ""},
        Row{'B', 33, "Kennung Rohstoff", "1", "N", "M", "0/1"},
        Row{'D', 6, "Langtext/Dateiverweis", "11", "A", "M", ""},
        Row{'P', 14, "Preiseinheit", "1", "N", "K", "0/1/2/3/4"},
        Row{'P', 19, "Schalter Art.Nr.", "1", "N", "K", ""}, Row{'P', 24, "Währung", "3", "A", "K", ""},
        Row{'R', 7, "Reserve", "57", "A", "M", " "}, Row{'T', 5, "Zeilennummer", "3", "N", "M", ""},
        Row{'Z', 5, "Rohstoffart", "2", "N", "M", "01/02/03/04/05/06/07/90/91/92/93"},
        Row{'Z', 7, "Rohstoffbasis Währ./100kg", "5", "N", "M", ""},
        Row{'Z', 10, "Sprunggröße", "5", "N", "K", ""}, Row{'Z', 13, "Rohstoffart", "2", "N", "K", ""},
        Row{'Z', 33, "Zuschlag/Gutschrift", "2.2", "N", "K", ""},
        Row{'Z', 36, "Kennziffer Gutschr.", "1", "N", "K", "0/1/2"},
        Row{'Z', 37, "Reserve", "6", "A", "M", " "}));

} // namespace
