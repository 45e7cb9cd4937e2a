// What a check shows while it works. The engine changes the model first and then tells
// its display; the main window writes its controls from these calls, and the command-line
// checker's window shows them nowhere. A display never feeds anything back into the run.
#pragma once

#include "rules/CheckContext.h"
#include "rules/FieldTable.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace arti {

// The options the user may switch while no run is in progress.
enum class RunOption { OemCharacters, FieldChecks, Popups, ListDisplay, AsciiCheckOff };

// Where the record step stands, for the navigation buttons.
struct Navigation {
    bool fileOpen = false;
    bool behindHeader = false; // "BOF" and "<1" have a record to go back to
    bool atEnd = false;        // ">1" and "EOF" have nothing left to read
};

class IRunDisplay {
public:
    virtual ~IRunDisplay() = default;

    // False for a display that shows nothing: the engine then spares itself the calls
    // that show each record, its field count, its fields in the findings list and in the
    // field viewer, and the message pumps within a record (the model changes all the
    // same). A flag, not a virtual call: it is asked several times per record.
    bool showsRecords() const { return showsRecords_; }

    // The record at hand: the model already holds the values shown.
    virtual void showCounter(std::optional<unsigned long> counter) = 0;
    virtual void showPosition(std::optional<long long> position) = 0;
    virtual void showRecordLength(std::optional<long long> length) = 0;
    virtual void showRecordType(std::string_view type) = 0;
    // The record's text: its first 128 characters, and for version 2000 the two lines
    // behind them (none: the line is hidden).
    virtual void showRecordText(std::string_view first) = 0;
    virtual void showRecordContinuation(std::optional<std::string_view> second,
                                        std::optional<std::string_view> third) = 0;
    virtual void showFieldCount(std::size_t count) = 0;
    virtual void showErrors(std::optional<unsigned long> errors) = 0;

    // The file: its name as shown, length, record count, header date, version,
    // separator and announcement.
    virtual void showFileName(std::string_view shown) = 0;
    virtual void showFileLength(long long length) = 0;
    virtual void showRecordCount(std::optional<long long> count) = 0;
    virtual void showHeaderDate(std::string_view date) = 0;
    virtual void showVersion(std::string_view label) = 0;
    virtual void showSeparator(std::string_view separator) = 0;
    virtual void showAnnouncement(std::string_view announcement) = 0;
    // An option changed by the check itself; `caption` says whether its caption follows.
    virtual void showOption(RunOption option, bool on, bool caption) = 0;
    // The user widened the date window or adopted a currency in a question of the
    // check; the run's parameters hold it already.
    virtual void dateWindowAdopted(const DateWindow& window) = 0;
    virtual void currencyAdopted(std::string_view code) = 0;
    // A file was chosen: the next file dialog starts in its folder, which the run's
    // parameters hold already.
    virtual void sourceFolderChosen(const std::string& folder) = 0;

    // The findings list: emptied, or showing the fields of the record at hand.
    virtual void clearList() = 0;
    virtual void showFields(const FieldTable& table) = 0;
    // The record at hand changed its fields: an open field viewer follows it, with the
    // character that stands for a zero byte (`oem`: still in code page 850). The run
    // calls it for every record, so nothing is converted unless a viewer is open.
    virtual void fieldsChanged(std::string_view nulReplacement, bool oem) = 0;
    // The record kept for the sequence viewer starts a sequence it can show, or no longer.
    virtual void sequenceViewAvailable(bool available) = 0;
    virtual void clearSequenceList() = 0;
    virtual void closeFieldWindow() = 0;

    // The phases of a file choice and a run.
    virtual void fileChoiceStarts() = 0;
    // No file was chosen, or the log could not be made: only a new choice is offered.
    virtual void fileNotOpened() = 0;
    // The file was refused: a new choice and the log are offered.
    virtual void fileRefused() = 0;
    virtual void fileReady() = 0;
    virtual void runStarts() = 0;
    virtual void runStopRequested() = 0;
    virtual void runEnded() = 0;
    virtual void navigation(const Navigation& where) = 0;
    // How the check ended changed (run.outcome): the instruction text may tell it.
    virtual void outcomeChanged() = 0;

protected:
    IRunDisplay() = default;
    explicit IRunDisplay(bool showsRecords) : showsRecords_(showsRecords) {}
    IRunDisplay(const IRunDisplay&) = default;
    IRunDisplay& operator=(const IRunDisplay&) = default;

private:
    bool showsRecords_ = true;
};

// A display that shows nothing: the command-line checker's.
class SilentRunDisplay : public IRunDisplay {
public:
    SilentRunDisplay() : IRunDisplay(false) {}

protected:
    // For a display that shows some of the records' values after all.
    explicit SilentRunDisplay(bool showsRecords) : IRunDisplay(showsRecords) {}

public:
    void showCounter(std::optional<unsigned long>) override {}
    void showPosition(std::optional<long long>) override {}
    void showRecordLength(std::optional<long long>) override {}
    void showRecordType(std::string_view) override {}
    void showRecordText(std::string_view) override {}
    void showRecordContinuation(std::optional<std::string_view>, std::optional<std::string_view>) override {}
    void showFieldCount(std::size_t) override {}
    void showErrors(std::optional<unsigned long>) override {}
    void showFileName(std::string_view) override {}
    void showFileLength(long long) override {}
    void showRecordCount(std::optional<long long>) override {}
    void showHeaderDate(std::string_view) override {}
    void showVersion(std::string_view) override {}
    void showSeparator(std::string_view) override {}
    void showAnnouncement(std::string_view) override {}
    void showOption(RunOption, bool, bool) override {}
    void dateWindowAdopted(const DateWindow&) override {}
    void currencyAdopted(std::string_view) override {}
    void sourceFolderChosen(const std::string&) override {}
    void clearList() override {}
    void showFields(const FieldTable&) override {}
    void fieldsChanged(std::string_view, bool) override {}
    void sequenceViewAvailable(bool) override {}
    void clearSequenceList() override {}
    void closeFieldWindow() override {}
    void fileChoiceStarts() override {}
    void fileNotOpened() override {}
    void fileRefused() override {}
    void fileReady() override {}
    void runStarts() override {}
    void runStopRequested() override {}
    void runEnded() override {}
    void navigation(const Navigation&) override {}
    void outcomeChanged() override {}
};

} // namespace arti
