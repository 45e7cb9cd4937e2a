#include "core/Text.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace arti {

namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char32_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

unsigned char upperByte(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
    switch (c) {
    case 0x9A:
        return 0x8A;
    case 0x9C:
        return 0x8C;
    case 0x9E:
        return 0x8E;
    case 0xFF:
        return 0x9F;
    default:
        return c;
    }
}

unsigned char lowerByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A:
        return 0x9A;
    case 0x8C:
        return 0x9C;
    case 0x8E:
        return 0x9E;
    case 0x9F:
        return 0xFF;
    default:
        return c;
    }
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

char32_t ansiToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
    return byte;
}

char unicodeToAnsi(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

std::string ansiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 4);
    for (char c : ansi)
        appendUtf8(out, ansiToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string pathAsEngineText(const std::string& utf8Path) {
    const std::string ansi = utf8ToAnsi(utf8Path);
    return ansiToUtf8(ansi) == utf8Path ? ansi : utf8Path;
}

std::string utf8ToAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + len > utf8.size()) {
            out += '?';
            ++i;
            continue;
        }
        char32_t cp = len == 1 ? c : (c & (0x7F >> len));
        bool ok = true;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(utf8[i + k]);
            if ((cc & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        out += ok ? unicodeToAnsi(cp) : '?';
        i += ok ? len : 1;
    }
    return out;
}

std::string trimLeft(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string trimRight(std::string_view s) {
    return std::string(trimRightView(s));
}

std::string trim(std::string_view s) {
    return std::string(trimView(s));
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(upperByte(static_cast<unsigned char>(c)));
    return out;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(lowerByte(static_cast<unsigned char>(c)));
    return out;
}

bool containsLowered(std::string_view text, std::string_view lowerWord) {
    // The lower case of every byte, looked up instead of decided per byte.
    static const std::array<unsigned char, 256> kLower = [] {
        std::array<unsigned char, 256> t{};
        for (unsigned c = 0; c < 256; ++c)
            t[c] = lowerByte(static_cast<unsigned char>(c));
        return t;
    }();
    if (lowerWord.empty()) return true;
    if (lowerWord.size() > text.size()) return false;
    const auto first = static_cast<unsigned char>(lowerWord[0]);
    const std::size_t last = text.size() - lowerWord.size();
    // A first byte that only one byte lowers to is found with memchr, which looks at many
    // bytes at once: "<!doctype html" is searched through whole installers.
    static const std::array<bool, 256> kOnlySource = [] {
        std::array<int, 256> sources{};
        for (const unsigned char lowered : kLower)
            ++sources[lowered];
        std::array<bool, 256> t{};
        for (unsigned c = 0; c < 256; ++c)
            t[c] = sources[c] == 1 && kLower[c] == c;
        return t;
    }();
    const bool single = kOnlySource[first];
    for (std::size_t at = 0; at <= last; ++at) {
        if (single) {
            const void* hit = std::memchr(text.data() + at, first, last + 1 - at);
            if (!hit) return false;
            at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        } else if (kLower[static_cast<unsigned char>(text[at])] != first) {
            continue;
        }
        std::size_t k = 1;
        while (k < lowerWord.size() &&
               kLower[static_cast<unsigned char>(text[at + k])] == static_cast<unsigned char>(lowerWord[k]))
            ++k;
        if (k == lowerWord.size()) return true;
    }
    return false;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperByte(static_cast<unsigned char>(a[i])) != upperByte(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

long long toNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    long long n = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (n > (9'000'000'000'000'000'000LL - 9) / 10) break;
        n = n * 10 + (s[i] - '0');
    }
    return negative ? -n : n;
}

std::optional<long long> parseInteger(std::string_view s) {
    const std::string t = trim(s);
    if (t.empty()) return std::nullopt;
    std::size_t i = t[0] == '-' ? 1 : 0;
    if (i == t.size() || t.size() - i > 18) return std::nullopt;
    for (std::size_t k = i; k < t.size(); ++k)
        if (t[k] < '0' || t[k] > '9') return std::nullopt;
    return toNumber(t);
}

std::string plainNumber(long long n) {
    return std::to_string(n);
}

std::string groupedNumber(long long n) {
    const std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

std::string hexNumber(unsigned long long n) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llX", n);
    return buf;
}

std::string padLeft(std::string_view s, std::size_t width) {
    if (s.size() >= width) return std::string(s);
    return std::string(width - s.size(), ' ') + std::string(s);
}

std::vector<std::string> splitLines(std::string_view s, std::string_view separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto p = s.find(separator, start);
        if (p == std::string_view::npos) {
            parts.emplace_back(s.substr(start));
            return parts;
        }
        parts.emplace_back(s.substr(start, p - start));
        start = p + separator.size();
    }
}

namespace {
bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80           ? 1
                                : (c >> 5) == 0x6  ? 2
                                : (c >> 4) == 0xE  ? 3
                                : (c >> 3) == 0x1E ? 4
                                                   : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}
} // namespace

std::string systemPath(const std::string& fileName) {
    return validUtf8(fileName) ? fileName : ansiToUtf8(fileName);
}

} // namespace arti
