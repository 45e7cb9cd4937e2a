// The test-data generator: valid files of each version hold to the structure the check
// run relies on (record lengths, header marks, K record, announced types in an allowed
// order, CR LF, end mark), the same seed gives the same bytes, output is streamed, and
// every fault is really there.
#include "tools/gen/Generator.h"

#include "core/Oem.h"
#include "core/Text.h"
#include "tests/support/TempDir.h"
#include "tests/tools/FieldPlaces.h"
#include "tools/gen/FieldFaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

using namespace arti;
using namespace arti::gen;

namespace {

FileRecipe want(Version v, std::uint64_t records, Fault f = Fault::None, std::string types = {}) {
    FileRecipe s;
    s.version = v;
    s.records = records;
    s.fault = f;
    s.types = std::move(types);
    s.seed = 7;
    return s;
}

// The lines of a file without their CR LF; `rest` gets what follows the last CR LF.
std::vector<std::string> crlfLines(const std::string& bytes, std::string* rest = nullptr) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", from)) {
        out.push_back(bytes.substr(from, at - from));
        from = at + 2;
    }
    if (rest) *rest = bytes.substr(from);
    return out;
}

// The record types in the order in which an article may bring them, as the order rules
// allow them for an announcement (a second allowed order after '|').
std::string ordersOf(Version v, const std::string& announcement) {
    if (v == Version::V0196) {
        if (announcement == "ABDTZ" || announcement == "ABDZ") return "ABDZ|ABZD";
        if (announcement == "ABDT") return "ABD";
        if (announcement == "DT") return "D";
        return announcement;
    }
    if (v == Version::V2000) {
        std::string a = announcement;
        a.erase(std::remove(a.begin(), a.end(), 'K'), a.end()); // K records are not followed
        return a;
    }
    return announcement;
}

// Follows the order as the check run does: a record of the order's first type starts a
// new article; the types met, each once, must be the beginning of an allowed order.
// Returns the number of the first record that breaks it, 0 when none does.
std::size_t firstOrderBreak(Version v, const std::vector<char>& types, const std::string& announcement) {
    const std::string orders = ordersOf(v, announcement);
    const std::string first = orders.substr(0, orders.find('|'));
    const std::string second =
        orders.find('|') == std::string::npos ? first : orders.substr(orders.find('|') + 1);
    std::string seen;
    for (std::size_t i = 0; i < types.size(); ++i) {
        const char t = types[i];
        if (t == 'V' || t == 'K') continue;
        if (v == Version::V0196 && t == 'T') {
            if (!seen.empty()) return i + 1; // texts only ahead of the first article
            continue;
        }
        if (t == first[0]) seen.clear();
        if (seen.find(t) == std::string::npos) seen += t;
        if (first.compare(0, seen.size(), seen) != 0 && second.compare(0, seen.size(), seen) != 0)
            return i + 1;
    }
    return 0;
}

void expectOrder(Version v, const std::vector<char>& types, const std::string& announcement) {
    EXPECT_EQ(firstOrderBreak(v, types, announcement), 0u) << "order " << ordersOf(v, announcement);
}

void expectFixedFile(Version v, const std::string& bytes, const Report& r, const std::string& types) {
    ASSERT_EQ(bytes.size(), r.records * 130 + 1);
    EXPECT_EQ(bytes.back(), '\x1A');
    std::string rest;
    const std::vector<std::string> lines = crlfLines(bytes, &rest);
    EXPECT_EQ(rest, "\x1A");
    ASSERT_EQ(lines.size(), r.records);
    std::vector<char> kinds;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 128u) << "record " << i + 1;
        EXPECT_EQ(lines[i].find('\x1A'), std::string::npos);
        kinds.push_back(lines[i][0]);
    }
    const std::string& h = lines[0];
    EXPECT_EQ(h[0], 'V');
    EXPECT_EQ(h.substr(1, 8), "15012024");
    if (v == Version::V0590) {
        EXPECT_EQ(h.substr(99, 29), std::string(29, ' '));
    } else {
        EXPECT_EQ(h.substr(124, 4), "0196");
        std::string announced;
        for (int i = 0; i < 8; ++i)
            if (h[99 + static_cast<std::size_t>(i)] == '1') announced += "ABDPRSTZ"[i];
        EXPECT_EQ(announced, types);
        for (char k : kinds)
            EXPECT_TRUE(k == 'V' || k == 'K' || announced.find(k) != std::string::npos) << k;
    }
    EXPECT_EQ(lines[1][0], 'K');
    expectOrder(v, kinds, types);
}

