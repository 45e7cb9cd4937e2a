// The rules of ELDANORM version 05/90 (see VersionRules.h): records cut into their table
// at fixed positions, the per-field branch chain with the fields that may be filled with
// the code-0 character, the record rules of the A, B and Z records, and the composite
// step of the article records.
#pragma once

#include "rules/VersionRules.h"

#include <cstddef>
#include <string_view>

namespace arti {

const IVersionRules& rules0590();

// The character a NUL of the file has become when the check sees the record: the NUL
// replacement, converted from code page 850 like the rest of the record in OEM mode.
char codeZeroFiller(unsigned char nulReplacement, bool oemFile);

// True when `value` is exactly `width` characters of the filler.
bool filledWithCode0(std::string_view value, std::size_t width, char filler);

} // namespace arti
