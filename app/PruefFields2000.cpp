// Field checks of version 2000 records.
#include "app/PruefWnd.h"
#include "records/Oem.h"
#include "rules/Check2000.h"

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
        if (!w_._LFELD || !w_._OODFELD || !w_.viewers.refreshFieldEditor) return;
        w_.viewers.refreshFieldEditor(*w_._OODFELD, ListRow{}, w_.controls.text(Ctl::ODCTXT14), oemToAnsiCopy(w_._CCHR0));
    }

private:
    PRUEF_WND& w_;
};

} // namespace

void PRUEF_WND::FELDPRUEF2000(const std::string& record) {
    PruefCheckContext ctx(*this);
    WindowDisplay2000 display(*this);
    checkRecord2000(ctx, display, fieldTable, Record2000{record, controls.text(Ctl::ODCTXT8), shownPositionText()});
}

} // namespace arti
