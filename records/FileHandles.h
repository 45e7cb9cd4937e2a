// The program's file handles: numbers that stand for open buffered files (0 stands for
// no file). Handles are never reused within a run, so a stale handle is refused instead
// of reaching another file. The operations report failure by their result and leave the
// DOS error code of the last operation in FERROR(); they show no boxes.
// File names are engine text (Windows-1252); they are converted to the system's
// encoding on the way to the file system. Single-threaded, like the whole engine.
#pragma once

#include "core/Text.h"
#include "records/BufferedFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace arti {

using FileHandle = int;

// Open modes: access in the low two bits, sharing above. The sharing bits are accepted
// and not enforced: every file is shared for reading, writing and deleting.
inline constexpr int FO_READ = 0;
inline constexpr int FO_WRITE = 1;
inline constexpr int FO_READWRITE = 2;
inline constexpr int FO_SHARED = 64;

enum class SeekOrigin { Start = 0, Current = 1, End = 2 };

// Opens an existing file; 0 on failure. An access value of 3 is refused with code 12.
FileHandle FOPEN(const std::string& fileName, int mode = FO_READWRITE);
// Creates the file read-write, emptying an existing one; 0 on failure.
FileHandle FCREATE(const std::string& fileName);
bool FCLOSE(FileHandle handle);
// Moves the position; returns the new position, or -1 (position unchanged) when the
// handle is not open or the target would lie before the start of the file. Positions
// behind the end are allowed; a write there extends the file.
long long FSEEK(FileHandle handle, long long offset, SeekOrigin origin = SeekOrigin::Start);
long long FTELL(FileHandle handle);   // -1 when the handle is not open
long long FLENGTH(FileHandle handle); // -1 on failure
bool FEOF(FileHandle handle);         // position at or behind the end; true on failure
// Up to `count` bytes from the position, unchecked; fewer at the end of the file. On an
// error the bytes read before it (FERROR() tells).
std::string FREADSTR(FileHandle handle, std::size_t count);
// Writes at the position; returns the bytes written (FERROR() tells why fewer).
std::size_t FWRITE(FileHandle handle, std::string_view data);
// DOS error code of the last file operation, 0 after success.
int FERROR();

namespace files {

// The open file behind a handle, or null (FERROR() then says 6, invalid handle).
BufferedFile* find(FileHandle handle);
namespace detail {
// What a record step reads and resets several times per record, kept apart from the
// handle table so that it is done inline: the DOS code of the last operation and the
// count of handles closed.
struct State {
    int lastError = 0;
    std::uint64_t closings = 0;
};
inline State state;
} // namespace detail
// FERROR() becomes 0, as after any operation that succeeded.
inline void clearError() {
    detail::state.lastError = 0;
}
// How many handles have been closed so far: a file found behind a handle stays that
// handle's file until this count changes (handles are never reused).
inline std::uint64_t closings() {
    return detail::state.closings;
}
// Writes through `file` and patches the caches of other handles of the same file.
IoResult write(BufferedFile& file, const char* src, std::size_t n);
// Records the outcome of an operation for FERROR() (a DOS error code, 0 for success).
void setError(int code);
// The name still names the open file (same identity). False when the name is gone,
// when another file has taken its place (written beside it and renamed over it, as
// editors and copy programs save), or when the handle is not open. One look at the name.
bool namesOpenFile(FileHandle handle, const std::string& fileName);

} // namespace files

} // namespace arti
