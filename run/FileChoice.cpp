// File choice, version recognition and the per-version update of a check.
//
// The "Datei" button opens the chosen ELDANORM file together with a fresh error log,
// recognises the version from the first bytes and the header record ("Vorlaufsatz"),
// examines the end of the file and prepares the record step. The data
// file is opened read-write for the field editor; nothing here writes to it.
#include "records/FileHandles.h"
#include "run/CheckEngine.h"
#include "run/CheckFunctions.h"

#include "core/Dates.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "records/FileAccess.h"
#include "records/XBaseTable.h"
#include "rules/FieldSplit.h"
#include "rules/Rules2000.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace arti {

using namespace arti::literals;

namespace {

// Version 05/90 and 01/96 records: 128 characters and CR LF.
constexpr long long kBlockSize = 130;
constexpr std::size_t kRecordLength = 128;
// Character codes that version 2000 admits as field separator.
constexpr std::array<unsigned char, 9> kSeparators{35, 36, 42, 43, 59, 64, 95, 124, 127};

const std::string& abortCheck() {
    static const std::string text = "\r\nAbbruch der Prüfung !"_ansi;
    return text;
}

// Positions count from 1; a field beyond the end of the text is empty or cut short.
inline std::string_view field(std::string_view s, std::size_t position, std::size_t length) {
    if (position == 0 || position > s.size()) return {};
    return s.substr(position - 1, length);
}

// Header date of versions 05/90 and 01/96: day, month, year at positions 2 to 9; none
// when the digits form no valid date.
std::optional<Date> dmyDate(std::string_view header) {
    return readDigitDate(field(header, 2, 8), DigitOrder::DayMonthYear);
}
// Header date of version 2000: year, month, day at positions 9 to 16.
std::optional<Date> ymdDate(std::string_view header) {
    return readDigitDate(field(header, 9, 8), DigitOrder::YearMonthDay);
}
// A header date as the window shows it: German, or empty without a valid date.
std::string shownDate(const std::optional<Date>& date) {
    return date ? formatDate(*date) : std::string();
}

// Long paths keep their first 10 and last 66 characters.
std::string shownPath(const std::string& path) {
    if (path.size() < 80) return path;
    return path.substr(0, 10) + "..\\." + path.substr(path.size() - 66);
}

} // namespace

std::string errorLogPath(const std::string& dataFolder) {
    std::string folder = dataFolder;
    if (!folder.empty() && !platform::isPathSeparator(folder.back())) folder += platform::kPathSeparator;
    return folder + "Error.log";
}

namespace {

std::string logHeader(const std::string& shownFile) {
    const LocalDateTime now = clock().now();
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.hour % 100, now.minute % 100, now.second % 100);
    return "Fehlerprotokoll vom " + formatDate(now.date) + " - " + time + " Uhr\r\n*" + std::string(20, '-') +
           "\r\nDatei: " + shownFile + "\r\n\r\n";
}

void toProgramFolder(const std::string& folder) {
    if (!folder.empty()) platform::changeCurrentFolder(folder);
}

} // namespace

// One file choice: opening, recognition and the refusals, on the engine's model.
class CheckEngine::FileChoice {
public:
    explicit FileChoice(CheckEngine& e) : e_(e), d_(e.display) {}

    void run(const std::string& given) {
        const std::string file = chooseFile(given);
        if (file.empty()) return;
        e_.run.findings.fileChosen();
        if (sparesItsOwnFiles(file) && openLog() && openData(file)) recognise();
        e_.run.findings.choiceDone();
    }

private:
    std::string chooseFile(const std::string& given);
    bool sparesItsOwnFiles(const std::string& file);
    bool openLog();
    bool openData(const std::string& file);
    void recognise();
    bool separatorAdmitted(const std::string& head);
    void showLength(long long length);
    bool endOfFileSound(long long length, bool candidate);
    bool try0590(long long length);
    void recogniseFromLine(long long length, bool candidate);
    void recognise2000(const std::string& header);
    void recognise0196(const std::string& header, long long length);
    bool recordCountSound(long long length);
    void showHeaderPlace(const std::string& header, long long lengthWithoutCrLf);
    void refuse(FileRefusal kind, MessageKind message, const std::string& text);
    void commonEnd(const std::optional<Date>& date);

