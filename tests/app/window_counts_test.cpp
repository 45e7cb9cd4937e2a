// Counts in the main window's displays and in its instruction text after a run carry "."
// between thousands, as the command-line checker writes them; the log keeps them plain.
#include "tests/support/MainWindowFixture.h"

#include <functional>

using namespace arti;

namespace {

class WindowCounts : public test::MainWindowFixture {};

TEST_F(WindowCounts, ThousandsAreGrouped) {
    const struct {
        const char* what;
        std::function<void(PRUEF_WND&)> show;
        Ctl display;
        const char* shown; // UTF-8
    } cases[] = {
        {"record counter", [](PRUEF_WND& w) { w.showCounter(1318345); }, Ctl::ODCTXT11, "1.318.345"},
        {"small counter", [](PRUEF_WND& w) { w.showCounter(999); }, Ctl::ODCTXT11, "999"},
        {"records of the file", [](PRUEF_WND& w) { w.showRecordCount(2500000); }, Ctl::ODCTXT17, "2.500.000"},
        {"errors", [](PRUEF_WND& w) { w.showErrors(12345); }, Ctl::ODCTXT18, "12.345"},
        {"run outcome",
         [](PRUEF_WND& w) {
             w.run.outcome = CheckOutcome{};
             w.run.outcome.end = CheckEnd::FileEnd;
             w.run.outcome.run = true;
             w.run.findings.fileChosen();
             for (int i = 0; i < 12345; ++i)
                 w.run.findings.finding(Finding{.record = {},
                                                .text = {},
                                                .kind = MessageKind::DateInvalid,
                                                .recordType = {},
                                                .error = i < 4096});
             w.showOutcome();
         },
         Ctl::ODCTXT10,
         "Durchlauf beendet: das Datei-Ende wurde erreicht.\r\n"
         "12.345 Meldungen, davon 4.096 Fehler (siehe Protokoll)."},
    };
    for (const auto& row : cases) {
        row.show(wnd_);
        EXPECT_EQ(ansiToUtf8(c().text(row.display)), row.shown) << row.what;
    }
}

} // namespace
