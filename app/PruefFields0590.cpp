// Field checks of version 05/90 records.
#include "app/PruefWnd.h"
#include "rules/Check0590.h"
#include "rules/Composite.h"
#include "rules/NumberText.h"

namespace arti {

namespace {

// The article records of a run: an A record keeps its numbers, a B or Z record is held
// against them, a Z record must have been announced by its B record.
void compositeSteps(PRUEF_WND& w, ICheckContext& ctx, const FieldTable& t) {
    const char letter = recordLetter(t.content(0));
    if (letter == 'A') {
        collectArticleNumbers(w.run.compositeState(), t.content(2), t.content(3), t.content(4));
    } else if (letter == 'Z') {
        w.VERBUND0590("Z", t.content(2), t.content(3));
        checkSurchargeAnnounced(ctx, w.run.compositeState());
    } else if (letter == 'B') {
        w.VERBUND0590("B", t.content(2), t.content(3));
        noteSurchargeAnnouncement(w.run.compositeState(), t.size() >= 28 && t.content(27) == "Z");
    }
}

} // namespace

void PRUEF_WND::FELDPRUEF0590(const std::string& record) {
    PruefCheckContext ctx(*this);
    const NumberText count(run.recordCounter);
    const RecordPlace place{count.view(), shownPositionText()};
    if (!cutRecord0590(run.fieldTable, ctx, record, place)) {
        showFieldCount(0);
        return;
    }
    showFieldCount(run.fieldTable.size());

    const CheckSwitches sw = ctx.switches();
    const char filler = codeZeroFiller(run._CCHR0.empty() ? 0 : static_cast<unsigned char>(run._CCHR0[0]), run._LASCII);
    if (sw.listDisplay) {
        ctx.showFields(run.fieldTable);
        // The list is painted before the checks of the record run.
        windowServices().processMessages();
    }
    // An open field viewer follows the record, without a selected field.
    if (IRecordViewers* viewers = recordViewers(); viewers && _LFELD && _OODFELD)
        viewers->refreshFieldEditor(*_OODFELD, ListRow{}, run.recordType, std::string(1, filler));

    if (run._LTURN) compositeSteps(*this, ctx, run.fieldTable);
    if (!sw.fieldChecks) return;
    checkFields0590(run.fieldTable, ctx, filler);
}

} // namespace arti
