// The field window: filling and decoding, normalising, the key filter, and saving with
// its refusals, over a data file written by the test.
#include "core/Oem.h"
#include "platform/SystemFile.h"
#include "tests/support/ListedFields.h"
#include "tests/views/ViewerFixture.h"
#include "views/FeldWnd.h"

#include <filesystem>
#include <fstream>
#include <map>

using namespace arti;
using namespace arti::literals;
using namespace arti::test;

namespace {

class FakeFeldView final : public IFeldView {
public:
    void setText(FeldCtl c, const std::string& text) override { texts[c] = ansiToUtf8(text); }
    void setEnabled(FeldCtl c, bool on) override { enabled[c] = on; }
    void setMaxLength(int length) override { maxLength = length; }
    void setHighlight(bool on) override { highlight = on; }
    void endDialog() override { ended = true; }
    std::map<FeldCtl, std::string> texts;
    std::map<FeldCtl, bool> enabled;
    int maxLength = -1;
    bool highlight = false;
    bool ended = false;
};

// The field of a row of the findings list: content, name, length, type, position, M/K.
ListedField row(const std::string& content, const std::string& name, const std::string& length,
                const std::string& type, const std::string& pos, const std::string& mk = "K") {
    return listedField(utf8ToAnsi(content), utf8ToAnsi(name), length, type, mk,
                       static_cast<std::uint32_t>(std::stoul(pos)), 3);
}

class FeldWndTest : public ViewerFixture {
protected:
    // One record of 128 characters with `field` at `pos`, and the window filled with it.
    void fill(Version v, const ListedField& r, const std::string& record = {}) {
        std::string rec = record;
        if (rec.empty()) {
            rec = std::string(128, ' ');
            rec[0] = 'B';
            if (v == Version::V2000)
                rec = "H;" + r.content + ";rest";
            else
                rec.replace(r.position - 1, r.content.size(), r.content);
        }
        openFile(rec + "\r\n", v);
        run_.separator = ";";
        run_.NZEIGER_ = 0;
        wnd_.attachView(&view_);
        wnd_.SETUP(r, "B", nulAsShown(run_));
    }
    std::string text(FeldCtl c) { return view_.texts[c]; }

