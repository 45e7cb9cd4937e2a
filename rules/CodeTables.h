// The tables that turn coded field values into words: one ordered list of code tables
// per ELDANORM version and the table of the German federal states. The field viewer
// and the sequence viewer show a field's decoded content through them.
#pragma once

#include "rules/Version.h"

#include <string>
#include <string_view>

namespace arti {

// The text of `value` from the first table of the version whose keyword occurs in
// `fieldName` (case-sensitive); "undefiniert" when that table has no row for it; the
// value itself when no keyword of the version occurs in the name. Codes compare as
// whole texts, without trimming; a range row takes the values that sort between its
// two codes. Texts are Windows-1252.
std::string DEFINITIONEN0196(std::string_view fieldName, std::string_view value);
std::string DEFINITIONEN0590(std::string_view fieldName, std::string_view value);
std::string DEFINITIONEN2000(std::string_view fieldName, std::string_view value);

// The federal state of a two-digit code, or "undefiniert".
std::string BUNDESLAND(std::string_view value);

// The table function of the version (the value unchanged for a file of no version).
std::string decodeValue(Version version, std::string_view fieldName, std::string_view value);

} // namespace arti
