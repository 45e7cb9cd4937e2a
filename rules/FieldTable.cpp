#include "rules/FieldTable.h"

#include "core/Text.h"
#include "rules/FieldSplit.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>

namespace arti {

void FieldTable::reset(std::span<const FieldDef> defs) {
    fixedComplete_ = false;
    defs_ = defs;
    rows_.assign(defs.size(), Filled{});
    numbered_ = 0;
    ownRows();
    text_.clear();
    textSize_ = 0;
}

void FieldTable::setContent(std::size_t row, std::string_view content) {
    fixedComplete_ = false;
    copyRows();
    text_.resize(textSize_);
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
    textSize_ = text_.size();
}

const FieldTable::FixedLayout& FieldTable::fixedLayout(std::span<const FieldDef> defs) {
    const auto same = [&defs](const FixedLayout& l) {
        return l.defs == defs.data() && l.count == defs.size();
    };
    constexpr std::size_t kSlots = std::tuple_size_v<decltype(layoutSlots_)>;
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(defs.data()));
    std::size_t at = static_cast<std::size_t>((address * 0x9E3779B97F4A7C15ULL) >> 59) % kSlots;
    for (std::size_t probes = 0; probes < kSlots; ++probes, at = (at + 1) % kSlots) {
        const std::uint8_t slot = layoutSlots_[at];
        if (slot == 0) return addFixedLayout(defs, &layoutSlots_[at]);
        if (same(layouts_[slot - 1])) return layouts_[slot - 1];
    }
    // Every slot taken (more tables than a table ever cuts): later layouts are only in the
    // list. Slots are taken only while there are fewer layouts than slots.
    for (const FixedLayout& l : layouts_)
        if (same(l)) return l;
    return addFixedLayout(defs, nullptr);
}

const FieldTable::FixedLayout& FieldTable::addFixedLayout(std::span<const FieldDef> defs,
                                                          std::uint8_t* slot) {
    FixedLayout l{defs.data(), defs.size(), 0, std::vector<Filled>(defs.size())};
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const std::size_t width = defs[i].width();
        l.rows[i] = Filled{static_cast<std::uint32_t>(l.width), static_cast<std::uint32_t>(width),
                           static_cast<std::uint32_t>(l.width + 1), static_cast<std::uint32_t>(i + 1)};
        l.width += width;
    }
    layouts_.push_back(std::move(l));
    if (slot) *slot = static_cast<std::uint8_t>(layouts_.size());
    return layouts_.back();
}

std::size_t FieldTable::fillFixed(std::span<const FieldDef> defs, std::string_view record) {
    fixedComplete_ = false;
    defs_ = defs;
    // One copy of the record holds every field's content. Records of a file have one
    // length, so the copy goes over the last record's bytes.
    const std::string_view kept =
        record.substr(0, std::min<std::size_t>(record.size(), std::numeric_limits<std::uint32_t>::max()));
    if (textSize_ == kept.size() && kept.data() != text_.data())
        std::char_traits<char>::move(text_.data(), kept.data(), kept.size());
    else
        text_.assign(kept);
    textSize_ = kept.size();
    const FixedLayout& layout = fixedLayout(defs);
    const std::size_t have = textSize_;
    if (have >= layout.width) {
        // The layout's rows are read in place; layouts are kept as long as the table.
        data_ = layout.rows.data();
        count_ = layout.rows.size();
        fixedComplete_ = true;
        return layout.width;
    }
    // A record shorter than its fields: a field beyond its end stays empty, one across
    // its end is cut.
    rows_.resize(defs.size());
    numbered_ = 0;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        Filled f = layout.rows[i];
        const std::size_t start = f.offset;
        f.offset = static_cast<std::uint32_t>(std::min(start, have));
        f.length =
            static_cast<std::uint32_t>(start < have ? std::min<std::size_t>(f.length, have - start) : 0);
        rows_[i] = f;
    }
    ownRows();
    return layout.width;
}

// The record is copied over the buffer where it fits (it may lie in the buffer itself,
// so the copy is a move); a longer one from elsewhere is cleared and appended, the
// shorter way of the library, and a text inside this table's own buffer is assigned,
// which keeps it intact while copied.
void FieldTable::copyText(std::string_view cut) {
    const std::less_equal<const char*> notAfter;
    if (cut.size() <= text_.size()) {
        std::char_traits<char>::move(text_.data(), cut.data(), cut.size());
    } else if (notAfter(text_.data(), cut.data()) && notAfter(cut.data(), text_.data() + text_.size())) {
        text_.assign(cut);
    } else {
        text_.clear();
        text_.append(cut.data(), cut.size());
    }
    textSize_ = cut.size();
}

