// How a check ended, in the words of the main window's instruction line.
#pragma once

#include "run/CheckRun.h"
#include "run/FileFindings.h"

#include <string>

namespace arti {

// The text for the outcome `o` (Windows-1252, CR LF between its two lines): how the run or
// the file choice ended and, after a run, how many findings and errors `counted` holds.
// Empty while nothing has ended.
std::string outcomeText(const CheckOutcome& o, const FileFindings& counted);

} // namespace arti
