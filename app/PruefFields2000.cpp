// Field checks of version 2000 records.
#include "app/PruefWnd.h"
#include "core/Oem.h"
#include "rules/Check2000.h"
#include "rules/FieldSplit.h"

namespace arti {

namespace {

// The field counter and the field viewer of the main window.
class WindowDisplay2000 final : public Record2000Display {
public:
    explicit WindowDisplay2000(PRUEF_WND& w) : w_(w) {}

    void showFieldCount(std::size_t count) override { w_.showFieldCount(count); }

    // An open field viewer is set up again without a selected field, for the record type
    // shown and the NUL replacement as the reader converts it.
    void followRecord() override {
        IRecordViewers* viewers = recordViewers();
        if (!w_._LFELD || !w_._OODFELD || !viewers) return;
        viewers->refreshFieldEditor(*w_._OODFELD, ListRow{}, w_.run.recordType, oemToAnsiCopy(w_.run._CCHR0));
    }

private:
    PRUEF_WND& w_;
};

} // namespace

void PRUEF_WND::splitRecord2000(std::string_view record) {
    run.split2000 = fillTable2000(run.fieldTable, record.empty() ? '\0' : record[0], record, run.separator);
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
    checkFilled2000(ctx, display, run.fieldTable, run.split2000,
                    Record2000{record, run.separator, shownPositionText()});
}

} // namespace arti
