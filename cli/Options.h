// The options of the command-line checker artiscope-check.
#pragma once

#include "core/Dates.h"

#include <optional>
#include <string>
#include <vector>

namespace arti::cli {

// The fixed answers to the questions a check asks.
struct Answers {
    bool continueAfterLengthFault = true; // "Soll die Prüfung dennoch fortgesetzt werden ?"
    bool deleteOldTexts = true;           // long texts of an earlier run
    bool remakeTextStore = false;         // a damaged long-text table: make it anew
    bool widenDateWindow = false;         // a date outside the date window
    bool adoptCurrency = false;           // a currency other than the run's
};

struct CheckOptions {
    std::vector<std::string> files;
    std::string logFolder;  // where the logs go; empty: the current folder
    std::string dataFolder; // the user data folder of the check (long-text table); empty: the log folder
    std::optional<std::string> currency;
    std::optional<std::string> country;
    std::optional<Date> dateFrom;
    std::optional<Date> dateTo;
    bool fieldChecks = true;
    bool asciiCheckOff = false;
    Answers answers;
    bool progress = true; // on a terminal, for large files
    bool showBoxes = false;
    bool quiet = false;
    bool allGroups = false;      // the summary shows every group of findings, not the largest five
    std::string report;          // the JSON report's file, "-" for the standard output; empty: none
    bool reportFindings = false; // each finding in the JSON report as well
    bool help = false;
    bool version = false;
};

// Reads the arguments (without the program name). False with a German message in
// `error` for an unknown option, a missing or bad value or no file.
bool parseOptions(const std::vector<std::string>& args, CheckOptions& out, std::string& error);

// The German help text.
std::string helpText();

} // namespace arti::cli
