// Field tables: the constant definition of every field of a record type, and the table
// of the record at hand, which refers to those definitions and adds what changes per
// record (content, start position, running number).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

// The nine columns of a field table row, numbered as the findings list and the field
// window know them. The first seven are the columns of the findings list.
enum class FieldCol : int {
    Inhalt = 1, // content in the current record (per record)
    Name,       // field name (constant)
    Laenge,     // declared length, "8" or "2.2" (constant)
    Typ,        // "A" alphanumeric, "N" numeric (constant)
    MK,         // "M" mandatory, "K" optional (constant)
    Pos,        // start position in the record, 1-based (per record)
    Nr,         // running number in the record (per record)
    Werte,      // allowed values separated by "/", empty: no list (constant)
    Flag,       // flag text (constant)
};
inline constexpr int kListColumns = 7;
inline constexpr int kFieldColumns = 9;

// The declared length as the record holds it: the integer part plus the number after
// the point, so "2.2" occupies four characters. Text without digits gives 0.
constexpr std::size_t declaredWidth(std::string_view length) {
    std::size_t whole = 0, decimals = 0;
    bool afterPoint = false;
    for (const char c : length) {
        if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else if (c >= '0' && c <= '9') {
            std::size_t& part = afterPoint ? decimals : whole;
            part = part * 10 + static_cast<std::size_t>(c - '0');
        } else {
            break;
        }
    }
    return whole + decimals;
}

// What the checks treat apart in a row, read once from its constant columns when the
// table is compiled, so that no name or list is searched for each record.
enum FieldTrait : std::uint16_t {
    kTraitMandatory = 1 << 0,   // M/K is "M"
    kTraitNumeric = 1 << 1,     // type "N"
    kTraitAlpha = 1 << 2,       // type "A"
    kTraitList = 1 << 3,        // the allowed values hold more than blanks and tabs
    kTraitReserve = 1 << 4,     // named "Reserve" with the single-blank list: blanks only
    kTraitCurrency = 1 << 5,    // the name contains "Währung"
    kTraitDate = 1 << 6,        // the upper-cased name contains "DATUM"
    kTraitShortLength = 1 << 7, // the length is written with one character ("1" to "9")
    kTraitCodeZero = 1 << 8,    // flag "T": the field may be filled with code 0 (05/90)
};

namespace detail {

constexpr bool listed(std::string_view values) {
    for (const char c : values)
        if (c != ' ' && c != '\t') return true;
    return false;
}

constexpr bool containsUpperCased(std::string_view name, std::string_view upperWord) {
    for (std::size_t at = 0; at + upperWord.size() <= name.size(); ++at) {
        std::size_t i = 0;
        for (; i < upperWord.size(); ++i) {
            char c = name[at + i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (c != upperWord[i]) break;
        }
        if (i == upperWord.size()) return true;
    }
    return false;
}

constexpr std::uint16_t traitsOf(std::string_view name, std::string_view length, std::string_view type,
                                 std::string_view mk, std::string_view values, std::string_view flag) {
    std::uint16_t t = 0;
    if (mk == "M") t |= kTraitMandatory;
    if (type == "N") t |= kTraitNumeric;
    if (type == "A") t |= kTraitAlpha;
    if (listed(values)) t |= kTraitList;
    if (name == "Reserve" && values == " ") t |= kTraitReserve;
    if (name.find("W\xE4hrung") != std::string_view::npos) t |= kTraitCurrency;
    if (containsUpperCased(name, "DATUM")) t |= kTraitDate;
    if (length.size() == 1) t |= kTraitShortLength;
    if (flag == "T") t |= kTraitCodeZero;
    return t;
}

// The integer part of a declared length ("2.2" gives 2).
constexpr std::size_t wholeWidth(std::string_view length) {
    std::size_t w = 0;
    for (const char c : length) {
        if (c < '0' || c > '9') break;
        w = w * 10 + static_cast<std::size_t>(c - '0');
    }
    return w;
}

} // namespace detail

// One constant row of a field table. The texts live as long as the program (literals of
// the table files), so rows may be kept in constexpr arrays and referred to freely. The
// widths and traits are derived from the texts when the row is made.
struct FieldDef {
    constexpr FieldDef(std::string_view name_, std::string_view length_, std::string_view type_,
                       std::string_view mk_, std::string_view values_, std::string_view flag_)
        : name(name_), length(length_), type(type_), mk(mk_), values(values_), flag(flag_),
          traits(detail::traitsOf(name_, length_, type_, mk_, values_, flag_)),
          width_(static_cast<std::uint16_t>(declaredWidth(length_))),
          wholeWidth_(static_cast<std::uint16_t>(detail::wholeWidth(length_))) {}

