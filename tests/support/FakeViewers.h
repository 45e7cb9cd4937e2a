// Scripted stand-ins for the record viewers and the update service: they record every
// call and answer with what the test set.
#pragma once

#include "core/AppState.h"
#include "views/RecordViewers.h"

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

    IChildWindow* editor = nullptr;   // what openFieldEditor returns
    IChildWindow* sequence = nullptr; // what openSequenceViewer returns
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