void expect2000File(const std::string& bytes, const Report& r, const std::string& types) {
    std::string rest;
    const std::vector<std::string> lines = crlfLines(bytes, &rest);
    EXPECT_EQ(rest, "") << "version 2000 has no end mark";
    ASSERT_EQ(lines.size(), r.records);
    const std::string& h = lines[0];
    EXPECT_EQ(h.substr(0, 8), "V;2000A;");
    EXPECT_EQ(h.substr(8, 8), "20240115");
    const std::vector<std::string> fields = splitLines(h, ";");
    ASSERT_EQ(fields.size(), 15u);
    EXPECT_EQ(fields[3], types);
    EXPECT_EQ(fields[13], "ANSI");
    std::vector<char> kinds;
    for (const std::string& l : lines) {
        ASSERT_FALSE(l.empty());
        EXPECT_LE(l.size(), 300u);
        EXPECT_EQ(l[1], ';');
        kinds.push_back(l[0]);
        if (l[0] != 'V') {
            EXPECT_NE(types.find(l[0]), std::string::npos) << l;
        }
    }
    expectOrder(Version::V2000, kinds, types);
}

} // namespace

TEST(GeneratorValid, EveryVersionAndKindHoldsToTheStructure) {
    const std::vector<std::pair<Version, std::vector<std::string>>> kinds = {
        {Version::V0590, {"ABZ", "AB", "A", "P", "R", "S"}},
        {Version::V0196, {"ABDTZ", "ABDZ", "ABDT", "ABD", "ABZ", "AB", "DT", "P", "R", "S", "A", "D"}},
        {Version::V2000, {"IHPTZK", "IHPUTKZS", "IH", "IPZ", "IX", "I", "R", "W"}},
    };
    for (const auto& [v, list] : kinds) {
        for (const std::string& types : list) {
            SCOPED_TRACE(std::string(versionName(v)) + " " + types);
            Report r;
            const std::string bytes = generateBytes(want(v, 500, Fault::None, types), &r);
            EXPECT_EQ(r.records, 500u);
            EXPECT_EQ(r.bytes, bytes.size());
            EXPECT_EQ(r.announcement, types);
            if (v == Version::V2000)
                expect2000File(bytes, r, types);
            else
                expectFixedFile(v, bytes, r, types);
        }
    }
}

TEST(GeneratorValid, DefaultsAndContent) {
    Report r;
    const std::string f0196 = generateBytes(want(Version::V0196, 1000), &r);
    EXPECT_EQ(r.announcement, "ABDTZ");
    EXPECT_GT(r.textRecords, 0u);
    // Long texts come right behind the K record and carry their key at 4 to 14.
    const auto lines = crlfLines(f0196);
    EXPECT_EQ(lines[2][0], 'T');
    EXPECT_EQ(lines[2].substr(3, 11), "TX000000001");
    // Code page 850: the umlauts of the texts are OEM bytes, never Windows-1252 ones.
    EXPECT_EQ(f0196.find('\xFC'), std::string::npos);
    EXPECT_NE(f0196.find('\x81'), std::string::npos);
    EXPECT_EQ(generateBytes(want(Version::V0590, 10), &r).size(), 1301u);
    EXPECT_EQ(r.announcement, "ABZ");
    generateBytes(want(Version::V2000, 10), &r);
    EXPECT_EQ(r.announcement, "IHPTZK");
}

TEST(GeneratorValid, GtinsCarryTheirCheckDigit) {
    EXPECT_EQ(withCheckDigit("400638133393"), "4006381333931");
    EXPECT_EQ(withCheckDigit("9638507"), "96385074");
    const auto lines = crlfLines(generateBytes(want(Version::V0196, 50, Fault::None, "AB")));
    for (const std::string& l : lines)
        if (l[0] == 'A') {
            EXPECT_EQ(withCheckDigit(l.substr(2, 12)), l.substr(2, 13));
        }
}

