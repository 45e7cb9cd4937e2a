#include "cli/LogTally.h"

#include "core/Text.h"

#include <array>
#include <fstream>

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

class Tally {
public:
    explicit Tally(std::uint64_t runStart) : runStart_(runStart) {}

    // One line (without its CR LF) that began at `offset`. False once the run has ended.
    bool line(std::string_view text, std::uint64_t offset) {
        Finding f;
        if (!parseFinding(text, f)) return true;
        ++t_.messages;
        t_.lastMessage.assign(f.message);
        if (!t_.aborted) reached(f);
        if (containsLowered(f.message, "fehler")) ++t_.errors;
        if (offset < runStart_) return true;
        if (containsLowered(f.message, " uhr, das datei-ende wurde erreicht.")) {
            t_.runEnded = true;
            return false;
        }
        if (!t_.aborted && endsRun(f.message)) {
            t_.aborted = true;
            t_.abortMessage.assign(f.message);
        }
        return true;
    }
    const LogTally& result() const { return t_; }

private:
    void reached(const Finding& f) {
        t_.reachedRecord = f.record;
        t_.reachedOffset = f.offset;
    }

    std::uint64_t runStart_;
    LogTally t_;
};

} // namespace

namespace {

// Digits at `i`, moving `i` behind them.
std::uint64_t digitsAt(std::string_view s, std::size_t& i) {
    std::uint64_t n = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        n = n * 10 + static_cast<std::uint64_t>(s[i++] - '0');
    return n;
}

} // namespace

bool parseFinding(std::string_view line, Finding& out) {
    constexpr std::string_view kOffset = " Datei-Offset ";
    constexpr std::string_view kPosition = ", Satz-Offset ";
    if (line.substr(0, 2) != "Z ") return false;
    std::size_t i = 2;
    out.record = digitsAt(line, i);
    if (line.substr(i, kOffset.size()) != kOffset) return false;
    i += kOffset.size();
    out.offset = digitsAt(line, i);
    if (line.substr(i, kPosition.size()) != kPosition) return false;
    i += kPosition.size();
    digitsAt(line, i);
    if (line.substr(i, 2) != ", ") return false;
    out.message = line.substr(i + 2);
    return true;
}

LogTally tallyLog(std::string_view text, std::uint64_t runStart) {
    Tally t(runStart);
    std::size_t from = 0;
    // Lines end in CR LF; a lone LF inside a logged record only splits that record.
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!t.line(line, from)) break;
        from = end + 1;
    }
    return t.result();
}

bool tallyLogFile(const std::string& path, std::uint64_t runStart, LogTally& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    Tally t(runStart);
    std::string line;
    std::uint64_t offset = 0;
    while (std::getline(in, line)) {
        const std::uint64_t length = line.size() + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!t.line(line, offset)) break;
        offset += length;
    }
    if (in.bad()) return false;
    out = t.result();
    return true;
}

} // namespace arti::cli
