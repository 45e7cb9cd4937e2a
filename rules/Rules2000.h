// The steps of a version 2000 record that the record step calls for every record,
// reached directly rather than through IVersionRules: the same code as the rules'
// fillTable, checkRecordType, checkFields and recordRules, without a look-up per call.
#pragma once

#include "rules/CheckContext.h"
#include "rules/FieldTable.h"
#include "rules/Table2000.h"
#include "rules/VersionRules.h"

#include <cstddef>
#include <string_view>

namespace arti {

// Fills the table of a record cut at `separator` (see FieldTable::fillSplit), the table
// chosen by the record's first byte.
inline FieldTable::FillCount fillTable2000(FieldTable& table, std::string_view record,
                                           std::string_view separator) {
    return table.fillSplit(recordType2000(record.empty() ? '\0' : record[0]).table(), record, separator);
}
// The record-type step: false for a record type without a table (the record's checks
// end there); a record of too many fields gets its finding and goes on.
bool checkRecordType2000(ICheckContext& ctx, const FieldTable& table, const FieldTable::FillCount& fill,
                         const RecordInput& record);
// The field checks of a table filled from a record of type `recordType` (its first byte).
void checkFields2000(ICheckContext& ctx, const FieldTable& table, char recordType, const CheckSwitches& sw);
// The record rules of the H, I, X and Z records, by the content of the record type
// field; `delivered` is the number of rows filled.
void recordRules2000(ICheckContext& ctx, const FieldTable& table, std::size_t delivered);
// checkFields2000 and then recordRules2000, in one step, for a table filled from a record
// of type `recordType` (as fillTable2000 fills it).
void checkRecord2000(ICheckContext& ctx, const FieldTable& table, char recordType, const CheckSwitches& sw,
                     std::size_t delivered);

} // namespace arti
