// Checking clean 05/90 records touches the heap only for the first record: cutting,
// the field checks, the date window and the record rules of A, B and Z records reuse
// what the first record left.
#include "rules/VersionRules.h"

#include "tests/support/CountingAllocator.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

using namespace arti;

namespace {

// Findings are counted, not kept: keeping them would allocate.
struct Quiet : test::FakeCheckContext {
    Quiet() {
        keep = false;
        number = "4";
    }
};

TEST(HotPath0590, CleanRecordsDoNotAllocate) {
    const auto pad = [](std::string s, std::size_t w) {
        s.resize(w, ' ');
        return s;
    };
    const std::string records[] = {
        pad("A14006381333931 Me-955804      100000001      Drehdimmer", 128) + "\r\n",
        pad("B11100000001      Hersteller     42500020001000001000150N011100105566EUR01122026    "
            "P01R083000013500"
            "2010031002ZMatchcode",
            128) +
            "\r\n",
        std::string("Z11100000001      ") + "01" + "0000121" + "00150" + "1" + "0000" + "00000" + "1" + "1" +
            std::string(78, '\xB7') + "      \r\n",
    };
    for (const std::string& r : records)
        ASSERT_EQ(r.size(), 130u) << r;

    Quiet ctx;
    FieldTable table;
    const IVersionRules& rules = versionRules(Version::V0590);
    const auto check = [&](const std::string& r) {
        const RecordInput input{.text = r, .filler = '\xB7'};
        const FieldTable::FillCount fill = rules.fillTable(table, input);
        rules.checkRecordType(ctx, table, fill, input);
        rules.checkFields(ctx, table, input);
        rules.recordRules(ctx, table, fill, input);
    };
    for (const std::string& r : records)
        check(r);
    ASSERT_EQ(ctx.count, 0);

    const long before = test::allocations();
    for (int n = 0; n < 1000; ++n) {
        for (const std::string& r : records)
            check(r);
    }
    EXPECT_EQ(test::allocations() - before, 0);
    EXPECT_EQ(ctx.count, 0);
}

} // namespace
