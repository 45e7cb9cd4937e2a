// Scripted stand-ins for the record viewers and the update service: they record every
// call and answer with what the test set.
#pragma once

#include "core/AppState.h"
#include "views/MeldWnd.h"
#include "views/RecordViewers.h"

#include <memory>
#include <optional>

#include <string>
#include <vector>

namespace arti::test {

class FakeRecordViewers final : public IRecordViewers {
public:
    IChildWindow* openFieldEditor(Owner, IViewerOwner&, CheckRun&, const ListedField& field,
                                  const std::string& recordType, const std::string& nulReplacement) override {
        calls.push_back("open " + field.name + " " + recordType + " " + nulReplacement);
        fields.push_back(field);
        return editor;
    }
    void refreshFieldEditor(IChildWindow& e, const std::optional<ListedField>& field,
                            const std::string& recordType, const std::string&) override {
        calls.push_back(std::string(&e == editor ? "refresh " : "refresh other ") +
                        (field ? field->name : "-") + " " + recordType);
        if (field) fields.push_back(*field);
    }
    void clearSequenceList() override { calls.push_back("clear"); }
    IChildWindow* openSequenceViewer(Owner, IViewerOwner&, CheckRun&) override {
        calls.push_back("sequence");
        return sequence;
    }

    // A findings window of the real logic on a scripted face.
    IFindingsWindow* openFindingsWindow(Owner, IRecordJump& main, const FileFindings& findings) override {
        calls.push_back("findings");
        if (!meld) meld = std::make_unique<FindingsWindow>(main, findings);
        meld->refresh();
        return meld.get();
    }
    struct FindingsWindow final : IFindingsWindow, IMeldView {
        FindingsWindow(IRecordJump& main, const FileFindings& findings) : logic(main, findings) {
            logic.attachView(this);
        }
        void end() override {}
        void refresh() override { logic.SETUP(); }
        void showSummary(const std::string& text) override { summary = text; }
        void showGroups(const std::vector<GroupRow>&) override {}
        void markGroup(std::optional<std::size_t> row) override { marked = row; }
        void showFindings(std::size_t count, const std::string& text) override {
            listed = count;
            caption = text;
        }
        void enableAll(bool on) override { allEnabled = on; }

        MELD_WND logic;
        std::string summary, caption;
        std::optional<std::size_t> marked;
        std::size_t listed = 0;
        bool allEnabled = false;
    };

    std::unique_ptr<FindingsWindow> meld; // the findings window, once opened
    IChildWindow* editor = nullptr;       // what openFieldEditor returns
    IChildWindow* sequence = nullptr;     // what openSequenceViewer returns
    std::vector<std::string> calls;
    std::vector<ListedField> fields; // every field an editor was set up with
};

class FakeUpdateService final : public IUpdateService {
public:
    bool automaticCheck(Owner, IMainWindowLink&) override {
        calls.push_back("check");
        return installerStarted;
    }
    // With `installerStarted` the window's manual update hands over to an installer.
    void settingsWindow(Owner owner) override {
        calls.push_back(owner ? "settings" : "settings without owner");
        if (installerStarted) appState().closeWithoutAsking = true;
    }

    bool installerStarted = false;
    std::vector<std::string> calls;
};

} // namespace arti::test
