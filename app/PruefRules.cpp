// The main window's side of the field rules: the check context over its state, and the
// date window and currency questions as methods of the window.
#include "app/PruefWnd.h"
#include "core/Dates.h"
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
std::string_view shownPosition(const ControlMirror& controls) { return controls.text(Ctl::ODCTXT12); }
} // namespace

DeferredText PRUEF_WND::shownPositionText() const { return DeferredText::of<ControlMirror, shownPosition>(controls); }

void PRUEF_WND::showFieldCount(std::size_t count) { controls.setNumber(Ctl::ODCTXT16, static_cast<long long>(count)); }

void PruefCheckContext::report(const std::string& text) { w_.ERRORLOG(text); }

void PruefCheckContext::setFindingPosition(long long position) { w_._NPOSITION = position; }

std::string_view PruefCheckContext::recordNumber() const { return w_.controls.text(Ctl::ODCTXT11); }

long long PruefCheckContext::recordOffset() const { return w_._NZEIGER; }

CheckSwitches PruefCheckContext::switches() const {
    const ControlMirror& c = w_.controls;
    return CheckSwitches{c.checked(Ctl::ODCCHK2), c.checked(Ctl::ODCCHK4), c.checked(Ctl::ODCCHK1),
                         c.checked(Ctl::ODCCHK5)};
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
