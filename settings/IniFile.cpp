#include "settings/IniFile.h"

#include "core/Oem.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"

namespace arti {

namespace {

// GetPrivateProfileString buffers of the class: values and key lists.
constexpr std::size_t kValueBuffer = 4096;
constexpr std::size_t kSectionBuffer = 8192;

// The runtime's program-wide scrambling key; this program leaves it empty.
constexpr std::string_view kCryptKey = "";

// Letters (those with a case, and sharp s) and digits make up words.
bool isWordChar(char c) {
    const std::string one(1, c);
    return (c >= '0' && c <= '9') || upper(one) != lower(one) || static_cast<unsigned char>(c) == 0xDF;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

void INIFILE::INIT(std::string_view fileName) {
    std::string name(fileName);
    const auto slash = name.find_last_of(platform::kPathSeparators);
    const std::string_view base =
        slash == std::string::npos ? std::string_view(name) : std::string_view(name).substr(slash + 1);
    if (base.find('.') == std::string_view::npos) name += ".INI";
    if (slash == std::string::npos) name = platform::currentFolder() + name;
    fullPath_ = std::move(name);
}

void WININIFILE::INIT() {
    fullPath_ = trim(platform::machineFolder()) + platform::kPathSeparator + "win.ini";
}

std::string INIFILE::GETSTRING(std::string_view section, std::string_view key) const {
    std::string v = platform::getProfileString(section, key, " ", fullPath_);
    if (v.size() > kValueBuffer - 1) v.resize(kValueBuffer - 1);
    return v;
}

long long INIFILE::GETINT(std::string_view section, std::string_view key) const {
    return toNumber(GETSTRING(section, key));
}

bool INIFILE::GETLOGIC(std::string_view section, std::string_view key) const {
    return USUAL2LOGIC(GETSTRING(section, key));
}

std::string INIFILE::GETPATH(std::string_view section, std::string_view key) const {
    std::string p = upper(GETSTRING(section, key));
    if (p.empty() || !platform::isPathSeparator(p.back())) p += platform::kPathSeparator;
    return p;
}

std::vector<std::string> INIFILE::GETSECTION(std::string_view section) const {
    // The keys as the system lists them: each followed by a NUL, the list by another; a
    // key that does not fit any more is cut and ends the list.
    std::vector<std::string> out;
    std::size_t used = 0;
    for (const std::string& k : platform::getProfileSectionKeys(section, fullPath_)) {
        if (used + k.size() + 1 <= kSectionBuffer - 1) {
            out.push_back(k);
            used += k.size() + 1;
            continue;
        }
        if (kSectionBuffer - 2 > used) out.push_back(k.substr(0, kSectionBuffer - 2 - used));
        break;
    }
    return out;
}

std::string INIFILE::GETSTRINGUPPER(std::string_view section, std::string_view key) const {
    return upper(GETSTRING(section, key));
}

std::string INIFILE::GETSTRINGPROPER(std::string_view section, std::string_view key) const {
    return properCase(GETSTRING(section, key));
}

std::string INIFILE::GETSTRINGOEM(std::string_view section, std::string_view key) const {
    return oemToAnsiCopy(GETSTRING(section, key));
}

std::string INIFILE::GETSTRINGCRYPT(std::string_view section, std::string_view key) const {
    return unscrambleText(GETSTRING(section, key), kCryptKey);
}

bool INIFILE::WRITESTRING(std::string_view section, std::string_view key, std::string_view text) {
    return platform::writeProfileString(section, key, text, fullPath_);
}

bool INIFILE::WRITEINT(std::string_view section, std::string_view key, long long number) {
    return WRITESTRING(section, key, plainNumber(number));
}

bool INIFILE::WRITELOGIC(std::string_view section, std::string_view key, bool value) {
    return WRITESTRING(section, key, value ? "TRUE" : "FALSE");
}

bool INIFILE::WRITESTRINGUPPER(std::string_view section, std::string_view key, std::string_view text) {
    return WRITESTRING(section, key, upper(text));
}

bool INIFILE::WRITESTRINGPROPER(std::string_view section, std::string_view key, std::string_view text) {
    return WRITESTRING(section, key, properCase(text));
}

bool INIFILE::WRITESTRINGOEM(std::string_view section, std::string_view key, std::string_view text) {
    return WRITESTRING(section, key, ansiToOemCopy(text));
}

bool INIFILE::WRITESTRINGCRYPT(std::string_view section, std::string_view key, std::string_view text) {
    return WRITESTRING(section, key, scrambleText(text, kCryptKey));
}

bool INIFILE::DELETEENTRY(std::string_view section, std::string_view key) {
    return platform::deleteProfileEntry(section, key, fullPath_);
}

bool INIFILE::DELETESECTION(std::string_view section) {
    return platform::deleteProfileSection(section, fullPath_);
}

bool USUAL2LOGIC(bool value) {
    return value;
}
bool USUAL2LOGIC(int value) {
    return value == 1;
}
bool USUAL2LOGIC(long long value) {
    return value == 1;
}
bool USUAL2LOGIC(double value) {
    return value == 1.0;
}
bool USUAL2LOGIC(const char* text) {
    return text && USUAL2LOGIC(std::string_view(text));
}

bool USUAL2LOGIC(std::string_view text) {
    // Whole words only: a text that spans two of them ("on_/_ja") is no logic word.
    const std::string word = lower(text);
    for (std::string_view w : {"ein", "on", "ja", "yes", "true", "j", "y", "1"})
        if (word == w) return true;
    return false;
}

std::string properCase(std::string_view text) {
    std::string out(text);
    bool inWord = false;
    for (char& c : out) {
        const bool wordChar = isWordChar(c);
        const std::string one(1, c);
        c = (wordChar && !inWord ? upper(one) : lower(one))[0];
        inWord = wordChar;
    }
    return out;
}

std::string scrambleText(std::string_view text, std::string_view key) {
    if (key.empty()) return std::string(text);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(static_cast<unsigned char>(text[i]) ^
                                                  static_cast<unsigned char>(key[i % key.size()]));
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
    return out;
}

std::string unscrambleText(std::string_view text, std::string_view key) {
    if (key.empty() || text.size() % 2 != 0) return std::string(text);
    std::string out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = hexDigit(text[i]);
        const int lo = hexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return std::string(text); // not a scrambled text
        out += static_cast<char>(static_cast<unsigned char>(hi * 16 + lo) ^
                                 static_cast<unsigned char>(key[(i / 2) % key.size()]));
    }
    return out;
}

} // namespace arti
