#include "app/PruefWnd.h"

#include "core/AppState.h"
#include "core/Dates.h"
#include "core/Text.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <utility>

namespace arti {

using namespace arti::literals;

namespace {

// Column ruler above the record lines: the "|" of each mark stands right behind the
// column of its number ("|10" has its "|" in column 11, "|120" in column 121).
std::string columnRuler() {
    std::string ruler = std::string(10, ' ') + "|10";
    for (int mark = 20; mark <= 90; mark += 10)
        ruler += std::string(7, ' ') + "|" + std::to_string(mark);
    ruler += std::string(7, ' ') + "|100" + std::string(6, ' ') + "|110" + std::string(6, ' ') + "|120";
    return ruler;
}

std::string digitRuler() {
    std::string ruler;
    for (int i = 0; i < 10; ++i)
        ruler += "1234567890";
    return ruler;
}

std::string dateOrEmpty(const std::optional<Date>& d) {
    return d ? formatDate(*d) : std::string();
}

} // namespace

// The template's captions and the control states of a window without a file: only
// "Datei", the settings, the about box, "Beenden" and the findings list are usable.
void PRUEF_WND::INIT() {
    struct Caption {
        Ctl control;
        const char* text; // UTF-8
    };
    static constexpr Caption kCaptions[] = {
        {Ctl::OCCPSHDATEI, "Datei"},
        {Ctl::OCCPSHABOUT, "Programminfo"},
        {Ctl::OCCPSHCANCEL, "Beenden"},
        {Ctl::ODCTXT500, "F1-Taste = Hilfe"},
        {Ctl::ODCCHK2, "Feld-Prüfung ein"},
        {Ctl::ODCCHK3, "Fehler PopUp  ein"},
        {Ctl::ODCCHK1, "ASCII = markiert / ANSI"},
        {Ctl::OCCPSHBOF, "BOF"},
        {Ctl::OCCPSHBACK, "<1"},
        {Ctl::OCCPSHNEXT, ">1"},
        {Ctl::OCCPSHEOF, "EOF"},
        {Ctl::OCCPSHSTART, "Durchlauf Start"},
        {Ctl::OCCPSHSTOP, "Stop"},
        {Ctl::OCCPSHPROT, "&Protokoll zeigen"},
        {Ctl::OCCPSHOK, "ausführen"},
        {Ctl::ODCCHK4, "List-Anzeige ein"},
        {Ctl::OCCPSHSYSTEM, "Systemeinstellung"},
        {Ctl::OCCPSHVIEW, "Sequenz Darstellung"},
        {Ctl::OCCPSHMELD, "Meldungen im Überblick"},
        {Ctl::ODCCHK5, "ASCII-Zeichenprüfung aus"},
    };
    for (const Caption& c : kCaptions)
        controls.setText(c.control, utf8ToAnsi(c.text));
    // The option boxes' captions of the template say "ein".
    for (const Ctl c : {Ctl::ODCCHK2, Ctl::ODCCHK3, Ctl::ODCCHK4})
        captionSaysOn_[static_cast<std::size_t>(c)] = true;
    if (view_) view_->setCaption(appState().title);

    for (const Ctl c : {Ctl::OCCPSHBOF, Ctl::OCCPSHBACK, Ctl::OCCPSHNEXT, Ctl::OCCPSHEOF, Ctl::OCCPSHSTART,
                        Ctl::OCCPSHSTOP, Ctl::ODCSLE1, Ctl::OCCPSHOK, Ctl::OCCPSHPROT, Ctl::ODCCHK2,
                        Ctl::ODCCHK3, Ctl::ODCCHK4, Ctl::OCCPSHVIEW, Ctl::OCCPSHMELD})
        controls.disable(c);
    for (const Ctl c : {Ctl::OCCPSHDATEI, Ctl::OCCPSHSYSTEM, Ctl::ODCLISTVIEW1})
        controls.enable(c);
}

bool PRUEF_WND::SETUP() {
    LFELD_ = false;
    run.LASCII_ = true;
    LALLOWCLOSE_ = false;
    run.LBACK_ = false;
    run.CCHR0_ = std::string(1, static_cast<char>(250));
    run.options.delay = 0;
    const AppState& app = appState();
    if (view_)
        view_->setCaption(app.title + " * Version " + app.programVersion +
                          " * aktueller Pfad = " + app.programFolder);
    controls.setText(Ctl::ODCTXT10,
                     "zu prüfende Datei auswählen\r\nVorgehensweise: Achten Sie auf den grünen Pfeil !"_ansi);
    controls.setText(Ctl::ODCTXT1, settings().artiQuelle);
    controls.setText(Ctl::ODCTXT5, "0");
    SETPARAM();
    controls.setText(Ctl::ODCTXT200, columnRuler());
    controls.setText(Ctl::ODCTXT201, digitRuler());
    // The arrow icons' size is the face's business; only the one at "Datei" shows now.
    guide(Guidance::ChooseFile);
    engine.composite().forgetNumbers();
    CREATELISTVIEW();
    startTimer_ = windowServices().startTimer(500, true, [this] { TIMERFIRED(); });
    return true;
}

void PRUEF_WND::TIMERFIRED() {
    if (startTimer_ != 0) windowServices().killTimer(startTimer_);
    startTimer_ = 0;
    runDeferredTasks();
}

void PRUEF_WND::runDeferredTasks() {
    if (settings().startDlg) secondaryWindows().startHints(owner());
    IUpdateService* update = updateService();
    if (update && update->automaticCheck(owner(), *this)) {
        appState().closeWithoutAsking = true;
        ENDDIALOG();
        return;
    }
    // The file the program was started for is chosen as if through "Datei".
    const std::string file = std::exchange(appState().startFile, std::string());
    if (!file.empty() && !ended_) PSHDATEI(file);
}

bool PRUEF_WND::QUERYCLOSE() {
    // The window system itself has no objection to closing this dialog.
    LALLOWCLOSE_ = true;
    FELDWNDCLOSE();

    ValueList last{{"LastSession", formatDateTime(clock().now())}};
    // A window that was never shown has no position of its own: keep the stored one.
    if (shown_ && view_) {
        const WindowRect r = view_->geometry();
        last.push_back({"OriginX", plainNumber(r.x)});
        last.push_back({"OriginY", plainNumber(r.y)});
    }
    SAVEREGISTRY(owner(), "HKCU", "", last);

    bool allow = true;
    if (!appState().closeWithoutAsking) {
        LALLOWCLOSE_ = false;
        allow = box().askYesNo(owner(), "Anfrage", "Möchten Sie die Anwendung wirklich beenden ?"_ansi);
        LALLOWCLOSE_ = allow;
    }
    if (allow) {
        engine.closeFiles();
        windowServices().processMessages();
    }
    return allow;
}

void PRUEF_WND::PSHCANCEL() {
    FELDWNDCLOSE();
    if (run.LTURN_) {
        run.stopRequest = true;
        run.stopByUser = true;
        run.LTURN_ = false;
        return;
    }
    engine.closeTextTable();
    ENDDIALOG();
}

void PRUEF_WND::ENDDIALOG() {
    if (shown_ && !ended_ && view_) {
        view_->requestClose();
        return;
    }
    if (!shown_ && !ended_) {
        // Never shown: the close passes through QUERYCLOSE like any other, which asks
        // nothing while the start checks still run.
        QUERYCLOSE();
    }
    ended_ = true;
}

// The settings changed (the settings window saved them): the run gets them, the
// displays show them.
void PRUEF_WND::SETPARAM() {
    handSettings();
    showSettings();
}

void PRUEF_WND::handSettings() {
    // A run keeps what it started with; nothing can change the settings while it lasts
    // but its own questions, which the run holds already.
    if (run.LTURN_) return;
    const Settings& s = settings();
    RunParameters& p = run.parameters;
    p.currency = s.waehrung;
    p.countryCodes = s.lCode;
    p.dateWindow = DateWindow{s.uDatum, s.oDatum};
    p.dataFolder = s.installPath;
    p.sourceFolder = s.artiQuelle;
    p.programFolder = appState().programFolder;
}

// What the user adopted in a question of the check is kept in memory and shown; only
// the settings window writes it to the registry.
void PRUEF_WND::dateWindowAdopted(const DateWindow& window) {
    settings().uDatum = window.lower;
    settings().oDatum = window.upper;
    showSettings();
}

void PRUEF_WND::currencyAdopted(std::string_view code) {
    settings().waehrung = std::string(code);
    showSettings();
}

// The next file dialog starts in the folder of the file chosen now, in this session and
// the next.
void PRUEF_WND::sourceFolderChosen(const std::string& folder) {
    settings().artiQuelle = folder;
    SAVEREG_EINZELWERT(owner(), "HKCU", "", "ARTIQuelle", folder);
}

void PRUEF_WND::showSettings() {
    controls.setText(Ctl::ODCTXT6, dateOrEmpty(settings().uDatum));
    controls.setText(Ctl::ODCTXT7, dateOrEmpty(settings().oDatum));
    controls.setText(Ctl::ODCTXT9, settings().waehrung);
}

void PRUEF_WND::PSHSYSTEM() {
    secondaryWindows().settingsWindow(owner(), this);
    // An installer was started from the update settings ("Das Programm wird jetzt
    // beendet."): the program ends without the closing question.
    if (appState().closeWithoutAsking) ENDDIALOG();
}

void PRUEF_WND::PSHABOUT() {
    FELDWNDCLOSE();
    secondaryWindows().aboutBox(owner(), this);
}

void PRUEF_WND::PSHVIEW() {
    IRecordViewers* viewers = recordViewers();
    if (!viewers) return;
    OODSEQUENZ_ = viewers->openSequenceViewer(owner(), *this, run);
    LSEQUENZ_ = OODSEQUENZ_ != nullptr;
}

void PRUEF_WND::PSHMELD() {
    IRecordViewers* viewers = recordViewers();
    if (!viewers) return;
    OODMELD_ = viewers->openFindingsWindow(owner(), *this, run.findings);
}

void PRUEF_WND::showRecordAt(long long offset) {
    handSettings();
    engine.showRecordAt(offset);
}

PRUEF_WND::PRUEF_WND() {
    // The findings window lists every finding of the file choice and the last run.
    run.findings.keepList(true);
}

PRUEF_WND::~PRUEF_WND() = default;

void PRUEF_WND::FELDWNDCLOSE() {
    if (LFELD_) {
        if (OODFELD_) OODFELD_->end();
        LFELD_ = false;
    }
}

void PRUEF_WND::SEQUENZWNDCLOSE() {
    if (LSEQUENZ_) {
        if (OODSEQUENZ_) OODSEQUENZ_->end();
        LSEQUENZ_ = false;
    }
}

} // namespace arti
