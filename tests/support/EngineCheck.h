// The check engine on its own, as the command-line checker drives it: a file chosen by
// path, the run to its end with the field checks on and no pop-ups, a display that
// records the phases, the run's questions answered from a script, the other boxes by
// the fake message box, the log and the long-text store in a fresh data folder.
#pragma once

#include "run/CheckEngine.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/CheckSettings.h"
#include "tests/support/Fakes.h"
#include "tests/support/RecordingRunDisplay.h"
#include "tests/support/ScriptedRunQuestions.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <string>

namespace arti::test {

// A record of versions 05/90 and 01/96: 128 characters and CR LF.
inline std::string fixedRecord(std::string content) {
    content.resize(128, ' ');
    return content + "\r\n";
}

class EngineCheck {
public:
    EngineCheck() { run.parameters = checkParameters(dir.folder()); }
    ~EngineCheck() {
        engine.closeTextTable();
        engine.closeFiles();
    }
    EngineCheck(const EngineCheck&) = delete;
    EngineCheck& operator=(const EngineCheck&) = delete;

    // Chooses the file (unless `choose` is off: it is chosen already) and, when it may
    // be run, runs it to its end.
    void check(const std::string& path, bool choose = true) {
        if (choose) engine.chooseFile(path);
        if (!run.fileReady) return;
        run.options.popups = false;
        run.options.listDisplay = false;
        engine.runToEnd();
    }
    // Writes a file into the folder and returns its path.
    std::string write(const std::string& name, const std::string& content) {
        const std::string path = dir.folder() + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    TempDir dir;
    RegistrySandbox registry;
    FakeServices services;
    ScriptedRunQuestions questions;
    RecordingRunDisplay display;
    CheckRun run;
    CheckEngine engine{run, display, &run, &questions};
};

} // namespace arti::test
