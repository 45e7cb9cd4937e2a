#include "cli/Report.h"

#include "cli/LogTally.h"
#include "cli/Summary.h"
#include "core/AppState.h"
#include "core/Text.h"

#include <nlohmann/json.hpp>

namespace arti::cli {

namespace {

using Json = nlohmann::ordered_json;

// Compact, and a file name that is no UTF-8 (the file system allows any bytes) gets
// replacement characters instead of ending the program with an exception.
std::string dumped(const Json& j) {
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The groups of a file's findings: kind, record type, field (null for a whole record,
// the file or the run), counts, where the first one is, and its text as its log line
// shows it.
Json groupsJson(const std::vector<FindingGroup>& groups) {
    Json out = Json::array();
    for (const FindingGroup& g : groups) {
        Json j;
        j["kind"] = std::string(messageKindName(g.kind));
        if (g.recordType.empty())
            j["record_type"] = nullptr;
        else
            j["record_type"] = ansiToUtf8(g.recordType);
        if (g.field == kNoField)
            j["field"] = nullptr;
        else
            j["field"] = g.field;
        j["count"] = g.count;
        j["errors"] = g.errors;
        if (g.firstRecord)
            j["first_record"] = *g.firstRecord;
        else
            j["first_record"] = nullptr;
        j["first_offset"] = g.firstOffset;
        j["example"] = ansiToUtf8(logLineMessage(g.example));
        out.push_back(std::move(j));
    }
    return out;
}

} // namespace

const char* outcomeName(Outcome o) {
    switch (o) {
    case Outcome::Complete:
        return "complete";
    case Outcome::Aborted:
        return "aborted";
    case Outcome::NotRecognised:
        return "not_recognised";
    case Outcome::IoError:
        return "io_error";
    case Outcome::Interrupted:
        return "interrupted";
    case Outcome::Missing:
        break;
    }
    return "missing";
}

IFindingObserver* JsonReport::findingsOf(const std::string& file) {
    if (!withFindings_) return nullptr;
    findings_.file = file;
    return &findings_;
}

void JsonReport::FindingLines::finding(const Finding& f) {
    Json j;
    j["type"] = "finding";
    j["file"] = file;
    if (f.record)
        j["record"] = *f.record;
    else
        j["record"] = nullptr;
    j["offset"] = f.offset;
    j["position"] = f.position;
    // The message as its "Error.log" line shows it, in UTF-8.
    j["text"] = ansiToUtf8(logLineMessage(f.text));
    j["error"] = f.error;
    report_.line(dumped(j));
}

void JsonReport::fileDone(const FileResult& r) {
    const bool checked = r.outcome != Outcome::Missing;
    Json j;
    j["type"] = "file";
    j["file"] = r.file;
    j["program_version"] = appState().programVersion;
    j["version"] = checked ? versionName(r.version) : "-";
    j["records"] = r.records;
    j["findings"] = r.messages;
    j["errors"] = r.errors;
    j["outcome"] = outcomeName(r.outcome);
    j["exit_code"] = r.exitCode();
    j["result"] = resultText(r);
    j["reason"] = r.reason;
    if (r.cause.empty())
        j["cause"] = nullptr;
    else
        j["cause"] = r.cause;
    if (!r.ioPath.empty()) j["io_path"] = r.ioPath;
    j["groups"] = groupsJson(r.groups);
    j["log"] = checked ? r.logPath : std::string();
    j["bytes"] = r.bytes;
    j["seconds"] = r.seconds;
    line(dumped(j));
}

void JsonReport::line(const std::string& json) {
    // Each line whole and at once: a script that follows the report reads no half line.
    out_ << json << '\n';
    out_.flush();
}

} // namespace arti::cli
