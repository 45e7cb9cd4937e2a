// The German summary of the checker: a block per file, a closing line for several files.
#pragma once

#include "cli/FileCheck.h"

#include "rules/Version.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arti::cli {

// "1.000.000"
std::string germanCount(std::uint64_t n);
// "302,5" (one decimal)
std::string germanDecimal(double value, int decimals = 1);
// The file's version for people: "01/96", "05/90", "2000", "unbekannt", "-" for none.
std::string versionName(Version version);
// The result in a few words: "in Ordnung", "Fehler gefunden", "Prüfung abgebrochen: ...".
std::string resultText(const FileResult& r);

// The text with every byte that is no part of a UTF-8 character replaced by U+FFFD: a
// file name may hold any bytes, the terminal is to get UTF-8 only.
std::string validUtf8(std::string_view text);

// How the block of a file shows its groups of findings.
struct GroupView {
    std::size_t most = 5;    // groups shown at most (the largest ones)
    std::size_t width = 100; // characters a line may take; the example text is cut to it
};

// The block of one file.
std::string fileSummary(const FileResult& r, const GroupView& groups = {});
// One line per file, for --still.
std::string shortSummary(const FileResult& r);
// The closing line over several files.
std::string totalSummary(const std::vector<FileResult>& results);

} // namespace arti::cli
