// artiscope-check: checks ELDANORM files from the command line with the engine of the
// main check window. See --hilfe.
#include "cli/Checker.h"
#include "cli/FileCheck.h"
#include "cli/Options.h"
#include "core/AppState.h"
#include "platform/Console.h"

#include <iostream>

int main(int argc, char** argv) {
    using namespace arti::cli;
    namespace platform = arti::platform;
    platform::prepareConsole();
    const std::vector<std::string> args = platform::commandArguments(argc, argv);
    CheckOptions options;
    std::string error;
    if (!parseOptions(args, options, error)) {
        std::cerr << "artiscope-check: " << error << "\nHilfe: artiscope-check --hilfe\n";
        return 2;
    }
    if (options.help) {
        std::cout << helpText();
        return 0;
    }
    if (options.version) {
        std::cout << "artiscope-check " << arti::appState().programVersion << "\n";
        return 0;
    }
    // The first Ctrl+C stops the check before its next record and keeps the log complete;
    // a second one ends the program at once. A file-size limit makes a write fail with an
    // error the check reports, instead of ending the program mid-way.
    platform::onInterrupt(requestInterrupt);
    const bool terminal = options.progress && platform::errorIsTerminal();
    // The lines of the summary are cut to the terminal's width (none: a line of 100).
    const std::size_t columns = platform::terminalWidth();
    const std::size_t width = columns >= 40 ? columns : 100;
    return runChecker(options, Streams{std::cout, std::cerr, terminal ? &std::cerr : nullptr, width});
}
