// Number and field helpers the two record viewers share: decimal texts with the
// program's decimal comma, and safe cuts of a record by 1-based position.
#pragma once

#include <string>
#include <string_view>

namespace arti {

// The value with `decimals` fixed places and a decimal comma, no thousands separators
// ("12,50"); a value too large or not finite gives "0".
std::string decimalText(double value, int decimals);

// The characters of `record` from 1-based `position` on, at most `length`; empty or
// shorter when the record is shorter.
std::string_view recordPart(std::string_view record, std::size_t position, std::size_t length);

} // namespace arti
