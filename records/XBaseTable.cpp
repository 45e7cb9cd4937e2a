#include "records/XBaseTable.h"

#include "core/Dates.h"
#include "core/Text.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <vector>

namespace arti {

using namespace literals;

namespace {

using xbase::getLE;
using xbase::putLE;

constexpr unsigned char kFoxPro2WithMemo = 0xF5;
constexpr unsigned char kVisualFoxPro = 0x30;
constexpr unsigned char kCodePage1252 = 0x03;
constexpr unsigned char kFieldListEnd = 0x0D;
constexpr unsigned char kEndOfFile = 0x1A;
constexpr char kLive = ' ';
constexpr char kDeleted = '*';
constexpr std::uint32_t kMemoWidth = 10;

struct Field {
    std::string name;
    char type = 0;
    std::uint32_t width = 0;
    std::uint32_t offset = 0; // inside the record, after the delete flag
};

// Bytes 1-3 of the header: date of the last change, the year counted from 1900.
std::array<unsigned char, 3> today() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = localTime(now);
    return {static_cast<unsigned char>(local.tm_year), static_cast<unsigned char>(local.tm_mon + 1),
            static_cast<unsigned char>(local.tm_mday)};
}

void putField(std::vector<unsigned char>& image, std::size_t at, std::string_view name, char type,
              std::uint32_t offset, std::uint32_t width) {
    std::copy(name.begin(), name.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
    image[at + 11] = static_cast<unsigned char>(type);
    putLE(image.data() + at + 12, 4, offset);
    image[at + 16] = static_cast<unsigned char>(width);
}

// The empty table: 32-byte header, two field descriptors, field list end, end mark.
std::vector<unsigned char> emptyTable() {
    std::vector<unsigned char> image(32 + 2 * 32 + 2, 0);
    image[0] = kFoxPro2WithMemo;
    const auto date = today();
    std::copy(date.begin(), date.end(), image.begin() + 1);
    putLE(image.data() + 8, 2, 32 + 2 * 32 + 1);
    putLE(image.data() + 10, 2, 1 + XBaseTable::kKeyLength + kMemoWidth);
    image[29] = kCodePage1252;
    putField(image, 32, "INDEX", 'C', 1, XBaseTable::kKeyLength);
    putField(image, 64, "VTEXT", 'M', 1 + XBaseTable::kKeyLength, kMemoWidth);
    image[96] = kFieldListEnd;
    image[97] = kEndOfFile;
    return image;
}

bool refuse(std::string& why, std::string text) {
    why = std::move(text);
    return false;
}

// Field descriptors follow the 32-byte header until the field list end byte.
bool parseFields(const std::vector<unsigned char>& header, std::vector<Field>& fields, std::string& why) {
    std::uint32_t offset = 1;
    for (std::size_t at = 32;; at += 32) {
        if (at < header.size() && header[at] == kFieldListEnd) break;
        if (at + 32 > header.size()) {
            why = "field list runs past the header";
            return false;
        }
        Field f;
        const char* name = reinterpret_cast<const char*>(header.data() + at);
        f.name = trimRight(std::string(name, std::find(name, name + 11, '\0')));
        f.type = static_cast<char>(header[at + 11]);
        f.width = header[at + 16];
        if (f.type == 'C') f.width += std::uint32_t{header[at + 17]} << 8; // long character fields
        if (f.name.empty() || f.width == 0 ||
            std::string_view("CMNFDL").find(f.type) == std::string_view::npos) {
            why = "unsupported field \"" + f.name + "\"";
            return false;
        }
        f.offset = offset;
        offset += f.width;
        fields.push_back(std::move(f));
    }
    return !fields.empty() || refuse(why, "table without fields");
}

const Field* findField(const std::vector<Field>& fields, std::string_view name) {
    for (const Field& f : fields)
        if (equalsNoCase(f.name, name)) return &f;
    return nullptr;
}

} // namespace

XBasePaths XBasePaths::longTextStore(const std::string& folder) {
    std::string base = folder;
    if (!base.empty() && base.back() != '/') base += '/';
    return {base + "VTEXT.DBF", base + "VTEXT.FPT", base + "INTEXT.CDX"};
}

namespace {

// One file of a store being made, written whole under a passing name beside its place.
struct Staged {
    std::string place;
    xbase::File file;
};

// Writes the three files of an empty store under passing names; false (with the
// place that failed) when one cannot be written whole.
bool stageEmptyStore(const XBasePaths& paths, std::vector<Staged>& staged, std::string& failed) {
    const std::vector<unsigned char> image = emptyTable();
    staged.resize(3);
    staged[0].place = paths.memo;
    staged[1].place = paths.index;
    staged[2].place = paths.table;
    for (std::size_t i = 0; i < staged.size(); ++i) {
        xbase::File& file = staged[i].file;
        failed = staged[i].place;
        if (!file.createUnique(staged[i].place + ".tmp")) return false;
        const bool written = i == 0   ? xbase::Memo::writeEmpty(file, xbase::Memo::kDefaultBlockSize)
                             : i == 1 ? xbase::Index::writeEmpty(file)
                                      : file.writeAt(0, image.data(), image.size());
        // On the disk before it takes its name, so that a crash cannot leave a named
        // file without its bytes.
        if (!written || !file.sync()) return false;
    }
    return true;
}

void removeStaged(std::vector<Staged>& staged) {
    for (Staged& s : staged) {
        if (!s.file.isOpen()) continue;
        const std::string name = s.file.path();
        s.file.close();
        xbase::removeFile(name);
    }
}

} // namespace

bool XBaseTable::create(const XBasePaths& paths, std::string* error) {
    auto failWith = [error](std::string why) {
        if (error) *error = std::move(why);
        return false;
    };
    // Another user's table is not replaced; ours stays locked until the new one is in place.
    xbase::File current;
    if (current.open(paths.table, false) && !current.lock(xbase::Lock::Exclusive))
        return failWith(paths.table + " is in use");
    std::vector<Staged> staged;
    std::string failed;
    if (!stageEmptyStore(paths, staged, failed)) {
        removeStaged(staged);
        return failWith("cannot write " + failed);
    }
    // The old table goes first: from here until the new one takes its name there is
    // no table, and the other two files are never taken for part of a store.
    bool placed = xbase::removeFile(paths.table);
    for (Staged& s : staged) {
        placed = placed && xbase::renameFile(s.file.path(), s.place);
        if (!placed) break;
        s.file.close();
    }
    removeStaged(staged);
    if (!placed) return failWith("cannot put the new files in place of " + paths.table);
    const std::string folder = paths.table.substr(0, paths.table.find_last_of('/') + 1);
    if (!xbase::syncFolder(folder)) return failWith("cannot write the folder of " + paths.table);
    return true;
}

std::unique_ptr<XBaseTable> XBaseTable::open(const XBasePaths& paths, XBaseMode mode, std::string* error,
                                             XBaseFault* fault) {
    std::unique_ptr<XBaseTable> t(new XBaseTable);
    const bool writable = mode != XBaseMode::ReadOnly;
    t->buffered_ = mode == XBaseMode::Buffered;
    XBaseFault kind = XBaseFault::None;
    std::string why;
    if (!t->table_.open(paths.table, writable)) {
        kind = t->table_.missing() ? XBaseFault::Missing : XBaseFault::Failed;
        why = "cannot open " + paths.table;
    } else if (!t->table_.lock(writable ? xbase::Lock::Exclusive : xbase::Lock::Shared)) {
        kind = XBaseFault::InUse;
        why = paths.table + " is in use";
    } else if (!t->readHeader(why)) {
        kind = XBaseFault::Damaged;
    } else if ((kind = t->attachMemo(paths.memo, writable, why)) == XBaseFault::None) {
        kind = t->attachIndex(paths.index, writable, why);
    }
    if (fault) *fault = kind;
    if (kind != XBaseFault::None) {
        if (error) *error = why.empty() ? "cannot open " + paths.table : why;
        return nullptr;
    }
    t->index_.deferWrites(t->buffered_);
    t->open_ = true;
    return t;
}

std::string XBaseTable::faultText(XBaseFault fault) {
    switch (fault) {
    case XBaseFault::None:
        break;
    case XBaseFault::Missing:
        return "Die Datei VTEXT.DBF ist nicht vorhanden.";
    case XBaseFault::InUse:
        return "Die Datei VTEXT.DBF wird von einem anderen Programm benutzt.";
    case XBaseFault::Damaged:
        return "Die Dateien VTEXT.DBF, VTEXT.FPT und INTEXT.CDX sind beschädigt, unvollständig oder passen "
               "nicht zusammen."_ansi;
    case XBaseFault::IndexDamaged:
        return "Der Index INTEXT.CDX ist beschädigt oder passt nicht zur Tabelle VTEXT.DBF."_ansi;
    case XBaseFault::Failed:
        return "Die Dateien VTEXT.DBF, VTEXT.FPT und INTEXT.CDX konnten nicht geöffnet, gelesen oder "
               "geschrieben werden."_ansi;
    }
    return {};
}

XBaseTable::~XBaseTable() {
    close();
}

bool XBaseTable::close() {
    const bool written = !open_ || flush();
    open_ = false;
    pending_.clear();
    index_.close();
    memo_.close();
    table_.close();
    return written;
}

bool XBaseTable::flush() {
    if (!open_ || !table_.writable()) return true;
    // Memos before the rows that point at them, the rows before the count that makes
    // them part of the table, the index last.
    if (!memo_.flush()) return fail("cannot write the memo file");
    if (!pending_.empty()) {
        pending_.push_back(static_cast<char>(kEndOfFile));
        const bool rows = table_.writeAt(recordOffset(written_ + 1), pending_);
        pending_.pop_back();
        if (!rows || !writeCount(count_)) return fail("cannot write the table");
        written_ = count_;
        pending_.clear();
    }
    return index_.flush() || fail("cannot write the index");
}

bool XBaseTable::settle() {
    // Large pieces, but not so large that a crash loses much or memory grows with the file.
    constexpr std::size_t kBatchBytes = 256 * 1024;
    if (buffered_ && pending_.size() + memo_.pending() < kBatchBytes) return true;
    return flush();
}

bool XBaseTable::readHeader(std::string& why) {
    const long long length = table_.length();
    std::array<unsigned char, 32> head{};
    if (length < 32 || !table_.readAt(0, head.data(), head.size()))
        return refuse(why, "table file too short");
    if (head[0] != kFoxPro2WithMemo && head[0] != kVisualFoxPro)
        return refuse(why, "not a FoxPro table with memo field");
    const std::uint32_t count = getLE(head.data() + 4, 4);
    headerLength_ = getLE(head.data() + 8, 2);
    recordLength_ = getLE(head.data() + 10, 2);
    if (headerLength_ < 32 + 32 + 1 || headerLength_ > length) return refuse(why, "bad header length");
    std::vector<unsigned char> header(headerLength_);
    std::vector<Field> fields;
    if (!table_.readAt(0, header.data(), header.size()) || !parseFields(header, fields, why)) return false;
    const Field* key = findField(fields, "INDEX");
    const Field* memo = findField(fields, "VTEXT");
    if (!key || key->type != 'C' || key->width != kKeyLength) return refuse(why, "no field INDEX C(11)");
    if (!memo || memo->type != 'M' || (memo->width != 10 && memo->width != 4))
        return refuse(why, "no memo field VTEXT");
    if (fields.back().offset + fields.back().width != recordLength_) return refuse(why, "bad record length");
    // Every row the header counts must be in the file; a cut-off table is refused.
    if (std::uint64_t{headerLength_} + std::uint64_t{count} * recordLength_ >
        static_cast<std::uint64_t>(length))
        return refuse(why, "table file shorter than its rows");
    count_ = count;
    written_ = count;
    keyOffset_ = key->offset;
    memoOffset_ = memo->offset;
    memoWidth_ = memo->width;
    return true;
}

XBaseFault XBaseTable::attachMemo(const std::string& path, bool writable, std::string& why) {
    xbase::File file;
    if (!file.open(path, writable)) {
        why = "cannot open memo file " + path;
        // A table without its memo file is half a store.
        return file.missing() ? XBaseFault::Damaged : XBaseFault::Failed;
    }
    if (memo_.attach(std::move(file))) return XBaseFault::None;
    why = "damaged memo file " + path;
    return XBaseFault::Damaged;
}

XBaseFault XBaseTable::attachIndex(const std::string& path, bool writable, std::string& why) {
    xbase::File file;
    if (!file.open(path, writable, writable)) {
        why = "cannot open index " + path;
        return file.missing() ? XBaseFault::IndexDamaged : XBaseFault::Failed;
    }
    // A missing index (created empty just now) is made from the rows.
    if (writable && file.length() == 0 && !xbase::Index::writeEmpty(file)) {
        why = "cannot write index " + path;
        return XBaseFault::Failed;
    }
    std::vector<xbase::cdx::Entry> entries;
    const xbase::Index::Check check = index_.attach(std::move(file), &entries);
    if (check == xbase::Index::Check::NotOurs) {
        why = path + " is not an index on upper(INDEX)";
        return XBaseFault::Damaged;
    }
    if (check == xbase::Index::Check::Sound && index_.size() == count_ && indexMatches(entries))
        return XBaseFault::None;
    if (!writable) {
        why = "index " + path + " is damaged or out of date";
        return XBaseFault::IndexDamaged;
    }
    if (rebuildIndex()) return XBaseFault::None;
    why = "cannot rebuild index " + path;
    return XBaseFault::Failed;
}

// The index key of every row, in row order.
bool XBaseTable::readKeys(std::vector<std::string>& keys) const {
    std::string rows(static_cast<std::size_t>(count_) * recordLength_, '\0');
    if (!rows.empty() && !table_.readAt(headerLength_, rows.data(), rows.size()))
        return fail("cannot read the table");
    keys.clear();
    keys.reserve(count_);
    for (std::size_t at = 0; at < rows.size(); at += recordLength_)
        keys.push_back(indexKey(std::string_view(rows).substr(at + keyOffset_, kKeyLength)));
    return true;
}

// Every key of the index names a row of the table that carries it, no row twice; with
// as many keys as rows, every row is then found under its key.
bool XBaseTable::indexMatches(const std::vector<xbase::cdx::Entry>& entries) const {
    std::vector<std::string> keys;
    if (entries.size() != count_ || !readKeys(keys)) return false;
    std::vector<bool> seen(keys.size() + 1, false);
    for (const xbase::cdx::Entry& e : entries) {
        if (e.recno == 0 || e.recno > count_ || seen[e.recno] || keys[e.recno - 1] != e.key) return false;
        seen[e.recno] = true;
    }
    return true;
}

bool XBaseTable::rebuildIndex() {
    std::vector<std::string> keys;
    if (!readKeys(keys)) return false;
    std::vector<xbase::cdx::Entry> entries;
    entries.reserve(keys.size());
    for (std::uint32_t recno = 1; recno <= keys.size(); ++recno)
        entries.push_back({std::move(keys[recno - 1]), recno, 0});
    return index_.rebuild(std::move(entries));
}

std::string XBaseTable::indexKey(std::string_view key) {
    std::string padded(key.substr(0, kKeyLength));
    padded.resize(kKeyLength, ' ');
    return upper(padded);
}

bool XBaseTable::fail(std::string why) const {
    error_ = std::move(why);
    return false;
}

std::nullopt_t XBaseTable::none(std::string why) const {
    error_ = std::move(why);
    return std::nullopt;
}

long long XBaseTable::recordOffset(std::uint32_t recno) const {
    return static_cast<long long>(headerLength_) + static_cast<long long>(recno - 1) * recordLength_;
}

bool XBaseTable::readRecord(std::uint32_t recno, std::string& record) const {
    if (!table_.isOpen() || recno == 0 || recno > count_) return fail("no row " + plainNumber(recno));
    if (recno > written_) {
        record.assign(pending_, static_cast<std::size_t>(recno - written_ - 1) * recordLength_,
                      recordLength_);
        return true;
    }
    record.assign(recordLength_, '\0');
    return table_.readAt(recordOffset(recno), record.data(), record.size()) || fail("cannot read the table");
}

bool XBaseTable::writeIntoRow(std::uint32_t recno, std::uint32_t at, std::string_view bytes) {
    if (recno > written_) {
        pending_.replace(static_cast<std::size_t>(recno - written_ - 1) * recordLength_ + at, bytes.size(),
                         bytes);
        return true;
    }
    return table_.writeAt(recordOffset(recno) + at, bytes) || fail("cannot write the table");
}

bool XBaseTable::writeCount(std::uint32_t count) {
    std::array<unsigned char, 7> bytes{};
    const auto date = today();
    std::copy(date.begin(), date.end(), bytes.begin());
    putLE(bytes.data() + 3, 4, count);
    return table_.writeAt(1, bytes.data(), bytes.size());
}

std::optional<std::uint32_t> XBaseTable::append(std::string_view key) {
    if (!open_ || !table_.writable()) return none("table not open for writing");
    if (count_ == 0xFFFFFFFFu) return none("table full");
    const std::size_t at = pending_.size();
    pending_.resize(at + recordLength_, ' ');
    char* record = pending_.data() + at;
    record[0] = kLive;
    const std::string_view value = key.substr(0, kKeyLength);
    std::copy(value.begin(), value.end(), record + keyOffset_);
    if (memoWidth_ == 4) std::fill_n(record + memoOffset_, 4, '\0');
    const std::uint32_t recno = ++count_;
    // The row reaches the file before the header counts it, so a crash in between
    // leaves the table as it was.
    if (!settle()) return std::nullopt;
    // Should this fail, the index lacks the row and is rebuilt at the next opening.
    if (!index_.insert(indexKey(key), recno)) return none("cannot write the index");
    return recno;
}

std::optional<XBaseRow> XBaseTable::row(std::uint32_t recno) const {
    std::string record;
    if (!readRecord(recno, record)) return std::nullopt;
    return XBaseRow{record.substr(keyOffset_, kKeyLength), record[0] == kDeleted};
}

std::optional<std::uint32_t> XBaseTable::memoBlock(const std::string& record) const {
    const std::string_view field = std::string_view(record).substr(memoOffset_, memoWidth_);
    if (memoWidth_ == 4) return getLE(reinterpret_cast<const unsigned char*>(field.data()), 4);
    // Digits with blanks (or NULs) around them; all blank is the empty memo.
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\0'))
        ++i;
    std::uint64_t block = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        block = block * 10 + static_cast<std::uint64_t>(field[i] - '0');
        if (block > 0xFFFFFFFFu) return std::nullopt;
    }
    while (i < field.size() && (field[i] == ' ' || field[i] == '\0'))
        ++i;
    if (i != field.size()) return std::nullopt;
    return static_cast<std::uint32_t>(block);
}

