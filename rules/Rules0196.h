// The rules of ELDANORM version 01/96 (see VersionRules.h): records cut into the fields
// of their type's table at fixed positions, every field checked against its definition,
// the record rules of the A, B, D, T and Z records, and the composite step of the article
// records.
#pragma once

#include "rules/VersionRules.h"

namespace arti {

const IVersionRules& rules0196();

} // namespace arti
