// The files of the record routines as the system gives them: which handles are the same
// file, bytes and names passed unchanged, and a data file that someone else locks,
// replaces or removes while it is open.
#include "RecordTestSupport.h"

#include "platform/ProfileFile.h"
#include "platform/SystemFile.h"
#include "platform/Unicode.h"
#include "records/XBaseTable.h"

#include <filesystem>
#include <utility>
#include <vector>

using namespace arti;
using namespace arti::literals;

namespace {

#ifdef _WIN32
constexpr bool kNamesIgnoreCase = true; // "A.DAT" names "a.dat"
#else
constexpr bool kNamesIgnoreCase = false;
#endif

class SystemFiles : public test::RecordFileTest {
protected:
    std::string readAt(FileHandle h, long long offset, std::size_t n) {
        FSEEK(h, offset);
        return FREADSTR(h, n);
    }
};

TEST_F(SystemFiles, TheSameFileIsTheSameThroughEveryNameAndNoOtherFileIs) {
    write("a.dat", "A1\r\n");
    write("b.dat", "B1\r\n");
    std::filesystem::create_directory(platform::fsPath(path("sub")));
    std::filesystem::create_hard_link(platform::fsPath(path("a.dat")), platform::fsPath(path("link.dat")));
    struct Case {
        const char* name;
        bool same;
    };
    for (const Case& c :
         {Case{"a.dat", true}, Case{"b.dat", false}, Case{"sub/../a.dat", true}, Case{"link.dat", true},
          Case{"A.DAT", kNamesIgnoreCase}, Case{"fehlt.dat", false}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform::sameFile(path("a.dat"), path(c.name)), c.same);
        const FileHandle h = FOPEN(path("a.dat"), FO_READ);
        EXPECT_EQ(files::namesOpenFile(h, path(c.name)), c.same);
        FCLOSE(h);
    }

    // A write through one file reaches the caches of its other handles, never those of
    // another file.
    const FileHandle a = open("a.dat", FO_READ);
    const FileHandle b = open("b.dat", FO_READ);
    const FileHandle writer = open("a.dat");
    ASSERT_EQ(readAt(a, 0, 4), "A1\r\n");
    ASSERT_EQ(readAt(b, 0, 4), "B1\r\n");
    EXPECT_EQ(FWRITE(writer, "X"), 1u);
    EXPECT_EQ(readAt(a, 0, 4), "X1\r\n");
    EXPECT_EQ(readAt(b, 0, 4), "B1\r\n");
}

TEST_F(SystemFiles, BytesPassUnchanged) {
    const std::string cases[] = {
        "A\r\nB\r\n", "A\nB\n", "A\r\nB\x1A", std::string("\x1A\r\n\x1A\0\r", 6), "\r\r\n\n\x1A\x1A",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        ASSERT_TRUE(WRITE_STREAM(owner_, bytes, path("b.dat"), false, true));
        EXPECT_EQ(contents("b.dat"), bytes);
        EXPECT_EQ(READ_STREAM(owner_, path("b.dat")), bytes);
        ASSERT_TRUE(WRITE_STREAM(owner_, bytes, path("b.dat"), false));
        const FileHandle h = open("b.dat", FO_READ);
        EXPECT_EQ(FLENGTH(h), static_cast<long long>(2 * bytes.size()));
        EXPECT_EQ(FREADSTR(h, 1000), bytes + bytes);
    }
    EXPECT_TRUE(box_.shown.empty());
}

// The folders of `file` below the test folder, made one by one (a long path cannot be
// made in one go everywhere); removed again with the files in them at the end.
class Tree {
public:
    Tree(const std::string& base, const std::string& file) : base_(base) {
        for (auto slash = file.find('/'); slash != std::string::npos; slash = file.find('/', slash + 1)) {
            folders_.push_back(base + file.substr(0, slash));
            EXPECT_EQ(platform::makeFolder(folders_.back()), 0) << folders_.back();
        }
    }
    ~Tree() {
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
            for (const char* name : {"/VTEXT.DBF", "/VTEXT.FPT", "/INTEXT.CDX"})
                platform::removeFile(*it + name);
            for (const std::string& file : files)
                if (file.rfind(*it + "/", 0) == 0) platform::removeFile(file);
            platform::removeFolder(*it);
        }
    }
    std::vector<std::string> files;

private:
    std::string base_;
    std::vector<std::string> folders_;
};

