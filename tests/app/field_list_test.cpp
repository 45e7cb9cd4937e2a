// The findings list shown from field tables: the rows read from the list must always be
// the seven columns of the table shown last, whatever came before; the face receives
// them for every record; and a run of mixed types must not allocate once every type has
// been seen.
#include "app/Controls.h"
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
    for (std::size_t r = 0; r < t.size(); ++r)
        rows.push_back(t.rowTexts(r));
    return rows;
}

class FieldListTest : public ::testing::Test {
protected:
    FieldListTest() { controls.attach(&view); }

    void show(const FieldTable& t) {
        view.shownRows.clear();
        controls.showTable(t);
        ASSERT_EQ(view.shownRows, expected(t)); // the face receives every record's rows
        ASSERT_EQ(controls.listRows(), expected(t));
    }

    test::FakePruefView view;
    ControlMirror controls;
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
    controls.editListRows()[0][1] = "fremd";
    controls.listRowsEdited();
    show(a);
}

TEST_F(FieldListTest, AShownTableIsCopiedAndItsRowsAreMadeWhenRead) {
    ControlMirror quiet; // no face: nothing reads the rows during the "run"
    a.fillFixed(kA, "AART-1          1250");
    quiet.showTable(a);
    a.fillFixed(kA, "AART-2          0000"); // the table changes for the next record
    b.fillFixed(kB, "B01");
    quiet.showTable(b);
    quiet.showTable(a);
    const FieldTable copy = [&] {
        FieldTable t;
        t.fillFixed(kA, "AART-2          0000");
        return t;
    }();
    a.fillFixed(kA, "AGANZ-ANDERS    9999"); // after showing: the list keeps its copy
    EXPECT_EQ(quiet.listRows(), expected(copy));
    // Cleared before it was read: the pending table is gone.
    quiet.showTable(b);
    quiet.clearList();
    EXPECT_TRUE(quiet.listRows().empty());
    // Written in place before it was read: the writer's rows stay.
    quiet.showTable(b);
    quiet.editListRows() = {{"eigene"}};
    EXPECT_EQ(quiet.listRows(), (std::vector<ListRow>{{"eigene"}}));
}

TEST_F(FieldListTest, PositionsFollowFieldsOfChangingLength) {
    a.fillSplit(kA, "A;ART-1;12", ";");
    show(a);
    a.fillSplit(kA, "A;ARTIKEL-1234;", ";");
    show(a);
    a.fillSplit(kA, "A", ";"); // missing fields: no position
    show(a);
}

TEST(FieldListAllocations, NoneOnceEveryTypeHasBeenShownAndRead) {
    ControlMirror controls;
    FieldTable a, b;
    const auto run = [&] {
        for (int i = 0; i < 50; ++i) {
            a.fillFixed(kA, i % 2 ? "AART-1          1250" : "AARTIKEL-9999   0001");
            controls.showTable(a);
            if (controls.listRows().size() != 3) return;
            b.fillFixed(kB, "B01");
            controls.showTable(b);
            if (controls.listRows().size() != 2) return;
        }
    };
    run();
    const long before = test::allocations();
    run();
    EXPECT_EQ(test::allocations() - before, 0);
    EXPECT_EQ(controls.listRows(), expected(b));
}

} // namespace
