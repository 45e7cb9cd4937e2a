// The findings of a file as the window's findings list, its groups, its outcome line and
// the checker's summary count them: those of the file choice and of the last run, up to
// the run's closing line. A run starts again from the choice's findings, so running a file
// twice does not count it twice; steps by hand in between, and the header read again to
// show it after a run, are logged but not counted here.
//
// Each finding is counted in its group as it comes (one hash lookup). The window keeps the
// findings themselves too, compactly, for a list of any length that shows only what is in
// view; the checker keeps none.
#pragma once

#include "run/ErrorLog.h"
#include "run/FindingGroups.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

class FileFindings final : public IFindingObserver {
public:
    // One finding kept for the list.
    struct Entry {
        long long offset = 0;        // where its record starts ("Datei-Offset")
        std::uint32_t textBlock = 0; // its text: block of the text store,
        std::uint32_t textAt = 0;    // place in the block
        std::uint32_t textSize = 0;  // and length
        std::uint32_t group = 0;     // its group's index (FindingGroups::at)
        std::uint32_t position = 0;  // position within the record ("Satz-Offset")
        std::uint32_t record = 0;    // the record counter as shown
        bool hasRecord = false;      // false: the counter showed nothing
        bool error = false;
    };

    // Keep the findings themselves (the window's list); counts and groups are always kept.
    void keepList(bool on) { keepList_ = on; }

    // A file is being chosen: what the last file left is forgotten, its findings are taken.
    void fileChosen();
    // The choice is over: its findings stay, later ones wait for a run.
    void choiceDone();
    // A run starts: back to the choice's findings, and the run's are taken.
    void runStarts();
    // The run has logged its last line.
    void runEnded() { open_ = false; }

    void finding(const Finding& f) override;
    // Every finding counted is handed on to `o` too (null: none).
    void forwardTo(IFindingObserver* o) { forward_ = o; }

    std::uint64_t count() const { return count_; }
    std::uint64_t errors() const { return errors_; }
    const FindingGroups& groups() const { return groups_; }

    // The findings kept, in the order they were logged (empty unless kept).
    const std::deque<Entry>& entries() const { return entries_; }
    std::string_view text(const Entry& e) const {
        return std::string_view(texts_[e.textBlock]).substr(e.textAt, e.textSize);
    }

private:
    struct Mark {
        std::uint64_t count = 0;
        std::uint64_t errors = 0;
        std::size_t entries = 0;
        std::size_t blocks = 0;    // text blocks in use
        std::size_t lastBlock = 0; // the size of the last one
        FindingGroups groups;
    };
    void clear();

    bool keepList_ = false;
    bool open_ = false;
    std::uint64_t count_ = 0;
    std::uint64_t errors_ = 0;
    FindingGroups groups_;
    // Both grow in pieces, so that a million findings are never copied to grow.
    std::deque<Entry> entries_;
    std::vector<std::string> texts_; // blocks of texts, each filled up to its capacity
    std::optional<Mark> choice_;
    IFindingObserver* forward_ = nullptr;
};

} // namespace arti
