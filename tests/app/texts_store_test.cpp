// Long texts of 01/96 text records: preparing the table at the choice of a file,
// collecting the lines per key, and reading the text records with the record step.
#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "records/FileAccess.h"
#include "run/CheckFunctions.h"
#include "settings/Settings.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TempDir.h"
#include "tools/gen/XBaseTestFiles.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

using namespace arti;
using namespace arti::test;
using ::testing::HasSubstr;

namespace {

std::string record(std::string content) {
    content.resize(128, ' ');
    return content + "\r\n";
}

std::string pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

// A text record: key at 4-14, line numbers at 15-17 and 71-73, lines at 18-57 and 74-113.
std::string textRecord(const std::string& key, int first, const std::string& line1, int second,
                       const std::string& line2) {
    std::string r = "T1 " + pad(key, 11) + pad(std::to_string(first), 3) + pad(line1, 40);
    r = pad(r, 70) + pad(std::to_string(second), 3) + pad(line2, 40);
    return pad(r, 128);
}

class TextsTest : public MainWindowFixture {
protected:
    TextsTest() {
        savedInstallPath_ = settings().installPath;
        settings().installPath = dir_.folder();
        wnd_.handSettings();
        wnd_.engine.useLog(FCREATE(dir_.folder() + "Error.log"));
        wnd_.run.LVORLAUF_ = true;
        wnd_.run.texts.allowStoring();
    }
    ~TextsTest() override {
        wnd_.engine.closeTextTable();
        wnd_.engine.closeFiles();
        settings().installPath = savedInstallPath_;
        wnd_.run.stopRequest = false;
    }

