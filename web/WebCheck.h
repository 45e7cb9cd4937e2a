// One file checked in the web page: the command-line checker's check of the file, its
// findings kept for the page's list and groups, and a viewer that shows the record of a
// finding as the main window shows it. Everything the page gets is JSON (UTF-8).
#pragma once

#include "cli/FileCheck.h"
#include "cli/Options.h"
#include "run/FileFindings.h"

#include <cstddef>
#include <memory>
#include <string>

namespace arti::web {

// The check's options from the page's JSON ({"currency":"EUR", "dateFrom":"01.12.2026",
// "fieldChecks":true, "answers":{"widenDateWindow":true}, …}); left-out keys take the
// command line's defaults. False with a German message in `error` for a bad value.
bool optionsFromJson(const std::string& json, cli::CheckOptions& out, std::string& error);

class WebCheck {
public:
    // The page lists at most this many findings; all are counted and grouped.
    static constexpr std::size_t kListLimit = 2'000'000;

    // Checks `name` in the folder `input` (the file the page was given), writing its
    // "Error.log" and long-text store into the folder `work`.
    WebCheck(std::string input, std::string name, std::string work, const cli::CheckOptions& options);
    ~WebCheck();
    WebCheck(const WebCheck&) = delete;
    WebCheck& operator=(const WebCheck&) = delete;

    void run(cli::IProgressObserver* progress);

    // The file's result: the report object of the command line, the window's outcome
    // text, the groups and the number of findings listed.
    std::string resultJson() const;
    // Up to `count` findings from row `from` of the list (group -1: all findings, else
    // those of the group with that index in the result's groups).
    std::string rowsJson(int group, std::size_t from, std::size_t count);
    // The record that starts at `offset`: its text, field table and, for an article's head
    // record, the article decoded as the sequence viewer shows it.
    std::string recordJson(long long offset);
    // Where the check's "Error.log" is (put aside in a folder of its own after the check).
    std::string logPath() const;

private:
    class Viewer;
    class Listing;

    std::string input_;
    std::string name_;
    std::string work_;
    cli::CheckParameters parameters_;
    cli::FileResult result_;
    std::string report_;
    FileFindings findings_;
    std::unique_ptr<Listing> listing_;
    std::unique_ptr<Viewer> viewer_;
};

} // namespace arti::web
