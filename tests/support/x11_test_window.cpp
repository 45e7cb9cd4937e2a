// A stand-in for another program's main window: opens a mapped top-level window with
// the given title on $DISPLAY and keeps it until the process is killed.
//
//   x11_test_window [--framed] [--wm-name-only] TITLE
//
// The title (UTF-8) is set as _NET_WM_NAME and, as Latin-1, as WM_NAME (characters
// outside Latin-1 become '?'). --wm-name-only sets WM_NAME alone. --framed puts the
// titled window inside an untitled parent, as a reparenting window manager does.
// Prints "mapped <window id>" on stdout once the window is viewable.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string utf8ToLatin1(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        unsigned cp = 0;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) {
            cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
            len = 2;
        } else {
            cp = '?';
            len = (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        }
        out += cp <= 0xFF ? static_cast<char>(cp) : '?';
        i += len;
    }
    return out;
}

void setText(Display* dpy, Window w, Atom property, Atom type, const std::string& text) {
    XChangeProperty(dpy, w, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
}

} // namespace

int main(int argc, char** argv) {
    bool framed = false;
    bool wmNameOnly = false;
    const char* title = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--framed") == 0) {
            framed = true;
        } else if (std::strcmp(argv[i], "--wm-name-only") == 0) {
            wmNameOnly = true;
        } else {
            title = argv[i];
        }
    }
    if (title == nullptr) {
        std::fprintf(stderr, "usage: x11_test_window [--framed] [--wm-name-only] TITLE\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::fprintf(stderr, "x11_test_window: cannot open display\n");
        return 1;
    }
    const int screen = XDefaultScreen(dpy);
    const Window root = XRootWindow(dpy, screen);
    const unsigned long black = XBlackPixel(dpy, screen);
    const unsigned long white = XWhitePixel(dpy, screen);

    Window parent = root;
    if (framed) {
        parent = XCreateSimpleWindow(dpy, root, 20, 20, 340, 260, 0, black, black);
        XMapWindow(dpy, parent);
    }
    const Window w =
        XCreateSimpleWindow(dpy, parent, framed ? 5 : 20, framed ? 25 : 20, 320, 200, 1, black, white);

    const std::string text(title);
    setText(dpy, w, XA_WM_NAME, XA_STRING, utf8ToLatin1(text));
    if (!wmNameOnly) {
        setText(dpy, w, XInternAtom(dpy, "_NET_WM_NAME", False), XInternAtom(dpy, "UTF8_STRING", False),
                text);
    }
    const long pid = static_cast<long>(getpid());
    XChangeProperty(dpy, w, XInternAtom(dpy, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);

    XSelectInput(dpy, w, StructureNotifyMask);
    XMapWindow(dpy, w);
    for (;;) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type == MapNotify && e.xmap.window == w) {
            XSync(dpy, False);
            std::printf("mapped %lu\n", w);
            std::fflush(stdout);
        }
    }
}
