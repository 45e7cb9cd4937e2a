#include "platform/WindowList.h"
#include "settings/Probes.h"
#include "tests/support/GtestFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#ifdef _WIN32
#include "platform/Unicode.h"

#include <windows.h>
#else
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace arti;
using namespace arti::literals;
using arti::test::ServicesFixture;

namespace {

const std::string kStem = "ARTISCOPE-Inspector * Version";
const Owner kOwner = &kStem;

std::string otherInstanceText(const std::string& caption, const std::string& name) {
    return "Das Programm: \r\n" + caption +
           "\r\naus der ARTISCOPE-Familie ist bereits in einer Instanz geöffnet!\r\n"
           "Das aktuell gestartete Programm >" +
           name + "< kann nicht ausgeführt werden.\r\n\r\nBitte schließen Sie erst die andere Anwendung.";
}

class ProbesWindows : public ServicesFixture {
protected:
    ProbesWindows() { resetResourceWarning(); }
    ~ProbesWindows() override { resetResourceWarning(); }

    test::FakeWindowList& windows_ = fakes_.windowList;
    test::FixedResources& resources_ = fakes_.resources;
};

} // namespace

TEST_F(ProbesWindows, EveryMatchingWindowGetsItsToneAndMessageInFamilyOrder) {
    // The updater is listed first, but the caller's own stem is looked for first.
    windows_.windows = {{11, "  ARTISCOPE-Updater * Version 23/01/30  "},
                        {12, "Terminal"},
                        {13, "ARTISCOPE-Inspector * Version 22/11/02 - [Datei.001]"}};
    box_.expect(BoxButton::Ok).expect(BoxButton::Ok);

    EXPECT_TRUE(PRUEFTASK(kOwner, kStem));

    ASSERT_EQ(box_.shown.size(), 2u);
    EXPECT_EQ(box_.shown[0].kind, BoxKind::Info);
    EXPECT_EQ(box_.shown[0].caption, "Hinweis");
    EXPECT_EQ(box_.shown[0].owner, kOwner);
    EXPECT_EQ(box_.shown[0].text, otherInstanceText("ARTISCOPE-Inspector * Version 22/11/02 - [Datei.001]",
                                                    "ARTISCOPE-Inspector"));
    EXPECT_EQ(box_.shown[1].text,
              otherInstanceText("ARTISCOPE-Updater * Version 23/01/30", "ARTISCOPE-Inspector"));
    EXPECT_EQ(window_.beeps, (std::vector<std::pair<unsigned, unsigned>>{{1000, 2}, {1000, 2}}));
}

TEST_F(ProbesWindows, CaptionsThatAreNoFamilyMemberDoNotMatch) {
    windows_.windows = {{31, "ARTISCOPE Handbuch.pdf - Dokumentbetrachter"},
                        {32, "artiscope-updater * version 23/01/30"}, // the test is case-sensitive
                        {33, "ARTISCOPE-Inspector *  Version"},
                        {34, "   "},
                        {0, "ARTISCOPE-Updater * Version 23/01/30"}}; // no window behind it
    EXPECT_FALSE(PRUEFTASK(kOwner, kStem));

    windows_.windows.clear();
    EXPECT_FALSE(PRUEFTASK(kOwner, kStem));
    EXPECT_TRUE(box_.shown.empty());
    EXPECT_TRUE(window_.beeps.empty());
}

TEST_F(ProbesWindows, UnusualStemsNeitherMatchEverythingNorLoseTheName) {
    windows_.windows = {{41, "Editor"}, {42, "ARTISCOPE-Updater * Version 23/01/30"}};
    // An empty stem is found in every caption; only the updater may match.
    box_.expect(BoxButton::Ok);
    EXPECT_TRUE(PRUEFTASK(kOwner, ""));
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_NE(box_.shown[0].text.find("ARTISCOPE-Updater * Version 23/01/30\r\n"), std::string::npos);

    // Without "*" the whole stem names the program.
    windows_.windows = {{43, "Werkzeug 2"}};
    box_.expect(BoxButton::Ok);
    EXPECT_TRUE(PRUEFTASK(kOwner, "Werkzeug"));
    ASSERT_EQ(box_.shown.size(), 2u);
    EXPECT_EQ(box_.shown[1].text, otherInstanceText("Werkzeug 2", "Werkzeug"));
}

