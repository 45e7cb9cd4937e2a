// The generator's field faults against the checker: each single field fault is reported
// by exactly one finding, an error on the record the generator names, at the start of the
// field it changed; a file with field faults everywhere is checked to its end with one
// finding per spoiled field and at least two on every record behind the header.
#include "cli/FileCheck.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/TempDir.h"
#include "tests/tools/FieldPlaces.h"
#include "tools/gen/FieldFaults.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

using namespace arti;
using namespace arti::gen;
namespace fs = std::filesystem;

namespace {

using arti::gen::Version; // the generator's, not the checker's

struct LogFinding {
    std::uint64_t record = 0;
    std::uint64_t offset = 0;
    std::uint64_t position = 0;
    std::string text;
};

// The findings of a run: the log lines with a record number, but the run's end line.
std::vector<LogFinding> findingsOf(const std::string& log) {
    static const std::regex line(R"(^Z (\d+) Datei-Offset (\d+), Satz-Offset (\d+), (.*)$)");
    std::vector<LogFinding> out;
    for (const std::string& l : splitLines(log, "\r\n")) {
        std::smatch m;
        if (!std::regex_match(l, m, line) || l.find("Datei-Ende") != std::string::npos) continue;
        out.push_back({std::stoull(m[1]), std::stoull(m[2]), std::stoull(m[3]), m[4]});
    }
    return out;
}

// The running number of the changed field, from the generator's note "field N of ...".
std::size_t noteField(const std::string& note) {
    std::smatch m;
    static const std::regex field(R"(^field (\d+) of )");
    return std::regex_search(note, m, field) ? std::stoul(m[1]) : 0;
}

// Where a field of a version 2000 line starts: one separator behind each field before.
std::uint64_t start2000(const std::string& line, std::size_t field) {
    const std::vector<std::string> fields = splitLines(line, ";");
    std::uint64_t position = 1;
    for (std::size_t i = 0; i + 1 < field && i < fields.size(); ++i)
        position += fields[i].size() + 1;
    return position;
}

class FieldFaultFindings : public test::ServicesFixture {
protected:
    void SetUp() override {
        box_.onUnexpected = nullptr; // the checker answers its own boxes
        appState().programFolder = dir_.folder();
    }

    // Generates the file, checks it with the window's dates 2000 to 2099 (the header's
    // date is inside, 31.12.1999 is not) and the default answers (No to every question).
    std::string run(const FileRecipe& s, Report& r, cli::FileResult& result) {
        const std::string name = std::to_string(++files_);
        const std::string path = dir_.folder() + name + ".dat";
        std::string error;
        EXPECT_TRUE(generateFile(s, path, r, error)) << error;
        const std::string folder = dir_.folder() + "log" + name;
        fs::create_directories(folder);
        cli::CheckParameters p;
        p.dateFrom = Date{std::chrono::year{2000}, std::chrono::month{1}, std::chrono::day{1}};
        p.dateTo = Date{std::chrono::year{2099}, std::chrono::month{12}, std::chrono::day{31}};
        result = cli::checkFile(path, folder, p, cli::RunEnvironment{});
        return test::readBytes(result.logPath);
    }

    static FileRecipe fileRecipe(Version v, Fault f, const std::string& types, std::uint64_t records) {
        FileRecipe s;
        s.version = v;
        s.fault = f;
        s.types = types;
        s.records = records;
        s.seed = 5;
        return s;
    }

    test::TempDir dir_;
    test::RegistrySandbox registry_;
    int files_ = 0;
};

const std::vector<std::pair<Version, std::vector<std::string>>> kKinds = {
    {Version::V0590, {"", "AB", "P", "R", "S"}},
    {Version::V0196, {"", "AB", "DT", "P", "R", "S"}},
    {Version::V2000, {"", "IHPUTKZS", "IX", "IT", "R", "W"}},
};

} // namespace

TEST_F(FieldFaultFindings, EachSingleFaultIsOneFindingOnItsRecordAndField) {
    int checked = 0;
    for (const auto& [v, kinds] : kKinds) {
        for (const std::string& types : kinds) {
            for (Fault f : allFaults()) {
                const FileRecipe s = fileRecipe(v, f, types, 90);
                if (!isFieldFault(f) || f == Fault::FieldFaultsEverywhere || !checkFileRecipe(s).empty())
                    continue;
                SCOPED_TRACE(std::string(versionName(v)) + " " + types + " " + std::string(faultName(f)));
                Report r;
                cli::FileResult result;
                ++checked;
                const std::vector<LogFinding> found = findingsOf(run(s, r, result));
                EXPECT_EQ(result.outcome, cli::Outcome::Complete) << result.reason;
                ASSERT_EQ(found.size(), 1u) << r.faultNote;
                const LogFinding& one = found[0];
                EXPECT_EQ(one.record, r.faultRecord);
                EXPECT_EQ(one.offset, r.faultOffset);
                EXPECT_NE(one.text.find("Fehler"), std::string::npos) << "counts as an error: " << one.text;
                const std::string nr = std::to_string(noteField(r.faultNote));
                EXPECT_TRUE(std::regex_search(one.text, std::regex("Feld(ern)? " + nr + "[^0-9]")))
                    << "names field " << nr << ": " << one.text;
                if (types.empty()) {
                    const FieldPlace& place = fieldPlace(v, f);
                    const std::string line = generateBytes(s).substr(r.faultOffset, 300);
                    const std::uint64_t start =
                        place.start > 0 ? place.start
                                        : start2000(line.substr(0, line.find("\r\n")), place.field);
                    EXPECT_EQ(one.position, start) << one.text;
                }
            }
        }
    }
    EXPECT_GE(checked, 90) << "every fault in several kinds of file";
}

TEST_F(FieldFaultFindings, EverywhereGivesEveryRecordSeveralFindingsToTheEnd) {
    for (const auto& [v, kinds] : kKinds) {
        for (const std::string& types : kinds) {
            SCOPED_TRACE(std::string(versionName(v)) + " " + types);
            Report r;
            cli::FileResult result;
            const std::vector<LogFinding> found =
                findingsOf(run(fileRecipe(v, Fault::FieldFaultsEverywhere, types, 120), r, result));
            EXPECT_EQ(result.outcome, cli::Outcome::Complete) << result.reason;
            EXPECT_EQ(found.size(), r.faultyFields);
            std::map<std::uint64_t, int> perRecord;
            for (const LogFinding& x : found)
                ++perRecord[x.record];
            for (std::uint64_t rec = 2; rec <= r.records; ++rec)
                EXPECT_GE(perRecord[rec], 2) << "record " << rec;
            EXPECT_EQ(perRecord.count(1), 0u) << "the header stays sound";
        }
    }
}
