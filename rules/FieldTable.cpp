#include "rules/FieldTable.h"

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

std::string_view FieldTable::content(std::size_t row) const {
    const Filled& f = rows_[row];
    return std::string_view(text_).substr(f.offset, f.length);
}

namespace {

std::string numberText(std::uint32_t n) { return n == 0 ? std::string() : std::to_string(n); }

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

std::vector<std::string> FieldTable::rowTexts(std::size_t row, int count) const {
    if (count > kFieldColumns) count = kFieldColumns;
    std::vector<std::string> texts;
    texts.reserve(count > 0 ? static_cast<std::size_t>(count) : 0u);
    for (int c = 1; c <= count; ++c)
        texts.push_back(column(row, static_cast<FieldCol>(c)));
    return texts;
}

} // namespace arti
