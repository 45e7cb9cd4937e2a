#include "cli/LogTally.h"

namespace arti::cli {

std::string logLineMessage(std::string_view text) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", from)) {
        out.append(text, from, at - from);
        from = at + 2;
    }
    out.append(text, from, std::string_view::npos);
    const std::size_t lf = out.find('\n');
    if (lf != std::string::npos) {
        out.erase(lf);
        if (!out.empty() && out.back() == '\r') out.pop_back();
    }
    return out;
}

void FindingTally::finding(const Finding& f) {
    if (forward_) forward_->finding(f);
    t_.lastMessage.assign(f.text); // its storage reused from finding to finding
    t_.reachedRecord = f.record.value_or(0);
    t_.reachedOffset = static_cast<std::uint64_t>(f.offset);
}

} // namespace arti::cli