    CheckEngine& e_;
    IRunDisplay& d_;
    std::string shownFile_;
};

std::string CheckEngine::FileChoice::chooseFile(const std::string& given) {
    d_.closeFieldWindow();
    e_.run.stopRequest = false;
    e_.run.stopByUser = false;
    e_.forgetRecord();
    e_.run.outcome = CheckOutcome{};
    // Nothing may run until this choice has recognised its file: a refusal keeps no
    // readiness of the file chosen before.
    e_.run.fileReady = false;
    d_.fileChoiceStarts();
    if (e_.run.texts.table()) {
        e_.run.texts.stopCollecting();
        e_.closeTextTable();
    }
    // Closing writes what the log of the previous file still has buffered.
    e_.closeFiles();

    std::string file = given;
    if (file.empty()) {
        const std::string folder = e_.run.parameters.sourceFolder;
        box().info(e_.owner(), "Info", folder);
        file = fileDialogs().openFile(e_.owner(),
                                      "Wählen Sie das Verzeichnis und die zu prüfende ELDANORM-Datei"_ansi,
                                      folder, "ELDANORM*");
    }
    if (file.empty()) {
        d_.showFileName("");
        d_.fileNotOpened();
        toProgramFolder(e_.run.parameters.programFolder);
        return {};
    }
    e_.run.parameters.sourceFolder = PFADNAME(file);
    d_.sourceFolderChosen(e_.run.parameters.sourceFolder);
    toProgramFolder(e_.run.parameters.programFolder);
    shownFile_ = shownPath(file);
    d_.showFileName(shownFile_);
    windowServices().processMessages();
    return file;
}

// The check writes its log and, for 01/96, the long-text store into the user data
// folder. A chosen file that is one of them (the same file by device and inode, whatever
// its name) would be overwritten before it is read: it is refused and nothing is written.
bool CheckEngine::FileChoice::sparesItsOwnFiles(const std::string& file) {
    const XBasePaths store = XBasePaths::longTextStore(e_.run.parameters.dataFolder);
    const struct {
        std::string path;
        const char* what;
    } written[] = {{errorLogPath(e_.run.parameters.dataFolder), "das Fehlerprotokoll"},
                   {store.table, "eine Datei des Textspeichers"},
                   {store.memo, "eine Datei des Textspeichers"},
                   {store.index, "eine Datei des Textspeichers"}};
    for (const auto& w : written) {
        if (!platform::sameFile(systemPath(file), systemPath(w.path))) continue;
        const std::string text = "Die Datei\r\n" + file + "\r\nist " + w.what + " der Prüfung ("_ansi +
                                 w.path + ").\r\nSie wird weder geprüft noch überschrieben."_ansi +
                                 abortCheck();
        box().error(e_.owner(), "Fehler", text);
        e_.noteRefusal(text, FileRefusal::OwnFile);
        d_.fileNotOpened();
        return false;
    }
    return true;
}

bool CheckEngine::FileChoice::openLog() {
    const std::string name = errorLogPath(e_.run.parameters.dataFolder);
    const FileHandle created = FCREATE(name);
    // A log that can be created but not opened again is as unusable as one never created.
    const FileHandle log = created != 0 && FCLOSE(created) ? FOPEN(name, FO_READWRITE | FO_SHARED) : 0;
    if (log == 0) {
        // The second line says where and why, as the system tells it.
        const std::string reason = dosErrorText(FERROR());
        const std::string text = "Error-Log-Datei konnte nicht errzeugt werden !\r\n" + name + ": " +
                                 reason.substr(0, reason.find("\r\n"));
        box().info(e_.owner(), "Fehler", text);
        e_.noteIoFailure(IoOperation::CreateLog, name, text);
        e_.noteRefusal(text, FileRefusal::NoLog);
        d_.fileNotOpened();
        return false;
    }
    e_.useLog(log);
    if (!BIN_W(e_.owner(), log, logHeader(shownFile_))) {
        box().info(e_.owner(), "Fehler",
                   "Eintrag in Error-Log-Datei konnte nicht geschrieben werden !"_ansi + abortCheck());
        e_.noteIoFailure(IoOperation::WriteLog, name,
                         "Eintrag in Error-Log-Datei konnte nicht geschrieben werden !"_ansi + abortCheck());
        FCLOSE(log);
        e_.useLog(0);
        d_.fileRefused();
        return false;
    }
    return true;
}

