// File names inside the program are UTF-8 texts on every system. Windows takes them as
// UTF-16 at its system calls, and std::filesystem there reads a narrow text in the
// ANSI code page: these functions convert at those borders.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace arti::platform {

// UTF-8 to UTF-16. A byte that starts no valid sequence becomes U+FFFD.
std::u16string utf16(std::string_view utf8);
// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string utf8(std::u16string_view utf16);

// The path of a UTF-8 file name, and the UTF-8 text of a path.
std::filesystem::path fsPath(std::string_view utf8);
std::string pathText(const std::filesystem::path& path);

#ifdef _WIN32
// The wide texts of the W functions (wchar_t is a UTF-16 unit on Windows).
std::wstring wide(std::string_view utf8);
std::string narrow(std::wstring_view wide);
#endif

} // namespace arti::platform
