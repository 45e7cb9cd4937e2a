#include "records/XBaseTable.h"

#include "core/Text.h"
#include "tests/support/TempDir.h"
#include "tools/gen/XBaseTestFiles.h"

#include <gtest/gtest.h>

#include <random>

using namespace arti;
using namespace arti::literals;
using namespace std::string_literals;
using test::readBytes;
using test::writeBytes;
using Rows = std::vector<std::uint32_t>;

namespace {

constexpr std::size_t kHeader = 97;
constexpr std::size_t kRecord = 22;

class XBaseTableTest : public ::testing::Test {
protected:
    std::unique_ptr<XBaseTable> open(XBaseMode mode = XBaseMode::ReadWrite) {
        return XBaseTable::open(paths, mode);
    }
    std::unique_ptr<XBaseTable> fresh() {
        EXPECT_TRUE(XBaseTable::create(paths));
        return open();
    }
    // The memo pointer of a row as it stands in the table file.
    std::string pointer(std::uint32_t recno) {
        return readBytes(paths.table).substr(kHeader + (recno - 1) * kRecord + 12, 10);
    }
    void setPointer(std::uint32_t recno, const std::string& digits) {
        std::string dbf = readBytes(paths.table);
        dbf.replace(kHeader + (recno - 1) * kRecord + 12, 10, digits);
        writeBytes(paths.table, dbf);
    }

    test::TempDir dir;
    XBasePaths paths = XBasePaths::longTextStore(dir.folder());
};

TEST_F(XBaseTableTest, CreateWritesAnEmptyFoxProTableMemoFileAndIndex) {
    ASSERT_TRUE(XBaseTable::create(paths));
    std::string expected(98, '\0');
    expected[0] = '\xF5';
    test::putLE(expected, 8, 2, 97);
    test::putLE(expected, 10, 2, 22);
    expected[29] = 0x03;
    expected.replace(32, 5, "INDEX"), expected[43] = 'C', expected[44] = 1, expected[48] = 11;
    expected.replace(64, 5, "VTEXT"), expected[75] = 'M', expected[76] = 12, expected[80] = 10;
    expected[96] = 0x0D, expected[97] = 0x1A;
    std::string dbf = readBytes(paths.table);
    ASSERT_EQ(dbf.size(), 98u);
    dbf.replace(1, 3, expected.substr(1, 3)); // date of the last change
    EXPECT_EQ(dbf, expected);
    std::string fpt(512, '\0');
    fpt[3] = 8, fpt[7] = 64; // next free block 8, 64-byte blocks
    EXPECT_EQ(readBytes(paths.memo), fpt);
    EXPECT_EQ(readBytes(paths.index).size(), 3072u);
    auto t = open();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rowCount(), 0u);
    EXPECT_FALSE(t->seek(""));
}

TEST_F(XBaseTableTest, RowsMemosAndDeleteFlagsSurviveReopening) {
    auto t = fresh();
    const std::string umlauts = "Größe Ä €"_ansi;
    const std::string longText = std::string(1000, 'x') + "\r\n" + umlauts;
    EXPECT_EQ(t->append("A1"), 1u);
    EXPECT_EQ(t->append("B2 longer than the field"), 2u);
    EXPECT_EQ(t->append(umlauts), 3u);
    ASSERT_TRUE(t->setMemo(1, "line 1\r\nline 2\r\n"));
    ASSERT_TRUE(t->setMemo(3, longText));
    ASSERT_TRUE(t->setDeleted(2, true));
    t.reset();
    t = open(XBaseMode::ReadOnly);
    ASSERT_TRUE(t);
    ASSERT_EQ(t->rowCount(), 3u);
    EXPECT_EQ(t->row(1)->key, "A1         ");
    EXPECT_EQ(t->row(2)->key, "B2 longer t");
    EXPECT_EQ(t->row(3)->key, umlauts + "  ");
    EXPECT_FALSE(t->row(1)->deleted);
    EXPECT_TRUE(t->row(2)->deleted);
    EXPECT_EQ(t->memo(1), "line 1\r\nline 2\r\n");
    EXPECT_EQ(t->memo(2), "");
    EXPECT_EQ(t->memo(3), longText);
    EXPECT_FALSE(t->row(0));
    EXPECT_FALSE(t->memo(4));
    EXPECT_FALSE(t->append("C3"));
    EXPECT_FALSE(t->setMemo(1, "changed"));
    EXPECT_FALSE(t->zap());
}