bool CheckEngine::FileChoice::openData(const std::string& file) {
    e_.setOption(RunOption::FieldChecks, true, true);
    e_.setOption(RunOption::ListDisplay, true, true);
    // Offsets of findings refer to the new file from here on; nothing of the previous
    // file's state reaches its header.
    e_.run.NZEIGER_ = 0;
    e_.run.NPOSITION_ = 0;
    e_.resetFileState();
    // The file is opened for writing so that a field can be corrected in place. A file
    // the user may only read (write-protected, on a read-only medium) is still checked:
    // it is opened for reading, and only a correction would be refused.
    e_.run.source.attach(FOPEN(file, FO_READWRITE));
    if (!e_.run.source.isOpen() && (FERROR() == 5 || FERROR() == 19))
        e_.run.source.attach(FOPEN(file, FO_READ));
    if (!e_.run.source.isOpen()) e_.run.source.attach(BIN_OPEN(e_.owner(), file, FO_READWRITE));
    if (!e_.run.source.isOpen()) {
        refuse(FileRefusal::Unopenable, MessageKind::FileUnopenable,
               "Die Datei\r\n" + file + "\r\nkonnte nicht geöffnet werden !"_ansi + abortCheck());
        return false;
    }
    // Steps, runs and saves make sure by this path that the file is still the one on disk.
    e_.run.source.attach(e_.run.source.handle(), file);
    return true;
}

void CheckEngine::FileChoice::recognise() {
    FSEEK(e_.run.source.handle(), 0);
    const std::string head = FREADSTR(e_.run.source.handle(), 7);
    const bool candidate = field(head, 3, 5) == "2000A";
    if (candidate && !separatorAdmitted(head)) return;
    const long long length = FLENGTH(e_.run.source.handle());
    showLength(length);
    if (length == 0) {
        // Nothing to recognise: neither an end of the file to judge nor a header.
        refuse(FileRefusal::Empty, MessageKind::FileEmpty,
               "Die Datei ist leer (0 Byte), sie enthält keinen Vorlaufsatz !"_ansi + abortCheck());
        return;
    }
    if (!endOfFileSound(length, candidate)) return;
    if (!candidate && try0590(length)) return;
    recogniseFromLine(length, candidate);
}

bool CheckEngine::FileChoice::separatorAdmitted(const std::string& head) {
    const auto code = static_cast<unsigned char>(head[1]);
    if (std::find(kSeparators.begin(), kSeparators.end(), code) != kSeparators.end()) return true;
    refuse(FileRefusal::BadSeparator, MessageKind::SeparatorRefused,
           "Das 1.Feldtrennzeichen " + std::string(1, head[1]) + " = ASC " + plainNumber(code) +
               " entspricht nicht der Norm !" + abortCheck());
    return false;
}

void CheckEngine::FileChoice::showLength(long long length) {
    d_.showFileLength(length);
    // The length as the window shows it: grouped, right-aligned in 17 places.
    std::string shown = groupedNumber(length);
    if (shown.size() < 17) shown.insert(0, 17 - shown.size(), ' ');
    // This line never pops up; from here on every finding does until the user says otherwise.
    e_.setOption(RunOption::Popups, false, false);
    e_.ERRORLOG(MessageKind::FileLength, "Datei-Länge "_ansi + shown + " Byte\r\n");
    e_.setOption(RunOption::Popups, true, true);
}

