#include "platform/SystemRegistry.h"

// This system has no registry: the hive files of Registry.cpp are the only one.
namespace arti::platform::sysreg {

bool exists() {
    return false;
}

bool inUse() {
    return false;
}

RegStatus openKey(RegHive, const std::string&, RegAccess) {
    return kRegFileNotFound;
}

RegStatus createKey(RegHive, const std::string&) {
    return kRegAccessDenied;
}

RegStatus queryValue(RegHive, const std::string&, std::string_view, std::string&) {
    return kRegFileNotFound;
}

std::vector<RegStatus> setValues(RegHive, const std::string&, std::span<const RegNamedText> values) {
    return std::vector<RegStatus>(values.size(), kRegAccessDenied);
}

RegStatus deleteValue(RegHive, const std::string&, std::string_view) {
    return kRegAccessDenied;
}

} // namespace arti::platform::sysreg
