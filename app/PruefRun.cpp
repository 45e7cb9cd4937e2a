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

enum class Norm { V0590, V0196, V2000, Other };

Norm normOf(std::string_view version) {
    if (version == "0196") return Norm::V0196;
    if (version == "0590") return Norm::V0590;
    if (version == "2000A") return Norm::V2000;
    return Norm::Other;
}

// The number in a shown text: its digits, read past blanks and thousands separators.
long long shownNumber(std::string_view shown) {
    long long n = 0;
    for (const char c : shown)
        if (c >= '0' && c <= '9') n = n * 10 + (c - '0');
    return n;
}

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

void showPosition(PRUEF_WND& w, long long position) { w.controls.setNumber(Ctl::ODCTXT12, position, NumberShape::Picture); }

void showCounter(PRUEF_WND& w) { w.controls.setNumber(Ctl::ODCTXT11, static_cast<long long>(w.recordCounter)); }

void refuse() { appState().stopRequest = true; }

// Version 2000: the order decision at the first record behind the header, the running
// counter of a run that tracks the order, the update.
bool step2000(PRUEF_WND& w, const std::string& record) {
    if (w.recordCounter == 1 && !w.SATZFOLGE(charAt(record, 2))) {
        refuse();
        return false;
    }
    if (w._LTURN && w._LSFOLGE) {
        ++w.recordCounter;
        showCounter(w);
    } else {
        w.recordCounter = 0;
        w.controls.setText(Ctl::ODCTXT11, "");
    }
    w.UPDATE2000(record);
    return true;
}

// Version 01/96: the counter follows the position; the second record must be the K
// record, the third decides the order; text records go into the long-text table.
bool step0196(PRUEF_WND& w, const std::string& record, long long position) {
    w.recordCounter = static_cast<unsigned long>(position / kFixedRecord);
    showCounter(w);
    const char type = record[0];
    if (w.recordCounter == 2 && type != 'K') {
        w.refuseCheck("der zweite Satz der Version 01/96 muss der Kunden-Kontroll-Satz sein !\r\nAbbruch der Prüfung !"_ansi);
        return false;
    }
    if (w.recordCounter == 3 && !w.SATZFOLGE(charAt(record, 1))) {
        refuse();
        return false;
    }
    w.UPDATE0196(record);
    if (w._TFLAG && type == 'A') {
        // The texts precede the articles: the first article ends the collection.
        w._TFLAG = false;
        w.closeTextTable();
    }
    if (w._TFLAG && w._LZAP && !w._LBACK && type == 'T') w.DBTEXT(record);
    return true;
}

// Version 05/90: the header announces nothing, so the announcement is gathered from
// the record types met from the third record on, and the order is decided anew at the
// records 3, 4 and 5 from what has been gathered so far.
bool step0590(PRUEF_WND& w, const std::string& record, long long position) {
    w.recordCounter = static_cast<unsigned long>(position / kFixedRecord);
    showCounter(w);
    const char type = record[0];
    if (w.recordCounter < 3) {
        w.controls.setText(Ctl::ODCTXT15, "");
        w._CSTRING.clear();
    }
    if (w.recordCounter == 2 && type != 'K') {
        w.refuseCheck("der zweite Satz der Version 05/90 muss der Kunden-Kontroll-Satz sein !\r\nAbbruch der Prüfung !"_ansi);
        return false;
    }
    const std::string& announced = w.controls.text(Ctl::ODCTXT15);
    if (w.recordCounter >= 3 && announced.find(type) == std::string::npos)
        w.controls.setText(Ctl::ODCTXT15, announced + type);
    if (w.recordCounter >= 3 && w.recordCounter <= 5 && !w.SATZFOLGE(charAt(record, 1))) {
        refuse();
        return false;
    }
    w.UPDATE0590(record);
    return true;
}

// The rules every record passes after its version's step: the running order during a
// run from the header, and for 01/96 and 2000 the admission of the record type.
bool commonRules(PRUEF_WND& w, const std::string& record, Norm norm) {
    if (w._LTURN && w._LSFOLGE && !w.SATZFOLGELFD(std::string_view(record).substr(0, 2))) {
        // The finding concerns the record as a whole, not the field the checks saw last.
        w._NPOSITION = 0;
        w.refuseCheck("die ReihenfolgeX der eintreffende Sätze stimmt nicht !\r\n"_ansi + w._CSFOLGE + "\r\n" +
                   w._CSTRING + "\r\nAbbruch der Prüfung !"_ansi);
        return false;
    }
    if (norm != Norm::V0196 && norm != Norm::V2000) return true;
    const char type = record[0];
    const std::string& announced = w.controls.text(Ctl::ODCTXT15);
    // "K" needs no announcement: in 01/96 it is the customer control record, in 2000 it
    // is admitted whether or not the header names it (an announced "K" is found below).
    if (type == 'V' || type == 'K' || (type != ' ' && announced.find(type) != std::string::npos)) return true;
    w._NPOSITION = 1;
    const std::string text = "die Satzart " + std::string(1, type) + " ist in der Satzart-Ankündigung "_ansi +
                             trim(announced) + " des Vorlaufsatzes nicht enthalten !";
    w.ERRORLOG(text);
    // A run ends at such a record; a step by hand goes on to the next.
    if (w._LTURN) w.noteRefusal(text);
    return false;
}

