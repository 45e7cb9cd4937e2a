// Scans of field contents that every field check makes on every record, eight bytes at
// a time; a check that finds a fault goes through the field again byte by byte to name
// the position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Marks the functions that build and write a finding: kept out of line and away from the
// checks that pass, which are what a run of a good file executes.
#define ARTI_FINDING [[gnu::noinline, gnu::cold]]

namespace arti::scan {

// Every byte lies within [Lo, Hi] (true for an empty text). Eight bytes are tested at
// once: a byte below Lo or above Hi sets its top bit in one of the two masks (exact
// for Lo <= 128 and Hi <= 127; bytes of 128 and above count as above Hi). Hi = 255
// tests the lower limit alone. Most fields are shorter than eight bytes, so the rest
// of a text is tested as one word too: its last eight bytes again, or for a short text
// two overlapping halves, or its one to three bytes placed in a word of Lo bytes.
template <unsigned char Lo, unsigned char Hi> inline bool allWithin(std::string_view v) {
    static_assert(Lo <= 128 && (Hi <= 127 || Hi == 255) && Lo <= Hi);
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kTops = 0x8080808080808080ULL;
    const auto outside = [](std::uint64_t x) {
        std::uint64_t out = (x - kOnes * Lo) & ~x & kTops;
        if constexpr (Hi != 255) out |= ((x + kOnes * (127 - Hi)) | x) & kTops;
        return out;
    };
    const char* p = v.data();
    const std::size_t n = v.size();
    std::uint64_t x;
    if (n >= 8) {
        for (std::size_t at = 0; at + 8 <= n; at += 8) {
            std::memcpy(&x, p + at, 8);
            if (outside(x) != 0) return false;
        }
        if (n % 8 == 0) return true;
        std::memcpy(&x, p + n - 8, 8);
    } else if (n >= 4) {
        std::uint32_t head, tail;
        std::memcpy(&head, p, 4);
        std::memcpy(&tail, p + n - 4, 4);
        x = head | (std::uint64_t{tail} << 32);
    } else if (n > 0) {
        const auto byte = [p](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
        x = (kOnes * Lo & ~std::uint64_t{0xFFFFFF}) | byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
    } else {
        return true;
    }
    return outside(x) == 0;
}

// Most fields start with something other than a blank: their first byte decides.
inline bool blankOnly(std::string_view v) {
    return v.empty() || (v[0] == ' ' && allWithin<' ', ' '>(v));
}
inline bool digitsOnly(std::string_view v) {
    return allWithin<'0', '9'>(v);
}
// Codes 32 to 126.
inline bool printableAscii(std::string_view v) {
    return allWithin<32, 126>(v);
}
// No byte below 32 (control characters); bytes of 128 and above pass.
inline bool noControlCharacters(std::string_view v) {
    return allWithin<32, 255>(v);
}

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
        while (i < value.size() && list[at + i] == value[i])
            ++i;
        if (i == value.size()) return true;
    }
    return false;
}

// allWithin for a whole record: sixteen bytes at a time where the processor compares
// sixteen at once, the last sixteen bytes again for the rest. The smallest and largest
// byte of each column are kept, and only they are held against the limits at the end. A
// shorter text, or a processor without the sixteen-byte compare, takes allWithin.
template <unsigned char Lo, unsigned char Hi> inline bool allWithinWide(std::string_view v) {
#if defined(__SSE2__)
    const std::size_t n = v.size();
    if (n >= 16) {
        const auto load = [&v](std::size_t at) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(v.data() + at));
        };
        __m128i least = load(n - 16);
        __m128i most = least;
        for (std::size_t at = 0; at + 16 <= n; at += 16) {
            const __m128i x = load(at);
            least = _mm_min_epu8(least, x);
            if constexpr (Hi != 255) most = _mm_max_epu8(most, x);
        }
        // A column is within when raising its smallest byte to Lo and lowering its largest
        // to Hi change nothing.
        __m128i in = _mm_cmpeq_epi8(_mm_max_epu8(least, _mm_set1_epi8(static_cast<char>(Lo))), least);
        if constexpr (Hi != 255)
            in = _mm_and_si128(
                in, _mm_cmpeq_epi8(_mm_min_epu8(most, _mm_set1_epi8(static_cast<char>(Hi))), most));
        return _mm_movemask_epi8(in) == 0xFFFF;
    }
#endif
    return allWithin<Lo, Hi>(v);
}

} // namespace arti::scan