TEST(GeneratorValid, SameSeedSameBytesOtherSeedOtherBytes) {
    for (Version v : {Version::V0590, Version::V0196, Version::V2000}) {
        FileRecipe a = want(v, 300);
        const std::string first = generateBytes(a);
        EXPECT_EQ(generateBytes(a), first);
        a.seed = 8;
        EXPECT_NE(generateBytes(a), first);
    }
}

TEST(GeneratorValid, StreamsInBlocks) {
    std::size_t largest = 0, total = 0, calls = 0;
    Report r;
    std::string error;
    const Sink sink = [&](std::string_view b) {
        largest = std::max(largest, b.size());
        total += b.size();
        ++calls;
        return true;
    };
    ASSERT_TRUE(generate(want(Version::V0196, 100'000), sink, r, error)) << error;
    EXPECT_EQ(total, 100'000u * 130 + 1);
    EXPECT_GT(calls, 10u);
    EXPECT_LT(largest, (1u << 20) + 1024) << "the generator holds no more than a block";
}

TEST(GeneratorRecipe, RefusesWhatTheRulesWouldRefuse) {
    EXPECT_NE(checkFileRecipe(want(Version::V0196, 100, Fault::None, "ABP")), "");
    EXPECT_NE(checkFileRecipe(want(Version::V2000, 100, Fault::None, "KI")), "");
    EXPECT_NE(checkFileRecipe(want(Version::V2000, 100, Fault::None, "IHQ")), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0590, 100, Fault::None, "AZ")), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0590, 1)), "");
    EXPECT_NE(checkFileRecipe(want(Version::V2000, 100, Fault::WrongLength)), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0196, 100, Fault::BadSeparator)), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0590, 100, Fault::UnannouncedType)), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0196, 100, Fault::BrokenOrder, "AB")), "");
    FileRecipe s = want(Version::V2000, 100);
    s.separator = ',';
    EXPECT_NE(checkFileRecipe(s), "");
    EXPECT_EQ(checkFileRecipe(want(Version::V0196, 100, Fault::None, "zdtba")), "")
        << "letters in any order and case";
    EXPECT_THROW(generateBytes(want(Version::V0196, 100, Fault::None, "ABP")), std::runtime_error);
}

TEST(GeneratorRecipe, FieldFaultsNeedARecordThatCanCarryThem) {
    EXPECT_FALSE(faultApplies(Fault::FilledReserve, Version::V2000)) << "version 2000 has no Reserve fields";
    EXPECT_FALSE(faultApplies(Fault::EmptyMandatory, Version::V0196)) << "01/96 never reports a blank field";
    EXPECT_NE(checkFileRecipe(want(Version::V2000, 100, Fault::FilledReserve)), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0196, 100, Fault::EmptyMandatory)), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0590, 100, Fault::BadCheckDigit, "P")), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0196, 100, Fault::FilledReserve, "AB")), "");
    EXPECT_NE(checkFileRecipe(want(Version::V2000, 100, Fault::RecordRule, "IH")), "");
    EXPECT_NE(checkFileRecipe(want(Version::V0196, 3, Fault::NonDigit)), "") << "no room for an article";
    EXPECT_EQ(checkFileRecipe(want(Version::V0590, 100, Fault::NonDigit, "R")), "");
    EXPECT_EQ(checkFileRecipe(want(Version::V2000, 100, Fault::BadCheckDigit, "IX")), "");
    for (Version v : {Version::V0590, Version::V0196, Version::V2000}) {
        EXPECT_TRUE(faultApplies(Fault::FieldFaultsEverywhere, v));
        EXPECT_EQ(checkFileRecipe(want(v, 2, Fault::FieldFaultsEverywhere)), "");
    }
    // A fault record behind the end of the file.
    FileRecipe late = want(Version::V0590, 60, Fault::RecordRule);
    late.faultRecord = 61;
    EXPECT_THROW(generateBytes(late), std::runtime_error);
}

