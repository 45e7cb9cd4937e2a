// The process environment and private temporary folders, with UTF-8 texts on every
// system. A variable set here is seen by the C runtime's getenv() and by programs this
// process starts.
#pragma once

#include <optional>
#include <string>

namespace arti::platform {

// The value of a variable; nullopt when it is not set.
std::optional<std::string> environmentValue(const std::string& name);
// Sets a variable (an empty value is a value too, where the system keeps one); false when
// the system refuses the name or the value.
bool setEnvironmentValue(const std::string& name, const std::string& value);
// Removes a variable; true also when it was not set.
bool unsetEnvironmentValue(const std::string& name);

// Makes a new folder `parent`/`prefix` followed by six random characters that only this
// user may use, as mkdtemp does; its path, or an empty text when none could be made.
std::string makePrivateFolder(const std::string& parent, const std::string& prefix);

} // namespace arti::platform
