// Cutting a version 2000 record into its fields: trailing blanks belong to no field, n
// separators give n+1 fields, and fields are not trimmed. The record step cuts every
// record, so a one-character separator is found eight bytes at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace arti {

// The text without its trailing blanks.
inline std::string_view withoutTrailingBlanks(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    return text.substr(0, end);
}

// Calls field(offset, length) for every field of `text` (already without its trailing
// blanks), in order. An empty separator leaves the text one field.
template <typename Field>
void forEachField(std::string_view text, std::string_view separator, Field&& field) {
    std::size_t from = 0;
    if (separator.size() == 1) {
        const char sep = separator[0];
        // A byte equal to the separator is a zero byte of x ^ pattern, found exactly (no
        // carry crosses a byte) and taken lowest first.
        static_assert(std::endian::native == std::endian::little, "the lowest byte comes first");
        constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
        const std::uint64_t pattern = 0x0101010101010101ULL * static_cast<unsigned char>(sep);
        std::size_t at = 0;
        for (; at + 8 <= text.size(); at += 8) {
            std::uint64_t x;
            std::memcpy(&x, text.data() + at, 8);
            x ^= pattern;
            for (std::uint64_t zero = ~(((x & kLow7) + kLow7) | x) & ~kLow7; zero != 0; zero &= zero - 1) {
                const std::size_t cut = at + static_cast<std::size_t>(std::countr_zero(zero)) / 8;
                field(from, cut - from);
                from = cut + 1;
            }
        }
        for (; at < text.size(); ++at) {
            if (text[at] != sep) continue;
            field(from, at - from);
            from = at + 1;
        }
    } else if (!separator.empty()) {
        for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, from)) {
            field(from, at - from);
            from = at + separator.size();
        }
    }
    field(from, text.size() - from);
}

} // namespace arti