TEST(GeneratorFiles, WritesTheFileAndTheDemoSet) {
    test::TempDir dir;
    Report r;
    std::string error;
    const std::string path = dir.folder() + "f.dat";
    ASSERT_TRUE(generateFile(want(Version::V2000, 40), path, r, error)) << error;
    EXPECT_EQ(std::filesystem::file_size(path), r.bytes);
    // A file that cannot be generated leaves an existing one alone.
    EXPECT_FALSE(generateFile(want(Version::V2000, 40, Fault::WrongLength), path, r, error));
    EXPECT_EQ(std::filesystem::file_size(path), r.bytes);

    std::vector<std::string> written;
    ASSERT_TRUE(
        writeDemoFiles(dir.folder() + "ArtiImport", Date{std::chrono::year{2025} / 3 / 1}, written, error));
    EXPECT_EQ(written.size(), 9u);
    for (const std::string& f : written) {
        EXPECT_TRUE(std::filesystem::path(f).filename().string().starts_with("ELDANORM_")) << f;
        EXPECT_GT(std::filesystem::file_size(f), 0u);
    }
}

TEST(GeneratorFiles, CommandLine) {
    test::TempDir dir;
    const std::string out = dir.folder() + "a.dat";
    const std::string cmd = std::string(ARTI_GEN_EXE) +
                            " --version 0590 --records 20 --seed 3 --fault missing-eof \"" + out + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    FileRecipe s = want(Version::V0590, 20, Fault::MissingEndMark);
    s.seed = 3;
    std::ifstream in(out, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), generateBytes(s));
    EXPECT_NE(std::system(
                  (std::string(ARTI_GEN_EXE) + " --version 2000 --fault wrong-length x 2>/dev/null").c_str()),
              0);
    EXPECT_NE(std::system((std::string(ARTI_GEN_EXE) + " --fault no-such-fault x 2>/dev/null").c_str()), 0);
}

