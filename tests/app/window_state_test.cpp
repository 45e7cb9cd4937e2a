// What the main window shows of its guidance and its option boxes is state of its logic:
// the logic decides from that state, so a display that says otherwise changes nothing.
#include "app/PruefWnd.h"
#include "core/Text.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/FakeViewers.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/ListedFields.h"

#include <array>
#include <functional>

using namespace arti;

namespace {

class WindowState : public test::ServicesFixture {
protected:
    WindowState() {
        wnd_.attachView(&view_);
        wnd_.INIT();
        wnd_.SETUP();
    }
    void click(Ctl box, bool on) {
        wnd_.controls.userChecked(box, on);
        wnd_.BUTTONCLICK(box);
    }
    // The arrow shown, by its control's name; "-" for none.
    std::string arrow() const {
        std::string shown;
        for (const Ctl c : {Ctl::ODCFI1, Ctl::ODCFI2, Ctl::ODCFI3})
            if (wnd_.controls.visible(c)) shown += controlName(c);
        return shown.empty() ? "-" : shown;
    }
    std::string instruction() const { return ansiToUtf8(wnd_.controls.text(Ctl::ODCTXT10)); }

    test::FakePruefView view_;
    PRUEF_WND wnd_;
};

TEST_F(WindowState, TheGuidanceFollowsItsSteps) {
    const Navigation step{.fileOpen = true, .behindHeader = true, .atEnd = false};
    const std::string chooseFile = "zu prüfende Datei auswählen";
    const std::string chooseOptions = "Wählen Sie ob die Feldinhalte";
    const std::string chooseCheck = "Wählen Sie die Prüfart.";
    using G = Guidance;
    const struct {
        const char* what;
        std::function<void()> act;
        Guidance guidance;
        const char* arrow;
        std::string instruction; // the beginning of the instruction text
    } steps[] = {
        {"set up", [] {}, G::ChooseFile, "ODCFI1", chooseFile},
        {"file recognised", [&] { wnd_.fileReady(); }, G::ChooseOptions, "ODCFI2", chooseOptions},
        {"arrow hidden beside the logic", [&] { wnd_.controls.hide(Ctl::ODCFI2); }, G::ChooseOptions, "-",
         chooseOptions},
        {"first click on a box", [&] { click(Ctl::ODCCHK3, false); }, G::ChooseCheck, "ODCFI3", chooseCheck},
        {"arrow shown beside the logic", [&] { wnd_.controls.show(Ctl::ODCFI2); }, G::ChooseCheck,
         "ODCFI2ODCFI3", chooseCheck},
        {"second click on a box", [&] { click(Ctl::ODCCHK3, true); }, G::ChooseCheck, "ODCFI2ODCFI3",
         chooseCheck},
        {"first step", [&] { wnd_.navigation(step); }, G::None, "-", ""},
        {"further step", [&] { wnd_.navigation(step); }, G::None, "-", ""},
        {"click after the guidance", [&] { click(Ctl::ODCCHK2, false); }, G::None, "-", ""},
        {"another file recognised", [&] { wnd_.fileReady(); }, G::ChooseOptions, "ODCFI2", chooseOptions},
        {"run started", [&] { wnd_.runStarts(); }, G::None, "-", "Unterbrechen Sie den Durchlauf"},
        {"run ended", [&] { wnd_.runEnded(); }, G::None, "-", "Unterbrechen Sie den Durchlauf"},
        {"back to no file", [&] { wnd_.RESET(); }, G::ChooseFile, "ODCFI1", chooseFile},
        {"step without the guidance to options", [&] { wnd_.navigation(step); }, G::ChooseFile, "ODCFI1",
         chooseFile},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_EQ(wnd_.guidance(), s.guidance) << s.what;
        EXPECT_EQ(arrow(), s.arrow) << s.what;
        EXPECT_EQ(instruction().substr(0, s.instruction.size()), s.instruction) << s.what;
    }
}

TEST_F(WindowState, ACaptionShownOtherwiseLeavesTheOptionsCaptionState) {
    const struct {
        const char* what;
        bool clickedOff;      // the box was clicked off before
        const char* shownNow; // the caption as something beside the logic made it
        const char* expected; // after the run turns the option on again
    } cases[] = {
        {"the template's caption", false, nullptr, "Fehler PopUp  ein"},
        {"the template's caption reworded", false, "Fehler PopUp  an", "Fehler PopUp  an"},
        {"a clicked-off caption", true, nullptr, "Fehler PopUp ein"},
        {"a clicked-off caption that reads \"ein\"", true, "Fehler-Popup ein", "Fehler PopUp ein"},
    };
    for (const auto& c : cases) {
        PRUEF_WND wnd;
        wnd.INIT();
        if (c.clickedOff) {
            wnd.controls.userChecked(Ctl::ODCCHK3, false);
            wnd.BUTTONCLICK(Ctl::ODCCHK3);
        }
        if (c.shownNow) wnd.controls.setText(Ctl::ODCCHK3, c.shownNow);
        // As a file choice turns the pop-ups on again.
        wnd.engine.setOption(RunOption::Popups, true, true);
        EXPECT_EQ(wnd.controls.text(Ctl::ODCCHK3), c.expected) << c.what;
        EXPECT_TRUE(wnd.controls.checked(Ctl::ODCCHK3)) << c.what;
    }
}

struct Editor final : IChildWindow {
    void end() override {}
};

TEST_F(WindowState, TheFieldEditorOpensOnTheFieldOfTheSelectedRow) {
    static constexpr std::array<FieldDef, 4> kDefs{{
        {"Satzart", "1", "A", "M", "P", ""},
        {"Text", "40", "A", "K", "", ""},
        {"Artikelnummer", "15", "A", "M", "", ""},
        {"Preis", "8.2", "N", "K", "", ""},
    }};
    FieldTable table;
    table.fillSplit(kDefs, "P;" + std::string(1200, 'T') + ";4711;1250", ";");
    Editor editor;
    test::FakeRecordViewers viewers;
    viewers.editor = &editor;
    ServicesScope installed(Services{.viewers = &viewers});
    wnd_.showFields(table);
    // The face shows the rows its own way: positions grouped, long contents cut.
    for (ListRow& row : view_.shownRows) {
        if (row[0].size() > 20) row[0] = row[0].substr(0, 20) + "...";
        if (row[5].size() > 3) row[5].insert(row[5].size() - 3, ".");
    }
    const struct {
        std::size_t selected;
        ListedField expected;
    } cases[] = {
        {2, test::listedField("4711", "Artikelnummer", "15", "A", "M", 1204, 3)},
        {1, test::listedField(std::string(1200, 'T'), "Text", "40", "A", "K", 3, 2)},
        {3, test::listedField("1250", "Preis", "8.2", "N", "K", 1209, 4)},
    };
    for (const auto& c : cases) {
        view_.selected = c.selected;
        wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK();
        EXPECT_EQ(viewers.fields.back(), c.expected) << c.expected.name;
    }
    EXPECT_EQ(viewers.calls.size(), std::size(cases)); // opened once, then set up again

    // A row beyond those of the table is no row.
    view_.selected = kDefs.size();
    box_.expect(BoxButton::Ok);
    wnd_.LISTVIEWMOUSEBUTTONDOUBLECLICK();
    EXPECT_EQ(box_.shown.back().text, "Warum klicken Sie in ein leeres Feld ?");
    EXPECT_EQ(viewers.fields.size(), std::size(cases));
}

} // namespace
