// The main window's side of the field rules: the check context over its state, and the
// date window and currency questions as methods of the window.
#include "app/PruefWnd.h"
#include "core/Dates.h"
#include "core/Text.h"
#include "rules/FieldTable.h"
#include "rules/NumberText.h"
#include "rules/SharedRules.h"
#include "settings/Settings.h"

namespace arti {

void PRUEF_WND::DATUMSWECHSEL(const std::string& date, const std::string& label) {
    // The header date arrives as shown in the main window. A header without a valid date
    // has nothing to place in the window: offering to move a limit to it would leave the
    // run without that limit.
    const std::optional<Date> d = parseDate(date);
    if (!d) return;
    DATUMSWECHSEL(*d, label);
}

void PRUEF_WND::DATUMSWECHSEL(const Date& date, const std::string& field) {
    PruefCheckContext ctx(*this);
    arti::DATUMSWECHSEL(ctx, date, field);
}

void PRUEF_WND::WAEHRUNGSWECHSEL(const std::string& currency) {
    PruefCheckContext ctx(*this);
    arti::WAEHRUNGSWECHSEL(ctx, currency);
}

namespace {
// The position as the window shows it ("1.234"), made when a finding names it.
std::string_view shownPosition(const CheckRun& run) {
    thread_local std::string text;
    text = run.position ? groupedNumber(*run.position) : std::string();
    return text;
}
} // namespace

DeferredText PRUEF_WND::shownPositionText() const { return DeferredText::of<CheckRun, shownPosition>(run); }

void PRUEF_WND::showFieldCount(std::size_t count) { controls.setNumber(Ctl::ODCTXT16, static_cast<long long>(count)); }

void PruefCheckContext::report(const std::string& text) { w_.ERRORLOG(text); }

void PruefCheckContext::setFindingPosition(long long position) { w_.run._NPOSITION = position; }

std::string_view PruefCheckContext::recordNumber() const {
    thread_local std::string text;
    text = w_.run.shownCounter ? plainNumber(static_cast<long long>(*w_.run.shownCounter)) : std::string();
    return text;
}

long long PruefCheckContext::recordOffset() const { return w_.run._NZEIGER; }

CheckSwitches PruefCheckContext::switches() const {
    const RunOptions& o = w_.run.options;
    return CheckSwitches{o.fieldChecks, o.listDisplay, o.oemCharacters, o.asciiCheckOff};
}

const std::string& PruefCheckContext::currency() const { return settings().waehrung; }

const std::string& PruefCheckContext::countryCodes() const { return settings().lCode; }

DateWindow PruefCheckContext::dateWindow() const { return DateWindow{settings().uDatum, settings().oDatum}; }

void PruefCheckContext::setDateWindow(const DateWindow& window) {
    settings().uDatum = window.lower;
    settings().oDatum = window.upper;
    w_.SETPARAM();
}

void PruefCheckContext::setCurrency(std::string_view code) {
    settings().waehrung = std::string(code);
    w_.SETPARAM();
}

bool PruefCheckContext::askYesNo(const std::string& caption, const std::string& text) {
    return box().askYesNo(w_.owner(), caption, text);
}

// The list keeps a copy of the table; its seven columns are made when they are read.
void PruefCheckContext::showFields(const FieldTable& table) { w_.controls.showTable(table); }

} // namespace arti