TEST_F(XBaseTableTest, MemoThatOutgrowsItsBlocksMovesAndSparesItsNeighbours) {
    auto t = fresh();
    for (std::uint32_t r = 1; r <= 3; ++r) {
        ASSERT_EQ(t->append("K" + std::to_string(r)), r);
        ASSERT_TRUE(t->setMemo(r, std::string(40, static_cast<char>('a' + r)))); // 48 bytes: one block
    }
    EXPECT_EQ(pointer(2), "         9");
    const std::string before = readBytes(paths.memo);
    ASSERT_TRUE(t->setMemo(2, std::string(100, 'B'))); // 108 bytes: two new blocks at the end
    EXPECT_EQ(pointer(2), "        11");
    const std::string after = readBytes(paths.memo);
    EXPECT_EQ(after.substr(0, 4), std::string("\0\0\0\x0D", 4));
    EXPECT_EQ(after.compare(4, 512 + 3 * 64 - 4, before, 4, 512 + 3 * 64 - 4), 0)
        << "the first three memos changed";
    ASSERT_TRUE(t->setMemo(2, "short")); // fits where it is
    EXPECT_EQ(pointer(2), "        11");

    // Two memos growing in turn, the way text records collect their lines.
    std::string one = *t->memo(1), three = *t->memo(3);
    for (int i = 0; i < 30; ++i) {
        one += "line " + std::to_string(i) + "\r\n";
        three += std::string(40, static_cast<char>('0' + i % 10)) + "\r\n";
        ASSERT_TRUE(t->setMemo(1, one));
        ASSERT_TRUE(t->setMemo(3, three));
    }
    EXPECT_EQ(t->memo(1), one);
    EXPECT_EQ(t->memo(2), "short");
    EXPECT_EQ(t->memo(3), three);
    ASSERT_TRUE(t->setMemo(1, ""));
    EXPECT_EQ(pointer(1), std::string(10, ' '));
    EXPECT_EQ(t->memo(1), "");
}

TEST_F(XBaseTableTest, SeekUpperCasesKeysAndSkipsDeletedRows) {
    auto t = fresh();
    for (const std::string& key :
         {"abc1234567x"s, "ABC1234567X"s, "abd"s, "0000000001"s, "ab"s, "straße"_ansi, "äpfel"_ansi})
        ASSERT_TRUE(t->append(key));
    EXPECT_EQ(t->seekAll("ABC1234567X"), (Rows{1, 2}));
    EXPECT_EQ(t->seekAll("abc"), (Rows{1, 2}));
    EXPECT_EQ(t->seekAll("ab"), (Rows{5, 1, 2, 3})); // "AB" + blanks sorts before "ABC"
    EXPECT_EQ(t->seekAll("ab         "), (Rows{5}));
    EXPECT_EQ(t->seek("ÄPFEL"_ansi), 7u);
    EXPECT_EQ(t->seek("äPfEl"_ansi), 7u);
    EXPECT_EQ(t->seek("STRAßE"_ansi), 6u); // ß has no capital in Windows-1252
    EXPECT_FALSE(t->seek("STRASSE"));
    EXPECT_FALSE(t->seek("abc1234567xy"));
    EXPECT_FALSE(t->seek("zzz"));

    ASSERT_TRUE(t->setDeleted(1, true));
    EXPECT_EQ(t->seekAll("abc"), (Rows{2}));
    EXPECT_TRUE(t->row(1)->deleted); // still in its place when reading in order
    ASSERT_TRUE(t->setDeleted(1, false));
    EXPECT_EQ(t->seek("abc"), 1u);
}

