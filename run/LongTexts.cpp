// Long texts of version 01/96 text records. While a file is read forwards, the text
// lines of its "T" records are collected per text key into the table VTEXT.DBF in the
// user data folder, one row per text, so that the sequence viewer can show them whole.
// Whatever keeps the store from taking the texts is told in a box and in the error log
// as an error, and kept for the check's result.
#include "core/Text.h"
#include "run/CheckEngine.h"
#include "run/CheckFunctions.h"

namespace arti {

using namespace literals;

namespace {

// Text record of version 01/96 (positions from 1): key at 4-14, first line number at
// 15-17 and its text at 18-57, second line number at 71-73 and its text at 74-113.
constexpr std::size_t kKeyAt = 3;
constexpr std::size_t kFirstNumberAt = 14;
constexpr std::size_t kFirstLineAt = 17;
constexpr std::size_t kSecondNumberAt = 70;
constexpr std::size_t kSecondLineAt = 73;
constexpr std::size_t kNumberLength = 3;
constexpr std::size_t kLineLength = 40;

std::string_view part(const std::string& record, std::size_t at, std::size_t length) {
    return at < record.size() ? std::string_view(record).substr(at, length) : std::string_view();
}

// The key as the table stores it: 11 characters, blank-padded.
std::string textKey(const std::string& record) {
    std::string key(part(record, kKeyAt, XBaseTable::kKeyLength));
    key.resize(XBaseTable::kKeyLength, ' ');
    return key;
}

// The log line of a store that cannot take the texts of this file.
std::string noTextsKept(const std::string& what) {
    return what + " Die Langtexte dieser Datei werden nicht gespeichert !";
}

} // namespace

bool CREATEVTEXT(Owner owner, const std::string& dataFolder) {
    if (XBaseTable::create(XBasePaths::longTextStore(dataFolder))) return true;
    box().error(owner, "Fehler", "Datei VTEXT konnte nicht erzeugt werden");
    return false;
}

void CheckEngine::reportTextStoreFault(const std::string& text) {
    ERRORLOG(MessageKind::TextStoreFault, "Fehler: " + text);
    if (run.textStoreFault.empty()) run.textStoreFault = text;
}

void CheckEngine::prepareLongTexts() {
    closeTextTable();
    run.TFLAG_ = true;
    run.CTEXTINDEX_.clear();
    run.textStoredAt = -1;
    if (!openTextTable()) {
        run.TFLAG_ = false; // told already; without a table no text can be kept
        return;
    }
    if (run.OSERVER_->rowCount() == 0) return;
    run.LZAP_ = false;
    if (!questions_->deleteEarlierTexts({"Frage",
                                         "Es sind Texte aus einem vorherigen Lauf gespeichert !\r\n\r\n"
                                         "Sollen diese Texte gelöscht werden ?"_ansi}))
        return;
    if (run.OSERVER_->zap()) {
        run.LZAP_ = true;
        return;
    }
    reportTextStoreFault(noTextsKept("Datei VTEXT konnte nicht geleert werden."));
    box().info(owner_, "Fehler", "Die Datei konnte nicht gezappt werden !");
}

// While the texts of a file are collected, the table is locked for everybody else, so
// its writes are collected too and reach the files in large pieces and at its closing.
bool CheckEngine::openTextTable() {
    const XBasePaths paths = XBasePaths::longTextStore(run.parameters.dataFolder);
    auto cannotOpen = [this](XBaseFault fault, bool tell) {
        const std::string why = XBaseTable::faultText(fault);
        reportTextStoreFault(noTextsKept("Datei VTEXT konnte nicht geöffnet werden. "_ansi + why));
        if (tell) box().error(owner_, "Fehler", "Datei VTEXT konnte nicht geöffnet werden\r\n"_ansi + why);
        return false;
    };
    XBaseFault fault = XBaseFault::None;
    run.OSERVER_ = XBaseTable::open(paths, XBaseMode::Buffered, nullptr, &fault);
    if (run.OSERVER_) return true;
    if (fault == XBaseFault::Damaged) {
        // A damaged store would refuse every later file too; made anew it loses only
        // the texts of an earlier run.
        if (!questions_->remakeTextStore(
                {"Frage", "Die Datei VTEXT ist beschädigt oder unvollständig !\r\n"_ansi +
                              XBaseTable::faultText(fault) +
                              "\r\n\r\nSoll sie neu angelegt werden ? Die darin gespeicherten "
                              "Texte gehen dabei verloren."_ansi}))
            return cannotOpen(fault, false);
    } else if (fault != XBaseFault::Missing) {
        return cannotOpen(fault, true);
    }
    if (!CREATEVTEXT(owner_, run.parameters.dataFolder)) {
        reportTextStoreFault(noTextsKept("Datei VTEXT konnte nicht erzeugt werden."));
        return false;
    }
    if (fault == XBaseFault::Damaged)
        ERRORLOG(MessageKind::TextStoreRemade, "Die beschädigte Datei VTEXT wurde neu angelegt."_ansi);
    run.OSERVER_ = XBaseTable::open(paths, XBaseMode::Buffered, nullptr, &fault);
    return run.OSERVER_ || cannotOpen(fault, true);
}

void CheckEngine::closeTextTable() {
    if (!run.OSERVER_) return;
    const bool written = run.OSERVER_->close();
    run.OSERVER_.reset();
    // The texts collected last reach the files only now. A store that already refused
    // a text of this file has been reported.
    if (written || !run.textStoreFault.empty()) return;
    reportTextStoreFault("Datei VTEXT konnte nicht vollständig geschrieben werden. Die Textspeicherung ist "
                         "unvollständig !"_ansi);
    box().error(owner_, "Fehler",
                "Datei VTEXT konnte nicht vollständig geschrieben werden !\r\nDie Textspeicherung ist "
                "unvollständig."_ansi);
}

// Stores the lines of one text record. Records with the key of the text being collected
// add to its row; a record whose second line is empty completes the text. A record at an
// offset not behind the last one stored (read again after stepping back or jumping) is
// passed over, so no line is stored twice.
void CheckEngine::DBTEXT(const std::string& record) {
    if (!run.OSERVER_ || !textRecordIsNew()) return;
    run.textStoredAt = run.NZEIGER_;
    const std::string key = textKey(record);
    bool stored = true;
    if (key != run.CTEXTINDEX_) {
        run.CTEXTINDEX_ = key;
        stored = run.OSERVER_->append(key).has_value();
    }
    // Rows are only ever appended, so the text being collected is in the last row.
    const std::uint32_t row = run.OSERVER_->rowCount();
    std::optional<std::string> text = stored ? run.OSERVER_->memo(row) : std::nullopt;
    if (text) {
        if (toNumber(part(record, kFirstNumberAt, kNumberLength)) > 0)
            text->append(part(record, kFirstLineAt, kLineLength)).append("\r\n");
        if (toNumber(part(record, kSecondNumberAt, kNumberLength)) > 0)
            text->append(part(record, kSecondLineAt, kLineLength)).append("\r\n");
        else
            run.CTEXTINDEX_.clear();
        stored = run.OSERVER_->setMemo(row, *text);
    }
    if (!stored) {
        // A table that refuses one text would refuse the next: keep no more of this file.
        run.LZAP_ = false;
        reportTextStoreFault("Der Text " + trimRight(key) +
                             " konnte nicht in VTEXT gespeichert werden. Die Textspeicherung wird beendet !");
        box().error(owner_, "Fehler",
                    "Der Text " + trimRight(key) +
                        " konnte nicht in VTEXT gespeichert werden !\r\nDie Textspeicherung "
                        "wird beendet."_ansi);
    }
}

} // namespace arti