TEST(GeneratorFiles, ListsEveryFaultWithItsVersions) {
    std::FILE* p = popen((std::string(ARTI_GEN_EXE) + " --list-faults").c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
        out += buf;
    ASSERT_EQ(pclose(p), 0);
    const std::vector<std::string> lines = splitLines(out, "\n");
    ASSERT_GE(lines.size(), allFaults().size());
    for (std::size_t i = 0; i < allFaults().size(); ++i) {
        const Fault f = allFaults()[i];
        const std::string& l = lines[i];
        EXPECT_EQ(l.substr(0, l.find(' ')), faultName(f));
        for (Version v : {Version::V0590, Version::V0196, Version::V2000})
            EXPECT_EQ(l.find(std::string(versionName(v))) != std::string::npos, faultApplies(f, v)) << l;
        EXPECT_NE(l.find(faultSummary(f)), std::string::npos) << l;
    }
}

namespace {

std::vector<char> typesOf(const std::vector<std::string>& lines) {
    std::vector<char> t;
    for (const std::string& l : lines)
        t.push_back(l.empty() ? ' ' : l[0]);
    return t;
}

std::string trimmedRight(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

bool blank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;
}

// One character of the field changed, to `c`; returns the character it replaced.
char oneCharacterChanged(const std::string& before, const std::string& after, char c) {
    EXPECT_EQ(before.size(), after.size());
    char replaced = 0;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i)
        if (before[i] != after[i]) {
            ++changed;
            replaced = before[i];
            EXPECT_EQ(after[i], c) << "at " << i;
        }
    EXPECT_EQ(changed, 1u) << "'" << before << "' -> '" << after << "'";
    return replaced;
}

// What a field fault must have made of a field that was sound before.
void expectFieldChange(const FieldPlace& p, const std::string& before, const std::string& after) {
    const std::string b = trimmedRight(before), a = trimmedRight(after);
    switch (p.fault) {
    case Fault::BadCheckDigit:
        ASSERT_EQ(a.size(), 13u);
        EXPECT_EQ(withCheckDigit(b.substr(0, 12)), b) << "the clean GTIN is right";
        EXPECT_EQ(a.substr(0, 12), b.substr(0, 12));
        EXPECT_NE(withCheckDigit(a.substr(0, 12)), a);
        break;
    case Fault::InvalidDate: {
        const std::size_t month = p.version == Version::V2000 ? 4 : 2;
        ASSERT_EQ(a.size(), 8u);
        EXPECT_EQ(a.substr(month, 2), "13");
        EXPECT_EQ(a.substr(0, month) + a.substr(month + 2), b.substr(0, month) + b.substr(month + 2));
        break;
    }
    case Fault::NonDigit: {
        const char was = oneCharacterChanged(before, after, 'O');
        EXPECT_TRUE(was >= '0' && was <= '9') << was;
        break;
    }
    case Fault::BadCharacter:
        oneCharacterChanged(before, after, '\x07');
        break;
    case Fault::FilledReserve:
        EXPECT_TRUE(blank(before));
        EXPECT_FALSE(blank(after));
        break;
    case Fault::EmptyMandatory:
        EXPECT_FALSE(blank(before));
        EXPECT_TRUE(blank(after));
        break;
    default:
        EXPECT_NE(b, a);
        EXPECT_EQ(a, p.value);
        break;
    }
    if (p.start > 0) {
        EXPECT_EQ(after.size(), p.width);
    }
}

// Places where two records differ, as runs of differing characters (fixed records) or
// differing fields (version 2000, a field more or less counting as one).
std::size_t changedPlaces(Version v, const std::string& clean, const std::string& spoiled) {
    std::size_t places = 0;
    if (v == Version::V2000) {
        const std::vector<std::string> a = splitLines(clean, ";"), b = splitLines(spoiled, ";");
        for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
            if (a[i] != b[i]) ++places;
        return places + (a.size() != b.size() ? 1 : 0);
    }
    bool inRun = false;
    for (std::size_t i = 0; i < std::min(clean.size(), spoiled.size()); ++i) {
        const bool differs = clean[i] != spoiled[i];
        if (differs && !inRun) ++places;
        inRun = differs;
    }
    return places;
}

class GeneratorFault : public ::testing::TestWithParam<std::tuple<Version, Fault>> {
protected:
    void SetUp() override {
        const auto [v, f] = GetParam();
        if (!faultApplies(f, v)) GTEST_SKIP() << "not a fault of this version";
        v_ = v;
        bytes_ = generateBytes(want(v, 60, f), &report_);
        clean_ = generateBytes(want(v, 60));
        lines_ = crlfLines(bytes_, &rest_);
        cleanLines_ = crlfLines(clean_);
    }
    // The record that carries the fault, from its offset.
    std::string faultBytes(std::size_t n) const { return bytes_.substr(report_.faultOffset, n); }

    Version v_ = Version::V0196;
    Report report_;
    std::string bytes_, clean_, rest_;
    std::vector<std::string> lines_, cleanLines_;

    // A single field fault: the reported record is the only one changed, only in the
    // field named for the fault, and its offset is where that record starts.
    void expectSingleFieldFault(Fault f) const {
        const FieldPlace& p = fieldPlace(v_, f);
        ASSERT_EQ(lines_.size(), cleanLines_.size());
        ASSERT_GT(report_.faultRecord, 2u);
        const std::size_t at = report_.faultRecord - 1;
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (i != at) {
                EXPECT_EQ(lines_[i], cleanLines_[i]) << "record " << i + 1;
            }
        const std::string& line = lines_[at];
        EXPECT_EQ(line[0], p.type);
        EXPECT_EQ(bytes_.substr(report_.faultOffset, line.size() + 2), line + "\r\n");
        EXPECT_EQ(report_.faultyFields, 1u);
        if (p.start > 0) {
            ASSERT_EQ(line.size(), 128u);
            EXPECT_EQ(line.substr(0, p.start - 1), cleanLines_[at].substr(0, p.start - 1));
            EXPECT_EQ(line.substr(p.start - 1 + p.width), cleanLines_[at].substr(p.start - 1 + p.width));
        } else {
            std::vector<std::string> a = splitLines(cleanLines_[at], ";"), b = splitLines(line, ";");
            ASSERT_EQ(a.size(), b.size());
            a[p.field - 1].clear();
            b[p.field - 1].clear();
            EXPECT_EQ(a, b) << "only field " << p.field << " changes";
        }
        expectFieldChange(p, fieldOf(cleanLines_[at], p), fieldOf(line, p));
    }

    // Every record behind the header keeps its type and length and changes in at least
    // two places; the header stays as it was.
    void expectEveryRecordSpoiled() const {
        ASSERT_EQ(lines_.size(), cleanLines_.size());
        EXPECT_EQ(lines_[0], cleanLines_[0]);
        EXPECT_EQ(report_.faultRecord, 0u);
        std::uint64_t least = 0;
        for (std::size_t i = 1; i < lines_.size(); ++i) {
            EXPECT_EQ(lines_[i][0], cleanLines_[i][0]) << "record " << i + 1;
            if (v_ != Version::V2000) {
                EXPECT_EQ(lines_[i].size(), 128u);
            }
            const std::size_t places = changedPlaces(v_, cleanLines_[i], lines_[i]);
            EXPECT_GE(places, 2u) << "record " << i + 1 << ": " << lines_[i];
            least += places;
        }
        EXPECT_GE(report_.faultyFields, least);
        EXPECT_LE(report_.faultyFields, 3 * (lines_.size() - 1));
    }
};

} // namespace