std::optional<std::string> XBaseTable::memo(std::uint32_t recno) const {
    std::string record;
    if (!readRecord(recno, record)) return std::nullopt;
    const auto block = memoBlock(record);
    if (!block) return none("bad memo pointer in row " + plainNumber(recno));
    auto text = memo_.read(*block);
    if (!text) return none("damaged memo of row " + plainNumber(recno));
    return text;
}

bool XBaseTable::setMemo(std::uint32_t recno, std::string_view text) {
    std::string record;
    if (!table_.writable()) return fail("table not open for writing");
    if (!readRecord(recno, record)) return false;
    // A damaged pointer is not reused: the text then goes to fresh blocks.
    const std::uint32_t oldBlock = memoBlock(record).value_or(0);
    const auto block = memo_.write(oldBlock, text);
    if (!block) return fail("cannot write the memo file");
    if (*block == oldBlock && memoBlock(record)) return settle();
    std::string pointer(memoWidth_, ' ');
    if (memoWidth_ == 4)
        putLE(reinterpret_cast<unsigned char*>(pointer.data()), 4, *block);
    else if (*block != 0)
        pointer = padLeft(plainNumber(*block), memoWidth_);
    // A row in the file may only point at a memo that is in the file too.
    if (recno <= written_ && !memo_.flush()) return fail("cannot write the memo file");
    return writeIntoRow(recno, memoOffset_, pointer) && settle();
}

