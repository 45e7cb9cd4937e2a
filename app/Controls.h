// The controls of the main check window, by the names of its template, and the mirror
// of their state that the window logic keeps. The logic reads the mirror and changes
// a control only through it: a change that leaves the state as it was costs a compare
// and never reaches the face, so a check run can refresh its displays per record.
// Numbers shown per record (position, counter, length) are kept as numbers and written
// as text only when somebody reads them.
#pragma once

#include "app/FieldList.h"
#include "rules/FieldTable.h"
#include "views/RecordViewers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

enum class Ctl : int {
    OCCPSHDATEI,
    ODCTXT1,
    ODCFI1,
    OCCPSHABOUT,
    OCCPSHCANCEL,
    ODCTXT10,
    ODCTXT500,
    ODCTXT2,
    ODCTXT3,
    ODCTXT4,
    ODCTXT11,
    ODCTXT12,
    ODCTXT13,
    ODCTXT14,
    ODCCHK2,
    ODCCHK3,
    ODCTXT200,
    ODCTXT201,
    ODCCHK1,
    ODCTXT8,
    OCCPSHBOF,
    OCCPSHBACK,
    OCCPSHNEXT,
    OCCPSHEOF,
    OCCPSHSTART,
    OCCPSHSTOP,
    ODCTXT15,
    ODCTXT50,
    ODCTXT51,
    ODCTXT52,
    ODCTXT16,
    ODCFI2,
    OCCPSHPROT,
    ODCSLE1,
    OCCPSHOK,
    ODCFI3,
    ODCLISTVIEW1,
    ODCCHK4,
    ODCVSPIN1,
    ODCTXT5,
    OCCPSHSYSTEM,
    ODCTXT6,
    ODCTXT7,
    ODCTXT9,
    ODCTXT17,
    ODCTXT18,
    OCCPSHVIEW,
    ODCCHK5,
    OCCPSHMELD,
    Count
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Ctl::Count);

// The template name of a control ("OCCPSHSTART"), also its object name in the Qt face.
const char* controlName(Ctl c);

struct ControlState {
    std::string text; // caption or content, Windows-1252
    bool enabled = true;
    bool visible = true;
    bool checked = false;
};

class IPruefView;

// How a display writes a number.
enum class NumberShape : std::uint8_t {
    Plain,   // "1234"
    Picture, // "            1.234": "." between thousands, right-aligned in 17 places
    Grouped, // "1.234": "." between thousands, a count of the window
};

class ControlMirror {
public:
    // Attaches the face and sends it the whole state once.
    void attach(IPruefView* view);

    const ControlState& state(Ctl c) const { return states_[textOf(c)]; }
    const std::string& text(Ctl c) const { return states_[textOf(c)].text; }
    bool enabled(Ctl c) const { return states_[index(c)].enabled; }
    bool visible(Ctl c) const { return states_[index(c)].visible; }
    bool checked(Ctl c) const { return states_[index(c)].checked; }

    void setText(Ctl c, std::string_view text);
    // Shows a number. Its text is made when it is first read, by the logic or by a face
    // that reads it when it paints; the face is told of the change at once.
    void setNumber(Ctl c, long long n, NumberShape shape = NumberShape::Plain) {
        NumberHeld& h = held_[index(c)];
        if (!h.held) return firstNumber(c, n, shape);
        if (h.value == n && h.shape == shape) return;
        h = NumberHeld{n, shape, true, true};
        if (view_) tellNumberDue(c);
    }
    void enable(Ctl c, bool on = true);
    void disable(Ctl c) { enable(c, false); }
    void show(Ctl c, bool on = true);
    void hide(Ctl c) { show(c, false); }
    void check(Ctl c, bool on = true);
    void focus(Ctl c);

    // The findings list. Its rows are those set, or those made from the field table shown
    // last: the list keeps a copy of that table and makes the column texts when they are
    // read (a run shows every record's table; a face reads the rows when it paints).
    const std::vector<ListRow>& listRows() const;
    // How many rows the list holds, and the field row `row` stands for (none beyond
    // them): from the field table shown, or from the values the rows were set with.
    std::size_t listSize() const { return showsTable() ? shownTable_.size() : rows_.size(); }
    std::optional<ListedField> listedField(std::size_t row) const;
    void setListRows(std::vector<ListRow> rows);
    // The rows to be rewritten in place (their strings keep their storage), followed by
    // listRowsEdited(), which tells the face.
    std::vector<ListRow>& editListRows();
    void listRowsEdited();
    void clearList();
    // Shows the seven columns of a record's field table (nothing for an empty table).
    void showTable(const FieldTable& table);

    // Changes made by the user in the face (typing, ticking, the spinner): they update
    // the mirror without being sent back.
    void userText(Ctl c, std::string text) {
        held_[index(c)] = NumberHeld{};
        states_[index(c)].text = std::move(text);
    }
    void userChecked(Ctl c, bool on) { states_[index(c)].checked = on; }

private:
    static std::size_t index(Ctl c) { return static_cast<std::size_t>(c); }
    // The index of a control whose text is read: a number not yet written is written now.
    std::size_t textOf(Ctl c) const {
        const std::size_t i = index(c);
        if (held_[i].due) writeNumber(i);
        return i;
    }
    void writeNumber(std::size_t i) const;
    // The list shows the field table shown last (its rows made or still to be made).
    bool showsTable() const { return tablePending_ || shape_ != nullptr; }
    void firstNumber(Ctl c, long long n, NumberShape shape);
    void tellNumberDue(Ctl c);

    // The number a display shows, while its text is the number's.
    struct NumberHeld {
        long long value = 0;
        NumberShape shape = NumberShape::Plain;
        bool held = false; // the text was set as this number
        bool due = false;  // ... and is still to be written
    };

    // The texts of held numbers are written on reading, hence mutable.
    mutable std::array<ControlState, kControlCount> states_{};
    mutable std::array<NumberHeld, kControlCount> held_{};
    // Made on reading while a shown table is pending.
    mutable std::vector<ListRow> rows_;
    mutable FieldListRows tableRows_;
    mutable const void* shape_ = nullptr; // what rows_ were made from by tableRows_
    mutable bool tablePending_ = false;
    FieldTable shownTable_;
    IPruefView* view_ = nullptr;
};

} // namespace arti
