// Field checks of ELDANORM version 05/90 records: cutting the record into its table,
// the per-field branch chain with the fields that may be filled with the code-0
// character, and the record rules of the A, B and Z records.
#pragma once

#include "rules/CheckContext.h"
#include "rules/DeferredText.h"
#include "rules/FieldTable.h"

#include <cstddef>
#include <string_view>

namespace arti {

// The character a NUL of the file has become when the check sees the record: the NUL
// replacement, converted from code page 850 like the rest of the record in OEM mode.
char codeZeroFiller(unsigned char nulReplacement, bool oemFile);

// True when `value` is exactly `width` characters of the filler.
bool filledWithCode0(std::string_view value, std::size_t width, char filler);

// Where the record stands in the run, for the finding of a record type without a table.
struct RecordPlace {
    std::string_view count;    // the record's number as the run counts it
    DeferredText position;     // the byte position as the main window shows it
};

// Builds the table of the record's type and cuts the record into it at the fixed
// positions (the CR LF behind the 128 characters is never reached). A type without a
// table leaves the table empty, reports it and returns false.
bool cutRecord0590(FieldTable& table, ICheckContext& ctx, std::string_view record, const RecordPlace& place);

// The field checks of every row, then the record rules of the record's type.
void checkFields0590(const FieldTable& table, ICheckContext& ctx, char filler);

} // namespace arti
