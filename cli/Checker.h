// The command-line checker as a whole: check parameters from the options, the settings
// store or the defaults; one check per file; the logs named and placed; the exit code.
#pragma once

#include "cli/FileCheck.h"
#include "cli/Options.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace arti::cli {

// The check parameters: each from its option, else from the settings store when it
// holds the value (the user's values, else the machine's), else the default of the
// settings table (EUR, DE, 2 decimals, today -30 to +30 days).
CheckParameters resolveParameters(const CheckOptions& o);

// The log of file number `index` of `count`: "Error.log" for a single file, else the
// file's name with ".Error.log", made unique among the names already `taken`.
std::string logName(const std::string& file, std::size_t count, std::vector<std::string>& taken);

// While it lives, registry writes go to a private folder, so that a check from the
// command line leaves the user's settings alone (the run itself writes none: it hands
// the chosen file's folder to its display, which stores nothing here). The settings are
// read before.
class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;
    bool ok() const { return !folder_.empty(); }

private:
    std::string folder_;
    std::optional<std::string> previous_;
};

struct Streams {
    std::ostream& out;                // summaries
    std::ostream& err;                // messages
    std::ostream* progress = nullptr; // progress display (a terminal), or null
    std::size_t width = 100;          // characters of a summary line: the terminal's width
};

// Checks every file of the options; returns the exit code (the highest of the files).
int runChecker(const CheckOptions& options, const Streams& streams);

} // namespace arti::cli
