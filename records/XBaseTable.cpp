#include "records/XBaseTable.h"

#include "app/runtime/Text.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <vector>

namespace arti {

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
    std::tm local{};
    localtime_r(&now, &local);
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
        if (f.name.empty() || f.width == 0 || std::string_view("CMNFDL").find(f.type) == std::string_view::npos) {
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

bool XBaseTable::create(const XBasePaths& paths, std::string* error) {
    auto failWith = [error](std::string why) {
        if (error) *error = std::move(why);
        return false;
    };
    xbase::File table, memo, index;
    if (!table.open(paths.table, true, true)) return failWith("cannot create " + paths.table);
    if (!table.lock(xbase::Lock::Exclusive)) return failWith(paths.table + " is in use");
    // The table goes first: should a later step fail, no row points into a memo
    // file that was emptied.
    const std::vector<unsigned char> image = emptyTable();
    if (!table.writeAt(0, image.data(), image.size()) || !table.truncate(static_cast<long long>(image.size())))
        return failWith("cannot write " + paths.table);
    if (!memo.open(paths.memo, true, true) || !xbase::Memo::writeEmpty(memo, xbase::Memo::kDefaultBlockSize))
        return failWith("cannot write " + paths.memo);
    if (!index.open(paths.index, true, true) || !xbase::Index::writeEmpty(index))
        return failWith("cannot write " + paths.index);
    return true;
}

std::unique_ptr<XBaseTable> XBaseTable::open(const XBasePaths& paths, XBaseMode mode, std::string* error) {
    std::unique_ptr<XBaseTable> t(new XBaseTable);
    const bool writable = mode == XBaseMode::ReadWrite;
    std::string why;
    if (!t->table_.open(paths.table, writable))
        why = "cannot open " + paths.table;
    else if (!t->table_.lock(writable ? xbase::Lock::Exclusive : xbase::Lock::Shared))
        why = paths.table + " is in use";
    else if (t->readHeader(why) && t->attachMemo(paths.memo, writable, why) &&
             t->attachIndex(paths.index, writable, why))
        t->open_ = true;
    if (!t->open_) {
        if (error) *error = why.empty() ? "cannot open " + paths.table : why;
        return nullptr;
    }
    return t;
}

XBaseTable::~XBaseTable() { close(); }

void XBaseTable::close() {
    open_ = false;
    index_.close();
    memo_.close();
    table_.close();
}

bool XBaseTable::readHeader(std::string& why) {
    const long long length = table_.length();
    std::array<unsigned char, 32> head{};
    if (length < 32 || !table_.readAt(0, head.data(), head.size())) return refuse(why, "table file too short");
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
    if (std::uint64_t{headerLength_} + std::uint64_t{count} * recordLength_ > static_cast<std::uint64_t>(length))
        return refuse(why, "table file shorter than its rows");
    count_ = count;
    keyOffset_ = key->offset;
    memoOffset_ = memo->offset;
    memoWidth_ = memo->width;
    return true;
}

bool XBaseTable::attachMemo(const std::string& path, bool writable, std::string& why) {
    xbase::File file;
    if (!file.open(path, writable)) return refuse(why, "cannot open memo file " + path);
    if (!memo_.attach(std::move(file))) return refuse(why, "damaged memo file " + path);
    return true;
}

bool XBaseTable::attachIndex(const std::string& path, bool writable, std::string& why) {
    xbase::File file;
    if (!file.open(path, writable, writable)) return refuse(why, "cannot open index " + path);
    // A missing index (created empty just now) is made from the rows.
    if (writable && file.length() == 0 && !xbase::Index::writeEmpty(file))
        return refuse(why, "cannot write index " + path);
    const xbase::Index::Check check = index_.attach(std::move(file));
    if (check == xbase::Index::Check::NotOurs) return refuse(why, path + " is not an index on upper(INDEX)");
    if (check == xbase::Index::Check::Sound && index_.size() == count_) return true;
    if (!writable) return refuse(why, "index " + path + " is damaged or out of date");
    return rebuildIndex() || refuse(why, "cannot rebuild index " + path);
}

bool XBaseTable::rebuildIndex() {
    std::vector<xbase::cdx::Entry> entries;
    entries.reserve(count_);
    std::string record;
    for (std::uint32_t recno = 1; recno <= count_; ++recno) {
        if (!readRecord(recno, record)) return false;
        entries.push_back({indexKey(std::string_view(record).substr(keyOffset_, kKeyLength)), recno, 0});
    }
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
    record.assign(recordLength_, '\0');
    return table_.readAt(recordOffset(recno), record.data(), record.size()) || fail("cannot read the table");
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
    std::string record(recordLength_ + 1, ' ');
    record[0] = kLive;
    const std::string_view value = key.substr(0, kKeyLength);
    record.replace(keyOffset_, value.size(), value);
    if (memoWidth_ == 4) record.replace(memoOffset_, 4, 4, '\0');
    record.back() = static_cast<char>(kEndOfFile);
    const std::uint32_t recno = count_ + 1;
    // The row is written before the header counts it, so a crash in between leaves
    // the table as it was.
    if (!table_.writeAt(recordOffset(recno), record) || !writeCount(recno))
        return none("cannot write the table");
    count_ = recno;
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
    while (i < field.size() && (field[i] == ' ' || field[i] == '\0')) ++i;
    std::uint64_t block = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        block = block * 10 + static_cast<std::uint64_t>(field[i] - '0');
        if (block > 0xFFFFFFFFu) return std::nullopt;
    }
    while (i < field.size() && (field[i] == ' ' || field[i] == '\0')) ++i;
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
    if (*block == oldBlock && memoBlock(record)) return true;
    std::string pointer(memoWidth_, ' ');
    if (memoWidth_ == 4)
        putLE(reinterpret_cast<unsigned char*>(pointer.data()), 4, *block);
    else if (*block != 0)
        pointer = padLeft(plainNumber(*block), memoWidth_);
    return table_.writeAt(recordOffset(recno) + memoOffset_, pointer) || fail("cannot write the table");
}

bool XBaseTable::setDeleted(std::uint32_t recno, bool deleted) {
    std::string record;
    if (!table_.writable()) return fail("table not open for writing");
    if (!readRecord(recno, record)) return false;
    const char flag = deleted ? kDeleted : kLive;
    return table_.writeAt(recordOffset(recno), &flag, 1) || fail("cannot write the table");
}

bool XBaseTable::zap() {
    if (!open_ || !table_.writable()) return fail("table not open for writing");
    // The row count goes first: whatever happens after it, no old row is counted again.
    const char end = static_cast<char>(kEndOfFile);
    if (!writeCount(0) || !table_.truncate(headerLength_) || !table_.writeAt(headerLength_, &end, 1))
        return fail("cannot empty the table");
    count_ = 0;
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
        if (indexKey(std::string_view(record).substr(keyOffset_, kKeyLength)).compare(0, prefix.size(), prefix) != 0)
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
