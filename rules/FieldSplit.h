// Cutting a version 2000 record into its fields: trailing blanks belong to no field, n
// separators give n+1 fields, and fields are not trimmed. The record step cuts every
// record, so a one-character separator is looked for sixty-four bytes at a time where
// the processor compares sixteen bytes at once, eight bytes at a time in a word elsewhere,
// and byte by byte in what is left.
#pragma once

#include "core/ByteMatch.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace arti {

namespace detail {

// forEachField; with kCopy the text is copied to `copy` as well (which must not overlap
// it), from the same loads where the separator is looked for sixteen bytes at a time.
template <bool kCopy, typename Field>
void splitFields(std::string_view text, std::string_view separator, [[maybe_unused]] char* copy,
                 Field&& field) {
#if defined(__SSE2__)
    constexpr bool kCopiedInScan = kCopy;
#else
    constexpr bool kCopiedInScan = false;
#endif
    if constexpr (kCopy) {
        if (!kCopiedInScan || separator.size() != 1) std::memcpy(copy, text.data(), text.size());
    }
    std::size_t from = 0;
    if (separator.size() == 1) {
        const char sep = separator[0];
        std::size_t at = 0;
#if defined(__SSE2__)
        // Sixty-four bytes at a time, in four compares of sixteen: one bit per byte equal
        // to the separator, lowest first, so that the loop over the separators runs once
        // per block. Nothing beyond the text is read: a text shorter than sixty-four bytes
        // takes its last sixteen bytes for the compare that would reach beyond it (the
        // overlap sets the same bits again), and the last part of a longer text is taken
        // from the block of its last sixty-four bytes.
        const __m128i pattern = _mm_set1_epi8(sep);
        const std::size_t n = text.size();
        const auto bits = [&](std::size_t start) -> std::uint64_t {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + start));
            if constexpr (kCopy) _mm_storeu_si128(reinterpret_cast<__m128i*>(copy + start), x);
            return static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, pattern)));
        };
        const auto block = [&](std::size_t start) {
            return bits(start) | bits(start + 16) << 16 | bits(start + 32) << 32 | bits(start + 48) << 48;
        };
        const auto cuts = [&](std::uint64_t mask, std::size_t base) {
            for (; mask != 0; mask &= mask - 1) {
                const std::size_t cut = base + static_cast<std::size_t>(std::countr_zero(mask));
                field(from, cut - from);
                from = cut + 1;
            }
        };
        if (n >= 64) {
            for (; at + 64 <= n; at += 64)
                cuts(block(at), at);
            if (at < n) cuts(block(n - 64) >> (at - (n - 64)), at);
            at = n;
        } else if (n >= 16) {
            const std::size_t last = n - 16;
            cuts(bits(0) | bits(std::min<std::size_t>(16, last)) << std::min<std::size_t>(16, last) |
                     bits(std::min<std::size_t>(32, last)) << std::min<std::size_t>(32, last) |
                     bits(last) << last,
                 0);
            at = n;
        }
#else
        // Eight bytes at a time in a word where there is no sixteen-byte compare.
        if constexpr (bytes::kWordScan) {
            for (; at + 8 <= text.size(); at += 8) {
                for (std::uint64_t m =
                         bytes::matches(bytes::word(text.data() + at), static_cast<unsigned char>(sep));
                     m != 0; m &= m - 1) {
                    const std::size_t cut = at + bytes::firstMatch(m);
                    field(from, cut - from);
                    from = cut + 1;
                }
            }
        }
#endif
        // What is left (a text shorter than sixteen or eight bytes, its last bytes): byte
        // by byte.
        for (; at < text.size(); ++at) {
            if constexpr (kCopiedInScan) copy[at] = text[at];
            if (text[at] != sep) continue;
            field(from, at - from);
            from = at + 1;
        }
    } else if (!separator.empty()) {
        for (std::size_t at = text.find(separator); at != std::string_view::npos;
             at = text.find(separator, from)) {
            field(from, at - from);
            from = at + separator.size();
        }
    }
    field(from, text.size() - from);
}

} // namespace detail

// Calls field(offset, length) for every field of `text` (already without its trailing
// blanks), in order. An empty separator leaves the text one field.
template <typename Field>
void forEachField(std::string_view text, std::string_view separator, Field&& field) {
    detail::splitFields<false>(text, separator, nullptr, field);
}

// forEachField, which also copies the text to `copy` (room for text.size() bytes, apart
// from the text) on its way.
template <typename Field>
void copyEachField(std::string_view text, std::string_view separator, char* copy, Field&& field) {
    detail::splitFields<true>(text, separator, copy, field);
}

} // namespace arti
