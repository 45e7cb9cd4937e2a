// A face for the main window logic that records every control change.
#pragma once

#include "app/PruefView.h"
#include "core/Text.h"
#include "tests/support/Fakes.h"

#include <string>
#include <vector>

namespace arti::test {

class FakePruefView final : public HeadlessPruefView {
public:
    void setCaption(const std::string& c) override { caption = c; }
    void controlText(Ctl c, const std::string& t) override {
        changes.push_back(std::string(controlName(c)) + " = " + ansiToUtf8(t));
    }
    // Numbers are recorded as their texts, as the window would show them.
    void controlTextDue(Ctl c, const ControlMirror& m) override { controlText(c, m.text(c)); }
    void controlEnabled(Ctl c, bool on) override {
        changes.push_back(std::string(controlName(c)) + (on ? " enabled" : " disabled"));
    }
    void controlVisible(Ctl c, bool on) override {
        changes.push_back(std::string(controlName(c)) + (on ? " shown" : " hidden"));
    }
    void controlChecked(Ctl c, bool on) override {
        changes.push_back(std::string(controlName(c)) + (on ? " checked" : " unchecked"));
    }
    void controlFocus(Ctl c) override { focused = c; }
    void listColumns(const std::vector<ListColumn>& cols) override { columns = cols; }
    void listRows(const std::vector<ListRow>& rows) override { shownRows = rows; }
    // Reads every record's rows as they are shown.
    void listTableShown(const ControlMirror& list) override { shownRows = list.listRows(); }
    std::optional<std::size_t> selectedListIndex() const override { return selected; }

    std::string caption;
    std::vector<std::string> changes;
    std::vector<ListColumn> columns;
    std::vector<ListRow> shownRows;
    std::optional<std::size_t> selected; // the row the user selected
    Ctl focused = Ctl::Count;
};

} // namespace arti::test
