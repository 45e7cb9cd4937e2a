// The long-text table as a store that must survive failures: made whole or not at all,
// an index that disagrees with its rows, buffered writes and a disk that fills up while
// they go out. A full disk is a file-size limit (RLIMIT_FSIZE) in a child process, which
// only POSIX systems have.
#include "platform/Unicode.h"
#include "records/XBaseFile.h"
#include "records/XBaseTable.h"

#include "tests/support/TempDir.h"
#include "tools/gen/XBaseTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <set>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace arti;
using test::readBytes;
using test::writeBytes;

namespace {

// Runs `work` in a child process in which no file may grow beyond `limit` bytes; its
// result is the child's exit code (0 for true).
#ifdef _WIN32
#define ARTI_SKIP_WITHOUT_FILE_LIMIT() GTEST_SKIP() << "no file-size limit for a process on this system"
bool inChildWithFileLimit(std::size_t, const std::function<bool()>&) {
    return false;
}
#else
#define ARTI_SKIP_WITHOUT_FILE_LIMIT()
bool inChildWithFileLimit(std::size_t limit, const std::function<bool()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the child
        const rlimit r{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
        setrlimit(RLIMIT_FSIZE, &r);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "the child ended abnormally";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

std::set<std::string> filesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(platform::pathText(e.path().filename()));
    return names;
}

std::string text(std::uint32_t recno) {
    return "Zeile " + std::to_string(recno) + std::string(recno % 70, '.') + "\r\n";
}

std::string key(std::uint32_t recno) {
    return "K" + std::to_string(recno * 7919 % 100003);
}

// The row is found under its whole key (a live row; deleted ones are passed over).
bool found(const XBaseTable& t, std::uint32_t recno) {
    const auto rows = t.seekAll(XBaseTable::indexKey(key(recno)));
    return std::find(rows.begin(), rows.end(), recno) != rows.end();
}

class XBaseStore : public ::testing::Test {
protected:
    // Rows up to n with their keys and (unless `memos` is off) texts, written through a
    // table opened in `mode`.
    bool fill(XBaseMode mode, std::uint32_t n) {
        auto t = XBaseTable::open(paths, mode);
        if (!t) return false;
        for (std::uint32_t r = t->rowCount() + 1; r <= n; ++r)
            if (t->append(key(r)) != r || !t->setMemo(r, textOf(r))) return false;
        return t->close();
    }
    std::string textOf(std::uint32_t recno) const { return memos ? text(recno) : std::string(); }
    // Every row the table counts has its key in the index and its whole text.
    void expectSound(std::uint32_t atLeast, std::uint32_t atMost) {
        std::string why;
        auto t = XBaseTable::open(paths, XBaseMode::ReadWrite, &why);
        ASSERT_TRUE(t) << why;
        EXPECT_GE(t->rowCount(), atLeast);
        EXPECT_LE(t->rowCount(), atMost);
        for (std::uint32_t r = 1; r <= t->rowCount(); ++r) {
            ASSERT_EQ(t->memo(r), textOf(r)) << r;
            ASSERT_TRUE(found(*t, r)) << r;
        }
    }

    test::TempDir dir;
    XBasePaths paths = XBasePaths::longTextStore(dir.folder());
    bool memos = true;
};

TEST_F(XBaseStore, CreatingLeavesAWholeStoreOrTheFormerFiles) {
    ARTI_SKIP_WITHOUT_FILE_LIMIT();
    struct Case {
        std::size_t limit; // bytes a file may have
        bool formerStore;  // a store with rows was there before
    };
    for (const Case c :
         {Case{0, false}, Case{100, false}, Case{600, false}, Case{2048, false}, Case{2048, true}}) {
        SCOPED_TRACE("limit " + std::to_string(c.limit) + (c.formerStore ? ", former store" : ""));
        test::TempDir folder;
        const XBasePaths p = XBasePaths::longTextStore(folder.folder());
        std::vector<std::string> former;
        if (c.formerStore) {
            ASSERT_TRUE(XBaseTable::create(p));
            auto t = XBaseTable::open(p, XBaseMode::ReadWrite);
            ASSERT_TRUE(t && t->append("ALT") && t->setMemo(1, "alter Text") && t->close());
            former = {readBytes(p.table), readBytes(p.memo), readBytes(p.index)};
        }
        const std::set<std::string> before = filesIn(folder.path());
        EXPECT_FALSE(inChildWithFileLimit(c.limit, [&p] { return XBaseTable::create(p); }));
        EXPECT_EQ(filesIn(folder.path()), before) << "no part of a store, no passing file";
        if (c.formerStore) {
            EXPECT_EQ((std::vector<std::string>{readBytes(p.table), readBytes(p.memo), readBytes(p.index)}),
                      former);
        }
    }
    EXPECT_TRUE(inChildWithFileLimit(4096, [this] { return XBaseTable::create(paths); }));
    EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"INTEXT.CDX", "VTEXT.DBF", "VTEXT.FPT"}));
    expectSound(0, 0);
}

