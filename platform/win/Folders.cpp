#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"

#include <windows.h>
// The known folders (after windows.h, which they need).
#include <knownfolders.h>
#include <shlobj.h>

namespace arti::platform {

namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// A folder text without separators at its end; a drive's root ("C:\") keeps its own.
std::string withoutSeparator(std::wstring w) {
    while (w.size() > 1 && isSeparator(w.back()) && !(w.size() == 3 && w[1] == L':'))
        w.pop_back();
    return narrow(w);
}

std::string withSeparator(std::string s) {
    if (!s.empty() && s.back() != '\\' && s.back() != '/') s += kPathSeparator;
    return s;
}

std::string knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string out;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) out = withoutSeparator(path);
    CoTaskMemFree(path);
    return out;
}

std::string variable(const char* name) {
    const std::optional<std::string> v = environmentValue(name);
    return v && !v->empty() ? withoutSeparator(wide(*v)) : std::string();
}

// A text of a W function that fills a buffer and returns the length it needs.
template <typename Fill> std::wstring filled(Fill fill) {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD len = fill(buf.data(), static_cast<DWORD>(buf.size()));
        if (len == 0) return {};
        if (len < buf.size()) return buf.substr(0, len);
        buf.resize(len + 1);
    }
}

DWORD attributes(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide(path).c_str());
}

} // namespace

std::string homeFolder() {
    std::string h = variable("USERPROFILE");
    if (h.empty()) h = knownFolder(FOLDERID_Profile);
    return h.empty() ? std::string("C:\\") : h;
}

std::string userConfigFolder() {
    const std::string a = variable("APPDATA");
    if (!a.empty()) return a;
    const std::string k = knownFolder(FOLDERID_RoamingAppData);
    return k.empty() ? homeFolder() + "\\AppData\\Roaming" : k;
}

std::string userTempFolder() {
    const std::wstring t = filled([](wchar_t* b, DWORD n) { return GetTempPathW(n, b); });
    return t.empty() ? systemTempFolder() : withoutSeparator(t);
}

std::string systemTempFolder() {
    const std::wstring w = filled([](wchar_t* b, DWORD n) { return GetSystemWindowsDirectoryW(b, n); });
    return (w.empty() ? std::string("C:\\Windows") : withoutSeparator(w)) + "\\Temp";
}

// GetModuleFileNameW cuts a name that does not fit (and returns the buffer's size): the
// buffer grows until the whole name fits.
std::string executableFolder() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD len = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (len == 0) return currentFolder();
        if (len < buf.size()) {
            buf.resize(len);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    const std::size_t slash = buf.find_last_of(L"\\/");
    return slash == std::wstring::npos ? currentFolder() : narrow(buf.substr(0, slash + 1));
}

std::string currentFolder() {
    const std::wstring w = filled([](wchar_t* b, DWORD n) { return GetCurrentDirectoryW(n, b); });
    return w.empty() ? std::string() : withSeparator(narrow(w));
}

bool changeCurrentFolder(const std::string& folder) {
    return !folder.empty() && SetCurrentDirectoryW(wide(folder).c_str());
}

std::string userRegistryFolder() {
    const std::string o = variable("ARTISCOPE_REGISTRY_DIR");
    return o.empty() ? userConfigFolder() + "\\artiscope" : o;
}

std::string machineFolder() {
    const std::string o = variable("ARTISCOPE_REGISTRY_DIR");
    if (!o.empty()) return o;
    std::string data = knownFolder(FOLDERID_ProgramData);
    if (data.empty()) data = "C:\\ProgramData";
    return data + "\\artiscope";
}

bool fileExists(const std::string& path) {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::string& path) {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace arti::platform
