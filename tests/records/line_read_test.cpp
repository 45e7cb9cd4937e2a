// Line reads, and reads mixed with seeks and in-place writes on one file.
#include "RecordTestSupport.h"

#include <vector>

using namespace arti;
using namespace arti::literals;
using arti::test::record128;

namespace {

class LineRead : public arti::test::RecordFileTest {
protected:
    std::string line(FileHandle h, std::size_t max = 130, bool oem = false) {
        return STRING_LES(owner_, h, max, max, oem);
    }
};

TEST_F(LineRead, LinesLongLinesLastLineAndEnd) {
    write("f.dat", "V01\r\n"
                   "\r\n"
                   "A" +
                       std::string(140, 'x') +
                       "\r\n"
                       "B a\rb\nc\r\n"
                       "Cende");
    const FileHandle h = open("f.dat");
    EXPECT_EQ(line(h), "V01");
    EXPECT_EQ(line(h), ""); // an empty line moves on
    EXPECT_EQ(FTELL(h), 7);
    EXPECT_EQ(line(h), "A" + std::string(129, 'x')); // cut, rest of the line skipped
    EXPECT_EQ(line(h), "B a\rb\nc");                 // lone CR and LF are data
    EXPECT_EQ(line(h), "Cende");                     // no CR LF at the end
    EXPECT_TRUE(FEOF(h));
    const long long end = FTELL(h);
    EXPECT_EQ(line(h), ""); // end of file: empty, position kept
    EXPECT_EQ(FTELL(h), end);
    EXPECT_EQ(window_.pumps, 6); // messages let through once per call
}

// The line end is searched many bytes at a time: a lone CR anywhere in a long line is
// data, and a CR LF anywhere ends the line.
TEST_F(LineRead, LoneCrAtEveryPlaceOfALongLine) {
    std::string file;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < 40; ++at) {
        std::string l(40, 'a' + static_cast<char>(at % 26));
        l[at] = '\r';
        if (at + 1 < l.size()) l[at + 1] = at % 2 ? 'x' : '\r'; // also two CRs in a row
        lines.push_back(l);
        file += l + "\r\n";
        lines.push_back(std::string(at, 'k'));
        file += lines.back() + "\r\n";
    }
    write("f.dat", file);
    const FileHandle h = open("f.dat");
    for (const std::string& l : lines)
        ASSERT_EQ(line(h), l);
    EXPECT_EQ(FTELL(h), static_cast<long long>(file.size()));
}

TEST_F(LineRead, OemConversionAndFinalCr) {
    write("f.dat", "A Gr\x94\xE1"
                   "e\r\nB\r");
    const FileHandle h = open("f.dat");
    EXPECT_EQ(line(h, 130, true), "A Größe"_ansi);
    EXPECT_EQ(line(h, 130, true), "B\r");
}

// CR LF pairs and cut lines placed on every side of the read cache's window edge.
TEST_F(LineRead, LinesAcrossCacheWindowEdges) {
    const std::size_t edge = BufferedFile::kBufferSize;
    for (std::size_t shift = 0; shift < 4; ++shift) {
        std::vector<std::string> lines;
        std::string file;
        // Lines of 127 characters, then one that ends so that its CR LF sits at edge - 2 + shift.
        while (file.size() + 129 < edge - 200) {
            lines.push_back("A" + std::string(126, static_cast<char>('a' + lines.size() % 26)));
            file += lines.back() + "\r\n";
        }
        lines.push_back("B" + std::string(edge - 2 + shift - file.size() - 1, 'b'));
        file += lines.back() + "\r\n";
        lines.push_back("C" + std::string(400, 'c')); // over the maximum, crossing nothing special
        file += lines.back() + "\r\n";
        lines.push_back("D");
        file += "D\r\n";
        const std::string name = "edge" + std::to_string(shift) + ".dat";
        write(name, file);
        const FileHandle h = open(name);
        for (const std::string& expected : lines) {
            const std::string got = line(h, 300);
            ASSERT_EQ(got, expected.substr(0, 300)) << "shift " << shift << " line " << expected[0];
        }
        EXPECT_TRUE(FEOF(h));
    }
}

