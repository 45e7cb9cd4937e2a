// The composite rules of the article records: the article-number rule of both versions,
// the collecting of the A record's numbers and the Z-record announcement.
#include "core/Text.h"
#include "rules/CheckContext.h"
#include "rules/Composite.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace arti;

namespace {

// Findings as "position: text"; the record number is 9, no position is set yet.
struct Ctx : test::FakeCheckContext {
    Ctx() {
        number = "9";
        position = 0;
    }
    std::vector<std::string> findings() const { return withPositions(": "); }
};

struct State {
    std::vector<std::string> numbers = std::vector<std::string>(3);
    bool set = false;
    bool announced = false;
    CompositeState ref() { return CompositeState{numbers, set, announced}; }
};

std::string mismatch(const char* type, const char* label, const char* number) {
    return std::string("3: Der Schalter Artikelnummer in Satzart ") + type + " (" + label + " " + number +
           ") verweist auf eine falsche Artikelnummer !";
}

struct ArticleCase {
    const char* label;
    Version version;
    const char* type;
    const char* articleSwitch;
    const char* number;
    std::vector<std::string> expected;
};

class ArticleNumberRule : public ::testing::TestWithParam<ArticleCase> {};

TEST_P(ArticleNumberRule, ComparesWithTheANumberOfTheSwitchesKind) {
    const ArticleCase& c = GetParam();
    State s;
    collectArticleNumbers(s.ref(), "4006381333931 ", "HSN-1          ", "               ");
    Ctx ctx;
    checkArticleNumber(ctx, s.ref(), c.version, c.type, c.articleSwitch, c.number);
    EXPECT_EQ(ctx.findings(), c.expected);
}

constexpr auto V96 = Version::V0196;
constexpr auto V90 = Version::V0590;

INSTANTIATE_TEST_SUITE_P(
    Cases, ArticleNumberRule,
    ::testing::Values(
        ArticleCase{"GtinWithBlanks", V96, "B", "1", "4006381333931  ", {}},
        ArticleCase{"GtinLeadingBlank", V96, "B", "1", " 4006381333931", {}},
        ArticleCase{
            "GtinOther", V96, "B", "1", "4006381333932  ", {mismatch("B", "1 GTIN", "4006381333931")}},
        ArticleCase{"ManufacturerOther", V96, "Z", "2", "HSN-2", {mismatch("Z", "2 HSN", "HSN-1")}},
        ArticleCase{"ManufacturerSame", V96, "Z", "2", "HSN-1", {}},
        ArticleCase{"WholesalerEmptyInA", V96, "B", "3", "GH-7", {mismatch("B", "3 GHN", "")}},
        ArticleCase{"BothEmpty", V96, "B", "3", "     ", {}}, ArticleCase{"NoKind96", V96, "B", "4", "x", {}},
        ArticleCase{"NoKind96Zero", V96, "B", "0", "x", {}},
        ArticleCase{"SwitchWithBlank", V96, "B", "1 ", "x", {}},
        ArticleCase{"Gtin0590", V90, "B", "0", "4006381333932", {mismatch("B", "0 GTIN", "4006381333931")}},
        ArticleCase{"Manufacturer0590", V90, "Z", "1", "HSN-9", {mismatch("Z", "1 HSN", "HSN-1")}},
        ArticleCase{"Wholesaler0590", V90, "B", "2", "G", {mismatch("B", "2 GHN", "")}},
        ArticleCase{"NoKind0590", V90, "B", "3", "x", {}},
        ArticleCase{"NoRuleIn2000", Version::V2000, "B", "0", "x", {}}),
    [](const ::testing::TestParamInfo<ArticleCase>& i) { return std::string(i.param.label); });

TEST(ArticleNumberRule, NothingBeforeTheFirstARecord) {
    State s;
    Ctx ctx;
    checkArticleNumber(ctx, s.ref(), V96, "B", "1", "4711");
    EXPECT_TRUE(ctx.findings().empty());
    // Created empty (not yet set up) is the same.
    State none;
    none.numbers.clear();
    checkArticleNumber(ctx, none.ref(), V96, "B", "1", "4711");
    EXPECT_TRUE(ctx.findings().empty());
}

TEST(ArticleNumberRule, TheNextARecordReplacesTheNumbersUnchanged) {
    State s;
    s.numbers.clear();
    collectArticleNumbers(s.ref(), "1", "2", "3");
    collectArticleNumbers(s.ref(), " 96385074     ", "", "GH 1 ");
    EXPECT_TRUE(s.set);
    EXPECT_EQ(s.numbers, (std::vector<std::string>{" 96385074     ", "", "GH 1 "}));
    Ctx ctx;
    checkArticleNumber(ctx, s.ref(), V96, "Z", "2", "x");
    EXPECT_EQ(ctx.findings(), std::vector<std::string>{mismatch("Z", "2 HSN", "")});
}

TEST(SurchargeAnnouncement, AZRecordNeedsTheBRecordsMark) {
    State s;
    Ctx ctx;
    checkSurchargeAnnounced(ctx, s.ref());
    EXPECT_EQ(ctx.findings(),
              std::vector<std::string>{"0: Die vorherige Satzart B hat kein Kennzeichen auf diesen Z-Satz!"});
    noteSurchargeAnnouncement(s.ref(), true);
    EXPECT_TRUE(s.announced);
    checkSurchargeAnnounced(ctx, s.ref());
    checkSurchargeAnnounced(ctx, s.ref()); // the Z record leaves the mark as it is
    EXPECT_EQ(ctx.findings().size(), 1u);
    noteSurchargeAnnouncement(s.ref(), false);
    checkSurchargeAnnounced(ctx, s.ref());
    EXPECT_EQ(ctx.findings().size(), 2u);
}

} // namespace
