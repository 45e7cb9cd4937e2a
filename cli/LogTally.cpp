#include "cli/LogTally.h"

#include "core/Text.h"

#include <array>

namespace arti::cli {

using namespace arti::literals;

namespace {

// Messages of the run that end the check before the end of the file: refusals of the
// record step, the order rules and the readers.
bool endsRun(std::string_view message) {
    static const std::array<std::string, 3> markers = {
        lower("Abbruch der Prüfung"_ansi), "wird abgebrochen", "des vorlaufsatzes nicht enthalten"};
    for (const std::string& m : markers)
        if (containsLowered(message, m)) return true;
    return false;
}

} // namespace

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
    if (closed_) return;
    if (forward_) forward_->finding(f);
    const std::string message = logLineMessage(f.text);
    ++t_.messages;
    t_.lastMessage = message;
    if (!t_.aborted) {
        t_.reachedRecord = f.record.value_or(0);
        t_.reachedOffset = static_cast<std::uint64_t>(f.offset);
    }
    if (f.error) ++t_.errors;
    if (!inRun_) return;
    if (containsLowered(message, " uhr, das datei-ende wurde erreicht.")) {
        t_.runEnded = true;
        closed_ = true;
        return;
    }
    if (!t_.aborted && endsRun(message)) {
        t_.aborted = true;
        t_.abortMessage = message;
    }
}

} // namespace arti::cli
