#include "views/MeldWnd.h"

#include "core/Text.h"

#include <algorithm>

namespace arti {

namespace {

// A message on one line: its line breaks become blanks (the log drops them; here the
// words must stay apart).
std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

std::string counted(std::uint64_t n, const char* one, const char* many) {
    return groupedNumber(static_cast<long long>(n)) + (n == 1 ? one : many);
}

} // namespace

void MELD_WND::SETUP() {
    const FindingGroups& groups = findings_.groups();
    groupOfRow_ = groups.sortedOrder();
    rows_.clear();
    rows_.reserve(groupOfRow_.size());
    const std::uint64_t largest = groupOfRow_.empty() ? 0 : groups.at(groupOfRow_.front()).count;
    for (const std::size_t index : groupOfRow_) {
        const FindingGroup& g = groups.at(index);
        GroupRow row;
        row.count = g.count;
        row.errors = g.errors;
        row.kind = messageKindName(g.kind);
        row.recordType = g.recordType.empty() ? "Datei" : g.recordType;
        if (g.field != kNoField) row.field = groupedNumber(g.field);
        row.example = oneLine(g.example);
        row.share = largest == 0 ? 0 : static_cast<double>(g.count) / static_cast<double>(largest);
        rows_.push_back(std::move(row));
    }
    if (view_) {
        view_->showSummary(counted(findings_.count(), " Meldung", " Meldungen") + ", davon " +
                           counted(findings_.errors(), " Fehler", " Fehler") + ", in " +
                           counted(rows_.size(), " Gruppe", " Gruppen") + " gleicher Meldungen");
        view_->showGroups(rows_);
    }
    chooseGroup(std::nullopt);
}

void MELD_WND::chooseGroup(std::optional<std::size_t> row) {
    if (row && *row >= rows_.size()) row.reset();
    chosen_ = row;
    filtered_.reset();
    if (row) {
        // One pass over the findings, comparing a number each: quick at a million.
        const auto group = static_cast<std::uint32_t>(groupOfRow_[*row]);
        const std::deque<FileFindings::Entry>& entries = findings_.entries();
        std::vector<std::uint32_t> rows;
        rows.reserve(rows_[*row].count);
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].group == group) rows.push_back(static_cast<std::uint32_t>(i));
        filtered_ = std::move(rows);
    }
    listFindings();
}

void MELD_WND::listFindings() {
    if (!view_) return;
    view_->markGroup(chosen_);
    view_->enableAll(chosen_.has_value());
    std::string caption = "Alle Meldungen";
    if (chosen_) {
        const GroupRow& g = rows_[*chosen_];
        const bool ofFile = findings_.groups().at(groupOfRow_[*chosen_]).recordType.empty();
        caption = ofFile ? "Meldungen zur Datei" : "Meldungen zu Satzart " + g.recordType;
        if (!g.field.empty()) caption += ", Feld " + g.field;
        caption += " (" + g.kind + ")";
    }
    caption += ": " + groupedNumber(static_cast<long long>(findingCount()));
    view_->showFindings(findingCount(), caption);
}

const FileFindings::Entry* MELD_WND::entryAt(std::size_t row) const {
    const std::deque<FileFindings::Entry>& entries = findings_.entries();
    const std::size_t index =
        filtered_ ? (row < filtered_->size() ? (*filtered_)[row] : entries.size()) : row;
    return index < entries.size() ? &entries[index] : nullptr;
}

FindingRow MELD_WND::findingRow(std::size_t row) const {
    FindingRow out;
    const FileFindings::Entry* e = entryAt(row);
    if (!e) return out;
    if (e->hasRecord) out.record = groupedNumber(e->record);
    out.offset = groupedNumber(e->offset);
    out.position = groupedNumber(e->position);
    out.text = oneLine(findings_.text(*e));
    out.error = e->error;
    return out;
}

void MELD_WND::groupActivated(std::size_t row) {
    if (row >= rows_.size()) return;
    main_.showRecordAt(findings_.groups().at(groupOfRow_[row]).firstOffset);
}

void MELD_WND::findingActivated(std::size_t row) {
    if (const FileFindings::Entry* e = entryAt(row)) main_.showRecordAt(e->offset);
}

} // namespace arti
