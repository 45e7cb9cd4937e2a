#include "platform/WindowList.h"

#include <unistd.h>

#ifdef ARTI_HAVE_X11

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace arti::platform {

namespace {

// Windows may be destroyed by their owners while we look at them; the resulting
// BadWindow errors are expected and must not end the program (Xlib's default handler
// exits). The failing request reports failure through its return value.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// A lost server connection: the default handlers print a message and exit. Here the
// connection is only ours and only used for a listing, so the listing just ends.
int ignoreIOError(Display*) {
    return 0;
}
#ifdef ARTI_HAVE_XIO_EXIT_HANDLER
void keepRunning(Display*, void*) {}
#endif

// Longest text read from a title property, in 32-bit units (16 KB): far more than the
// 1024-byte caption buffer of the callers needs even in UTF-8.
constexpr long kMaxTitleUnits = 4096;

std::string latin1ToUtf8(const unsigned char* s, std::size_t n) {
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// One connection to the display of $DISPLAY with error handlers that keep the process
// alive. The handlers are process-wide in Xlib, so the previous ones are restored when
// the connection closes.
class Connection {
public:
    Connection() {
        const char* name = std::getenv("DISPLAY");
        if (name == nullptr || *name == '\0') return;
        handlersSet_ = true;
        previousError_ = XSetErrorHandler(ignoreXError);
        previousIOError_ = XSetIOErrorHandler(ignoreIOError);
        dpy_ = XOpenDisplay(name);
        if (dpy_ == nullptr) return;
#ifdef ARTI_HAVE_XIO_EXIT_HANDLER
        XSetIOErrorExitHandler(dpy_, keepRunning, nullptr);
#endif
        netWmName_ = XInternAtom(dpy_, "_NET_WM_NAME", True);
        utf8String_ = XInternAtom(dpy_, "UTF8_STRING", True);
        compoundText_ = XInternAtom(dpy_, "COMPOUND_TEXT", True);
        netWmPid_ = XInternAtom(dpy_, "_NET_WM_PID", True);
    }
    ~Connection() {
        if (dpy_ != nullptr) XCloseDisplay(dpy_);
        if (handlersSet_) {
            XSetErrorHandler(previousError_);
            XSetIOErrorHandler(previousIOError_);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool open() const {
        return dpy_ != nullptr;
    }

    // The children of a window, topmost first (XQueryTree gives them bottom to top).
    std::vector<Window> children(Window w) const {
        Window root = 0;
        Window parent = 0;
        Window* list = nullptr;
        unsigned int n = 0;
        std::vector<Window> out;
        if (XQueryTree(dpy_, w, &root, &parent, &list, &n) == 0) return out;
        if (list != nullptr) {
            out.assign(list, list + n);
            XFree(list);
        }
        std::reverse(out.begin(), out.end());
        return out;
    }

    bool viewable(Window w) const {
        XWindowAttributes a{};
        return XGetWindowAttributes(dpy_, w, &a) != 0 && a.map_state == IsViewable;
    }

    std::string title(Window w) const {
        if (netWmName_ != None) {
            if (auto t = textProperty(w, netWmName_); t && !t->empty()) return *t;
        }
        return textProperty(w, XA_WM_NAME).value_or(std::string());
    }

    std::optional<long> pid(Window w) const {
        if (netWmPid_ == None) return std::nullopt;
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy_, w, netWmPid_, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                               &data) != Success)
            return std::nullopt;
        std::optional<long> result;
        // Format-32 data arrives as an array of C longs, whatever the long's width.
        if (data != nullptr && type == XA_CARDINAL && format == 32 && count == 1) {
            long v = 0;
            std::memcpy(&v, data, sizeof v);
            result = v;
        }
        if (data != nullptr) XFree(data);
        return result;
    }

    Window root() const {
        return XDefaultRootWindow(dpy_);
    }

    // The titled application windows: titled viewable children of the root, and for an
    // untitled one (a window manager's frame) its titled viewable children.
    std::vector<TopWindow> topLevel() const {
        std::vector<TopWindow> out;
        if (!open()) return out;
        for (Window w : children(root())) {
            if (!viewable(w)) continue;
            std::string t = title(w);
            if (!t.empty()) {
                out.push_back({w, std::move(t)});
                continue;
            }
            for (Window c : children(w)) {
                if (!viewable(c)) continue;
                std::string ct = title(c);
                if (!ct.empty()) out.push_back({c, std::move(ct)});
            }
        }
        return out;
    }

private:
    // A text property as UTF-8: UTF8_STRING as it is, STRING (Latin-1) converted,
    // COMPOUND_TEXT through Xlib. Cut at the first NUL (a list's first entry).
    std::optional<std::string> textProperty(Window w, Atom property) const {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy_, w, property, 0, kMaxTitleUnits, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) != Success)
            return std::nullopt;
        std::optional<std::string> result;
        if (data != nullptr && format == 8) {
            const std::size_t n = strnlen(reinterpret_cast<const char*>(data), count);
            if (type == utf8String_ && utf8String_ != None) {
                result = std::string(reinterpret_cast<const char*>(data), n);
            } else if (type == XA_STRING) {
                result = latin1ToUtf8(data, n);
            } else if (type == compoundText_ && compoundText_ != None) {
                result = compoundToUtf8(data, count);
                if (!result) result = latin1ToUtf8(data, n); // compound text starts out as Latin-1
            }
        }
        if (data != nullptr) XFree(data);
        return result;
    }

    std::optional<std::string> compoundToUtf8(unsigned char* data, unsigned long count) const {
        XTextProperty prop{};
        prop.value = data;
        prop.encoding = compoundText_;
        prop.format = 8;
        prop.nitems = count;
        char** list = nullptr;
        int n = 0;
        if (Xutf8TextPropertyToTextList(dpy_, &prop, &list, &n) < Success || list == nullptr)
            return std::nullopt;
        std::optional<std::string> result;
        if (n > 0 && list[0] != nullptr) result = std::string(list[0]);
        XFreeStringList(list);
        return result;
    }

    Display* dpy_ = nullptr;
    bool handlersSet_ = false;
    XErrorHandler previousError_ = nullptr;
    XIOErrorHandler previousIOError_ = nullptr;
    Atom netWmName_ = None;
    Atom utf8String_ = None;
    Atom compoundText_ = None;
    Atom netWmPid_ = None;
};

} // namespace

std::vector<TopWindow> topLevelWindows() {
    Connection c;
    return c.topLevel();
}

std::string windowTitle(std::uint64_t id) {
    if (id == 0) return {};
    Connection c;
    if (!c.open()) return {};
    return c.title(static_cast<Window>(id));
}

std::vector<TopWindow> windowsOfProcess(long pid) {
    Connection c;
    std::vector<TopWindow> out;
    for (TopWindow& w : c.topLevel()) {
        if (c.pid(static_cast<Window>(w.id)) == pid) out.push_back(std::move(w));
    }
    return out;
}

} // namespace arti::platform

#else // no X11: nothing to list

namespace arti::platform {

std::vector<TopWindow> topLevelWindows() {
    return {};
}
std::string windowTitle(std::uint64_t) {
    return {};
}
std::vector<TopWindow> windowsOfProcess(long) {
    return {};
}

} // namespace arti::platform

#endif

namespace arti::platform {

long thisProcessId() {
    return static_cast<long>(getpid());
}

} // namespace arti::platform
