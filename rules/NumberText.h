// The decimal text of a count, position or running number, in a buffer on the stack:
// the record step and the field checks write numbers for every record.
#pragma once

#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

namespace arti {

struct NumberText {
    explicit NumberText(unsigned long long n)
        : len(static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, n).ptr - buf)) {}
    std::string_view view() const { return {buf, len}; }

    char buf[24];
    std::size_t len;
};

inline std::string operator+(std::string s, const NumberText& n) {
    return s.append(n.view());
}

} // namespace arti
