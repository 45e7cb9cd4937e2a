// Record step, automatic run and navigation of a check.
//
// The run loop reads one record per turn; the work per record is kept to what changes:
// numbers are formatted into stack buffers, the window drops display texts that did not change,
// and the end-of-file test costs no system call (the file length is asked once per
// open file).
#include "core/Oem.h"
#include "core/Text.h"
#include "records/FileAccess.h"
#include "rules/NumberText.h"
#include "run/CheckEngine.h"
#include "run/CheckFunctions.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace arti {

using namespace literals;

namespace {

constexpr long long kFixedRecord = RecordSource::kFixedRecord;
constexpr std::size_t kMaxLine2000 = RecordSource::kMaxLine2000;
// The "<1" scan looks at most this far back from the position.
constexpr long long kBackWindow = 610;

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

} // namespace

// The record step's parts per version, with the engine's model and display at hand.
struct CheckEngine::RecordSteps {
    static void refuse(CheckEngine& e) { e.run.stopRequest = true; }

    // Version 2000: the order decision at the first record behind the header, the running
    // counter of a run that tracks the order, the update.
    template <bool kShows> static bool step2000(CheckEngine& e, const std::string& record) {
        if (e.run.recordCounter == 1 && !e.SATZFOLGE(charAt(record, 2))) {
            refuse(e);
            return false;
        }
        if (e.run.LTURN_ && e.order().following()) {
            ++e.run.recordCounter;
            e.showCounter<kShows>(e.run.recordCounter);
        } else {
            e.run.recordCounter = 0;
            e.showCounter<kShows>(std::nullopt);
        }
        e.UPDATE2000<!kShows>(record);
        return true;
    }

    // Version 01/96: the counter follows the position; the second record must be the K
    // record, the third decides the order; text records go into the long-text table.
    static bool step0196(CheckEngine& e, const std::string& record, long long position) {
        e.run.recordCounter = static_cast<unsigned long>(position / kFixedRecord);
        e.showCounter(e.run.recordCounter);
        const char type = record[0];
        if (e.run.recordCounter == 2 && type != 'K') {
            e.refuseCheck(
                RuleAbortKind::ControlRecord, MessageKind::ControlRecordMissing,
                "der zweite Satz der Version 01/96 muss der Kunden-Kontroll-Satz sein !\r\nAbbruch der Prüfung !"_ansi);
            return false;
        }
        if (e.run.recordCounter == 3 && !e.SATZFOLGE(charAt(record, 1))) {
            refuse(e);
            return false;
        }
        e.UPDATE0196(record);
        if (e.run.texts.collecting() && type == 'A') {
            // The texts precede the articles: the first article ends the collection.
            e.run.texts.stopCollecting();
            e.closeTextTable();
        }
        if (e.run.texts.collecting() && e.run.texts.mayStore() && !e.run.LBACK_ && type == 'T')
            e.run.texts.DBTEXT(e, record, e.run.NZEIGER_);
        return true;
    }

    // Version 05/90: the header announces nothing, so the announcement is gathered from
    // the record types met from the third record on, and the order is decided anew at the
    // records 3, 4 and 5 from what has been gathered so far.
    static bool step0590(CheckEngine& e, const std::string& record, long long position) {
        e.run.recordCounter = static_cast<unsigned long>(position / kFixedRecord);
        e.showCounter(e.run.recordCounter);
        const char type = record[0];
        if (e.run.recordCounter < 3) {
            e.showAnnouncement("");
            e.order().forgetArticle();
        }
        if (e.run.recordCounter == 2 && type != 'K') {
            e.refuseCheck(
                RuleAbortKind::ControlRecord, MessageKind::ControlRecordMissing,
                "der zweite Satz der Version 05/90 muss der Kunden-Kontroll-Satz sein !\r\nAbbruch der Prüfung !"_ansi);
            return false;
        }
        const std::string& announced = e.run.announcement;
        if (e.run.recordCounter >= 3 && announced.find(type) == std::string::npos)
            e.showAnnouncement(announced + type);
        if (e.run.recordCounter >= 3 && e.run.recordCounter <= 5 && !e.SATZFOLGE(charAt(record, 1))) {
            refuse(e);
            return false;
        }
        e.UPDATE0590(record);
        return true;
    }

