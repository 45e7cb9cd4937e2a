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
    // Stop request of the check run: raised by "Stop", by refusals and by the file
    // readers, polled by the run before every record.
    bool stopRequest = false;
    // Set with the stop request when the user asked for it ("Stop", "Beenden", OK in a
    // finding's box); a request raised by a refusal of the check leaves it clear, so the
    // log does not blame the user for a stop the check made.
    bool stopByUser = false;
    // A data file named on the command line (the desktop opens the program with the file
    // a user double-clicked): chosen for checking once the window is up. Engine text.
    std::string startFile;
};

AppState& appState();

} // namespace arti
