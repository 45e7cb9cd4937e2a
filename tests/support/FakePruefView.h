// A face for the main window logic that records every control change, and a fake of the
// file dialogs and the shell with queued answers.
#pragma once

#include "app/PruefView.h"
#include "core/Services.h"
#include "core/Text.h"

#include <deque>
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
    std::optional<ListRow> selectedListRow() const override { return selected; }

    std::string caption;
    std::vector<std::string> changes;
    std::vector<ListColumn> columns;
    std::vector<ListRow> shownRows;
    std::optional<ListRow> selected;
    Ctl focused = Ctl::Count;
};

class FakeFileDialogs final : public IFileDialogs {
public:
    std::string openFile(Owner, const std::string& title, const std::string& folder,
                         const std::string& name) override {
        asked.push_back(ansiToUtf8(title) + " | " + folder + " | " + name);
        if (files.empty()) return {};
        std::string f = files.front();
        files.pop_front();
        return f;
    }
    std::string chooseFolder(Owner, const std::string& title, const std::string&) override {
        asked.push_back(ansiToUtf8(title));
        if (folders.empty()) return {};
        std::string f = folders.front();
        folders.pop_front();
        return f;
    }
    std::deque<std::string> files;
    std::deque<std::string> folders;
    std::vector<std::string> asked;
};

class FakeShell final : public IShell {
public:
    long open(Owner, const std::string& target, const std::string& verb, const std::string&) override {
        opened.push_back(verb + " " + target);
        return result;
    }
    std::vector<std::string> opened;
    long result = 42;
};

} // namespace arti::test
