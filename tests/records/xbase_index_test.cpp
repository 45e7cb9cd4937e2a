#include "records/XBaseIndex.h"
#include "records/XBaseTable.h"

#include "tests/support/TempDir.h"
#include "tools/gen/XBaseTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

using namespace arti;
using namespace arti::xbase;
using test::readBytes;
using test::writeBytes;
using namespace std::string_literals;

namespace {

std::string key11(std::string key) {
    key.resize(Index::kKeyLength, ' ');
    return key;
}

void put(std::string& image, std::size_t at, std::initializer_list<int> bytes) {
    for (int b : bytes)
        image[at++] = static_cast<char>(b);
}

// An index file of its own, written empty and taken over by `index`.
class IndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        File file;
        ASSERT_TRUE(file.open(path, true, true) && Index::writeEmpty(file));
        ASSERT_EQ(index.attach(std::move(file)), Index::Check::Sound);
    }
    Index::Check reattach() {
        index.close();
        File file;
        EXPECT_TRUE(file.open(path, true));
        return index.attach(std::move(file));
    }
    std::vector<std::uint32_t> found(const std::string& prefix) {
        std::vector<std::uint32_t> out;
        EXPECT_TRUE(index.scan(prefix, [&out](std::uint32_t r) { return out.push_back(r), true; }));
        return out;
    }
    // Attribute word of the page at `offset`: 0 interior, 1 root interior, 2 leaf, 3 root leaf.
    int attr(std::size_t offset) { return static_cast<unsigned char>(readBytes(path)[offset]); }

    test::TempDir dir;
    std::string path = dir.folder() + "INTEXT.CDX";
    Index index;
};

TEST(XBaseIndexExample, ThreeAppendsGiveTheReferenceBytes) {
    test::TempDir dir;
    const XBasePaths paths = XBasePaths::longTextStore(dir.folder());
    ASSERT_TRUE(XBaseTable::create(paths));
    auto t = XBaseTable::open(paths, XBaseMode::ReadWrite);
    ASSERT_TRUE(t && t->append("Abc1234567x") && t->append("0000000001") && t->append("abc1234567X"));
    t.reset();

    std::string expected(3072, '\0');
    put(expected, 0x000, {0x00, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0A, 0x00, 0xE0, 0x01});
    put(expected, 0x1F8, {0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00});
    put(expected, 0x400,
        {3, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xDF, 0x01, 0xFF, 0xFF});
    put(expected, 0x410, {0, 0, 0x0F, 0x0F, 0x10, 4, 4, 3, 0x00, 0x06, 0x40});
    expected.replace(0x5FA, 6, "INTEXT");
    put(expected, 0x600, {0x00, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0B, 0x00, 0x60, 0x01});
    put(expected, 0x7F8, {0x0D, 0x00, 0x01, 0x00, 0x00, 0x00, 0x0D, 0x00});
    expected.replace(0x800, 12, "upper(INDEX)");
    put(expected, 0xA00,
        {3, 0, 3, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xCA, 0x01, 0xFF, 0xFF});
    put(expected, 0xA10, {0, 0, 0x0F, 0x0F, 0x10, 4, 4, 3, 0x02, 0x00, 0x10, 0x01, 0x00, 0x00, 0x03, 0x00});
    put(expected, 0xA20, {0x0B});
    expected.replace(0xBEB, 21, "ABC1234567X0000000001");
    EXPECT_EQ(readBytes(paths.index), expected);
}

