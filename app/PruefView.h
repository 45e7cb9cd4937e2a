// What the main check window's logic needs from its face. The Qt dialog implements it;
// tests use a recording fake. (The command-line checker has no window: it drives the
// check engine with a silent display.)
#pragma once

#include "app/Controls.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace arti {

struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ListColumn {
    std::string caption;
    std::string name;
    int widthChars = 0; // in average character widths of the dialog font
    enum class Align { Left, Right, Centre } align = Align::Left;
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

    // Controls. The logic calls these only for real changes (see ControlMirror).
    virtual void controlText(Ctl c, const std::string& text) = 0;
    // A display shows a new number whose text `mirror.text(c)` makes when read. A face
    // that paints later reads it then; this default reads it at once.
    virtual void controlTextDue(Ctl c, const ControlMirror& mirror) { controlText(c, mirror.text(c)); }
    virtual void controlEnabled(Ctl c, bool on) = 0;
    virtual void controlVisible(Ctl c, bool on) = 0;
    virtual void controlChecked(Ctl c, bool on) = 0;
    virtual void controlFocus(Ctl c) = 0;
    virtual void listColumns(const std::vector<ListColumn>& columns) = 0;
    virtual void listRows(const std::vector<ListRow>& rows) = 0; // empty: clear the list
    // The list shows a new record's field table; `list.listRows()` makes its rows. A face
    // that paints them reads them then, not for every record of a run.
    virtual void listTableShown(const ControlMirror& list) = 0;
    // The row the user selected in the findings list (counted from 0), if any.
    virtual std::optional<std::size_t> selectedListIndex() const = 0;
};

// A view that shows nothing: the command-line checker's face, and the base of fakes.
class HeadlessPruefView : public IPruefView {
public:
    void setCaption(const std::string&) override {}
    WindowRect geometry() const override { return {}; }
    void moveTo(int, int) override {}
    void bringToTop() override {}
    void showModal(bool) override {}
    void requestClose() override {}
    void controlText(Ctl, const std::string&) override {}
    void controlTextDue(Ctl, const ControlMirror&) override {}
    void controlEnabled(Ctl, bool) override {}
    void controlVisible(Ctl, bool) override {}
    void controlChecked(Ctl, bool) override {}
    void controlFocus(Ctl) override {}
    void listColumns(const std::vector<ListColumn>&) override {}
    void listRows(const std::vector<ListRow>&) override {}
    void listTableShown(const ControlMirror&) override {}
    std::optional<std::size_t> selectedListIndex() const override { return std::nullopt; }
};

} // namespace arti
