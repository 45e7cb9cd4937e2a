// The eight-byte scans of the field checks against plain byte loops: every byte value at
// every place of texts of every length up to five words, and random texts.
#include "rules/FieldScan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace arti;

namespace {

bool within(std::string_view v, unsigned lo, unsigned hi) {
    for (const char c : v) {
        const auto b = static_cast<unsigned char>(c);
        if (b < lo || b > hi) return false;
    }
    return true;
}

bool noControl(std::string_view v) {
    return within(v, 32, 255);
}

// The sixteen-byte scans of whole records.
bool wideAscii(std::string_view v) {
    return scan::allWithinWide<32, 126>(v);
}
bool wideNoControl(std::string_view v) {
    return scan::allWithinWide<32, 255>(v);
}

// Texts of every length from 0 to 40 (two sixteen-byte blocks and a part) made of `fill`, with `odd` at one
// place (or none), passed to `check`.
template <typename Check> void everyPlace(char fill, char odd, Check check) {
    for (std::size_t len = 0; len <= 40; ++len) {
        std::string s(len, fill);
        check(std::string_view(s));
        for (std::size_t at = 0; at < len; ++at) {
            s.assign(len, fill);
            s[at] = odd;
            check(std::string_view(s));
        }
    }
}

TEST(FieldScan, RangeTestsAgreeWithTheByteLoopForEveryByteAtEveryPlace) {
    for (int b = 0; b < 256; ++b) {
        const char odd = static_cast<char>(b);
        for (const char fill : {' ', '0', '5', 'A', '~'}) {
            everyPlace(fill, odd, [&](std::string_view v) {
                ASSERT_EQ(scan::blankOnly(v), within(v, 32, 32)) << b << " " << v.size();
                ASSERT_EQ(scan::digitsOnly(v), within(v, '0', '9')) << b << " " << v.size();
                ASSERT_EQ(scan::printableAscii(v), within(v, 32, 126)) << b << " " << v.size();
                ASSERT_EQ(scan::noControlCharacters(v), noControl(v)) << b << " " << v.size();
                ASSERT_EQ(wideAscii(v), within(v, 32, 126)) << b << " " << v.size();
                ASSERT_EQ(wideNoControl(v), noControl(v)) << b << " " << v.size();
            });
        }
    }
}

TEST(FieldScan, RangeTestsAgreeWithTheByteLoopOnRandomTexts) {
    std::mt19937 rng(7);
    // Bytes near the limits are the interesting ones: a carry or borrow between bytes
    // would show with them.
    const std::string alphabet("\x00\x01\x1F\x20\x21\x2F\x30\x39\x3A\x7E\x7F\x80\x81\xC4\xFE\xFF", 16);
    for (int i = 0; i < 200000; ++i) {
        std::string s(rng() % 40, ' ');
        for (char& c : s)
            c = alphabet[rng() % alphabet.size()];
        // Most texts are mostly fine: then a single odd byte decides.
        if (i % 2 == 0)
            for (char& c : s)
                if (rng() % 8 != 0) c = 'x';
        const std::string_view v(s);
        ASSERT_EQ(scan::printableAscii(v), within(v, 32, 126));
        ASSERT_EQ(scan::digitsOnly(v), within(v, '0', '9'));
        ASSERT_EQ(scan::blankOnly(v), within(v, 32, 32));
        ASSERT_EQ(scan::noControlCharacters(v), noControl(v));
        ASSERT_EQ(wideAscii(v), within(v, 32, 126));
        ASSERT_EQ(wideNoControl(v), noControl(v));
    }
}

TEST(FieldScan, ListContainmentIsTheSearchOfTheListText) {
    const std::string_view list = "01/11/12/13/21";
    for (const std::string_view v : {"", "01", "1", "11", "1/1", "21", "13/21", "01/11/12/13/21", "2", "/",
                                     "22", "01/11/12/13/21/", "x", "3/2", "14"})
        EXPECT_EQ(scan::listContains(list, v), list.find(v) != std::string_view::npos) << v;
    EXPECT_TRUE(scan::listContains("", ""));
    EXPECT_FALSE(scan::listContains("", "A"));
    EXPECT_TRUE(scan::listContains(" /D/W/A", " "));
}

} // namespace
