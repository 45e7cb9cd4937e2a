// Field faults: one faulty field in an otherwise sound record, written so that the field
// checks of its version report it with exactly one finding, and the spoiled files in
// which every record behind the header carries several such fields. Records keep their
// length (128 characters for 05/90 and 01/96) and their type, so the order of the file
// stays valid and a check run reaches every fault.
#pragma once

#include "tools/gen/Generator.h"

#include <string>
#include <string_view>

namespace arti::gen {

// A fault that changes single fields (every kind from BadCheckDigit on).
bool isFieldFault(Fault f);

// The record types that can carry the single field fault `f` in version `v`, the
// preferred first; empty when the version has no rule for it. FieldFaultsEverywhere
// gives every record type it spoils.
std::string fieldFaultTypes(Fault f, Version v);

// Puts the single field fault `f` into `record` (a fixed record of 128 characters in
// code page 850, or a version 2000 line with `separator`), by the record's type letter.
// Returns what was done, in a few words; empty when the type carries no such fault.
std::string putFieldFault(Fault f, Version v, std::string& record, char separator);

// Spoils every field that FieldFaultsEverywhere has for the record's type; returns how
// many fields were spoiled (each one is a finding of its own).
unsigned spoilRecord(Version v, std::string& record, char separator);

} // namespace arti::gen
