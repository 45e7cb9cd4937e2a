// Text helpers of the engine. Engine text is std::string holding Windows-1252 bytes;
// sources are UTF-8, so literals with non-ASCII letters are written as "..."_ansi.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

// Windows-1252 <-> Unicode. Bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D map to U+0081.. as Windows does.
char32_t ansiToUnicode(unsigned char byte);
// The Windows-1252 byte of a code point, or '?' when the code page has none.
char unicodeToAnsi(char32_t cp);
std::string ansiToUtf8(std::string_view ansi);
// Invalid UTF-8 sequences and characters outside the code page become '?'.
std::string utf8ToAnsi(std::string_view utf8);
// A path from the system (UTF-8) as engine text: Windows-1252 when it converts there and
// back unchanged, else the UTF-8 bytes as they are.
std::string pathAsEngineText(const std::string& utf8Path);

namespace literals {
// "Prüfung"_ansi: the UTF-8 literal as Windows-1252 bytes.
inline std::string operator""_ansi(const char* s, std::size_t n) {
    return utf8ToAnsi(std::string_view(s, n));
}
} // namespace literals

// Trimming removes blanks only (the runtime's AllTrim), not tabs or line ends.
std::string trim(std::string_view s);
std::string trimRight(std::string_view s);
std::string trimLeft(std::string_view s);
// The same as views into `s`, for the checks that trim on every record.
inline std::string_view trimRightView(std::string_view s) {
    std::size_t end = s.size();
    while (end > 0 && s[end - 1] == ' ')
        --end;
    return s.substr(0, end);
}
inline std::string_view trimView(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : trimRightView(s.substr(first));
}
// Upper and lower case of Windows-1252 text, umlauts included.
std::string upper(std::string_view s);
std::string lower(std::string_view s);
bool equalsNoCase(std::string_view a, std::string_view b);
// Whether the lower case of `text` contains `lowerWord` (given in lower case), without
// building the lowered copy: the log asks it of every finding.
bool containsLowered(std::string_view text, std::string_view lowerWord);
bool startsWith(std::string_view s, std::string_view prefix);

// The runtime's Val(): leading blanks skipped, optional sign, digits; anything else ends
// the number. A text without leading digits gives 0.
long long toNumber(std::string_view s);
// Whole number only when the whole trimmed text is one (no sign allowed but '-').
std::optional<long long> parseInteger(std::string_view s);

// Plain decimal, as numbers appear inside messages and log lines.
std::string plainNumber(long long n);
// With thousands separators ".", as byte positions and lengths are shown to the user.
std::string groupedNumber(long long n);
// Upper-case hexadecimal without leading zeros.
std::string hexNumber(unsigned long long n);
// Right-aligned in a field of `width` characters (wider numbers are not cut).
std::string padLeft(std::string_view s, std::size_t width);

std::vector<std::string> splitLines(std::string_view s, std::string_view separator);

// File name (engine text) as the file system wants it: unchanged when it is ASCII or
// already valid UTF-8, else converted from Windows-1252 to UTF-8.
std::string systemPath(const std::string& fileName);

} // namespace arti