    // Fixed when the row is made: the widths and traits are derived from them.
    const std::string_view name;
    const std::string_view length;
    const std::string_view type;
    const std::string_view mk;
    const std::string_view values;
    const std::string_view flag;
    const std::uint16_t traits;

    // Characters the field occupies in a fixed record ("2.2": four).
    constexpr std::size_t width() const { return width_; }
    // The integer part of the length ("2.2": two).
    constexpr std::size_t wholeWidth() const { return wholeWidth_; }
    constexpr bool has(FieldTrait t) const { return (traits & t) != 0; }
    constexpr bool numeric() const { return has(kTraitNumeric); }
    constexpr bool mandatory() const { return has(kTraitMandatory); }

private:
    const std::uint16_t width_;
    const std::uint16_t wholeWidth_;
};

// The record type of a table's first field as one letter; 0 when the field is not one
// character (no record type of any version).
constexpr char recordLetter(std::string_view firstField) {
    return firstField.size() == 1 ? firstField[0] : '\0';
}

// One row of the table of the record at hand, as the checks read it: the constant
// definition and the per-record columns. A view; valid until the table changes.
struct FieldRow {
    const FieldDef* def = nullptr;
    std::string_view content;   // column 1
    std::uint32_t position = 0; // column 6, 0: the record has no such field
    std::uint32_t number = 0;   // column 7, 0: not set

    std::string_view name() const { return def->name; }
};

// The field table of one record: one row per definition, in field order. The constant
// columns are read from the definitions; the contents are kept in one buffer owned by
// the table. Building the next record's table reuses the capacity of the last, so a
// run allocates only while its records keep growing.
class FieldTable {
public:
    FieldTable() = default;
    // A copy owns its rows (the original's may be those of one of its layouts).
    FieldTable(const FieldTable& other) { *this = other; }
    FieldTable& operator=(const FieldTable& other) {
        if (this == &other) return *this;
        defs_ = other.defs_;
        rows_.assign(other.data_, other.data_ + other.count_);
        numbered_ = 0;
        text_.assign(other.text());
        textSize_ = other.textSize_;
        layouts_.clear();
        layoutSlots_ = {};
        fixedComplete_ = other.fixedComplete_;
        ownRows();
        return *this;
    }
    // Moving keeps the storage, so the rows stay where they are.
    FieldTable(FieldTable&&) noexcept = default;
    FieldTable& operator=(FieldTable&&) noexcept = default;

    // Starts the table of a record type: one row per definition, every content empty,
    // position and running number 0 (they read as empty). The definitions must be of
    // static storage, as the constant tables of the versions are: the table and the
    // findings list keep what they work out for a table of definitions under its address.
    void reset(std::span<const FieldDef> defs);
    // No rows: a record type without a table.
    void clear() { reset({}); }
    // Takes the rows and contents of `other` (not its worked-out layouts), reusing this
    // table's storage: a copy of the record at hand costs two block copies.
    void assignRecord(const FieldTable& other) {
        fixedComplete_ = false;
        defs_ = other.defs_;
        rows_.assign(other.data_, other.data_ + other.count_);
        numbered_ = 0;
        ownRows();
        text_.assign(other.text());
        textSize_ = other.textSize_;
    }

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    std::span<const FieldDef> defs() const { return defs_; }
    const FieldDef& def(std::size_t row) const { return defs_[row]; }

    // Rows are counted from 0 here; the running number (column 7) is what the user sees.
    void setContent(std::size_t row, std::string_view content);
    void setPosition(std::size_t row, std::uint32_t position) {
        fixedComplete_ = false;
        copyRows();
        rows_[row].position = position;
    }
    void setNumber(std::size_t row, std::uint32_t number) {
        fixedComplete_ = false;
        copyRows();
        numbered_ = 0;
        rows_[row].number = number;
    }

    // The text that every row's content lies within (the record, for a filled table).
    std::string_view text() const { return std::string_view(text_.data(), textSize_); }
    std::string_view content(std::size_t row) const {
        const Filled& f = data_[row];
        return std::string_view(text_.data() + f.offset, f.length);
    }
    // Calls f(row, content) for every row in order: the field checks go through every row
    // of every record, and one pass over the rows spares them a lookup per row.
    template <typename F> void forEachContent(F&& f) const {
        const char* const text = text_.data();
        const Filled* const rows = data_;
        const std::size_t n = count_;
        for (std::size_t i = 0; i < n; ++i)
            f(i, std::string_view(text + rows[i].offset, rows[i].length));
    }
    // What filling the table from a record found, for the findings about the record as a
    // whole.
    struct FillCount {
        std::size_t taken = 0;  // rows filled: split, min(fields, rows); fixed, every row
        std::size_t fields = 0; // fields the record has: split, as cut; fixed, the rows
        std::size_t width = 0;  // fixed: the widths of all fields added up; split: 0
    };
    // The name the main window keeps the count of its split version 2000 record under.
    using SplitCount = FillCount;

