// Field tables of ELDANORM version 01/96: ten record types of 128 characters with fields
// at fixed positions. Names are Windows-1252 texts, as records are after reading.
#pragma once

#include "rules/FieldTable.h"

#include <span>
#include <string_view>

namespace arti {

// The record types that have a table, in the order of the norm.
inline constexpr std::string_view kRecordTypes0196 = "VKABDPRSTZ";

// The table of a record type letter; empty for a letter without a table.
std::span<const FieldDef> table0196(char recordType);

} // namespace arti
