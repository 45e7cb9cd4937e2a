// artiscope-check: checks ELDANORM files from the command line with the engine of the
// main check window. See --hilfe.
#include "cli/Checker.h"
#include "cli/FileCheck.h"
#include "cli/Options.h"
#include "core/AppState.h"

#include <csignal>
#include <iostream>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The first Ctrl+C stops the check before its next record and keeps the log complete;
// a second one ends the program at once.
extern "C" void onInterrupt(int signal) {
    arti::cli::requestInterrupt();
    std::signal(signal, SIG_DFL);
}

} // namespace

int main(int argc, char** argv) {
    using namespace arti::cli;
    const std::vector<std::string> args(argv + 1, argv + argc);
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
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    // A file-size limit makes a write fail with an error the check reports, instead of
    // ending the program mid-way.
    std::signal(SIGXFSZ, SIG_IGN);
    const bool terminal = options.progress && ::isatty(STDERR_FILENO) == 1;
    // The lines of the summary are cut to the terminal's width (none: a line of 100).
    std::size_t width = 100;
    winsize size{};
    if (::isatty(STDOUT_FILENO) == 1 && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col >= 40)
        width = size.ws_col;
    return runChecker(options, Streams{std::cout, std::cerr, terminal ? &std::cerr : nullptr, width});
}
