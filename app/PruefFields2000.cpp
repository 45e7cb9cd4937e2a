// Field checks of version 2000 records.
#include "app/PruefWnd.h"
#include "core/Oem.h"
#include "rules/FieldSplit.h"
#include "rules/VersionRules.h"

namespace arti {

namespace {

// The field counter and the field viewer of the main window.
class WindowDisplay2000 final : public RecordDisplay {
public:
    explicit WindowDisplay2000(PRUEF_WND& w) : w_(w) {}

    void showFieldCount(std::size_t count) override { w_.showFieldCount(count); }

    // An open field viewer is set up again without a selected field, for the record type
    // shown and the NUL replacement as the reader converts it.
    void followRecord() {
        if (!w_._LFELD || !w_._OODFELD || !w_.viewers.refreshFieldEditor) return;
        w_.viewers.refreshFieldEditor(*w_._OODFELD, ListRow{}, w_.controls.text(Ctl::ODCTXT14), oemToAnsiCopy(w_._CCHR0));
    }

private:
    PRUEF_WND& w_;
};

} // namespace

void PRUEF_WND::splitRecord2000(std::string_view record) {
    const RecordInput input{.text = record, .separator = controls.text(Ctl::ODCTXT8)};
    split2000 = versionRules(Version::V2000).fillTable(fieldTable, input);
}

std::vector<std::string_view> PRUEF_WND::_ALIST() const {
    // The table holds the record without its trailing blanks, as it was cut.
    const std::string_view text = fieldTable.text();
    std::vector<std::string_view> fields;
    forEachField(text, controls.text(Ctl::ODCTXT8),
                 [&](std::size_t offset, std::size_t length) { fields.push_back(text.substr(offset, length)); });
    return fields;
}

void PRUEF_WND::FELDPRUEF2000(const std::string& record) {
    PruefCheckContext ctx(*this);
    WindowDisplay2000 display(*this);
    const RecordInput input{.text = record,
                            .separator = controls.text(Ctl::ODCTXT8),
                            .shownPosition = shownPositionText(),
                            .display = &display};
    const IVersionRules& rules = versionRules(Version::V2000);
    if (!rules.checkRecordType(ctx, fieldTable, split2000, input)) return;

    const CheckSwitches sw = ctx.switches();
    if (sw.listDisplay) ctx.showFields(fieldTable);
    display.followRecord();
    if (!sw.fieldChecks) return;
    rules.checkFields(ctx, fieldTable, input);
    rules.recordRules(ctx, fieldTable, split2000, input);
}

} // namespace arti
