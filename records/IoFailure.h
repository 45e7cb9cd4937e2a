// Failed file operations as values: the file routines show each failure in their box
// and hand it, typed, to whoever watches while the box is shown (the check engine), so
// that a caller learns of it without reading box texts. A routine that ends the check
// (a refused record, a failed write) says so the same way.
#pragma once

#include "records/FileHandles.h"

#include <string>

namespace arti {

enum class IoOperation { Open, Read, Write, CreateLog, WriteLog };

struct IoFailure {
    IoOperation operation = IoOperation::Read;
    FileHandle handle = 0; // the file's handle, where there is one
    std::string path;      // engine text; empty where the routine does not know it
    std::string reason;    // the system's reason, as the box words it (Windows-1252)
    std::string message;   // the whole text of the box that told the user (Windows-1252)
};

// Why a file routine ends the check that called it: it has told the user (or is about
// to) and the check stops before its next record.
enum class IoStop {
    RecordRefused, // a record the reader refuses (a zero byte, an end mark, no CR LF, no content)
    WriteRefused,  // a write of more bytes than the caller holds, refused before writing
    WriteFailed,   // a write that failed or wrote less
};

class IIoFailureObserver {
public:
    virtual ~IIoFailureObserver() = default;
    virtual void ioFailed(const IoFailure& failure) = 0;
    virtual void ioStopped(IoStop why) = 0;
};

// While it lives, every failure the file routines report goes to `observer`, unless a
// later watch takes them; the watch before it gets them again when it ends.
class IoFailureWatch {
public:
    explicit IoFailureWatch(IIoFailureObserver& observer);
    ~IoFailureWatch();
    IoFailureWatch(const IoFailureWatch&) = delete;
    IoFailureWatch& operator=(const IoFailureWatch&) = delete;

private:
    IIoFailureObserver* observer_;
};

// Hands a failure, or a stop, to the current watcher, if there is one.
void reportIoFailure(const IoFailure& failure);
void reportIoStop(IoStop why);

} // namespace arti
