// Numbers in the displays of the main window: kept as numbers, written as text when read.
// What is read must always be the text of the last number or text set, and the face must
// hear of every change of the display and of nothing else.
#include "app/Controls.h"
#include "tests/support/FakePruefView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using namespace arti;

namespace {

// A face that paints later: it notes which displays are due and reads nothing itself.
class LateFace final : public HeadlessPruefView {
public:
    void controlText(Ctl c, const std::string& t) override {
        texts.push_back(std::string(controlName(c)) + "=" + t);
    }
    void controlTextDue(Ctl c, const ControlMirror&) override { due.push_back(c); }
    std::vector<std::string> texts;
    std::vector<Ctl> due;
};

TEST(ControlNumbers, PictureGroupedAndPlainTexts) {
    ControlMirror m;
    const struct {
        long long n;
        NumberShape shape;
        const char* text;
    } cases[] = {
        {0, NumberShape::Picture, "                0"},
        {999, NumberShape::Picture, "              999"},
        {1000, NumberShape::Picture, "            1.000"},
        {129969003, NumberShape::Picture, "      129.969.003"},
        {-1234, NumberShape::Picture, "           -1.234"},
        {1234567890123LL, NumberShape::Picture, "1.234.567.890.123"},
        {0, NumberShape::Plain, "0"},
        {130, NumberShape::Plain, "130"},
        {-7, NumberShape::Plain, "-7"},
        {LLONG_MIN, NumberShape::Plain, "-9223372036854775808"},
        {0, NumberShape::Grouped, "0"},
        {999, NumberShape::Grouped, "999"},
        {1318345, NumberShape::Grouped, "1.318.345"},
        {-1234, NumberShape::Grouped, "-1.234"},
    };
    for (const auto& c : cases) {
        m.setNumber(Ctl::ODCTXT12, c.n, c.shape);
        EXPECT_EQ(m.text(Ctl::ODCTXT12), c.text) << c.n;
        EXPECT_EQ(m.state(Ctl::ODCTXT12).text, c.text) << c.n;
    }
}

TEST(ControlNumbers, LateFaceHearsOfEachChangeAndReadsTheLatest) {
    ControlMirror m;
    LateFace face;
    m.attach(&face);
    face.texts.clear();

    m.setNumber(Ctl::ODCTXT11, 5); // first number after the empty text: compared as text
    m.setNumber(Ctl::ODCTXT11, 5); // unchanged: nothing
    m.setNumber(Ctl::ODCTXT11, 6); // due
    m.setNumber(Ctl::ODCTXT11, 7); // due again, never read in between
    EXPECT_EQ(face.texts, std::vector<std::string>{"ODCTXT11=5"});
    EXPECT_EQ(face.due, (std::vector<Ctl>{Ctl::ODCTXT11, Ctl::ODCTXT11}));
    EXPECT_EQ(m.text(Ctl::ODCTXT11), "7");

    // The same number in another shape is another text.
    m.setNumber(Ctl::ODCTXT11, 7, NumberShape::Picture);
    EXPECT_EQ(face.due.size(), 3u);
    EXPECT_EQ(m.text(Ctl::ODCTXT11), "                7");
}

TEST(ControlNumbers, TextsAndNumbersReplaceEachOther) {
    ControlMirror m;
    test::FakePruefView view;
    m.attach(&view);
    view.changes.clear();

    m.setText(Ctl::ODCTXT13, "128");
    m.setNumber(Ctl::ODCTXT13, 128); // the same display: the face hears nothing
    m.setText(Ctl::ODCTXT13, "128"); // the same again
    m.setNumber(Ctl::ODCTXT13, 47);
    m.setText(Ctl::ODCTXT13, "");   // a text over a number not yet read
    m.setNumber(Ctl::ODCTXT13, 47); // the number again after the text
    EXPECT_EQ(view.changes,
              (std::vector<std::string>{"ODCTXT13 = 128", "ODCTXT13 = 47", "ODCTXT13 = ", "ODCTXT13 = 47"}));

    // What the user types replaces a number not yet read, and stays.
    m.setNumber(Ctl::ODCTXT13, 48);
    m.userText(Ctl::ODCTXT13, "abc");
    EXPECT_EQ(m.text(Ctl::ODCTXT13), "abc");
    m.setNumber(Ctl::ODCTXT13, 48);
    EXPECT_EQ(m.text(Ctl::ODCTXT13), "48");
}

TEST(ControlNumbers, AttachSendsNumbersAsTexts) {
    ControlMirror m;
    m.setNumber(Ctl::ODCTXT12, 2600, NumberShape::Picture);
    m.setNumber(Ctl::ODCTXT12, 2730, NumberShape::Picture);
    test::FakePruefView view;
    m.attach(&view);
    EXPECT_NE(std::find(view.changes.begin(), view.changes.end(), "ODCTXT12 =             2.730"),
              view.changes.end());
}

} // namespace