bool CheckEngine::FileChoice::endOfFileSound(long long length, bool candidate) {
    // A length the system could not tell (-1) leaves nothing to read.
    const long long from = std::max(0LL, length - 3);
    FSEEK(e_.run.source.handle(), from);
    std::string tail =
        FREADSTR(e_.run.source.handle(), static_cast<std::size_t>(std::max(0LL, length - from)));
    const bool mark = !tail.empty() && tail.back() == kEndOfFileMark;
    if (!candidate && !mark)
        e_.ERRORLOG(MessageKind::EndMarkMissing,
                    "Schönheitsfehler ! Datei-ENDE-Marke 1A nicht erkannt !"_ansi);
    e_.run.source.setEndsInMark(mark);
    if (mark) tail.pop_back();
    // The two bytes before the mark, or the last two; a short file has fewer to show.
    const std::string last = tail.substr(tail.size() > 2 ? tail.size() - 2 : 0);
    if (last == "\r\n") return true;
    std::string codes;
    for (const char ch : last)
        codes += plainNumber(static_cast<unsigned char>(ch));
    refuse(
        FileRefusal::BadFileEnd, MessageKind::FileEndBroken,
        "Gravierender Fehler ! Mit dem DATEI-ENDE stimmt was nicht !\r\ndie letzten 2 Zeichen sind Dezimal " +
            codes + "\r\n\r\nAbbruch der Prüfung !"_ansi);
    return false;
}

bool CheckEngine::FileChoice::try0590(long long length) {
    FSEEK(e_.run.source.handle(), 0);
    const std::string block =
        BIN_LES(e_.owner(), e_.run.source.handle(), kBlockSize, kBlockSize, e_.run.LASCII_, e_.run.CCHR0_);
    const bool is0590 = block.size() == kBlockSize && block.ends_with("\r\n") && block[0] == 'V' &&
                        field(block, 100, 29).find_first_not_of(' ') == std::string::npos;
    if (!is0590) return false;
    const std::optional<Date> date = dmyDate(block);
    e_.showVersion(Version::V0590, "0590");
    d_.showHeaderDate(shownDate(date));
    d_.showRecordContinuation(std::nullopt, std::nullopt);
    if (!recordCountSound(length)) return true;
    e_.run.recordCounter = 1;
    // As for the other versions: "<1" and "BOF" need a position behind the header line
    // and its CR LF, not whatever an earlier file left.
    e_.run.source.setHeaderEnd(static_cast<long long>(kRecordLength) + 3);
    showHeaderPlace(block, kRecordLength);
    e_.showOem(true);
    e_.UPDATE0590(block);
    box().info(
        e_.owner(), "Hinweis",
        "Vermutlich ist diese ELDANORM-Datei eine Version 05/90\r\nDer Vorlaufsatz enthält keine eindeutigen Merkmale."_ansi);
    commonEnd(date);
    return true;
}

void CheckEngine::FileChoice::recogniseFromLine(long long length, bool candidate) {
    FSEEK(e_.run.source.handle(), 0);
    const std::string header =
        STRING_LES(e_.owner(), e_.run.source.handle(), candidate ? 300 : 130, 0, e_.run.LASCII_);
    e_.run.recordCounter = 0;
    e_.run.NZEIGER_ = 0;
    if (header.empty()) {
        refuse(FileRefusal::HeaderUnreadable, MessageKind::HeaderUnreadable,
               "Der Vorlaufsatz konnte nicht gelesen werden !" + abortCheck());
        return;
    }
    e_.run.recordCounter = 1;
    showHeaderPlace(header, static_cast<long long>(header.size()));
    e_.showSeparator("");
    if (header[0] != 'V') {
        refuse(FileRefusal::HeaderNotRecognised, MessageKind::HeaderNotRecognised,
               "Konnte Vorlaufsatz nicht erkennen !" + abortCheck());
        return;
    }
    e_.run.source.setHeaderEnd(static_cast<long long>(header.size()) + 3);
    if (field(header, 3, 5) == "2000A") {
        recognise2000(header);
    } else if (field(header, 125, 4) == "0196") {
        recognise0196(header, length);
    } else {
        e_.showVersion(Version::Unknown, "????");
        d_.showHeaderDate("");
        d_.showRecordCount(std::nullopt);
        refuse(FileRefusal::VersionNotSupported, MessageKind::VersionNotSupported,
               "Die ELDANORM-Version " + e_.run.versionLabel + " kann nicht geprüft werden !"_ansi);
    }
}

