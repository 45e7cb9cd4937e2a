#include "platform/Unicode.h"

#include <gtest/gtest.h>

using namespace arti::platform;

TEST(Unicode, NamesSurviveTheWayThroughUtf16AndBadBytesBecomeReplacements) {
    struct Case {
        std::string in;
        std::u16string wide;
        std::string back;
    };
    const Case cases[] = {
        {"Preisliste.dat", u"Preisliste.dat", "Preisliste.dat"},
        {"M\xC3\xBCller \xC3\x84nderung.txt", u"M\u00FCller \u00C4nderung.txt",
         "M\xC3\xBCller \xC3\x84nderung.txt"},
        {"\xE2\x82\xAC", u"\u20AC", "\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        // Windows-1252 bytes, a truncated sequence, an overlong slash, a surrogate.
        {"M\xFCller", u"M\uFFFDller", "M\xEF\xBF\xBDller"},
        {"a\xE2\x82", u"a\uFFFD\uFFFD", "a\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC0\xAF", u"\uFFFD\uFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf16(c.in), c.wide) << c.in;
        EXPECT_EQ(utf8(utf16(c.in)), c.back) << c.in;
    }
    EXPECT_EQ(utf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(pathText(fsPath("Ordner \xC3\xA4/Datei")), "Ordner \xC3\xA4/Datei");
}
