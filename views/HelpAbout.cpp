#include "views/HelpAbout.h"

#include "core/AppState.h"
#include "core/Text.h"
#include "platform/SystemInfo.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <cstdio>

namespace arti {

using namespace arti::literals;

namespace {

constexpr const char* kControlNames[] = {"TEXT1", "TXTEMAIL", "TXT11", "TXT12", "TXT13", "TXT14", "TXT1",
                                         "TXT2",  "TXT3",     "TXT4",  "TXT5",  "TXT6",  "TXT7",  "TXT21",
                                         "TXT22", "TXT23",    "TXT24", "TXT25", "TXT26", "TXT27"};
static_assert(std::size(kControlNames) == static_cast<std::size_t>(AboutCtl::Count));

std::string number(long long n) {
    return plainNumber(n);
}

std::string pixels(int width, int height) {
    return number(width) + " x " + number(height);
}

// Label (trimmed, without NUL characters), serial number and file-system name.
std::string volumeText(const VolumeInfo& v) {
    if (!v.known) return {};
    std::string label;
    for (char c : v.label)
        if (c != '\0') label += c;
    label = trim(label);
    std::string text = label.empty() ? std::string() : label + " ";
    text += std::to_string(v.serial);
    if (!v.fileSystem.empty()) text += " " + v.fileSystem;
    return text;
}

} // namespace

const char* aboutControlName(AboutCtl c) {
    const auto i = static_cast<std::size_t>(c);
    return i < std::size(kControlNames) ? kControlNames[i] : "";
}

HELPABOUT::~HELPABOUT() {
    stopTimer();
}

void HELPABOUT::show(AboutCtl c, const std::string& text) {
    std::string& slot = texts_[static_cast<std::size_t>(c)];
    if (slot == text) return;
    slot = text;
    if (view_) view_->setText(c, text);
}

void HELPABOUT::stopTimer() {
    if (timer_ == 0) return;
    windowServices().killTimer(timer_);
    timer_ = 0;
}

std::string HELPABOUT::megabytes(std::uint64_t bytes) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.3Lf", static_cast<long double>(bytes) / 1048576.0L);
    std::string s = buf;
    if (const auto dot = s.find('.'); dot != std::string::npos) s[dot] = ',';
    return padLeft(s, 7);
}

std::string HELPABOUT::GETWINOSREG(Owner owner) {
    const std::string stem = "SOFTWARE\\";
    const std::string tail = "Microsoft\\Windows NT\\CurrentVersion";
    const struct {
        std::string key;
        const char* bits;
    } views[] = {{stem + "Wow6432Node\\" + tail, "64"}, {stem + tail, "32"}};
    for (const auto& v : views) {
        const std::string product = GETREG_EINZELWERT(owner, "HKLM", v.key, "ProductName", false);
        if (product.empty()) continue;
        return product + " " + v.bits + " " + GETREG_EINZELWERT(owner, "HKLM", v.key, "ReleaseID", false) +
               " " + GETREG_EINZELWERT(owner, "HKLM", v.key, "BuildLab", false);
    }
    return {};
}

void HELPABOUT::POSTINIT() {
    const AppState& app = appState();
    const std::string email = kEmail;
    show(AboutCtl::TXTEMAIL, email);
    const int year = static_cast<int>(clock().today().year());
    const std::string lines[] = {
        "",
        app.title,
        "Version " + app.programVersion,
        "Installationsmodus >" + std::string(settings().adminInstall ? "ADMIN" : "USER"),
        "© "_ansi + std::to_string(year) + " " + kMaker,
        std::string("Telefon: ") + kTelephone,
        "E-Mail: " + email,
    };
    std::string text;
    for (const std::string& line : lines)
        text += (&line == lines ? "" : "\r") + line;
    show(AboutCtl::TEXT1, text);

    std::string os = GETWINOSREG(owner());
    const IResourceMeter& system = resourceMeter();
    if (os.empty()) os = system.systemDescription();
    show(AboutCtl::TXT11, os);
    show(AboutCtl::TXT12, system.runtimeVersion());
    show(AboutCtl::TXT13, volumeText(system.currentVolume()));
    show(AboutCtl::TXT14, app.programFolder);

    VIEWMEMORY();
    stopTimer();
    timer_ = windowServices().startTimer(kRefreshMs, false, [this] { TIMER(); });
}

void HELPABOUT::VIEWMEMORY() {
    const IResourceMeter& system = resourceMeter();
    const MemoryStatus m = system.memory();
    show(AboutCtl::TXT1, megabytes(m.totalPhysical));
    show(AboutCtl::TXT2, megabytes(m.availablePhysical));
    show(AboutCtl::TXT3, number(m.loadPercent));
    show(AboutCtl::TXT4, megabytes(m.totalPageFile));
    show(AboutCtl::TXT5, megabytes(m.availablePageFile));
    show(AboutCtl::TXT6, megabytes(m.totalVirtual));
    show(AboutCtl::TXT7, megabytes(m.availableVirtual));

    const AllocatorStatus a = system.allocator();
    show(AboutCtl::TXT21, megabytes(a.reserved));
    show(AboutCtl::TXT22, megabytes(a.used));
    show(AboutCtl::TXT23, number(system.freePercent()));
    show(AboutCtl::TXT24, std::to_string(system.collections()));

    const ScreenMetrics s = screenMetrics().metrics();
    show(AboutCtl::TXT25, pixels(s.primaryWidth, s.primaryHeight));
    show(AboutCtl::TXT26, number(s.monitors));
    show(AboutCtl::TXT27, pixels(s.virtualWidth, s.virtualHeight));
}

void HELPABOUT::PSHEMAIL() {
    const std::string target = "mailto:" + text(AboutCtl::TXTEMAIL);
    if (main_)
        main_->CALLEXPLORER(target, "open", "");
    else
        shell().open(owner(), target, "open", "");
}

void HELPABOUT::PSHCANCEL() {
    stopTimer();
    ended_ = true;
    if (view_) view_->endDialog();
}

} // namespace arti
