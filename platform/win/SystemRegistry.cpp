#include "platform/SystemRegistry.h"

#include "core/Text.h"

#include "platform/Environment.h"
#include "platform/Unicode.h"

#include <windows.h>

namespace arti::platform::sysreg {

namespace {

HKEY root(RegHive hive) {
    return hive == RegHive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// The program's texts are Windows-1252 or UTF-8 (file names); the registry holds UTF-16.
// A text is stored as systemPath() reads it and read back in Windows-1252 when that
// code page holds it, else in UTF-8, which systemPath() takes as it is.
std::wstring toRegistry(std::string_view text) {
    return wide(systemPath(std::string(text)));
}

std::string fromRegistry(std::wstring_view text) {
    const std::string u = narrow(text);
    std::string ansi = utf8ToAnsi(u);
    return ansiToUtf8(ansi) == u ? ansi : u;
}

// An open key that closes itself.
class Key {
public:
    ~Key() {
        if (h_) RegCloseKey(h_);
    }
    HKEY* out() { return &h_; }
    HKEY get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

LSTATUS open(RegHive hive, const std::string& path, REGSAM access, Key& key) {
    return RegOpenKeyExW(root(hive), toRegistry(path).c_str(), 0, access, key.out());
}

} // namespace

bool exists() {
    return true;
}

bool inUse() {
    const std::optional<std::string> folder = environmentValue("ARTISCOPE_REGISTRY_DIR");
    return !folder || folder->empty();
}

RegStatus openKey(RegHive hive, const std::string& path, RegAccess access) {
    Key key;
    return open(hive, path, access == RegAccess::All ? KEY_ALL_ACCESS : KEY_READ, key);
}

RegStatus createKey(RegHive hive, const std::string& path) {
    Key key;
    return RegCreateKeyExW(root(hive), toRegistry(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
}

RegStatus queryValue(RegHive hive, const std::string& path, std::string_view name, std::string& text) {
    Key key;
    if (const LSTATUS s = open(hive, path, KEY_QUERY_VALUE, key); s != ERROR_SUCCESS) return s;
    const std::wstring value = toRegistry(name);
    // A REG_EXPAND_SZ value comes expanded (RRF_RT_REG_SZ takes both kinds).
    const DWORD flags = RRF_RT_REG_SZ;
    for (;;) {
        DWORD size = 0;
        LSTATUS s = RegGetValueW(key.get(), nullptr, value.c_str(), flags, nullptr, nullptr, &size);
        if (s != ERROR_SUCCESS) return s;
        std::wstring buf(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
        s = RegGetValueW(key.get(), nullptr, value.c_str(), flags, nullptr, buf.data(), &got);
        if (s == ERROR_MORE_DATA) continue; // changed between the two calls
        if (s != ERROR_SUCCESS) return s;
        buf.resize(wcsnlen(buf.c_str(), buf.size()));
        text = fromRegistry(buf);
        return kRegSuccess;
    }
}

std::vector<RegStatus> setValues(RegHive hive, const std::string& path,
                                 std::span<const RegNamedText> values) {
    std::vector<RegStatus> status(values.size(), kRegSuccess);
    Key key;
    if (const LSTATUS s = open(hive, path, KEY_SET_VALUE, key); s != ERROR_SUCCESS) {
        std::fill(status.begin(), status.end(), s);
        return status;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::wstring text = toRegistry(values[i].text);
        const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        status[i] = RegSetValueExW(key.get(), toRegistry(values[i].name).c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    }
    return status;
}

RegStatus deleteValue(RegHive hive, const std::string& path, std::string_view name) {
    Key key;
    if (const LSTATUS s = open(hive, path, KEY_SET_VALUE, key); s != ERROR_SUCCESS) return s;
    return RegDeleteValueW(key.get(), toRegistry(name).c_str());
}

} // namespace arti::platform::sysreg
