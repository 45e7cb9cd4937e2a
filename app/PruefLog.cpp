// The findings list, the instruction text that tells how a check ended, and the log
// shown in the desktop's viewer, of the main check window.
#include "app/PruefWnd.h"
#include "run/CheckFunctions.h"
#include "run/OutcomeText.h"

#include "core/AppState.h"
#include "core/Oem.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "records/FileAccess.h"
#include "settings/Settings.h"

#include <array>
#include <string_view>
#include <utility>

namespace arti {

using namespace arti::literals;

bool PRUEF_WND::showOutcome() {
    const std::string text = outcomeText(run.outcome, run.findings);
    if (text.empty()) return false;
    controls.setText(Ctl::ODCTXT10, text);
    return true;
}

void PRUEF_WND::CREATELISTVIEW() {
    using A = ListColumn::Align;
    const std::vector<ListColumn> columns{{"Inhalt", "Inhalt", 20, A::Left},
                                          {"FeldName", "FeldName", 15, A::Left},
                                          {"Länge"_ansi, "Laenge", 4, A::Right},
                                          {"Typ", "Typ", 3, A::Centre},
                                          {"M/K", "MK", 3, A::Right},
                                          {"ab Pos", "AbPos", 5, A::Right},
                                          {"Lfd.Nr", "LfdNr", 5, A::Right}};
    if (view_) view_->listColumns(columns);
}

void PRUEF_WND::FILLLISTVIEW(const std::vector<ListRow>& rows) {
    if (rows.empty()) return;
    constexpr std::size_t kColumns = 7;
    // The rows are rewritten in place: their strings keep their storage from record to record.
    std::vector<ListRow>& items = controls.editListRows();
    items.resize(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        // Values beyond the seventh are not shown; a short row leaves its last columns empty.
        ListRow& item = items[r];
        item.resize(kColumns);
        for (std::size_t i = 0; i < kColumns; ++i) {
            if (i < rows[r].size())
                item[i].assign(rows[r][i]);
            else
                item[i].clear();
        }
    }
    controls.listRowsEdited();
}

void PRUEF_WND::LISTVIEWMOUSEBUTTONDOUBLECLICK() {
    if (controls.listSize() == 0) return;
    // The field the selected row stands for, from what the list was filled with.
    const std::optional<std::size_t> selected = view_ ? view_->selectedListIndex() : std::nullopt;
    const std::optional<ListedField> field = selected ? controls.listedField(*selected) : std::nullopt;
    if (!field) {
        box().info(owner(), "Hinweis", "Warum klicken Sie in ein leeres Feld ?");
        return;
    }
    if (run.LTURN_) return;
    IRecordViewers* viewers = recordViewers();
    if (!viewers) {
        box().info(owner(), "Hinweis",
                   "Die Feld-Anzeige steht in dieser Programmversion noch nicht zur Verfügung."_ansi);
        return;
    }
    const std::string& recordType = run.recordType;
    const std::string nul = oemToAnsiCopy(run.CCHR0_);
    if (!LFELD_) {
        IChildWindow* editor = viewers->openFieldEditor(owner(), *this, run, *field, recordType, nul);
        OODFELD_ = editor;
        LFELD_ = editor != nullptr;
    } else if (OODFELD_) {
        viewers->refreshFieldEditor(*OODFELD_, field, recordType, nul);
    }
}

void PRUEF_WND::PSHPROT() {
    controls.disable(Ctl::OCCPSHPROT);
    FELDWNDCLOSE();
    // The viewer must see every line written so far.
    engine.flushLog();
    const std::string name = errorLogPath(settings().installPath);
    // A log that could not be shown may be shown once a viewer is there.
    if (platform::fileExists(systemPath(name)) && CALLEXPLORER(name, "open") <= 32)
        controls.enable(Ctl::OCCPSHPROT);
}

long PRUEF_WND::CALLEXPLORER(const std::string& target, const std::string& verb,
                             const std::string& parameters) {
    // The root folder of drive C has no counterpart here; the file system root stands for it.
    const std::string where = target.empty() || target == "C:\\" ? std::string("/") : target;
    const long result = shell().open(owner(), where, verb.empty() ? std::string("open") : verb, parameters);
    SHELLEXECUTEERRMESSAGE(owner(), result, where);
    return result;
}

} // namespace arti
