// Field checks of version 01/96 records.
#include "app/PruefWnd.h"
#include "core/Oem.h"
#include "rules/VersionRules.h"

namespace arti {

void PRUEF_WND::FELDPRUEF0196(const std::string& record) {
    PruefCheckContext ctx(*this);
    FieldCountDisplay display([this](std::size_t count) { showFieldCount(count); });
    const RecordInput input{.text = record,
                            .number = run.recordCounter,
                            .shownPosition = shownPositionText(),
                            .display = &display};
    const IVersionRules& rules = versionRules(Version::V0196);
    const FieldTable::FillCount fill = rules.fillTable(run.fieldTable, input);
    if (!rules.checkRecordType(ctx, run.fieldTable, fill, input)) return;

    const CheckSwitches sw = ctx.switches();
    if (sw.listDisplay) ctx.showFields(run.fieldTable);
    // An open field viewer follows the record, without a selected field.
    if (IRecordViewers* viewers = recordViewers(); viewers && _LFELD && _OODFELD)
        viewers->refreshFieldEditor(*_OODFELD, ListRow{}, run.recordType, oemToAnsiCopy(run._CCHR0));

    // The article records of a run are held against each other whether or not the field
    // checks are on.
    if (run._LTURN) rules.compositeStep(ctx, run.compositeState(), run.fieldTable);
    if (!sw.fieldChecks) return;
    rules.checkFields(ctx, run.fieldTable, input);
    rules.recordRules(ctx, run.fieldTable, fill, input);
}

} // namespace arti
