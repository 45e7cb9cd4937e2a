// The findings list filled from field tables: rows kept per record type must always show
// exactly the table just shown, whatever came before, and a run of mixed types must not
// allocate once every type has been seen.
#include "app/Controls.h"
#include "app/FieldList.h"
#include "rules/FieldTable.h"
#include "tests/support/CountingAllocator.h"
#include "tests/support/FakePruefView.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace arti;

namespace {

constexpr std::array<FieldDef, 3> kA{{
    {"Satzartkennzeichen", "1", "A", "M", "A", "F"},
    {"Artikelnummer", "15", "A", "M", "", "F"},
    {"Rabattsatz", "2.2", "N", "K", "", "T"},
}};
constexpr std::array<FieldDef, 2> kB{{
    {"Satzartkennzeichen", "1", "A", "M", "B", "F"},
    {"Mengeneinheit", "2", "N", "K", "01/11/12", "F"},
}};

// What the list must hold for the table: its seven columns, row by row.
std::vector<ListRow> expected(const FieldTable& t) {
    std::vector<ListRow> rows;
    for (std::size_t r = 0; r < t.size(); ++r) rows.push_back(t.rowTexts(r));
    return rows;
}

class FieldListTest : public ::testing::Test {
protected:
    FieldListTest() { controls.attach(&view); }

    void show(const FieldTable& t) {
        list.show(controls, t);
        ASSERT_EQ(controls.listRows(), expected(t));
        ASSERT_EQ(view.shownRows, expected(t)); // the face receives every record's rows
    }

    test::FakePruefView view;
    ControlMirror controls;
    FieldListRows list;
    FieldTable a, b;
};

TEST_F(FieldListTest, AlternatingTypesShowTheirOwnColumns) {
    a.fillFixed(kA, "AART-1          1250");
    b.fillFixed(kB, "B01");
    show(a);
    show(b);
    a.fillFixed(kA, "AART-2          0000");
    show(a);
    b.fillFixed(kB, "B1"); // cut short: the unit is empty
    show(b);
    show(b);
}

TEST_F(FieldListTest, RowsSetOrClearedOtherwiseAreReplacedCompletely) {
    a.fillFixed(kA, "AART-1          1250");
    show(a);
    controls.setListRows({{"x", "y", "z", "1", "2", "3", "4"}, {"q"}, {"r"}});
    show(a);
    controls.clearList();
    EXPECT_TRUE(controls.listRows().empty());
    show(a);
    // Rows written in place for another purpose count as foreign as well.
    controls.editListRows(nullptr)[0][1] = "fremd";
    controls.listRowsEdited();
    show(a);
}

TEST_F(FieldListTest, PositionsFollowFieldsOfChangingLength) {
    const std::vector<std::string_view> first{"A", "ART-1", "12"};
    const std::vector<std::string_view> second{"A", "ARTIKEL-1234", ""};
    a.fillSplit(kA, first);
    show(a);
    a.fillSplit(kA, second);
    show(a);
    a.fillSplit(kA, std::vector<std::string_view>{"A"}); // missing fields: no position
    show(a);
}

TEST(FieldListAllocations, NoneOnceEveryTypeHasBeenShown) {
    ControlMirror controls; // without a face, as the command-line check runs
    FieldListRows list;
    FieldTable a, b;
    const auto run = [&] {
        for (int i = 0; i < 50; ++i) {
            a.fillFixed(kA, i % 2 ? "AART-1          1250" : "AARTIKEL-9999   0001");
            list.show(controls, a);
            b.fillFixed(kB, "B01");
            list.show(controls, b);
        }
    };
    run();
    const long before = test::allocations();
    run();
    EXPECT_EQ(test::allocations() - before, 0);
    EXPECT_EQ(controls.listRows(), expected(b));
}

} // namespace
