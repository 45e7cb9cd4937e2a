// The box for a shell start that failed: the reason of each failure code in German.
#pragma once

#include "core/Services.h"

#include <string>

namespace arti {

// The German reason of a failure code of the shell's "open" action (32 or less);
// nullptr for a code without a text of its own.
const char* shellErrorText(long result);

// Shows the box for a failed shell start (result 32 or less); nothing for success.
void SHELLEXECUTEERRMESSAGE(Owner owner, long result, const std::string& fileName);

} // namespace arti