TEST_F(SystemFiles, NamesWithUmlautsBlanksAndLongPathsWork) {
    std::string longName;
    for (int i = 0; i < 6; ++i)
        longName += "Ordner mit einem recht langen Namen Nummer " + std::to_string(i) + " äöü/";
    longName += "Prüfdatei.dat";
    ASSERT_GT(dir_.folder().size() + longName.size(), 300u);
    for (const std::string& name : {std::string("Prüfliste.dat"), std::string("mit Leer zeichen.dat"),
                                    std::string("Ordner ä/Datei ü.dat"), longName}) {
        SCOPED_TRACE(name);
        Tree tree(dir_.folder(), name);
        const std::string file = path(name);
        tree.files = {file, file + ".ini"};
        ASSERT_TRUE(WRITE_STREAM(owner_, "A\r\nB\r\n", file, false, true));
        const FileHandle h = BIN_OPEN(owner_, file, FO_READ);
        ASSERT_NE(h, 0);
        EXPECT_EQ(STRING_LES(owner_, h, 130), "A");
        EXPECT_TRUE(files::namesOpenFile(h, file));
        EXPECT_TRUE(FCLOSE(h));
        EXPECT_EQ(READ_STREAM(owner_, file), "A\r\nB\r\n");

        ASSERT_TRUE(platform::writeProfileString("S", "k", "1", file + ".ini"));
        ASSERT_TRUE(platform::writeProfileString("S", "k", "2", file + ".ini"));
        EXPECT_EQ(platform::getProfileString("S", "k", "", file + ".ini"), "2");

        const std::string folder = file.substr(0, file.rfind('/') + 1);
        std::string why;
        ASSERT_TRUE(XBaseTable::create(XBasePaths::longTextStore(folder), &why)) << why;
        auto store = XBaseTable::open(XBasePaths::longTextStore(folder), XBaseMode::ReadWrite, &why);
        ASSERT_TRUE(store) << why;
        EXPECT_EQ(store->append("K1"), 1u);
        EXPECT_TRUE(store->close());
    }
    EXPECT_TRUE(box_.shown.empty());
}

TEST_F(SystemFiles, ADataFileLockedReplacedOrRemovedWhileOpenGivesAClearResult) {
    enum class Change { Locked, Replaced, Removed };
    struct Case {
        Change change;
        bool nameStays;      // the name still names the open file
        bool nameFreeAtOnce; // a new file can be made under the name at once
    };
    const Case cases[] = {
        {Change::Locked, true, false},
        {Change::Replaced, false, false},
        {Change::Removed, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.change));
        write("d.dat", "ALT\r\n");
        const FileHandle h = FOPEN(path("d.dat"), FO_READ);
        ASSERT_NE(h, 0);
        platform::SystemFile other;
        if (c.change == Change::Locked) {
            ASSERT_EQ(other.open(path("d.dat"), platform::FileMode{.write = true}), 0);
            ASSERT_TRUE(other.lock(platform::FileLock::Exclusive));
        } else if (c.change == Change::Replaced) {
            write("neu.dat", "NEU\r\n");
            ASSERT_EQ(platform::replaceFile(path("neu.dat"), path("d.dat")), 0);
        } else {
            ASSERT_EQ(platform::removeFile(path("d.dat")), 0);
        }
        EXPECT_EQ(files::namesOpenFile(h, path("d.dat")), c.nameStays);
        // The open file reads as it was; where a lock binds (Windows) the read of a locked
        // file fails instead, and the box says why.
        const auto strict = std::exchange(box_.onUnexpected, nullptr); // a box may come
        const std::string line = STRING_LES(owner_, h, 130);
        box_.onUnexpected = strict;
        if (line.empty() && c.change == Change::Locked) {
            EXPECT_NE(onlyBox().find("gesperrt"), std::string::npos);
            EXPECT_EQ(FERROR(), 33);
        } else {
            EXPECT_EQ(line, "ALT");
            EXPECT_TRUE(box_.shown.empty());
        }
        if (c.nameFreeAtOnce) {
            EXPECT_TRUE(WRITE_STREAM(owner_, "NEU\r\n", path("d.dat"), false, true));
            EXPECT_EQ(contents("d.dat"), "NEU\r\n");
        }
        EXPECT_TRUE(FCLOSE(h));
    }
}

} // namespace
