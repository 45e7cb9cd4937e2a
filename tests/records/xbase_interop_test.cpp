// The long-text table against independent xBase programs from Debian packages
// (python3-dbfread, python3-dbf, libdbd-xbase-perl), driven by xbase/xbase_tools.sh.
// A missing program fails the test: these checks are the proof that other tools
// read our files.
#include "records/XBaseTable.h"

#include "core/Text.h"
#include "tests/support/TempDir.h"
#include "tools/gen/XBaseTestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <sys/wait.h>

using namespace arti;
using namespace arti::literals;

namespace {

struct ToolRun {
    int status = -1;
    std::vector<std::string> lines;
};

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

ToolRun runTool(const std::vector<std::string>& args) {
    const std::string script =
        (std::filesystem::path(ARTI_TEST_DATA).parent_path() / "records" / "xbase" / "xbase_tools.sh")
            .string();
    std::string command = "bash " + quoted(script);
    for (const std::string& a : args)
        command += " " + quoted(a);
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    run.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    run.lines = splitLines(out, "\n");
    if (!run.lines.empty() && run.lines.back().empty()) run.lines.pop_back();
    return run;
}

std::string hex(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes)
        out += {digits[c >> 4], digits[c & 15]};
    return out.empty() ? "-" : out;
}

struct Row {
    std::string key, memo;
    bool deleted = false;
};

// One line per row as xbase_tools.sh prints it.
std::string toolLine(const Row& row) {
    return std::string(row.deleted ? "deleted " : "live ") + hex(trimRight(row.key)) + " " + hex(row.memo);
}

class XBaseInterop : public ::testing::Test {
protected:
    std::unique_ptr<XBaseTable> fresh() {
        EXPECT_TRUE(XBaseTable::create(paths));
        return XBaseTable::open(paths, XBaseMode::ReadWrite);
    }
    test::TempDir dir;
    XBasePaths paths = XBasePaths::longTextStore(dir.folder());
};

TEST_F(XBaseInterop, PythonReadersSeeOurRowsMemosAndDeleteFlags) {
    std::vector<Row> rows = {{"Abc1234567x", ""},
                             {"0000000001", ""},
                             {"Größe"_ansi, "Maß: 5 €\r\n"_ansi},
                             {"gone", "deleted text", true},
                             {"abc1234567X", std::string(300, 'x')}};
    auto t = fresh();
    ASSERT_TRUE(t);
    for (std::uint32_t r = 1; r <= rows.size(); ++r) {
        ASSERT_EQ(t->append(rows[r - 1].key), r);
        ASSERT_TRUE(t->setMemo(r, rows[r - 1].memo));
        ASSERT_TRUE(t->setDeleted(r, rows[r - 1].deleted));
    }
    for (int i = 0; i < 6; ++i) { // the first memo grows past its blocks several times
        rows[0].memo += std::string(40, static_cast<char>('a' + i)) + "\r\n";
        ASSERT_TRUE(t->setMemo(1, rows[0].memo));
    }
    t.reset();

    std::vector<std::string> inOrder, liveFirst;
    for (const Row& row : rows)
        inOrder.push_back(toolLine(row));
    for (const bool deleted : {false, true})
        for (const Row& row : rows)
            if (row.deleted == deleted) liveFirst.push_back(toolLine(row));
    const ToolRun dbfread = runTool({"dbfread", dir.folder()});
    ASSERT_EQ(dbfread.status, 0);
    EXPECT_EQ(dbfread.lines, liveFirst);
    const ToolRun pydbf = runTool({"pydbf-read", dir.folder()});
    ASSERT_EQ(pydbf.status, 0);
    EXPECT_EQ(pydbf.lines, inOrder);

    t = XBaseTable::open(paths, XBaseMode::ReadWrite);
    ASSERT_TRUE(t && t->zap());
    ASSERT_TRUE(t->append("after zap") && t->setMemo(1, "new"));
    t.reset();
    const ToolRun zapped = runTool({"dbfread", dir.folder()});
    ASSERT_EQ(zapped.status, 0);
    EXPECT_EQ(zapped.lines, std::vector<std::string>{toolLine({"after zap", "new"})});
}