TEST_F(ProbesWindows, WindowListsConvertTrimAndDropNullHandles) {
    const std::string longTitle(1500, 'x');
    windows_.windows = {
        {51, "  Prüfung ÄÖÜ € "}, {0, "ohne Fenster"}, {52, longTitle}, {53, "ok \xE2\x86\x92 x"}};
    windows_.own = {{0, "x"}, {61, "ARTISCOPE-Inspector"}};

    const auto captions = GETALLTOPWINDOWSCAPTIONS();
    ASSERT_EQ(captions.size(), 3u);
    EXPECT_EQ(captions[0].handle, 51u);
    EXPECT_EQ(captions[0].caption, "Prüfung ÄÖÜ €"_ansi);
    EXPECT_EQ(captions[1].caption.size(), 1023u); // the 1024-byte caption buffer
    EXPECT_EQ(captions[2].caption, "ok ? x");     // not in Windows-1252

    EXPECT_EQ(GETALLTOPLEVELWINDOWS(), (std::vector<WindowHandle>{51, 52, 53}));
    EXPECT_EQ(GETWINDOWCAPTION(51), "Prüfung ÄÖÜ €"_ansi);
    EXPECT_EQ(GETWINDOWCAPTION(99), "");
    EXPECT_EQ(GETALLTHREADWINDOWS(1), (std::vector<WindowHandle>{61}));
}

TEST_F(ProbesWindows, LowResourcesAskUntilTheUserSaysNo) {
    resources_.percent = 40; // not below the limit
    RESSOURCENINFO(kOwner);
    EXPECT_TRUE(box_.shown.empty());

    resources_.percent = 25;
    box_.expect(BoxButton::Yes);
    RESSOURCENINFO(kOwner);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].kind, BoxKind::YesNo);
    EXPECT_EQ(box_.shown[0].caption, "Hinweis");
    EXPECT_EQ(
        box_.shown[0].text,
        "Die Systemresourcen Ihres Windows-Betriebssystems sind niedriger als 40%, aktuell 25%\r\n"
        "Die Überprüfung auf bereits geöffnete Programme oder Dateien kann möglicherweise nicht korrekt "
        "ausgeführt werden.\r\n"
        "Das kann zu einem Abbruch dieses Programmes führen.\r\n\r\n"
        "Soll diese Information während dieser Programm-Session weiter angezeigt werden ?");

    // Yes keeps the warning; No silences it for the program run, also inside PRUEFTASK.
    box_.expect(BoxButton::No);
    EXPECT_FALSE(PRUEFTASK(kOwner, kStem));
    EXPECT_EQ(box_.shown.size(), 2u);
    RESSOURCENINFO(kOwner);
    EXPECT_EQ(box_.shown.size(), 2u);

    resetResourceWarning();
    box_.expect(BoxButton::No);
    RESSOURCENINFO(kOwner);
    EXPECT_EQ(box_.shown.size(), 3u);
}

#ifdef _WIN32
// ---- The real window list of Windows ----------------------------------------------------

