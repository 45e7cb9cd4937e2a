// A run display that shows nothing and records the phases of a file choice and a run,
// in the order the engine tells them.
#pragma once

#include "run/RunDisplay.h"

#include <string>
#include <vector>

namespace arti::test {

class RecordingRunDisplay final : public IRunDisplay {
public:
    std::vector<std::string> phases;

    void showCounter(std::optional<unsigned long>) override {}
    void showPosition(std::optional<long long>) override {}
    void showRecordLength(std::optional<long long>) override {}
    void showRecordType(std::string_view) override {}
    void showRecordText(std::string_view) override {}
    void showRecordContinuation(std::optional<std::string_view>, std::optional<std::string_view>) override {}
    void showFieldCount(std::size_t) override {}
    void showErrors(std::optional<unsigned long>) override {}
    void showFileName(std::string_view) override {}
    void showFileLength(long long) override {}
    void showRecordCount(std::optional<long long>) override {}
    void showHeaderDate(std::string_view) override {}
    void showVersion(std::string_view) override {}
    void showSeparator(std::string_view) override {}
    void showAnnouncement(std::string_view) override {}
    void showOption(RunOption, bool, bool) override {}
    void settingsChanged() override { phases.push_back("settingsChanged"); }
    void clearList() override {}
    void showFields(const FieldTable&) override {}
    void fieldsChanged(std::string_view, bool) override {}
    void sequenceViewAvailable(bool) override {}
    void clearSequenceList() override {}
    void closeFieldWindow() override {}
    void fileChoiceStarts() override { phases.push_back("fileChoiceStarts"); }
    void fileNotOpened() override { phases.push_back("fileNotOpened"); }
    void fileRefused() override { phases.push_back("fileRefused"); }
    void fileReady() override { phases.push_back("fileReady"); }
    void runStarts() override { phases.push_back("runStarts"); }
    void runStopRequested() override { phases.push_back("runStopRequested"); }
    void runEnded() override { phases.push_back("runEnded"); }
    void navigation(const Navigation&) override {}
    void outcomeChanged() override { phases.push_back("outcomeChanged"); }
};

} // namespace arti::test
