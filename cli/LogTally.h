// Where the checker's check got to: it takes each finding the run counts as the file's
// (those of the file choice and the run, up to the run's closing line) and keeps the last
// one's text and place. The counts are the run's file findings'; how the check ended is
// the run's outcome.
#pragma once

#include "run/ErrorLog.h"

#include <cstdint>
#include <string>

namespace arti::cli {

struct LogTally {
    std::string lastMessage; // the last message counted, as logged
    // Record counter and file offset of the last finding counted: where the check got to.
    std::uint64_t reachedRecord = 0;
    std::uint64_t reachedOffset = 0;
};

// Takes the findings the run's file findings hand on (FileFindings::forwardTo).
class FindingTally final : public IFindingObserver {
public:
    void finding(const Finding& f) override;
    const LogTally& result() const { return t_; }
    // Every finding counted is handed on to `o` too (null: to none), so that what is
    // reported agrees with the counts.
    void forwardTo(IFindingObserver* o) { forward_ = o; }

private:
    LogTally t_;
    IFindingObserver* forward_ = nullptr;
};

// A message as its log line shows it: its CR LF pairs removed, and only up to a line
// feed of its own (a record with a lone LF, copied into the log, breaks the line there).
std::string logLineMessage(std::string_view text);

} // namespace arti::cli
