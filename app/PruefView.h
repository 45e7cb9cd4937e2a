// What the main check window's logic needs from its face. The Qt dialog implements it;
// tests use a recording fake. Later the controls of the window join this interface.
#pragma once

#include <string>

namespace arti {

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class IPruefView {
public:
    virtual ~IPruefView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual WindowRect geometry() const = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void bringToTop() = 0;
    // Shows the window modally, at its origin or centred on the screen, and returns
    // when it has closed.
    virtual void showModal(bool centred) = 0;
    // Asks the shown window to close; the window system then asks QUERYCLOSE.
    virtual void requestClose() = 0;
};

// A window owned by the main window that it may have to end (field editor, sequence viewer).
class IChildWindow {
public:
    virtual ~IChildWindow() = default;
    virtual void end() = 0;
};

} // namespace arti
