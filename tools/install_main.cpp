// artiscope-install: writes the machine-wide values of an administrator installation
// (the registry stand-in's HKLM hive). The program folder files are placed by
// tools/install.sh. Every value can be given as an option; the defaults are those of
// the shipped installation.
#include "core/AppState.h"
#include "platform/Paths.h"
#include "settings/Registry.h"

#include <cstring>
#include <iostream>
#include <string>

namespace {

void usage() {
    std::cerr << "Aufruf: artiscope-install --install-path ORDNER [--program-update TRUE|FALSE]\n"
                 "                          [--url ADRESSE] [--setup VERSION]\n";
}

} // namespace

int main(int argc, char** argv) {
    std::string installPath;
    std::string programUpdate = "TRUE";
    std::string url = "https://www.artiscope-update.invalid/ARTISCOPE/";
    std::string setup = arti::appState().programVersion;
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        if (i + 1 >= argc) {
            usage();
            return 2;
        }
        const std::string value = argv[++i];
        if (opt == "--install-path")
            installPath = value;
        else if (opt == "--program-update")
            programUpdate = value;
        else if (opt == "--url")
            url = value;
        else if (opt == "--setup")
            setup = value;
        else {
            usage();
            return 2;
        }
    }
    if (installPath.empty()) {
        usage();
        return 2;
    }
    if (installPath.back() != arti::platform::kPathSeparator) installPath += arti::platform::kPathSeparator;

    const arti::ValueList values{{"InstallMode", "ADMIN"},
                                 {"InstallPath", installPath},
                                 {"Setup", setup},
                                 {"URLMerix", url},
                                 {"DateiVersion", "version.txt"},
                                 {"DateiEXE", "ASSetup.exe"},
                                 {"UpdateEXE", "ASUpdate.exe"},
                                 {"PRGUpdate", programUpdate}};
    arti::SAVEREGISTRY(nullptr, "HKLM", "", values, true);
    const std::string check = arti::GETREG_EINZELWERT(nullptr, "HKLM", "", "InstallPath", false);
    if (check != installPath) {
        std::cerr << "Die Installationswerte konnten nicht geschrieben werden ("
                  << arti::platform::machineFolder() << ").\n";
        return 1;
    }
    std::cout << "Installationswerte geschrieben nach " << arti::platform::machineFolder() << "\n";
    return 0;
}
