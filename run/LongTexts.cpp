// Long texts of version 01/96 text records. While a file is read forwards, the text
// lines of its "T" records are collected per text key into the table VTEXT.DBF in the
// user data folder, one row per text, so that the sequence viewer can show them whole.
// Whatever keeps the store from taking the texts is told in a box and in the error log
// as an error, and kept for the check's result.
#include "core/Text.h"
#include "run/CheckFunctions.h"
#include "run/LongTextStore.h"
#include "run/RunFindings.h"

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

void LongTextStore::reportFault(IRunFindings& findings, const std::string& text) {
    findings.ERRORLOG(MessageKind::TextStoreFault, "Fehler: " + text);
    if (textStoreFault_.empty()) textStoreFault_ = text;
}

void LongTextStore::reset() {
    LZAP_ = false;
    TFLAG_ = false;
    CTEXTINDEX_.clear();
    textStoredAt_ = -1;
    textStoreFault_.clear();
}

void LongTextStore::prepare(IRunFindings& findings, const std::string& dataFolder) {
    close(findings);
    TFLAG_ = true;
    CTEXTINDEX_.clear();
    textStoredAt_ = -1;
    if (!openTable(findings, dataFolder)) {
        TFLAG_ = false; // told already; without a table no text can be kept
        return;
    }
    if (OSERVER_->rowCount() == 0) return;
    LZAP_ = false;
    if (!findings.questions().deleteEarlierTexts(
            {"Frage", "Es sind Texte aus einem vorherigen Lauf gespeichert !\r\n\r\n"
                      "Sollen diese Texte gelöscht werden ?"_ansi}))
        return;
    if (OSERVER_->zap()) {
        LZAP_ = true;
        return;
    }
    reportFault(findings, noTextsKept("Datei VTEXT konnte nicht geleert werden."));
    box().info(findings.owner(), "Fehler", "Die Datei konnte nicht gezappt werden !");
}

// While the texts of a file are collected, the table is locked for everybody else, so
// its writes are collected too and reach the files in large pieces and at its closing.
bool LongTextStore::openTable(IRunFindings& findings, const std::string& dataFolder) {
    const XBasePaths paths = XBasePaths::longTextStore(dataFolder);
    auto cannotOpen = [this, &findings](XBaseFault fault, bool tell) {
        const std::string why = XBaseTable::faultText(fault);
        reportFault(findings, noTextsKept("Datei VTEXT konnte nicht geöffnet werden. "_ansi + why));
        if (tell)
            box().error(findings.owner(), "Fehler",
                        "Datei VTEXT konnte nicht geöffnet werden\r\n"_ansi + why);
        return false;
    };
    XBaseFault fault = XBaseFault::None;
    OSERVER_ = XBaseTable::open(paths, XBaseMode::Buffered, nullptr, &fault);
    if (OSERVER_) return true;
    if (fault == XBaseFault::Damaged) {
        // A damaged store would refuse every later file too; made anew it loses only
        // the texts of an earlier run.
        if (!findings.questions().remakeTextStore(
                {"Frage", "Die Datei VTEXT ist beschädigt oder unvollständig !\r\n"_ansi +
                              XBaseTable::faultText(fault) +
                              "\r\n\r\nSoll sie neu angelegt werden ? Die darin gespeicherten "
                              "Texte gehen dabei verloren."_ansi}))
            return cannotOpen(fault, false);
    } else if (fault != XBaseFault::Missing) {
        return cannotOpen(fault, true);
    }
    if (!CREATEVTEXT(findings.owner(), dataFolder)) {
        reportFault(findings, noTextsKept("Datei VTEXT konnte nicht erzeugt werden."));
        return false;
    }
    if (fault == XBaseFault::Damaged)
        findings.ERRORLOG(MessageKind::TextStoreRemade,
                          "Die beschädigte Datei VTEXT wurde neu angelegt."_ansi);
    OSERVER_ = XBaseTable::open(paths, XBaseMode::Buffered, nullptr, &fault);
    return OSERVER_ || cannotOpen(fault, true);
}

void LongTextStore::close(IRunFindings& findings) {
    if (!OSERVER_) return;
    const bool written = OSERVER_->close();
    OSERVER_.reset();
    // The texts collected last reach the files only now. A store that already refused
    // a text of this file has been reported.
    if (written || !textStoreFault_.empty()) return;
    reportFault(findings, "Datei VTEXT konnte nicht vollständig geschrieben werden. Die Textspeicherung ist "
                          "unvollständig !"_ansi);
    box().error(findings.owner(), "Fehler",
                "Datei VTEXT konnte nicht vollständig geschrieben werden !\r\nDie Textspeicherung ist "
                "unvollständig."_ansi);
}

// Stores the lines of one text record. Records with the key of the text being collected
// add to its row; a record whose second line is empty completes the text. A record at an
// offset not behind the last one stored (read again after stepping back or jumping) is
// passed over, so no line is stored twice.
void LongTextStore::DBTEXT(IRunFindings& findings, const std::string& record, long long offset) {
    // A text record read at this offset goes into the table only when it lies behind the
    // last one stored, so that reading it again does not store it twice.
    if (!OSERVER_ || offset <= textStoredAt_) return;
    textStoredAt_ = offset;
    const std::string key = textKey(record);
    bool stored = true;
    if (key != CTEXTINDEX_) {
        CTEXTINDEX_ = key;
        stored = OSERVER_->append(key).has_value();
    }
    // Rows are only ever appended, so the text being collected is in the last row.
    const std::uint32_t row = OSERVER_->rowCount();
    std::optional<std::string> text = stored ? OSERVER_->memo(row) : std::nullopt;
    if (text) {
        if (toNumber(part(record, kFirstNumberAt, kNumberLength)) > 0)
            text->append(part(record, kFirstLineAt, kLineLength)).append("\r\n");
        if (toNumber(part(record, kSecondNumberAt, kNumberLength)) > 0)
            text->append(part(record, kSecondLineAt, kLineLength)).append("\r\n");
        else
            CTEXTINDEX_.clear();
        stored = OSERVER_->setMemo(row, *text);
    }
    if (!stored) {
        // A table that refuses one text would refuse the next: keep no more of this file.
        LZAP_ = false;
        reportFault(findings,
                    "Der Text " + trimRight(key) +
                        " konnte nicht in VTEXT gespeichert werden. Die Textspeicherung wird beendet !");
        box().error(findings.owner(), "Fehler",
                    "Der Text " + trimRight(key) +
                        " konnte nicht in VTEXT gespeichert werden !\r\nDie Textspeicherung "
                        "wird beendet."_ansi);
    }
}

} // namespace arti