void CheckEngine::FileChoice::recognise2000(const std::string& header) {
    const std::optional<Date> date = ymdDate(header);
    e_.showVersion(Version::V2000, "2000A");
    d_.showHeaderDate(shownDate(date));
    e_.showSeparator(field(header, 2, 1));
    d_.showRecordCount(std::nullopt);
    e_.run.AFELDER_ = STRING2ARRAY2(header, e_.run.separator);
    if (e_.run.AFELDER_.size() < 4) {
        refuse(FileRefusal::OrderEntryMissing, MessageKind::OrderEntryMissing,
               "Der Eintrag für die Satzfolge konnte nicht gelesen werden !"_ansi + abortCheck());
        return;
    }
    e_.showAnnouncement(e_.run.AFELDER_[3]);
    d_.showFieldCount(e_.run.AFELDER_.size());
    // Field 14 says whether the file is in the ANSI code page; otherwise it is OEM. The
    // state is set both ways so that no earlier file's code page carries over.
    const bool ansi = e_.run.AFELDER_.size() >= 14 && e_.run.AFELDER_[13] == "ANSI";
    // The header was read before its code page was known: read an ANSI header again
    // unconverted, so that its umlauts are shown and logged as they stand in the file.
    std::string shown = header;
    if (ansi && e_.run.LASCII_) {
        const long long behind = FTELL(e_.run.source.handle());
        FSEEK(e_.run.source.handle(), 0);
        shown = STRING_LES(e_.owner(), e_.run.source.handle(), 300, 0, false);
        FSEEK(e_.run.source.handle(), behind);
        e_.run.AFELDER_ = STRING2ARRAY2(shown, e_.run.separator);
    }
    e_.showOem(!ansi);
    e_.UPDATE2000(shown);
    commonEnd(date);
}

void CheckEngine::FileChoice::recognise0196(const std::string& header, long long length) {
    const std::optional<Date> date = dmyDate(header);
    e_.showVersion(Version::V0196, "0196");
    d_.showHeaderDate(shownDate(date));
    d_.showRecordContinuation(std::nullopt, std::nullopt);
    if (!recordCountSound(length)) return;
    e_.showOem(true);
    e_.showAnnouncement(arti::SATZFOLGE(field(header, 100, 8)));
    d_.showFieldCount(15);
    e_.UPDATE0196(header);
    e_.run.texts.allowStoring();
    if (e_.run.announcement.find('T') != std::string::npos)
        e_.run.texts.prepare(e_, e_.run.parameters.dataFolder);
    commonEnd(date);
}

// Records of 130 bytes; a final end mark is not part of them.
bool CheckEngine::FileChoice::recordCountSound(long long length) {
    const long long net = length - (e_.run.source.endsInMark() ? 1 : 0);
    d_.showRecordCount(net / kBlockSize);
    if (net % kBlockSize == 0) return true;
    const std::string text = "Die Dateilänge / Satzzahl ist fehlerhaft  !"_ansi + abortCheck();
    e_.ERRORLOG(MessageKind::FileLengthFault, text);
    if (e_.questions().continueAfterLengthFault(
            {"Gravierender Fehler", text + "\r\n\r\nSoll die Prüfung dennoch fortgesetzt werden ?"_ansi}))
        return true;
    e_.noteRefusal(text, FileRefusal::LengthFaultDeclined);
    d_.fileRefused();
    return false;
}

void CheckEngine::FileChoice::showHeaderPlace(const std::string& header, long long lengthWithoutCrLf) {
    e_.showPosition(FTELL(e_.run.source.handle()));
    e_.showRecordLength(lengthWithoutCrLf);
    e_.showRecordType(field(header, 1, 1));
}

// A refusal: logged (an error box when pop-ups are on) and shown as the way the check
// ended; only a new choice and the log remain.
void CheckEngine::FileChoice::refuse(FileRefusal kind, MessageKind message, const std::string& text) {
    e_.ERRORLOG(message, text, BoxKind::Error);
    e_.noteRefusal(text, kind);
    d_.fileRefused();
}