FieldTable::FillCount FieldTable::fillSplit(std::span<const FieldDef> defs, std::string_view text,
                                            std::string_view separator) {
    defs_ = defs;
    const std::size_t rows = defs.size();
    const std::string_view cut = trimRightView(text.substr(0, std::numeric_limits<std::uint32_t>::max() - 1));
    // A text of n bytes has at most n + 1 fields. The storage keeps its largest size, at
    // least that many rows, so that every field is written without asking whether the
    // table has a row for it (those beyond the table's rows are not read), and no record
    // initialises rows it then writes.
    const std::size_t room = std::max(rows, cut.size() + 1);
    if (rows_.size() < room) {
        numbered_ = std::min(numbered_, rows_.size());
        rows_.resize(room);
    }
    data_ = rows_.data();
    count_ = rows;
    // The rows are written through a plain pointer: the record step cuts every record,
    // and this loop is most of the cutting. A field writes its offset and length, one
    // word where the byte order allows, and its position; the running numbers are written
    // below where the rows do not hold them yet. The text is shorter than 2^32 bytes, so
    // offset and length fit their 32 bits.
    Filled* out = rows_.data();
    const auto row = [&out](std::size_t offset, std::size_t length) {
        if constexpr (std::endian::native == std::endian::little) {
            const std::uint64_t word = offset + (std::uint64_t{length} << 32);
            std::memcpy(static_cast<void*>(out), &word, sizeof word);
        } else {
            out->offset = static_cast<std::uint32_t>(offset);
            out->length = static_cast<std::uint32_t>(length);
        }
        out->position = static_cast<std::uint32_t>(offset + 1);
        ++out;
    };
    // A record apart from the buffer and no longer than it is copied while it is cut;
    // otherwise it is copied first and the copy is cut.
    const auto at = [](const char* p) { return reinterpret_cast<std::uintptr_t>(p); };
    if (cut.size() <= text_.size() && (at(cut.data()) + cut.size() <= at(text_.data()) ||
                                       at(text_.data()) + cut.size() <= at(cut.data()))) {
        textSize_ = cut.size();
        copyEachField(cut, separator, text_.data(), row);
    } else {
        copyText(cut);
        forEachField(std::string_view(text_.data(), textSize_), separator, row);
    }
    const auto count = static_cast<std::size_t>(out - rows_.data());
    const std::size_t taken = std::min(count, rows);
    // The rows without a field are empty, without position.
    for (std::size_t i = taken; i < rows; ++i) {
        rows_[i].offset = 0;
        rows_[i].length = 0;
        rows_[i].position = 0;
    }
    if (numbered_ < rows) {
        for (std::size_t i = numbered_; i < rows; ++i)
            rows_[i].number = static_cast<std::uint32_t>(i + 1);
        numbered_ = rows;
    }
    return FillCount{taken, count, 0};
}

namespace {

std::string numberText(std::uint32_t n) {
    return n == 0 ? std::string() : std::to_string(n);
}

// Decimal text of n into out, reusing its storage; 0 gives an empty text.
void numberInto(std::uint32_t n, std::string& out) {
    char buf[12];
    std::size_t len = 0;
    for (; n > 0; n /= 10)
        buf[len++] = static_cast<char>('0' + n % 10);
    out.resize(len);
    for (std::size_t i = 0; i < len; ++i)
        out[i] = buf[len - 1 - i];
}

} // namespace

std::string FieldTable::column(std::size_t row, FieldCol col) const {
    const FieldDef& d = defs_[row];
    switch (col) {
    case FieldCol::Inhalt:
        return std::string(content(row));
    case FieldCol::Name:
        return std::string(d.name);
    case FieldCol::Laenge:
        return std::string(d.length);
    case FieldCol::Typ:
        return std::string(d.type);
    case FieldCol::MK:
        return std::string(d.mk);
    case FieldCol::Pos:
        return numberText(data_[row].position);
    case FieldCol::Nr:
        return numberText(data_[row].number);
    case FieldCol::Werte:
        return std::string(d.values);
    case FieldCol::Flag:
        return std::string(d.flag);
    }
    return {};
}

void FieldTable::columnInto(std::size_t row, FieldCol col, std::string& out) const {
    const FieldDef& d = defs_[row];
    switch (col) {
    case FieldCol::Inhalt:
        out.assign(content(row));
        return;
    case FieldCol::Name:
        out.assign(d.name);
        return;
    case FieldCol::Laenge:
        out.assign(d.length);
        return;
    case FieldCol::Typ:
        out.assign(d.type);
        return;
    case FieldCol::MK:
        out.assign(d.mk);
        return;
    case FieldCol::Pos:
        numberInto(data_[row].position, out);
        return;
    case FieldCol::Nr:
        numberInto(data_[row].number, out);
        return;
    case FieldCol::Werte:
        out.assign(d.values);
        return;
    case FieldCol::Flag:
        out.assign(d.flag);
        return;
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
