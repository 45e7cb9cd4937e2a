// A run display that shows nothing and records the phases of a file choice and a run,
// in the order the engine tells them.
#pragma once

#include "run/RunDisplay.h"

#include <string>
#include <vector>

namespace arti::test {

class RecordingRunDisplay final : public SilentRunDisplay {
public:
    std::vector<std::string> phases;

    void dateWindowAdopted(const DateWindow&) override { phases.push_back("dateWindowAdopted"); }
    void currencyAdopted(std::string_view) override { phases.push_back("currencyAdopted"); }
    void fileNotOpened() override { phases.push_back("fileNotOpened"); }
    void fileRefused() override { phases.push_back("fileRefused"); }
    void fileReady() override { phases.push_back("fileReady"); }
    void runEnded() override { phases.push_back("runEnded"); }
    void outcomeChanged() override { phases.push_back("outcomeChanged"); }
};

} // namespace arti::test
