// The checks of whole fixed records, which pass fields by the classes of their bytes,
// against the plain answers: the classes against a byte loop, and the field checks of a
// record against the rule chain of every row (the same table once a row is touched, which
// the plan does not answer for).
#include "rules/RecordClasses.h"
#include "rules/SharedRules.h"
#include "rules/Table0196.h"
#include "rules/Table0590.h"
#include "rules/VersionRules.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

using namespace arti;

namespace {

// Bytes at the limits of every class, the umlauts and their neighbours, the fillers.
const std::string
    kTricky("\x00\x01\x1F\x20\x21\x2F\x30\x39\x3A\x7E\x7F\x80\xB7\xC3\xC4\xD6\xDC\xDF\xE4\xF6\xFC\xFF", 22);

bool bit(const std::uint64_t (&mask)[2], std::size_t i) {
    return ((mask[i / 64] >> (i % 64)) & 1) != 0;
}

TEST(RecordClasses, BothScansAgreeWithTheByteLoopOnEveryByteAtEveryPlace) {
    std::mt19937 rng(11);
    std::vector<std::string> records;
    for (int b = 0; b < 256; ++b) // every byte value, at places of every group and word
        for (const std::size_t at : {0u, 7u, 8u, 15u, 16u, 63u, 64u, 100u, 127u}) {
            std::string r(scan::kClassBytes, 'a');
            r[at] = static_cast<char>(b);
            records.push_back(r);
        }
    for (int i = 0; i < 2000; ++i) {
        std::string r(scan::kClassBytes, ' ');
        for (char& c : r)
            c = kTricky[rng() % kTricky.size()];
        records.push_back(r);
    }
    for (const char filler : {'\0', ' ', '0', '\xB7'})
        for (const std::string& r : records) {
            for (const auto& classify : {scan::classifyRecord, scan::classifyRecordWords}) {
                const scan::RecordClasses c = classify(r.data(), filler);
                for (std::size_t i = 0; i < scan::kClassBytes; ++i) {
                    const auto b = static_cast<unsigned char>(r[i]);
                    ASSERT_EQ(bit(c.digit, i), b >= '0' && b <= '9') << i << " " << int(b);
                    ASSERT_EQ(bit(c.admitted, i), admittedCharacter(b, false)) << i << " " << int(b);
                    ASSERT_EQ(bit(c.blank, i), b == ' ') << i << " " << int(b);
                    ASSERT_EQ(bit(c.filler, i), r[i] == filler) << i << " " << int(b);
                }
            }
        }
}

// A field of a record made of one of these shapes, cut to the field's width.
std::string shape(std::mt19937& rng, const FieldDef& d, char filler) {
    const std::size_t w = d.width();
    const auto fill = [w](char c) { return std::string(w, c); };
    const auto listed = [&] {
        std::string v(d.values.substr(rng() % (d.values.size() + 1)));
        v.resize(w, ' ');
        return v;
    };
    std::string v;
    switch (rng() % 12) {
    case 0:
        v = fill(filler);
        break;
    case 1:
        v = fill(' ');
        break;
    case 2:
        v = std::to_string(rng()) + std::to_string(rng());
        break;
    case 3:
        v = "Stra\xDF"
            "e \xC4pfel";
        break;
    case 4:
        v = listed();
        break;
    case 5:
        v = rng() % 2 ? "EUR" : "USD";
        break;
    case 6:
        v = rng() % 2 ? "15012024" : "31122019";
        break;
    case 7: // a filler or blank first, other bytes behind
        v = std::string(1, rng() % 2 ? filler : ' ') + std::to_string(rng());
        break;
    default:
        for (std::size_t i = 0; i < w; ++i)
            v += kTricky[rng() % kTricky.size()];
        break;
    }
    v.resize(w, rng() % 2 ? ' ' : '0');
    // Now and then a tricky byte somewhere in it.
    if (rng() % 4 == 0) v[rng() % w] = kTricky[rng() % kTricky.size()];
    return v;
}

struct Outcome {
    std::vector<test::FakeCheckContext::Report> reports;
    std::vector<test::FakeCheckContext::About> about;
    std::vector<std::string> questions;
    long long position = 0;
    std::string currency;
};

Outcome check(Version version, const std::string& record, char filler, bool asciiOff, bool adopt,
              bool throughEveryChain) {
    const IVersionRules& rules = versionRules(version);
    const RecordInput input{.text = record, .filler = filler};
    FieldTable table;
    rules.fillTable(table, input);
    if (throughEveryChain && !table.empty()) table.setNumber(0, table.number(0));
    test::FakeCheckContext ctx;
    ctx.sw.asciiCheckOff = asciiOff;
    ctx.defaultAnswer = adopt;
    rules.checkFields(ctx, table, input);
    return {ctx.reports, ctx.about, ctx.questions("|"), ctx.position, ctx.currency_};
}

TEST(FixedPlan, ChecksOfWholeRecordsGiveWhatEveryRowsChainGives) {
    struct Case {
        Version version;
        std::string_view types;
        std::function<std::span<const FieldDef>(char)> table;
        std::string fillers;
    };
    const Case cases[] = {
        {Version::V0590, kRecordTypes0590, table0590, std::string("\xB7\0 0", 4)},
        {Version::V0196, kRecordTypes0196, table0196, std::string(" ", 1)},
    };
    std::mt19937 rng(5);
    int findings = 0;
    for (const Case& c : cases)
        for (const char type : c.types)
            for (const char filler : c.fillers)
                for (int i = 0; i < 400; ++i) {
                    const auto defs = c.table(type);
                    std::string record;
                    for (const FieldDef& d : defs)
                        record += shape(rng, d, filler);
                    record[0] = type;
                    if (i % 3 == 0) record += "\r\n";
                    if (i % 50 == 1) record.resize(rng() % record.size()); // a short record
                    const bool asciiOff = i % 2 == 1, adopt = i % 4 >= 2;
                    const Outcome planned = check(c.version, record, filler, asciiOff, adopt, false);
                    const Outcome chained = check(c.version, record, filler, asciiOff, adopt, true);
                    ASSERT_EQ(planned.reports, chained.reports) << type << " " << i;
                    ASSERT_EQ(planned.about, chained.about) << type << " " << i;
                    ASSERT_EQ(planned.questions, chained.questions) << type << " " << i;
                    ASSERT_EQ(planned.position, chained.position) << type << " " << i;
                    ASSERT_EQ(planned.currency, chained.currency) << type << " " << i;
                    findings += static_cast<int>(planned.reports.size());
                }
    // The records are made to fail as well as pass.
    EXPECT_GT(findings, 1000);
}

} // namespace
