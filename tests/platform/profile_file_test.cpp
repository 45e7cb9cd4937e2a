#include "platform/ProfileFile.h"
#include "platform/SystemFile.h"
#include "platform/Unicode.h"
#include "tests/platform/RegistrySandbox.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

using namespace arti::platform;
using arti::test::readBytes;
using arti::test::TempDir;
using arti::test::writeBytes;

namespace {

FileIdentity identityOf(const std::string& path) {
    return fileIdentity(path).value_or(FileIdentity{});
}

// A file of the temporary folder as a UTF-8 path.
std::string in(const TempDir& dir, const std::string& name) {
    return pathText(dir.path() / fsPath(name));
}

std::size_t filesIn(const TempDir& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++n;
    return n;
}

// Every section, key and value of a document in file order.
std::string contents(const ProfileDocument& doc) {
    std::string out;
    for (const std::string& section : doc.sectionNames()) {
        out += "[" + section + "]";
        for (const std::string& key : doc.keys(section))
            out += key + "=" + doc.get(section, key).value_or("<fehlt>") + "|";
    }
    return out;
}

} // namespace

TEST(ProfileFile, NamesIgnoreCaseAndValuesStayByteExact) {
    ProfileDocument doc;
    ASSERT_TRUE(doc.parse("[Software\\MERIX\\Test]\n"
                          "  Pfad =  C:\\Daten\\Arti\\ ; kein Kommentar  \n"
                          "Liste=a,b;c\n"
                          "Gr\xF6\xDF"
                          "e=M\xE4rz\n"
                          "Quoted=\"  x  \"\n"
                          "Half=\"x\n"
                          "Leer=\n"));
    EXPECT_EQ(doc.get("software\\merix\\TEST", "PFAD"), "C:\\Daten\\Arti\\ ; kein Kommentar");
    EXPECT_EQ(doc.get("Software\\MERIX\\Test", "liste"), "a,b;c");
    EXPECT_EQ(doc.get("Software\\MERIX\\Test", "GR\xD6\xDF"
                                               "E"),
              "M\xE4rz"); // Windows-1252 umlaut folded
    EXPECT_EQ(doc.get("Software\\MERIX\\Test", "Quoted"), "  x  ");
    EXPECT_EQ(doc.get("Software\\MERIX\\Test", "Half"), "\"x");
    EXPECT_EQ(doc.get("Software\\MERIX\\Test", "Leer"), "");
    EXPECT_EQ(doc.get("Software\\MERIX\\Test", "Fehlt"), std::nullopt);
    EXPECT_EQ(doc.get("Software\\MERIX", "Pfad"), std::nullopt);
}

TEST(ProfileFile, RewriteKeepsCommentsOtherLinesAndCrLf) {
    ProfileDocument doc;
    ASSERT_TRUE(doc.parse("; Kopf\r\n[A]\r\nx=1\r\n; zu x\r\nkein Eintrag\r\n\r\n[B]\r\ny=2\r\n"));
    ASSERT_TRUE(doc.set("a", "X", "neu\\wert"));
    ASSERT_TRUE(doc.set("A", "z", "3"));
    ASSERT_TRUE(doc.set("C", "w", "4"));
    EXPECT_EQ(
        doc.text(),
        "; Kopf\r\n[A]\r\nx=neu\\wert\r\n; zu x\r\nkein Eintrag\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n");

    ProfileDocument lf;
    ASSERT_TRUE(lf.parse("[A]\nx=1"));
    lf.set("A", "y", "2");
    EXPECT_EQ(lf.text(), "[A]\nx=1\ny=2\n");
}

TEST(ProfileFile, RefusesWhatWouldBreakTheFile) {
    ProfileDocument doc;
    ASSERT_TRUE(doc.parse("[A]\nx=1\n"));
    EXPECT_FALSE(doc.set("A", "x", "zwei\n[B]\ny=3")); // a value that would add lines
    EXPECT_FALSE(doc.set("A", "k=v", "1"));
    EXPECT_FALSE(doc.set("A", "[B", "1"));
    EXPECT_FALSE(doc.set("A]", "k", "1"));
    EXPECT_EQ(doc.text(), "[A]\nx=1\n");
}

TEST(ProfileFile, DeletesAndListsOverDuplicateSections) {
    ProfileDocument doc;
    ASSERT_TRUE(doc.parse("[A]\nx=1\nX=9\n[b]\nq=1\n[a]\ny=2\nx=3\n"));
    EXPECT_EQ(doc.get("A", "x"), "1"); // the first entry wins
    EXPECT_EQ(doc.keys("A"), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"A", "b"}));
    EXPECT_TRUE(doc.removeEntry("a", "X"));
    EXPECT_EQ(doc.get("A", "x"), std::nullopt); // no older duplicate resurfaces
    EXPECT_FALSE(doc.removeEntry("A", "x"));
    EXPECT_TRUE(doc.removeSection("A"));
    EXPECT_FALSE(doc.hasSection("a"));
    EXPECT_EQ(doc.text(), "[b]\nq=1\n");
}

