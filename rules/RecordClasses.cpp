#include "rules/RecordClasses.h"

#include "rules/SharedRules.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace arti::scan {

namespace {

// The admitted umlauts among the bytes of 128 and above of a group of bytes (`high`: one
// bit per such byte). Records hold few of them, so they are looked at one by one.
std::uint64_t umlauts(const char* group, std::uint64_t high) {
    std::uint64_t found = 0;
    for (; high != 0; high &= high - 1) {
        const int at = std::countr_zero(high);
        if (admittedUmlaut(static_cast<unsigned char>(group[at]))) found |= 1ULL << at;
    }
    return found;
}

void place(std::uint64_t (&mask)[2], std::size_t byte, std::uint64_t bits) {
    mask[byte / 64] |= bits << (byte % 64);
}

} // namespace

RecordClasses classifyRecordWords(const char* record, char filler) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kTops = 0x8080808080808080ULL;
    constexpr std::uint64_t kLows = ~kTops;
    // Exact per byte (no carry or borrow crosses a byte): the top bit of each byte says
    // whether the byte is at least lo (lo <= 128), at most hi (hi <= 127), or equal to c.
    const auto atLeast = [](std::uint64_t x, unsigned lo) {
        return (((x | kTops) - kOnes * lo) | x) & kTops;
    };
    const auto atMost = [](std::uint64_t x, unsigned hi) {
        return ~(((x & kLows) + kOnes * (127 - hi)) | x) & kTops;
    };
    const auto equal = [](std::uint64_t x, unsigned char c) {
        const std::uint64_t t = x ^ (kOnes * c);
        return ~(((t & kLows) + kLows) | t) & kTops;
    };
    // The top bits of the eight bytes gathered into the low eight bits, byte 0 lowest.
    const auto gather = [](std::uint64_t tops) { return ((tops >> 7) * 0x0102040810204080ULL) >> 56; };

    RecordClasses c{};
    for (std::size_t at = 0; at < kClassBytes; at += 8) {
        std::uint64_t x;
        std::memcpy(&x, record + at, 8);
        if constexpr (std::endian::native == std::endian::big) x = __builtin_bswap64(x);
        place(c.digit, at, gather(atLeast(x, '0') & atMost(x, '9')));
        std::uint64_t admitted = gather(atLeast(x, 32) & atMost(x, 126));
        if ((x & kTops) != 0) admitted |= umlauts(record + at, gather(x & kTops));
        place(c.admitted, at, admitted);
        place(c.blank, at, gather(equal(x, ' ')));
        place(c.filler, at, gather(equal(x, static_cast<unsigned char>(filler))));
    }
    return c;
}

#if defined(__SSE2__)
namespace {

// The compare values of the classes, set up once per record.
struct Sixteen {
    explicit Sixteen(char filler)
        : zero(_mm_set1_epi8('0')), nine(_mm_set1_epi8(9)), space(_mm_set1_epi8(' ')),
          printableSpan(_mm_set1_epi8(126 - 32)),
          fill(_mm_set1_epi8(filler)), umlaut{_mm_set1_epi8('\xC4'), _mm_set1_epi8('\xD6'),
                                              _mm_set1_epi8('\xDC'), _mm_set1_epi8('\xE4'),
                                              _mm_set1_epi8('\xF6'), _mm_set1_epi8('\xFC'),
                                              _mm_set1_epi8('\xDF')} {}

    static std::uint64_t bits(__m128i m) {
        return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(m))};
    }
    // x - lo, as an unsigned byte, at most span: lo <= x <= lo + span.
    static __m128i within(__m128i x, __m128i lo, __m128i span) {
        const __m128i d = _mm_sub_epi8(x, lo);
        return _mm_cmpeq_epi8(_mm_min_epu8(d, span), d);
    }

    // Sorts sixteen bytes into the four words at bit `shift`.
    void group(const char* at, unsigned shift, RecordClasses& c, std::size_t word) const {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        c.digit[word] |= bits(within(x, zero, nine)) << shift;
        std::uint64_t admitted = bits(within(x, space, printableSpan));
        // The umlauts are compared only in groups that hold a byte of 128 or above.
        if (bits(x) != 0) {
            const __m128i a = _mm_or_si128(_mm_cmpeq_epi8(x, umlaut[0]), _mm_cmpeq_epi8(x, umlaut[1]));
            const __m128i b = _mm_or_si128(_mm_cmpeq_epi8(x, umlaut[2]), _mm_cmpeq_epi8(x, umlaut[3]));
            const __m128i d = _mm_or_si128(_mm_cmpeq_epi8(x, umlaut[4]), _mm_cmpeq_epi8(x, umlaut[5]));
            admitted |= bits(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(d, _mm_cmpeq_epi8(x, umlaut[6]))));
        }
        c.admitted[word] |= admitted << shift;
        c.blank[word] |= bits(_mm_cmpeq_epi8(x, space)) << shift;
        c.filler[word] |= bits(_mm_cmpeq_epi8(x, fill)) << shift;
    }

    __m128i zero, nine, space, printableSpan, fill;
    __m128i umlaut[7];
};

} // namespace
#endif

RecordClasses classifyRecord(const char* record, char filler) {
#if defined(__SSE2__)
    const Sixteen s(filler);
    RecordClasses c{};
    s.group(record, 0, c, 0);
    s.group(record + 16, 16, c, 0);
    s.group(record + 32, 32, c, 0);
    s.group(record + 48, 48, c, 0);
    s.group(record + 64, 0, c, 1);
    s.group(record + 80, 16, c, 1);
    s.group(record + 96, 32, c, 1);
    s.group(record + 112, 48, c, 1);
    return c;
#else
    return classifyRecordWords(record, filler);
#endif
}

} // namespace arti::scan
