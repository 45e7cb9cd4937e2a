#include "core/Oem.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace arti;
using namespace arti::literals;

TEST(Oem, GermanLettersBothWays) {
    const std::string oem = "\x84\x94\x81\x8E\x99\x9A\xE1 Stra\xE1"
                            "e";
    const std::string ansi = "äöüÄÖÜß Straße"_ansi;
    EXPECT_EQ(oemToAnsiCopy(oem), ansi);
    EXPECT_EQ(ansiToOemCopy(ansi), oem);
}

TEST(Oem, BestFitBytes) {
    // Box drawing and shades have no 1252 letter: Windows' best fit.
    EXPECT_EQ(oemToAnsiByte(0xB3), 0xA6);
    EXPECT_EQ(oemToAnsiByte(0xC4), '-');
    EXPECT_EQ(oemToAnsiByte(0xDA), '+');
    EXPECT_EQ(oemToAnsiByte(0xD5), 'i');
    // 1252 punctuation that 850 lacks.
    EXPECT_EQ(ansiToOemByte(0x95), 0x07); // bullet
    EXPECT_EQ(ansiToOemByte(0x80), '?');  // euro
    EXPECT_EQ(ansiToOemByte(0x84), '"');
    EXPECT_EQ(ansiToOemByte(0x9F), 'Y');
}

TEST(Oem, ControlBytesAndNulPassThroughTheWholeBuffer) {
    std::string buf("\x84\0\x1A\x7F\r\n\x94", 7);
    oemToAnsi(buf);
    EXPECT_EQ(buf, std::string("\xE4\0\x1A\x7F\r\n\xF6", 7)); // converted past the NUL
    ansiToOem(buf);
    EXPECT_EQ(buf, std::string("\x84\0\x1A\x7F\r\n\x94", 7));
}

TEST(Oem, ExactlyTheSharedCharactersRoundTrip) {
    // The 31 bytes of 850 that only have a best-fit image in 1252.
    const std::set<int> bestFit = {0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB9, 0xBA, 0xBB, 0xBC, 0xBF, 0xC0,
                                   0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD,
                                   0xCE, 0xD5, 0xD9, 0xDA, 0xDB, 0xDC, 0xDF, 0xF2, 0xFE};
    std::set<int> images;
    int exact = 0;
    for (int b = 0; b < 256; ++b) {
        const auto a = oemToAnsiByte(static_cast<unsigned char>(b));
        const bool back = ansiToOemByte(a) == b;
        EXPECT_EQ(back, bestFit.count(b) == 0) << "OEM byte " << b;
        if (back) {
            ++exact;
            images.insert(a);
            EXPECT_EQ(oemToAnsiByte(ansiToOemByte(a)), a) << "ANSI byte " << int(a);
        }
    }
    EXPECT_EQ(exact, 225);
    EXPECT_EQ(images.size(), 225u); // no two OEM letters share an ANSI letter
}

// Buffers are converted sixteen or eight bytes at a time after one look for bytes above
// 127: a byte above 127 at any place of a buffer of any length is converted, and nothing
// else changes.
TEST(Oem, EveryPlaceOfEveryLengthIsConverted) {
    for (std::size_t length = 1; length <= 48; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string buf(length, 'a');
            buf[at] = '\x84';
            if (length > 20) buf[length - 1 - at % 5] = '\xE1';
            std::string expected = buf;
            for (char& c : expected)
                c = static_cast<char>(oemToAnsiByte(static_cast<unsigned char>(c)));
            oemToAnsi(buf);
            ASSERT_EQ(buf, expected) << "length " << length << ", place " << at;
        }
    }
}
