// What the engine shows, written into the main check window's controls.
#include "app/PruefWnd.h"

#include "core/Oem.h"
#include "core/Text.h"

namespace arti {

using namespace literals;

// Counts are shown with "." between thousands; the log writes them plain.
void PRUEF_WND::showCounter(std::optional<unsigned long> counter) {
    if (counter)
        controls.setNumber(Ctl::ODCTXT11, static_cast<long long>(*counter), NumberShape::Grouped);
    else
        controls.setText(Ctl::ODCTXT11, "");
}

void PRUEF_WND::showPosition(std::optional<long long> position) {
    if (position)
        controls.setNumber(Ctl::ODCTXT12, *position, NumberShape::Picture);
    else
        controls.setText(Ctl::ODCTXT12, "");
}

void PRUEF_WND::showRecordLength(std::optional<long long> length) {
    if (length)
        controls.setNumber(Ctl::ODCTXT13, *length);
    else
        controls.setText(Ctl::ODCTXT13, "");
}

void PRUEF_WND::showRecordType(std::string_view type) {
    controls.setText(Ctl::ODCTXT14, type);
}

void PRUEF_WND::showRecordText(std::string_view first) {
    controls.setText(Ctl::ODCTXT50, first);
}

void PRUEF_WND::showRecordContinuation(std::optional<std::string_view> second,
                                       std::optional<std::string_view> third) {
    // Up to 128 characters per display line; lines not needed are hidden.
    controls.show(Ctl::ODCTXT51, second.has_value());
    if (second) controls.setText(Ctl::ODCTXT51, *second);
    controls.show(Ctl::ODCTXT52, third.has_value());
    if (third) controls.setText(Ctl::ODCTXT52, *third);
}

void PRUEF_WND::showFieldCount(std::size_t count) {
    controls.setNumber(Ctl::ODCTXT16, static_cast<long long>(count));
}

void PRUEF_WND::showErrors(std::optional<unsigned long> errors) {
    if (errors)
        controls.setText(Ctl::ODCTXT18, groupedNumber(static_cast<long long>(*errors)));
    else
        controls.setText(Ctl::ODCTXT18, "");
}

void PRUEF_WND::showFileName(std::string_view shown) {
    controls.setText(Ctl::ODCTXT1, shown);
}

void PRUEF_WND::showFileLength(long long length) {
    controls.setNumber(Ctl::ODCTXT2, length, NumberShape::Picture);
}

void PRUEF_WND::showRecordCount(std::optional<long long> count) {
    controls.setText(Ctl::ODCTXT17, count ? groupedNumber(*count) : std::string());
}

void PRUEF_WND::showHeaderDate(std::string_view date) {
    controls.setText(Ctl::ODCTXT4, date);
}

void PRUEF_WND::showVersion(std::string_view label) {
    controls.setText(Ctl::ODCTXT3, label);
}

void PRUEF_WND::showSeparator(std::string_view separator) {
    controls.setText(Ctl::ODCTXT8, separator);
}

void PRUEF_WND::showAnnouncement(std::string_view announcement) {
    controls.setText(Ctl::ODCTXT15, announcement);
}

void PRUEF_WND::fieldsChanged(std::string_view nulReplacement, bool oem) {
    // An open field viewer is set up again without a selected field.
    IRecordViewers* viewers = recordViewers();
    if (!viewers || !LFELD_ || !OODFELD_) return;
    std::string nul(nulReplacement);
    if (oem) oemToAnsi(nul);
    viewers->refreshFieldEditor(*OODFELD_, std::nullopt, run.recordType, nul);
}

void PRUEF_WND::sequenceViewAvailable(bool available) {
    // The button opens the sequence viewer: without one it stays disabled.
    controls.enable(Ctl::OCCPSHVIEW, available && recordViewers() != nullptr);
}

void PRUEF_WND::clearSequenceList() {
    if (IRecordViewers* viewers = recordViewers()) viewers->clearSequenceList();
}

void PRUEF_WND::fileRefused() {
    controls.enable(Ctl::OCCPSHPROT);
    controls.enable(Ctl::OCCPSHDATEI);
    showFindingsAgain();
}

void PRUEF_WND::outcomeChanged() {
    showOutcome();
    showFindingsAgain();
}

void PRUEF_WND::showFindingsAgain() {
    controls.enable(Ctl::OCCPSHMELD, run.findings.count() > 0 && recordViewers() != nullptr);
    if (OODMELD_) OODMELD_->refresh();
}

void PRUEF_WND::fileReady() {
    for (const Ctl c : {Ctl::ODCSLE1, Ctl::OCCPSHNEXT, Ctl::OCCPSHSTART, Ctl::OCCPSHEOF})
        controls.enable(c);
    guide(Guidance::ChooseOptions);
    for (const Ctl c : {Ctl::ODCCHK2, Ctl::ODCCHK3, Ctl::ODCCHK4})
        controls.enable(c);
    controls.setText(Ctl::ODCTXT10,
                     "Wählen Sie ob die Feldinhalte geprüft werden sollen und ob bei jedem Fehler eine "
                     "Infobox erscheinen soll.\r\nVorgehensweise: Achten Sie auf den grünen Pfeil !"_ansi);
    fileRefused();
}

void PRUEF_WND::runStarts() {
    for (const Ctl c :
         {Ctl::OCCPSHDATEI, Ctl::ODCSLE1, Ctl::OCCPSHOK, Ctl::OCCPSHBOF, Ctl::OCCPSHEOF, Ctl::OCCPSHSTART,
          Ctl::OCCPSHNEXT, Ctl::OCCPSHBACK, Ctl::OCCPSHPROT, Ctl::OCCPSHSYSTEM, Ctl::ODCCHK2, Ctl::ODCCHK3,
          Ctl::ODCCHK4, Ctl::ODCLISTVIEW1, Ctl::OCCPSHMELD})
        controls.disable(c);
    controls.setText(Ctl::ODCSLE1, "");
    controls.enable(Ctl::OCCPSHSTOP);
    guide(Guidance::None);
    controls.setText(
        Ctl::ODCTXT10,
        "Unterbrechen Sie den Durchlauf mit dem STOP-Button oder warten Sie bis das Dateiende erreicht ist.");
    LALLOWCLOSE_ = true;
}

void PRUEF_WND::runStopRequested() {
    controls.disable(Ctl::OCCPSHSTOP);
    for (const Ctl c : {Ctl::OCCPSHSTART, Ctl::OCCPSHDATEI, Ctl::ODCCHK2, Ctl::ODCCHK3})
        controls.enable(c);
}

void PRUEF_WND::runEnded() {
    LALLOWCLOSE_ = false;
    controls.disable(Ctl::OCCPSHSTOP);
    for (const Ctl c : {Ctl::OCCPSHSTART, Ctl::OCCPSHDATEI, Ctl::OCCPSHPROT, Ctl::OCCPSHSYSTEM, Ctl::ODCCHK2,
                        Ctl::ODCCHK3, Ctl::ODCCHK4, Ctl::OCCPSHNEXT, Ctl::OCCPSHBACK, Ctl::OCCPSHBOF,
                        Ctl::OCCPSHEOF, Ctl::ODCSLE1, Ctl::ODCLISTVIEW1})
        controls.enable(c);
}

void PRUEF_WND::navigation(const Navigation& where) {
    if (!where.fileOpen) {
        for (const Ctl c : {Ctl::OCCPSHBOF, Ctl::OCCPSHBACK, Ctl::OCCPSHEOF, Ctl::OCCPSHNEXT})
            controls.disable(c);
        controls.enable(Ctl::OCCPSHDATEI);
        return;
    }
    // The first step through the file ends the guidance to the options or the check.
    if (guidance_ == Guidance::ChooseOptions || guidance_ == Guidance::ChooseCheck) {
        guide(Guidance::None);
        controls.setText(Ctl::ODCTXT10, "");
    }
    controls.enable(Ctl::OCCPSHBOF, where.behindHeader);
    controls.enable(Ctl::OCCPSHBACK, where.behindHeader);
    controls.enable(Ctl::OCCPSHEOF, !where.atEnd);
    controls.enable(Ctl::OCCPSHNEXT, !where.atEnd);
    controls.focus(Ctl::ODCSLE1);
}

} // namespace arti
