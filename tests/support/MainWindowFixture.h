// The main check window's logic on a fake face, with the scripted services, in a
// folder of its own that is the user data folder (where "Error.log" and the long-text
// store go), handed to the window's run. The settings are restored after the test.
#pragma once

#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "records/FileHandles.h"
#include "settings/Settings.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/TempDir.h"
#include "tools/gen/XBaseTestFiles.h"

#include <string>

namespace arti::test {

class MainWindowFixture : public ServicesFixture {
protected:
    MainWindowFixture() : saved_(settings()) {
        settings().installPath = dir_.folder();
        wnd_.handSettings();
        wnd_.attachView(&view_);
    }
    ~MainWindowFixture() override {
        wnd_.engine.closeTextTable();
        wnd_.engine.closeFiles();
        settings() = saved_;
    }

    // A fresh "Error.log" in the user data folder as the window's log.
    void openLog() { wnd_.engine.useLog(FCREATE(logPath())); }
    std::string logPath() const { return settings().installPath + "Error.log"; }
    // The log as written so far (the window's buffer written first): its bytes, or UTF-8.
    std::string logBytes() {
        wnd_.engine.flushLog();
        return readBytes(logPath());
    }
    std::string logText() { return ansiToUtf8(logBytes()); }
    const ControlMirror& c() const { return wnd_.controls; }

    TempDir dir_;
    FakePruefView view_;
    Settings saved_;
    PRUEF_WND wnd_;
};

} // namespace arti::test
