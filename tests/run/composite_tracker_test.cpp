// The composite tracker of the check engine on its own, over A, B and Z records. (The
// order tracker's tests are in order_test.cpp.)
#include "run/CompositeTracker.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace arti;

namespace {

// An A record's numbers, then B and Z records held against them: the findings' positions.
TEST(CompositeTracker, HoldsBAndZRecordsAgainstTheLastARecord) {
    struct Step {
        Version version;
        const char* type;
        const char* articleSwitch;
        const char* number;
    };
    struct Case {
        bool withA;
        std::vector<Step> steps;
        std::size_t findings;
    };
    const Case cases[] = {
        {false, {{Version::V0196, "B", "2", "HSN-X"}}, 0}, // nothing before the first A record
        {true, {{Version::V0196, "B", "1", "4006381333931"}, {Version::V0196, "Z", "2", "HSN-1"}}, 0},
        {true, {{Version::V0196, "B", "2", "HSN-X"}, {Version::V0196, "Z", "3", "GH-X"}}, 2},
        {true, {{Version::V0590, "B", "0", "4006381333931"}, {Version::V0590, "B", "1", "HSN-1"}}, 0},
        {true, {{Version::V0590, "Z", "1", "HSN-X"}, {Version::V0590, "B", "9", "anything"}}, 1},
    };
    for (const Case& c : cases) {
        CompositeTracker composite;
        test::FakeCheckContext ctx;
        if (c.withA) collectArticleNumbers(composite.state(), "4006381333931", "HSN-1", "GH-1");
        EXPECT_EQ(composite.numbersSet(), c.withA);
        for (const Step& s : c.steps)
            composite.VERBUND(ctx, s.version, s.type, s.articleSwitch, s.number);
        EXPECT_EQ(ctx.reports.size(), c.findings);
        for (const auto& r : ctx.reports)
            EXPECT_EQ(r.position, 3);
        composite.reset();
        EXPECT_FALSE(composite.numbersSet() || composite.surchargeAnnounced());
        EXPECT_TRUE(composite.articleNumber(0).empty());
    }
}

} // namespace
