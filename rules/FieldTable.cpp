#include "rules/FieldTable.h"

#include <algorithm>
#include <limits>

namespace arti {

void FieldTable::reset(std::span<const FieldDef> defs) {
    defs_ = defs;
    rows_.assign(defs.size(), Filled{});
    text_.clear();
}

void FieldTable::setContent(std::size_t row, std::string_view content) {
    Filled& f = rows_[row];
    // Content set again for the same row is appended anew; a record is short, so the
    // buffer never comes near the limits of the offsets.
    if (text_.size() + content.size() > std::numeric_limits<std::uint32_t>::max()) {
        f.offset = 0;
        f.length = 0;
        return;
    }
    f.offset = static_cast<std::uint32_t>(text_.size());
    f.length = static_cast<std::uint32_t>(content.size());
    text_.append(content);
}

const FieldTable::FixedLayout& FieldTable::fixedLayout(std::span<const FieldDef> defs) {
    for (const FixedLayout& l : layouts_)
        if (l.defs == defs.data() && l.count == defs.size()) return l;
    FixedLayout l{defs.data(), defs.size(), 0, std::vector<Filled>(defs.size())};
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const std::size_t width = defs[i].width();
        l.rows[i] = Filled{static_cast<std::uint32_t>(l.width), static_cast<std::uint32_t>(width),
                           static_cast<std::uint32_t>(l.width + 1), static_cast<std::uint32_t>(i + 1)};
        l.width += width;
    }
    layouts_.push_back(std::move(l));
    return layouts_.back();
}

std::size_t FieldTable::fillFixed(std::span<const FieldDef> defs, std::string_view record) {
    defs_ = defs;
    // One copy of the record holds every field's content.
    text_.assign(record.substr(0, std::min<std::size_t>(record.size(), std::numeric_limits<std::uint32_t>::max())));
    const FixedLayout& layout = fixedLayout(defs);
    const std::size_t have = text_.size();
    if (have >= layout.width) {
        rows_.assign(layout.rows.begin(), layout.rows.end());
        return layout.width;
    }
    // A record shorter than its fields: a field beyond its end stays empty, one across
    // its end is cut.
    rows_.resize(defs.size());
    for (std::size_t i = 0; i < defs.size(); ++i) {
        Filled f = layout.rows[i];
        const std::size_t start = f.offset;
        f.offset = static_cast<std::uint32_t>(std::min(start, have));
        f.length = static_cast<std::uint32_t>(start < have ? std::min<std::size_t>(f.length, have - start) : 0);
        rows_[i] = f;
    }
    return layout.width;
}

namespace {

// Whether the fields were cut from one text, one separator character apart (as the
// record step cuts them): then one copy of their span holds every content.
bool oneSeparatorApart(std::span<const std::string_view> fields) {
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const auto end = reinterpret_cast<std::uintptr_t>(fields[i - 1].data()) + fields[i - 1].size();
        if (reinterpret_cast<std::uintptr_t>(fields[i].data()) != end + 1) return false;
    }
    return true;
}

} // namespace

std::size_t FieldTable::fillSplit(std::span<const FieldDef> defs, std::span<const std::string_view> fields) {
    defs_ = defs;
    rows_.resize(defs.size());
    text_.clear();
    const std::size_t n = std::min(fields.size(), defs.size());
    const std::span<const std::string_view> taken = fields.first(n);
    if (n > 0 && oneSeparatorApart(taken)) {
        const char* const first = taken.front().data();
        const std::size_t span = static_cast<std::size_t>(taken.back().data() - first) + taken.back().size();
        if (span <= std::numeric_limits<std::uint32_t>::max()) {
            // The separators stay in the copy; a field's position is its offset + 1.
            text_.assign(first, span);
            for (std::size_t i = 0; i < n; ++i) {
                const auto offset = static_cast<std::uint32_t>(taken[i].data() - first);
                rows_[i] = Filled{offset, static_cast<std::uint32_t>(taken[i].size()), offset + 1,
                                  static_cast<std::uint32_t>(i + 1)};
            }
            for (std::size_t i = n; i < defs.size(); ++i) rows_[i] = Filled{0, 0, 0, static_cast<std::uint32_t>(i + 1)};
            return n;
        }
    }
    std::size_t position = 1;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        Filled& f = rows_[i];
        f.number = static_cast<std::uint32_t>(i + 1);
        if (i >= n || text_.size() + fields[i].size() > std::numeric_limits<std::uint32_t>::max()) {
            f.offset = f.length = f.position = 0;
            continue;
        }
        if (i > 0) position += fields[i - 1].size() + 1; // one separator
        f.offset = static_cast<std::uint32_t>(text_.size());
        f.length = static_cast<std::uint32_t>(fields[i].size());
        f.position = static_cast<std::uint32_t>(position);
        text_.append(fields[i]);
    }
    return n;
}

namespace {

std::string numberText(std::uint32_t n) { return n == 0 ? std::string() : std::to_string(n); }

// Decimal text of n into out, reusing its storage; 0 gives an empty text.
void numberInto(std::uint32_t n, std::string& out) {
    char buf[12];
    std::size_t len = 0;
    for (; n > 0; n /= 10) buf[len++] = static_cast<char>('0' + n % 10);
    out.resize(len);
    for (std::size_t i = 0; i < len; ++i) out[i] = buf[len - 1 - i];
}

} // namespace

std::string FieldTable::column(std::size_t row, FieldCol col) const {
    const FieldDef& d = defs_[row];
    switch (col) {
    case FieldCol::Inhalt: return std::string(content(row));
    case FieldCol::Name: return std::string(d.name);
    case FieldCol::Laenge: return std::string(d.length);
    case FieldCol::Typ: return std::string(d.type);
    case FieldCol::MK: return std::string(d.mk);
    case FieldCol::Pos: return numberText(rows_[row].position);
    case FieldCol::Nr: return numberText(rows_[row].number);
    case FieldCol::Werte: return std::string(d.values);
    case FieldCol::Flag: return std::string(d.flag);
    }
    return {};
}

void FieldTable::columnInto(std::size_t row, FieldCol col, std::string& out) const {
    const FieldDef& d = defs_[row];
    switch (col) {
    case FieldCol::Inhalt: out.assign(content(row)); return;
    case FieldCol::Name: out.assign(d.name); return;
    case FieldCol::Laenge: out.assign(d.length); return;
    case FieldCol::Typ: out.assign(d.type); return;
    case FieldCol::MK: out.assign(d.mk); return;
    case FieldCol::Pos: numberInto(rows_[row].position, out); return;
    case FieldCol::Nr: numberInto(rows_[row].number, out); return;
    case FieldCol::Werte: out.assign(d.values); return;
    case FieldCol::Flag: out.assign(d.flag); return;
    }
    out.clear();
}

std::vector<std::string> FieldTable::rowTexts(std::size_t row, int count) const {
    if (count > kFieldColumns) count = kFieldColumns;
    std::vector<std::string> texts;
    texts.reserve(count > 0 ? static_cast<std::size_t>(count) : 0u);
    for (int c = 1; c <= count; ++c)
        texts.push_back(column(row, static_cast<FieldCol>(c)));
    return texts;
}

} // namespace arti