TEST_F(XBaseInterop, PerlXBaseListsAndFindsTheKeysOfAMultiLevelIndex) {
    auto t = fresh();
    ASSERT_TRUE(t);
    std::mt19937 rng(11);
    std::map<std::pair<std::string, std::uint32_t>, bool> expected; // (upper key, row), sorted like the index
    std::map<std::string, int> rowsPerKey;
    for (std::uint32_t r = 1; r <= 3000; ++r) {
        char key[16];
        std::snprintf(key, sizeof key, "%c%07u", r % 3 ? 'K' : 'k', static_cast<unsigned>(rng() % 2500));
        ASSERT_EQ(t->append(key), r);
        expected[{upper(key), r}] = true;
        ++rowsPerKey[upper(key)];
    }
    ASSERT_TRUE(t->setDeleted(5, true)); // deleted rows stay in the index
    t.reset();
    EXPECT_EQ(test::readBytes(paths.index).substr(0xA00, 2), std::string("\x01\x00", 2))
        << "root not interior";

    std::vector<std::string> listing;
    for (const auto& [entry, unused] : expected)
        listing.push_back(entry.first + " " + std::to_string(entry.second));
    const ToolRun dump = runTool({"index-dump", dir.folder()});
    ASSERT_EQ(dump.status, 0);
    EXPECT_EQ(dump.lines, listing);

    std::vector<std::string> args = {"find-eq", dir.folder()}, answers;
    int i = 0;
    for (const auto& [key, count] : rowsPerKey) {
        if (i++ % 40 != 0 && key != rowsPerKey.rbegin()->first) continue;
        args.push_back(key);
        answers.push_back(key + " " + std::to_string(count));
    }
    const ToolRun lookups = runTool(args);
    EXPECT_EQ(lookups.status, 0);
    EXPECT_EQ(lookups.lines, answers);
    EXPECT_EQ(runTool({"find-eq", dir.folder(), "K9999999"}).status, 1);
}

TEST_F(XBaseInterop, TablesWrittenByPythonDbfOpenAndGrowHere) {
    std::vector<Row> rows = {{"abc", "first line\r\n"},
                             {"EMPTY", ""},
                             {"Größe"_ansi, "Maß €"_ansi},
                             {"gone", "bye", true},
                             {"long", std::string(500, 'L') + "\r\n"}};
    std::vector<std::string> args = {"pydbf-write", dir.folder()};
    for (const Row& row : rows)
        args.push_back(hex(row.key) + ":" + (row.memo.empty() ? "" : hex(row.memo)) +
                       (row.deleted ? ":deleted" : ""));
    ASSERT_EQ(runTool(args).status, 0);

    std::string why;
    auto t = XBaseTable::open(paths, XBaseMode::ReadWrite, &why);
    ASSERT_TRUE(t) << why;
    ASSERT_EQ(t->rowCount(), rows.size());
    for (std::uint32_t r = 1; r <= rows.size(); ++r) {
        EXPECT_EQ(trimRight(t->row(r)->key), rows[r - 1].key);
        EXPECT_EQ(t->row(r)->deleted, rows[r - 1].deleted);
        EXPECT_EQ(t->memo(r), rows[r - 1].memo);
    }
    EXPECT_EQ(t->seek("GRÖSSE"_ansi), std::nullopt);
    EXPECT_EQ(t->seek("größe"_ansi), 3u);
    EXPECT_EQ(t->seek("GONE"), std::nullopt);

    rows[1].memo = "filled later\r\n";
    rows[0].memo += std::string(200, 'F');
    rows.push_back({"added", "added here"});
    ASSERT_TRUE(t->setMemo(2, rows[1].memo) && t->setMemo(1, rows[0].memo));
    ASSERT_TRUE(t->append("added") && t->setMemo(6, "added here"));
    t.reset();
    std::vector<std::string> inOrder;
    for (const Row& row : rows)
        inOrder.push_back(toolLine(row));
    const ToolRun back = runTool({"pydbf-read", dir.folder()});
    ASSERT_EQ(back.status, 0);
    EXPECT_EQ(back.lines, inOrder);
}

} // namespace
