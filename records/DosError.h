// Operating-system file errors as the program reports them: DOS/Windows error codes
// (the codes users and the German texts know), their texts, and the file error box
// DOS_ERRORBOX. The file routines get the codes from the system layer.
#pragma once

#include "core/Services.h"

#include <string>

namespace arti {

// Caption of the file error box and of the other error boxes of the file routines.
inline constexpr const char* kFileErrorCaption = "Fehler";

// The DOS/Windows error code that stands for a C runtime errno value (0 for 0). Values
// without a close counterpart give 31, the general failure.
int dosErrorFromErrno(int err);

// The German text of a code of the program's table (0 to 39 except 37), or the
// operating system's own text, a line break, "DOS Fehler " and the code right-aligned
// in three places for any other code.
std::string dosErrorText(int code);

// The whole message of the file error box: title and line break (when the title is not
// empty), file name and line break (when the name is not empty), the code's text.
std::string dosErrorMessage(int code, const std::string& fileName, const std::string& title);

// Shows the file error box, an error box owned by `owner`.
void DOS_ERRORBOX(Owner owner, int code, const std::string& fileName = {}, const std::string& title = {});

} // namespace arti
