// The findings a file is counted with: those of the file choice and the last run, up to
// its closing line, whatever was stepped or run before; and their groups, for record
// types of any length.
#include "tests/support/EngineCheck.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>

using namespace arti;
using namespace arti::test;

namespace {

// Count per group, in the groups' order.
std::vector<std::pair<std::string, std::uint64_t>> shape(const FindingGroups& groups) {
    std::vector<std::pair<std::string, std::uint64_t>> out;
    for (const FindingGroup& g : groups.sorted())
        out.emplace_back(std::string(messageKindName(g.kind)) + " " + g.recordType + " " +
                             std::to_string(g.field),
                         g.count);
    return out;
}

} // namespace

// A second run, after steps by hand and back to the start, counts what the first did;
// so does a run that starts in the middle of the file, with its own findings only.
TEST(FileFindings, EveryRunCountsTheChoiceAndItselfOnce) {
    EngineCheck e;
    const std::string path = e.dir.folder() + "DATEI.001";
    gen::FileRecipe want;
    want.records = 300;
    want.fault = gen::Fault::BadCheckDigit;
    gen::Report report;
    std::string error;
    ASSERT_TRUE(gen::generateFile(want, path, report, error)) << error;
    e.run.parameters.dateWindow.lower =
        Date{std::chrono::year{2025}, std::chrono::month{1}, std::chrono::day{1}};
    e.run.findings.keepList(true);
    e.check(path);
    const FileFindings& f = e.run.findings;
    const std::uint64_t count = f.count();
    const std::uint64_t errors = f.errors();
    const auto groups = shape(f.groups());
    ASSERT_GT(errors, 10u);
    EXPECT_EQ(f.entries().size(), count);
    EXPECT_EQ(f.groups().at(f.entries().back().group).kind, MessageKind::RunEnded)
        << "the header read again after it";

    e.engine.toStart();
    for (int i = 0; i < 5; ++i)
        e.engine.LIESSATZ();
    e.engine.toStart();
    e.check(path, false);
    EXPECT_EQ(f.count(), count);
    EXPECT_EQ(f.errors(), errors);
    EXPECT_EQ(shape(f.groups()), groups);
    EXPECT_EQ(f.entries().size(), count);
    EXPECT_EQ(e.run.shownErrors, static_cast<unsigned long>(errors)) << "\"erkannte Fehler\" counts the same";

    e.engine.showRecordAt(130 * 200);
    e.check(path, false);
    EXPECT_LT(f.count(), count);
    EXPECT_GT(f.count(), 3u);
}

// A record type of any length is a group of its own.
TEST(FileFindings, RecordTypesOfAnyLengthGroupApart) {
    FileFindings f;
    f.fileChosen();
    for (const char* type : {"B", "BB", "BBB", "B", "", "BBB", "BBBB"})
        f.finding(Finding{{}, 0, 0, "x", MessageKind::MandatoryEmpty, type, 7, true});
    const std::vector<FindingGroup> g = f.groups().sorted();
    ASSERT_EQ(g.size(), 5u);
    EXPECT_EQ(g[0].recordType, "B");
    EXPECT_EQ(g[0].count, 2u);
    EXPECT_EQ(g[1].recordType, "BBB");
    EXPECT_EQ(g[1].count, 2u);
    EXPECT_EQ(f.count(), 7u);
}
