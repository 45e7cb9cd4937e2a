// The parts of the check engine on their own: the order tracker over announcements and
// record sequences, the composite tracker over A, B and Z records.
#include "core/Text.h"
#include "run/CheckRun.h"
#include "run/CompositeTracker.h"
#include "run/OrderTracker.h"
#include "run/RunFindings.h"
#include "tests/support/FakeCheckContext.h"
#include "tests/support/ScriptedRunQuestions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace arti;

namespace {

// Records what the parts report: findings as "log: ..." and refusals as "refused: ...".
class RecordingFindings final : public IRunFindings {
public:
    void ERRORLOG(MessageKind, const std::string& text, std::uint32_t) override {
        lines.push_back("log: " + ansiToUtf8(text));
    }
    void refuseCheck(RuleAbortKind kind, MessageKind, const std::string& text) override {
        EXPECT_EQ(kind, RuleAbortKind::OrderNotAdmitted);
        lines.push_back("refused: " + ansiToUtf8(text));
    }
    Owner owner() const override { return nullptr; }
    IRunQuestions& questions() override { return answers; }

    std::vector<std::string> lines;
    test::ScriptedRunQuestions answers;
};

TEST(OrderTracker, DecidesThePatternOrRefusesTheAnnouncement) {
    struct Case {
        Version version;
        const char* announcement;
        const char* status;
        unsigned long counter;
        const char* decided;    // "pattern|alternative", "-" for a refusal
        const char* correction; // the announcement to show from now on
        std::size_t reports;
    };
    const Case cases[] = {
        {Version::V0196, "ABDTZ", "1", 3, "T/ABZD|T/ABDZ", "", 0},
        {Version::V0196, "A", "1", 3, "-", "", 1},
        {Version::V0196, "A", "9", 3, "A", "", 0},
        {Version::V0590, "XY", "1", 2, "?", "", 0}, // nothing is decided before the third record
        {Version::V0590, "AB", "1", 3, "-", "", 1},
        {Version::V2000, "HIP", "N", 1, "IHP", "IHP", 1},
        {Version::V2000, " IHPTKZ ", "N", 1, "IHPTKZ", "IHPTKZ", 0},
        {Version::V2000, "IHX", "N", 1, "-", "", 1},
    };
    for (const Case& c : cases) {
        RecordingFindings findings;
        OrderTracker order(findings);
        order.setPattern("?", "!");
        std::string correction = "stale";
        const bool admitted = order.SATZFOLGE(c.version, c.announcement, c.counter, c.status, correction);
        const std::string decided = !admitted ? "-"
                                    : order.alternative().empty()
                                        ? order.pattern()
                                        : order.pattern() + "|" + order.alternative();
        EXPECT_EQ(decided, c.decided) << c.announcement;
        EXPECT_EQ(correction, c.correction) << c.announcement;
        EXPECT_EQ(findings.lines.size(), c.reports) << c.announcement;
    }
}

TEST(OrderTracker, FollowsTheRecordsOfEachArticle) {
    struct Case {
        Version version;
        const char* pattern;
        const char* alternative;
        const char* records;
        const char* broken;  // the records that broke the order
        const char* article; // the article's types after the last record
    };
    const Case cases[] = {
        {Version::V0196, "ABDZ", "ABZD", "VKABDDZABZD", "", "ABZD"},
        {Version::V0196, "ABD", "", "ABDAD", "D", "AD"},
        {Version::V0196, "ABD", "", "B", "B", "B"},
        {Version::V0196, "T/ABD", "", "VKTTABDT", "T", "ABDT"},
        {Version::V2000, "IT", "", "T", "T", "T"},
        {Version::V2000, "IHPTKZ", "", "IZK", "ZK", "IZK"},
        {Version::V2000, "IHPT", "", "IHKPTK", "", "IHPT"},
    };
    for (const Case& c : cases) {
        RecordingFindings findings;
        OrderTracker order(findings);
        order.setPattern(c.pattern, c.alternative);
        std::string broken;
        for (const char t : std::string(c.records))
            if (!order.SATZFOLGELFD(c.version, std::string(1, t) + "1")) broken += t;
        EXPECT_EQ(broken, c.broken) << c.pattern << " " << c.records;
        EXPECT_EQ(order.article(), c.article) << c.pattern << " " << c.records;
        EXPECT_TRUE(findings.lines.empty()) << "the running order reports through the engine";
        order.reset();
        EXPECT_TRUE(order.pattern().empty() && order.alternative().empty() && order.article().empty());
    }
}

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
