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

std::size_t FieldTable::fillFixed(std::span<const FieldDef> defs, std::string_view record) {
    defs_ = defs;
    rows_.resize(defs.size());
    // One copy of the record holds every field's content.
    text_.assign(record.substr(0, std::min<std::size_t>(record.size(), std::numeric_limits<std::uint32_t>::max())));
    const std::size_t have = text_.size();
    std::size_t start = 0;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const std::size_t width = defs[i].width();
        Filled& f = rows_[i];
        f.offset = static_cast<std::uint32_t>(std::min(start, have));
        f.length = static_cast<std::uint32_t>(start < have ? std::min(width, have - start) : 0);
        f.position = static_cast<std::uint32_t>(start + 1);
        f.number = static_cast<std::uint32_t>(i + 1);
        start += width;
    }
    return start;
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
