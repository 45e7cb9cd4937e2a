// The bytes of a fixed-position record sorted into the classes the field checks ask
// about, all in one pass: one bit per byte and class, so that the test of a field, or of
// every field of a kind at once, is an AND of masks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace arti::scan {

// The bytes a record's classes cover: the length of every 05/90 and 01/96 record.
inline constexpr std::size_t kClassBytes = 128;

// Bit i % 64 of word i / 64 stands for byte i of the record.
struct RecordClasses {
    std::uint64_t digit[2];    // '0' to '9'
    std::uint64_t admitted[2]; // codes 32 to 126 and the umlauts the character rule admits
    std::uint64_t blank[2];    // ' '
    std::uint64_t filler[2];   // the code-0 filler the caller names
};

// The classes of the first kClassBytes bytes of `record`, which must hold as many.
// Sixteen bytes at a time where the processor compares sixteen at once, else eight at a
// time in a word (classifyRecordWords, which is also what tests compare).
RecordClasses classifyRecord(const char* record, char filler);
RecordClasses classifyRecordWords(const char* record, char filler);

// Whether every byte of [offset, offset + width) is set in `mask` (two words as above).
inline bool allSet(const std::uint64_t mask[2], std::size_t offset, std::size_t width) {
    for (std::size_t w = 0; w < 2; ++w) {
        const std::size_t lo = w * 64;
        const std::size_t from = offset > lo ? offset - lo : 0;
        const std::size_t end = offset + width;
        if (end <= lo || from >= 64) continue;
        const std::size_t to = end - lo < 64 ? end - lo : 64;
        const std::uint64_t want = (to - from == 64 ? ~0ULL : ((1ULL << (to - from)) - 1)) << from;
        if ((mask[w] & want) != want) return false;
    }
    return true;
}

} // namespace arti::scan
