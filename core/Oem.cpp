#include "core/Oem.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace arti {

namespace {

using Table = std::array<std::uint8_t, 256>;

// Bytes 0x00..0x7F are the same in both code pages; the tables list the upper half.
constexpr Table withAsciiHalf(const std::array<std::uint8_t, 128>& upperHalf) {
    Table t{};
    for (std::size_t i = 0; i < 128; ++i)
        t[i] = static_cast<std::uint8_t>(i);
    for (std::size_t i = 0; i < 128; ++i)
        t[128 + i] = upperHalf[i];
    return t;
}

// 850 -> 1252. Box-drawing and shade characters have no 1252 counterpart and take the
// best-fit bytes '¦' (A6), '+' (2B), '-' (2D); D5 'ı' -> 'i', DC '▄' -> '_', DF '▀' -> '¯',
// F2 '‗' -> '='.
constexpr Table kOemToAnsi = withAsciiHalf({
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5, // 8_
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xF8, 0xA3, 0xD8, 0xD7, 0x83, // 9_
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0xAE, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB, // A_
    0xA6, 0xA6, 0xA6, 0xA6, 0xA6, 0xC1, 0xC2, 0xC0, 0xA9, 0xA6, 0xA6, 0x2B, 0x2B, 0xA2, 0xA5, 0x2B, // B_
    0x2B, 0x2D, 0x2D, 0x2B, 0x2D, 0x2B, 0xE3, 0xC3, 0x2B, 0x2B, 0x2D, 0x2D, 0xA6, 0x2D, 0x2B, 0xA4, // C_
    0xF0, 0xD0, 0xCA, 0xCB, 0xC8, 0x69, 0xCD, 0xCE, 0xCF, 0x2B, 0x2B, 0xA6, 0x5F, 0xA6, 0xCC, 0xAF, // D_
    0xD3, 0xDF, 0xD4, 0xD2, 0xF5, 0xD5, 0xB5, 0xFE, 0xDE, 0xDA, 0xDB, 0xD9, 0xFD, 0xDD, 0xAF, 0xB4, // E_
    0xAD, 0xB1, 0x3D, 0xBE, 0xB6, 0xA7, 0xF7, 0xB8, 0xB0, 0xA8, 0xB7, 0xB9, 0xB3, 0xB2, 0xA6, 0xA0, // F_
});

// 1252 -> 850. Typographic quotes, dashes and the like take plain ASCII best-fit bytes,
// '•' takes 07 (the glyph at that place of 850); '€' and the undefined 81 8D 8F 90 9D give '?'.
constexpr Table kAnsiToOem = withAsciiHalf({
    0x3F, 0x3F, 0x27, 0x9F, 0x22, 0x2E, 0xC5, 0xCE, 0x5E, 0x25, 0x53, 0x3C, 0x4F, 0x3F, 0x5A, 0x3F, // 8_
    0x3F, 0x27, 0x27, 0x22, 0x22, 0x07, 0x2D, 0x2D, 0x7E, 0x54, 0x73, 0x3E, 0x6F, 0x3F, 0x7A, 0x59, // 9_
    0xFF, 0xAD, 0xBD, 0x9C, 0xCF, 0xBE, 0xDD, 0xF5, 0xF9, 0xB8, 0xA6, 0xAE, 0xAA, 0xF0, 0xA9, 0xEE, // A_
    0xF8, 0xF1, 0xFD, 0xFC, 0xEF, 0xE6, 0xF4, 0xFA, 0xF7, 0xFB, 0xA7, 0xAF, 0xAC, 0xAB, 0xF3, 0xA8, // B_
    0xB7, 0xB5, 0xB6, 0xC7, 0x8E, 0x8F, 0x92, 0x80, 0xD4, 0x90, 0xD2, 0xD3, 0xDE, 0xD6, 0xD7, 0xD8, // C_
    0xD1, 0xA5, 0xE3, 0xE0, 0xE2, 0xE5, 0x99, 0x9E, 0x9D, 0xEB, 0xE9, 0xEA, 0x9A, 0xED, 0xE8, 0xE1, // D_
    0x85, 0xA0, 0x83, 0xC6, 0x84, 0x86, 0x91, 0x87, 0x8A, 0x82, 0x88, 0x89, 0x8D, 0xA1, 0x8C, 0x8B, // E_
    0xD0, 0xA4, 0x95, 0xA2, 0x93, 0xE4, 0x94, 0xF6, 0x9B, 0x97, 0xA3, 0x96, 0x81, 0xEC, 0xE7, 0x98, // F_
});

// Bytes below 0x80 are the same in both code pages: only bytes with the high bit go
// through the table (and are stored). The buffer is tested sixteen bytes at a time where
// the processor compares sixteen at once, eight at a time in a word elsewhere (the web
// page's WebAssembly). Records are mostly ASCII; this keeps the conversion from
// dominating a read of a large file.
void convert(std::string& buffer, const Table& table) {
    char* p = buffer.data();
    const std::size_t n = buffer.size();
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { p[k] = static_cast<char>(table[static_cast<unsigned char>(p[k])]); };
#if defined(__SSE2__)
    if (n >= 16) {
        // Most records hold no byte above 127: one look at all of them first.
        __m128i any = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
        for (std::size_t k = 0; k + 16 <= n; k += 16)
            any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k)));
        if (_mm_movemask_epi8(any) == 0) return;
    }
    for (; i + 16 <= n; i += 16) {
        // One bit per byte with the high bit set, lowest first.
        auto high = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i))));
        for (; high != 0; high &= high - 1)
            at(i + static_cast<std::size_t>(std::countr_zero(high)));
    }
#else
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        std::uint64_t high = word & kHighBits;
        if (high == 0) continue;
        if constexpr (std::endian::native == std::endian::little) {
            // Each set bit marks one byte to convert (bit 8k+7 for byte k).
            for (; high != 0; high &= high - 1)
                at(i + static_cast<std::size_t>(std::countr_zero(high) / 8));
        } else {
            for (std::size_t k = i; k < i + 8; ++k)
                at(k);
        }
    }
#endif
    for (; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) & 0x80) at(i); // no store for unchanged bytes
}

} // namespace

unsigned char oemToAnsiByte(unsigned char oem) {
    return kOemToAnsi[oem];
}
unsigned char ansiToOemByte(unsigned char ansi) {
    return kAnsiToOem[ansi];
}

void oemToAnsi(std::string& buffer) {
    convert(buffer, kOemToAnsi);
}
void ansiToOem(std::string& buffer) {
    convert(buffer, kAnsiToOem);
}

std::string oemToAnsiCopy(std::string_view oem) {
    std::string s(oem);
    oemToAnsi(s);
    return s;
}

std::string ansiToOemCopy(std::string_view ansi) {
    std::string s(ansi);
    ansiToOem(s);
    return s;
}

} // namespace arti
