// Scans of field contents that every field check makes on every record, eight bytes at
// a time; a check that finds a fault goes through the field again byte by byte to name
// the position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Marks the functions that build and write a finding: kept out of line and away from the
// checks that pass, which are what a run of a good file executes.
#define ARTI_FINDING [[gnu::noinline, gnu::cold]]

namespace arti::scan {

// Every byte lies within [Lo, Hi] (true for an empty text). Eight bytes are tested at
// once: a byte below Lo or above Hi sets its top bit in one of the two masks (exact
// for Lo <= 128 and Hi <= 127; bytes of 128 and above count as above Hi). Hi = 255
// tests the lower limit alone.
template <unsigned char Lo, unsigned char Hi>
inline bool allWithin(std::string_view v) {
    static_assert(Lo <= 128 && (Hi <= 127 || Hi == 255) && Lo <= Hi);
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kTops = 0x8080808080808080ULL;
    const char* p = v.data();
    std::size_t n = v.size();
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t x;
        std::memcpy(&x, p, 8);
        std::uint64_t outside = (x - kOnes * Lo) & ~x & kTops;
        if constexpr (Hi != 255) outside |= ((x + kOnes * (127 - Hi)) | x) & kTops;
        if (outside != 0) return false;
    }
    for (; n > 0; ++p, --n) {
        const auto c = static_cast<unsigned char>(*p);
        if (c < Lo || c > Hi) return false;
    }
    return true;
}

inline bool blankOnly(std::string_view v) { return allWithin<' ', ' '>(v); }
inline bool digitsOnly(std::string_view v) { return allWithin<'0', '9'>(v); }
// Codes 32 to 126.
inline bool printableAscii(std::string_view v) { return allWithin<32, 126>(v); }
// No byte below 32 (control characters); bytes of 128 and above pass.
inline bool noControlCharacters(std::string_view v) { return allWithin<32, 255>(v); }

// Whether `value` occurs in `list` anywhere, as a search of the list text finds it (an
// empty value occurs in every list). Lists are short: a plain loop beats the library
// search, which is made for long texts.
inline bool listContains(std::string_view list, std::string_view value) {
    if (value.empty()) return true;
    if (value.size() > list.size()) return false;
    const char first = value[0];
    const std::size_t last = list.size() - value.size();
    for (std::size_t at = 0; at <= last; ++at) {
        if (list[at] != first) continue;
        std::size_t i = 1;
        while (i < value.size() && list[at + i] == value[i]) ++i;
        if (i == value.size()) return true;
    }
    return false;
}

} // namespace arti::scan
