// What the update check tests share: the fakes, a registry, a temporary folder and a
// program folder of their own with the site's public key, and the site's files.
#pragma once

#include "core/AppState.h"
#include "settings/Registry.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/GtestFakes.h"
#include "tests/update/UpdateSite.h"
#include "update/InternetUpdate.h"
#include "update/Signature.h"

#include <filesystem>
#include <string>
#include <vector>

namespace arti::test {

class UpdateFixture : public ServicesFixture {
protected:
    UpdateFixture() : site_(updateSite()) {
        appState().tempFolder = temp_.folder();
        appState().programFolder = program_.folder();
        appState().closeWithoutAsking = false;
        std::filesystem::copy_file(site_.publicKey(), updateKeyFile());
        user("CAFile", site_.authority().string());
        open_ = [this](const std::string& file) { return shell().open(nullptr, file, "open", ""); };
    }
    ~UpdateFixture() override {
        appState().tempFolder.clear();
        appState().programFolder.clear();
    }

    static void user(const std::string& name, const std::string& text) {
        SAVEREG_EINZELWERT(nullptr, "HKCU", "", name, text);
    }
    static std::string userValue(const std::string& name) {
        return GETREG_EINZELWERT(nullptr, "HKCU", "", name, false);
    }
    // The files left anywhere below the temporary folder.
    std::vector<std::string> leftFiles() const {
        std::vector<std::string> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(temp_.path()))
            if (e.is_regular_file()) files.push_back(e.path().filename().string());
        return files;
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> c;
        for (const ShownBox& b : box_.shown)
            c.push_back(b.caption);
        return c;
    }

    const loopback::Site& site_;
    RegistrySandbox registry_;
    TempDir temp_;
    TempDir program_;
    OpenDocument open_;
};

} // namespace arti::test
