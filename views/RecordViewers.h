// The record viewers the main window opens (the field viewer and editor, the record
// sequence viewer) and the internet update it starts, as services. Each is installed
// by the program when its windows exist; until then none is, and the controls that
// would open it stay disabled.
#pragma once

#include "core/Services.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace arti {

class CheckRun;
class IMainWindowLink;

// One row of the findings list: content, field name, length, type, M/K, position,
// running number (further values are ignored).
using ListRow = std::vector<std::string>;

// The field a row of the findings list stands for, as the list was filled with it: the
// field window is set up from these values, never from the texts the row shows.
struct ListedField {
    std::string content;
    std::string name;
    std::string length;         // the declared length as the field table writes it ("8", "2.2")
    std::string type;           // "A" or "N"
    std::string mk;             // "M" or "K"
    std::size_t width = 0;      // characters the declared length takes ("2.2": 4)
    std::size_t wholeWidth = 0; // its integer part ("2.2": 2)
    std::uint32_t position = 0; // first character in the record, from 1; 0: none
    std::uint32_t number = 0;   // running number in the record; 0: none

    bool operator==(const ListedField&) const = default;
};

// What the viewers ask of the main check window: read the record at the file position
// again, show the file position, and learn that the field editor has closed.
class IViewerOwner {
public:
    virtual ~IViewerOwner() = default;
    virtual bool LIESSATZ() = 0;
    virtual void OFFSET() = 0;
    virtual void ISCHILD(bool open) = 0;
};

// A window owned by the main window that it may have to end (field editor, sequence viewer).
class IChildWindow {
public:
    virtual ~IChildWindow() = default;
    virtual void end() = 0;
};

class FileFindings;
class IRecordJump;

// The findings window: it reads the findings again when told (after a file choice or a run).
class IFindingsWindow : public IChildWindow {
public:
    virtual void refresh() = 0;
};

class IRecordViewers {
public:
    virtual ~IRecordViewers() = default;
    // Creates the field viewer and editor owned by `owner`, sets it up with the field of
    // the selected row, the record type and the NUL replacement, and shows it. Returns the
    // window, or null when the set-up failed (it has then ended the window).
    virtual IChildWindow* openFieldEditor(Owner owner, IViewerOwner& main, CheckRun& run,
                                          const ListedField& field, const std::string& recordType,
                                          const std::string& nulReplacement) = 0;
    // Sets the open field editor up again with another field, or empties it without one.
    virtual void refreshFieldEditor(IChildWindow& editor, const std::optional<ListedField>& field,
                                    const std::string& recordType, const std::string& nulReplacement) = 0;
    // Empties the list of the record sequence viewer.
    virtual void clearSequenceList() = 0;
    // Creates the record sequence viewer on the run's file and buffered record, and shows
    // it. Returns the window, or null when its set-up failed.
    virtual IChildWindow* openSequenceViewer(Owner owner, IViewerOwner& main, CheckRun& run) = 0;
    // Creates the window "Meldungen im Überblick" on the file's findings and shows it.
    virtual IFindingsWindow* openFindingsWindow(Owner owner, IRecordJump& main,
                                                const FileFindings& findings) = 0;
};

class IUpdateService {
public:
    virtual ~IUpdateService() = default;
    // The automatic update check among the deferred start tasks; true when it has
    // started an installer (the program then ends).
    virtual bool automaticCheck(Owner owner, IMainWindowLink& main) = 0;
    // The update settings window ("Internet-Setup-Parameter" of the settings window).
    virtual void settingsWindow(Owner owner) = 0;
};

} // namespace arti
