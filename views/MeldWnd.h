// MELD_WND: the window "Meldungen im Überblick". It shows the findings of the file choice
// and the last run in groups of equal findings (message kind, record type, field), the
// largest first, each with a bar by its count; below them the findings themselves, all or
// those of the chosen group. A double click on a group goes to the record of its first
// finding, one on a finding to its record.
//
// Everything is read from the run's file findings, never from the texts of a list. The
// list of findings is virtual: the face asks for the rows it shows, so a million
// findings cost no more than the ones in view.
#pragma once

#include "core/Services.h"
#include "run/FileFindings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace arti {

// One group as the window shows it (texts in Windows-1252).
struct GroupRow {
    std::uint64_t count = 0;
    std::uint64_t errors = 0;
    std::string kind;       // the message kind's stable name
    std::string recordType; // "B", or "Datei" for the file and the run
    std::string field;      // "23", or empty for a whole record
    std::string example;    // the first finding's text, on one line
    double share = 0;       // count / count of the largest group: the bar's length
};

// One finding as the list shows it (texts in Windows-1252).
struct FindingRow {
    std::string record; // the record counter as shown, empty when it showed none
    std::string offset;
    std::string position;
    std::string text; // on one line
    bool error = false;
};

class IMeldView {
public:
    virtual ~IMeldView() = default;
    // The line above the groups: how many findings, errors and groups.
    virtual void showSummary(const std::string& text) = 0;
    virtual void showGroups(const std::vector<GroupRow>& rows) = 0;
    // Marks the chosen group (none: all findings are listed).
    virtual void markGroup(std::optional<std::size_t> row) = 0;
    // The list now has `count` rows (read through MELD_WND::findingRow); `caption` says which.
    virtual void showFindings(std::size_t count, const std::string& caption) = 0;
    // "Alle Meldungen" can be clicked (a group is chosen).
    virtual void enableAll(bool on) = 0;
};

// What the window asks of the main check window: show the record that starts at a file
// offset (the record of a finding).
class IRecordJump {
public:
    virtual ~IRecordJump() = default;
    virtual void showRecordAt(long long offset) = 0;
};

class MELD_WND {
public:
    MELD_WND(IRecordJump& main, const FileFindings& findings) : main_(main), findings_(findings) {}
    MELD_WND(const MELD_WND&) = delete;
    MELD_WND& operator=(const MELD_WND&) = delete;

    void attachView(IMeldView* view) { view_ = view; }
    Owner owner() const { return this; }

    // Reads the findings again (after a file choice or a run) and lists them all.
    void SETUP();
    // A group chosen in the list of groups (none: "Alle Meldungen").
    void chooseGroup(std::optional<std::size_t> row);
    void groupActivated(std::size_t row);
    void findingActivated(std::size_t row);

    std::size_t findingCount() const { return filtered_ ? filtered_->size() : findings_.entries().size(); }
    FindingRow findingRow(std::size_t row) const;
    const std::vector<GroupRow>& groups() const { return rows_; }
    std::optional<std::size_t> chosenGroup() const { return chosen_; }

private:
    const FileFindings::Entry* entryAt(std::size_t row) const;
    void listFindings();

    IRecordJump& main_;
    const FileFindings& findings_;
    IMeldView* view_ = nullptr;
    std::vector<GroupRow> rows_;
    std::vector<std::size_t> groupOfRow_; // the group index (FindingGroups::at) of each row
    std::optional<std::size_t> chosen_;
    // The entries of the chosen group, by their index; none while all are listed.
    std::optional<std::vector<std::uint32_t>> filtered_;
};

} // namespace arti
