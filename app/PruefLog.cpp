// The findings list, the instruction text that tells how a check ended, and the log
// shown in the desktop's viewer, of the main check window.
#include "app/PruefWnd.h"
#include "run/CheckFunctions.h"

#include "core/AppState.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "records/FileAccess.h"
#include "core/Oem.h"
#include "settings/Settings.h"

#include <array>
#include <string_view>
#include <utility>

namespace arti {

using namespace arti::literals;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// A refusal as the instruction text shows it: one line, without the closing "Abbruch
// der Prüfung !" that the text before it already says.
std::string shownRefusal(const std::string& text) {
    static const std::string kAbort = "Abbruch der Prüfung !"_ansi;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, kCrLf.size(), kCrLf) == 0) {
            if (!out.empty() && out.back() != ' ') out += ' ';
            ++i;
        } else {
            out += text[i];
        }
    }
    if (out.ends_with(kAbort)) out.erase(out.size() - kAbort.size());
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

const char* shellErrorText(long result) {
    switch (result) {
    case 0: return "Zuwenig Speicher, ausführbare Datei war zerstört, Relokationswerte waren ungültig.";
    case 2: return "Datei wurde nicht gefunden.";
    case 3: return "Verzeichnis wurde nicht gefunden.";
    case 5:
        return "Fehler beim gemeinsamen Zugriff auf eine Datei im Netz oder Fehler beim Zugriff auf eine "
               "gesperrte Datei im Netz.";
    case 6: return "Bibliothek forderte separate Datensegmente für jeden Task an.";
    case 8: return "Zuwenig Speicher, um die Anwendung zu starten.";
    case 10: return "Falsche Windows-Version.";
    case 11: return "Ungültige ausführbare Datei. Entweder keine Windows-Anwendung oder Fehler in der EXE-Datei.";
    case 12: return "Anwendung ist für ein anderes Betriebssystem.";
    case 13: return "Anwendung für MS-DOS 4.0.";
    case 14: return "Typ der ausführbaren Datei unbekannt.";
    case 15: return "Versuch, eine Real-Mode-Anwendung (für eine frühere Windows-Version) zu laden.";
    case 16:
        return "Versuch, eine zweite Instanz einer ausführbaren Datei mit mehreren Datensegmenten, die nicht als "
               "nur lesbar gekennzeichnet waren, zu laden.";
    case 19:
        return "Versuch, eine komprimierte ausführbare Datei zu laden. Die Datei muss dekomprimiert werden, bevor "
               "sie geladen werden kann.";
    case 20:
        return "Ungültige dynamische Linkbibliothek (DLL). Eine der DLLs, die benötigt wurde, um die Anwendung "
               "auszuführen, war beschädigt.";
    case 26: return "Eine Zugiffs-Schutzverletzung ist aufgetreten.";
    case 27: return "Der Datei-/Pfadname ist nicht komplett oder unzulässig.";
    case 28: return "Die DDE-Transaktion konnte wegen Zeitüberschreitung nicht ausgeführt werden.";
    case 29: return "Die DDE-Transaktion wurde fehlerhaft ausgeführt.";
    case 30:
        return "Die DDE-Transaktion konnte nicht gestartet werden, weil gerade andere DDE-Transaktionen "
               "ausgeführt werden.";
    case 31: return "Keine Anwendung bezüglich der gegebenen Dateinamen-Erweiterung.";
    case 32: return "Nur Windows 95: Die spezifizierte Dynamic-Link Library wurde nicht gefunden.";
    default: return nullptr;
    }
}

} // namespace

bool PRUEF_WND::showOutcome() {
    const CheckOutcome& o = run.outcome;
    std::string text;
    switch (o.end) {
    case CheckEnd::None: return false;
    case CheckEnd::FileEnd: text = "Durchlauf beendet: das Datei-Ende wurde erreicht."; break;
    case CheckEnd::ByUser: text = "Durchlauf vom Benutzer abgebrochen."; break;
    case CheckEnd::Refused:
        text = o.fileRefused ? "Datei abgewiesen: " : o.run ? "Durchlauf abgebrochen: " : "Prüfung abgebrochen: "_ansi;
        text += shownRefusal(o.refusal);
        break;
    }
    if (o.run) {
        text += "\r\n" + groupedNumber(static_cast<long long>(o.findings)) + (o.findings == 1 ? " Meldung" : " Meldungen") +
                ", davon " + groupedNumber(static_cast<long long>(o.errors)) + " Fehler (siehe Protokoll).";
    }
    controls.setText(Ctl::ODCTXT10, text);
    return true;
}

void PRUEF_WND::CREATELISTVIEW() {
    using A = ListColumn::Align;
    const std::vector<ListColumn> columns{
        {"Inhalt", "Inhalt", 20, A::Left},    {"FeldName", "FeldName", 15, A::Left},
        {"Länge"_ansi, "Laenge", 4, A::Right}, {"Typ", "Typ", 3, A::Centre},
        {"M/K", "MK", 3, A::Right},            {"ab Pos", "AbPos", 5, A::Right},
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
            if (i < rows[r].size()) item[i].assign(rows[r][i]);
            else item[i].clear();
        }
    }
    controls.listRowsEdited();
}

void PRUEF_WND::LISTVIEWMOUSEBUTTONDOUBLECLICK() {
    if (controls.listRows().empty()) return;
    const std::optional<ListRow> row = view_ ? view_->selectedListRow() : std::nullopt;
    if (!row) {
        box().info(owner(), "Hinweis", "Warum klicken Sie in ein leeres Feld ?");
        return;
    }
    if (run._LTURN) return;
    IRecordViewers* viewers = recordViewers();
    if (!viewers) {
        box().info(owner(), "Hinweis", "Die Feld-Anzeige steht in dieser Programmversion noch nicht zur Verfügung."_ansi);
        return;
    }
    const std::string& recordType = run.recordType;
    const std::string nul = oemToAnsiCopy(run._CCHR0);
    if (!_LFELD) {
        IChildWindow* editor = viewers->openFieldEditor(owner(), *this, run, *row, recordType, nul);
        _OODFELD = editor;
        _LFELD = editor != nullptr;
    } else if (_OODFELD) {
        viewers->refreshFieldEditor(*_OODFELD, *row, recordType, nul);
    }
}

void PRUEF_WND::PSHPROT() {
    controls.disable(Ctl::OCCPSHPROT);
    FELDWNDCLOSE();
    // The viewer must see every line written so far.
    engine.flushLog();
    const std::string name = errorLogPath();
    if (platform::fileExists(systemPath(name))) CALLEXPLORER(name, "open");
}

long PRUEF_WND::CALLEXPLORER(const std::string& target, const std::string& verb, const std::string& parameters) {
    // The root folder of drive C has no counterpart here; the file system root stands for it.
    const std::string where = target.empty() || target == "C:\\" ? std::string("/") : target;
    const long result = shell().open(owner(), where, verb.empty() ? std::string("open") : verb, parameters);
    SHELLEXECUTEERRMESSAGE(owner(), result, where);
    return result;
}

void SHELLEXECUTEERRMESSAGE(Owner owner, long result, const std::string& fileName) {
    if (result > 32) return;
    const char* known = shellErrorText(result);
    const std::string reason = known ? utf8ToAnsi(known)
                                     : "Ein unbekannter Fehler ist aufgetreten. (Fehlercode:" + plainNumber(result) + ")";
    box().error(owner, "Fehler bei Ausführung einer Datei"_ansi, "Dateiname: \r\n" + fileName + "\r\n" + reason);
}

} // namespace arti
