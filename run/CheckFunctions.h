// Plain routines of the check run.
#pragma once

#include "core/Services.h"

#include <string>
#include <string_view>
#include <vector>

namespace arti {

// The record-type announcement of a 01/96 header from its 8 flag characters ("ABDPRSTZ").
std::string SATZFOLGE(std::string_view flags);
// Splits a text at a separator after cutting trailing blanks: n separators give n+1
// fields, fields are not trimmed.
std::vector<std::string> STRING2ARRAY2(std::string_view text, std::string_view separator);
// The same as views into `text` (which must outlive them), into `fields`, whose storage
// is reused: a run splits every record.
void STRING2ARRAY2(std::string_view text, std::string_view separator, std::vector<std::string_view>& fields);
// The folder part of a file name, ending in the path separator.
std::string PFADNAME(std::string_view fileName);
// Waits `steps` delay steps, letting window messages through; 0 does not wait, and a
// raised `stopRequest` ends the wait at once.
void TICZEITSCHLEIFE(int steps, const bool& stopRequest);
// The error log "Error.log" in the user data folder `dataFolder`.
std::string errorLogPath(const std::string& dataFolder);
// Creates the empty long-text table and its index in the user data folder `dataFolder`.
bool CREATEVTEXT(Owner owner, const std::string& dataFolder);

} // namespace arti
