// Long texts of 01/96 text records: preparing the table at the choice of a file,
// collecting the lines per key, and reading the text records with the record step.
#include "core/Text.h"
#include "records/FileAccess.h"
#include "run/CheckFunctions.h"
#include "tests/support/ChoiceFiles.h"
#include "tests/support/EngineCheck.h"
#include "tools/gen/XBaseTestFiles.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace arti;
using namespace arti::test;

namespace {

// A text record: key at 4-14, line numbers at 15-17 and 71-73, lines at 18-57 and 74-113.
std::string textRecord(const std::string& key, int first, const std::string& line1, int second,
                       const std::string& line2) {
    std::string r = "T1 " + pad(key, 11) + pad(std::to_string(first), 3) + pad(line1, 40);
    r = pad(r, 70) + pad(std::to_string(second), 3) + pad(line2, 40);
    return pad(r, 128);
}

// The engine's long-text store without the window: the log is open, the header copied,
// the store may take the texts; the questions are answered from the script.
class TextsTest : public ::testing::Test {
protected:
    TextsTest() {
        e_.engine.useLog(FCREATE(e_.dir.folder() + "Error.log"));
        run().LVORLAUF_ = true;
        texts().allowStoring();
    }

    CheckRun& run() { return e_.run; }
    LongTextStore& texts() { return e_.run.texts; }
    void prepare() { texts().prepare(e_.engine, run().parameters.dataFolder); }
    // Stores one text record read at `offset`.
    void store(const std::string& rec, long long offset) {
        run().NZEIGER_ = offset;
        texts().DBTEXT(e_.engine, rec, offset);
    }
    std::string memo(std::uint32_t row) { return texts().table()->memo(row).value_or("<none>"); }
    // The error log so far, as UTF-8.
    std::string log() {
        e_.engine.flushLog();
        return ansiToUtf8(readBytes(e_.dir.folder() + "Error.log"));
    }
    std::vector<ShownBox>& boxes() { return e_.services.box.shown; }

