// The record order rules: the announcement of a 01/96 header, the pattern each
// announcement allows per version, and the running check of the records of an article.
#include "records/FileHandles.h"
#include "run/CheckFunctions.h"
#include "tests/support/EngineCheck.h"

#include <gmock/gmock.h>

using namespace arti;
using namespace arti::test;
using ::testing::HasSubstr;

namespace {

// The engine's order rules on their own: the engine decides the pattern at the record
// it is told of, and its order tracker follows the records of each article.
class SequenceTest : public ::testing::Test {
protected:
    SequenceTest() { e_.engine.useLog(FCREATE(e_.dir.folder() + "Error.log")); }

    // The pattern(s) decided for `announced`, or "-" for a refusal.
    std::string decide(const std::string& version, const std::string& announced, const std::string& status,
                       unsigned long counter = 3) {
        e_.engine.showVersion(versionOf(version), version);
        e_.engine.showAnnouncement(announced);
        e_.run.recordCounter = counter;
        order().setPattern("?");
        if (!e_.engine.SATZFOLGE(status)) return "-";
        return order().alternative().empty() ? order().pattern()
                                             : order().pattern() + "|" + order().alternative();
    }
    // Feeds the record types one by one; the types at which the order broke.
    std::string follow(const std::string& types) {
        std::string broken;
        for (const char t : types)
            if (!order().SATZFOLGELFD(e_.run.version, std::string(1, t) + "1")) broken += t;
        return broken;
    }
    OrderTracker& order() { return e_.engine.order(); }
    std::string log() {
        e_.engine.flushLog();
        return ansiToUtf8(readBytes(e_.dir.folder() + "Error.log"));
    }

    EngineCheck e_;
};

TEST(SequenceAnnouncement, FlagsOf0196HeaderGiveTheAnnouncedTypes) {
    EXPECT_EQ(SATZFOLGE("11010000"), "ABP");
    EXPECT_EQ(SATZFOLGE("11100010"), "ABDT");
    EXPECT_EQ(SATZFOLGE("00000000"), "");
    EXPECT_EQ(SATZFOLGE("1 91 9 0"), "AP") << "only a 1 counts";
}

TEST_F(SequenceTest, Patterns0196) {
    for (const std::string a : {"P", "S", "R", "AB", "ABD", "ABZ"})
        EXPECT_EQ(decide("0196", a, "1"), a);
    EXPECT_EQ(decide("0196", "ABDT", "1"), "T/ABD");
    EXPECT_EQ(decide("0196", "ABDZ", "1"), "ABDZ|ABZD");
    EXPECT_EQ(decide("0196", "ABDTZ", "1"), "T/ABZD|T/ABDZ");
    EXPECT_EQ(decide("0196", "DT", "1"), "T/D");
    EXPECT_EQ(decide("0196", "A", "9"), "A");
    EXPECT_EQ(decide("0196", "D", "9"), "D");
    for (const std::string a : {"A", "ABD ", "BA", "", "ABDPRSTZ"})
        EXPECT_EQ(decide("0196", a, "1"), "-") << a;
    EXPECT_EQ(order().pattern(), "?") << "a refusal keeps the pattern";
    EXPECT_THAT(log(), HasSubstr("Die Satzfolge A ist nicht zulässig ! Die Prüfung wird abgebrochen.\r\n"));
}

TEST_F(SequenceTest, Patterns2000) {
    for (const std::string a : {"R", "W", "IX", "IK", "IT", "IS", "IP", "IH", "IPZ", "IHPUTKZS"})
        EXPECT_EQ(decide("2000A", a, "N"), a);
    EXPECT_EQ(decide("2000A", "  IH ", "N"), "IH") << "blanks around are trimmed";
    EXPECT_EQ(decide("2000A", "I", "L"), "I");
    EXPECT_EQ(decide("2000A", "I", "N"), "-");
    EXPECT_EQ(decide("2000A", "KI", "N"), "-");
    EXPECT_EQ(decide("2000A", "IHQ", "N"), "-");
    EXPECT_THAT(log(), HasSubstr("Die Satzfolge KI ist nicht zulässig ! Die Prüfung wird abgebrochen."));
    EXPECT_THAT(log(),
                HasSubstr("Die Satzfolge VG>2 IHQ ist nicht zulässig ! Die Prüfung wird abgebrochen."));

    // A swapped announcement is reported, put right and used.
    EXPECT_EQ(decide("2000A", "HIPT", "N"), "IHPT");
    EXPECT_EQ(e_.run.announcement, "IHPT");
    EXPECT_THAT(
        log(),
        HasSubstr("Die Eintragsfolge in Feld4 Vorlaufsatz HIPT ist ungültig ! Erster Satz muss immer I "
                  "sein.\r\n"));
}

TEST_F(SequenceTest, Patterns0590) {
    EXPECT_EQ(decide("0590", "XYZ", "1", 2), "?") << "records 1 and 2 are never refused";
    EXPECT_EQ(decide("0590", "B", "0"), "B");
    EXPECT_EQ(decide("0590", "B", "1"), "-");
    EXPECT_EQ(decide("0590", "A", "1"), "A");
    EXPECT_EQ(decide("0590", "P", "1"), "P");
    EXPECT_EQ(decide("0590", "Z", "2"), "Z");
    EXPECT_EQ(decide("0590", "Z", "1"), "-");
    EXPECT_EQ(decide("0590", "AB", "1", 3), "-");
    EXPECT_EQ(decide("0590", "AB", "1", 4), "AB");
    EXPECT_EQ(decide("0590", "ABZ", "1", 4), "-");
    EXPECT_EQ(decide("0590", "ABZ", "1", 5), "ABZ");
}

TEST_F(SequenceTest, SteppingBackDecidesNothing) {
    e_.run.LBACK_ = true;
    EXPECT_EQ(decide("0196", "XX", "1"), "?");
    EXPECT_EQ(log(), "");
}

TEST_F(SequenceTest, RunningOrder) {
    e_.engine.showVersion(versionOf("0196"), "0196");
    order().setPattern("ABDZ", "ABZD");
    EXPECT_EQ(follow("VKABDDZABZD"), "") << "either pattern fits";
    EXPECT_EQ(order().article(), "ABZD");
    EXPECT_EQ(follow("AA"), "") << "an A after an A starts a new article";
    EXPECT_EQ(order().article(), "A");
    EXPECT_EQ(follow("VK"), "") << "header and control records are not tracked";
    EXPECT_EQ(order().article(), "A");

    order().setPattern("ABD");
    EXPECT_EQ(follow("AD"), "D");
    order().forgetArticle();
    EXPECT_EQ(follow("B"), "B") << "an article must begin with the first type";
}

// Version 2000 follows "K" as an article record only when the header announces it.
TEST_F(SequenceTest, ClassRecordsOf2000AreFollowedWhenAnnounced) {
    struct Case {
        const char* pattern;
        const char* records;
        const char* refused; // the records refused
    };
    const Case cases[] = {
        {"IHPTKZ", "VIHPTKKZIHPTKZ", ""}, {"IHPTKZ", "IZK", "ZK"}, {"IHPT", "VIHPTKIHPTKK", ""},
        {"IHPT", "IHKPTK", ""},           {"IHPT", "IHKTP", "TP"},
    };
    e_.engine.showVersion(versionOf("2000A"), "2000A");
    for (const Case& c : cases) {
        order().setPattern(c.pattern);
        order().forgetArticle();
        EXPECT_EQ(follow(c.records), c.refused) << c.pattern << " " << c.records;
    }
}

TEST_F(SequenceTest, LeadingTextRecordsOf0196) {
    e_.engine.showVersion(versionOf("0196"), "0196");
    order().setPattern("T/ABD");
    EXPECT_EQ(follow("VKTTTABDAB"), "");
    EXPECT_EQ(follow("T"), "T") << "a text record inside an article breaks the order";

    e_.engine.showVersion(versionOf("2000A"), "2000A");
    order().setPattern("IT");
    order().forgetArticle();
    EXPECT_EQ(follow("T"), "T") << "the leading text record is a 01/96 rule only";
}

} // namespace

