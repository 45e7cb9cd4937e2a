// The main check window's buttons and boxes: each hands its work to the engine and
// keeps the controls it owns (entry, options, spinner) in step.
#include "app/PruefWnd.h"

#include "core/AppState.h"
#include "core/Text.h"
#include "records/FileAccess.h"
#include "rules/NumberText.h"

#include <algorithm>

namespace arti {

using namespace literals;

namespace {

const char* const kNavigationInstruction =
    "Wählen Sie die Prüfart. Automatischer Durchlauf oder Satzweise vor/zurück.\r\n"
    "Adressieren Sie ggf. direkt auf eine Byte-Position.";

// The caption a clicked option box shows for its state; null for other controls.
const char* optionCaption(Ctl checkBox, bool on) {
    switch (checkBox) {
    case Ctl::ODCCHK2:
        return on ? "Feld-Prüfung ein" : "Feld-Prüfung aus";
    case Ctl::ODCCHK3:
        return on ? "Fehler PopUp ein" : "Fehler PopUp aus";
    case Ctl::ODCCHK4:
        return on ? "List-Anzeige ein" : "List-Anzeige aus";
    default:
        return nullptr;
    }
}

std::optional<RunOption> optionOf(Ctl checkBox) {
    switch (checkBox) {
    case Ctl::ODCCHK1:
        return RunOption::OemCharacters;
    case Ctl::ODCCHK2:
        return RunOption::FieldChecks;
    case Ctl::ODCCHK3:
        return RunOption::Popups;
    case Ctl::ODCCHK4:
        return RunOption::ListDisplay;
    case Ctl::ODCCHK5:
        return RunOption::AsciiCheckOff;
    default:
        return std::nullopt;
    }
}

} // namespace

Ctl optionBox(RunOption option) {
    switch (option) {
    case RunOption::OemCharacters:
        return Ctl::ODCCHK1;
    case RunOption::FieldChecks:
        return Ctl::ODCCHK2;
    case RunOption::Popups:
        return Ctl::ODCCHK3;
    case RunOption::ListDisplay:
        return Ctl::ODCCHK4;
    case RunOption::AsciiCheckOff:
        return Ctl::ODCCHK5;
    }
    return Ctl::ODCCHK1;
}

void PRUEF_WND::PSHDATEI() {
    handSettings();
    engine.chooseFile();
}

void PRUEF_WND::PSHDATEI(const std::string& given) {
    handSettings();
    engine.chooseFile(given);
}

bool PRUEF_WND::LIESSATZ() {
    handSettings();
    return engine.LIESSATZ();
}

void PRUEF_WND::PSHBACK() {
    handSettings();
    engine.stepBack();
}

void PRUEF_WND::PSHBOF() {
    handSettings();
    engine.toStart();
}

void PRUEF_WND::PSHEOF() {
    handSettings();
    engine.toEnd();
}

void PRUEF_WND::PSHSTART() {
    handSettings();
    engine.runToEnd();
}

void PRUEF_WND::PSHSTOP() {
    engine.stop();
}

void PRUEF_WND::PSHNEXT() {
    if (run.LTURN_ || run.source.handle() == 0) return;
    handSettings();
    if (!engine.keepsChosenFile()) return;
    engine.LIESSATZ();
}

// "ausführen": the record behind an entered byte position. Enter reaches this handler
// even while a run holds every control, so it does nothing then; nor without a file,
// where there is nothing to jump to and the guidance to "Datei" must stay.
void PRUEF_WND::PSHOK() {
    if (run.LTURN_ || run.source.handle() == 0) return;
    controls.disable(Ctl::OCCPSHOK);
    guide(Guidance::None);
    if (!showOutcome()) controls.setText(Ctl::ODCTXT10, "");
    const std::string entry = controls.text(Ctl::ODCSLE1);
    handSettings();
    engine.goTo(entry);
    controls.setText(Ctl::ODCSLE1, "");
    controls.focus(Ctl::ODCSLE1);
}

void PRUEF_WND::OFFSET() {
    if (run.source.handle() != 0) engine.showPosition(FTELL(run.source.handle()));
}

// Back to the "no file" phase. `displays` empties the value displays of the file and
// record, the entry and the findings list; the path, the settings displays and the
// spinner value stay. `controlsOff` disables what needs a file, leaves "Datei",
// "Systemeinstellung" and the list usable, and points the guidance at "Datei" again.
// Either way the field editor closes and the stop request of an earlier run is cleared.
void PRUEF_WND::RESET(bool displays, bool controlsOff) {
    FELDWNDCLOSE();
    run.stopRequest = false;
    run.stopByUser = false;
    if (displays) {
        engine.forgetRecord();
        clearDisplays();
    }
    if (controlsOff) {
        controlsWithoutFile();
        run.outcome = CheckOutcome{};
    }
}

void PRUEF_WND::clearDisplays() {
    for (const Ctl c : {Ctl::ODCTXT2, Ctl::ODCTXT3, Ctl::ODCTXT4, Ctl::ODCTXT11, Ctl::ODCTXT12, Ctl::ODCTXT13,
                        Ctl::ODCTXT14, Ctl::ODCTXT8, Ctl::ODCTXT15, Ctl::ODCTXT50, Ctl::ODCTXT51,
                        Ctl::ODCTXT52, Ctl::ODCTXT16, Ctl::ODCTXT17, Ctl::ODCTXT18, Ctl::ODCSLE1})
        controls.setText(c, "");
    controls.clearList();
}

void PRUEF_WND::controlsWithoutFile() {
    for (const Ctl c : {Ctl::OCCPSHBOF, Ctl::OCCPSHBACK, Ctl::OCCPSHNEXT, Ctl::OCCPSHEOF, Ctl::OCCPSHSTART,
                        Ctl::OCCPSHSTOP, Ctl::ODCSLE1, Ctl::OCCPSHOK, Ctl::OCCPSHPROT, Ctl::ODCCHK2,
                        Ctl::ODCCHK3, Ctl::ODCCHK4, Ctl::OCCPSHVIEW, Ctl::OCCPSHMELD})
        controls.disable(c);
    for (const Ctl c : {Ctl::OCCPSHDATEI, Ctl::OCCPSHSYSTEM, Ctl::ODCLISTVIEW1})
        controls.enable(c);
    guide(Guidance::ChooseFile);
    controls.setText(Ctl::ODCTXT10,
                     "zu prüfende Datei auswählen\r\nVorgehensweise: Achten Sie auf den grünen Pfeil !"_ansi);
}

void PRUEF_WND::guide(Guidance step) {
    guidance_ = step;
    controls.show(Ctl::ODCFI1, step == Guidance::ChooseFile);
    controls.show(Ctl::ODCFI2, step == Guidance::ChooseOptions);
    controls.show(Ctl::ODCFI3, step == Guidance::ChooseCheck);
}

void PRUEF_WND::applyOption(Ctl checkBox, bool on) {
    if (const std::optional<RunOption> option = optionOf(checkBox))
        engine.setOption(*option, on, false);
    else
        controls.check(checkBox, on);
}

void PRUEF_WND::setOption(Ctl checkBox, bool on) {
    if (const std::optional<RunOption> option = optionOf(checkBox))
        engine.setOption(*option, on, true);
    else
        controls.check(checkBox, on);
}

void PRUEF_WND::showOptionCaption(Ctl checkBox, bool on) {
    const char* text = optionCaption(checkBox, on);
    if (!text) return;
    controls.setText(checkBox, utf8ToAnsi(text));
    captionSaysOn_[static_cast<std::size_t>(checkBox)] = on;
}

void PRUEF_WND::showOption(RunOption option, bool on, bool caption) {
    const Ctl checkBox = optionBox(option);
    controls.check(checkBox, on);
    if (!caption) return;
    // A ticked box keeps a caption that says "ein" (the template's own among them).
    if (on && captionSaysOn_[static_cast<std::size_t>(checkBox)]) return;
    showOptionCaption(checkBox, on);
}

void PRUEF_WND::BUTTONCLICK(Ctl checkBox) {
    // The face has ticked the box; the run takes the option from it.
    const bool on = controls.checked(checkBox);
    applyOption(checkBox, on);
    showOptionCaption(checkBox, on);
    if (checkBox == Ctl::ODCCHK4 && !on) controls.clearList();
    if (guidance_ == Guidance::ChooseOptions) {
        guide(Guidance::ChooseCheck);
        controls.setText(Ctl::ODCTXT10, utf8ToAnsi(kNavigationInstruction));
    }
}

void PRUEF_WND::EDITCHANGE() {
    controls.enable(Ctl::OCCPSHOK, !controls.text(Ctl::ODCSLE1).empty());
}

void PRUEF_WND::VERTICALSPIN(int value) {
    run.options.delay = std::clamp(value, 0, 50);
    controls.setText(Ctl::ODCTXT5, NumberText(static_cast<unsigned long long>(run.options.delay)).view());
}

} // namespace arti
