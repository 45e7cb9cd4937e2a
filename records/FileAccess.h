// The record file routines of the check run: opening a file with a reported error,
// reading one record as a fixed-size block (BIN_LES) or as a line (STRING_LES), writing
// bytes in place (BIN_W), reading and appending whole files (READ_STREAM, WRITE_STREAM).
// Every failure is shown to the user at once in an error box owned by `owner` and
// returned as an empty string, 0 or false; nothing throws. The record readers raise the
// stop request of the check run for every record they refuse.
#pragma once

#include "core/Services.h"
#include "records/DosError.h"
#include "records/FileHandles.h"

#include <cstddef>
#include <optional>
#include <string>

namespace arti {

// The end-of-file mark of DOS text files.
inline constexpr char kEndOfFileMark = '\x1A';

// Opens the file; on failure shows the file error box "Datei-Öffnungs-Fehler !" with
// the file name and returns 0.
FileHandle BIN_OPEN(Owner owner, const std::string& fileName, int mode = FO_READWRITE);

// Reads exactly `byteCount` bytes from the position (missing bytes at the end of the
// file stay blanks), replaces NUL bytes by `nulReplacement` (when not empty), converts
// from code page 850 when `oem` is set, and returns the block with its CR LF. A block
// of one byte, or the single end-of-file mark, is returned unchecked. A block whose CR LF
// is missing or misplaced, that holds the end-of-file mark, or that has no content is
// refused: box, stop request, empty result. `expectedLength` is accepted and unused.
std::string BIN_LES(Owner owner, FileHandle handle, std::size_t byteCount, std::size_t expectedLength = 0,
                    bool oem = false, const std::string& nulReplacement = {});
// The same into `block`, whose storage is reused (a run reads every record this way).
void BIN_LES(Owner owner, FileHandle handle, std::size_t byteCount, std::size_t expectedLength, bool oem,
             const std::string& nulReplacement, std::string& block);

// Reads the line at the position without its CR LF, keeping at most `maxLength`
// characters, and moves behind the CR LF (the rest of a longer line is skipped). The last
// line of a file may lack CR LF. At the end of the file the result is empty and the
// position stays at the end; the caller tells the end of the file from an empty line by
// the position. Lets pending window messages through once per call.
std::string STRING_LES(Owner owner, FileHandle handle, std::size_t maxLength, std::size_t expectedLength = 0,
                       bool oem = false);
// The same into `line`, whose storage is reused (a run reads every record this way).
void STRING_LES(Owner owner, FileHandle handle, std::size_t maxLength, std::size_t expectedLength, bool oem,
                std::string& line);

// STRING_LES of a record step, on the file behind `handle` found beforehand (null: not
// open): the same read, without letting window messages through; false on an error.
bool readRecordLine(Owner owner, FileHandle handle, BufferedFile* file, std::size_t maxLength, bool oem,
                    std::string& line);

// Writes the first `length` bytes of `data` (all of it for 0) at the position, converted
// to code page 850 when `oem` is set. A short write raises the stop request, is shown and
// gives false. A length beyond the data writes nothing and is refused the same way.
bool BIN_W(Owner owner, FileHandle handle, const std::string& data, std::size_t length = 0, bool oem = false);

// The first `byteCount` bytes of the file (the whole file without a count), converted
// from code page 850 when `oem` is set; empty on failure.
std::string READ_STREAM(Owner owner, const std::string& fileName,
                        std::optional<std::size_t> byteCount = std::nullopt, bool oem = false);

// Appends `data` to the file (converted to code page 850 when `oem` is set), creating it
// when it does not exist or when `overwrite` is set; true on success.
bool WRITE_STREAM(Owner owner, const std::string& data, const std::string& fileName, bool oem = true,
                  bool overwrite = false);

} // namespace arti
