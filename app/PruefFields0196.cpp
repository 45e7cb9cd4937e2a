// Field checks of version 01/96 records.
#include "app/PruefWnd.h"
#include "core/Oem.h"
#include "rules/Check0196.h"
#include "rules/Composite.h"
#include "rules/NumberText.h"

namespace arti {

void PRUEF_WND::FELDPRUEF0196(const std::string& record) {
    PruefCheckContext ctx(*this);
    const std::size_t bytes = fillTable0196(run.fieldTable, record);
    const std::string_view type = std::string_view(record).substr(0, 1);
    if (run.fieldTable.empty()) {
        showFieldCount(0);
        ERRORLOG(unknownRecordType0196(type, NumberText(run.recordCounter).view(), shownPositionText().get()));
        return;
    }
    showFieldCount(run.fieldTable.size());
    if (bytes != kRecordBytes0196) ERRORLOG(shortRecordType0196(type, bytes));

    const CheckSwitches sw = ctx.switches();
    if (sw.listDisplay) ctx.showFields(run.fieldTable);
    // An open field viewer follows the record, without a selected field.
    if (IRecordViewers* viewers = recordViewers(); viewers && _LFELD && _OODFELD)
        viewers->refreshFieldEditor(*_OODFELD, ListRow{}, run.recordType, oemToAnsiCopy(run._CCHR0));

    // The article records of a run are held against each other whether or not the field
    // checks are on.
    if (run._LTURN)
        compositeSteps0196(ctx, run.compositeState(), run.fieldTable,
                           [this](std::string_view recordType, std::string_view articleSwitch,
                                  std::string_view articleNumber) {
                               VERBUND0196(recordType, articleSwitch, articleNumber);
                           });
    if (!sw.fieldChecks) return;
    checkFields0196(ctx, run.fieldTable);
    checkRecordRules0196(ctx, run.fieldTable);
}

} // namespace arti
