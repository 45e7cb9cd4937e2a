// The rules of ELDANORM version 2000 (see VersionRules.h): the record's table is built
// from the fields the record delivers, split at the separator its header names,
// record-level faults are reported, every field is checked against its definition, and
// the record rules of the H, I, X and Z records follow. Version 2000 has no composite step.
#pragma once

#include "rules/VersionRules.h"

namespace arti {

const IVersionRules& rules2000();

} // namespace arti