TEST_P(GeneratorFault, TheFaultIsThere) {
    const Fault f = std::get<1>(GetParam());
    const bool fixed = v_ != Version::V2000;
    const std::size_t half = fixed ? 64 : 0;
    switch (f) {
    case Fault::WrongLength:
        EXPECT_EQ(bytes_.size(), clean_.size() - 1);
        EXPECT_EQ(lines_[report_.faultRecord - 1].size(), 127u);
        EXPECT_EQ((bytes_.size() - 1) % 130, 129u) << "the length is no multiple of 130";
        break;
    case Fault::CrLfInBlock: {
        EXPECT_EQ(bytes_.size(), clean_.size());
        const std::size_t crlf = bytes_.find("\r\n", report_.faultOffset);
        if (fixed) {
            EXPECT_EQ(crlf, report_.faultOffset + half);
            EXPECT_NE(faultBytes(130).substr(128), "\r\n") << "the block does not end in CR LF";
        }
        EXPECT_EQ(lines_.size(), report_.records) << "one CR LF moved, none added";
        break;
    }
    case Fault::EndMarkInBlock: {
        const std::size_t mark = bytes_.find('\x1A');
        EXPECT_GT(mark, report_.faultOffset);
        EXPECT_LT(mark, bytes_.find("\r\n", report_.faultOffset));
        if (fixed) {
            EXPECT_EQ(mark, report_.faultOffset + half);
        }
        break;
    }
    case Fault::MissingEndMark:
        EXPECT_EQ(bytes_.find('\x1A'), std::string::npos);
        EXPECT_EQ(bytes_.substr(bytes_.size() - 2), "\r\n");
        EXPECT_EQ(bytes_, clean_.substr(0, clean_.size() - 1));
        break;
    case Fault::BadSeparator:
        EXPECT_EQ(bytes_.substr(0, 8), "V,2000A,");
        break;
    case Fault::UnreadableHeader:
        EXPECT_EQ(bytes_.substr(0, 3), "\r\nV");
        EXPECT_EQ(bytes_.substr(2), clean_);
        break;
    case Fault::WrongSecondRecord:
        EXPECT_EQ(lines_[1][0], 'A');
        EXPECT_EQ(lines_[1].size(), 128u);
        break;
    case Fault::UnannouncedType: {
        const char t = lines_[report_.faultRecord - 1][0];
        EXPECT_EQ(report_.announcement.find(t), std::string::npos) << t;
        EXPECT_NE(t, 'K') << "K records pass the announcement unseen";
        break;
    }
    case Fault::RefusedAnnouncement:
        if (v_ == Version::V0196) {
            EXPECT_EQ(lines_[0].substr(99, 8), "11110011") << "ABDPTZ";
        } else if (v_ == Version::V2000) {
            EXPECT_EQ(splitLines(lines_[0], ";")[3], report_.announcement + "Q");
        } else {
            EXPECT_EQ(lines_[2][0], 'S');
            EXPECT_EQ(lines_[3][0], 'A') << "the announcement grows to SA at record 4";
        }
        break;
    case Fault::BrokenOrder:
        EXPECT_EQ(firstOrderBreak(v_, typesOf(lines_), report_.announcement), report_.faultRecord);
        break;
    case Fault::BadCheckDigit:
    case Fault::DateOutsideWindow:
    case Fault::InvalidDate:
    case Fault::ForeignCurrency:
    case Fault::NonDigit:
    case Fault::BadCharacter:
    case Fault::FilledReserve:
    case Fault::ValueNotInList:
    case Fault::EmptyMandatory:
    case Fault::RecordRule:
        expectSingleFieldFault(f);
        break;
    case Fault::FieldFaultsEverywhere:
        expectEveryRecordSpoiled();
        break;
    case Fault::None:
        break;
    }
}

