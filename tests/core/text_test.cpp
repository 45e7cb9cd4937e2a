#include "core/ByteMatch.h"
#include "core/Dates.h"
#include "core/Text.h"

#include <gtest/gtest.h>

using namespace arti;
using namespace arti::literals;

TEST(Text, AnsiLiteralAndUtf8RoundTrip) {
    const std::string s = "Prüfung Größe €"_ansi;
    EXPECT_EQ(s, std::string("Pr\xFC"
                             "fung Gr\xF6\xDF"
                             "e \x80"));
    EXPECT_EQ(ansiToUtf8(s), "Prüfung Größe €");
    // Undefined bytes of the code page survive a round trip, unmappable characters become '?'.
    EXPECT_EQ(utf8ToAnsi(ansiToUtf8("\x81\x8D\x9D")), "\x81\x8D\x9D");
    EXPECT_EQ(utf8ToAnsi("→ \xFF"), "? ?");
}

TEST(Text, CaseAndTrim) {
    EXPECT_EQ(upper("straße äöü šÿ"_ansi), "STRAßE ÄÖÜ ŠŸ"_ansi);
    EXPECT_EQ(lower("ÄÖÜ ABC"_ansi), "äöü abc"_ansi);
    EXPECT_TRUE(equalsNoCase("InstallPath", "INSTALLPATH"));
    // The search in the lower case of a text, as the log counts its errors.
    EXPECT_TRUE(containsLowered("Satz 3, FEHLER in Feld 2", "fehler"));
    EXPECT_TRUE(containsLowered("ABBRUCH DER PRÜFUNG !"_ansi, lower("Abbruch der Prüfung"_ansi)));
    EXPECT_TRUE(containsLowered("Fehler", "fehler"));
    EXPECT_TRUE(containsLowered("x", ""));
    EXPECT_FALSE(containsLowered("Fehle", "fehler"));
    EXPECT_FALSE(containsLowered("FFEHLEFEHLE R", "fehler"));
    // A first byte without case is looked for with memchr, up to the last place it fits.
    EXPECT_TRUE(containsLowered("<<a<!DocType HTML", "<!doctype html"));
    EXPECT_FALSE(containsLowered("<!DocType HTM<", "<!doctype html"));
    EXPECT_FALSE(containsLowered(std::string_view("<\0<!doctype", 11), "<!doctype html"));
    EXPECT_EQ(trim("  a b \t "), "a b \t");
    EXPECT_EQ(trim("    "), "");
}

TEST(Text, Numbers) {
    EXPECT_EQ(toNumber("  12abc"), 12);
    EXPECT_EQ(toNumber("abc"), 0);
    EXPECT_EQ(toNumber("-7"), -7);
    EXPECT_FALSE(parseInteger("12abc"));
    EXPECT_EQ(parseInteger(" 25 "), 25);
    EXPECT_EQ(groupedNumber(130000000), "130.000.000");
    EXPECT_EQ(groupedNumber(999), "999");
    EXPECT_EQ(hexNumber(13), "D");
    EXPECT_EQ(padLeft("37", 3), " 37");
}

TEST(Dates, GermanFormAndCenturyWindow) {
    using namespace std::chrono;
    EXPECT_EQ(formatDate(year{2026} / 12 / 8), "08.12.2026");
    EXPECT_EQ(parseDate("8.12.26"), year{2026} / 12 / 8);
    EXPECT_EQ(parseDate("01.01.90"), year{1990} / 1 / 1);
    EXPECT_EQ(parseDate("31.12.89"), year{2089} / 12 / 31);
    EXPECT_FALSE(parseDate("31.02.2026"));
    EXPECT_FALSE(parseDate(""));
    EXPECT_FALSE(parseDate("1.1.202"));
    EXPECT_EQ(addDays(year{2026} / 12 / 8, 30), year{2027} / 1 / 7);
    EXPECT_EQ(formatDateTime({year{2026} / 1 / 2, 9, 5, 59}), "02.01.2026 09:05");
}

// Every byte equal to the one looked for is marked, no other (neighbouring values, bytes
// with the top bit, a match next to another), and the first mark names its index.
TEST(ByteMatch, MarksExactlyTheEqualBytes) {
    const std::string words[] = {std::string("\r\n\x0C\x0E\x8D\r\xFF\r", 8),
                                 std::string("\x00\x01\x80\x7F;;\xBB;", 8), std::string("abcdefgh", 8),
                                 std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8)};
    for (const std::string& w : words) {
        for (const unsigned char c : {'\r', ';', '\0', '\x80', '\xFF', 'h'}) {
            const std::uint64_t m = bytes::matches(bytes::word(w.data()), c);
            std::size_t first = 8;
            for (std::size_t i = 0; i < 8; ++i) {
                const bool equal = static_cast<unsigned char>(w[i]) == c;
                if (equal && first == 8) first = i;
                EXPECT_EQ((m >> (8 * i + 7)) & 1, equal ? 1u : 0u) << int(c) << " at " << i;
            }
            EXPECT_EQ(m & ~0x8080808080808080ULL, 0u);
            if (m != 0) {
                EXPECT_EQ(bytes::firstMatch(m), first) << int(c);
            }
        }
    }
}

TEST(Dates, LocalTimeIsTheCalendarOfTheInstant) {
    // Whatever the zone, the local fields name the instant again (mktime reads them
    // back) and form a valid calendar date and time of day.
    for (const std::time_t t : {std::time_t{172800}, std::time_t{951782400}, std::time_t{1704067199},
                                std::time_t{1719792000}, std::time(nullptr)}) {
        SCOPED_TRACE(static_cast<long long>(t));
        std::tm tm = localTime(t);
        const Date d = std::chrono::year{tm.tm_year + 1900} /
                       std::chrono::month{static_cast<unsigned>(tm.tm_mon + 1)} /
                       std::chrono::day{static_cast<unsigned>(tm.tm_mday)};
        EXPECT_TRUE(d.ok());
        EXPECT_TRUE(tm.tm_hour >= 0 && tm.tm_hour < 24 && tm.tm_min >= 0 && tm.tm_min < 60);
        EXPECT_EQ(std::mktime(&tm), t);
    }
}
