#include "platform/WindowList.h"

#include "platform/Unicode.h"

#include <windows.h>

namespace arti::platform {

namespace {

std::string titleOf(HWND w) {
    const int length = GetWindowTextLengthW(w);
    if (length <= 0) return {};
    std::wstring buf(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(w, buf.data(), length + 1);
    return n > 0 ? narrow(std::wstring_view(buf.data(), static_cast<std::size_t>(n))) : std::string();
}

struct Listing {
    std::vector<TopWindow> windows;
    DWORD process = 0; // 0: every process
};

// EnumWindows gives the top-level windows topmost first; the visible ones with a title
// are listed.
BOOL CALLBACK collect(HWND w, LPARAM param) {
    auto& listing = *reinterpret_cast<Listing*>(param);
    if (!IsWindowVisible(w)) return TRUE;
    if (listing.process != 0) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != listing.process) return TRUE;
    }
    std::string title = titleOf(w);
    if (!title.empty())
        listing.windows.push_back(
            {static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(w)), std::move(title)});
    return TRUE;
}

std::vector<TopWindow> listWindows(DWORD process) {
    Listing listing;
    listing.process = process;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&listing));
    return std::move(listing.windows);
}

} // namespace

std::vector<TopWindow> topLevelWindows() {
    return listWindows(0);
}

std::string windowTitle(std::uint64_t id) {
    const HWND w = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id));
    return id != 0 && IsWindow(w) ? titleOf(w) : std::string();
}

std::vector<TopWindow> windowsOfProcess(long pid) {
    return pid <= 0 ? std::vector<TopWindow>{} : listWindows(static_cast<DWORD>(pid));
}

long thisProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

} // namespace arti::platform
