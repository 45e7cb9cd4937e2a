// settings-save-loop: saves the settings window's values again and again, alternating
// the two sets of SaveSets.h, through the settings window logic exactly as the "save"
// button does. It is the victim of settings-kill-test, which kills it at random moments.
//
//   settings-save-loop [--first 0|1] [--once]
//
// Starts like the program (reads the settings, writes missing defaults), then saves set
// --first, the other set, the first again, ... until killed; --once saves one set and
// ends. Before each save it writes "B n" and after it "E n" (n counting from 1) to
// standard output with one write each, so that whoever reads the pipe knows which save
// was running when the process died. The registry must be a folder of its own
// (ARTISCOPE_REGISTRY_DIR): the loop never touches a user's real settings.
#include "settings/Registry.h"
#include "tools/killtest/SaveSets.h"
#include "views/SysWnd.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

void mark(char what, long n) {
    char line[32];
    const int len = std::snprintf(line, sizeof line, "%c %ld\n", what, n);
    if (::write(STDOUT_FILENO, line, static_cast<std::size_t>(len)) != len) std::_Exit(3);
}

void enter(arti::SYS_WND& wnd, const arti::killtest::SaveSet& set) {
    using arti::SysCtl;
    wnd.EDITCHANGE(SysCtl::SLE1, set.currency);
    wnd.EDITCHANGE(SysCtl::SLE2, set.decimals);
    wnd.EDITCHANGE(SysCtl::SLE3, set.country);
    // The lower bound first: moving it up past the upper bound pulls the upper one along,
    // which the second change then sets right.
    wnd.DATETIMESELECTIONCHANGED(SysCtl::DTP1, set.lower);
    wnd.DATETIMESELECTIONCHANGED(SysCtl::DTP2, set.upper);
}

} // namespace

int main(int argc, char** argv) {
    std::size_t first = 0;
    bool once = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--once") == 0) {
            once = true;
        } else if (std::strcmp(argv[i], "--first") == 0 && i + 1 < argc) {
            first = std::strcmp(argv[++i], "1") == 0 ? 1 : 0;
        } else {
            std::fprintf(stderr, "Aufruf: settings-save-loop [--first 0|1] [--once]\n");
            return 2;
        }
    }
    const char* dir = std::getenv("ARTISCOPE_REGISTRY_DIR");
    if (!dir || !*dir) {
        std::fprintf(stderr, "settings-save-loop: ARTISCOPE_REGISTRY_DIR ist nicht gesetzt\n");
        return 2;
    }

    arti::REGDATENAUSLESEN(nullptr);
    arti::SYS_WND wnd;
    wnd.SETUP();
    for (long n = 1;; ++n) {
        enter(wnd, arti::killtest::kSaveSets[(first + static_cast<std::size_t>(n) - 1) % 2]);
        mark('B', n);
        wnd.PSHSAVE();
        mark('E', n);
        if (once) return 0;
    }
}