    // Fills a fixed-position record: field after field at its width from column 1, as
    // far as the record reaches (a field beyond its end stays empty, one across its end
    // is cut). Returns the width of all fields, which a complete record has.
    std::size_t fillFixed(std::span<const FieldDef> defs, std::string_view record);
    // The record that fillFixed took whole (every field within it), as long as the rows
    // are still its layout unchanged; empty otherwise. Field i then lies at the sum of the
    // widths before it, so checks may read all fields' bytes at once.
    std::string_view fixedRecord() const { return fixedComplete_ ? text() : std::string_view(); }
    // Fills a record of fields split at a separator (see forEachField) from its text, in
    // one pass over one copy: row i takes field i (as many as both have), its position is
    // where it starts in the record, counted from 1; rows without a field stay empty with
    // position 0. Every row gets its running number.
    FillCount fillSplit(std::span<const FieldDef> defs, std::string_view text, std::string_view separator);
    FieldRow row(std::size_t row) const {
        return FieldRow{&defs_[row], content(row), data_[row].position, data_[row].number};
    }
    std::uint32_t position(std::size_t row) const { return data_[row].position; }
    std::uint32_t number(std::size_t row) const { return data_[row].number; }

    // The text of any of the nine columns, as the findings list and the field window show
    // it; a position or running number of 0 reads as empty.
    std::string column(std::size_t row, FieldCol col) const;
    // The same text written into `out`, reusing its storage: the findings list is filled
    // for every record of a run without allocating once its rows have grown.
    void columnInto(std::size_t row, FieldCol col, std::string& out) const;
    // The first `count` columns of a row (the findings list takes seven).
    std::vector<std::string> rowTexts(std::size_t row, int count = kListColumns) const;

private:
    struct Filled {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
        std::uint32_t position = 0;
        std::uint32_t number = 0;
    };

    // The rows of a complete fixed-position record of one record type: the same for
    // every record of the type, so they are worked out once.
    struct FixedLayout {
        const FieldDef* defs = nullptr;
        std::size_t count = 0;
        std::size_t width = 0;
        std::vector<Filled> rows;
    };
    const FixedLayout& fixedLayout(std::span<const FieldDef> defs);
    // Makes `cut` the table's text (it may lie in the table's own buffer).
    void copyText(std::string_view cut);
    // Works out the layout of a table met for the first time; `slot` is the free slot to
    // keep it in, or none.
    const FixedLayout& addFixedLayout(std::span<const FieldDef> defs, std::uint8_t* slot);

    // The rows in use: the first count_ of rows_ (a split record leaves rows_ at its
    // largest size), or the rows of the layout of a complete fixed-position record, read
    // in place (records of alternating types would otherwise copy their layout's rows for
    // every record).
    void ownRows() {
        data_ = rows_.data();
        count_ = rows_.size();
    }
    // Makes the rows in use rows_, before a row is changed.
    void copyRows() {
        if (data_ == rows_.data()) return;
        rows_.assign(data_, data_ + count_);
        numbered_ = 0;
        ownRows();
    }

    std::span<const FieldDef> defs_;
    std::vector<Filled> rows_;
    // The first numbered_ rows of rows_ have running number i + 1, as fillSplit leaves its
    // rows: the next record need not write the numbers again. Every other change of a
    // row's number sets it to 0.
    std::size_t numbered_ = 0;
    const Filled* data_ = nullptr;
    std::size_t count_ = 0;
    // The text in the first textSize_ bytes of text_: a split record leaves the buffer at
    // the size of the longest record, so that the next record is copied over it.
    std::string text_;
    std::size_t textSize_ = 0;
    std::vector<FixedLayout> layouts_;
    // The layouts by the address of their definitions, open-addressed: the index in
    // layouts_ plus 1, 0 for a free slot. A run cuts every record, into a handful of tables.
    std::array<std::uint8_t, 32> layoutSlots_{};
    // Whether rows_ is the layout of defs_ as fillFixed of a whole record left it. Every
    // change of a row clears it; fillSplit sets defs_ to a split table's definitions,
    // which no fixed table shares, so the mark never stands for its rows.
    bool fixedComplete_ = false;
};

} // namespace arti
