// Opening files, whole-file reads and writes, and the file error box.
#include "RecordTestSupport.h"

#include "platform/SystemFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

using namespace arti;
using namespace arti::literals;

namespace {

class FileErrors : public arti::test::RecordFileTest {
protected:
    // A folder in which no file can be created, or empty when this system has none
    // (a test run as root may write anywhere but /sys).
    std::string unwritableFolder() {
        const std::string folder = path("locked");
        std::filesystem::create_directory(folder);
        std::filesystem::permissions(folder,
                                     std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        for (const std::string& f : {folder, std::string("/sys")}) {
            const std::string probe = f + "/probe";
            const FileHandle h = FCREATE(probe);
            if (h == 0) return f;
            FCLOSE(h);
            platform::removeFile(probe);
        }
        return {};
    }
};

TEST(DosErrors, ErrnoMapping) {
    EXPECT_EQ(dosErrorFromErrno(0), 0);
    EXPECT_EQ(dosErrorFromErrno(ENOENT), 2);
    EXPECT_EQ(dosErrorFromErrno(EISDIR), 5); // a folder opened as a file: access denied
    EXPECT_EQ(dosErrorFromErrno(ETXTBSY), 32);
    EXPECT_EQ(dosErrorFromErrno(ENOSPC), 39);
    EXPECT_EQ(dosErrorFromErrno(EEXIST), 80);
    EXPECT_EQ(dosErrorFromErrno(EHOSTUNREACH), 31); // nothing closer: general failure
}

TEST(DosErrors, MessageTexts) {
    EXPECT_EQ(dosErrorMessage(2, "C:\\a.dat", "Titel"),
              "Titel\r\nC:\\a.dat\r\nDie angegebene Datei wurde nicht gefunden");
    EXPECT_EQ(dosErrorMessage(23, "", ""), "Datenfehler (CRC-Prüfung)"_ansi);
    EXPECT_EQ(dosErrorMessage(0, "x", ""), "x\r\nDer Vorgang wurde erfolgreich beendet");
    // Codes outside the table: the system's text and the code in three places. The text
    // is the system's own: on Windows the one of the code, elsewhere the one of the errno
    // value that gives the code.
    struct Case {
        int code;
        int err; // the errno value whose text a POSIX system shows
        const char* number;
    };
    for (const Case& c : {Case{37, 37, " 37"}, Case{80, EEXIST, " 80"}, Case{1921, ELOOP, "1921"}}) {
        const std::string text = dosErrorText(c.code);
        EXPECT_EQ(text, utf8ToAnsi(platform::systemErrorText(c.code)) + "\r\nDOS Fehler " + c.number);
#ifdef _WIN32
        EXPECT_GT(text.find("\r\n"), 0u) << c.code;
#else
        EXPECT_EQ(platform::systemErrorText(c.code), std::strerror(c.err)) << c.code;
#endif
    }
    EXPECT_EQ(dosErrorText(40).substr(dosErrorText(40).find("\r\n")), "\r\nDOS Fehler  40");
}

TEST_F(FileErrors, ErrorBoxIsOwnedAndCaptioned) {
    box_.expect(BoxButton::Ok);
    DOS_ERRORBOX(owner_, 39);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].owner, owner_);
    EXPECT_EQ(onlyBox(), "Der Datenträger ist voll");
}

TEST_F(FileErrors, OpenFailuresNameTheFile) {
    const std::string missing = path("fehlt.dat");
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(BIN_OPEN(owner_, missing), 0);
    EXPECT_EQ(onlyBox(),
              "Datei-Öffnungs-Fehler !\r\n" + missing + "\r\nDie angegebene Datei wurde nicht gefunden");

    write("datei", "x");
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(BIN_OPEN(owner_, path("datei/unter.dat")), 0);
    EXPECT_NE(onlyBox().find("Der Pfad wurde nicht gefunden"), std::string::npos);

    box_.expect(BoxButton::Ok); // a folder is not a data file
    EXPECT_EQ(BIN_OPEN(owner_, dir_.folder(), FO_READ), 0);
    EXPECT_NE(onlyBox().find("Der Zugriff auf die Datei wurde verweigert"), std::string::npos);

    box_.expect(BoxButton::Ok);
    EXPECT_EQ(BIN_OPEN(owner_, path("datei"), 3), 0);
    EXPECT_NE(onlyBox().find("ungültiger Zugriffscode"), std::string::npos);
}

TEST_F(FileErrors, AnsiFileNamesReachUtf8Files) {
    write("Prüfliste.dat", "A\r\n"); // UTF-8 name on disk
    const FileHandle h = BIN_OPEN(owner_, path("Prüfliste.dat"_ansi));
    ASSERT_NE(h, 0);
    EXPECT_EQ(STRING_LES(owner_, h, 130), "A");
    FCLOSE(h);
}

TEST_F(FileErrors, ReadStream) {
    write("v.ini", "[Version]\r\nText=Gr\x94\xE1"
                   "e\r\n");
    EXPECT_EQ(READ_STREAM(owner_, path("v.ini")), "[Version]\r\nText=Gr\x94\xE1"
                                                  "e\r\n");
    EXPECT_EQ(READ_STREAM(owner_, path("v.ini"), 9), "[Version]");
    EXPECT_EQ(READ_STREAM(owner_, path("v.ini"), 1000, true), "[Version]\r\nText=Größe\r\n"_ansi);
    write("leer", "");
    EXPECT_EQ(READ_STREAM(owner_, path("leer")), "");

    box_.expect(BoxButton::Ok);
    EXPECT_EQ(READ_STREAM(owner_, path("fehlt")), "");
    EXPECT_EQ(onlyBox(), "Datei-Öffnungsfehler !\r\nDie angegebene Datei wurde nicht gefunden");
    EXPECT_FALSE(stops_.stopped);
}

TEST_F(FileErrors, WriteStreamAppendsCreatesAndOverwrites) {
    EXPECT_TRUE(WRITE_STREAM(owner_, "Größe\r\n"_ansi, path("r.txt")));        // created, OEM by default
    EXPECT_TRUE(WRITE_STREAM(owner_, "Größe\r\n"_ansi, path("r.txt"), false)); // appended as is
    EXPECT_EQ(contents("r.txt"), "Gr\x94\xE1"
                                 "e\r\nGr\xF6\xDF"
                                 "e\r\n");
    EXPECT_TRUE(WRITE_STREAM(owner_, "neu", path("r.txt"), false, true));
    EXPECT_EQ(contents("r.txt"), "neu");
}

TEST_F(FileErrors, WriteStreamRefusals) {
    const std::string folder = unwritableFolder();
    if (!folder.empty()) {
        box_.expect(BoxButton::Ok);
        EXPECT_FALSE(WRITE_STREAM(owner_, "x", folder + "/r.txt"));
        EXPECT_EQ(onlyBox(), "Datei konnte nicht erzeugt werden !");
    }
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(WRITE_STREAM(owner_, "x", path("fehlt/r.txt")));
    EXPECT_EQ(onlyBox(), "Datei konnte nicht erzeugt werden !");

    std::filesystem::create_directory(path("ordner")); // exists, but cannot be opened as a file
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(WRITE_STREAM(owner_, "x", path("ordner")));
    EXPECT_EQ(onlyBox(), "Datei konnte nicht geöffnet werden !");
    if (folder.empty()) GTEST_SKIP() << "no unwritable folder on this system";
}

} // namespace
