// The long-text table: a FoxPro 2.x table (VTEXT.DBF) with the character field INDEX
// (11) and the memo field VTEXT, its memo file (VTEXT.FPT, 64-byte blocks) and the
// compound index INTEXT.CDX with one tag on upper(INDEX). Other xBase programs read
// these files as they are, and tables of the same two fields written by other
// programs open here too (header with or without backlink area, missing end mark,
// other memo block sizes, empty memos as blank pointers or zero-length blocks).
//
// Rows are numbered from 1. Deleted rows stay in the table and the index, are shown
// by row() with their flag, and are passed over by seek().
//
// Keys are upper-cased by the Windows-1252 rule of the rest of the program (a-z and
// the accented letters à-þ except ÷, plus š, œ, ž, ÿ), the same way for the keys
// written into the index and for the keys looked up.
//
// The table is open for one user at a time: read-write takes an exclusive advisory
// lock on the table file, read-only a shared one. Nothing here throws; failures
// return false or an empty value, and lastError() says what went wrong.
//
// Opened read-write, every change reaches the files at once. Opened buffered, new rows,
// memos and index pages are collected in memory and written in large pieces: when
// enough have gathered, at flush() and at close(). The memos go first, then the rows
// and the row count, then the index, so that files cut short by a crash or a full disk
// still open: rows not yet counted do not exist, and an index behind the table is
// rebuilt.
#pragma once

#include "records/XBaseFile.h"
#include "records/XBaseIndex.h"
#include "records/XBaseMemo.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

struct XBasePaths {
    std::string table;
    std::string memo;
    std::string index;

    // VTEXT.DBF, VTEXT.FPT and INTEXT.CDX in `folder` (with or without a final '/').
    static XBasePaths longTextStore(const std::string& folder);
};

enum class XBaseMode {
    ReadWrite, // every change written at once
    ReadOnly,
    Buffered, // read-write, changes collected and written in large pieces
};

// Why a table could not be opened.
enum class XBaseFault {
    None,
    Missing,      // there is no table file
    InUse,        // another user has the table open
    Damaged,      // the table or memo file is missing, cut short, damaged or of another
                  // layout, or the index is not an index on upper(INDEX)
    IndexDamaged, // opened read-only: the index is missing, damaged or does not match the rows
    Failed,       // a file could not be opened, read or written
};

struct XBaseRow {
    std::string key; // the INDEX field as stored: 11 bytes, blank-padded
    bool deleted = false;
};

class XBaseTable {
public:
    static constexpr std::size_t kKeyLength = 11;

    // Writes the empty table, memo file and index, replacing files of these names.
    // The three are written whole under passing names beside the table and then take
    // their names, the table last: until it arrives there is no table, so a failure
    // on the way (a full disk) leaves the former files or none, never a part of a
    // store. Fails when another user has the table open.
    static bool create(const XBasePaths& paths, std::string* error = nullptr);

    // Opens the three files. A table, memo file or index that is cut short, damaged
    // or of another layout is refused. A missing index, or one that is damaged or
    // out of step with the table (after a crash: a key count that differs, a key that
    // is not its row's or a row that is not found), is rebuilt from the rows when
    // opening for writing and refused when opening read-only. `fault` says why a table
    // was refused.
    static std::unique_ptr<XBaseTable> open(const XBasePaths& paths, XBaseMode mode,
                                            std::string* error = nullptr, XBaseFault* fault = nullptr);

    // The reason of a refusal in words for the user (Windows-1252); empty for None.
    static std::string faultText(XBaseFault fault);

    ~XBaseTable();
    XBaseTable(const XBaseTable&) = delete;
    XBaseTable& operator=(const XBaseTable&) = delete;

    // Writes what has been collected. False when a write fails; what was not written
    // stays collected.
    bool flush();
    // Writes what has been collected and releases the files and the lock; every later
    // call fails. False when the last writes failed (the files then lack them).
    bool close();

    std::uint32_t rowCount() const { return count_; }

    // Appends a row with this key (cut or blank-padded to 11 bytes) and an empty
    // memo, and enters it into the index. Returns its row number.
    std::optional<std::uint32_t> append(std::string_view key);

    std::optional<XBaseRow> row(std::uint32_t recno) const;
    std::optional<std::string> memo(std::uint32_t recno) const;
    bool setMemo(std::uint32_t recno, std::string_view text);
    bool setDeleted(std::uint32_t recno, bool deleted);

    // Removes every row: the table, memo file and index are as after create().
    bool zap();

    // The first live row, in index order, whose key begins with upper(key); a key of
    // 11 bytes must match whole, a shorter one matches as a prefix.
    std::optional<std::uint32_t> seek(std::string_view key) const;
    // All live rows whose key begins with upper(key), in index order.
    std::vector<std::uint32_t> seekAll(std::string_view key) const;

    // The index key of a field value: cut or blank-padded to 11 bytes, upper-cased.
    static std::string indexKey(std::string_view key);

    const std::string& lastError() const { return error_; }

private:
    XBaseTable() = default;

    bool readHeader(std::string& why);
    XBaseFault attachMemo(const std::string& path, bool writable, std::string& why);
    XBaseFault attachIndex(const std::string& path, bool writable, std::string& why);
    bool readKeys(std::vector<std::string>& keys) const;
    bool indexMatches(const std::vector<xbase::cdx::Entry>& entries) const;
    bool rebuildIndex();
    bool writeCount(std::uint32_t count);
    long long recordOffset(std::uint32_t recno) const;
    bool readRecord(std::uint32_t recno, std::string& record) const;
    // Writes bytes into a row at `at` (0: the delete flag), collected or in the file.
    bool writeIntoRow(std::uint32_t recno, std::uint32_t at, std::string_view bytes);
    // Flushes now unless buffered with little collected.
    bool settle();
    std::optional<std::uint32_t> memoBlock(const std::string& record) const;
    bool fail(std::string why) const;
    std::nullopt_t none(std::string why) const;
    void scan(std::string_view key, bool firstOnly, std::vector<std::uint32_t>& out) const;

    xbase::File table_;
    xbase::Memo memo_;
    xbase::Index index_;
    bool open_ = false;
    bool buffered_ = false;
    std::uint32_t count_ = 0;
    std::uint32_t written_ = 0; // rows in the file and counted by its header
    std::string pending_;       // the rows behind them, not yet written
    std::uint32_t headerLength_ = 0;
    std::uint32_t recordLength_ = 0;
    std::uint32_t keyOffset_ = 0;  // INDEX inside a record
    std::uint32_t memoOffset_ = 0; // VTEXT inside a record
    std::uint32_t memoWidth_ = 10; // 10: block number in digits, 4: binary (Visual FoxPro)
    mutable std::string error_;
};

} // namespace arti
