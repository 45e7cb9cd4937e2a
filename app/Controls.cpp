#include "app/Controls.h"

#include "app/PruefView.h"

#include <charconv>

namespace arti {

namespace {
constexpr std::array<const char*, kControlCount> kNames = {
    "OCCPSHDATEI", "ODCTXT1",      "ODCFI1",    "OCCPSHABOUT", "OCCPSHCANCEL", "ODCTXT10",     "ODCTXT500",
    "ODCTXT2",     "ODCTXT3",      "ODCTXT4",   "ODCTXT11",    "ODCTXT12",     "ODCTXT13",     "ODCTXT14",
    "ODCCHK2",     "ODCCHK3",      "ODCTXT200", "ODCTXT201",   "ODCCHK1",      "ODCTXT8",      "OCCPSHBOF",
    "OCCPSHBACK",  "OCCPSHNEXT",   "OCCPSHEOF", "OCCPSHSTART", "OCCPSHSTOP",   "ODCTXT15",     "ODCTXT50",
    "ODCTXT51",    "ODCTXT52",     "ODCTXT16",  "ODCFI2",      "OCCPSHPROT",   "ODCSLE1",      "OCCPSHOK",
    "ODCFI3",      "ODCLISTVIEW1", "ODCCHK4",   "ODCVSPIN1",   "ODCTXT5",      "OCCPSHSYSTEM", "ODCTXT6",
    "ODCTXT7",     "ODCTXT9",      "ODCTXT17",  "ODCTXT18",    "OCCPSHVIEW",   "ODCCHK5",      "OCCPSHMELD"};
} // namespace

const char* controlName(Ctl c) {
    return kNames[static_cast<std::size_t>(c)];
}

void ControlMirror::attach(IPruefView* view) {
    view_ = view;
    if (!view_) return;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const Ctl c = static_cast<Ctl>(i);
        view_->controlText(c, text(c));
        view_->controlEnabled(c, states_[i].enabled);
        view_->controlVisible(c, states_[i].visible);
        view_->controlChecked(c, states_[i].checked);
    }
    view_->listRows(listRows());
}

void ControlMirror::setText(Ctl c, std::string_view text) {
    ControlState& s = states_[textOf(c)];
    held_[index(c)] = NumberHeld{};
    // Counters and positions change at their end: the last character decides most
    // comparisons before the whole text is compared.
    if (s.text.size() == text.size() && (text.empty() || (s.text.back() == text.back() && s.text == text)))
        return;
    s.text.assign(text);
    if (view_) view_->controlText(c, s.text);
}

void ControlMirror::tellNumberDue(Ctl c) {
    view_->controlTextDue(c, *this);
}

// The first number after a text is written at once and compared as a text, so that the
// face hears of a change only when the display changes.
void ControlMirror::firstNumber(Ctl c, long long n, NumberShape shape) {
    const std::size_t i = index(c);
    NumberHeld& h = held_[i];
    std::string previous;
    previous.swap(states_[i].text);
    h = NumberHeld{n, shape, true, true};
    writeNumber(i);
    if (states_[i].text != previous && view_) view_->controlText(c, states_[i].text);
}

void ControlMirror::writeNumber(std::size_t i) const {
    NumberHeld& h = held_[i];
    h.due = false;
    const bool negative = h.value < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(h.value) : static_cast<unsigned long long>(h.value);
    char digits[24];
    const auto count =
        static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    std::string& out = states_[i].text;
    if (h.shape == NumberShape::Plain) {
        out.assign(negative ? "-" : "");
        out.append(digits, count);
        return;
    }
    constexpr std::size_t kPictureWidth = 17;
    char buf[40];
    std::size_t end = sizeof buf;
    for (std::size_t k = 0; k < count; ++k) {
        if (k > 0 && k % 3 == 0) buf[--end] = '.';
        buf[--end] = digits[count - 1 - k];
    }
    if (negative) buf[--end] = '-';
    while (h.shape == NumberShape::Picture && sizeof buf - end < kPictureWidth)
        buf[--end] = ' ';
    out.assign(buf + end, sizeof buf - end);
}

void ControlMirror::enable(Ctl c, bool on) {
    ControlState& s = states_[index(c)];
    if (s.enabled == on) return;
    s.enabled = on;
    if (view_) view_->controlEnabled(c, on);
}

void ControlMirror::show(Ctl c, bool on) {
    ControlState& s = states_[index(c)];
    if (s.visible == on) return;
    s.visible = on;
    if (view_) view_->controlVisible(c, on);
}

void ControlMirror::check(Ctl c, bool on) {
    ControlState& s = states_[index(c)];
    if (s.checked == on) return;
    s.checked = on;
    if (view_) view_->controlChecked(c, on);
}

void ControlMirror::focus(Ctl c) {
    if (view_) view_->controlFocus(c);
}

const std::vector<ListRow>& ControlMirror::listRows() const {
    if (tablePending_) {
        tablePending_ = false;
        tableRows_.fill(rows_, shape_, shownTable_);
    }
    return rows_;
}

std::optional<ListedField> ControlMirror::listedField(std::size_t row) const {
    if (row >= listSize()) return std::nullopt;
    return showsTable() ? listedFieldOf(shownTable_, row) : listedFieldOf(rows_[row]);
}

void ControlMirror::setListRows(std::vector<ListRow> rows) {
    rows_ = std::move(rows);
    shape_ = nullptr;
    tablePending_ = false;
    if (view_) view_->listRows(rows_);
}

std::vector<ListRow>& ControlMirror::editListRows() {
    // The caller writes the rows itself: a table still to be made into rows is dropped.
    shape_ = nullptr;
    tablePending_ = false;
    return rows_;
}

void ControlMirror::listRowsEdited() {
    if (view_) view_->listRows(rows_);
}

void ControlMirror::clearList() {
    shape_ = nullptr;
    const bool had = tablePending_ || !rows_.empty();
    tablePending_ = false;
    if (!had) return;
    rows_.clear();
    if (view_) view_->listRows(rows_);
}

void ControlMirror::showTable(const FieldTable& table) {
    if (table.empty()) return;
    shownTable_.assignRecord(table);
    tablePending_ = true;
    if (view_) view_->listTableShown(*this);
}

} // namespace arti
