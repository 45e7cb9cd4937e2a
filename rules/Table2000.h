// The field tables of version 2000: one constant table per record type, in field order.
// Names are Windows-1252 text, as the records and the findings list hold them.
#pragma once

#include "rules/FieldTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace arti {

// The record type letters that have a table.
inline constexpr std::string_view kRecordTypes2000 = "HIKPRSTUVWXZ";

// The table of a record type; empty for a letter without one.
std::span<const FieldDef> fieldDefs2000(char recordType);

// What the checks treat apart, fixed with the tables so that no name is searched per
// record: one flag byte per row.
enum RowRule2000 : std::uint8_t {
    kDateField2000 = 1,     // the upper-cased name contains "DATUM": read as YYYYMMDD
    kCurrencyField2000 = 2, // named "Währung": compared with the run's currency
    // "Ursprungsland" of the U record has no constant list: its allowed values are the
    // run's country codes ("LCode"), read at every check. Its constant column 8 is empty.
    kCountryCodes2000 = 4,
};
// The flags of every row of a record type's table; empty for a letter without one.
std::span<const std::uint8_t> rowRules2000(char recordType);

// How the field checks take a row, worked out once from its definition and flags: for
// each row the few tests that prove a content has no finding. Content that passes them
// needs nothing more; any other content goes through the whole check of the row.
enum RowPlan2000 : std::uint8_t {
    kPlanMandatory = 1, // an empty content or one that starts with a blank: whole check
    kPlanWhole = 2,     // always the whole check (country codes)
    kPlanDate = 4,      // a content that is not empty: whole check (the date rule)
    kPlanText = 8,      // alphanumeric without list: starts with a blank or record not clean
    kPlanNumber = 16,   // numeric without list: only digits and the number marks
    kPlanList = 32,     // a list that is tested: empty, or found in the list
    kPlanCurrency = 64, // the run's currency, else the whole check (then the other tests)
};
// The plan of every row of a record type's table; empty for a letter without one.
std::span<const std::uint8_t> rowPlans2000(char recordType);

// A record type's table with its row flags and plans, found by one look-up of its letter
// (the record step needs all three for every record). `size` 0: a letter without a table.
struct RecordType2000 {
    const FieldDef* defs = nullptr;
    const std::uint8_t* rules = nullptr;
    const std::uint8_t* plans = nullptr;
    std::size_t size = 0;
    bool textRows = false; // a row's plan is kPlanText

    std::span<const FieldDef> table() const { return {defs, size}; }
};
namespace detail {
// Every byte value with its entry: the letters with a table, the rest empty.
extern const std::array<RecordType2000, 256> kRecordTypes2000;
} // namespace detail
// Inline: the record step looks the type up twice for every record.
inline const RecordType2000& recordType2000(char recordType) {
    return detail::kRecordTypes2000[static_cast<unsigned char>(recordType)];
}

} // namespace arti
