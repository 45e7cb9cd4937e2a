// Field checks of version 05/90 records.
#include "app/PruefWnd.h"
#include "rules/Rules0590.h"
#include "rules/VersionRules.h"

namespace arti {

void PRUEF_WND::FELDPRUEF0590(const std::string& record) {
    PruefCheckContext ctx(*this);
    FieldCountDisplay display([this](std::size_t count) { showFieldCount(count); });
    const char filler = codeZeroFiller(_CCHR0.empty() ? 0 : static_cast<unsigned char>(_CCHR0[0]), _LASCII);
    const RecordInput input{.text = record,
                            .number = recordCounter,
                            .shownPosition = shownPositionText(),
                            .filler = filler,
                            .display = &display};
    const IVersionRules& rules = versionRules(Version::V0590);
    const FieldTable::FillCount fill = rules.fillTable(fieldTable, input);
    if (!rules.checkRecordType(ctx, fieldTable, fill, input)) return;

    const CheckSwitches sw = ctx.switches();
    if (sw.listDisplay) {
        ctx.showFields(fieldTable);
        // The list is painted before the checks of the record run.
        windowServices().processMessages();
    }
    // An open field viewer follows the record, without a selected field.
    if (_LFELD && _OODFELD && viewers.refreshFieldEditor)
        viewers.refreshFieldEditor(*_OODFELD, ListRow{}, controls.text(Ctl::ODCTXT14), std::string(1, filler));

    if (_LTURN) rules.compositeStep(ctx, compositeState(), fieldTable);
    if (!sw.fieldChecks) return;
    rules.checkFields(ctx, fieldTable, input);
    rules.recordRules(ctx, fieldTable, fill, input);
}

} // namespace arti