TEST_F(IndexTest, ThousandsOfKeysInRandomOrderGrowAThreeLevelTree) {
    std::mt19937 rng(42);
    std::vector<cdx::Entry> all;
    std::map<std::string, std::vector<std::uint32_t>> byKey;
    for (std::uint32_t recno = 1; recno <= 3000; ++recno) {
        char key[16];
        std::snprintf(key, sizeof key, "K%05u", static_cast<unsigned>(rng() % 2000)); // many duplicates
        ASSERT_TRUE(index.insert(key11(key), recno));
        all.push_back({key11(key), recno, 0});
        byKey[key].push_back(recno);
    }
    std::sort(all.begin(), all.end(),
              [](const cdx::Entry& a, const cdx::Entry& b) { return cdx::compare(a, b) < 0; });
    std::vector<cdx::Entry> stored;
    ASSERT_TRUE(index.entries(stored));
    ASSERT_EQ(stored.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(cdx::compare(stored[i], all[i]), 0) << i;

    // The root stays at 0xA00; below it another interior level, then leaves.
    const std::string bytes = readBytes(path);
    ASSERT_EQ(attr(0xA00), 1);
    const std::size_t child =
        (std::size_t(std::uint8_t(bytes[0xA00 + 12 + 15])) << 8) | std::uint8_t(bytes[0xA00 + 12 + 16]);
    EXPECT_EQ(attr(child), 0);

    for (const auto& [key, recnos] : byKey)
        ASSERT_EQ(found(key11(key)), recnos) << key;
    EXPECT_TRUE(found(key11("K02000")).empty());
    EXPECT_EQ(found("").size(), 3000u);
    EXPECT_EQ(reattach(), Index::Check::Sound);
    EXPECT_EQ(index.size(), 3000u);
}

TEST_F(IndexTest, LargeRecordNumbersWidenTheEntries) {
    const std::vector<std::uint32_t> recnos = {1, 65535, 65536, 16777215, 16777216, 0xFFFFFFFF};
    for (std::uint32_t r : recnos)
        ASSERT_TRUE(index.insert(key11("SAME"), r));
    EXPECT_EQ(readBytes(path)[0xA00 + 23], 5); // bytes per entry: 32 bits of record number
    EXPECT_EQ(found("SAME"), recnos);
    EXPECT_EQ(reattach(), Index::Check::Sound);
}

TEST(XBaseCdxPage, OddKeysSurviveCompression) {
    const cdx::KeyFormat format{11, ' '};
    cdx::Node node;
    for (std::string key : {std::string(11, ' '), std::string(11, '\0'), std::string("AB\0C", 4), "AB"s,
                            "AB"s, "AB        Z"s, std::string(11, '\xFF'), "\xE4pfel"s})
        node.entries.push_back({key11(key), static_cast<std::uint32_t>(node.entries.size() + 1), 0});
    cdx::Page page{};
    ASSERT_TRUE(cdx::encodeNode(node, format, page));
    cdx::Node back;
    ASSERT_TRUE(cdx::decodeNode(page, format, back));
    ASSERT_EQ(back.entries.size(), node.entries.size());
    for (std::size_t i = 0; i < node.entries.size(); ++i)
        EXPECT_EQ(back.entries[i].key, node.entries[i].key) << i;

    cdx::Node full; // 40 keys without common prefixes need more than a page
    for (int i = 0; i < 40; ++i)
        full.entries.push_back({std::string(11, static_cast<char>('A' + i)), 1, 0});
    EXPECT_FALSE(cdx::encodeNode(full, format, page));
}

TEST_F(IndexTest, DamagedTreesAndForeignIndexesAreTold) {
    for (std::uint32_t recno = 1; recno <= 300; ++recno)
        ASSERT_TRUE(index.insert(key11("K" + std::to_string(recno * 37 % 1000)), recno));
    const std::string good = readBytes(path);
    ASSERT_EQ(attr(0xA00), 1);
    const std::size_t firstChild = 0xA00 + 12 + 11 + 4; // child pointer of the root's first entry
    const std::size_t leaf =
        (std::size_t(std::uint8_t(good[firstChild + 2])) << 8) | std::uint8_t(good[firstChild + 3]);
    auto check = [&](std::size_t at, const std::string& bytes) {
        std::string bad = good;
        bad.replace(at, bytes.size(), bytes);
        writeBytes(path, bad);
        return reattach();
    };
    using C = Index::Check;
    EXPECT_EQ(check(firstChild, std::string("\0\0\x0A\0", 4)), C::Damaged);     // child is the root again
    EXPECT_EQ(check(firstChild, std::string("\0\x10\0\0", 4)), C::Damaged);     // child past the end
    EXPECT_EQ(check(0xA00 + 12, "ZZZZZZZZZZZ"), C::Damaged);                    // entries out of order
    EXPECT_EQ(check(leaf + 8, std::string("\xFF\xFF\xFF\xFF", 4)), C::Damaged); // leaf chain cut
    EXPECT_EQ(check(leaf, std::string("\x07", 1)), C::Damaged);                 // no page type
    EXPECT_EQ(check(0x00C, std::string("\0\0", 2)), C::NotOurs);                // compound header
    EXPECT_EQ(check(0x5FA, "OTHER\0"), C::NotOurs);                             // another tag
    EXPECT_EQ(check(0x60E, "\x61"), C::NotOurs);                                // unique tag
    EXPECT_EQ(check(0x800, "upper(VTEXT)"), C::NotOurs);                        // another expression
    writeBytes(path, good + "x");
    EXPECT_EQ(reattach(), C::NotOurs);
    writeBytes(path, good);
    EXPECT_EQ(reattach(), C::Sound);
}

} // namespace
