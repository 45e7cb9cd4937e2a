// The long-text store of version 01/96 (VTEXT.DBF, VTEXT.FPT, INTEXT.CDX) opened from
// arbitrary bytes, read, searched, written and opened again.
//
// Input: a flags byte, then either (bit 0 set) a script alone, run on a store made fresh,
// or the table, memo file and index bytes and the script, cut apart by kCut (a part that
// is missing is a file that is missing). The script appends rows, writes memos, marks
// rows deleted, searches, empties the store and reopens it.
//
// What must hold: a read-only opening changes no file; every row the header counts can be
// read; whatever the search returns is a live row with the key; on a store opened
// read-write, each write reads back at once, and after closing, the store opens
// read-only (its index is sound and in step) and still holds what was written. On a
// store made fresh or emptied, every row is known and the search must find exactly the
// live rows with the key, in index order.
#include "records/XBaseTable.h"
#include "tools/fuzz/FuzzSupport.h"

#include <algorithm>
#include <map>
#include <memory>

namespace {

using namespace arti;
using arti::fuzz::Bytes;
using Store = std::unique_ptr<XBaseTable>;

constexpr std::string_view kCut = "\n=CUT=\n";
// Each search reads every row it finds: a store of n rows is searched for a sample of
// its keys, not for all n, and stays below kMaxRows.
constexpr std::uint32_t kSearchedRows = 32;
constexpr std::size_t kMaxRows = 1500;

struct Row {
    std::string key; // as stored: 11 bytes
    bool deleted = false;
    std::string memo;
};

struct Model {
    std::map<std::uint32_t, Row> rows; // the rows written here
    std::uint32_t count = 0;
    bool complete = false; // every row of the store is in `rows`
    bool aliased = false;  // a memo of a row not ours was written: it may share blocks
};

std::string storedKey(std::string_view key) {
    std::string k(key.substr(0, XBaseTable::kKeyLength));
    k.resize(XBaseTable::kKeyLength, ' ');
    return k;
}

// A search key longer than the field finds nothing.
bool matches(const std::string& storedKey, const std::string& prefix) {
    if (prefix.size() > XBaseTable::kKeyLength) return false;
    const std::string p = XBaseTable::indexKey(prefix).substr(0, prefix.size());
    return XBaseTable::indexKey(storedKey).compare(0, p.size(), p) == 0;
}

// What a search for `prefix` may and must return.
void expectSearch(const XBaseTable& t, const Model& m, const std::string& prefix) {
    const std::vector<std::uint32_t> found = t.seekAll(prefix);
    for (std::uint32_t recno : found) {
        const auto row = t.row(recno);
        ARTI_FUZZ_EXPECT(row && !row->deleted && matches(row->key, prefix),
                         "search gave row " + std::to_string(recno));
    }
    std::vector<std::pair<std::string, std::uint32_t>> want;
    for (const auto& [recno, row] : m.rows)
        if (!row.deleted && matches(row.key, prefix)) want.emplace_back(XBaseTable::indexKey(row.key), recno);
    for (const auto& [key, recno] : want)
        ARTI_FUZZ_EXPECT(std::find(found.begin(), found.end(), recno) != found.end(), "search missed " + key);
    if (m.complete) {
        std::sort(want.begin(), want.end());
        ARTI_FUZZ_EXPECT(found.size() == want.size(), "search found too much for " + prefix);
        for (std::size_t i = 0; i < want.size(); ++i)
            ARTI_FUZZ_EXPECT(found[i] == want[i].second, "index order");
    }
    const auto first = t.seek(prefix);
    ARTI_FUZZ_EXPECT(first == (found.empty() ? std::nullopt : std::optional(found.front())),
                     "seek and seekAll differ");
}

// Every row the header counts can be read; the search answers for the first rows' keys.
void lookAround(const XBaseTable& t, const Model& m) {
    for (std::uint32_t recno = 1; recno <= t.rowCount(); ++recno) {
        const auto row = t.row(recno);
        ARTI_FUZZ_EXPECT(row && row->key.size() == XBaseTable::kKeyLength, "row " + std::to_string(recno));
        (void)t.memo(recno);
        if (recno <= kSearchedRows) expectSearch(t, m, row->key);
    }
    ARTI_FUZZ_EXPECT(!t.row(0) && !t.row(t.rowCount() + 1), "a row outside the table");
}

void expectModel(const XBaseTable& t, const Model& m) {
    ARTI_FUZZ_EXPECT(t.rowCount() == m.count,
                     std::to_string(t.rowCount()) + " rows, not " + std::to_string(m.count));
    const std::size_t every = m.rows.size() / kSearchedRows + 1;
    std::size_t i = 0;
    for (const auto& [recno, want] : m.rows) {
        const auto row = t.row(recno);
        ARTI_FUZZ_EXPECT(row && row->key == want.key && row->deleted == want.deleted,
                         "row " + std::to_string(recno));
        if (!m.aliased) ARTI_FUZZ_EXPECT(t.memo(recno) == want.memo, "memo of row " + std::to_string(recno));
        if (i++ % every == 0) expectSearch(t, m, want.key);
    }
}

class Session {
public:
    Session(XBasePaths paths, Model& model) : paths_(std::move(paths)), m_(model) {}
    // Runs the script on the store opened read-write.
    void run(Bytes& in);
    Store& store() { return t_; }
    bool open() {
        std::string why;
        t_ = XBaseTable::open(paths_, XBaseMode::ReadWrite, &why);
        return t_ != nullptr;
    }

private:
    void append(std::string_view key);
    void appendMany(Bytes& in);
    void setMemo(Bytes& in);
    void setDeleted(Bytes& in);
    void zap();
    void reopen();
    std::uint32_t pick(Bytes& in, bool& ours);

