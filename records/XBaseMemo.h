// The FoxPro memo file (.FPT) beside a table: a 512-byte header, then memos in
// consecutive blocks. Each memo starts with an 8-byte block header (type and length,
// big-endian) followed by its bytes. A rewritten memo stays in its blocks when it
// still fits there and otherwise moves to fresh blocks at the end of the file, so a
// longer text never spills into the memo of another row.
//
// Memos appended at the end of the file are collected in memory and written in large
// pieces by flush() (or when enough have gathered), together with the header's "next
// free block"; reads see them at once. A memo rewritten in place inside the part of the
// file already written goes to the file straight away.
#pragma once

#include "records/XBaseFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace arti::xbase {

class Memo {
public:
    static constexpr std::uint32_t kHeaderSize = 512;
    static constexpr std::uint32_t kDefaultBlockSize = 64;

    // Makes `file` (opened writable) an empty memo file with the given block size.
    static bool writeEmpty(File& file, std::uint32_t blockSize);

    // Takes over an open memo file and checks its header. False for a file too short
    // for a header or with a block size of 0 or above 65535.
    bool attach(File file);
    // Drops what flush() has not written and releases the file.
    void close();
    std::uint32_t blockSize() const { return blockSize_; }

    // The text of the memo starting at `block`; block 0 is the empty memo. Empty when
    // the block or its length point outside the file or into the header.
    std::optional<std::string> read(std::uint32_t block) const;

    // Stores `text` for a row whose memo now starts at `oldBlock` (0: none) and
    // returns the block the row must point to from now on (0 for an empty text).
    std::optional<std::uint32_t> write(std::uint32_t oldBlock, std::string_view text);

    // Drops every memo: the file is cut back to its header.
    bool reset();

    // Writes the collected memos and then the header's "next free block". False when a
    // write fails; what is still unwritten stays collected.
    bool flush();
    // Bytes collected and not yet written.
    std::size_t pending() const { return pending_.size(); }

private:
    // Blocks taken by a memo with `length` bytes of text.
    std::uint64_t blocksFor(std::uint64_t length) const { return (8 + length + blockSize_ - 1) / blockSize_; }
    // Text length of the memo starting at `block`, from its block header.
    std::optional<std::uint64_t> lengthAt(std::uint32_t block) const;
    std::optional<std::uint32_t> appendBlocks(std::string_view text);
    bool writeMemoAt(std::uint64_t block, std::string_view text, std::uint64_t blocks);
    // Reads and writes over the file and the collected bytes behind it.
    bool readAt(std::uint64_t offset, void* dst, std::size_t n) const;
    bool writeAt(std::uint64_t offset, std::string_view bytes);

    File file_;
    std::uint32_t blockSize_ = kDefaultBlockSize;
    std::uint64_t written_ = 0; // length of the file as written; the collected bytes follow
    std::string pending_;
    bool headerStale_ = false; // "next free block" on the disk lags behind
};

} // namespace arti::xbase
