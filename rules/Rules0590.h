// Version 05/90 beyond IVersionRules: the code-0 filler that the record step hands in with
// the record (RecordInput::filler).
#pragma once

#include <cstddef>
#include <string_view>

namespace arti {

// The character a NUL of the file has become when the check sees the record: the NUL
// replacement, converted from code page 850 like the rest of the record in OEM mode.
char codeZeroFiller(unsigned char nulReplacement, bool oemFile);

// True when `value` is exactly `width` characters of the filler.
bool filledWithCode0(std::string_view value, std::size_t width, char filler);

} // namespace arti