TEST(ProfileFile, SaveReplacesTheFileWholeOrNotAtAll) {
    TempDir dir;
    const std::string path = in(dir, "x.ini");
    ASSERT_TRUE(writeProfileString("S", "k", "1", path));
    const FileIdentity before = identityOf(path);
    ASSERT_TRUE(writeProfileString("S", "k", "2", path));
    EXPECT_NE(identityOf(path), before) << "written in place instead of renamed";
    EXPECT_EQ(readBytes(path), "[S]\nk=2\n");
    EXPECT_EQ(filesIn(dir), 1u) << "temporary file left behind";

    // A read-only file stays as it was (for the superuser as well).
    ASSERT_EQ(setReadOnly(path, true), 0);
    EXPECT_FALSE(profileFileWritable(path));
    EXPECT_FALSE(writeProfileString("S", "k", "3", path));
    EXPECT_FALSE(deleteProfileSection("S", path));
    EXPECT_EQ(readBytes(path), "[S]\nk=2\n");
    ASSERT_EQ(setReadOnly(path, false), 0);

#ifndef _WIN32 // a folder's read-only attribute means nothing to its files on Windows
    // A read-only folder takes no new file.
    const std::string sub = in(dir, "ro");
    std::filesystem::create_directory(sub);
    ASSERT_EQ(setReadOnly(sub, true), 0);
    EXPECT_FALSE(writeProfileString("S", "k", "1", sub + "/y.ini"));
    EXPECT_FALSE(std::filesystem::exists(sub + "/y.ini"));
    ASSERT_EQ(setReadOnly(sub, false), 0);
#endif
}

