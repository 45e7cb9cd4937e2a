#include "platform/Shell.h"

namespace arti::platform {

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

bool hasScheme(std::string_view target) {
    const std::size_t colon = target.find(':');
    if (colon == std::string_view::npos || colon < 2 || !isAsciiLetter(target[0])) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = target[i];
        if (!isAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

} // namespace arti::platform
