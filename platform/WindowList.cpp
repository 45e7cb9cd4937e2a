#include "platform/WindowList.h"

namespace arti::platform {

namespace {
std::vector<SystemWindow> systemWindows(std::vector<TopWindow> in) {
    std::vector<SystemWindow> out;
    out.reserve(in.size());
    for (auto& w : in)
        out.push_back({w.id, std::move(w.title)});
    return out;
}
} // namespace

std::vector<SystemWindow> DesktopWindows::topLevelWindows() const {
    return systemWindows(platform::topLevelWindows());
}

std::vector<SystemWindow> DesktopWindows::windowsOfThisProcess() const {
    return systemWindows(windowsOfProcess(thisProcessId()));
}

} // namespace arti::platform

namespace arti {

const IWindowSystem& windowSystem() {
    static const platform::DesktopWindows desktop;
    const IWindowSystem* installed = services().windowList;
    return installed ? *installed : desktop;
}

} // namespace arti
