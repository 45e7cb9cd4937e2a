// The system's own registry behind the calls of Registry.h: on Windows the registry of
// Windows, on other systems none. Key paths come checked and without trailing
// backslashes; texts are the program's texts (see registryText()).
#pragma once

#include "platform/Registry.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace arti::platform::sysreg {

// This system has a registry of its own.
bool exists();
// The calls of Registry.h go to it: it exists and ARTISCOPE_REGISTRY_DIR names no folder
// for hive files.
bool inUse();

// Each call opens the key for itself and closes it again, so that a key open in the
// program holds nothing of the system.
RegStatus openKey(RegHive hive, const std::string& path, RegAccess access);
RegStatus createKey(RegHive hive, const std::string& path);
// A text value (REG_SZ, or REG_EXPAND_SZ with its variables expanded).
RegStatus queryValue(RegHive hive, const std::string& path, std::string_view name, std::string& text);
// Each value is set on its own: the registry keeps every value whole, but a crash
// between two of them keeps the first only.
std::vector<RegStatus> setValues(RegHive hive, const std::string& path, std::span<const RegNamedText> values);
RegStatus deleteValue(RegHive hive, const std::string& path, std::string_view name);

} // namespace arti::platform::sysreg
