// The machine-readable report of the checker: JSON Lines (one JSON object per line),
// one object per file checked and, when asked, one per finding before it, so that a
// script can decide and show without reading the German summary.
//
//   {"type":"finding","file":..,"record":12,"offset":1234,"position":5,"text":..,"error":true}
//   {"type":"file","file":..,"program_version":..,"version":"01/96","records":300,
//    "findings":3,"errors":0,"outcome":"complete","exit_code":0,"result":"in Ordnung",
//    "reason":"","log":"/abs/Error.log","bytes":..,"seconds":..}
//
// Every text is UTF-8; bytes of a file name that are no UTF-8 are replaced (U+FFFD).
#pragma once

#include "cli/FileCheck.h"
#include "run/ErrorLog.h"

#include <ostream>
#include <string>

namespace arti::cli {

// The word for how a check ended: "complete", "aborted", "not_recognised", "io_error",
// "interrupted", "missing".
const char* outcomeName(Outcome o);

class JsonReport {
public:
    // `withFindings`: a line per finding as well.
    JsonReport(std::ostream& out, bool withFindings)
        : out_(out), findings_(*this), withFindings_(withFindings) {}
    JsonReport(const JsonReport&) = delete;
    JsonReport& operator=(const JsonReport&) = delete;

    // The observer that writes the findings of the check of `file`, or null when the
    // findings are not reported.
    IFindingObserver* findingsOf(const std::string& file);
    // The line of a file, after its check.
    void fileDone(const FileResult& r);
    // False once a line could not be written.
    bool good() const { return out_.good(); }

private:
    class FindingLines final : public IFindingObserver {
    public:
        explicit FindingLines(JsonReport& report) : report_(report) {}
        void finding(const Finding& f) override;
        std::string file;

    private:
        JsonReport& report_;
    };

    void line(const std::string& json);

    std::ostream& out_;
    FindingLines findings_;
    bool withFindings_;
};

} // namespace arti::cli