// The running check keeps its answer from record to record; long random runs of types,
// with articles forgotten and patterns changed between them, must answer as the rule
// worked out from scratch for every record does.
TEST_F(SequenceTest, KeptAnswerAgreesWithTheRuleWorkedOutAnew) {
    struct Case {
        Version version;
        std::string pattern, alternative;
    };
    const Case cases[] = {{Version::V2000, "IHPTZK", ""},       {Version::V2000, "IH", ""},
                          {Version::V0196, "T/ABZD", "T/ABDZ"}, {Version::V0196, "ABDZ", "ABZD"},
                          {Version::V0590, "ABZ", ""},          {Version::V0590, "", ""}};
    const std::string types = "IHPTZKABDXV ";
    const auto agrees = [](const std::string& seen, const std::string& p, std::size_t start) {
        return (start < p.size() ? p.substr(start, seen.size()) : std::string()) == seen;
    };
    OrderTracker& order = this->order();
    std::uint32_t random = 12345;
    const auto next = [&random](std::uint32_t n) {
        random = random * 1664525u + 1013904223u;
        return (random >> 8) % n;
    };
    const Case* c = &cases[0];
    order.setPattern(c->pattern, c->alternative);
    std::string seen; // the reference's types of the current article
    for (int step = 0; step < 20000; ++step) {
        const std::uint32_t what = next(100);
        if (what < 2) {
            c = &cases[next(std::size(cases))];
            order.setPattern(c->pattern, c->alternative);
            continue;
        }
        if (what < 4) {
            order.forgetArticle();
            seen.clear();
            continue;
        }
        const char t = types[next(static_cast<std::uint32_t>(types.size()))];
        bool expected = true;
        const std::string& p = c->pattern;
        const bool v0196 = c->version == Version::V0196;
        const bool articleRecord = t != 'V' &&
                                   !(t == 'K' && (c->version != Version::V2000 || p.find('K') == p.npos)) &&
                                   !(v0196 && t == 'T' && p.find('T') != p.npos && seen.empty());
        if (articleRecord) {
            const std::size_t start = v0196 && p.find('/') != p.npos ? 2 : 0;
            if (start < p.size() && t == p[start]) seen.clear();
            if (seen.find(t) == seen.npos) seen += t;
            expected =
                agrees(seen, p, start) || (!c->alternative.empty() && agrees(seen, c->alternative, start));
        }
        ASSERT_EQ(order.SATZFOLGELFD(c->version, std::string(1, t)), expected)
            << "step " << step << ", pattern " << p << ", types " << seen;
    }
}
