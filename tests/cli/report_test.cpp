// The checker's JSON report as a script reads it: each line parsed back and held against
// the German summary of the same run, the exit code and the lines of "Error.log".
#include "cli/FileCheck.h"
#include "cli/Summary.h"
#include "core/Text.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/TempDir.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <sys/wait.h>

using namespace arti;
using Json = nlohmann::json;
namespace fs = std::filesystem;

namespace {

struct Result {
    int code = -1;
    std::string out;
    std::string err;
};

class Report : public ::testing::Test {
protected:
    Result check(const std::string& args) {
        const std::string cmd = "cd '" + dir_.folder() + "' && ARTISCOPE_REGISTRY_DIR='" +
                                registry_.folder() + "' " + ARTI_CHECK_EXE +
                                " --datum-von 01.01.2000 --datum-bis 31.12.2099 " + args +
                                " > out.txt 2> err.txt";
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readBytes(dir_.folder() + "out.txt"),
                test::readBytes(dir_.folder() + "err.txt")};
    }
    void generated(const std::string& name, gen::Version v, gen::Fault f) {
        gen::FileRecipe s;
        s.version = v;
        s.records = 200;
        s.fault = f;
        gen::Report r;
        std::string error;
        ASSERT_TRUE(gen::generateFile(s, dir_.folder() + name, r, error)) << error;
    }
    test::TempDir dir_;
    test::TempDir registry_;
};

std::vector<Json> jsonLines(const std::string& text) {
    std::vector<Json> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(Json::parse(line)); // throws, and fails the test, on anything but JSON
    return out;
}

// The rows of a file's summary block: "  Label   value" by label.
std::map<std::string, std::string> summaryRows(const std::string& out) {
    std::map<std::string, std::string> rows;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("  ", 0) != 0) continue;
        const std::size_t gap = line.find("  ", 2);
        const std::size_t value = line.find_first_not_of(' ', gap);
        if (gap != std::string::npos && value != std::string::npos)
            rows[line.substr(2, gap - 2)] = line.substr(value);
    }
    return rows;
}

// The finding lines of "Error.log" (Windows-1252), in UTF-8.
std::vector<std::string> logFindings(const std::string& path) {
    std::vector<std::string> out;
    std::istringstream in(ansiToUtf8(test::readBytes(path)));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("Z ", 0) == 0) out.push_back(line);
    }
    return out;
}

std::string asLogLine(const Json& f) {
    const std::string record = f["record"].is_null() ? "" : std::to_string(f["record"].get<unsigned long>());
    return "Z " + record + " Datei-Offset " + std::to_string(f["offset"].get<long long>()) +
           ", Satz-Offset " + std::to_string(f["position"].get<long long>()) + ", " +
           f["text"].get<std::string>();
}

bool validUtf8(const std::string& s) {
    try {
        (void)Json(s).dump(); // the strict dump refuses anything but UTF-8
        return true;
    } catch (const Json::type_error&) {
        return false;
    }
}

} // namespace

