// Block reads of fixed 130-byte records (128 characters and CR LF).
#include "RecordTestSupport.h"

#include <limits>

using namespace arti;
using namespace arti::literals;
using arti::test::record128;

namespace {

class BlockRead : public arti::test::RecordFileTest {
protected:
    std::string read130(FileHandle h, bool oem = false, const std::string& nul = "\xFA") {
        return BIN_LES(owner_, h, 130, 130, oem, nul);
    }
};

TEST_F(BlockRead, GoodRecordsAreReturnedWithCrLfAndConverted) {
    const std::string r1 = record128('V', "Kopf") + "\r\n";
    const std::string r2 = record128('A', "M\x94rtel \x84tzend") + "\r\n"; // OEM ö, ä
    write("f.dat", r1 + r2);
    const FileHandle h = open("f.dat");
    EXPECT_EQ(read130(h, true), r1);
    EXPECT_EQ(read130(h, true), record128('A', "Mörtel ätzend"_ansi) + "\r\n");
    EXPECT_EQ(FTELL(h), 260);
    EXPECT_FALSE(stops_.stopped);
}

TEST_F(BlockRead, NulIsReplacedBeforeTheOemConversion) {
    std::string rec = record128('A', "x") + "\r\n";
    rec[5] = '\0';
    rec[127] = '\0';
    write("f.dat", rec + rec + rec + rec);
    const FileHandle h = open("f.dat");
    std::string got = read130(h, true);
    EXPECT_EQ(static_cast<unsigned char>(got[5]), 0xB7); // 0 -> FA -> OEM FA is '·'
    EXPECT_EQ(static_cast<unsigned char>(got[127]), 0xB7);
    got = read130(h, false);
    EXPECT_EQ(static_cast<unsigned char>(got[127]), 0xFA);
    EXPECT_EQ(read130(h, false, ""), rec); // no replacement: NUL stays
    got = read130(h, false, "<>");         // a longer replacement lengthens the record
    EXPECT_EQ(got.size(), 132u);
    EXPECT_EQ(got.substr(4, 4), " <> ");
}

TEST_F(BlockRead, NulsAndEndMarksAreFoundAtEveryPlaceOfTheRecord) {
    // The record is scanned eight bytes at a time: every place of the 128 characters,
    // at a word's edges and between, must be seen.
    std::string file;
    for (std::size_t at = 1; at < 128; ++at) {
        std::string rec = record128('A', "x") + "\r\n";
        rec[at] = '\0';
        file += rec;
    }
    for (const std::size_t at : {1u, 7u, 8u, 63u, 64u, 120u, 127u}) {
        std::string rec = record128('A', "x") + "\r\n";
        rec[at] = '\x1A';
        file += rec;
    }
    write("f.dat", file);
    const FileHandle h = open("f.dat");
    for (std::size_t at = 1; at < 128; ++at) {
        const std::string got = read130(h, false);
        ASSERT_EQ(got.size(), 130u);
        EXPECT_EQ(static_cast<unsigned char>(got[at]), 0xFA) << at;
        EXPECT_EQ(got.find('\0'), std::string::npos) << at;
    }
    for (const std::size_t at : {1u, 7u, 8u, 63u, 64u, 120u, 127u}) {
        box_.expect(BoxButton::Ok);
        EXPECT_EQ(read130(h, false), "") << at;
        ASSERT_EQ(box_.shown.size(), 1u) << at;
        EXPECT_NE(box_.shown.back().text.find("Datei-ENDE-Marke 1A"), std::string::npos) << at;
        box_.shown.clear();
        stops_.stopped = false;
    }
}

TEST_F(BlockRead, ShortBlockAtEndIsPaddedAndRefusedWithByteCodes) {
    const std::string body = record128('A', "ENDE") + "\r\n";
    write("f.dat", body + "B1234567");
    const FileHandle h = open("f.dat");
    ASSERT_EQ(read130(h), body);
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(read130(h), "");
    EXPECT_TRUE(stops_.stopped);
    const std::string blanks65 = "B1234567" + std::string(57, ' ');
    EXPECT_EQ(onlyBox(), "Warnung ! Satz-ENDE-Marke 0D0A nicht erkannt !\r\nbei Byte 136\r\n"
                         "gelesener Wert1 ist Dezimal 32 = Hex 20\r\n"
                         "gelesener Wert2 ist Dezimal 32 = Hex 20\r\n>" +
                             blanks65 + "\r\n" + std::string(65, ' ') + "<\r\n\r\nAbbruch des Lesevorganges");
    EXPECT_EQ(FTELL(h), 138);
    EXPECT_TRUE(FEOF(h));
}

TEST_F(BlockRead, MissingCrLfShowsTheLastTwoBytesInDecimalAndUpperHex) {
    std::string rec = record128('A', "x") + "\r\n";
    rec[128] = '\r';
    rec[129] = '\xFF';
    write("f.dat", rec);
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(read130(open("f.dat")), "");
    const std::string text = onlyBox();
    EXPECT_NE(text.find("bei Byte 128\r\ngelesener Wert1 ist Dezimal 13 = Hex D\r\n"
                        "gelesener Wert2 ist Dezimal 255 = Hex FF\r\n>A"),
              std::string::npos)
        << text;
}

TEST_F(BlockRead, CrLfInsideTheBlockIsRefused) {
    std::string rec = record128('A', "x") + "\r\n";
    rec[100] = '\r';
    rec[101] = '\n';
    rec[128] = 'y';
    rec[129] = 'z';
    rec[50] = '\x1A'; // the misplaced CR LF is reported first
    write("f.dat", rec);
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(read130(open("f.dat")), "");
    EXPECT_EQ(onlyBox(), "Warnung !  Fehlerhafter Satz\r\n\r\nCRLF nicht am Ende, Abbruch des Lesevorganges");
    EXPECT_TRUE(stops_.stopped);
}

TEST_F(BlockRead, EndOfFileMarkInsideTheBlockNamesThePositionAfterTheRead) {
    const std::string good = record128('A', "x") + "\r\n";
    std::string bad = good;
    bad[40] = '\x1A';
    write("f.dat", good + bad);
    const FileHandle h = open("f.dat");
    ASSERT_EQ(read130(h), good);
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(read130(h), "");
    EXPECT_EQ(onlyBox(), "Datei-ENDE-Marke 1A innerhalb des Puffers erkannt !\r\nbei Byte 260\r\n\r\n"
                         "Abbruch des Lesevorganges");
    EXPECT_TRUE(stops_.stopped);
}

TEST_F(BlockRead, BlankRecordIsRefused) {
    write("f.dat", std::string(64, ' ') + "\t" + std::string(63, ' ') + "\r\n");
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(read130(open("f.dat")), "");
    EXPECT_EQ(onlyBox(), "Warnung !  Kein Satz-Inhalt !\r\n\r\nAbbruch des Lesevorganges");
    EXPECT_TRUE(stops_.stopped);
}

TEST_F(BlockRead, OneByteReadsAreUnchecked) {
    write("f.dat", "A\x1A");
    const FileHandle h = open("f.dat");
    EXPECT_EQ(BIN_LES(owner_, h, 1, 1, true, "\xFA"), "A");
    EXPECT_EQ(BIN_LES(owner_, h, 1, 1, true, "\xFA"), "\x1A");
    EXPECT_EQ(BIN_LES(owner_, h, 1, 1, true, "\xFA"), " "); // behind the end: the blank pad
    EXPECT_EQ(BIN_LES(owner_, h, 0, 0, true, "\xFA"), "");
    EXPECT_FALSE(stops_.stopped);
}

TEST_F(BlockRead, InvalidHandleIsAReadErrorWithoutStopRequest) {
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(read130(4711), "");
    EXPECT_EQ(onlyBox(), "Lese-Fehler in Binär-Datei !\r\nunzulässiges Handle");
    EXPECT_FALSE(stops_.stopped);
    EXPECT_EQ(box_.shown.size(), 0u);
}

TEST_F(BlockRead, HugeByteCountIsReportedNotThrown) {
    write("f.dat", "x");
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(BIN_LES(owner_, open("f.dat"), std::numeric_limits<std::size_t>::max()), "");
    EXPECT_NE(onlyBox().find("nicht genügend Speicher"), std::string::npos);
}

} // namespace
