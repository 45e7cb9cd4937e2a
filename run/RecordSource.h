// The data file a check reads its records from: its handle and the path it was chosen
// by, whether it ends in the end mark, where its header ends, its length (asked of the
// system once per open file) and the storage a record is read into.
#pragma once

#include "core/Oem.h"
#include "core/Services.h"
#include "records/FileHandles.h"
#include "rules/Version.h"

#include <cstddef>
#include <string>

namespace arti {

class RecordSource {
public:
    // Records of versions 05/90 and 01/96: 128 characters and CR LF.
    static constexpr long long kFixedRecord = 130;
    // Lines of version 2000 are read up to this length.
    static constexpr std::size_t kMaxLine2000 = 300;

    FileHandle handle() const { return handle_; }
    bool isOpen() const { return handle_ != 0; }
    // The path the data file was chosen by (engine text); empty while none was.
    const std::string& path() const { return path_; }
    // Takes `handle` as the data file, chosen by `path` when it is given.
    void attach(FileHandle handle, std::string path = {});
    // Closes the data file and forgets its path.
    void close();

    // Another file has taken the data file's place since it was opened (written beside
    // it and renamed over it), or its path is gone: reading or writing on through the
    // open handle would reach a file nobody sees any more. One stat of the path.
    bool replaced() const;
    // The length of the data file, asked of the system once per open file.
    long long length();
    // The data file is at its end: at or behind its length, or right before a final end
    // mark. Asked before and after every record: the usual answer is worked out inline.
    bool atEnd() {
        BufferedFile* f = file();
        if (f && beforeEnd(*f)) {
            files::clearError();
            return false;
        }
        return atEndAsking();
    }
    // The file ends in the end mark 26.
    bool endsInMark() const { return LCHR_; }
    void setEndsInMark(bool mark) { LCHR_ = mark; }
    // The offset right behind the header and its CR LF.
    long long headerEnd() const { return NLENVOR_; }
    void setHeaderEnd(long long offset) { NLENVOR_ = offset; }

    // The position in the data file, as FTELL tells it.
    long long tell() {
        BufferedFile* f = file();
        if (!f) return FTELL(handle_);
        files::clearError();
        return f->position();
    }

    // Reads the record at the file position into `record` (emptied before): 05/90 as a
    // block of 130 bytes, the others as a line; at the end of the file nothing, and a
    // final end mark is passed over. True when a line was read (STRING_LES would then
    // have let window messages through).
    bool read(Owner owner, Version version, bool oem, const std::string& nulReplacement, std::string& record);
    // read's usual case for a line, worked out inline with one look-up of the file: the
    // position is before the end (and before a final end mark), and the line with its
    // CR LF lies in the file's cache. `start` and `end` become the positions before and
    // behind it, as tell() gives them. False, with nothing done, in every other case.
    [[gnu::always_inline]] bool readCachedLine(Version version, bool oem, std::string& record,
                                               long long& start, long long& end) {
        BufferedFile* const f = file();
        if (!f || !beforeEnd(*f)) return false;
        const long long at = f->position();
        if (!f->readCachedLine(record, lineLength(version))) return false;
        files::clearError();
        if (oem) oemToAnsi(record);
        start = at;
        end = f->position();
        return true;
    }
    // Storage of the record being read, reused from record to record: null while a record
    // step holds it (a step entered again while window messages go through reads into
    // storage of its own), until it is given back.
    std::string* takeStore() {
        if (storeTaken_) return nullptr;
        storeTaken_ = true;
        return &store_;
    }
    void giveBackStore() { storeTaken_ = false; }

    // Forgets what the previous file left (end mark, header end, the cached length).
    void reset();

private:
    // The open file behind the handle, looked up once per open file (attach and close
    // forget it); null (and FERROR() set) when the handle is not open.
    BufferedFile* file() {
        if (file_ && fileClosings_ == files::closings()) return file_;
        return findFile();
    }
    // The usual answer of atEnd: the position lies before the length last seen, and
    // before a final end mark (the file's length, asked once, decides).
    bool beforeEnd(const BufferedFile& f) const {
        const long long at = f.position();
        return at < f.knownLength() &&
               (!LCHR_ || (lengthHandle_ == handle_ && lengthCache_ >= 0 && at < lengthCache_ - 1));
    }
    static std::size_t lineLength(Version version) {
        return version == Version::V2000 ? kMaxLine2000 : static_cast<std::size_t>(kFixedRecord);
    }
    BufferedFile* findFile();
    bool readLine(Owner owner, std::size_t maxLength, bool oem, std::string& record);
    bool atEndAsking();

    FileHandle handle_ = 0;
    BufferedFile* file_ = nullptr;
    std::uint64_t fileClosings_ = 0;
    bool storeTaken_ = false;
    std::string path_;
    bool LCHR_ = false;
    long long NLENVOR_ = 0;
    FileHandle lengthHandle_ = 0;
    long long lengthCache_ = -1;
    std::string store_;
};

} // namespace arti