void CheckEngine::FileChoice::commonEnd(const std::optional<Date>& date) {
    d_.fileReady();
    e_.run.fileReady = true;
    // A header without a valid date has nothing to place in the window: offering to move
    // a limit to it would leave the run without that limit.
    if (date) e_.DATUMSWECHSEL(*date, "Datei-Erstellung");
}

namespace {

// The record type starts a sequence the header announces: the sequence viewer can show it.
bool startsAnnouncedSequence(char type, const std::string& announcement, bool version2000) {
    if (version2000) return type == 'I' && announcement.find("IH") != std::string::npos;
    return type == 'A' && announcement.find("AB") != std::string::npos;
}

} // namespace

void CheckEngine::chooseFile(const std::string& given) {
    // "Stop" enables "Datei" before the run loop has noticed the request; a click in
    // that moment must not close the files under the running loop.
    if (run.LTURN_) return;
    FileChoice(*this).run(given);
}

// Steps shared by the three updates once the record has passed its length rule: the
// header's displays, the copy of the header into the log, the field checks and the
// sequence viewer's buffer.
struct CheckEngine::UpdateSteps {
    static void logHeaderOnce(CheckEngine& e, const std::string& record);
    // The version 2000 header: its separator, its split and its displays.
    [[gnu::noinline, gnu::cold]] static void header2000(CheckEngine& e, const std::string& record);
    static void keepForSequenceView(CheckEngine& e, const std::string& record, bool version2000);
    static void refuseLength(CheckEngine& e, std::size_t length, const char* version);
    static long long lineLengthRead(CheckEngine& e, std::size_t kept);
};

void CheckEngine::UpdateSteps::logHeaderOnce(CheckEngine& e, const std::string& record) {
    if (e.run.LVORLAUF_) return;
    e.ERRORLOG(MessageKind::HeaderCopy, record);
    e.logEmptyLine();
    e.run.LVORLAUF_ = true;
}

void CheckEngine::UpdateSteps::keepForSequenceView(CheckEngine& e, const std::string& record,
                                                   bool version2000) {
    if (e.run.LTURN_ || record.empty()) return;
    e.run.CPUFFER_ = record;
    // The button opens the sequence viewer: without one it stays disabled.
    if (startsAnnouncedSequence(record[0], e.run.announcement, version2000))
        e.display.sequenceViewAvailable(true);
}

// The record is refused for its length: no field checks, the run stops.
void CheckEngine::UpdateSteps::refuseLength(CheckEngine& e, std::size_t length, const char* version) {
    e.display.clearSequenceList();
    e.display.clearList();
    e.run.NPOSITION_ = 0; // the record as a whole
    e.refuseCheck(RuleAbortKind::RecordLength, MessageKind::RecordLength,
                  "Fehler Satzlänge "_ansi + plainNumber(static_cast<long long>(length)) +
                      ", die Satzlänge in der Version "_ansi + version + " muss 128+CRLF = 130 Byte sein !" +
                      abortCheck());
}

void CheckEngine::UPDATE0590(const std::string& record) {
    if (display.showsRecords()) display.showRecordText(record);
    if (record.size() != static_cast<std::size_t>(kBlockSize))
        return UpdateSteps::refuseLength(*this, record.size(), "0590");
    if (record[0] == 'V') {
        showErrors(std::nullopt);
        display.showHeaderDate(shownDate(dmyDate(record)));
        UpdateSteps::logHeaderOnce(*this, record);
    }
    if (display.showsRecords()) windowServices().processMessages(); // shown before the checks
    FELDPRUEF0590(record);
    if (!run.LTURN_) UpdateSteps::keepForSequenceView(*this, record, false);
}

