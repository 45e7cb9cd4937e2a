// The checker's own tally of a check: it subscribes to the check's error log and takes
// each finding as it is logged. The window's error display cannot serve, as the header
// record read again at the end of a complete run empties it.
#pragma once

#include "run/ErrorLog.h"

#include <cstdint>
#include <string>

namespace arti::cli {

struct LogTally {
    std::uint64_t messages = 0; // findings up to the end of the run
    std::uint64_t errors = 0;   // those that count as errors: "fehler" in any letter case
    bool runEnded = false;      // the run reached the end of the file
    bool aborted = false;       // a message of the run ended the check early
    std::string lastMessage;    // the last message counted, as its log line shows it
    std::string abortMessage;   // the first message that ended the run
    // Record counter and file offset of the last finding counted, or of the message that
    // ended the run: where the check got to.
    std::uint64_t reachedRecord = 0;
    std::uint64_t reachedOffset = 0;
};

class FindingTally final : public IFindingObserver {
public:
    // From here on the run is under way: its messages may end it. The recognition's
    // messages before count but cannot end it.
    void runStarts() { inRun_ = true; }
    void finding(const Finding& f) override;
    const LogTally& result() const { return t_; }
    // Every finding counted is handed on to `o` too (null: to none), so that what is
    // reported agrees with the counts.
    void forwardTo(IFindingObserver* o) { forward_ = o; }

private:
    LogTally t_;
    IFindingObserver* forward_ = nullptr;
    bool inRun_ = false;
    bool closed_ = false; // the run's end line has been counted: nothing counts after it
};

// A message as its log line shows it: its CR LF pairs removed, and only up to a line
// feed of its own (a record with a lone LF, copied into the log, breaks the line there).
std::string logLineMessage(std::string_view text);

} // namespace arti::cli
