#include "run/ErrorLog.h"

#include "records/FileAccess.h"
#include "rules/NumberText.h"

#include <algorithm>

namespace arti {

namespace {

// A buffer of this size is written at once, even in the middle of a run.
constexpr std::size_t kFlushSize = 64 * 1024;
constexpr std::string_view kCrLf = "\r\n";

// The message as one line: every CR LF removed, the parts run together.
void appendWithoutLineBreaks(std::string& out, std::string_view text) {
    std::size_t from = 0;
    for (std::size_t at = text.find(kCrLf); at != std::string_view::npos; at = text.find(kCrLf, from)) {
        out.append(text, from, at - from);
        from = at + kCrLf.size();
    }
    out.append(text, from, std::string_view::npos);
}

void appendNumber(std::string& out, long long n) {
    if (n < 0) out += '-';
    out += NumberText(n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n))
               .view();
}

void appendPrefix(std::string& out, const Finding& f) {
    out += "Z ";
    if (f.record) out += NumberText(*f.record).view();
    out += " Datei-Offset ";
    appendNumber(out, f.offset);
    out += ", Satz-Offset ";
    appendNumber(out, f.position);
}

} // namespace

void ErrorLog::log(Finding f) {
    f.error = countsAsError(f.kind);
    for (IFindingObserver* o : observers_)
        o->finding(f);
}

void ErrorLog::subscribe(IFindingObserver* o) {
    if (std::find(observers_.begin(), observers_.end(), o) == observers_.end()) observers_.push_back(o);
}

void ErrorLog::unsubscribe(IFindingObserver* o) {
    std::erase(observers_, o);
}

std::string findingPrefix(const Finding& f) {
    std::string s;
    appendPrefix(s, f);
    return s;
}

void LogFileWriter::finding(const Finding& f) {
    // Without an open log a line has nowhere to go.
    if (file_ == 0) return;
    appendPrefix(buffer_, f);
    buffer_ += ", ";
    appendWithoutLineBreaks(buffer_, f.text);
    buffer_ += kCrLf;
    if (!running_ || buffer_.size() >= kFlushSize) flush();
}

void LogFileWriter::append(std::string_view bytes) {
    if (file_ == 0) return;
    buffer_ += bytes;
    if (!running_ || buffer_.size() >= kFlushSize) flush();
}

bool LogFileWriter::flush() {
    if (buffer_.empty()) return true;
    if (file_ == 0) {
        buffer_.clear();
        return true;
    }
    const bool ok = BIN_W(owner_, file_, buffer_);
    buffer_.clear();
    if (!ok) failed_ = true;
    return ok;
}

} // namespace arti
