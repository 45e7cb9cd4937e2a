// A run checks millions of records: once the table has held a record, cutting and
// checking valid 01/96 records and their composite steps must not touch the heap.
#include "rules/Table0196.h"
#include "rules/VersionRules.h"

#include "tests/support/CountingAllocator.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

using namespace arti;

namespace {

// Findings are counted, not kept: keeping them would allocate.
struct Quiet : test::FakeCheckContext {
    Quiet() {
        keep = false;
        number = "123456";
    }
    // No finding is expected: each is a failure.
    void report(MessageKind kind, std::uint32_t field, const std::string& text) override {
        FakeCheckContext::report(kind, field, text);
        ADD_FAILURE() << text;
    }
};

std::string pad(std::string s) {
    s.resize(128, ' ');
    return s;
}

TEST(HotPath0196, ValidRecordsAreCheckedWithoutAllocating) {
    // Records as the test-data generator writes them.
    const std::string records[] = {
        pad("A14000012424869 Li-548305      100000001      Steckdosenleiste           16 A                QI "
            "263/6"
            "            Lichtbau Nord"),
        // B and Z name the wholesaler's number of the A record (switch 3); B announces Z.
        pad("B 3100000001       2760585366990   E34400000020001500001001010000001100084730EUR01122026   "
            "R19000001035000000000000001Steckdosen"),
        pad(std::string("Z 3100000001      01000012100150").append(122 - 32, '0')),
        pad("D11100000001      1           001$Steckdosenleiste 11 mm$                000"),
        pad(std::string("T1 TX000000001001UV-best\xE4ndig und halogenfrei.").append(11 + 13, ' ') +
            "002Anschluss"),
    };
    FieldTable table;
    std::vector<std::string> numbers(3);
    bool set = false, announced = false;
    Quiet ctx;
    const IVersionRules& rules = versionRules(Version::V0196);
    const auto once = [&] {
        for (const std::string& r : records) {
            const RecordInput input{.text = r};
            const FieldTable::FillCount fill = rules.fillTable(table, input);
            rules.checkRecordType(ctx, table, fill, input);
            rules.compositeStep(ctx, CompositeState{numbers, set, announced}, table);
            rules.checkFields(ctx, table, input);
            rules.recordRules(ctx, table, fill, input);
        }
    };
    once();
    ASSERT_EQ(ctx.count, 0);
    const long before = test::allocations();
    for (int n = 0; n < 200; ++n)
        once();
    EXPECT_EQ(test::allocations() - before, 0);
    EXPECT_EQ(ctx.count, 0);
}

} // namespace
