// The settings store: every persistent setting is a string value in the registry
// (HKCU for the user, HKLM for the values of an administrator installation), read and
// written only through these routines. Each shows its own failures in information
// boxes owned by `owner` and never throws.
#pragma once

#include "core/Services.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace arti {

// One (value name, slot) pair. Before a bulk read the slot is a text of blanks whose
// width bounds what can be taken in; afterwards it holds the trimmed stored text.
struct RegValue {
    std::string name;
    std::string text;
};
using ValueList = std::vector<RegValue>;

// Builds a value list of blank slots: {{"Setup", 20}, {"Update", 20}}.
ValueList makeValueList(std::initializer_list<std::pair<const char*, std::size_t>> slots);
// The text of the first pair named exactly `name`, or empty.
std::string valueOf(const ValueList& list, std::string_view name);

// "Software\MERIX\ARTISCOPE\INIFolder"
std::string defaultKey();

void REGDATENAUSLESEN(Owner owner);
ValueList& GETREGISTRY(Owner owner, std::string_view subKey, ValueList& list);
std::string GETREG_EINZELWERT(Owner owner, std::string_view hive, std::string_view subKey,
                              std::string_view name, bool showErrors = true);
void SAVEREG_EINZELWERT(Owner owner, std::string_view hive, std::string_view subKey, std::string_view name,
                        std::string_view text, bool showErrors = false);
// Writes the whole list as one change of the hive: after a crash the hive holds all of
// its values or none of them. (The registry of Windows keeps each value whole, but not
// a list: there a crash may leave the first values of it only.)
void SAVEREGISTRY(Owner owner, std::string_view hive, std::string_view subKey, const ValueList& list,
                  bool showErrors = false);
bool GETREG_SUBKEY(Owner owner, std::string_view hive, std::string_view subKey, bool showErrors = true);
void DELREG_SCHLUESSEL(Owner owner, std::string_view hive, std::string_view subKey, std::string_view name,
                       bool showErrors = false);
std::string GETUSERPROFILEPATH(Owner owner);

} // namespace arti
