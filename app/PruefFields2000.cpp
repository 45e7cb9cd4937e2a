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
        IRecordViewers* viewers = recordViewers();
        if (!w_._LFELD || !w_._OODFELD || !viewers) return;
        viewers->refreshFieldEditor(*w_._OODFELD, ListRow{}, w_.run.recordType, oemToAnsiCopy(w_.run._CCHR0));
    }

private:
    PRUEF_WND& w_;
};

} // namespace

void PRUEF_WND::splitRecord2000(std::string_view record) {
    const RecordInput input{.text = record, .separator = run.separator};
    run.split2000 = versionRules(Version::V2000).fillTable(run.fieldTable, input);
}

std::vector<std::string_view> PRUEF_WND::_ALIST() const {
    // The table holds the record without its trailing blanks, as it was cut.
    const std::string_view text = run.fieldTable.text();
    std::vector<std::string_view> fields;
    forEachField(text, run.separator,
                 [&](std::size_t offset, std::size_t length) { fields.push_back(text.substr(offset, length)); });
    return fields;
}

void PRUEF_WND::FELDPRUEF2000(const std::string& record) {
    PruefCheckContext ctx(*this);
    WindowDisplay2000 display(*this);
    const RecordInput input{.text = record,
                            .separator = run.separator,
                            .shownPosition = shownPositionText(),
                            .display = &display};
    const IVersionRules& rules = versionRules(Version::V2000);
    if (!rules.checkRecordType(ctx, run.fieldTable, run.split2000, input)) return;

    const CheckSwitches sw = ctx.switches();
    if (sw.listDisplay) ctx.showFields(run.fieldTable);
    display.followRecord();
    if (!sw.fieldChecks) return;
    rules.checkFields(ctx, run.fieldTable, input);
    rules.recordRules(ctx, run.fieldTable, run.split2000, input);
}

} // namespace arti
