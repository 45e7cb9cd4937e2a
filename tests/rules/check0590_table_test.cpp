// The 05/90 field tables: eight record types of 128 characters, their row counts, the
// mandatory and flag columns row by row, and names with umlauts in Windows-1252.
#include "core/Text.h"
#include "rules/Table0590.h"

#include <gtest/gtest.h>

#include <string>

using namespace arti;

namespace {

struct TableCase {
    char type;
    std::size_t rows;
    const char* mk;   // column 5 of every row, in order
    const char* flag; // column 9, one letter a row ("FT" of the S record's Reserve as "X")
};

std::string repeat(char c, int n) {
    return std::string(static_cast<std::size_t>(n), c);
}

const TableCase kCases[] = {
    {'V', 6, "MMMKKM", "FFFTTF"},
    {'K', 6, "MKMKKM", "FTFTTF"},
    {'A', 10, "MMKKKMKKKM", "FFTTTTTTTF"},
    {'B', 30, "MMMMKKKKKKKKKKKKMMKKKKKKKKKKKM", "FFFFTTTTTTTTTTTTTFTTTTTTTTTTTF"},
    {'P', 28, "MMMMKKKKKMMKKKKKKKMMKKKKKKKM", "FFFFFFFFTFTTTTTTTTFTTTTTTTTF"},
    {'R', 7, "MMKKKKM", "FFTTTTF"},
    {'S', 5, "MMMKM", "FFTTX"},
};

TEST(Table0590, EveryTypeHasItsRowsAndAddsUpTo128) {
    for (const TableCase& c : kCases) {
        const auto defs = table0590(c.type);
        ASSERT_EQ(defs.size(), c.rows) << c.type;
        std::size_t sum = 0;
        std::string mk, flag;
        for (const FieldDef& d : defs) {
            sum += d.width();
            mk += d.mk;
            flag += d.flag == "FT" ? std::string("X") : std::string(d.flag);
        }
        EXPECT_EQ(sum, 128u) << c.type;
        EXPECT_EQ(mk, c.mk) << c.type;
        EXPECT_EQ(flag, c.flag) << c.type;
        EXPECT_EQ(defs[0].name, "Satzartkennzeichen");
        EXPECT_EQ(defs[0].values, std::string(1, c.type));
        EXPECT_EQ(defs.back().name, "Reserve") << c.type;
        EXPECT_EQ(defs.back().values, " ") << c.type;
    }
}

TEST(Table0590, ZRecordHasFourRawMaterialBlocks) {
    const auto z = table0590('Z');
    ASSERT_EQ(z.size(), 37u);
    std::size_t sum = 0;
    std::string mk, flag;
    for (const FieldDef& d : z) {
        sum += d.width();
        mk += d.mk;
        flag += d.flag;
    }
    EXPECT_EQ(sum, 128u);
    EXPECT_EQ(mk, "MMMMM" + repeat('K', 31) + "M");
    EXPECT_EQ(flag, "FFFF" + repeat('T', 32) + "F");
    for (std::size_t x = 4; x <= 28; x += 8) {
        EXPECT_EQ(z[x].name, "Rohstoffart");
        EXPECT_EQ(z[x].values, "01/02/03/04/05/06/99");
        EXPECT_EQ(z[x + 4].length, "2.2");
        EXPECT_EQ(z[x + 4].width(), 4u);
        // The code fields of the first block carry no list, those of the others "1/2".
        const char* codes = x == 4 ? "" : "1/2";
        EXPECT_EQ(z[x + 3].values, codes) << x;
        EXPECT_EQ(z[x + 6].values, codes) << x;
        EXPECT_EQ(z[x + 7].values, codes) << x;
    }
}

TEST(Table0590, RecordCutWidths) {
    const std::pair<char, std::vector<std::size_t>> cases[] = {
        {'R', {1, 4, 1, 4, 30, 30, 58}},
        {'S', {1, 4, 30, 30, 63}},
        {'V', {1, 8, 30, 30, 30, 29}},
        {'K', {1, 13, 30, 13, 30, 41}},
        {'A', {1, 1, 14, 15, 15, 27, 20, 20, 8, 7}},
    };
    for (const auto& [type, widths] : cases) {
        std::vector<std::size_t> got;
        for (const FieldDef& d : table0590(type))
            got.push_back(d.width());
        EXPECT_EQ(got, widths) << type;
    }
}

TEST(Table0590, TypesWithoutATableAreEmpty) {
    for (const char t : {'D', 'T', 'X', 'H', 'v', ' ', '\0'})
        EXPECT_TRUE(table0590(t).empty()) << static_cast<int>(t);
    for (const char t : kRecordTypes0590)
        EXPECT_FALSE(table0590(t).empty()) << t;
}

TEST(Table0590, NamesWithUmlautsAreWindows1252) {
    const struct {
        char type;
        std::size_t row;
        const char* utf8;
    } cases[] = {
        {'K', 3, "GLN Datenempfänger"}, {'K', 4, "Name Datenempfänger"},
        {'A', 4, "Großhändler-Nr."},    {'B', 14, "Preis, kleinste Währ.Einh."},
        {'B', 15, "Währung"},           {'B', 16, "Datum, gültig ab"},
        {'P', 25, "Währung"},           {'Z', 6, "Rohstoffbasis Währ./100kg"},
        {'Z', 9, "Sprunggröße"},        {'Z', 33, "Sprunggröße"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(table0590(c.type)[c.row].name, utf8ToAnsi(c.utf8)) << c.utf8;
}

TEST(Table0590, ListsAndTypesOfTheCodedFields) {
    const auto b = table0590('B');
    EXPECT_EQ(b[1].values, "0/1/2/3/9");
    EXPECT_EQ(b[10].values, "U/R/N");
    EXPECT_EQ(b[10].type, "A");
    EXPECT_EQ(b[20].length, "2.2");
    EXPECT_EQ(b[27].name, "Kennung Rohstoff");
    EXPECT_EQ(b[27].values, "0/Z");
    const auto p = table0590('P');
    EXPECT_EQ(p[1].values, "0/2/3/9");
    EXPECT_EQ(p[13].values, ""); // the second block's price codes carry no list
    EXPECT_EQ(p[22].values, "1/2/3");
    EXPECT_EQ(table0590('R')[2].values, "1/2");
}

} // namespace
