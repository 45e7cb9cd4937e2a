// Process-wide values that the entry routine sets and every subsystem reads.
#pragma once

#include <string>

namespace arti {

struct AppState {
    std::string programVersion = "23/01/30";       // build date yy/mm/dd
    std::string requiredSetupVersion = "23/01/30"; // setup this program needs
    std::string title = "ARTISCOPE-Inspector";
    std::string shortName = "ARTISCOPE";
    std::string programFolder; // ends in the path separator
    std::string tempFolder;    // ends in the path separator, or empty
    bool visualStyles = false;
    bool closeWithoutAsking = true;
    // A data file named on the command line (the desktop opens the program with the file
    // a user double-clicked): chosen for checking once the window is up. Engine text.
    std::string startFile;
};

AppState& appState();

} // namespace arti
