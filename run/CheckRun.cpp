#include "run/CheckRun.h"

#include "core/Text.h"
#include "records/FileAccess.h"

namespace arti {

OutcomeKind CheckOutcome::kind() const {
    if (ioFailure) return OutcomeKind::IoFailure;
    if (fileRefused) return OutcomeKind::Refused;
    if (abort) return OutcomeKind::RuleAbort;
    switch (end) {
    case CheckEnd::None:
        return OutcomeKind::None;
    case CheckEnd::ByUser:
        return OutcomeKind::ByUser;
    case CheckEnd::FileEnd:
        return OutcomeKind::FileEnd;
    case CheckEnd::Refused:
        break;
    }
    return OutcomeKind::EndedEarly;
}

using namespace arti::literals;

bool CheckRun::dataFileReplaced() const {
    return dataFile != 0 && !dataPath.empty() && !files::namesOpenFile(dataFile, dataPath);
}

std::string replacedFileText(const std::string& path) {
    return "Die Datei\r\n" + path +
           "\r\nwurde auf dem Datenträger ersetzt oder gelöscht, seit sie ausgewählt wurde."_ansi;
}

long long CheckRun::dataLength() {
    if (lengthHandle_ != dataFile || lengthCache_ < 0) {
        lengthCache_ = FLENGTH(dataFile);
        lengthHandle_ = dataFile;
    }
    return lengthCache_;
}

bool CheckRun::atDataEnd() {
    if (dataFile == 0 || FEOF(dataFile)) return true;
    // A final end mark is no record: the position right before it is the end.
    return LCHR_ && FTELL(dataFile) >= dataLength() - 1;
}

void CheckRun::resetFileState() {
    LASCII_ = true;
    LCHR_ = false;
    LVORLAUF_ = false;
    LZSATZ_ = false;
    LZAP_ = false;
    TFLAG_ = false;
    LVERBUND_ = false;
    AVERBUND_.assign(3, std::string());
    AFELDER_.clear();
    NLENVOR_ = 0;
    CSFOLGE_.clear();
    CSFOLGE1_.clear();
    CSTRING_.clear();
    CTEXTINDEX_.clear();
    fileReady = false;
    textStoredAt = -1;
    textStoreFault.clear();
    lengthCache_ = -1;
    lengthHandle_ = 0;
}

} // namespace arti
