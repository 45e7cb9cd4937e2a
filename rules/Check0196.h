// The field checks of version 01/96 records: the record is cut into the fields of its
// type's table at fixed positions, and with "Feld-Prüfung ein" every field is checked
// against its definition before the record rules of the A, B, D, T and Z records.
#pragma once

#include "rules/CheckContext.h"
#include "rules/Composite.h"
#include "rules/FieldTable.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace arti {

// The length of every 01/96 record; the widths of each table add up to it.
inline constexpr std::size_t kRecordBytes0196 = 128;

// Builds the table of the record's type (its first character) and cuts the record into
// it: content at the fixed start position with the field's width (shorter or empty when
// the record ends early), start position and running number. Returns the number of
// bytes the widths add up to; 0 and an empty table for a type without a table.
std::size_t fillTable0196(FieldTable& table, std::string_view record);

// "Die Satzart > X <  im Satz N ab Position P ist nicht zulässig !" (P with its blanks removed).
std::string unknownRecordType0196(std::string_view recordType, std::string_view recordNumber,
                                  std::string_view shownPosition);
// "Die Satzart > X < hat nur n Bytes !" for a table whose widths do not add up to 128.
std::string shortRecordType0196(std::string_view recordType, std::size_t bytes);

// The composite steps of a filled 01/96 table, for a record read during a run: an A
// record keeps its article numbers; a B or Z record has its article number checked by
// `articleRule` (called with the record type letter, field 3 and field 4); a Z record
// must have been announced; a B record announces one when its field 33 is "1".
template <class ArticleRule>
void compositeSteps0196(ICheckContext& ctx, CompositeState state, const FieldTable& table, ArticleRule&& articleRule);

// The field checks of every row of a filled table, in order; the first branch that
// applies to a row is the only one.
void checkFields0196(ICheckContext& ctx, const FieldTable& table);
// The record rules of the A, B, D, T and Z records, after the field checks.
void checkRecordRules0196(ICheckContext& ctx, const FieldTable& table);

template <class ArticleRule>
void compositeSteps0196(ICheckContext& ctx, CompositeState state, const FieldTable& table, ArticleRule&& articleRule) {
    if (table.empty()) return;
    const std::string_view type = table.content(0);
    const char letter = recordLetter(type);
    if (letter == 'A') {
        collectArticleNumbers(state, table.content(2), table.content(3), table.content(4));
    } else if (letter == 'Z') {
        articleRule(type, table.content(2), table.content(3));
        checkSurchargeAnnounced(ctx, state);
    } else if (letter == 'B') {
        articleRule(type, table.content(2), table.content(3));
        noteSurchargeAnnouncement(state, table.content(32) == "1");
    }
}

} // namespace arti
