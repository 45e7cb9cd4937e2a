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

bool RecordSource::replaced() const {
    return handle_ != 0 && !path_.empty() && !files::namesOpenFile(handle_, path_);
}

std::string replacedFileText(const std::string& path) {
    return "Die Datei\r\n" + path +
           "\r\nwurde auf dem Datenträger ersetzt oder gelöscht, seit sie ausgewählt wurde."_ansi;
}

void RecordSource::attach(FileHandle handle, std::string path) {
    handle_ = handle;
    file_ = nullptr;
    path_ = std::move(path);
}

void RecordSource::close() {
    if (handle_ != 0) {
        FCLOSE(handle_);
        handle_ = 0;
        file_ = nullptr;
    }
    path_.clear();
}

long long RecordSource::length() {
    if (lengthHandle_ != handle_ || lengthCache_ < 0) {
        lengthCache_ = FLENGTH(handle_);
        lengthHandle_ = handle_;
    }
    return lengthCache_;
}

BufferedFile* RecordSource::findFile() {
    file_ = handle_ != 0 ? files::find(handle_) : nullptr;
    fileClosings_ = files::closings();
    return file_;
}

bool RecordSource::atEndAsking() {
    // FEOF and FTELL on the file found once.
    if (handle_ == 0) return true;
    BufferedFile* f = file();
    if (!f) return true;
    int err = 0;
    const bool end = f->atEnd(err);
    files::setError(err);
    if (end) return true;
    // A final end mark is no record: the position right before it is the end.
    return LCHR_ && tell() >= length() - 1;
}

void RecordSource::reset() {
    LCHR_ = false;
    NLENVOR_ = 0;
    lengthCache_ = -1;
    lengthHandle_ = 0;
}

void CheckRun::resetFileState() {
    LASCII_ = true;
    LVORLAUF_ = false;
    AFELDER_.clear();
    fileReady = false;
    texts.reset();
    source.reset();
}

} // namespace arti
