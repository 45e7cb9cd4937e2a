#include "platform/Paths.h"
#include "settings/IniFile.h"
#include "tests/platform/RegistrySandbox.h"

#include <gtest/gtest.h>

using namespace arti;
using arti::test::readBytes;
using arti::test::TempDir;
using arti::test::writeBytes;

namespace {

class IniFile : public ::testing::Test {
protected:
    TempDir dir_;
    std::string path_ = dir_.folder() + "version.txt";
};

} // namespace

TEST_F(IniFile, InitPlacesBareNamesInTheCurrentFolder) {
    INIFILE ini;
    ini.INIT("ARTI");
    EXPECT_EQ(ini.FULLPATH(), platform::currentFolder() + "ARTI.INI");
    ini.INIT("/etc/x.d/conf");
    EXPECT_EQ(ini.FULLPATH(), "/etc/x.d/conf.INI"); // a dot in a folder is no extension
    ini.INIT("/srv/arti/version.txt");
    EXPECT_EQ(ini.FULLPATH(), "/srv/arti/version.txt");

    arti::test::RegistrySandbox reg;
    EXPECT_EQ(WININIFILE().FULLPATH(), reg.folder() + platform::kPathSeparator + "win.ini");
}

TEST_F(IniFile, ReadsTheVersionFileOfTheUpdateSite) {
    writeBytes(path_, "[VERSION]\r\nSETUP=23/01/30\r\nUPDATE = 23/02/14 \r\nLEER=\r\nZahl=12abc\r\n"
                      "Pfad=c:\\arti\\daten\r\nName=hans-peter m\xDCLLER\r\n");
    INIFILE ini(path_);
    EXPECT_EQ(ini.GETSTRING("version", "setup"), "23/01/30");
    EXPECT_EQ(ini.GETSTRING("VERSION", "UPDATE"), "23/02/14");
    EXPECT_EQ(ini.GETSTRING("VERSION", "LEER"), "");
    EXPECT_EQ(ini.GETSTRING("VERSION", "FEHLT"), " ");
    EXPECT_EQ(INIFILE(dir_.folder() + "fehlt.ini").GETSTRING("VERSION", "SETUP"), " ");
    EXPECT_EQ(ini.GETINT("VERSION", "Zahl"), 12);
    EXPECT_EQ(ini.GETINT("VERSION", "FEHLT"), 0);
    EXPECT_EQ(ini.GETPATH("VERSION", "Pfad"), std::string("C:\\ARTI\\DATEN") + platform::kPathSeparator);
    EXPECT_EQ(ini.GETSTRINGUPPER("VERSION", "Name"), "HANS-PETER M\xDCLLER");
    EXPECT_EQ(ini.GETSTRINGPROPER("VERSION", "Name"), "Hans-Peter M\xFCller");
    EXPECT_EQ(ini.GETSECTION("version"),
              (std::vector<std::string>{"SETUP", "UPDATE", "LEER", "Zahl", "Pfad", "Name"}));
    EXPECT_TRUE(ini.GETSECTION("FEHLT").empty());
}

TEST_F(IniFile, WritesAndDeletes) {
    INIFILE ini(path_);
    EXPECT_TRUE(ini.WRITESTRING("Neu", "Text", "a;b\\c"));
    EXPECT_TRUE(ini.WRITEINT("Neu", "Zahl", -42));
    EXPECT_TRUE(ini.WRITELOGIC("Neu", "An", true));
    EXPECT_TRUE(ini.WRITESTRINGUPPER("Neu", "Gross",
                                     "stra\xDF"
                                     "e \xE4"));
    EXPECT_TRUE(ini.WRITESTRINGPROPER("Neu", "Proper", "EIN ZWEI"));
    EXPECT_EQ(readBytes(path_), "[Neu]\nText=a;b\\c\nZahl=-42\nAn=TRUE\nGross=STRA\xDF"
                                "E \xC4\nProper=Ein Zwei\n");
    EXPECT_TRUE(ini.GETLOGIC("neu", "an"));
    EXPECT_EQ(ini.GETINT("Neu", "Zahl"), -42);
    EXPECT_TRUE(ini.DELETEENTRY("Neu", "zahl"));
    EXPECT_EQ(ini.GETSTRING("Neu", "Zahl"), " ");
    EXPECT_TRUE(ini.DELETESECTION("NEU"));
    EXPECT_EQ(readBytes(path_), "");
}

TEST_F(IniFile, OemAndScrambledTexts) {
    INIFILE ini(path_);
    ASSERT_TRUE(ini.WRITESTRINGOEM("S", "Name", "M\xFCller"));
    EXPECT_EQ(readBytes(path_), "[S]\nName=M\x81ller\n"); // code page 850
    EXPECT_EQ(ini.GETSTRINGOEM("S", "Name"), "M\xFCller");

    // The program's key is empty: the text is stored as it is.
    ASSERT_TRUE(ini.WRITESTRINGCRYPT("S", "Geheim", "pw"));
    EXPECT_EQ(ini.GETSTRING("S", "Geheim"), "pw");
    EXPECT_EQ(ini.GETSTRINGCRYPT("S", "Geheim"), "pw");
    const std::string scrambled = scrambleText("a=b\n\xE4", "k");
    EXPECT_EQ(scrambled.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(unscrambleText(scrambled, "k"), "a=b\n\xE4");
}

TEST(Usual2Logic, WordsNumbersAndLogic) {
    for (const char* yes : {"true", "J", "Ja", "ON", "1", "y", "ein", "YES"})
        EXPECT_TRUE(USUAL2LOGIC(yes)) << yes;
    for (const char* no : {"", " ", "false", "nein", "2", " ja", "on_/_ja", "_on_"})
        EXPECT_FALSE(USUAL2LOGIC(no)) << no;
    EXPECT_TRUE(USUAL2LOGIC(1));
    EXPECT_FALSE(USUAL2LOGIC(2));
    EXPECT_TRUE(USUAL2LOGIC(1.0));
    EXPECT_FALSE(USUAL2LOGIC(0.5));
    EXPECT_TRUE(USUAL2LOGIC(true));
    EXPECT_FALSE(USUAL2LOGIC(std::string("aus")));
}
