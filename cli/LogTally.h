// The checker's own tally of a check, read from the error log the check wrote: the
// error display of the window cannot serve, as the header record read again at the end
// of a complete run empties it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arti::cli {

struct LogTally {
    std::uint64_t messages = 0; // finding lines up to the end of the run
    std::uint64_t errors = 0;   // those that count as errors: "fehler" in any letter case
    bool runEnded = false;      // the run reached the end of the file
    bool aborted = false;       // a message of the run ended the check early
    std::string lastMessage;    // the last message counted (engine text, without the prefix)
    std::string abortMessage;   // the first message that ended the run
    // Record counter and file offset of the last line counted, or of the message that
    // ended the run: where the check got to.
    std::uint64_t reachedRecord = 0;
    std::uint64_t reachedOffset = 0;
};

// Tallies the log text; `runStart` is the length the log had when the run began, so
// that the recognition's messages count but cannot end the run.
LogTally tallyLog(std::string_view text, std::uint64_t runStart);
// The same from the file; false when it cannot be read.
bool tallyLogFile(const std::string& path, std::uint64_t runStart, LogTally& out);

// A finding line "Z <n> Datei-Offset <o>, Satz-Offset <p>, <message>" taken apart; false
// for any other line. The counter <n> is empty while no record counter is shown.
struct Finding {
    std::uint64_t record = 0;
    std::uint64_t offset = 0;
    std::string_view message;
};
bool parseFinding(std::string_view line, Finding& out);

} // namespace arti::cli