namespace {

// A visible top-level window of this process with a title, destroyed with the object.
class OwnWindow {
public:
    explicit OwnWindow(const std::string& title) {
        window_ =
            CreateWindowExW(0, L"STATIC", platform::wide(title).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                            0, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~OwnWindow() {
        if (window_) DestroyWindow(window_);
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    WindowHandle id() const { return reinterpret_cast<std::uintptr_t>(window_); }

private:
    HWND window_ = nullptr;
};

std::string captionOf(const std::vector<WindowCaption>& list, WindowHandle id) {
    for (const auto& w : list)
        if (w.handle == id) return w.caption;
    return "(missing)";
}

} // namespace

class DesktopWindowList : public ServicesFixture {
protected:
    platform::DesktopWindows desktop_;
    ServicesScope desktopScope_{{.windowList = &desktop_}};
};

TEST_F(DesktopWindowList, ListsTitledWindowsWithTheirCaptions) {
    const OwnWindow updater("ARTISCOPE-Updater * Version 23/01/30");
    const OwnWindow umlauts("Prüfung ÄÖÜ €");
    if (updater.id() == 0 || umlauts.id() == 0)
        GTEST_SKIP() << "no window can be made here (wine without a display driver): the window list "
                        "of Windows is not tested";
    const auto captions = GETALLTOPWINDOWSCAPTIONS();
    EXPECT_EQ(captionOf(captions, updater.id()), "ARTISCOPE-Updater * Version 23/01/30");
    EXPECT_EQ(captionOf(captions, umlauts.id()), "Prüfung ÄÖÜ €"_ansi);
    EXPECT_EQ(GETWINDOWCAPTION(umlauts.id()), "Prüfung ÄÖÜ €"_ansi);
    EXPECT_EQ(GETWINDOWCAPTION(0x7FFFFFF), "");
    EXPECT_EQ(platform::windowsOfProcess(platform::thisProcessId()).size(), 2u);

    box_.expect(BoxButton::Ok);
    EXPECT_TRUE(PRUEFTASK(kOwner, kStem));
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text,
              otherInstanceText("ARTISCOPE-Updater * Version 23/01/30", "ARTISCOPE-Inspector"));
}
#else
// ---- The real window list on an X server of its own ------------------------------------

namespace {

std::optional<std::string> findInPath(const std::string& program) {
    std::string dirs = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    for (std::size_t from = 0, to = 0; from <= dirs.size(); from = to + 1) {
        to = std::min(dirs.find(':', from), dirs.size());
        const std::string candidate = dirs.substr(from, to - from) + "/" + program;
        if (to > from && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::nullopt;
}

// One line from `fd`; empty when nothing complete arrives within `seconds`.
std::string readLine(int fd, int seconds) {
    std::string line;
    pollfd p{fd, POLLIN, 0};
    for (char c = 0; poll(&p, 1, seconds * 1000) > 0 && read(fd, &c, 1) == 1;) {
        if (c == '\n') return line;
        line += c;
    }
    return {};
}

// A child process with its stdout in a pipe, ended when the object goes (also when an
// assertion leaves the test early) and, through the parent-death signal, when this test
// process dies without running destructors.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }

    bool start(std::vector<std::string> argv) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return false;
        std::vector<char*> args;
        for (auto& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) _exit(127);
            dup2(fds[1], STDOUT_FILENO);
            const int devNull = open("/dev/null", O_WRONLY);
            if (devNull >= 0) dup2(devNull, STDERR_FILENO);
            execv(args[0], args.data());
            _exit(127);
        }
        close(fds[1]);
        out_ = fds[0];
        return pid_ > 0;
    }
    int out() const { return out_; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int out_ = -1;
};

// Starts Xvfb on a display it chooses itself (-displayfd): it writes the number once it
// accepts connections, so there is neither a clash with a running server nor a race.
std::string startXvfb(Child& server, const std::string& binary) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return {};
    fcntl(fds[1], F_SETFD, 0); // the server inherits the write end
    const bool ok = server.start({binary, "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp",
                                  "-noreset", "-screen", "0", "800x600x24"});
    close(fds[1]);
    const std::string number = ok ? readLine(fds[0], 20) : std::string();
    close(fds[0]);
    return number.empty() ? number : ":" + number;
}

struct TestWindow {
    Child process;
    WindowHandle id = 0;
};

#ifdef ARTI_X11_TEST_WINDOW
// Opens a window titled `title` in a separate process and waits until it is mapped.
bool openWindow(TestWindow& w, const std::string& title, const std::string& option = {}) {
    std::vector<std::string> argv{ARTI_X11_TEST_WINDOW};
    if (!option.empty()) argv.push_back(option);
    argv.push_back(title);
    if (!w.process.start(argv)) return false;
    const std::string line = readLine(w.process.out(), 10);
    if (line.rfind("mapped ", 0) != 0) return false;
    w.id = std::stoull(line.substr(7));
    return true;
}
#endif

std::string captionOf(const std::vector<WindowCaption>& list, WindowHandle id) {
    for (const auto& w : list)
        if (w.handle == id) return w.caption;
    return "(missing)";
}

// Sets $DISPLAY for the scope (null: unset) and restores it.
class DisplayScope {
public:
    explicit DisplayScope(const char* value) {
        if (const char* old = std::getenv("DISPLAY")) old_ = old;
        value ? setenv("DISPLAY", value, 1) : unsetenv("DISPLAY");
    }
    ~DisplayScope() { old_ ? setenv("DISPLAY", old_->c_str(), 1) : unsetenv("DISPLAY"); }

private:
    std::optional<std::string> old_;
};

} // namespace

// The desktop's window list instead of the fake one.
class X11WindowList : public ServicesFixture {
protected:
    platform::DesktopWindows desktop_;
    ServicesScope desktopScope_{{.windowList = &desktop_}};
};

TEST_F(X11WindowList, NoDisplayGivesAnEmptyList) {
    {
        DisplayScope noDisplay(nullptr);
        EXPECT_TRUE(GETALLTOPWINDOWSCAPTIONS().empty());
        EXPECT_FALSE(PRUEFTASK(kOwner, kStem));
    }
    DisplayScope deadDisplay(":4093");
    EXPECT_TRUE(GETALLTOPLEVELWINDOWS().empty());
    EXPECT_EQ(GETWINDOWCAPTION(1234), "");
}

TEST_F(X11WindowList, FindsWindowsOfOtherProcessesUnderXvfb) {
#ifndef ARTI_X11_TEST_WINDOW
    GTEST_SKIP() << "built without libX11 (libx11-dev): the X11 window list is not tested";
#else
    const auto xvfbBinary = findInPath("Xvfb");
    if (!xvfbBinary)
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the X11 window list is not tested";

    Child xvfb;
    const std::string display = startXvfb(xvfb, *xvfbBinary);
    ASSERT_FALSE(display.empty()) << "Xvfb did not report a display";
    DisplayScope useIt(display.c_str());

    TestWindow updater, framed, latin1;
    ASSERT_TRUE(openWindow(updater, "ARTISCOPE-Updater * Version 23/01/30"));
    // _NET_WM_NAME must win: as WM_NAME (Latin-1) the euro sign would be lost.
    ASSERT_TRUE(openWindow(framed, "Prüfung ÄÖÜ €", "--framed"));
    ASSERT_TRUE(openWindow(latin1, "Größe ½", "--wm-name-only"));

    const auto captions = GETALLTOPWINDOWSCAPTIONS();
    EXPECT_EQ(captions.size(), 3u);
    EXPECT_EQ(captionOf(captions, updater.id), "ARTISCOPE-Updater * Version 23/01/30");
    EXPECT_EQ(captionOf(captions, framed.id), "Prüfung ÄÖÜ €"_ansi);
    EXPECT_EQ(captionOf(captions, latin1.id), "Größe ½"_ansi);
    EXPECT_EQ(GETWINDOWCAPTION(framed.id), "Prüfung ÄÖÜ €"_ansi);
    EXPECT_EQ(GETWINDOWCAPTION(0x7FFFFFF), ""); // no such window: the X error must not end the program
    EXPECT_EQ(platform::windowsOfProcess(updater.process.pid()).size(), 1u);
    EXPECT_TRUE(GETALLTHREADWINDOWS(0).empty()); // this test process has no windows

    box_.expect(BoxButton::Ok);
    EXPECT_TRUE(PRUEFTASK(kOwner, kStem));
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].text,
              otherInstanceText("ARTISCOPE-Updater * Version 23/01/30", "ARTISCOPE-Inspector"));
    EXPECT_EQ(window_.beeps.size(), 1u);
#endif
}
#endif