    // The rules every record passes after its version's step: the running order during a
    // run from the header, and for 01/96 and 2000 the admission of the record type.
    static bool commonRules(CheckEngine& e, const std::string& record, Version norm) {
        if (e.run.LTURN_ && e.order().following() &&
            !e.order().SATZFOLGELFD(e.run.version, std::string_view(record).substr(0, 2)))
            return orderBroken(e);
        if (norm != Version::V0196 && norm != Version::V2000) return true;
        const char type = record[0];
        // "K" needs no announcement: in 01/96 it is the customer control record, in 2000 it
        // is admitted whether or not the header names it (an announced "K" is found below).
        if (type == 'V' || type == 'K') return true;
        if (type != ' ' && e.announces(type)) return true;
        return typeNotAnnounced(e, type);
    }

    // The findings of commonRules, kept apart from the checks every record passes.
    [[gnu::noinline, gnu::cold]] static bool orderBroken(CheckEngine& e) {
        // The finding concerns the record as a whole, not the field the checks saw last.
        e.run.NPOSITION_ = 0;
        e.refuseCheck(RuleAbortKind::OrderBroken, MessageKind::OrderBroken,
                      "die ReihenfolgeX der eintreffende Sätze stimmt nicht !\r\n"_ansi +
                          e.order().pattern() + "\r\n" + e.order().article() +
                          "\r\nAbbruch der Prüfung !"_ansi);
        return false;
    }
    [[gnu::noinline, gnu::cold]] static bool typeNotAnnounced(CheckEngine& e, char type) {
        const std::string& announced = e.run.announcement;
        e.run.NPOSITION_ = 1;
        const std::string text = "die Satzart " + std::string(1, type) +
                                 " ist in der Satzart-Ankündigung "_ansi + trim(announced) +
                                 " des Vorlaufsatzes nicht enthalten !";
        e.ERRORLOG(MessageKind::TypeNotAnnounced, text);
        // A run ends at such a record; a step by hand goes on to the next.
        if (e.run.LTURN_) e.noteAbort(RuleAbortKind::TypeNotAnnounced, text);
        if (e.run.LTURN_) e.noteRefusal(text);
        return false;
    }

