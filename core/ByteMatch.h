// Finding one byte value in eight bytes at once, for the scans that every record passes
// where the processor offers no wider compare (the web page's WebAssembly).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

} // namespace arti::bytes
