// The sequence viewer: each version's form on one full sequence, the 01/96 text rules
// with the long-text store, the dimension merge, the end of the file, the position put
// back on closing, and files that are no ELDANORM at all.
#include "records/FileAccess.h"
#include "records/XBaseTable.h"
#include "tests/views/ViewerFixture.h"
#include "views/SatzWnd.h"

#include <map>

using namespace arti;
using namespace arti::literals;
using namespace arti::test;

namespace {

class FakeSatzView final : public ISatzView {
public:
    void setLabel(int n, const std::string& t) override { labels[n] = ansiToUtf8(t); }
    void setText(const std::string& t) override { text = ansiToUtf8(t); }
    void setEnabled(SatzCtl c, bool on) override { enabled[c] = on; }
    void endDialog() override { ended = true; }
    std::map<int, std::string> labels;
    std::string text;
    std::map<SatzCtl, bool> enabled;
    bool ended = false;
};

class SatzWndTest : public ViewerFixture {
protected:
    // The head record has been read by the check; the viewer reads on from behind it.
    void open(Version v, const std::string& head, const std::string& rest, bool onlyTheHint = true) {
        openFile(head + rest, v);
        FSEEK(run_.source.handle(), static_cast<long long>(head.size()));
        run_.CPUFFER_ = head.substr(0, head.size() - 2);
        wnd_.attachView(&view_);
        box_.expect(BoxButton::Ok);
        ASSERT_TRUE(wnd_.SETUP(run_.CPUFFER_, v, run_.CCHR0_, run_.LASCII_));
        if (onlyTheHint) expectBox("Hinweis");
    }
    std::string label(int n) { return view_.labels[n]; }