TEST_F(XBaseStore, AStoreIsRemadeWhileItsFormerFilesAreStillOpen) {
    struct Case {
        const char* what;
        std::vector<std::string XBasePaths::*> held; // files someone still has open (no lock)
    };
    const Case cases[] = {
        {"nothing open", {}},
        {"the table open", {&XBasePaths::table}},
        {"the texts and the index open", {&XBasePaths::memo, &XBasePaths::index}},
        {"all three open", {&XBasePaths::table, &XBasePaths::memo, &XBasePaths::index}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(XBaseTable::create(paths));
        ASSERT_TRUE(fill(XBaseMode::ReadWrite, 3));
        std::vector<xbase::File> held(c.held.size());
        for (std::size_t i = 0; i < held.size(); ++i)
            ASSERT_TRUE(held[i].open(paths.*c.held[i], false));
        std::string why;
        EXPECT_TRUE(XBaseTable::create(paths, &why)) << why;
        auto t = XBaseTable::open(paths, XBaseMode::ReadWrite, &why);
        ASSERT_TRUE(t) << why;
        EXPECT_EQ(t->rowCount(), 0u);
        EXPECT_TRUE(t->close());
        held.clear();
        EXPECT_EQ(filesIn(dir.path()), (std::set<std::string>{"INTEXT.CDX", "VTEXT.DBF", "VTEXT.FPT"}));
    }
}

TEST_F(XBaseStore, AnIndexThatDisagreesWithItsRowsIsRebuiltForWritingAndRefusedForReading) {
    // The index of the same keys in reverse order: sound in itself, every key at another row.
    ASSERT_TRUE(XBaseTable::create(paths));
    {
        auto t = XBaseTable::open(paths, XBaseMode::ReadWrite);
        for (std::uint32_t r = 1; r <= 300; ++r)
            ASSERT_TRUE(t->append(key(301 - r)));
    }
    const std::string reversed = readBytes(paths.index);
    const std::vector<std::pair<const char*, std::function<void()>>> damages = {
        {"a row's key changed behind the index's back",
         [this] {
             std::string dbf = readBytes(paths.table);
             dbf.replace(97 + 4 * 22 + 1, 1, "X");
             writeBytes(paths.table, dbf);
         }},
        {"the index of the keys in reverse order", [&] { writeBytes(paths.index, reversed); }},
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(XBaseTable::create(paths));
        ASSERT_TRUE(fill(XBaseMode::ReadWrite, 300));
        damage();
        XBaseFault fault = XBaseFault::None;
        EXPECT_FALSE(XBaseTable::open(paths, XBaseMode::ReadOnly, nullptr, &fault));
        EXPECT_EQ(fault, XBaseFault::IndexDamaged);
        EXPECT_NE(XBaseTable::faultText(fault).find("INTEXT.CDX"), std::string::npos);
        auto t = XBaseTable::open(paths, XBaseMode::ReadWrite);
        ASSERT_TRUE(t);
        for (std::uint32_t r = 1; r <= 300; ++r) {
            const auto rows = t->seekAll(t->row(r)->key);
            ASSERT_NE(std::find(rows.begin(), rows.end(), r), rows.end()) << "row " << r << " not found";
        }
        t.reset();
        EXPECT_TRUE(XBaseTable::open(paths, XBaseMode::ReadOnly)) << "the rebuilt index";
    }
}

TEST_F(XBaseStore, BufferedWritesAreSeenAtOnceAndLeaveTheSameFiles) {
    // Enough rows and memo bytes for several pieces of writing and more index pages
    // than are kept in memory, with memos rewritten and rows deleted on the way.
    constexpr std::uint32_t kRows = 30000;
    auto work = [](XBaseTable& t) {
        for (std::uint32_t r = 1; r <= kRows; ++r) {
            if (t.append(key(r)) != r || !t.setMemo(r, text(r))) return false;
            if (r % 5 == 0 && !t.setMemo(r, text(r) + text(r + 1))) return false;
            if (r % 7 == 0 && (!t.setDeleted(r, true) || t.row(r)->deleted != true)) return false;
            if (r % 1000 == 0 && (found(t, r - 999) != ((r - 999) % 7 > 0) || t.memo(r - 1) != text(r - 1)))
                return false;
        }
        return true;
    };
    std::vector<std::string> files[2];
    for (const XBaseMode mode : {XBaseMode::ReadWrite, XBaseMode::Buffered}) {
        ASSERT_TRUE(XBaseTable::create(paths));
        auto t = XBaseTable::open(paths, mode);
        ASSERT_TRUE(t && work(*t));
        ASSERT_TRUE(t->close());
        std::string dbf = readBytes(paths.table);
        dbf.replace(1, 3, "   "); // the date of the last change
        files[mode == XBaseMode::Buffered] = {dbf, readBytes(paths.memo), readBytes(paths.index)};
    }
    EXPECT_TRUE(files[0] == files[1]) << "buffered writing changed the bytes of the files";
    auto t = XBaseTable::open(paths, XBaseMode::ReadOnly);
    ASSERT_TRUE(t);
    ASSERT_EQ(t->rowCount(), kRows);
    EXPECT_EQ(t->memo(kRows), text(kRows) + text(kRows + 1));
    EXPECT_TRUE(found(*t, kRows - 1));
    EXPECT_FALSE(found(*t, 7)) << "deleted";
}

TEST_F(XBaseStore, ADiskFullWhileWritingLeavesFilesThatOpen) {
    ARTI_SKIP_WITHOUT_FILE_LIMIT();
    struct Case {
        std::size_t limit; // bytes a file may have
        bool memos;        // rows with texts: the memo file fills first, else the table
    };
    for (const Case c : {Case{4096, true}, Case{64 * 1024, true}, Case{700 * 1024, true},
                         Case{64 * 1024, false}, Case{400 * 1024, false}}) {
        SCOPED_TRACE("limit " + std::to_string(c.limit) + (c.memos ? " with texts" : " without texts"));
        memos = c.memos;
        ASSERT_TRUE(XBaseTable::create(paths));
        ASSERT_TRUE(fill(XBaseMode::ReadWrite, 10));
        EXPECT_FALSE(inChildWithFileLimit(c.limit, [this] { return fill(XBaseMode::Buffered, 20000); }));
        expectSound(10, 20000);
    }
}

} // namespace
