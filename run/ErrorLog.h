// The error log of a check: every finding gets its severity from its kind as it is logged
// and is handed to the observers: the "Error.log" writer and the run's file findings,
// which count it. Nothing reads the log back, and no count reads a text.
#pragma once

#include "core/Services.h"
#include "records/FileHandles.h"
#include "rules/MessageKind.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

struct Finding {
    std::optional<unsigned long> record; // the record counter as shown; none while it shows nothing
    long long offset = 0;                // file offset of the record ("Datei-Offset")
    long long position = 0;              // position within the record ("Satz-Offset")
    std::string_view text;               // the message, Windows-1252, may hold CR LF
    MessageKind kind{};                  // what the message says, apart from its values
    std::string_view recordType;         // type of the record it is about; empty: the file or the run
    std::uint32_t field = kNoField;      // running number of the field it is about
    bool error = false;                  // set from the kind as the finding is logged
};

class IFindingObserver {
public:
    virtual ~IFindingObserver() = default;
    virtual void finding(const Finding& f) = 0;
};

class ErrorLog {
public:
    // Sets the finding's `error` from its kind and hands it to every observer.
    void log(Finding f);

    // Observers are not owned; each stays until it is removed.
    void subscribe(IFindingObserver* o);
    void unsubscribe(IFindingObserver* o);

private:
    std::vector<IFindingObserver*> observers_;
};

// The file "Error.log": one line per finding, "Z <n> Datei-Offset <o>, Satz-Offset <p>,
// <message>" with the message's line breaks removed. A run can report many findings per
// second, so lines are collected and written in large pieces: when the buffer is large,
// after every line outside an automatic run (a person stepping by hand may look at the
// log at any time), and through flush() at the end and stop of a run, before the log is
// shown and when the file is closed.
class LogFileWriter final : public IFindingObserver {
public:
    // `running`: an automatic run is in progress (the run's flag, read at every line).
    LogFileWriter(Owner owner, const bool& running) : owner_(owner), running_(running) {}

    // The log's handle (0: none); the writer does not open or close it.
    void attach(FileHandle handle) { file_ = handle; }
    FileHandle handle() const { return file_; }

    void finding(const Finding& f) override;
    // A line of its own, written as it is (the empty line after the header's copy).
    void append(std::string_view bytes);
    // Writes what is buffered; false when the write failed (the writer has shown the
    // system's error, and the lines are dropped: keeping them would only repeat it).
    bool flush();
    // Set when a write failed; the owner reads and clears it after the line.
    bool takeFailure() {
        const bool f = failed_;
        failed_ = false;
        return f;
    }

private:
    Owner owner_;
    const bool& running_;
    FileHandle file_ = 0;
    std::string buffer_;
    bool failed_ = false;
};

// The log line's prefix of a finding, without the message.
std::string findingPrefix(const Finding& f);

} // namespace arti