    // A record step that read nothing: the end of the file (with or without its end mark),
    // or a record that could not be read; false for the latter, which ends a run.
    static bool emptyRecord(CheckEngine& e, long long fileLength) {
        e.showPosition(FTELL(e.run.source.handle()));
        e.display.clearList();
        bool markRead = false;
        bool readable = true;
        if (e.run.source.endsInMark()) {
            FSEEK(e.run.source.handle(), -1, SeekOrigin::Current);
            const std::string last = FREADSTR(e.run.source.handle(), 1);
            e.showPosition(FTELL(e.run.source.handle()));
            if (last == std::string_view(&kEndOfFileMark, 1)) {
                e.ERRORLOG(MessageKind::FileEndMarkRead,
                           "das Datei-Ende CHR26 wurde gelesen.\r\nPrüfung beendet !"_ansi);
                markRead = true;
            }
        }
        if (!markRead) {
            const long long position = e.run.position.value_or(0);
            if (position == fileLength) {
                e.ERRORLOG(MessageKind::FileEndReached,
                           "das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
            } else {
                // The message ends the check: the run stops here, also where the reader
                // raised no stop request (an empty line, a read error), and without
                // being logged as stopped by the user.
                readable = false;
                e.refuseCheck(RuleAbortKind::RecordUnreadable, MessageKind::RecordUnreadable,
                              "Der Satz " + plainNumber(static_cast<long long>(e.run.recordCounter) + 1) +
                                  " ab Position " + groupedNumber(position) +
                                  " konnte nicht gelesen werden !\r\nAbbruch der Prüfung !"_ansi);
            }
        }
        e.EOF_BOF();
        return readable;
    }

    template <bool kQuiet2000> static bool read(CheckEngine& e);
};

namespace {

// Hands the record's storage back to the model however the record step ends.
struct RecordStoreReturn {
    RecordSource& source;
    bool held;
    ~RecordStoreReturn() {
        if (held) source.giveBackStore();
    }
};

// Clears run.LBACK_ however the record step ends: it stands for one step only.
struct BackStepEnd {
    bool& flag;
    ~BackStepEnd() { flag = false; }
};

} // namespace

// The record step, once for every display and version and once for the version 2000
// records behind a display that shows nothing (the checker's run), where what the
// display and the other versions need falls away.
template <bool kQuiet2000> bool CheckEngine::RecordSteps::read(CheckEngine& e) {
    CheckRun& run = e.run;
    const BackStepEnd backStepEnd{run.LBACK_};
    if (run.source.handle() == 0) return false;
    // Only a display's constructor decides whether it shows records.
    const bool shows = !kQuiet2000 && e.display.showsRecords();
    if (shows) e.display.sequenceViewAvailable(false);
    run.NPOSITION_ = 0;
    run.CPUFFER_.clear();
    const Version norm = kQuiet2000 ? Version::V2000 : run.version;

    // The record is read into storage kept from the last step (handed back however this
    // step ends), so that a run does not allocate per record. A step entered again while
    // messages go through reads into storage of its own, as the general step does.
    std::string* const held = run.source.takeStore();
    if constexpr (kQuiet2000)
        if (!held) return read<false>(e);
    std::optional<std::string> spare;
    std::string& record = held ? *held : spare.emplace();
    const RecordStoreReturn storeReturn{run.source, held != nullptr};
    // The usual line is read inline, with the positions before and behind it.
    long long position = 0;
    const bool cached = norm != Version::V0590 &&
                        run.source.readCachedLine(norm, run.LASCII_, record, run.NZEIGER_, position);
    bool line = cached;
    if (!cached) {
        run.NZEIGER_ = run.source.tell();
        line = run.source.read(e.owner_, norm, run.LASCII_, run.CCHR0_, record);
    }
    // A line read lets messages through, as STRING_LES does.
    if (line && shows) windowServices().processMessages();
    if (record.empty()) return emptyRecord(e, run.source.length());
    // The messages may have moved the file's position.
    if (!cached || shows) position = run.source.tell();
    e.showPosition<!kQuiet2000>(position);
    const bool withCrLf = norm == Version::V0590 && record.size() >= 2;
    e.showRecordLength<!kQuiet2000>(static_cast<long long>(record.size() - (withCrLf ? 2 : 0)));
    e.showRecordType<!kQuiet2000>(std::string_view(record.data(), 1));
    // The record is painted before its checks; a display that shows nothing needs no
    // messages let through in the middle of a record (the run does so between records).
    if (shows) windowServices().processMessages();
    if (record[0] == ' ' && run.source.atEnd()) {
        e.ERRORLOG(MessageKind::FileEndReached, "das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
        e.EOF_BOF();
        return false;
    }

    bool go = true;
    if (norm == Version::V2000)
        go = step2000<!kQuiet2000>(e, record);
    else if (norm == Version::V0196)
        go = step0196(e, record, position);
    else if (norm == Version::V0590)
        go = step0590(e, record, position);
    if (!go) return false;
    if (!commonRules(e, record, norm)) return false;
    // A run shows no navigation until it ends.
    if (!run.LTURN_) e.EOF_BOF();
    return true;
}

bool CheckEngine::LIESSATZ() {
    if (!display.showsRecords() && run.version == Version::V2000) return RecordSteps::read<true>(*this);
    return RecordSteps::read<false>(*this);
}

bool CheckEngine::SATZFOLGE(const std::string& status) {
    if (run.LBACK_) return true;
    std::string correction;
    const bool admitted =
        order_.SATZFOLGE(run.version, run.announcement, run.recordCounter, status, correction);
    if (!correction.empty()) showAnnouncement(correction);
    return admitted;
}

// Reads the record at the file position; at the end of the file nothing, and only the
// end mark left is passed over instead of being read as a record.
bool RecordSource::read(Owner owner, Version version, bool oem, const std::string& nulReplacement,
                        std::string& record) {
    record.clear();
    if (!atEnd()) {
        if (version != Version::V0590) return readLine(owner, lineLength(version), oem, record);
        BIN_LES(owner, handle_, kFixedRecord, kFixedRecord, oem, nulReplacement, record);
    } else if (LCHR_ && tell() == length() - 1) {
        // Only the end mark is left: pass over it instead of reading it as a record.
        FSEEK(handle_, length());
    }
    return false;
}

// The line at the file position, as STRING_LES reads it, without letting window messages
// through; false when it could not be read. The usual line is read inline from the
// file's cache.
bool RecordSource::readLine(Owner owner, std::size_t maxLength, bool oem, std::string& record) {
    BufferedFile* const f = file();
    if (f && f->readCachedLine(record, maxLength)) {
        files::clearError();
        if (oem) oemToAnsi(record);
        return true;
    }
    return readRecordLine(owner, handle_, f, maxLength, oem, record);
}

bool CheckEngine::keepsChosenFile() {
    if (!run.source.replaced()) return true;
    // The file choice closes the file and forgets its path.
    const std::string path = run.source.path();
    box().info(owner_, "Hinweis", replacedFileText(path) + "\r\nSie wird neu ausgewählt."_ansi);
    chooseFile(path);
    return false;
}

void CheckEngine::runToEnd() {
    if (run.LTURN_ || run.source.handle() == 0 || !keepsChosenFile()) return;
    display.closeFieldWindow();
    display.runStarts();

    run.stopRequest = false;
    run.stopByUser = false;
    // A failed file operation since the file was chosen stays part of its outcome.
    std::optional<IoFailure> ioFailure = std::move(run.outcome.ioFailure);
    run.outcome = CheckOutcome{};
    run.outcome.run = true;
    run.outcome.ioFailure = std::move(ioFailure);
    // The run's findings follow those of the file choice, and "erkannte Fehler" counts
    // the same: an earlier run's or step's findings are not counted again.
    run.findings.runStarts();
    showErrors(static_cast<unsigned long>(run.findings.errors()));
    run.LTURN_ = true;
    composite_.forgetSurchargeAnnouncement();
    // The order of the records is followed only in a run that starts behind the header.
    if (run.recordCounter == 1) order_.follow(true);

    const bool shows = display.showsRecords();
    while (!run.source.atEnd()) {
        windowServices().processMessages();
        if (run.stopRequest) {
            // A refusal of the check has logged its own "Abbruch der Prüfung !".
            run.NPOSITION_ = 0; // about the run, not a field of the last record
            if (run.stopByUser)
                ERRORLOG(MessageKind::RunStoppedByUser,
                         timeOfDay() +
                             " Uhr, der Durchlauf wurde vom Benutzer abgebrochen.\r\nPrüfung beendet !"_ansi);
            break;
        }
        // A display that shows nothing is not painted: the pump above lets the stop through.
        if (shows) windowServices().processMessages();
        if (!LIESSATZ()) {
            run.stopRequest = true;
            break;
        }
        if (run.options.delay > 0) TICZEITSCHLEIFE(run.options.delay, run.stopRequest);
    }
    const bool reachedEnd = run.source.handle() != 0 && run.source.atEnd();
    if (run.outcome.end != CheckEnd::Refused) {
        if (run.stopByUser)
            run.outcome.end = CheckEnd::ByUser;
        else if (reachedEnd)
            run.outcome.end = CheckEnd::FileEnd;
        else
            noteRefusal("die Prüfung wurde vor dem Datei-Ende beendet (siehe Protokoll)."_ansi);
    }
    // The file may have been closed while messages went through (the window closed).
    if (reachedEnd) {
        run.NZEIGER_ = FTELL(run.source.handle());
        run.NPOSITION_ = 0;
        run.outcome.endLogged = true;
        ERRORLOG(MessageKind::RunEnded,
                 timeOfDay() + " Uhr, das Datei-Ende wurde erreicht.\r\nPrüfung beendet !"_ansi);
        run.findings.runEnded();
        // The header is read again to show it; the run's error count stays.
        const std::optional<unsigned long> errorsShown = run.shownErrors;
        FSEEK(run.source.handle(), 0);
        LIESSATZ();
        showErrors(errorsShown);
    }

    run.findings.runEnded();
    order_.forgetArticle();
    run.LTURN_ = false;
    order_.follow(false);
    display.runEnded();
    EOF_BOF();
    display.outcomeChanged();
    flushLog();
}

void CheckEngine::stop() {
    display.runStopRequested();
    run.stopRequest = true;
    run.stopByUser = true;
    composite_.forgetSurchargeAnnouncement();
    logEmptyLine();
    run.NPOSITION_ = 0;
    ERRORLOG(MessageKind::StopButton,
             timeOfDay() + " Uhr, Stop-Button geklickt,\r\n Prüfung unterbrochen !"_ansi);
    EOF_BOF();
    flushLog();
}

// "<1": the previous record starts behind the second CR LF before the position (the
// first when the end mark was shown as the current record). The bytes before the
// position are read once and scanned in memory, moving the way a scan on the file
// would: one byte back per step, never before the start of the file.
void CheckEngine::stepBack() {
    if (run.LTURN_ || run.source.handle() == 0 || !keepsChosenFile()) return;
    int found = (run.source.endsInMark() && run.position.value_or(0) == run.source.length()) ? 1 : 0;
    const long long start = FTELL(run.source.handle());
    const long long low = std::max(0LL, start - kBackWindow);
    FSEEK(run.source.handle(), low);
    const std::string window = FREADSTR(run.source.handle(), static_cast<std::size_t>(start + 2 - low));
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
    FSEEK(run.source.handle(), p);
    run.LBACK_ = true;
    LIESSATZ();
}

void CheckEngine::toStart() {
    if (run.LTURN_ || run.source.handle() == 0 || !keepsChosenFile()) return;
    FSEEK(run.source.handle(), 0);
    run.recordCounter = 0;
    if (run.texts.collecting()) {
        run.texts.stopCollecting();
        closeTextTable();
        box().info(
            owner_, "Hinweis",
            "Sie haben das Einlesen von Textdaten abgebrochen.\r\nDie Textspeicherung ist unvollständig.\r\n"
            "Wählen Sie die zu prüfende Datei erneut aus."_ansi);
    }
    LIESSATZ();
    run.recordCounter = 1;
    showCounter(run.recordCounter);
}

void CheckEngine::toEnd() {
    if (run.LTURN_ || run.source.handle() == 0 || !keepsChosenFile()) return;
    display.closeFieldWindow();
    const long long length = run.source.length();
    FSEEK(run.source.handle(), run.source.endsInMark() && length > 0 ? length - 1 : length);
    LIESSATZ();
}

// "ausführen": the record behind an entered byte position.
void CheckEngine::goTo(std::string_view entry) {
    if (run.LTURN_) return;
    if (!trim(entry).empty() && run.source.handle() != 0 && keepsChosenFile()) {
        const long long number = std::abs(toNumber(entry));
        const Version norm = run.version;
        if (number <= 0 || number >= run.source.length()) {
            box().info(owner_, "Eingabefehler", "Die Zahl muss zwischen 0 und der Dateilänge liegen !"_ansi);
        } else if (norm != Version::V0590 && norm != Version::V0196) {
            FSEEK(run.source.handle(), number);
            STRING_LES(owner_, run.source.handle(), kMaxLine2000, 0, run.LASCII_);
            LIESSATZ();
        } else {
            // The whole part of number / 130 - 1, which is never negative here.
            const long long index = number / kFixedRecord - 1 < 0 ? 0 : number / kFixedRecord - 1;
            FSEEK(run.source.handle(), index * kFixedRecord);
            run.recordCounter = static_cast<unsigned long>(index);
            showCounter(run.recordCounter);
            if (norm == Version::V0590)
                BIN_LES(owner_, run.source.handle(), kFixedRecord, kFixedRecord, run.LASCII_, run.CCHR0_);
            else
                STRING_LES(owner_, run.source.handle(), kFixedRecord, 0, run.LASCII_);
            LIESSATZ();
        }
    }
}

void CheckEngine::showRecordAt(long long offset) {
    if (run.LTURN_ || run.source.handle() == 0) return;
    if (offset <= 0) {
        toStart();
        return;
    }
    if (!keepsChosenFile()) return;
    display.closeFieldWindow();
    FSEEK(run.source.handle(), std::min(offset, run.source.length()));
    // Outside a run version 2000 counts no records; a counter of 1 would take the record
    // for the first behind the header and decide the order on it.
    if (run.version == Version::V2000) run.recordCounter = 0;
    LIESSATZ();
}

void CheckEngine::EOF_BOF() {
    if (run.LTURN_) return;
    Navigation where;
    if (run.source.handle() != 0) {
        where.fileOpen = true;
        where.behindHeader = FTELL(run.source.handle()) >= run.source.headerEnd();
        where.atEnd = run.source.atEnd();
        if (where.atEnd && run.source.endsInMark() && run.recordLength == 1)
            FSEEK(run.source.handle(), run.source.length() - 1);
    }
    display.navigation(where);
}

// One step is a tenth of a second. Window messages go through while waiting, and a
// stop request ends the wait at once.
void TICZEITSCHLEIFE(int steps, const bool& stopRequest) {
    if (steps <= 0) return;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(100) * steps;
    for (;;) {
        windowServices().processMessages();
        const auto now = steady_clock::now();
        if (now >= deadline || stopRequest) return;
        std::this_thread::sleep_for(std::min<steady_clock::duration>(milliseconds(10), deadline - now));
    }
}

} // namespace arti