    // Stores one text record read at `offset`.
    void store(const std::string& rec, long long offset) {
        wnd_.run.NZEIGER_ = offset;
        wnd_.DBTEXT(rec);
    }
    std::string memo(std::uint32_t row) { return wnd_.run.texts.table()->memo(row).value_or("<none>"); }
    // The error log so far, as UTF-8.
    std::string log() {
        wnd_.engine.flushLog();
        std::ifstream in(dir_.folder() + "Error.log", std::ios::binary);
        return ansiToUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
    }

private:
    std::string savedInstallPath_;
};

TEST_F(TextsTest, PreparingCreatesTheTableAndAsksAboutOldRows) {
    wnd_.run.texts.prepare(wnd_.engine, wnd_.run.parameters.dataFolder);
    EXPECT_TRUE(wnd_.run.texts.collecting() && wnd_.run.texts.mayStore());
    ASSERT_TRUE(wnd_.run.texts.table());
    EXPECT_TRUE(std::filesystem::exists(dir_.path() / "INTEXT.CDX"));
    wnd_.run.texts.table()->append("OLD");

    box_.expect(BoxButton::No);
    wnd_.run.texts.prepare(wnd_.engine, wnd_.run.parameters.dataFolder);
    EXPECT_EQ(box_.shown.back().caption + box_.shown.back().text,
              "FrageEs sind Texte aus einem vorherigen Lauf gespeichert !\r\n\r\nSollen diese Texte gelöscht "
              "werden ?");
    EXPECT_FALSE(wnd_.run.texts.mayStore()) << "kept texts: none of this file are stored";
    EXPECT_TRUE(wnd_.run.texts.table()->seek("old").has_value());

    box_.expect(BoxButton::Yes);
    wnd_.run.texts.allowStoring();
    wnd_.run.texts.prepare(wnd_.engine, wnd_.run.parameters.dataFolder);
    EXPECT_EQ(wnd_.run.texts.table()->rowCount(), 0u);
    EXPECT_TRUE(wnd_.run.texts.mayStore());
}

TEST_F(TextsTest, RecordsWithTheSameKeyFormOneText) {
    wnd_.run.texts.prepare(wnd_.engine, wnd_.run.parameters.dataFolder);
    store(textRecord("Art-0001", 1, "Zeile eins", 2, "Zeile zwei"), 260);
    store(textRecord("Art-0001", 3, "Zeile drei", 4, "Zeile vier"), 390);
    ASSERT_EQ(wnd_.run.texts.table()->rowCount(), 1u);
    EXPECT_EQ(memo(1), pad("Zeile eins", 40) + "\r\n" + pad("Zeile zwei", 40) + "\r\n" +
                           pad("Zeile drei", 40) + "\r\n" + pad("Zeile vier", 40) + "\r\n");
    EXPECT_EQ(wnd_.run.texts.table()->seek("ART-0001"), 1u) << "keys are found in any letter case";
    EXPECT_EQ(wnd_.run.texts.table()->seek("art-0001"), 1u);
}

TEST_F(TextsTest, EmptySecondLineEndsTheText) {
    wnd_.run.texts.prepare(wnd_.engine, wnd_.run.parameters.dataFolder);
    store(textRecord("ART-0001", 1, "erste", 0, "bleibt weg"), 260);
    EXPECT_EQ(wnd_.run.texts.collectedKey(), "");
    store(textRecord("ART-0001", 1, "neu", 0, ""), 390);
    ASSERT_EQ(wnd_.run.texts.table()->rowCount(), 2u);
    EXPECT_EQ(memo(1), pad("erste", 40) + "\r\n");
    EXPECT_EQ(memo(2), pad("neu", 40) + "\r\n");
    store(textRecord("ART-0002", 0, "", 2, "nur zwei"), 520);
    EXPECT_EQ(memo(3), pad("nur zwei", 40) + "\r\n");
    EXPECT_EQ(wnd_.run.texts.collectedKey(), "ART-0002   ");
}

TEST_F(TextsTest, TextRecordsAreStoredOnceWhateverTheStepping) {
    const std::string path = dir_.folder() + "ELDANORM.001";
    std::string header = pad("V01012023", 99) + "11100010";
    header = pad(header, 124) + "0196";
    std::ofstream(path, std::ios::binary)
        << record(header) + record("K1") + record(textRecord("ART-0001", 1, "a", 2, "b")) +
               record(textRecord("ART-0001", 3, "c", 0, "")) + record("A1") + '\x1A';
    wnd_.run.source.attach(BIN_OPEN(wnd_.owner(), path));
    wnd_.run.source.setEndsInMark(true);
    wnd_.run.source.setHeaderEnd(131);
    wnd_.run.recordCounter = 1;
    wnd_.engine.showVersion(versionOf("0196"), "0196");
    wnd_.engine.showAnnouncement("ABDT");
    FSEEK(wnd_.run.source.handle(), 130);
    wnd_.run.texts.prepare(wnd_.engine, wnd_.run.parameters.dataFolder);

    wnd_.PSHNEXT(); // K
    wnd_.PSHNEXT(); // first text record
    wnd_.PSHNEXT(); // second text record
    wnd_.PSHBACK();
    EXPECT_EQ(wnd_.run.NZEIGER_, 260);
    wnd_.PSHNEXT();
    EXPECT_EQ(wnd_.run.NZEIGER_, 390);
    ASSERT_TRUE(wnd_.run.texts.table());
    ASSERT_EQ(wnd_.run.texts.table()->rowCount(), 1u);
    EXPECT_EQ(memo(1), pad("a", 40) + "\r\n" + pad("b", 40) + "\r\n" + pad("c", 40) + "\r\n");

    // The first article ends the texts.
    wnd_.PSHNEXT();
    EXPECT_FALSE(wnd_.run.texts.collecting());
    EXPECT_FALSE(wnd_.run.texts.table());
}

TEST_F(TextsTest, TableThatCannotBeCreatedLeavesTheCheckGoing) {
    settings().installPath = dir_.folder() + "missing/";
    wnd_.handSettings();
    box_.expect(BoxButton::Ok);
    wnd_.run.texts.prepare(wnd_.engine, wnd_.run.parameters.dataFolder);
    EXPECT_EQ(box_.shown.back().text, "Datei VTEXT konnte nicht erzeugt werden");
    EXPECT_FALSE(wnd_.run.texts.collecting());
    EXPECT_FALSE(wnd_.run.texts.table());
    store(textRecord("ART-0001", 1, "a", 0, ""), 260);
}

TEST_F(TextsTest, AStoreThatCannotTakeTheTextsIsAnErrorInTheLog) {
    const XBasePaths paths = XBasePaths::longTextStore(dir_.folder());
    // What the disk full at the making of the store left behind: a table without its
    // memo file and index.
    auto halfStore = [&paths]() -> std::unique_ptr<XBaseTable> {
        XBaseTable::create(paths);
        std::filesystem::resize_file(paths.memo, 0);
        std::filesystem::remove(paths.index);
        return nullptr;
    };
    struct Case {
        const char* name;
        std::function<std::unique_ptr<XBaseTable>()> spoil; // returns a table held open meanwhile
        BoxButton answer;                                   // to the one box shown
        const char* logged;                                 // UTF-8
        bool kept;                                          // the texts of the file are stored
    };
    const std::vector<Case> cases = {
        {"store in use",
         [&paths] {
             XBaseTable::create(paths);
             return XBaseTable::open(paths, XBaseMode::ReadWrite);
         },
         BoxButton::Ok,
         "Fehler: Datei VTEXT konnte nicht geöffnet werden. Die Datei VTEXT.DBF wird von einem", false},
        {"half a store, left as it is", halfStore, BoxButton::No,
         "Fehler: Datei VTEXT konnte nicht geöffnet werden. Die Dateien VTEXT.DBF, VTEXT.FPT und INTEXT.CDX "
         "sind",
         false},
        {"half a store, made anew", halfStore, BoxButton::Yes,
         "Die beschädigte Datei VTEXT wurde neu angelegt.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        wnd_.engine.closeTextTable();
        wnd_.engine.resetFileState();
        wnd_.run.texts.allowStoring();
        FCLOSE(wnd_.engine.logFile());
        wnd_.engine.useLog(FCREATE(dir_.folder() + "Error.log"));
        const std::unique_ptr<XBaseTable> holder = c.spoil();
        const std::string spoiled = test::readBytes(paths.table);

        box_.expect(c.answer);
        wnd_.run.texts.prepare(wnd_.engine, wnd_.run.parameters.dataFolder);
        EXPECT_NE(log().find(c.logged), std::string::npos) << log();
        EXPECT_EQ(lower(log()).find("fehler") == std::string::npos, c.kept) << log();
        EXPECT_EQ(wnd_.run.texts.fault().empty(), c.kept);
        EXPECT_EQ(wnd_.run.texts.collecting(), c.kept);
        ASSERT_EQ(wnd_.run.texts.table() != nullptr, c.kept);
        if (c.kept) {
            EXPECT_EQ(wnd_.run.texts.table()->rowCount(), 0u);
            store(textRecord("ART-0001", 1, "neu", 0, ""), 260);
            EXPECT_EQ(memo(1), pad("neu", 40) + "\r\n");
        } else {
            EXPECT_EQ(test::readBytes(paths.table), spoiled) << "the store was changed without asking";
        }
    }
}

} // namespace