    EngineCheck e_;
};

TEST_F(TextsTest, PreparingCreatesTheTableAndAsksAboutOldRows) {
    prepare();
    EXPECT_TRUE(texts().collecting() && texts().mayStore());
    ASSERT_TRUE(texts().table());
    EXPECT_TRUE(std::filesystem::exists(e_.dir.path() / "INTEXT.CDX"));
    texts().table()->append("OLD");

    e_.questions.answers = {false};
    prepare();
    ASSERT_EQ(e_.questions.asked, std::vector<Question>{Question::EarlierTexts});
    EXPECT_EQ(ansiToUtf8(e_.questions.words[0].caption + e_.questions.words[0].text),
              "FrageEs sind Texte aus einem vorherigen Lauf gespeichert !\r\n\r\nSollen diese Texte gelöscht "
              "werden ?");
    EXPECT_FALSE(texts().mayStore()) << "kept texts: none of this file are stored";
    EXPECT_TRUE(texts().table()->seek("old").has_value());

    e_.questions.answers = {true};
    texts().allowStoring();
    prepare();
    EXPECT_EQ(texts().table()->rowCount(), 0u);
    EXPECT_TRUE(texts().mayStore());
}

TEST_F(TextsTest, RecordsWithTheSameKeyFormOneText) {
    prepare();
    store(textRecord("Art-0001", 1, "Zeile eins", 2, "Zeile zwei"), 260);
    store(textRecord("Art-0001", 3, "Zeile drei", 4, "Zeile vier"), 390);
    ASSERT_EQ(texts().table()->rowCount(), 1u);
    EXPECT_EQ(memo(1), pad("Zeile eins", 40) + "\r\n" + pad("Zeile zwei", 40) + "\r\n" +
                           pad("Zeile drei", 40) + "\r\n" + pad("Zeile vier", 40) + "\r\n");
    EXPECT_EQ(texts().table()->seek("ART-0001"), 1u) << "keys are found in any letter case";
    EXPECT_EQ(texts().table()->seek("art-0001"), 1u);
}

TEST_F(TextsTest, EmptySecondLineEndsTheText) {
    prepare();
    store(textRecord("ART-0001", 1, "erste", 0, "bleibt weg"), 260);
    EXPECT_EQ(texts().collectedKey(), "");
    store(textRecord("ART-0001", 1, "neu", 0, ""), 390);
    ASSERT_EQ(texts().table()->rowCount(), 2u);
    EXPECT_EQ(memo(1), pad("erste", 40) + "\r\n");
    EXPECT_EQ(memo(2), pad("neu", 40) + "\r\n");
    store(textRecord("ART-0002", 0, "", 2, "nur zwei"), 520);
    EXPECT_EQ(memo(3), pad("nur zwei", 40) + "\r\n");
    EXPECT_EQ(texts().collectedKey(), "ART-0002   ");
}

TEST_F(TextsTest, TextRecordsAreStoredOnceWhateverTheStepping) {
    const std::string path = e_.dir.folder() + "ELDANORM.001";
    std::string header = pad("V01012023", 99) + "11100010";
    header = pad(header, 124) + "0196";
    std::ofstream(path, std::ios::binary)
        << fixedRecord(header) + fixedRecord("K1") + fixedRecord(textRecord("ART-0001", 1, "a", 2, "b")) +
               fixedRecord(textRecord("ART-0001", 3, "c", 0, "")) + fixedRecord("A1") + '\x1A';
    run().source.attach(BIN_OPEN(nullptr, path));
    run().source.setEndsInMark(true);
    run().source.setHeaderEnd(131);
    run().recordCounter = 1;
    e_.engine.showVersion(versionOf("0196"), "0196");
    e_.engine.showAnnouncement("ABDT");
    FSEEK(run().source.handle(), 130);
    prepare();

    e_.engine.LIESSATZ(); // K
    e_.engine.LIESSATZ(); // first text record
    e_.engine.LIESSATZ(); // second text record
    e_.engine.stepBack();
    EXPECT_EQ(run().NZEIGER_, 260);
    e_.engine.LIESSATZ();
    EXPECT_EQ(run().NZEIGER_, 390);
    ASSERT_TRUE(texts().table());
    ASSERT_EQ(texts().table()->rowCount(), 1u);
    EXPECT_EQ(memo(1), pad("a", 40) + "\r\n" + pad("b", 40) + "\r\n" + pad("c", 40) + "\r\n");

    // The first article ends the texts.
    e_.engine.LIESSATZ();
    EXPECT_FALSE(texts().collecting());
    EXPECT_FALSE(texts().table());
}

TEST_F(TextsTest, TableThatCannotBeCreatedLeavesTheCheckGoing) {
    run().parameters.dataFolder = e_.dir.folder() + "missing/";
    prepare();
    EXPECT_EQ(boxes().back().text, "Datei VTEXT konnte nicht erzeugt werden");
    EXPECT_FALSE(texts().collecting());
    EXPECT_FALSE(texts().table());
    store(textRecord("ART-0001", 1, "a", 0, ""), 260);
}

TEST_F(TextsTest, AStoreThatCannotTakeTheTextsIsAnErrorInTheLog) {
    const XBasePaths paths = XBasePaths::longTextStore(e_.dir.folder());
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
        bool remake;        // the answer to whether the damaged store is made anew
        const char* logged; // UTF-8
        bool kept;          // the texts of the file are stored
    };
    const std::vector<Case> cases = {
        {"store in use",
         [&paths] {
             XBaseTable::create(paths);
             return XBaseTable::open(paths, XBaseMode::ReadWrite);
         },
         false, "Fehler: Datei VTEXT konnte nicht geöffnet werden. Die Datei VTEXT.DBF wird von einem",
         false},
        {"half a store, left as it is", halfStore, false,
         "Fehler: Datei VTEXT konnte nicht geöffnet werden. Die Dateien VTEXT.DBF, VTEXT.FPT und INTEXT.CDX "
         "sind",
         false},
        {"half a store, made anew", halfStore, true, "Die beschädigte Datei VTEXT wurde neu angelegt.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        e_.engine.closeTextTable();
        e_.engine.resetFileState();
        texts().allowStoring();
        FCLOSE(e_.engine.logFile());
        e_.engine.useLog(FCREATE(e_.dir.folder() + "Error.log"));
        const std::unique_ptr<XBaseTable> holder = c.spoil();
        const std::string spoiled = test::readBytes(paths.table);

        e_.questions.answers = {c.remake};
        prepare();
        EXPECT_NE(log().find(c.logged), std::string::npos) << log();
        EXPECT_EQ(lower(log()).find("fehler") == std::string::npos, c.kept) << log();
        EXPECT_EQ(texts().fault().empty(), c.kept);
        EXPECT_EQ(texts().collecting(), c.kept);
        ASSERT_EQ(texts().table() != nullptr, c.kept);
        if (c.kept) {
            EXPECT_EQ(texts().table()->rowCount(), 0u);
            store(textRecord("ART-0001", 1, "neu", 0, ""), 260);
            EXPECT_EQ(memo(1), pad("neu", 40) + "\r\n");
        } else {
            EXPECT_EQ(test::readBytes(paths.table), spoiled) << "the store was changed without asking";
        }
    }
}

} // namespace
