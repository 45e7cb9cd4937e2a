// The field checks of version 2000 records: the record's table is built from the fields
// the record delivered, record-level faults are reported, and with "Feld-Prüfung ein"
// every field is checked against its definition before the record rules of the H, I, X
// and Z records are applied.
#pragma once

#include "rules/CheckContext.h"
#include "rules/DeferredText.h"
#include "rules/FieldTable.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace arti {

// What the record check shows in the main window beside findings and the findings list.
class Record2000Display {
public:
    virtual ~Record2000Display() = default;
    // The field counter ("übergebeneFelder"): the number of fields the record delivered,
    // 0 for a record type without a table.
    virtual void showFieldCount(std::size_t count) = 0;
    // The findings list has been handed the new table: an open field viewer follows it.
    virtual void followRecord() = 0;
};

// One version 2000 record: its text without CR LF, the separator its header names, and
// the byte position as the main window displays it (named by the record-type finding).
struct Record2000 {
    std::string_view text;
    std::string_view separator;
    DeferredText shownPosition;
};

// Checks one record. Leaves the record's table in `table` (empty for a record type
// without one) for the findings list and the field viewer.
void checkRecord2000(ICheckContext& ctx, Record2000Display& display, FieldTable& table, const Record2000& record);
// The same in two steps, for a caller that cuts the record into its table before it is
// checked: the checks of the record whose table fillTable2000 has filled, given what
// that returned.
void checkFilled2000(ICheckContext& ctx, Record2000Display& display, const FieldTable& table,
                     const FieldTable::SplitCount& split, const Record2000& record);

// --- The steps, open for tests ---

// Builds the table of the record's type and fills it with the fields the record delivers,
// cut at the separator (at most as many as the table has rows). Every row gets its
// running number; rows the record does not deliver keep an empty content and position.
FieldTable::SplitCount fillTable2000(FieldTable& table, char recordType, std::string_view text,
                                     std::string_view separator);

// The record rules, by the content of the record type field; `delivered` is the number
// of rows filled.
void recordRules2000(ICheckContext& ctx, const FieldTable& table, std::size_t delivered);

// The GTIN/EAN rule of the I and X records for the field named `fieldWord` ("Feld 3").
void gtinRule2000(ICheckContext& ctx, std::string_view value, std::string_view fieldWord);

} // namespace arti