TEST_F(Report, EachFileAgreesWithItsSummaryAndItsLog) {
    struct Case {
        const char* file; // generated, or with `version` none a copy of the DATANORM sample
        std::optional<gen::Version> version;
        gen::Fault fault;
        const char* outcome;
        int code;
        const char* cause; // nullptr: none
    };
    const Case cases[] = {
        {"ARTIKEL.001", gen::Version::V0196, gen::Fault::None, "complete", 0, nullptr},
        {"FELDER.001", gen::Version::V0590, gen::Fault::FieldFaultsEverywhere, "complete", 1, nullptr},
        {"ORDER.001", gen::Version::V2000, gen::Fault::BrokenOrder, "aborted", 1, "order_broken"},
        {"LAENGE.001", gen::Version::V0196, gen::Fault::WrongLength, "aborted", 1, "record_length"},
        {"KOPF.001", gen::Version::V0196, gen::Fault::UnreadableHeader, "not_recognised", 2,
         "header_unreadable"},
        {"muhkuh__example_DATANORM.001", std::nullopt, gen::Fault::None, "not_recognised", 2,
         "version_not_supported"},
        {"Preise für Köln 2024.001", gen::Version::V2000, gen::Fault::None, "complete", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (c.version)
            generated(c.file, *c.version, c.fault);
        else
            fs::copy_file(fs::path(ARTI_TEST_DATA) / "datanorm" / c.file, dir_.path() / c.file);
        const Result r = check(std::string("--bericht bericht.jsonl --bericht-meldungen '") + c.file + "'");
        EXPECT_EQ(r.code, c.code) << r.out << r.err;
        EXPECT_TRUE(validUtf8(r.out)) << r.out;
        const std::vector<Json> lines = jsonLines(test::readBytes(dir_.folder() + "bericht.jsonl"));
        ASSERT_FALSE(lines.empty());
        const Json& file = lines.back();
        const std::map<std::string, std::string> rows = summaryRows(r.out);
        EXPECT_EQ(file["type"], "file");
        EXPECT_EQ(file["file"], c.file);
        EXPECT_EQ(file["outcome"], c.outcome);
        if (c.cause) {
            EXPECT_EQ(file["cause"], c.cause);
            EXPECT_NE(std::find_if(cli::causeNames().begin(), cli::causeNames().end(),
                                   [&](const char* n) { return file["cause"] == n; }),
                      cli::causeNames().end());
        } else {
            EXPECT_TRUE(file["cause"].is_null()) << file["cause"];
        }
        EXPECT_EQ(file["exit_code"], r.code);
        EXPECT_EQ(file["version"], rows.at("Version"));
        EXPECT_EQ(cli::germanCount(file["records"].get<std::uint64_t>()), rows.at("Sätze gelesen"));
        EXPECT_EQ(cli::germanCount(file["findings"].get<std::uint64_t>()), rows.at("Meldungen"));
        EXPECT_EQ(cli::germanCount(file["errors"].get<std::uint64_t>()), rows.at("davon Fehler"));
        EXPECT_EQ(file["result"], rows.at("Ergebnis"));
        EXPECT_EQ(file["log"], rows.at("Protokoll"));
        EXPECT_EQ(file["log"], dir_.folder() + "Error.log");

        std::vector<std::string> findings;
        std::uint64_t errors = 0;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            EXPECT_EQ(lines[i]["type"], "finding");
            EXPECT_EQ(lines[i]["file"], c.file);
            findings.push_back(asLogLine(lines[i]));
            errors += lines[i]["error"].get<bool>() ? 1 : 0;
        }
        EXPECT_EQ(findings.size(), file["findings"].get<std::uint64_t>());
        EXPECT_EQ(errors, file["errors"].get<std::uint64_t>());
        EXPECT_EQ(findings, logFindings(dir_.folder() + "Error.log"));
    }
}

TEST_F(Report, OnTheStandardOutputOddNamesAndMissingFiles) {
    generated("A.001", gen::Version::V0196, gen::Fault::None);
    generated("\xE4rger.001", gen::Version::V0196, gen::Fault::None); // Latin-1, no UTF-8
    const Result r = check("--bericht - A.001 \"$(printf '\\344rger.001')\" fehlt.001");
    EXPECT_EQ(r.code, 2) << r.out << r.err;
    const std::vector<Json> lines = jsonLines(r.out); // no summary between the lines
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0]["outcome"], "complete");
    EXPECT_EQ(lines[1]["file"], "\xEF\xBF\xBDrger.001");
    EXPECT_NE(lines[1]["exit_code"], 0);
    EXPECT_EQ(lines[2]["outcome"], "missing");
    EXPECT_EQ(lines[2]["exit_code"], 2);
    EXPECT_EQ(lines[2]["log"], "");
    EXPECT_TRUE(validUtf8(check("-q \"$(printf '\\344rger.001')\"").out));
}

TEST(TerminalText, BytesThatAreNoUtf8AreReplaced) {
    const std::string r = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"Köln €5 \xF0\x9F\x98\x80", "Köln €5 \xF0\x9F\x98\x80"}, // 2, 3 and 4 bytes kept
        {"\xE4rger", r + "rger"},                                 // Latin-1
        {"\xC3", r},                                              // cut short
        {"\xC0\xAF", r + r},                                      // overlong
        {"\xED\xA0\x80", r + r + r},                              // surrogate
        {"\xF4\x90\x80\x80", r + r + r + r},                      // above U+10FFFF
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(cli::validUtf8(in), out) << in;
        EXPECT_TRUE(validUtf8(cli::validUtf8(in)));
    }
}

TEST_F(Report, NoReportOverwritesACheckedFileNorALogItsLines) {
    generated("A.001", gen::Version::V0196, gen::Fault::None);
    const std::string before = test::readBytes(dir_.folder() + "A.001");
    const Result r = check("--bericht ./A.001 A.001");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("der Bericht ./A.001 wäre die zu prüfende Datei A.001"), std::string::npos) << r.err;
    EXPECT_EQ(test::readBytes(dir_.folder() + "A.001"), before);
    const Result log = check("--bericht Error.log A.001");
    EXPECT_EQ(log.code, 2);
    const std::vector<Json> lines = jsonLines(test::readBytes(dir_.folder() + "Error.log"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]["outcome"], "not_recognised");
    EXPECT_NE(lines[0]["reason"].get<std::string>().find("wäre der Bericht Error.log"), std::string::npos);
    EXPECT_EQ(check("--bericht-meldungen A.001").code, 2);
    EXPECT_EQ(check("--bericht kein/ordner/b.jsonl A.001").code, 2);
}
