// PRUEF_WND: the logic of the main check window. It holds the check's model and the
// engine that works on it, hands the buttons to the engine, writes its controls from
// what the engine shows (IRunDisplay) and reaches its face through IPruefView.
#pragma once

#include "app/Controls.h"
#include "app/PruefView.h"
#include "core/Services.h"
#include "platform/ShellErrors.h"
#include "run/CheckEngine.h"
#include "run/CheckRun.h"
#include "run/RunDisplay.h"
#include "views/MeldWnd.h"
#include "views/RecordViewers.h"
#include "views/Windows.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace arti {

// The step the green arrows and the instruction text guide the user to: each step but
// the last has its arrow (at "Datei", at the option boxes, at the navigation).
enum class Guidance : std::uint8_t { ChooseFile, ChooseOptions, ChooseCheck, None };

class PRUEF_WND final : public IMainWindowLink, public IRunDisplay, public IViewerOwner, public IRecordJump {
public:
    PRUEF_WND();
    ~PRUEF_WND() override;
    PRUEF_WND(const PRUEF_WND&) = delete;
    PRUEF_WND& operator=(const PRUEF_WND&) = delete;

    void attachView(IPruefView* view) {
        view_ = view;
        controls.attach(view);
    }
    IPruefView* view() const { return view_; }
    Owner owner() const { return this; }

    // Window construction: the template's captions and initial control states.
    void INIT();
    bool SETUP();
    // Timer message of the one-shot start timer: the start hints window and, when an
    // update service is installed, the automatic update check.
    void TIMERFIRED();
    // Asked by the window system before the window closes; true lets it close.
    bool QUERYCLOSE();
    void PSHCANCEL();
    // Ends the window: a shown window is asked to close (through QUERYCLOSE), a window
    // never shown is simply marked ended.
    void ENDDIALOG();
    void FELDWNDCLOSE();
    void SEQUENZWNDCLOSE();
    void ISCHILD(bool open) override { LFELD_ = open; }

    bool ended() const { return ended_; }
    bool shown() const { return shown_; }
    void markShown() { shown_ = true; }
    void markClosed() { ended_ = true; }
    TimerId startTimer() const { return startTimer_; }

    // --- Findings list, log viewer, instruction text (PruefLog.cpp) ---
    // Logs a finding (the engine's log; with pop-ups on, in a box).
    void ERRORLOG(MessageKind kind, const std::string& text) { engine.ERRORLOG(kind, text); }
    void CREATELISTVIEW();
    void FILLLISTVIEW(const std::vector<ListRow>& rows);
    void LISTVIEWMOUSEBUTTONDOUBLECLICK();
    void PSHPROT();
    long CALLEXPLORER(const std::string& target = "C:\\", const std::string& verb = "open",
                      const std::string& parameters = "") override;
    // Shows how the last check ended in the instruction text; false when there is none.
    bool showOutcome();

    // --- File choice and record step: the engine does the work (PruefHandlers.cpp) ---
    // "Datei": asks for the file to check; with a file given, takes it without asking.
    // This and every step or run hand the settings to the run first (handSettings).
    void PSHDATEI();
    void PSHDATEI(const std::string& given);
    bool LIESSATZ() override;
    void UPDATE0590(const std::string& record) { engine.UPDATE0590(record); }
    void UPDATE0196(const std::string& record) { engine.UPDATE0196(record); }
    void UPDATE2000(const std::string& record) { engine.UPDATE2000(record); }
    void FELDPRUEF0590(const std::string& record) { engine.FELDPRUEF0590(record); }
    void FELDPRUEF0196(const std::string& record) { engine.FELDPRUEF0196(record); }
    void FELDPRUEF2000(const std::string& record) { engine.FELDPRUEF2000(record); }
    bool SATZFOLGE(const std::string& status) { return engine.SATZFOLGE(status); }
    void DBTEXT(const std::string& record) { run.texts.DBTEXT(engine, record, run.NZEIGER_); }
    void PSHSTART();
    void PSHSTOP();
    void PSHNEXT();
    void PSHBACK();
    void PSHBOF();
    void PSHEOF();
    void PSHOK();
    void EOF_BOF() { engine.EOF_BOF(); }
    void OFFSET() override;
    // Copies the settings in memory into the run's parameters: the currency, the country
    // codes, the date window, the data folder, the folder the file dialog starts in and
    // the program folder. The run keeps what the user adopts in its questions and tells
    // the window (dateWindowAdopted, currencyAdopted, sourceFolderChosen).
    void handSettings();
    // Back to the "no file" phase: `displays` empties the file's and record's displays,
    // `controlsOff` disables what needs a file.
    void RESET(bool displays = true, bool controlsOff = true);

