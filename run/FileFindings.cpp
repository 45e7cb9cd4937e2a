#include "run/FileFindings.h"

#include <algorithm>
#include <limits>

namespace arti {

namespace {

constexpr std::size_t kTextBlock = std::size_t{1} << 20;

std::uint32_t clampedToUint32(long long v) {
    return static_cast<std::uint32_t>(std::clamp<long long>(v, 0, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

void FileFindings::clear() {
    count_ = 0;
    errors_ = 0;
    groups_.clear();
    entries_.clear();
    texts_.clear();
    choice_.reset();
}

void FileFindings::fileChosen() {
    clear();
    // The storage of a large earlier list goes back to the system.
    entries_.shrink_to_fit();
    texts_.shrink_to_fit();
    open_ = true;
}

void FileFindings::choiceDone() {
    choice_ = Mark{count_, errors_, entries_.size(), texts_.size(), texts_.empty() ? 0 : texts_.back().size(),
                   groups_};
    open_ = false;
}

void FileFindings::runStarts() {
    if (choice_) {
        count_ = choice_->count;
        errors_ = choice_->errors;
        entries_.resize(choice_->entries);
        texts_.resize(choice_->blocks);
        if (!texts_.empty()) texts_.back().resize(choice_->lastBlock);
        groups_ = choice_->groups;
    }
    open_ = true;
}

void FileFindings::finding(const Finding& f) {
    if (!open_) return;
    ++count_;
    if (f.error) ++errors_;
    const std::size_t group = groups_.add(f);
    if (keepList_) {
        Entry e;
        e.offset = f.offset;
        e.textSize = clampedToUint32(static_cast<long long>(f.text.size()));
        if (texts_.empty() || texts_.back().capacity() - texts_.back().size() < e.textSize) {
            texts_.emplace_back();
            texts_.back().reserve(std::max<std::size_t>(kTextBlock, e.textSize));
        }
        e.textBlock = static_cast<std::uint32_t>(texts_.size() - 1);
        e.textAt = static_cast<std::uint32_t>(texts_.back().size());
        e.group = static_cast<std::uint32_t>(group);
        e.position = clampedToUint32(f.position);
        e.record = f.record ? static_cast<std::uint32_t>(*f.record) : 0;
        e.hasRecord = f.record.has_value();
        e.error = f.error;
        texts_.back().append(f.text.substr(0, e.textSize));
        entries_.push_back(e);
    }
    if (forward_) forward_->finding(f);
}

} // namespace arti