// A record step that read nothing: the end of the file (with or without its end mark),
// or a record that could not be read; false for the latter, which ends a run.
bool emptyRecord(PRUEF_WND& w, long long fileLength) {
    showPosition(w, FTELL(w.dataFile));
    w.controls.clearList();
    bool markRead = false;
    bool readable = true;
    if (w._LCHR) {
        FSEEK(w.dataFile, -1, SeekOrigin::Current);
        const std::string last = FREADSTR(w.dataFile, 1);
        showPosition(w, FTELL(w.dataFile));
        if (last == std::string_view(&kEndOfFileMark, 1)) {
            w.ERRORLOG("das Datei-Ende CHR26 wurde gelesen.\r\nPrüfung beendet !"_ansi);
            markRead = true;
        }
    }
    if (!markRead) {
        const std::string& shown = w.controls.text(Ctl::ODCTXT12);
        if (shownNumber(shown) == fileLength) {
            w.ERRORLOG("das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
        } else {
            // The message ends the check: the run stops here, also where the reader
            // raised no stop request (an empty line, a read error), and without
            // being logged as stopped by the user.
            readable = false;
            w.refuseCheck("Der Satz " + plainNumber(static_cast<long long>(w.recordCounter) + 1) + " ab Position " +
                       trimLeft(shown) + " konnte nicht gelesen werden !\r\nAbbruch der Prüfung !"_ansi);
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

// Clears _LBACK however the record step ends: it stands for one step only.
struct BackStepEnd {
    bool& flag;
    ~BackStepEnd() { flag = false; }
};

} // namespace

long long PRUEF_WND::dataLength() {
    if (lengthHandle_ != dataFile || lengthCache_ < 0) {
        lengthCache_ = FLENGTH(dataFile);
        lengthHandle_ = dataFile;
    }
    return lengthCache_;
}

bool PRUEF_WND::atDataEnd() {
    if (dataFile == 0 || FEOF(dataFile)) return true;
    // A final end mark is no record: the position right before it is the end.
    return _LCHR && FTELL(dataFile) >= dataLength() - 1;
}

bool PRUEF_WND::LIESSATZ() {
    const BackStepEnd backStepEnd{_LBACK};
    if (dataFile == 0) return false;
    controls.disable(Ctl::OCCPSHVIEW);
    _NZEIGER = FTELL(dataFile);
    _NPOSITION = 0;
    _CPUFFER.clear();
    const Norm norm = normOf(controls.text(Ctl::ODCTXT3));

    // The record is read into storage kept from the last step (handed back however this
    // step ends), so that a run does not allocate per record.
    std::string record;
    record.swap(recordStore_);
    const RecordStoreReturn storeReturn{record, recordStore_};
    record.clear();
    if (!atDataEnd()) {
        if (norm == Norm::V0590) BIN_LES(owner(), dataFile, kFixedRecord, kFixedRecord, _LASCII, _CCHR0, record);
        else STRING_LES(owner(), dataFile, norm == Norm::V2000 ? kMaxLine2000 : kFixedRecord, 0, _LASCII, record);
    } else if (_LCHR && FTELL(dataFile) == dataLength() - 1) {
        // Only the end mark is left: pass over it instead of reading it as a record.
        FSEEK(dataFile, dataLength());
    }
    if (record.empty()) return emptyRecord(*this, dataLength());

    const long long position = FTELL(dataFile);
    showPosition(*this, position);
    const bool withCrLf = norm == Norm::V0590 && record.size() >= 2;
    controls.setNumber(Ctl::ODCTXT13, static_cast<long long>(record.size() - (withCrLf ? 2 : 0)));
    controls.setText(Ctl::ODCTXT14, std::string_view(record.data(), 1));
    windowServices().processMessages();
    if (record[0] == ' ' && atDataEnd()) {
        ERRORLOG("das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
        EOF_BOF();
        return false;
    }

    bool go = true;
    if (norm == Norm::V2000) go = step2000(*this, record);
    else if (norm == Norm::V0196) go = step0196(*this, record, position);
    else if (norm == Norm::V0590) go = step0590(*this, record, position);
    if (!go) return false;
    if (!commonRules(*this, record, norm)) return false;
    EOF_BOF();
    return true;
}

void PRUEF_WND::PSHSTART() {
    if (_LTURN || dataFile == 0) return;
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
    outcome_ = CheckOutcome{};
    outcome_.run = true;
    countFindings_ = true;
    _LALLOWCLOSE = true;
    _LTURN = true;
    _LZSATZ = false;
    // The order of the records is followed only in a run that starts behind the header.
    if (recordCounter == 1) _LSFOLGE = true;

    while (!atDataEnd()) {
        windowServices().processMessages();
        if (appState().stopRequest) {
            // A refusal of the check has logged its own "Abbruch der Prüfung !".
            _NPOSITION = 0; // about the run, not a field of the last record
            countFindings_ = false;
            if (appState().stopByUser)
                ERRORLOG(timeOfDay() + " Uhr, der Durchlauf wurde vom Benutzer abgebrochen.\r\nPrüfung beendet !"_ansi);
            break;
        }
        windowServices().processMessages();
        if (!LIESSATZ()) {
            appState().stopRequest = true;
            break;
        }
        TICZEITSCHLEIFE(static_cast<int>(toNumber(controls.text(Ctl::ODCTXT5))));
    }
    countFindings_ = false;
    const bool reachedEnd = dataFile != 0 && atDataEnd();
    if (outcome_.end != CheckEnd::Refused) {
        if (appState().stopByUser) outcome_.end = CheckEnd::ByUser;
        else if (reachedEnd) outcome_.end = CheckEnd::FileEnd;
        else noteRefusal("die Prüfung wurde vor dem Datei-Ende beendet (siehe Protokoll)."_ansi);
    }
    // The file may have been closed while messages went through (the window closed).
    if (reachedEnd) {
        _NZEIGER = FTELL(dataFile);
        _NPOSITION = 0;
        ERRORLOG(timeOfDay() + " Uhr, das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
        // The header is read again to show it; the run's error count stays.
        const std::string errorsShown = controls.text(Ctl::ODCTXT18);
        FSEEK(dataFile, 0);
        LIESSATZ();
        controls.setText(Ctl::ODCTXT18, errorsShown);
    }

    _CSTRING.clear();
    _LTURN = false;
    _LALLOWCLOSE = false;
    _LSFOLGE = false;
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
    countFindings_ = false;
    _LZSATZ = false;
    for (const Ctl c : {Ctl::OCCPSHSTART, Ctl::OCCPSHDATEI, Ctl::ODCCHK2, Ctl::ODCCHK3}) controls.enable(c);
    logEmptyLine();
    _NPOSITION = 0;
    ERRORLOG(timeOfDay() + " Uhr, Stop-Button geklickt,\r\n Prüfung unterbrochen !"_ansi);
    EOF_BOF();
    flushLog();
}

void PRUEF_WND::PSHNEXT() {
    if (_LTURN || dataFile == 0) return;
    LIESSATZ();
}

// "<1": the previous record starts behind the second CR LF before the position (the
// first when the end mark was shown as the current record). The bytes before the
// position are read once and scanned in memory, moving the way a scan on the file
// would: one byte back per step, never before the start of the file.
void PRUEF_WND::PSHBACK() {
    if (_LTURN || dataFile == 0) return;
    int found = (_LCHR && shownNumber(controls.text(Ctl::ODCTXT12)) == dataLength()) ? 1 : 0;
    const long long start = FTELL(dataFile);
    const long long low = std::max(0LL, start - kBackWindow);
    FSEEK(dataFile, low);
    const std::string window = FREADSTR(dataFile, static_cast<std::size_t>(start + 2 - low));
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
    FSEEK(dataFile, p);
    _LBACK = true;
    LIESSATZ();
}

void PRUEF_WND::PSHBOF() {
    if (_LTURN || dataFile == 0) return;
    FSEEK(dataFile, 0);
    recordCounter = 0;
    if (_TFLAG) {
        _TFLAG = false;
        closeTextTable();
        box().info(owner(), "Hinweis",
                   "Sie haben das Einlesen von Textdaten abgebrochen.\r\nDie Textspeicherung ist unvollständig.\r\n"
                   "Wählen Sie die zu prüfende Datei erneut aus."_ansi);
    }
    LIESSATZ();
    recordCounter = 1;
    showCounter(*this);
}

void PRUEF_WND::PSHEOF() {
    if (_LTURN || dataFile == 0) return;
    FELDWNDCLOSE();
    const long long length = dataLength();
    FSEEK(dataFile, _LCHR && length > 0 ? length - 1 : length);
    LIESSATZ();
}

// "ausführen": the record behind an entered byte position. Enter reaches this handler
// even while a run holds every control, so it does nothing then.
void PRUEF_WND::PSHOK() {
    if (_LTURN) return;
    controls.disable(Ctl::OCCPSHOK);
    for (const Ctl c : {Ctl::ODCFI1, Ctl::ODCFI2, Ctl::ODCFI3}) controls.hide(c);
    if (!showOutcome()) controls.setText(Ctl::ODCTXT10, "");
    const std::string entry = controls.text(Ctl::ODCSLE1);
    if (!trim(entry).empty() && dataFile != 0) {
        const long long number = std::abs(toNumber(entry));
        const Norm norm = normOf(controls.text(Ctl::ODCTXT3));
        if (number <= 0 || number >= dataLength()) {
            box().info(owner(), "Eingabefehler", "Die Zahl muss zwischen 0 und der Dateilänge liegen !"_ansi);
        } else if (norm == Norm::V2000 || norm == Norm::Other) {
            FSEEK(dataFile, number);
            STRING_LES(owner(), dataFile, kMaxLine2000, 0, _LASCII);
            LIESSATZ();
        } else {
            // The whole part of number / 130 - 1, which is never negative here.
            const long long index = number / kFixedRecord - 1 < 0 ? 0 : number / kFixedRecord - 1;
            FSEEK(dataFile, index * kFixedRecord);
            recordCounter = static_cast<unsigned long>(index);
            showCounter(*this);
            if (norm == Norm::V0590) BIN_LES(owner(), dataFile, kFixedRecord, kFixedRecord, _LASCII, _CCHR0);
            else STRING_LES(owner(), dataFile, kFixedRecord, 0, _LASCII);
            LIESSATZ();
        }
    }
    controls.setText(Ctl::ODCSLE1, "");
    controls.focus(Ctl::ODCSLE1);
}

void PRUEF_WND::EOF_BOF() {
    if (_LTURN) return;
    if (dataFile == 0) {
        for (const Ctl c : {Ctl::OCCPSHBOF, Ctl::OCCPSHBACK, Ctl::OCCPSHEOF, Ctl::OCCPSHNEXT}) controls.disable(c);
        controls.enable(Ctl::OCCPSHDATEI);
        return;
    }
    if (controls.visible(Ctl::ODCFI2) || controls.visible(Ctl::ODCFI3)) {
        controls.hide(Ctl::ODCFI2);
        controls.hide(Ctl::ODCFI3);
        controls.setText(Ctl::ODCTXT10, "");
    }
    const bool behindHeader = FTELL(dataFile) >= _NLENVOR;
    controls.enable(Ctl::OCCPSHBOF, behindHeader);
    controls.enable(Ctl::OCCPSHBACK, behindHeader);
    const bool atEnd = atDataEnd();
    if (atEnd && _LCHR && controls.text(Ctl::ODCTXT13) == "1") FSEEK(dataFile, dataLength() - 1);
    controls.enable(Ctl::OCCPSHEOF, !atEnd);
    controls.enable(Ctl::OCCPSHNEXT, !atEnd);
    controls.focus(Ctl::ODCSLE1);
}

void PRUEF_WND::OFFSET() {
    if (dataFile != 0) showPosition(*this, FTELL(dataFile));
}

long long PRUEF_WND::offset() const {
    return shownNumber(controls.text(Ctl::ODCTXT12)) - shownNumber(controls.text(Ctl::ODCTXT13)) - 2;
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
        recordCounter = 0;
        _NZEIGER = 0;
        _NPOSITION = 0;
        _CPUFFER.clear();
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
        outcome_ = CheckOutcome{};
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

void PRUEF_WND::setOption(Ctl checkBox, bool on) {
    controls.check(checkBox, on);
    // A ticked box keeps a caption that says "ein" (the template's own among them).
    if (on && controls.text(checkBox).ends_with(" ein")) return;
    if (const char* caption = optionCaption(checkBox, on)) controls.setText(checkBox, utf8ToAnsi(caption));
}

void PRUEF_WND::BUTTONCLICK(Ctl checkBox) {
    const bool on = controls.checked(checkBox);
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
    controls.setText(Ctl::ODCTXT5, NumberText(static_cast<unsigned long long>(std::clamp(value, 0, 50))).view());
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
