// A set of byte values, one bit each: whether a byte is one of a few given ones is one
// test, where a search through them would go byte by byte.
#pragma once

#include <cstdint>
#include <string_view>

namespace arti {

class ByteSet {
public:
    constexpr ByteSet() = default;
    constexpr explicit ByteSet(std::string_view bytes) {
        for (const char c : bytes)
            add(c);
    }

    constexpr void add(char c) {
        const auto b = static_cast<unsigned char>(c);
        bits_[b >> 6] |= std::uint64_t{1} << (b & 63);
    }
    constexpr bool has(char c) const {
        const auto b = static_cast<unsigned char>(c);
        return ((bits_[b >> 6] >> (b & 63)) & 1) != 0;
    }

private:
    std::uint64_t bits_[4] = {};
};

} // namespace arti