    FakeFeldView view_;
    FELD_WND wnd_{main_, run_};
};

TEST_F(FeldWndTest, FillsAndDecodes) {
    struct Case {
        Version v;
        ListedField r;
        const char* lenAkt;
        const char* fill;
        const char* info;
        bool editable;
    };
    const Case cases[] = {
        {Version::V0590, row("03", "Mengeneinheit", "2", "N", "58"), "2", "0", "= kg", true},
        {Version::V0196, row("  AB  ", "Bezeichnung 1", "6", "A", "47"), "2", "4", "", true},
        {Version::V0196, row("00150", "Gewicht", "5", "N", "53"), "5", "0", "150", true},
        {Version::V0196, row("00001250", "Preis, kl", "8", "N", "70"), "8", "0", "12,50", true},
        {Version::V2000, row("", "Matchcode", "15", "A", "3"), "0", "0", "", false},
        {Version::V2000, row("S", "Status, Verarbeitung", "1", "A", "3"), "1", "0", "Standard/Neu/Pflege",
         true},
    };
    for (const Case& c : cases) {
        fill(c.v, c.r);
        SCOPED_TRACE(c.r.name);
        EXPECT_EQ(text(FeldCtl::TXTLENAKT), c.lenAkt);
        EXPECT_EQ(text(FeldCtl::TXTFILL), c.fill);
        EXPECT_EQ(text(FeldCtl::TXTINFO), c.info);
        EXPECT_EQ(view_.enabled[FeldCtl::SLEMASKE], c.editable);
        EXPECT_FALSE(view_.enabled[FeldCtl::PSHSAVE]);
    }
    // Without a row every value is cleared and the edit box is locked.
    wnd_.SETUP(std::nullopt, "B", nulAsShown(run_));
    EXPECT_EQ(text(FeldCtl::TXTNAME), "");
    EXPECT_EQ(text(FeldCtl::SLEMASKE), "");
    EXPECT_FALSE(view_.enabled[FeldCtl::SLEMASKE]);
}

TEST_F(FeldWndTest, DecodingBoxes) {
    struct Case {
        Version v;
        ListedField r;
        const char* box;
        const char* info;
    };
    const Case cases[] = {
        {Version::V0196, row("CHF", "Währung", "3", "A", "78"),
         "Währung entspricht nicht der Systemeinstellung!", ""},
        {Version::V0196, row("   ", "Warengruppe", "3", "A", "36", "M"), "Muss-Feld muss Zeichen enthalten!",
         ""},
        {Version::V0590, row(" x ", "Reserve", "3", "A", "120"),
         "Reserve-Feld darf nur Leerzeichen enthalten!", ""},
        {Version::V0196, row("31122099", "Preis Datum", "8", "N", "81"),
         "Datum ist ungültig oder außerhalb des Prüfbereiches !", "31.12.2099"},
        {Version::V0196, row("31022025", "Preis Datum", "8", "N", "81"),
         "Datum ist ungültig oder außerhalb des Prüfbereiches !", ""},
    };
    for (const Case& c : cases) {
        box_.expect(BoxButton::Ok);
        fill(c.v, c.r);
        expectBox("Fehler", c.box);
        EXPECT_EQ(text(FeldCtl::TXTINFO), c.info) << c.r.name;
    }
    // A 05/90 field of NUL replacements only.
    const std::string nul = nulAsShown(run_);
    fill(Version::V0590, row(ansiToUtf8(nul + nul), "Rabattgruppe", "2", "A", "88"));
    EXPECT_EQ(text(FeldCtl::TXTINFO), "binär 0 gefüllt");
}

TEST_F(FeldWndTest, NormalisesOnLeavingTheBox) {
    struct Case {
        Version v;
        ListedField r;
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        {Version::V0590, row("12345", "Gewicht", "5", "N", "51"), "42", "00042"},
        {Version::V0590, row("ABCDE", "Warengruppe", "5", "A", "34"), "AB", "AB   "},
        {Version::V2000, row("ABC", "Matchcode", "15", "A", "3"), "ABCDE", "ABC"},
        {Version::V2000, row("ABC", "Matchcode", "15", "A", "3"), "A", "A  "},
        {Version::V0196, row("1234", "Rabattsatz", "2.2", "N", "96"), "7", "0007"},
    };
    for (const Case& c : cases) {
        fill(c.v, c.r);
        wnd_.EDITFOCUSCHANGE(true);
        EXPECT_TRUE(view_.highlight);
        wnd_.EDITCHANGE(c.typed);
        EXPECT_TRUE(view_.enabled[FeldCtl::PSHSAVE]);
        // Leaving the box happens inside the click that moves the focus (often onto
        // "Speichern"): letting window messages through there would lose that click.
        const int pumps = window_.pumps;
        wnd_.EDITFOCUSCHANGE(false);
        EXPECT_EQ(window_.pumps, pumps);
        EXPECT_FALSE(view_.highlight);
        EXPECT_EQ(text(FeldCtl::SLEMASKE), c.expected) << c.typed;
        wnd_.PSHSAVE();
        EXPECT_EQ(fileBytes().substr(c.r.position - 1, std::strlen(c.expected)), c.expected);
    }
    EXPECT_EQ(main_.reads, 5);
}

TEST_F(FeldWndTest, OnlyAChangedValueEnablesSave) {
    struct Case {
        Version v;
        ListedField r;
        const char* typed; // nullptr: the box is entered and left without typing
        bool enabled;      // "Speichern" after leaving the box
    };
    const Case cases[] = {
        {Version::V0196, row("00159605", "Preis, kl", "8", "N", "70"), nullptr, false},
        {Version::V0196, row("Kabel ", "Bezeichnung 1", "6", "A", "47"), nullptr, false},
        {Version::V0590, row("     ", "Gewicht", "5", "N", "51"), nullptr, false},
        {Version::V2000, row("Stk", "Mengeneinheit", "3", "A", "3"), nullptr, false},
        {Version::V0196, row("Kabel ", "Bezeichnung 1", "6", "A", "47"), "Kabel", false},
        {Version::V0196, row("Kabel ", "Bezeichnung 1", "6", "A", "47"), "Draht", true},
        {Version::V0590, row("00042", "Gewicht", "5", "N", "51"), "43", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.r.name + " " + (c.typed ? c.typed : "-"));
        box_.onUnexpected = nullptr;
        fill(c.v, c.r);
        wnd_.EDITFOCUSCHANGE(true);
        if (c.typed) wnd_.EDITCHANGE(c.typed);
        wnd_.EDITFOCUSCHANGE(false);
        EXPECT_EQ(view_.enabled[FeldCtl::PSHSAVE], c.enabled);
        // Entering and leaving the box again changes nothing more.
        wnd_.EDITFOCUSCHANGE(true);
        wnd_.EDITFOCUSCHANGE(false);
        EXPECT_EQ(view_.enabled[FeldCtl::PSHSAVE], c.enabled);
        box_.shown.clear();
    }
}

TEST_F(FeldWndTest, KeyFilterOfNumericFields) {
    fill(Version::V0590, row("12345", "Gewicht", "5", "N", "51"));
    const std::tuple<int, bool, const char*> keys[] = {
        {'a', false, "97"}, {8, true, "8"}, {'7', true, "55"}, {' ', false, "32"}};
    for (const auto& [code, passes, shown] : keys) {
        EXPECT_EQ(wnd_.SLEMASKE(code), passes) << code;
        EXPECT_EQ(text(FeldCtl::TXTCHR), shown);
    }
    fill(Version::V0590, row("ABCDE", "Warengruppe", "5", "A", "34"));
    EXPECT_TRUE(wnd_.SLEMASKE('a'));
}

TEST_F(FeldWndTest, SaveRefusalsLeaveTheFileAlone) {
    struct Case {
        Version v;
        const char* edit;     // typed, or empty for "Feld CHR(0)"
        const char* caption;  // the refusal box
        bool changeFileFirst; // another program changed the field since it was read
        int mode = FO_READWRITE;
        const char* names = ""; // the version the refusal's text names
    };
    const Case cases[] = {
        {Version::V0196, "", "V01/96 speichern", false, FO_READWRITE, "In der Version 01/96 "},
        {Version::V0590, "", "V05/90 speichern", false, FO_READWRITE, "In der Version 05/90 "},
        {Version::V2000, "ABCD", "V2000 speichern", false},
        {Version::V2000, "A;C", "Speichern", false},
        {Version::V0196, "XYZ", "Speichern", true},
        {Version::V0196, "XYZ", "", false, FO_READ}, // the writer's own box
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        std::string rec(128, ' ');
        rec[0] = 'B';
        rec.replace(33, 3, "ABC");
        if (c.v == Version::V2000) rec = "H;ABC;rest";
        openFile(rec + "\r\n", c.v, false, c.mode);
        run_.separator = ";";
        wnd_.attachView(&view_);
        wnd_.SETUP(row("ABC", "Warengruppe", "3", "A", c.v == Version::V2000 ? "3" : "34"), "B",
                   nulAsShown(run_));
        if (*c.edit)
            wnd_.EDITCHANGE(c.edit);
        else
            wnd_.PSHCHR();
        if (c.changeFileFirst) {
            std::string changed = rec;
            changed[34] = 'Q';
            std::ofstream(path_, std::ios::binary | std::ios::in | std::ios::out) << changed;
        }
        const std::string before = fileBytes();
        box_.expect(BoxButton::Ok);
        wnd_.PSHSAVE();
        ASSERT_EQ(box_.shown.size(), 1u);
        EXPECT_NE(box_.shown.front().text.find(c.names), std::string::npos) << box_.shown.front().text;
        expectBox(c.caption);
        EXPECT_EQ(fileBytes(), before);
        EXPECT_EQ(main_.reads, 0);
        // The edit text stays for another try.
        EXPECT_EQ(wnd_.editText().empty(), false);
    }
}

TEST_F(FeldWndTest, NulReplacementFollowsTheCodePage) {
    const unsigned char oem = 250;
    run_.CCHR0_ = std::string(1, static_cast<char>(oem));
    run_.LASCII_ = true;
    EXPECT_EQ(nulAsShown(run_), std::string(1, static_cast<char>(oemToAnsiByte(oem))));
    run_.LASCII_ = false;
    EXPECT_EQ(nulAsShown(run_), run_.CCHR0_);
}

TEST_F(FeldWndTest, SaveWritesTheFieldInTheFilesCodePageAndReadsAgain) {
    std::string rec(128, ' ');
    rec[0] = 'A';
    rec.replace(46, 5, "Kabel");
    openFile(rec + "\r\n", Version::V0196, true);
    wnd_.attachView(&view_);
    wnd_.SETUP(row("Kabel", "Bezeichnung 1", "5", "A", "47"), "A", nulAsShown(run_));
    wnd_.EDITCHANGE(utf8ToAnsi("Größe"));
    wnd_.PSHSAVE();
    EXPECT_EQ(main_.reads, 1);
    const std::string after = fileBytes();
    ASSERT_EQ(after.size(), 130u);
    EXPECT_EQ(after.substr(46, 5), ansiToOemCopy(utf8ToAnsi("Größe")));
    EXPECT_EQ(after.substr(0, 46) + after.substr(51), rec.substr(0, 46) + rec.substr(51) + "\r\n");
    // The window now holds what the file holds: a second save goes through.
    wnd_.EDITCHANGE("Draht");
    wnd_.PSHSAVE();
    EXPECT_EQ(main_.reads, 2);
    wnd_.PSHCANCEL();
    EXPECT_FALSE(main_.child);
    EXPECT_TRUE(view_.ended);
}

// A value saved into a file that another program replaced (renamed over it) or deleted
// would go where nobody sees it: refused, and the file on disk keeps its bytes.
TEST_F(FeldWndTest, ASaveIntoAReplacedFileIsRefused) {
    for (const bool deleted : {false, true}) {
        fill(Version::V0196, row("ABC", "Warengruppe", "3", "A", "34"));
        run_.source.attach(run_.source.handle(), path_);
        const std::string bytes = fileBytes();
        std::ofstream(path_ + ".neu", std::ios::binary) << bytes;
        ASSERT_EQ(platform::replaceFile(path_ + ".neu", path_), 0);
        if (deleted) std::filesystem::remove(path_);
        wnd_.EDITCHANGE("XYZ");
        box_.expect(BoxButton::Ok);
        wnd_.PSHSAVE();
        expectBox("Speichern", "Der geänderte Wert wurde nicht gespeichert !\r\n\r\nDie Datei\r\n" + path_ +
                                   "\r\nwurde auf dem Datenträger ersetzt oder gelöscht, seit sie "
                                   "ausgewählt wurde.\r\nWählen Sie die Datei mit \"Datei\" erneut aus.");
        EXPECT_EQ(fileBytes(), deleted ? "" : bytes);
        EXPECT_EQ(main_.reads, 0);
    }
}
} // namespace
