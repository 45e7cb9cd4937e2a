// Checking version 2000 records with list display on must not touch the heap per field
// once the table has held a record of the same size: the run's speed depends on it.
#include "rules/VersionRules.h"

#include "tests/support/CountingAllocator.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

using namespace arti;

namespace {

// Findings are counted, not kept: keeping them would allocate.
struct Quiet : test::FakeCheckContext {
    Quiet() {
        keep = false;
        number = "1";
    }
};

TEST(Check2000Allocations, NonePerRecordOnceTheTableHasGrown) {
    const std::vector<std::string> records{
        "V;2000A;20261201;IHPTZK;Info;Muster GmbH;4001234000008;;;;;;W;;",
        "I;S;4000012424869;Me-955804;100000001",
        "H;Drehdimmer;Unterputz;HU 638/6;Me\xDF technik "
        "Ost;Me\xDFt;10;01;20261231;1;12;01;150;R083;R083;P01;E425;01",
        "P;1;105566;EUR;20261201;1;12,5",
        "T;1;Farbe \xE4hnlich RAL 9010.;0",
        "Z;01;W;B;;;150;00000121;",
        "U;000;DE;01;85365080;0",
        "X;96385074;;",
    };
    Quiet ctx;
    FieldTable table;
    const IVersionRules& rules = versionRules(Version::V2000);
    // The record step of the main window with list display on.
    const auto pass = [&] {
        for (const std::string& r : records) {
            const RecordInput input{.text = r, .separator = ";", .shownPosition = "1,234", .display = &ctx};
            const FieldTable::FillCount fill = rules.fillTable(table, input);
            if (!rules.checkRecordType(ctx, table, fill, input)) continue;
            ctx.showFields(table);
            rules.checkFields(ctx, table, input);
            rules.recordRules(ctx, table, fill, input);
        }
    };
    pass();
    ASSERT_EQ(ctx.count, 0);
    const long before = test::allocations();
    for (int i = 0; i < 100; ++i)
        pass();
    EXPECT_EQ(test::allocations() - before, 0);
    EXPECT_EQ(ctx.count, 0);
    EXPECT_GT(ctx.shownRows, 0u);
}

} // namespace
