// What the field rules need of the check run: a place for findings, the record at hand,
// the run's switches and settings, a question box and the findings list. The main check
// window implements it; tests and the benchmark implement it without a window.
#pragma once

#include "core/Dates.h"
#include "rules/MessageKind.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace arti {

class FieldTable;

// The check boxes of the main window that the field rules read at every record.
struct CheckSwitches {
    bool fieldChecks = true;    // "Feld-Prüfung ein"
    bool listDisplay = true;    // "List-Anzeige ein"
    bool oemFile = true;        // "ASCII = markiert / ANSI" ticked: an OEM (code page 850) file
    bool asciiCheckOff = false; // "ASCII-Zeichenprüfung aus" ticked: the character rule is relaxed
};

// The date window of the run, both limits included. A limit that is not set bounds
// nothing on its side.
struct DateWindow {
    std::optional<Date> lower;
    std::optional<Date> upper;

    bool contains(const Date& d) const { return (!lower || *lower <= d) && (!upper || d <= *upper); }
};

class ICheckContext {
public:
    virtual ~ICheckContext() = default;

    // --- Findings ---
    // One finding: what it says (its kind), the running number of the field it is about
    // (kNoField: the record as a whole) and its complete German message text for the
    // error log.
    virtual void report(MessageKind kind, std::uint32_t field, const std::string& text) = 0;
    // The position within the record that the next finding is located at ("Satz-Offset").
    // The checks set it for every record and before many tests: it is written straight
    // to where the context keeps it, without a call.
    void setFindingPosition(long long position) { *findingPosition_ = position; }

    // --- The record at hand ---
    // The record number as the main window's record counter shows it (may be empty).
    virtual std::string_view recordNumber() const = 0;
    // File offset at which the record starts.
    virtual long long recordOffset() const = 0;

    // --- Switches and settings of the run ---
    virtual CheckSwitches switches() const = 0;
    virtual const std::string& currency() const = 0;     // "Waehrung"
    virtual const std::string& countryCodes() const = 0; // "LCode"
    virtual DateWindow dateWindow() const = 0;           // "UDatum" ... "ODatum"

    // Changes of the run's settings, in memory only and shown in the main window's
    // displays; nothing is written to the registry.
    virtual void setDateWindow(const DateWindow& window) = 0;
    virtual void setCurrency(std::string_view code) = 0;

    // The rules' questions, each a modal Yes/No question with the question icon and the
    // given caption and text: widen the date window to a date outside it, adopt a
    // currency other than the run's.
    virtual bool askWidenDateWindow(const std::string& caption, const std::string& text) = 0;
    virtual bool askAdoptCurrency(const std::string& caption, const std::string& text) = 0;

    // --- Findings list ---
    // Hands the filled table of the record to the findings list.
    virtual void showFields(const FieldTable& table) = 0;

protected:
    // `findingPosition` is where the context keeps the finding position; it lives as long
    // as the context. A copy would write to the original's, so there is none.
    explicit ICheckContext(long long& findingPosition) : findingPosition_(&findingPosition) {}
    ICheckContext(const ICheckContext&) = delete;
    ICheckContext& operator=(const ICheckContext&) = delete;

private:
    long long* findingPosition_;
};

} // namespace arti