    // Secondary windows (PruefWnd.cpp).
    void PSHSYSTEM();
    void PSHABOUT();
    void PSHVIEW();
    // "Meldungen im Überblick": the findings of the file choice and the last run in groups.
    void PSHMELD();
    // A finding's record, chosen in that window.
    void showRecordAt(long long offset) override;
    void SETPARAM() override;

    // Handlers of the face.
    void BUTTONCLICK(Ctl checkBox);
    // Ticks or unticks a check box and sets its option; setOption also makes the caption
    // of "Feld-Prüfung", "Fehler PopUp" and "List-Anzeige" tell the state.
    void applyOption(Ctl checkBox, bool on);
    void setOption(Ctl checkBox, bool on);
    void EDITCHANGE();
    void VERTICALSPIN(int value);

    // The guidance step the window shows.
    Guidance guidance() const { return guidance_; }

    // The model of the check, and the engine that works on it and shows through this window.
    CheckRun run;
    CheckEngine engine{run, *this, this};
    ControlMirror controls;

    // Window state.
    bool LALLOWCLOSE_ = false;
    bool LFELD_ = false;
    bool LSEQUENZ_ = false;
    IChildWindow* OODFELD_ = nullptr;
    IChildWindow* OODSEQUENZ_ = nullptr;
    IFindingsWindow* OODMELD_ = nullptr;

    // --- What the engine shows (PruefDisplay.cpp) ---
    void showCounter(std::optional<unsigned long> counter) override;
    void showPosition(std::optional<long long> position) override;
    void showRecordLength(std::optional<long long> length) override;
    void showRecordType(std::string_view type) override;
    void showRecordText(std::string_view first) override;
    void showRecordContinuation(std::optional<std::string_view> second,
                                std::optional<std::string_view> third) override;
    void showFieldCount(std::size_t count) override;
    void showErrors(std::optional<unsigned long> errors) override;
    void showFileName(std::string_view shown) override;
    void showFileLength(long long length) override;
    void showRecordCount(std::optional<long long> count) override;
    void showHeaderDate(std::string_view date) override;
    void showVersion(std::string_view label) override;
    void showSeparator(std::string_view separator) override;
    void showAnnouncement(std::string_view announcement) override;
    void showOption(RunOption option, bool on, bool caption) override;
    void dateWindowAdopted(const DateWindow& window) override;
    void currencyAdopted(std::string_view code) override;
    void sourceFolderChosen(const std::string& folder) override;
    void clearList() override { controls.clearList(); }
    void showFields(const FieldTable& table) override { controls.showTable(table); }
    void fieldsChanged(std::string_view nulReplacement, bool oem) override;
    void sequenceViewAvailable(bool available) override;
    void clearSequenceList() override;
    void closeFieldWindow() override { FELDWNDCLOSE(); }
    void fileChoiceStarts() override { RESET(true, true); }
    void fileNotOpened() override {
        controls.enable(Ctl::OCCPSHDATEI);
        showFindingsAgain();
    }
    void fileRefused() override;
    void fileReady() override;
    void runStarts() override;
    void runStopRequested() override;
    void runEnded() override;
    void navigation(const Navigation& where) override;
    void outcomeChanged() override;

private:
    void runDeferredTasks();
    // The date window and currency displays, written from the settings.
    void showSettings();
    void clearDisplays();
    void controlsWithoutFile();
    // "Meldungen im Überblick" can be opened when there are findings; an open window
    // reads them again.
    void showFindingsAgain();
    // Moves the guidance to `step` and shows its arrow alone.
    void guide(Guidance step);
    // Shows the caption of an option box for its state.
    void showOptionCaption(Ctl checkBox, bool on);

    IPruefView* view_ = nullptr;
    Guidance guidance_ = Guidance::ChooseFile;
    // The option boxes whose caption says "ein" (a ticked box keeps such a caption).
    std::array<bool, kControlCount> captionSaysOn_{};
    TimerId startTimer_ = 0;
    bool shown_ = false;
    bool ended_ = false;
};

} // namespace arti