// The length of the 01/96 line just read. The reader keeps at most 130 characters but
// reads on to the line end; a longer line is measured on the file, from its start to
// where the reader stopped, less the line end.
long long CheckEngine::UpdateSteps::lineLengthRead(CheckEngine& e, std::size_t kept) {
    constexpr std::size_t kKeptAtMost = 130;
    if (kept < kKeptAtMost || !e.run.source.isOpen()) return static_cast<long long>(kept);
    const long long end = FTELL(e.run.source.handle());
    long long length = end - e.run.NZEIGER_;
    if (length <= static_cast<long long>(kept)) return static_cast<long long>(kept);
    FSEEK(e.run.source.handle(), end - 2);
    if (FREADSTR(e.run.source.handle(), 2) == "\r\n") length -= 2;
    FSEEK(e.run.source.handle(), end);
    return std::max(length, static_cast<long long>(kept));
}

void CheckEngine::UPDATE0196(const std::string& record) {
    if (display.showsRecords()) display.showRecordText(record);
    if (record.size() != kRecordLength) {
        const long long length = UpdateSteps::lineLengthRead(*this, record.size());
        showRecordLength(length);
        return UpdateSteps::refuseLength(*this, static_cast<std::size_t>(length), "0196");
    }
    if (record[0] == 'V') {
        showErrors(std::nullopt);
        display.showHeaderDate(shownDate(dmyDate(record)));
        showAnnouncement(arti::SATZFOLGE(field(record, 100, 8)));
        const std::string_view label = field(record, 125, 4);
        showVersion(versionOf(label), label);
        UpdateSteps::logHeaderOnce(*this, record);
    }
    if (display.showsRecords()) windowServices().processMessages(); // shown before the checks
    FELDPRUEF0196(record);
    if (!run.LTURN_) UpdateSteps::keepForSequenceView(*this, record, false);
}

template <bool kQuiet> void CheckEngine::UPDATE2000(const std::string& record) {
    // Up to 128 characters per display line; lines not needed are hidden.
    if (!kQuiet && display.showsRecords()) {
        display.showRecordText(field(record, 1, kRecordLength));
        const auto line = [&record](std::size_t at) {
            return record.size() >= at ? std::optional<std::string_view>(field(record, at, kRecordLength))
                                       : std::nullopt;
        };
        display.showRecordContinuation(line(129), line(257));
    }

    if (!record.empty() && record[0] == 'V') [[unlikely]]
        UpdateSteps::header2000(*this, record);
    else
        split2000_ = fillTable2000(run.fieldTable, record, run.separator);
    if (!kQuiet && display.showsRecords()) windowServices().processMessages(); // shown before the checks
    FELDPRUEF2000<kQuiet>(record);
    if (!run.LTURN_) UpdateSteps::keepForSequenceView(*this, record, true);
}

// The header names the separator that splits it and every record after it, and what the
// header's displays show.
void CheckEngine::UpdateSteps::header2000(CheckEngine& e, const std::string& record) {
    e.showSeparator(field(record, 2, 1));
    e.split2000_ = fillTable2000(e.run.fieldTable, record, e.run.separator);
    const std::vector<std::string_view> fields = e.ALIST_();
    e.showErrors(std::nullopt);
    e.display.showHeaderDate(shownDate(ymdDate(record)));
    e.showAnnouncement(fields.size() >= 4 ? fields[3] : std::string_view());
    const std::string_view label = field(record, 3, 5);
    e.showVersion(versionOf(label), label);
    const bool ansi = fields.size() >= 14 && fields[13] == "ANSI";
    e.showOem(!ansi);
    logHeaderOnce(e, record);
}

template void CheckEngine::UPDATE2000<false>(const std::string& record);
template void CheckEngine::UPDATE2000<true>(const std::string& record);

void STRING2ARRAY2(std::string_view text, std::string_view separator, std::vector<std::string_view>& fields) {
    const std::string_view cut = trimRightView(text);
    fields.clear();
    forEachField(cut, separator, [&](std::size_t offset, std::size_t length) {
        fields.push_back(cut.substr(offset, length));
    });
}

std::vector<std::string> STRING2ARRAY2(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> views;
    STRING2ARRAY2(text, separator, views);
    return std::vector<std::string>(views.begin(), views.end());
}

std::string PFADNAME(std::string_view fileName) {
    const std::size_t at = fileName.find_last_of(platform::kPathSeparators);
    return at == std::string_view::npos ? std::string() : std::string(fileName.substr(0, at + 1));
}

} // namespace arti