TEST(ProfileFile, SaveReplacesAFileThatIsOpenElsewhere) {
    struct Case {
        const char* what;
        FileMode mode;
        bool locked; // a shared lock, as a reader of the file takes it
    };
    const Case cases[] = {
        {"open for reading", FileMode{}, false},
        {"open for writing", FileMode{.write = true}, false},
        {"locked by a reader", FileMode{}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = in(dir, "HKCU.ini");
        ASSERT_TRUE(writeProfileString("S", "k", "1", path));
        SystemFile held;
        ASSERT_EQ(held.open(path, c.mode), 0);
        if (c.locked) {
            ASSERT_TRUE(held.lock(FileLock::Shared));
        }
        EXPECT_TRUE(writeProfileString("S", "k", "2", path));
        EXPECT_TRUE(writeProfileString("S", "k", "3", path));
        EXPECT_EQ(getProfileString("S", "k", "", path), "3");
        held.close();
        EXPECT_EQ(readBytes(path), "[S]\nk=3\n");
        EXPECT_EQ(filesIn(dir), 1u) << "temporary or former file left behind";
    }
}

TEST(ProfileFile, UnreadableFileReadsAsMissingAndIsNotOverwritten) {
    TempDir dir;
    const std::string path = in(dir, "kaputt.ini");
    const std::string garbage("[S]\nk=1\n\0\0\x01", 11);
    writeBytes(path, garbage);
    ProfileDocument doc;
    EXPECT_EQ(doc.load(path), ProfileDocument::LoadStatus::Unreadable);
    EXPECT_EQ(getProfileString("S", "k", "vorgabe", path), "vorgabe");
    EXPECT_FALSE(writeProfileString("S", "k", "2", path));
    EXPECT_EQ(readBytes(path), garbage);

    const std::string folderInstead = in(dir, "ordner.ini");
    std::filesystem::create_directory(folderInstead);
    EXPECT_EQ(doc.load(folderInstead), ProfileDocument::LoadStatus::Unreadable);
    EXPECT_EQ(doc.load(in(dir, "fehlt.ini")), ProfileDocument::LoadStatus::Missing);
    EXPECT_EQ(getProfileString("S", "k", " ", in(dir, "fehlt.ini")), " ");
}

TEST(ProfileFile, FreeFunctionsOnAFile) {
    TempDir dir;
    const std::string path = in(dir, "v.ini");
    writeBytes(path, "\xEF\xBB\xBF[VERSION]\r\nSETUP=23/01/30\r\nUPDATE=23/02/14\r\n");
    EXPECT_EQ(getProfileString("version", "setup", "", path), "23/01/30");
    EXPECT_EQ(getProfileSectionKeys("VERSION", path), (std::vector<std::string>{"SETUP", "UPDATE"}));
    EXPECT_TRUE(deleteProfileEntry("VERSION", "update", path));
    EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF[VERSION]\r\nSETUP=23/01/30\r\n");
}

TEST(ProfileFile, RewritesKeepTheTextNamesAndValues) {
    struct Case {
        const char* what;
        std::string bytes;
        // The file after lines were added behind its last one and taken away again, when
        // that is not `bytes`: the last line then has a real line end.
        const char* withLastLineEnded = nullptr;
    };
    const Case cases[] = {
        {"CR CR before LF", "[A]\nx=1\r\r\ny=2\n"},
        {"CR CR in a CR LF file", "[A]\r\r\nx=1\r\r\ny=2\r\n"},
        {"CR after a name", "[A]\nk\r=1\r\r\n"},
        {"lone CR inside a line", "[A]\nx=1\ry=2\n"},
        {"lone CR at the end", "[A]\r\nx=1\r", "[A]\r\nx=1\r\n"},
        {"LF only", "[A]\nx=1\n\n[B]\ny=2\n"},
        {"line ends mixed", "[A]\r\nx=1\ny=2\r\n"},
        {"no final line end", "[A]\r\nx=1", "[A]\r\nx=1\r\n"},
        {"blanks around values", "[A]\n  x  =  1 2  \n\ty=\t3\t\n"},
        {"quotes", "[A]\nx=\"  q  \"\ny='a'\nz=\"halb\n"},
        {"empty values", "[A]\nx=\ny=   \n"},
        {"bytes beyond ASCII", "\xEF\xBB\xBF[Gr\xF6\xDF"
                               "e]\r\nM\xE4rz=\xE4\xF6\xFC\x80\xFF\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProfileDocument doc;
        ASSERT_TRUE(doc.parse(c.bytes));
        EXPECT_EQ(doc.text(), c.bytes);
        const std::string before = contents(doc);

        // Rewrites of the file for a change elsewhere, then the change taken back.
        TempDir dir;
        const std::string path = in(dir, "r.ini");
        writeBytes(path, c.bytes);
        for (const char* round : {"1", "2", "3"})
            ASSERT_TRUE(writeProfileString("Zusatz", "Runde", round, path));
        ProfileDocument changed;
        ASSERT_EQ(changed.load(path), ProfileDocument::LoadStatus::Loaded);
        EXPECT_EQ(contents(changed), before + "[Zusatz]Runde=3|");
        ASSERT_TRUE(deleteProfileSection("Zusatz", path));
        EXPECT_EQ(readBytes(path), c.withLastLineEnded ? c.withLastLineEnded : c.bytes);
    }
}

TEST(ProfileFile, SaveRemovesOnlyTheTemporaryFilesOfItsFileThatNoSaveHolds) {
    enum class Kind { File, HeldFile, Folder };
    struct Case {
        const char* name;
        Kind kind;
        bool removed;
    };
    const Case cases[] = {
        {".x.ini.save.Ab12Cd", Kind::File, true}, // left by a save that died
        {".x.ini.save.zzzzzz", Kind::File, true},
        {".x.ini.save.Q0q0Q0", Kind::HeldFile, false}, // a save still writing
        {".x.ini.save.Folder", Kind::Folder, false},
        {".y.ini.save.Ab12Cd", Kind::File, false}, // another file's
        {".x.ini.save.Ab12C", Kind::File, false},
        {".x.ini.save.Ab12Cde", Kind::File, false},
        {".x.ini.save.Ab-2Cd", Kind::File, false},
        {"x.ini.save.Ab12Cd", Kind::File, false},
        {".x.ini.backup", Kind::File, false},
        {"x.ini.bak", Kind::File, false},
    };
    TempDir dir;
    const std::string path = in(dir, "x.ini");
    writeBytes(path, "[S]\nk=1\n");
    std::vector<std::unique_ptr<SystemFile>> held;
    for (const Case& c : cases) {
        const std::string file = in(dir, c.name);
        if (c.kind == Kind::Folder) {
            std::filesystem::create_directory(file);
            continue;
        }
        writeBytes(file, "[S]\nk=");
        if (c.kind == Kind::HeldFile) {
            held.push_back(std::make_unique<SystemFile>());
            ASSERT_EQ(held.back()->open(file, FileMode{}), 0);
            ASSERT_TRUE(held.back()->lock(FileLock::Exclusive));
        }
    }

    ASSERT_TRUE(writeProfileString("S", "k", "2", path));
    EXPECT_EQ(readBytes(path), "[S]\nk=2\n");
    for (const Case& c : cases)
        EXPECT_EQ(std::filesystem::exists(dir.path() / c.name), !c.removed) << c.name;
}
