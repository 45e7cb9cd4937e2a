// Record step, automatic run and navigation of the main check window.
//
// The run loop reads one record per turn; the work per record is kept to what changes:
// numbers are formatted into stack buffers, the control mirror drops unchanged texts,
// and the end-of-file test costs no system call (the file length is asked once per
// open file).
#include "app/CheckFunctions.h"
#include "app/PruefWnd.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "records/FileAccess.h"
#include "rules/NumberText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace arti {

using namespace literals;

namespace {

// Records of versions 05/90 and 01/96: 128 characters and CR LF.
constexpr long long kFixedRecord = 130;
// Lines of version 2000 are read up to this length.
constexpr std::size_t kMaxLine2000 = 300;
// The "<1" scan looks at most this far back from the position.
constexpr long long kBackWindow = 610;

const char* const kRunInstruction =
    "Unterbrechen Sie den Durchlauf mit dem STOP-Button oder warten Sie bis das Dateiende erreicht ist.";
const char* const kNavigationInstruction =
    "Wählen Sie die Prüfart. Automatischer Durchlauf oder Satzweise vor/zurück.\r\n"
    "Adressieren Sie ggf. direkt auf eine Byte-Position.";
const char* const kFileInstruction = "zu prüfende Datei auswählen\r\nVorgehensweise: Achten Sie auf den grünen Pfeil !";


std::string timeOfDay() {
    const LocalDateTime t = clock().now();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

// One character of the record as a text, empty when the record is shorter.
std::string charAt(const std::string& record, std::size_t index) {
    return index < record.size() ? std::string(1, record[index]) : std::string();
}

void refuse() { appState().stopRequest = true; }

// Version 2000: the order decision at the first record behind the header, the running
// counter of a run that tracks the order, the update.
bool step2000(PRUEF_WND& w, const std::string& record) {
    if (w.run.recordCounter == 1 && !w.SATZFOLGE(charAt(record, 2))) {
        refuse();
        return false;
    }
    if (w.run._LTURN && w.run._LSFOLGE) {
        ++w.run.recordCounter;
        w.showCounter(w.run.recordCounter);
    } else {
        w.run.recordCounter = 0;
        w.showCounter(std::nullopt);
    }
    w.UPDATE2000(record);
    return true;
}

// Version 01/96: the counter follows the position; the second record must be the K
// record, the third decides the order; text records go into the long-text table.
bool step0196(PRUEF_WND& w, const std::string& record, long long position) {
    w.run.recordCounter = static_cast<unsigned long>(position / kFixedRecord);
    w.showCounter(w.run.recordCounter);
    const char type = record[0];
    if (w.run.recordCounter == 2 && type != 'K') {
        w.refuseCheck("der zweite Satz der Version 01/96 muss der Kunden-Kontroll-Satz sein !\r\nAbbruch der Prüfung !"_ansi);
        return false;
    }
    if (w.run.recordCounter == 3 && !w.SATZFOLGE(charAt(record, 1))) {
        refuse();
        return false;
    }
    w.UPDATE0196(record);
    if (w.run._TFLAG && type == 'A') {
        // The texts precede the articles: the first article ends the collection.
        w.run._TFLAG = false;
        w.closeTextTable();
    }
    if (w.run._TFLAG && w.run._LZAP && !w.run._LBACK && type == 'T') w.DBTEXT(record);
    return true;
}

// Version 05/90: the header announces nothing, so the announcement is gathered from
// the record types met from the third record on, and the order is decided anew at the
// records 3, 4 and 5 from what has been gathered so far.
bool step0590(PRUEF_WND& w, const std::string& record, long long position) {
    w.run.recordCounter = static_cast<unsigned long>(position / kFixedRecord);
    w.showCounter(w.run.recordCounter);
    const char type = record[0];
    if (w.run.recordCounter < 3) {
        w.showAnnouncement("");
        w.run._CSTRING.clear();
    }
    if (w.run.recordCounter == 2 && type != 'K') {
        w.refuseCheck("der zweite Satz der Version 05/90 muss der Kunden-Kontroll-Satz sein !\r\nAbbruch der Prüfung !"_ansi);
        return false;
    }
    const std::string& announced = w.run.announcement;
    if (w.run.recordCounter >= 3 && announced.find(type) == std::string::npos) w.showAnnouncement(announced + type);
    if (w.run.recordCounter >= 3 && w.run.recordCounter <= 5 && !w.SATZFOLGE(charAt(record, 1))) {
        refuse();
        return false;
    }
    w.UPDATE0590(record);
    return true;
}

// The rules every record passes after its version's step: the running order during a
// run from the header, and for 01/96 and 2000 the admission of the record type.
bool commonRules(PRUEF_WND& w, const std::string& record, Version norm) {
    if (w.run._LTURN && w.run._LSFOLGE && !w.SATZFOLGELFD(std::string_view(record).substr(0, 2))) {
        // The finding concerns the record as a whole, not the field the checks saw last.
        w.run._NPOSITION = 0;
        w.refuseCheck("die ReihenfolgeX der eintreffende Sätze stimmt nicht !\r\n"_ansi + w.run._CSFOLGE + "\r\n" +
                   w.run._CSTRING + "\r\nAbbruch der Prüfung !"_ansi);
        return false;
    }
    if (norm != Version::V0196 && norm != Version::V2000) return true;
    const char type = record[0];
    const std::string& announced = w.run.announcement;
    // "K" needs no announcement: in 01/96 it is the customer control record, in 2000 it
    // is admitted whether or not the header names it (an announced "K" is found below).
    if (type == 'V' || type == 'K' || (type != ' ' && announced.find(type) != std::string::npos)) return true;
    w.run._NPOSITION = 1;
    const std::string text = "die Satzart " + std::string(1, type) + " ist in der Satzart-Ankündigung "_ansi +
                             trim(announced) + " des Vorlaufsatzes nicht enthalten !";
    w.ERRORLOG(text);
    // A run ends at such a record; a step by hand goes on to the next.
    if (w.run._LTURN) w.noteRefusal(text);
    return false;
}

// A record step that read nothing: the end of the file (with or without its end mark),
// or a record that could not be read; false for the latter, which ends a run.
bool emptyRecord(PRUEF_WND& w, long long fileLength) {
    w.showPosition(FTELL(w.run.dataFile));
    w.controls.clearList();
    bool markRead = false;
    bool readable = true;
    if (w.run._LCHR) {
        FSEEK(w.run.dataFile, -1, SeekOrigin::Current);
        const std::string last = FREADSTR(w.run.dataFile, 1);
        w.showPosition(FTELL(w.run.dataFile));
        if (last == std::string_view(&kEndOfFileMark, 1)) {
            w.ERRORLOG("das Datei-Ende CHR26 wurde gelesen.\r\nPrüfung beendet !"_ansi);
            markRead = true;
        }
    }
    if (!markRead) {
        const long long position = w.run.position.value_or(0);
        if (position == fileLength) {
            w.ERRORLOG("das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
        } else {
            // The message ends the check: the run stops here, also where the reader
            // raised no stop request (an empty line, a read error), and without
            // being logged as stopped by the user.
            readable = false;
            w.refuseCheck("Der Satz " + plainNumber(static_cast<long long>(w.run.recordCounter) + 1) + " ab Position " +
                       groupedNumber(position) + " konnte nicht gelesen werden !\r\nAbbruch der Prüfung !"_ansi);
        }
    }
    w.EOF_BOF();
    return readable;
}

// Hands the record's storage back to the window however the record step ends.
struct RecordStoreReturn {
    std::string& record;
    std::string& store;
    ~RecordStoreReturn() { store.swap(record); }
};

// Clears run._LBACK however the record step ends: it stands for one step only.
struct BackStepEnd {
    bool& flag;
    ~BackStepEnd() { flag = false; }
};

} // namespace

bool PRUEF_WND::LIESSATZ() {
    const BackStepEnd backStepEnd{run._LBACK};
    if (run.dataFile == 0) return false;
    controls.disable(Ctl::OCCPSHVIEW);
    run._NZEIGER = FTELL(run.dataFile);
    run._NPOSITION = 0;
    run._CPUFFER.clear();
    const Version norm = run.version;

    // The record is read into storage kept from the last step (handed back however this
    // step ends), so that a run does not allocate per record.
    std::string record;
    record.swap(run.recordStore);
    const RecordStoreReturn storeReturn{record, run.recordStore};
    record.clear();
    if (!run.atDataEnd()) {
        if (norm == Version::V0590) BIN_LES(owner(), run.dataFile, kFixedRecord, kFixedRecord, run._LASCII, run._CCHR0, record);
        else STRING_LES(owner(), run.dataFile, norm == Version::V2000 ? kMaxLine2000 : kFixedRecord, 0, run._LASCII, record);
    } else if (run._LCHR && FTELL(run.dataFile) == run.dataLength() - 1) {
        // Only the end mark is left: pass over it instead of reading it as a record.
        FSEEK(run.dataFile, run.dataLength());
    }
    if (record.empty()) return emptyRecord(*this, run.dataLength());

    const long long position = FTELL(run.dataFile);
    showPosition(position);
    const bool withCrLf = norm == Version::V0590 && record.size() >= 2;
    showRecordLength(static_cast<long long>(record.size() - (withCrLf ? 2 : 0)));
    showRecordType(std::string_view(record.data(), 1));
    windowServices().processMessages();
    if (record[0] == ' ' && run.atDataEnd()) {
        ERRORLOG("das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
        EOF_BOF();
        return false;
    }

    bool go = true;
    if (norm == Version::V2000) go = step2000(*this, record);
    else if (norm == Version::V0196) go = step0196(*this, record, position);
    else if (norm == Version::V0590) go = step0590(*this, record, position);
    if (!go) return false;
    if (!commonRules(*this, record, norm)) return false;
    EOF_BOF();
    return true;
}

void PRUEF_WND::PSHSTART() {
    if (run._LTURN || run.dataFile == 0) return;
    FELDWNDCLOSE();
    for (const Ctl c : {Ctl::OCCPSHDATEI, Ctl::ODCSLE1, Ctl::OCCPSHOK, Ctl::OCCPSHBOF, Ctl::OCCPSHEOF,
                        Ctl::OCCPSHSTART, Ctl::OCCPSHNEXT, Ctl::OCCPSHBACK, Ctl::OCCPSHPROT, Ctl::OCCPSHSYSTEM,
                        Ctl::ODCCHK2, Ctl::ODCCHK3, Ctl::ODCCHK4, Ctl::ODCLISTVIEW1})
        controls.disable(c);
    controls.setText(Ctl::ODCSLE1, "");
    controls.enable(Ctl::OCCPSHSTOP);
    for (const Ctl c : {Ctl::ODCFI1, Ctl::ODCFI2, Ctl::ODCFI3}) controls.hide(c);
    controls.setText(Ctl::ODCTXT10, kRunInstruction);

    appState().stopRequest = false;
    appState().stopByUser = false;
    run.outcome = CheckOutcome{};
    run.outcome.run = true;
    startCounting();
    _LALLOWCLOSE = true;
    run._LTURN = true;
    run._LZSATZ = false;
    // The order of the records is followed only in a run that starts behind the header.
    if (run.recordCounter == 1) run._LSFOLGE = true;

    while (!run.atDataEnd()) {
        windowServices().processMessages();
        if (appState().stopRequest) {
            // A refusal of the check has logged its own "Abbruch der Prüfung !".
            run._NPOSITION = 0; // about the run, not a field of the last record
            stopCounting();
            if (appState().stopByUser)
                ERRORLOG(timeOfDay() + " Uhr, der Durchlauf wurde vom Benutzer abgebrochen.\r\nPrüfung beendet !"_ansi);
            break;
        }
        windowServices().processMessages();
        if (!LIESSATZ()) {
            appState().stopRequest = true;
            break;
        }
        TICZEITSCHLEIFE(run.options.delay);
    }
    stopCounting();
    const bool reachedEnd = run.dataFile != 0 && run.atDataEnd();
    if (run.outcome.end != CheckEnd::Refused) {
        if (appState().stopByUser) run.outcome.end = CheckEnd::ByUser;
        else if (reachedEnd) run.outcome.end = CheckEnd::FileEnd;
        else noteRefusal("die Prüfung wurde vor dem Datei-Ende beendet (siehe Protokoll)."_ansi);
    }
    // The file may have been closed while messages went through (the window closed).
    if (reachedEnd) {
        run._NZEIGER = FTELL(run.dataFile);
        run._NPOSITION = 0;
        ERRORLOG(timeOfDay() + " Uhr, das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
        // The header is read again to show it; the run's error count stays.
        const std::optional<unsigned long> errorsShown = run.shownErrors;
        FSEEK(run.dataFile, 0);
        LIESSATZ();
        showErrors(errorsShown);
    }

    run._CSTRING.clear();
    run._LTURN = false;
    _LALLOWCLOSE = false;
    run._LSFOLGE = false;
    controls.disable(Ctl::OCCPSHSTOP);
    for (const Ctl c : {Ctl::OCCPSHSTART, Ctl::OCCPSHDATEI, Ctl::OCCPSHPROT, Ctl::OCCPSHSYSTEM, Ctl::ODCCHK2,
                        Ctl::ODCCHK3, Ctl::ODCCHK4, Ctl::OCCPSHNEXT, Ctl::OCCPSHBACK, Ctl::OCCPSHBOF, Ctl::OCCPSHEOF,
                        Ctl::ODCSLE1, Ctl::ODCLISTVIEW1})
        controls.enable(c);
    EOF_BOF();
    showOutcome();
    flushLog();
}

void PRUEF_WND::PSHSTOP() {
    controls.disable(Ctl::OCCPSHSTOP);
    appState().stopRequest = true;
    appState().stopByUser = true;
    stopCounting();
    run._LZSATZ = false;
    for (const Ctl c : {Ctl::OCCPSHSTART, Ctl::OCCPSHDATEI, Ctl::ODCCHK2, Ctl::ODCCHK3}) controls.enable(c);
    logEmptyLine();
    run._NPOSITION = 0;
    ERRORLOG(timeOfDay() + " Uhr, Stop-Button geklickt,\r\n Prüfung unterbrochen !"_ansi);
    EOF_BOF();
    flushLog();
}

void PRUEF_WND::PSHNEXT() {
    if (run._LTURN || run.dataFile == 0) return;
    LIESSATZ();
}

// "<1": the previous record starts behind the second CR LF before the position (the
// first when the end mark was shown as the current record). The bytes before the
// position are read once and scanned in memory, moving the way a scan on the file
// would: one byte back per step, never before the start of the file.
void PRUEF_WND::PSHBACK() {
    if (run._LTURN || run.dataFile == 0) return;
    int found = (run._LCHR && run.position.value_or(0) == run.dataLength()) ? 1 : 0;
    const long long start = FTELL(run.dataFile);
    const long long low = std::max(0LL, start - kBackWindow);
    FSEEK(run.dataFile, low);
    const std::string window = FREADSTR(run.dataFile, static_cast<std::size_t>(start + 2 - low));
    const long long windowEnd = low + static_cast<long long>(window.size());

    long long p = start;
    const auto back = [&p](long long n) {
        if (p - n >= 0) p -= n;
    };
    const auto readPair = [&]() {
        const long long available = std::clamp(windowEnd - p, 0LL, 2LL);
        const bool crLf = available == 2 && window[static_cast<std::size_t>(p - low)] == '\r' &&
                          window[static_cast<std::size_t>(p - low + 1)] == '\n';
        p += available;
        return crLf;
    };
    back(4);
    for (int step = 4; step <= 600; ++step) {
        back(1);
        if (readPair() && ++found == 2) break;
        back(2);
    }
    FSEEK(run.dataFile, p);
    run._LBACK = true;
    LIESSATZ();
}

void PRUEF_WND::PSHBOF() {
    if (run._LTURN || run.dataFile == 0) return;
    FSEEK(run.dataFile, 0);
    run.recordCounter = 0;
    if (run._TFLAG) {
        run._TFLAG = false;
        closeTextTable();
        box().info(owner(), "Hinweis",
                   "Sie haben das Einlesen von Textdaten abgebrochen.\r\nDie Textspeicherung ist unvollständig.\r\n"
                   "Wählen Sie die zu prüfende Datei erneut aus."_ansi);
    }
    LIESSATZ();
    run.recordCounter = 1;
    showCounter(run.recordCounter);
}

void PRUEF_WND::PSHEOF() {
    if (run._LTURN || run.dataFile == 0) return;
    FELDWNDCLOSE();
    const long long length = run.dataLength();
    FSEEK(run.dataFile, run._LCHR && length > 0 ? length - 1 : length);
    LIESSATZ();
}

// "ausführen": the record behind an entered byte position. Enter reaches this handler
// even while a run holds every control, so it does nothing then.
void PRUEF_WND::PSHOK() {
    if (run._LTURN) return;
    controls.disable(Ctl::OCCPSHOK);
    for (const Ctl c : {Ctl::ODCFI1, Ctl::ODCFI2, Ctl::ODCFI3}) controls.hide(c);
    if (!showOutcome()) controls.setText(Ctl::ODCTXT10, "");
    const std::string entry = controls.text(Ctl::ODCSLE1);
    if (!trim(entry).empty() && run.dataFile != 0) {
        const long long number = std::abs(toNumber(entry));
        const Version norm = run.version;
        if (number <= 0 || number >= run.dataLength()) {
            box().info(owner(), "Eingabefehler", "Die Zahl muss zwischen 0 und der Dateilänge liegen !"_ansi);
        } else if (norm != Version::V0590 && norm != Version::V0196) {
            FSEEK(run.dataFile, number);
            STRING_LES(owner(), run.dataFile, kMaxLine2000, 0, run._LASCII);
            LIESSATZ();
        } else {
            // The whole part of number / 130 - 1, which is never negative here.
            const long long index = number / kFixedRecord - 1 < 0 ? 0 : number / kFixedRecord - 1;
            FSEEK(run.dataFile, index * kFixedRecord);
            run.recordCounter = static_cast<unsigned long>(index);
            showCounter(run.recordCounter);
            if (norm == Version::V0590) BIN_LES(owner(), run.dataFile, kFixedRecord, kFixedRecord, run._LASCII, run._CCHR0);
            else STRING_LES(owner(), run.dataFile, kFixedRecord, 0, run._LASCII);
            LIESSATZ();
        }
    }
    controls.setText(Ctl::ODCSLE1, "");
    controls.focus(Ctl::ODCSLE1);
}

void PRUEF_WND::EOF_BOF() {
    if (run._LTURN) return;
    if (run.dataFile == 0) {
        for (const Ctl c : {Ctl::OCCPSHBOF, Ctl::OCCPSHBACK, Ctl::OCCPSHEOF, Ctl::OCCPSHNEXT}) controls.disable(c);
        controls.enable(Ctl::OCCPSHDATEI);
        return;
    }
    if (controls.visible(Ctl::ODCFI2) || controls.visible(Ctl::ODCFI3)) {
        controls.hide(Ctl::ODCFI2);
        controls.hide(Ctl::ODCFI3);
        controls.setText(Ctl::ODCTXT10, "");
    }
    const bool behindHeader = FTELL(run.dataFile) >= run._NLENVOR;
    controls.enable(Ctl::OCCPSHBOF, behindHeader);
    controls.enable(Ctl::OCCPSHBACK, behindHeader);
    const bool atEnd = run.atDataEnd();
    if (atEnd && run._LCHR && run.recordLength == 1) FSEEK(run.dataFile, run.dataLength() - 1);
    controls.enable(Ctl::OCCPSHEOF, !atEnd);
    controls.enable(Ctl::OCCPSHNEXT, !atEnd);
    controls.focus(Ctl::ODCSLE1);
}

void PRUEF_WND::OFFSET() {
    if (run.dataFile != 0) showPosition(FTELL(run.dataFile));
}

long long PRUEF_WND::offset() const {
    return run.position.value_or(0) - run.recordLength.value_or(0) - 2;
}

// Back to the "no file" phase. `displays` empties the value displays of the file and
// record, the entry and the findings list; the path, the settings displays and the
// spinner value stay. `controlsOff` disables what needs a file, leaves "Datei",
// "Systemeinstellung" and the list usable, and points the guidance at "Datei" again.
// Either way the field editor closes and the stop request of an earlier run is cleared.
void PRUEF_WND::RESET(bool displays, bool controlsOff) {
    FELDWNDCLOSE();
    appState().stopRequest = false;
    appState().stopByUser = false;
    if (displays) {
        for (const Ctl c : {Ctl::ODCTXT2, Ctl::ODCTXT3, Ctl::ODCTXT4, Ctl::ODCTXT11, Ctl::ODCTXT12, Ctl::ODCTXT13,
                            Ctl::ODCTXT14, Ctl::ODCTXT8, Ctl::ODCTXT15, Ctl::ODCTXT50, Ctl::ODCTXT51, Ctl::ODCTXT52,
                            Ctl::ODCTXT16, Ctl::ODCTXT17, Ctl::ODCTXT18, Ctl::ODCSLE1})
            controls.setText(c, "");
        controls.clearList();
        run.recordCounter = 0;
        run._NZEIGER = 0;
        run._NPOSITION = 0;
        run._CPUFFER.clear();
        run.shownCounter.reset();
        run.position.reset();
        run.recordLength.reset();
        run.recordType.clear();
        run.version = Version::None;
        run.versionLabel.clear();
        run.separator.clear();
        run.announcement.clear();
        run.shownErrors.reset();
    }
    if (controlsOff) {
        for (const Ctl c : {Ctl::OCCPSHBOF, Ctl::OCCPSHBACK, Ctl::OCCPSHNEXT, Ctl::OCCPSHEOF, Ctl::OCCPSHSTART,
                            Ctl::OCCPSHSTOP, Ctl::ODCSLE1, Ctl::OCCPSHOK, Ctl::OCCPSHPROT, Ctl::ODCCHK2, Ctl::ODCCHK3,
                            Ctl::ODCCHK4, Ctl::OCCPSHVIEW})
            controls.disable(c);
        for (const Ctl c : {Ctl::OCCPSHDATEI, Ctl::OCCPSHSYSTEM, Ctl::ODCLISTVIEW1}) controls.enable(c);
        controls.show(Ctl::ODCFI1);
        controls.hide(Ctl::ODCFI2);
        controls.hide(Ctl::ODCFI3);
        controls.setText(Ctl::ODCTXT10, utf8ToAnsi(kFileInstruction));
        run.outcome = CheckOutcome{};
    }
}

namespace {
// The caption a clicked option box shows for its state; null for other controls.
const char* optionCaption(Ctl checkBox, bool on) {
    switch (checkBox) {
    case Ctl::ODCCHK2: return on ? "Feld-Prüfung ein" : "Feld-Prüfung aus";
    case Ctl::ODCCHK3: return on ? "Fehler PopUp ein" : "Fehler PopUp aus";
    case Ctl::ODCCHK4: return on ? "List-Anzeige ein" : "List-Anzeige aus";
    default: return nullptr;
    }
}
} // namespace

void PRUEF_WND::applyOption(Ctl checkBox, bool on) {
    controls.check(checkBox, on);
    RunOptions& o = run.options;
    switch (checkBox) {
    case Ctl::ODCCHK1: o.oemCharacters = on; break;
    case Ctl::ODCCHK2: o.fieldChecks = on; break;
    case Ctl::ODCCHK3: o.popups = on; break;
    case Ctl::ODCCHK4: o.listDisplay = on; break;
    case Ctl::ODCCHK5: o.asciiCheckOff = on; break;
    default: break;
    }
}

void PRUEF_WND::setOption(Ctl checkBox, bool on) {
    applyOption(checkBox, on);
    // A ticked box keeps a caption that says "ein" (the template's own among them).
    if (on && controls.text(checkBox).ends_with(" ein")) return;
    if (const char* caption = optionCaption(checkBox, on)) controls.setText(checkBox, utf8ToAnsi(caption));
}

void PRUEF_WND::BUTTONCLICK(Ctl checkBox) {
    // The face has ticked the box; the run takes the option from it.
    const bool on = controls.checked(checkBox);
    applyOption(checkBox, on);
    if (const char* caption = optionCaption(checkBox, on)) controls.setText(checkBox, utf8ToAnsi(caption));
    if (checkBox == Ctl::ODCCHK4 && !on) controls.clearList();
    if (controls.visible(Ctl::ODCFI2)) {
        controls.hide(Ctl::ODCFI2);
        controls.show(Ctl::ODCFI3);
        controls.setText(Ctl::ODCTXT10, utf8ToAnsi(kNavigationInstruction));
    }
}

void PRUEF_WND::EDITCHANGE() { controls.enable(Ctl::OCCPSHOK, !controls.text(Ctl::ODCSLE1).empty()); }

void PRUEF_WND::VERTICALSPIN(int value) {
    run.options.delay = std::clamp(value, 0, 50);
    controls.setText(Ctl::ODCTXT5, NumberText(static_cast<unsigned long long>(run.options.delay)).view());
}

// One step is a tenth of a second. Window messages go through while waiting, and a
// stop request ends the wait at once.
void TICZEITSCHLEIFE(int steps) {
    if (steps <= 0) return;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(100) * steps;
    for (;;) {
        windowServices().processMessages();
        const auto now = steady_clock::now();
        if (now >= deadline || appState().stopRequest) return;
        std::this_thread::sleep_for(std::min<steady_clock::duration>(milliseconds(10), deadline - now));
    }
}

} // namespace arti