TEST_P(GeneratorFault, TheRestOfTheFileIsSound) {
    const Fault f = std::get<1>(GetParam());
    if (f == Fault::BrokenOrder || f == Fault::RefusedAnnouncement || f == Fault::UnannouncedType ||
        isFieldFault(f)) {
        // Only the order or single fields are broken: the records themselves are whole.
        for (const std::string& l : lines_) {
            if (v_ != Version::V2000) {
                EXPECT_EQ(l.size(), 128u);
            }
        }
    }
    if (f != Fault::UnreadableHeader && f != Fault::BadSeparator) {
        EXPECT_EQ(lines_[0][0], 'V');
    }
    EXPECT_GT(report_.faultNote.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(AllVersions, GeneratorFault,
                         ::testing::Combine(::testing::Values(Version::V0590, Version::V0196, Version::V2000),
                                            ::testing::ValuesIn(allFaults())),
                         [](const auto& param) {
                             std::string n = std::string(versionName(std::get<0>(param.param))) + "_" +
                                             std::string(faultName(std::get<1>(param.param)));
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

TEST(GeneratorFieldFault, GoesToTheFirstRecordOfItsTypeAtOrBehindTheFaultRecord) {
    for (const FieldPlace& p : kFieldPlaces) {
        SCOPED_TRACE(std::string(versionName(p.version)) + " " + std::string(faultName(p.fault)));
        FileRecipe s = want(p.version, 80, p.fault);
        s.faultRecord = 12;
        Report r;
        const std::vector<std::string> lines = crlfLines(generateBytes(s, &r));
        ASSERT_GE(r.faultRecord, 12u);
        EXPECT_EQ(lines[r.faultRecord - 1][0], p.type);
        for (std::size_t i = 11; i + 1 < r.faultRecord; ++i)
            EXPECT_NE(lines[i][0], p.type) << "record " << i + 1 << " could have carried it";
    }
}

TEST(GeneratorFieldFault, EverywhereInEveryKindOfFile) {
    const std::vector<std::pair<Version, std::vector<std::string>>> kinds = {
        {Version::V0590, {"ABZ", "P", "R", "S"}},
        {Version::V0196, {"ABDTZ", "P", "R", "S"}},
        {Version::V2000, {"IHPUTKZS", "IX", "R", "W"}},
    };
    for (const auto& [v, list] : kinds) {
        for (const std::string& types : list) {
            SCOPED_TRACE(std::string(versionName(v)) + " " + types);
            Report r;
            const std::string bytes = generateBytes(want(v, 300, Fault::FieldFaultsEverywhere, types), &r);
            const std::vector<std::string> clean = crlfLines(generateBytes(want(v, 300, Fault::None, types)));
            const std::vector<std::string> lines = crlfLines(bytes);
            if (v == Version::V2000)
                expect2000File(bytes, r, types);
            else
                expectFixedFile(v, bytes, r, types);
            ASSERT_EQ(lines.size(), clean.size());
            std::uint64_t places = 0;
            for (std::size_t i = 1; i < lines.size(); ++i) {
                const std::size_t n = changedPlaces(v, clean[i], lines[i]);
                EXPECT_GE(n, 2u) << "record " << i + 1 << ": " << lines[i];
                places += n;
            }
            EXPECT_EQ(r.faultyFields, places) << "every fault in a place of its own";
        }
    }
}

TEST(GeneratorFieldFault, EverywhereStreamsInBlocks) {
    std::size_t largest = 0, total = 0;
    Report r;
    std::string error;
    const Sink sink = [&](std::string_view b) {
        largest = std::max(largest, b.size());
        total += b.size();
        return true;
    };
    ASSERT_TRUE(generate(want(Version::V2000, 100'000, Fault::FieldFaultsEverywhere), sink, r, error))
        << error;
    EXPECT_EQ(total, r.bytes);
    EXPECT_GE(r.faultyFields, 2u * 99'999);
    EXPECT_LT(largest, (1u << 20) + 1024) << "the generator holds no more than a block";
}
