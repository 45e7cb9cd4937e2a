// Cutting a version 2000 record into its fields: trailing blanks belong to no field, n
// separators give n+1 fields, and fields are not trimmed. The record step cuts every
// record, so a one-character separator is looked for sixty-four bytes at a time where
// the processor compares sixteen bytes at once, and byte by byte elsewhere.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace arti {

// Calls field(offset, length) for every field of `text` (already without its trailing
// blanks), in order. An empty separator leaves the text one field.
template <typename Field>
void forEachField(std::string_view text, std::string_view separator, Field&& field) {
    std::size_t from = 0;
    if (separator.size() == 1) {
        const char sep = separator[0];
        std::size_t at = 0;
#if defined(__SSE2__)
        // Sixty-four bytes at a time: one bit per byte equal to the separator, lowest
        // first. The rest of the text is compared in a copy padded with a byte that is no
        // separator, so that every record is read in whole blocks and the loop over its
        // separators runs once per block.
        const __m128i pattern = _mm_set1_epi8(sep);
        const auto block = [&pattern](const char* p) {
            std::uint64_t mask = 0;
            for (int k = 0; k < 4; ++k) {
                const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
                mask |= std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, pattern)))}
                        << (16 * k);
            }
            return mask;
        };
        const auto cutAll = [&](std::size_t base, std::uint64_t mask) {
            for (; mask != 0; mask &= mask - 1) {
                const std::size_t cut = base + static_cast<std::size_t>(std::countr_zero(mask));
                field(from, cut - from);
                from = cut + 1;
            }
        };
        for (; at + 64 <= text.size(); at += 64) cutAll(at, block(text.data() + at));
        if (at < text.size()) {
            char rest[64];
            std::memset(rest, static_cast<unsigned char>(sep) ^ 1, sizeof rest);
            std::memcpy(rest, text.data() + at, text.size() - at);
            cutAll(at, block(rest));
            at = text.size();
        }
#endif
        // Without the sixteen-byte compare: byte by byte.
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