TEST_F(XBaseTableTest, ZapLeavesFreshFilesAndOldRowsNeverReturn) {
    ASSERT_TRUE(XBaseTable::create(paths));
    const std::string freshDbf = readBytes(paths.table), freshFpt = readBytes(paths.memo),
                      freshCdx = readBytes(paths.index);
    auto t = open();
    for (std::uint32_t r = 1; r <= 300; ++r) {
        ASSERT_TRUE(t->append("OLD" + std::to_string(r)));
        ASSERT_TRUE(t->setMemo(r, "old text " + std::to_string(r)));
    }
    ASSERT_TRUE(t->zap());
    EXPECT_EQ(t->rowCount(), 0u);
    EXPECT_FALSE(t->seek("OLD"));
    EXPECT_FALSE(t->row(1));
    EXPECT_EQ(readBytes(paths.index), freshCdx);
    EXPECT_EQ(readBytes(paths.memo), freshFpt);
    EXPECT_EQ(readBytes(paths.table).substr(4), freshDbf.substr(4));

    EXPECT_EQ(t->append("new"), 1u);
    EXPECT_EQ(t->memo(1), "");
    t.reset();
    t = open();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rowCount(), 1u);
    EXPECT_FALSE(t->seek("OLD"));
    EXPECT_EQ(t->seek("NEW"), 1u);
}

TEST_F(XBaseTableTest, OneWriterOrSeveralReaders) {
    ASSERT_TRUE(XBaseTable::create(paths));
    auto writer = open();
    ASSERT_TRUE(writer);
    std::string why;
    EXPECT_FALSE(XBaseTable::open(paths, XBaseMode::ReadWrite, &why));
    EXPECT_NE(why.find("in use"), std::string::npos) << why;
    EXPECT_FALSE(open(XBaseMode::ReadOnly));
    EXPECT_FALSE(XBaseTable::create(paths));
    writer->close();
    EXPECT_FALSE(writer->append("late"));
    auto reader1 = open(XBaseMode::ReadOnly), reader2 = open(XBaseMode::ReadOnly);
    EXPECT_TRUE(reader1 && reader2);
    EXPECT_FALSE(open());
}

TEST_F(XBaseTableTest, IndexMissingDamagedOrBehindIsRebuiltForWriting) {
    auto key = [](int i) { return "K" + std::to_string(1000 + i); };
    auto t = fresh();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(t->append(key(i)));
    t.reset();
    const std::string early = readBytes(paths.index);
    t = open();
    for (int i = 5; i < 300; ++i)
        ASSERT_TRUE(t->append(key(i)));
    t.reset();
    auto allFound = [&] {
        for (int i = 0; i < 300; ++i)
            if (t->seek(key(i)) != static_cast<std::uint32_t>(i + 1)) return false;
        return true;
    };

    writeBytes(paths.index, early); // as if the program died before the index caught up
    EXPECT_FALSE(open(XBaseMode::ReadOnly));
    t = open();
    ASSERT_TRUE(t);
    EXPECT_TRUE(allFound());
    t.reset();

    std::string damaged = readBytes(paths.index);
    damaged.replace(0xA00, 512, 512, '\xFF');
    writeBytes(paths.index, damaged);
    EXPECT_FALSE(open(XBaseMode::ReadOnly));
    t = open();
    ASSERT_TRUE(t);
    EXPECT_TRUE(allFound());
    t.reset();

    std::filesystem::remove(paths.index);
    EXPECT_FALSE(open(XBaseMode::ReadOnly));
    t = open();
    ASSERT_TRUE(t);
    EXPECT_TRUE(allFound());
    t.reset();

    const std::string notAnIndex(3072, 'x'); // a file we do not understand is left alone
    writeBytes(paths.index, notAnIndex);
    EXPECT_FALSE(open());
    EXPECT_EQ(readBytes(paths.index), notAnIndex);
}