TEST_F(LineRead, LongLineCrossingTheWindowIsSkippedToItsEnd) {
    const std::size_t edge = BufferedFile::kBufferSize;
    const std::string longLine = "A" + std::string(edge + 1000, 'z');
    write("f.dat", "V\r\n" + longLine + "\r\nB\r\n");
    const FileHandle h = open("f.dat");
    EXPECT_EQ(line(h), "V");
    EXPECT_EQ(line(h), longLine.substr(0, 130));
    EXPECT_EQ(line(h), "B");
}

TEST_F(LineRead, FieldWrittenInPlaceIsReadBack) {
    std::string file;
    for (int i = 0; i < 600; ++i)
        file += record128('A', std::to_string(i)) + "\r\n";
    write("f.dat", file);
    const FileHandle h = open("f.dat");
    for (int i = 0; i < 3; ++i)
        line(h); // the cache now holds the first 64 KiB

    // Rewrite a field of record 2 (offset 260) as the field editor does, then read it again.
    ASSERT_EQ(FSEEK(h, 260 + 10), 270);
    EXPECT_TRUE(BIN_W(owner_, h, "Größe"_ansi, 0, true));
    EXPECT_EQ(FTELL(h), 275);
    ASSERT_EQ(FSEEK(h, 260), 260);
    std::string expected = record128('A', "2");
    expected.replace(10, 5, "Größe"_ansi);
    EXPECT_EQ(line(h, 130, true), expected);
    EXPECT_EQ(contents("f.dat").substr(270, 5), "Gr\x94\xE1"
                                                "e"); // on disk as OEM

    // A block read far ahead, a write behind it, and the block read again.
    ASSERT_EQ(FSEEK(h, 500 * 130), 500 * 130);
    const std::string before = BIN_LES(owner_, h, 130, 130, false, "");
    ASSERT_EQ(before, record128('A', "500") + "\r\n");
    FSEEK(h, 500 * 130 + 1);
    EXPECT_TRUE(BIN_W(owner_, h, "XYZ", 2));
    EXPECT_EQ(FSEEK(h, -3, SeekOrigin::Current), 500 * 130);
    EXPECT_EQ(BIN_LES(owner_, h, 130, 130, false, ""), record128('A', "XY0") + "\r\n");
}

TEST_F(LineRead, WriteThroughOneHandleIsSeenByAnother) {
    write("f.dat", "A1111\r\nB2222\r\n");
    const FileHandle reader = open("f.dat", FO_READ);
    const FileHandle writer = open("f.dat");
    EXPECT_EQ(line(reader), "A1111"); // cached
    FSEEK(writer, 8);
    EXPECT_EQ(FWRITE(writer, "99"), 2u);
    EXPECT_EQ(line(reader), "B9922");
    // Re-creating the file empties what the reader had cached.
    const FileHandle again = FCREATE(path("f.dat"));
    ASSERT_NE(again, 0);
    EXPECT_EQ(FWRITE(again, "N\r\n"), 3u);
    FCLOSE(again);
    FSEEK(reader, 0);
    EXPECT_EQ(line(reader), "N");
}

TEST_F(LineRead, BlockWriteLengths) {
    write("f.dat", "0123456789");
    const FileHandle h = open("f.dat");
    EXPECT_TRUE(BIN_W(owner_, h, "ab", 0));   // 0: the whole data
    EXPECT_TRUE(BIN_W(owner_, h, "cdef", 2)); // the first two bytes
    EXPECT_EQ(contents("f.dat"), "abcd456789");
    EXPECT_TRUE(BIN_W(owner_, h, "")); // nothing to write
    EXPECT_FALSE(stops_.stopped);

    // A length beyond the data writes nothing.
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(BIN_W(owner_, h, "xyz", 5));
    EXPECT_EQ(onlyBox(), "Satz-Längen-Fehler\r\nPuffer >xyz\r\n\r\nPufferlänge >3 Bytes\r\nStringlänge >5");
    EXPECT_TRUE(stops_.stopped);
    EXPECT_EQ(contents("f.dat"), "abcd456789");
}

