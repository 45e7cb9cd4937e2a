// Field checks of version 05/90 records.
#include "app/PruefWnd.h"
#include "rules/Rules0590.h"
#include "rules/VersionRules.h"

namespace arti {

void PRUEF_WND::FELDPRUEF0590(const std::string& record) {
    PruefCheckContext ctx(*this);
    FieldCountDisplay display([this](std::size_t count) { showFieldCount(count); });
    const char filler = codeZeroFiller(run._CCHR0.empty() ? 0 : static_cast<unsigned char>(run._CCHR0[0]), run._LASCII);
    const RecordInput input{.text = record,
                            .number = run.recordCounter,
                            .shownPosition = shownPositionText(),
                            .filler = filler,
                            .display = &display};
    const IVersionRules& rules = versionRules(Version::V0590);
    const FieldTable::FillCount fill = rules.fillTable(run.fieldTable, input);
    if (!rules.checkRecordType(ctx, run.fieldTable, fill, input)) return;

    const CheckSwitches sw = ctx.switches();
    if (sw.listDisplay) {
        ctx.showFields(run.fieldTable);
        // The list is painted before the checks of the record run.
        windowServices().processMessages();
    }
    // An open field viewer follows the record, without a selected field.
    if (IRecordViewers* viewers = recordViewers(); viewers && _LFELD && _OODFELD)
        viewers->refreshFieldEditor(*_OODFELD, ListRow{}, run.recordType, std::string(1, filler));

    if (run._LTURN) rules.compositeStep(ctx, run.compositeState(), run.fieldTable);
    if (!sw.fieldChecks) return;
    rules.checkFields(ctx, run.fieldTable, input);
    rules.recordRules(ctx, run.fieldTable, fill, input);
}

} // namespace arti