bool XBaseTable::setDeleted(std::uint32_t recno, bool deleted) {
    std::string record;
    if (!table_.writable()) return fail("table not open for writing");
    if (!readRecord(recno, record)) return false;
    const char flag = deleted ? kDeleted : kLive;
    return writeIntoRow(recno, 0, std::string_view(&flag, 1)) && settle();
}

bool XBaseTable::zap() {
    if (!open_ || !table_.writable()) return fail("table not open for writing");
    // The row count goes first: whatever happens after it, no old row is counted again.
    const char end = static_cast<char>(kEndOfFile);
    pending_.clear();
    count_ = written_;
    if (!writeCount(0) || !table_.truncate(headerLength_) || !table_.writeAt(headerLength_, &end, 1))
        return fail("cannot empty the table");
    count_ = written_ = 0;
    if (!memo_.reset()) return fail("cannot empty the memo file");
    if (!index_.reset()) return fail("cannot empty the index");
    return true;
}

void XBaseTable::scan(std::string_view key, bool firstOnly, std::vector<std::uint32_t>& out) const {
    const std::string prefix = upper(key);
    if (!open_ || prefix.size() > kKeyLength) return;
    std::string record;
    // The index only proposes rows: each one is read and must really carry the key.
    const bool sound = index_.scan(prefix, [&](std::uint32_t recno) {
        if (recno == 0 || recno > count_ || !readRecord(recno, record)) return true;
        if (record[0] == kDeleted) return true;
        if (indexKey(std::string_view(record).substr(keyOffset_, kKeyLength))
                .compare(0, prefix.size(), prefix) != 0)
            return true;
        out.push_back(recno);
        return !firstOnly;
    });
    if (!sound) fail("damaged index page");
}

std::optional<std::uint32_t> XBaseTable::seek(std::string_view key) const {
    std::vector<std::uint32_t> found;
    scan(key, true, found);
    if (found.empty()) return std::nullopt;
    return found.front();
}

std::vector<std::uint32_t> XBaseTable::seekAll(std::string_view key) const {
    std::vector<std::uint32_t> found;
    scan(key, false, found);
    return found;
}

} // namespace arti