TEST(XBaseForeignTables, LayoutsOfOtherProgramsOpenReadAndGrow) {
    const std::vector<test::ForeignRow> rows = {
        {"abc", "first\r\n"}, {"EMPTY", ""}, {"gone", "deleted text", true}, {"Long", std::string(700, 'L')}};
    std::vector<std::pair<const char*, test::ForeignLayout>> variants(6);
    variants[0].first = "FoxPro";
    variants[1] = {"Clipper header, 32-byte blocks, no end mark", {0xF5, 98, 10, 32, 512, false, false}};
    variants[2] = {"backlink area, 128-byte blocks, empty memo as block",
                   {0xF5, 360, 10, 128, 512, false, true}};
    variants[3] = {"512-byte blocks", {0xF5, 97, 10, 512, 512, true, true}};
    variants[4] = {"FlexFile memo header", {0xF5, 98, 10, 64, 1024, true, false}};
    variants[5] = {"Visual FoxPro binary memo pointer", {0x30, 360, 4, 64, 512, true, false}};
    for (const auto& [name, layout] : variants) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        const XBasePaths paths = XBasePaths::longTextStore(dir.folder());
        test::writeForeignTable(dir.path(), layout, rows);
        std::string why;
        auto t = XBaseTable::open(paths, XBaseMode::ReadWrite, &why);
        ASSERT_TRUE(t) << why;
        ASSERT_EQ(t->rowCount(), 4u);
        for (std::uint32_t r = 1; r <= 4; ++r) {
            EXPECT_EQ(trimRight(t->row(r)->key), rows[r - 1].key);
            EXPECT_EQ(t->row(r)->deleted, rows[r - 1].deleted);
            EXPECT_EQ(t->memo(r), rows[r - 1].memo);
        }
        EXPECT_EQ(t->seek("ABC"), 1u);
        EXPECT_FALSE(t->seek("GONE"));
        EXPECT_EQ(t->append("new"), 5u);
        ASSERT_TRUE(t->setMemo(5, "new text"));
        ASSERT_TRUE(t->setMemo(1, std::string(300, '1')));
        ASSERT_TRUE(t->setMemo(2, "now filled"));
        t.reset();
        t = XBaseTable::open(paths, XBaseMode::ReadOnly);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->memo(1), std::string(300, '1'));
        EXPECT_EQ(t->memo(2), "now filled");
        EXPECT_EQ(t->memo(4), rows[3].memo);
        EXPECT_EQ(t->memo(5), "new text");
        EXPECT_EQ(t->seek("NEW"), 5u);
    }
}

TEST_F(XBaseTableTest, CutOrMalformedFilesAreRefused) {
    auto t = fresh();
    for (std::uint32_t r = 1; r <= 3; ++r)
        ASSERT_TRUE(t->append("K" + std::to_string(r)) && t->setMemo(r, "memo text"));
    t.reset();
    const std::string dbf = readBytes(paths.table), fpt = readBytes(paths.memo), cdx = readBytes(paths.index);
    for (std::size_t n = 0; n < dbf.size(); ++n) { // only the end mark may go missing
        writeBytes(paths.table, dbf.substr(0, n));
        EXPECT_EQ(open(XBaseMode::ReadOnly) != nullptr, n == dbf.size() - 1) << "table cut at " << n;
    }
    writeBytes(paths.table, dbf);
    for (std::size_t n : {0, 8, 511}) {
        writeBytes(paths.memo, fpt.substr(0, n));
        EXPECT_FALSE(open(XBaseMode::ReadOnly)) << "memo cut at " << n;
    }
    writeBytes(paths.memo, fpt);
    for (std::size_t n : {0, 1024, 2048, 3000, 3071}) {
        writeBytes(paths.index, cdx.substr(0, n));
        EXPECT_FALSE(open(XBaseMode::ReadOnly)) << "index cut at " << n;
    }
    writeBytes(paths.index, cdx);

    auto refusedWith = [&](std::size_t at, std::string bytes) {
        std::string bad = dbf;
        bad.replace(at, bytes.size(), bytes);
        writeBytes(paths.table, bad);
        return open(XBaseMode::ReadOnly) == nullptr;
    };
    EXPECT_TRUE(refusedWith(0, "\x03"));     // dBASE table without memo
    EXPECT_TRUE(refusedWith(0, "\x83"));     // dBASE III with DBT memo
    EXPECT_TRUE(refusedWith(4, "\x04"));     // more rows than the file holds
    EXPECT_TRUE(refusedWith(8, "\xFF\x7F")); // header longer than the file
    EXPECT_TRUE(refusedWith(10, "\x17"));    // record length not the sum of the fields
    EXPECT_TRUE(refusedWith(96, " "));       // field list without its end
    EXPECT_TRUE(refusedWith(48, "\x0C"));    // INDEX of another width
    EXPECT_TRUE(refusedWith(75, "C"));       // VTEXT not a memo
    EXPECT_TRUE(refusedWith(43, "I"));       // a field type we cannot write
    EXPECT_FALSE(refusedWith(0, "\xF5"));
}