TEST_F(LineRead, WriteFailuresRaiseTheStopRequest) {
    write("f.dat", "0123456789");
    const FileHandle ro = open("f.dat", FO_READ);
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(BIN_W(owner_, ro, "ab"));
    EXPECT_EQ(onlyBox(), "Schreib-Fehler in Binär-Datei !\r\nDer Zugriff auf die Datei wurde verweigert");
    EXPECT_TRUE(stops_.stopped);

    stops_.stopped = false;
    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(BIN_W(owner_, 0, "ab"));
    EXPECT_EQ(onlyBox(), "Schreib-Fehler in Binär-Datei !\r\nunzulässiges Handle");
    EXPECT_TRUE(stops_.stopped);
    EXPECT_EQ(contents("f.dat"), "0123456789");
}

TEST_F(LineRead, ReadErrorOnClosedHandle) {
    write("f.dat", "A\r\n");
    const FileHandle h = FOPEN(path("f.dat"));
    ASSERT_TRUE(FCLOSE(h));
    box_.expect(BoxButton::Ok);
    EXPECT_EQ(line(h), "");
    EXPECT_EQ(onlyBox(), "Lese-Fehler in Binär-Datei !\r\nunzulässiges Handle");
    EXPECT_EQ(window_.pumps, 0);
    EXPECT_EQ(FSEEK(h, 0), -1); // handles are not reused
    EXPECT_EQ(FERROR(), 6);
}

TEST_F(LineRead, SeekAndRawReads) {
    std::string file(3 * BufferedFile::kBufferSize + 17, 'x');
    for (std::size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<char>('a' + i % 23);
    write("f.dat", file);
    const FileHandle h = open("f.dat");
    EXPECT_EQ(FLENGTH(h), static_cast<long long>(file.size()));
    EXPECT_EQ(FREADSTR(h, 10), file.substr(0, 10));
    EXPECT_EQ(FREADSTR(h, 2 * BufferedFile::kBufferSize), file.substr(10, 2 * BufferedFile::kBufferSize));
    EXPECT_EQ(FSEEK(h, -5, SeekOrigin::End), static_cast<long long>(file.size() - 5));
    EXPECT_EQ(FREADSTR(h, 100), file.substr(file.size() - 5));
    EXPECT_EQ(FSEEK(h, -1, SeekOrigin::Start), -1);
    EXPECT_EQ(FERROR(), 87);
    EXPECT_EQ(FTELL(h), static_cast<long long>(file.size()));
    // Behind the end: reads give nothing, a write extends the file.
    EXPECT_EQ(FSEEK(h, 2, SeekOrigin::End), static_cast<long long>(file.size() + 2));
    EXPECT_EQ(FREADSTR(h, 4), "");
    EXPECT_EQ(FWRITE(h, "Z"), 1u);
    EXPECT_EQ(FLENGTH(h), static_cast<long long>(file.size() + 3));
}

TEST_F(LineRead, EndOfFileFollowsTheFile) {
    write("f.dat", "A1\r\nB2\r\n");
    const FileHandle h = open("f.dat");
    FSEEK(h, 100);
    EXPECT_EQ(line(h), ""); // nothing behind the end
    FSEEK(h, 4);
    EXPECT_FALSE(FEOF(h));
    EXPECT_EQ(line(h), "B2");
    EXPECT_TRUE(FEOF(h));
    std::ofstream(path("f.dat"), std::ios::binary | std::ios::app) << "C3\r\n"; // grown by someone else
    EXPECT_FALSE(FEOF(h));
    EXPECT_EQ(line(h), "C3");
    EXPECT_TRUE(FEOF(h));
}

} // namespace