    XBasePaths paths_;
    Model& m_;
    Store t_;
};

void Session::append(std::string_view key) {
    const auto recno = t_->append(key);
    ARTI_FUZZ_EXPECT(recno && *recno == m_.count + 1, t_->lastError());
    m_.count = *recno;
    m_.rows[*recno] = Row{storedKey(key), false, {}};
    const auto row = t_->row(*recno);
    ARTI_FUZZ_EXPECT(row && row->key == storedKey(key) && !row->deleted, "appended row");
    ARTI_FUZZ_EXPECT(t_->memo(*recno) == std::string(), "memo of an appended row");
}

// Keys that fill and split index pages: ascending, descending or scattered.
void Session::appendMany(Bytes& in) {
    const std::uint8_t how = in.byte();
    const int n = m_.rows.size() < kMaxRows ? in.byte() % 96 : 0;
    std::uint32_t x = how;
    for (int i = 0; i < n; ++i) {
        std::uint32_t v = static_cast<std::uint32_t>(i);
        if ((how & 3) == 1) v = 100000u - v;
        if ((how & 3) >= 2) v = x = x * 1103515245u + 12345u;
        std::string key = std::to_string(v % 1000000u);
        if (how & 4) key = std::string(11 - std::min<std::size_t>(key.size(), 11), '0') + key;
        append(key);
    }
}

std::uint32_t Session::pick(Bytes& in, bool& ours) {
    const std::uint16_t v = in.u16();
    ours = !m_.rows.empty() && (v & 1) == 0;
    if (ours) return std::next(m_.rows.begin(), static_cast<long>((v >> 1) % m_.rows.size()))->first;
    return m_.count == 0 ? 1 : 1 + (v >> 1) % m_.count;
}

void Session::setMemo(Bytes& in) {
    bool ours = false;
    const std::uint32_t recno = pick(in, ours);
    const std::uint8_t how = in.byte();
    std::string text = in.take(how & 0x3F);
    if (how & 0x40)
        text = std::string(static_cast<std::size_t>(in.u16() % 9000), text.empty() ? 'x' : text[0]);
    const bool written = t_->setMemo(recno, text);
    if (recno > m_.count) {
        ARTI_FUZZ_EXPECT(!written, "memo of a row that is not there");
        return;
    }
    ARTI_FUZZ_EXPECT(written, t_->lastError());
    ARTI_FUZZ_EXPECT(t_->memo(recno) == text, "memo read back");
    if (!ours && !m_.complete) m_.aliased = true;
    if (ours || m_.complete) m_.rows[recno].memo = text;
}

void Session::setDeleted(Bytes& in) {
    bool ours = false;
    const std::uint32_t recno = pick(in, ours);
    const bool deleted = in.byte() & 1;
    const bool done = t_->setDeleted(recno, deleted);
    ARTI_FUZZ_EXPECT(done == (recno <= m_.count), t_->lastError());
    if (!done) return;
    ARTI_FUZZ_EXPECT(t_->row(recno)->deleted == deleted, "deleted flag read back");
    if (ours || m_.complete) m_.rows[recno].deleted = deleted;
}

void Session::zap() {
    ARTI_FUZZ_EXPECT(t_->zap(), t_->lastError());
    ARTI_FUZZ_EXPECT(t_->rowCount() == 0 && !t_->row(1), "rows after emptying");
    m_ = Model{};
    m_.complete = true;
}

void Session::reopen() {
    t_->close();
    t_.reset();
    ARTI_FUZZ_EXPECT(open(), "the store does not open again");
    expectModel(*t_, m_);
}

void Session::run(Bytes& in) {
    for (int steps = 0; !in.empty() && steps < 48; ++steps) {
        switch (in.byte() % 8) {
        case 0:
            append(in.take(in.byte() % 14));
            break;
        case 1:
            appendMany(in);
            break;
        case 2:
            setMemo(in);
            break;
        case 3:
            setDeleted(in);
            break;
        case 4:
            expectSearch(*t_, m_, in.take(in.byte() % 13));
            break;
        case 5:
            zap();
            break;
        case 6:
            reopen();
            break;
        default:
            expectModel(*t_, m_);
            break;
        }
    }
}

std::map<std::string, std::string> snapshot(const XBasePaths& p) {
    std::map<std::string, std::string> files;
    for (const std::string& f : {p.table, p.memo, p.index})
        if (std::filesystem::exists(f)) files[f] = arti::fuzz::readFile(f);
    return files;
}

// The files of the input, or a fresh store, and the script.
void prepare(const XBasePaths& paths, std::uint8_t flags, Bytes& in, std::string& script) {
    if (flags & 1) {
        ARTI_FUZZ_EXPECT(XBaseTable::create(paths), "create");
        script = in.rest();
        return;
    }
    const std::string all = in.rest();
    std::vector<std::string> parts;
    for (std::size_t at = 0;;) {
        const std::size_t cut = all.find(kCut, at);
        parts.push_back(all.substr(at, cut == std::string::npos ? std::string::npos : cut - at));
        if (cut == std::string::npos || parts.size() == 4) break;
        at = cut + kCut.size();
    }
    const std::string* names[] = {&paths.table, &paths.memo, &paths.index};
    for (std::size_t i = 0; i < 3 && i < parts.size(); ++i)
        arti::fuzz::writeFile(*names[i], parts[i]);
    script = parts.size() == 4 ? parts[3] : std::string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::uint8_t flags = in.byte();
    const XBasePaths paths = XBasePaths::longTextStore(arti::fuzz::Scratch::get().fresh("store").string());
    std::string script;
    prepare(paths, flags, in, script);
    const int descriptors = arti::fuzz::openDescriptors();
    Model model;
    model.complete = (flags & 1) != 0;

    const auto before = snapshot(paths);
    if (Store ro = XBaseTable::open(paths, XBaseMode::ReadOnly)) lookAround(*ro, Model{});
    ARTI_FUZZ_EXPECT(snapshot(paths) == before, "a read-only opening changed the files");

    Session s(paths, model);
    if (s.open()) {
        model.count = s.store()->rowCount();
        lookAround(*s.store(), model);
        Bytes ops(reinterpret_cast<const std::uint8_t*>(script.data()), script.size());
        s.run(ops);
        s.store().reset();
        std::string why;
        const Store ro = XBaseTable::open(paths, XBaseMode::ReadOnly, &why);
        ARTI_FUZZ_EXPECT(ro, "after writing, the store does not open read-only: " + why);
        expectModel(*ro, model);
    } else {
        ARTI_FUZZ_EXPECT(!(flags & 1), "a fresh store does not open");
    }
    ARTI_FUZZ_EXPECT(arti::fuzz::openDescriptors() == descriptors, "a file of the store stayed open");
    return 0;
}
