// Finding one byte value in eight bytes at once, for the scans that every record passes
// where the processor offers no wider compare (the web page's WebAssembly), and the
// search for one byte that the record reader makes for every line.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace arti::bytes {

// Whether words read from memory hold their first byte in their lowest bits, which the
// positions below count on.
inline constexpr bool kWordScan = std::endian::native == std::endian::little;

// The eight bytes at `p` as one word.
inline std::uint64_t word(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    return x;
}

// The top bit of every byte of `x` that equals `c`, and no other bit. Exact: no carry
// crosses from one byte into the next.
inline std::uint64_t matches(std::uint64_t x, unsigned char c) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    x ^= 0x0101010101010101ULL * c;
    return ~(((x & kLow7) + kLow7) | x) & ~kLow7;
}

// The index (0..7) of the first byte that a non-zero result of matches() marks.
inline std::size_t firstMatch(std::uint64_t m) {
    return static_cast<std::size_t>(std::countr_zero(m)) / 8;
}

// The first `c` in [s, end), or nullptr. Lines are short: an inline search sixteen bytes
// at a time costs less than the library call it replaces. Without SSE2 (the web page's
// WebAssembly) eight bytes are tested at a time in a word.
inline const char* find(const char* s, const char* end, char c) {
#if defined(__SSE2__)
    const __m128i pattern = _mm_set1_epi8(c);
    for (; end - s >= 16; s += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, pattern)));
        if (mask != 0) return s + std::countr_zero(mask);
    }
#else
    if constexpr (kWordScan) {
        for (; end - s >= 8; s += 8)
            if (const std::uint64_t m = matches(word(s), static_cast<unsigned char>(c)); m != 0)
                return s + firstMatch(m);
    }
#endif
    for (; s < end; ++s)
        if (*s == c) return s;
    return nullptr;
}

} // namespace arti::bytes
