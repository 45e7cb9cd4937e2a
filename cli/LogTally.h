// The checker's own tally of a check: it subscribes to the check's error log and takes
// each finding as it is logged, up to the run's closing line at the end of the file
// (the header read again after it belongs to no run). The window's error display
// cannot serve, as that reading empties it. How the check ended is the run's outcome.
#pragma once

#include "run/ErrorLog.h"
#include "run/FindingGroups.h"

#include <cstdint>
#include <string>

namespace arti {
class CheckRun;
}

namespace arti::cli {

struct LogTally {
    std::uint64_t messages = 0; // findings up to the end of the run
    std::uint64_t errors = 0;   // those that count as errors
    std::string lastMessage;    // the last message counted, as logged
    // Record counter and file offset of the last finding counted: where the check got to.
    std::uint64_t reachedRecord = 0;
    std::uint64_t reachedOffset = 0;
};

class FindingTally final : public IFindingObserver {
public:
    // `run`: the check whose outcome tells when its closing line has been logged.
    explicit FindingTally(const CheckRun& run) : run_(run) {}
    void finding(const Finding& f) override;
    const LogTally& result() const { return t_; }
    // The findings counted, in groups of kind, record type and field.
    const FindingGroups& groups() const { return groups_; }
    // Every finding counted is handed on to `o` too (null: to none), so that what is
    // reported agrees with the counts.
    void forwardTo(IFindingObserver* o) { forward_ = o; }

private:
    const CheckRun& run_;
    LogTally t_;
    FindingGroups groups_;
    IFindingObserver* forward_ = nullptr;
    bool closed_ = false; // the run's end line has been counted: nothing counts after it
};

// A message as its log line shows it: its CR LF pairs removed, and only up to a line
// feed of its own (a record with a lone LF, copied into the log, breaks the line there).
std::string logLineMessage(std::string_view text);

} // namespace arti::cli
