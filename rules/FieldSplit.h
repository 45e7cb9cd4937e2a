// Cutting a version 2000 record into its fields: trailing blanks belong to no field, n
// separators give n+1 fields, and fields are not trimmed. The record step cuts every
// record, so a one-character separator is looked for sixteen bytes at a time where the
// processor compares sixteen bytes at once, and byte by byte elsewhere.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
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
        // Sixteen bytes at a time: one bit per byte equal to the separator, lowest first.
        const __m128i pattern = _mm_set1_epi8(sep);
        for (; at + 16 <= text.size(); at += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
            auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, pattern)));
            for (; mask != 0; mask &= mask - 1) {
                const std::size_t cut = at + static_cast<std::size_t>(std::countr_zero(mask));
                field(from, cut - from);
                from = cut + 1;
            }
        }
#endif
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