TEST_F(XBaseTableTest, BrokenMemoPointersAreReportedAndRepairedByWriting) {
    auto t = fresh();
    ASSERT_TRUE(t->append("A") && t->append("B") && t->setMemo(1, "one") && t->setMemo(2, "two"));
    t.reset();
    const std::string dbf = readBytes(paths.table), fpt = readBytes(paths.memo);
    for (const char* bad : {"      12ab", "         1", "    999999", "4294967296"}) {
        SCOPED_TRACE(bad);
        setPointer(2, bad);
        t = open();
        ASSERT_TRUE(t);
        EXPECT_FALSE(t->memo(2));
        EXPECT_EQ(t->memo(1), "one");
        ASSERT_TRUE(t->setMemo(2, "fresh"));
        EXPECT_EQ(t->memo(2), "fresh");
        EXPECT_EQ(t->memo(1), "one");
        t.reset();
        writeBytes(paths.table, dbf);
        writeBytes(paths.memo, fpt);
    }
    std::string longer = fpt; // a block header claiming more bytes than the file has
    test::putBE(longer, 8 * 64 + 4, 4, 0x7FFFFFFF);
    writeBytes(paths.memo, longer);
    t = open(XBaseMode::ReadOnly);
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->memo(1));
    EXPECT_EQ(t->memo(2), "two");
}

TEST_F(XBaseTableTest, RandomDamageIsNeverFollowedOutOfBounds) {
    auto t = fresh();
    for (std::uint32_t r = 1; r <= 200; ++r)
        ASSERT_TRUE(t->append("K" + std::to_string(r * 7919 % 1000)) &&
                    t->setMemo(r, std::string(r % 90, 'm')));
    t.reset();
    const std::vector<std::pair<std::string, std::string>> files = {{paths.table, readBytes(paths.table)},
                                                                    {paths.memo, readBytes(paths.memo)},
                                                                    {paths.index, readBytes(paths.index)}};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 150; ++round) {
        for (const auto& [path, bytes] : files)
            writeBytes(path, bytes);
        std::string bytes = files[round % 3].second;
        for (int flips = 1 + static_cast<int>(rng() % 8); flips > 0; --flips)
            bytes[rng() % bytes.size()] = static_cast<char>(rng());
        writeBytes(files[round % 3].first, bytes);
        auto damaged = open(round % 2 ? XBaseMode::ReadWrite : XBaseMode::ReadOnly);
        if (!damaged) continue;
        for (std::uint32_t r = 1; r <= damaged->rowCount(); ++r) {
            (void)damaged->row(r);
            (void)damaged->memo(r);
        }
        (void)damaged->seekAll("");
        (void)damaged->seek("K5");
        if (round % 2) {
            (void)damaged->append("ZZ");
            (void)damaged->setMemo(1, std::string(150, 'z'));
        }
    }
}

} // namespace