    FakeSatzView view_;
    SATZ_WND wnd_{main_, run_};
};

struct Expect {
    int label;
    const char* text;
};

void expectLabels(FakeSatzView& view, std::initializer_list<Expect> expected) {
    for (const Expect& e : expected)
        EXPECT_EQ(view.labels[e.label], e.text) << "TXT" << e.label;
}

TEST_F(SatzWndTest, Form0590) {
    const std::string head = fixedRecord('A', {{2, "2"}, {3, "4012345678901 "}, {47, "Kabel NYM-J 3x1,5"}});
    open(Version::V0590, head,
         fixedRecord('B', {{19, "Hersteller AG"},
                           {57, "U"},
                           {58, "03"},
                           {60, "1"},
                           {61, "3"},
                           {62, "00001250"},
                           {73, "01022025"},
                           {92, "0350"},
                           {96, "2"},
                           {97, "1250"},
                           {101, "1"},
                           {102, "1250"},
                           {46, "0x0aZ"}}) +
             fixedRecord('Z', {{19, "01"}, {21, "0000150"}, {33, "1"}, {34, "0250"}, {44, "2"}}) + head);
    expectLabels(view_, {{kVerarbeitung, "Auslauf/Pflege"},
                         {kGtin, "4012345678901"},
                         {kBezeichnung1, "Kabel NYM-J 3x1,5"},
                         {kMengeneinheit, "= kg"},
                         {kPreiseinheit, "100"},
                         {kPreis, "12,50"},
                         {kPreisGueltig, "01.02.2025"},
                         {kRabattsatz, "3,50"},
                         {kKleinsteVpe, "0"}, // not a number
                         {kRmt1, "= Multiplikator"},
                         {kRmtWert1, "1,250"},
                         {kRmt2, "= Rabattsatz"},
                         {kRmtWert2, "12,50"},
                         {kUrsprung, "EG-Mitgliedsstaat"},
                         {gridLabel(0, kGridArt), "= CU > Kupfer"},
                         {gridLabel(0, kGridGewicht), "150"},
                         {gridLabel(0, kGridKzBetrag), "= Betrag"},
                         {gridLabel(0, kGridBetrag), "2,50"},
                         {gridLabel(0, kGridKzZuGu), "= Zuschlag/Gutschrift möglich"}});
    EXPECT_FALSE(wnd_.atEnd());
    EXPECT_FALSE(view_.enabled[SatzCtl::PSHDIM]);
}

TEST_F(SatzWndTest, Form0196WithTextsAndLongText) {
    ASSERT_TRUE(XBaseTable::create(XBasePaths::longTextStore(dir_.folder())));
    {
        auto store = XBaseTable::open(XBasePaths::longTextStore(dir_.folder()), XBaseMode::ReadWrite);
        ASSERT_TRUE(store);
        // A key that begins like the wanted one must not be taken for it.
        store->setMemo(*store->append("LT0001X"), "falscher Text");
        store->setMemo(*store->append("LT0001"), utf8ToAnsi("Länge $ mm, Breite $ mm"));
    }
    const std::string head = fixedRecord('A', {{2, "1"}, {47, "Leuchte"}, {114, "Licht GmbH"}});
    open(Version::V0196, head,
         fixedRecord('B', {{19, "K"}, {58, "06"}, {60, "13"}, {100, "2"}, {101, "12500"}, {119, "LEUCHTE"}}) +
             fixedRecord('D', {{19, "2"}, {20, "LT0001"}, {31, "001"}, {34, "10$20"}}) +
             fixedRecord('D', {{19, "3"}, {20, "DATENBLTPDF"}}));
    expectLabels(view_, {{kVerarbeitung, "Neu/Neuanlage"},
                         {kHerstellername, "Licht GmbH"},
                         {kUrsprung, "= Herkunft keine Präferenz"},
                         {kVerpackungseinheit, "= Karton"},
                         {kMengeneinheit, "= m"},
                         {kRmt1, "= Multiplikator"},
                         {kRmtWert1, "1,2500"},
                         {kMatchcode, "LEUCHTE"},
                         {kVerweisText, "LT0001"},
                         {kVerweisDatei, "DATENBLT.PDF"}});
    const std::string dims = "10$20" + std::string(35, ' ') + "\r\n" + std::string(40, '-') + "\r\n";
    EXPECT_EQ(view_.text, ansiToUtf8(dims) + "Länge $ mm, Breite $ mm");
    EXPECT_TRUE(view_.enabled[SatzCtl::PSHDIM]);
    wnd_.PSHDIM();
    EXPECT_EQ(view_.text, ansiToUtf8(dims) + "Länge 10mm, Breite 20mm");
    EXPECT_FALSE(view_.enabled[SatzCtl::PSHDIM]);
    // The last sequence of the file: the button gives way to the end-of-file box.
    EXPECT_TRUE(wnd_.atEnd());
    EXPECT_FALSE(view_.enabled[SatzCtl::PSHNEXT]);
    box_.expect(BoxButton::Ok);
    wnd_.PSHNEXT();
    expectBox("Hinweis", "Das Dateiende ist erreicht !");
}

TEST_F(SatzWndTest, LongTextKeyMustMatchWhole) {
    ASSERT_TRUE(XBaseTable::create(XBasePaths::longTextStore(dir_.folder())));
    {
        auto store = XBaseTable::open(XBasePaths::longTextStore(dir_.folder()), XBaseMode::ReadWrite);
        ASSERT_TRUE(store);
        store->setMemo(*store->append("LT0001X"), "Text eines anderen Artikels");
    }
    open(Version::V0196, fixedRecord('A', {}), fixedRecord('D', {{19, "1"}, {20, "LT0001"}}));
    EXPECT_EQ(label(kVerweisText), "LT0001");
    EXPECT_EQ(view_.text, "");
}

TEST_F(SatzWndTest, Form2000AndNextSequence) {
    const std::string head = "I;S;4012345678901;HERST-1\r\n";
    open(Version::V2000, head,
         "H;Schalter;Typ A;;Hersteller;HK;10;01;20251231;1;2,5\r\nP;1;12,50;EUR;20250101;3;5\r\n"
         "T;1;Erste Zeile;2\r\nT;1;Zweite Zeile;3\r\nT;6;bild.jpg;0\r\nU;;DE;08;85444911\r\n"
         "Z;01;;;;x;500;1000;7\r\nR;ignored\r\nI;L;4000000000000;HERST-2;GH\r\n");
    expectLabels(view_, {{kVerarbeitung, "S Standard"},
                         {kGrosshaendler, ""},
                         {kBezeichnung1, "Schalter"},
                         {kAuslaufdatum, "31.12.2025"},
                         {kUmrechnung, "25,00"},
                         {kPreiseinheit, "100"},
                         {kPreisGueltig, "01.01.2025"},
                         {kVerweisDatei, "bild.jpg"},
                         {kUrsprungBrd, "Baden-Württemberg"},
                         {gridLabel(0, kGridArt), "= CU > Kupfer"},
                         {gridLabel(0, kGridGewicht), "1000"},
                         {gridLabel(0, kGridBasis), "500"},
                         {gridLabel(0, kGridSprung), "7"}});
    EXPECT_EQ(view_.text, "Erste Zeile\r\nZweite Zeile\r\n\r\n");
    const long long start = FTELL(run_.source.handle()) -
                            static_cast<long long>(std::string("I;L;4000000000000;HERST-2;GH\r\n").size());
    wnd_.PSHNEXT();
    expectLabels(view_, {{kVerarbeitung, "L Löschen"}, {kGrosshaendler, "GH"}, {kBezeichnung1, ""}});
    EXPECT_TRUE(wnd_.atEnd());
    EXPECT_EQ(main_.offsets, 1);
    // Closing puts the file back where the viewer found it.
    wnd_.PSHCANCEL();
    EXPECT_EQ(FTELL(run_.source.handle()), static_cast<long long>(head.size()));
    EXPECT_NE(FTELL(run_.source.handle()), start);
    EXPECT_EQ(main_.offsets, 2);
    EXPECT_TRUE(view_.ended);
}

TEST_F(SatzWndTest, Form2000KeepsTheBlanksOfTheLastField) {
    struct Case {
        const char* record; // the last field ends in blanks
        int label;
        const char* shown;
    };
    const Case cases[] = {
        {"S;LSS B16  ", kMatchcode, "LSS B16  "},
        {"U;;DE;08;85444911;Stk  ", kMasseinheit, "Stk  "},
        {"P;1;12,50;EUR;20250101;3;5  ", kRabattsatz, "5  "},
        {"H;Schalter  ", kBezeichnung1, "Schalter"}, // shown trimmed
        {"I;S;4012345678901;HERST-1;GH  ", kGrosshaendler, "GH  "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        const bool head = c.record[0] == 'I';
        open(Version::V2000, head ? std::string(c.record) + "\r\n" : "I;S;4012345678901\r\n",
             head ? "" : std::string(c.record) + "\r\n");
        EXPECT_EQ(label(c.label), c.shown);
    }
}

TEST_F(SatzWndTest, SurvivesFilesThatAreNoEldanorm) {
    std::string binary;
    for (int i = 0; i < 5000; ++i)
        binary += static_cast<char>((i * 7919) % 256);
    std::string longText;
    for (int i = 0; i < 40000; ++i)
        longText += "T;1;" + std::string(38, 'x') + ";1\r\n";
    const std::tuple<Version, std::string, std::string> cases[] = {
        {Version::V0196, "A1\r\n", "B\r\nZ\r\nD3\r\n" + binary},
        {Version::V2000, "I\r\n", "H\r\n;\r\nZ;;\r\n" + binary},
        {Version::V0590, fixedRecord('A', {}), "B" + binary},
        {Version::V2000, "I;S\r\n", longText},
    };
    for (const auto& [v, head, rest] : cases) {
        SCOPED_TRACE(versionText(v));
        box_.onUnexpected = nullptr; // the 05/90 reader refuses a broken block in a box
        open(v, head, rest, false);
        EXPECT_LE(wnd_.text().size(), SequenceForm::kTextLimit + 100);
        EXPECT_TRUE(wnd_.atEnd());
        box_.shown.clear();
    }
    EXPECT_NE(wnd_.text().find("abgeschnitten"), std::string::npos);
}

} // namespace
