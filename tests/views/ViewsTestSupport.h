// Shared pieces of the window logic tests: a main window that records what it is asked,
// and a fixture with services, dialogs, shell, a registry of its own and fresh settings.
#pragma once

#include "settings/Settings.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/FakePruefView.h"
#include "tests/support/GtestFakes.h"
#include "views/Windows.h"

#include <string>
#include <vector>

namespace arti::test {

class FakeMainWindow final : public IMainWindowLink {
public:
    void SETPARAM() override { ++setParams; }
    long CALLEXPLORER(const std::string& target, const std::string& verb, const std::string&) override {
        opened.push_back(verb + " " + target);
        return 42;
    }
    int setParams = 0;
    std::vector<std::string> opened;
};

class WindowFixture : public ServicesFixture {
protected:
    WindowFixture() {
        Settings& s = settings();
        s = Settings{};
        s.installPath = data_.folder();
        s.waehrung = "EUR";
        s.lCode = "DE";
        s.nks = 2;
        s.uDatum = std::chrono::year{2026} / 11 / 8;
        s.oDatum = std::chrono::year{2027} / 1 / 7;
        s.startDlg = true;
        s.visual = false;
    }
    ~WindowFixture() override { settings() = Settings{}; }

    // One box was shown with this caption and text (UTF-8); it is taken off the list.
    void expectBox(const std::string& caption, const std::string& text) {
        ASSERT_FALSE(box_.shown.empty()) << "no box [" << caption << "] " << text;
        EXPECT_EQ(box_.shown.front().caption, caption);
        EXPECT_EQ(box_.shown.front().text, text);
        box_.shown.erase(box_.shown.begin());
    }
    static std::optional<std::string> userValue(const std::string& name) {
        return RegistrySandbox::get(platform::RegHive::CurrentUser, "Software\\MERIX\\ARTISCOPE\\INIFolder",
                                    name);
    }

    RegistrySandbox registry_;
    TempDir data_;
    FakeMainWindow main_;
};

} // namespace arti::test
