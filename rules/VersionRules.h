// The rules of one ELDANORM version behind one interface. The record step of the main
// window takes a record through the same steps in every version:
//
//   fillTable        the record's field table: cut at fixed positions (05/90, 01/96) or
//                    split at the separator the header names (2000)
//   checkRecordType  findings about the record as a whole, the field counter; false for
//                    a record type without a table, which ends the step
//   compositeStep    during a run: the article numbers of the A, B and Z records
//   checkFields      with "Feld-Prüfung ein": every field against its definition
//   recordRules      ... then the rules between the fields of the record's type
//
// Between the steps the window does its own part (the findings list, the field viewer).
// What a version needs beyond the record's text comes in with the record (RecordInput).
#pragma once

#include "rules/CheckContext.h"
#include "rules/Composite.h"
#include "rules/DeferredText.h"
#include "rules/FieldTable.h"
#include "rules/Version.h"

#include <cstddef>
#include <string_view>
#include <utility>

namespace arti {

// What the record step shows in the main window beside findings and the findings list.
class RecordDisplay {
public:
    virtual ~RecordDisplay() = default;
    // The field counter ("übergebeneFelder"): the fields the record delivered, 0 for a
    // record type without a table.
    virtual void showFieldCount(std::size_t count) = 0;
};

// A display whose field counter is the callable `show(count)`.
template <class Show> class FieldCountDisplay final : public RecordDisplay {
public:
    explicit FieldCountDisplay(Show show) : show_(std::move(show)) {}
    void showFieldCount(std::size_t count) override { show_(count); }

private:
    Show show_;
};

// The record at hand and what the steps need of the run beside the check context.
struct RecordInput {
    // The record as read: 05/90 with its CR LF, 2000 with its trailing blanks.
    std::string_view text{};
    // 2000: the field separator the header names.
    std::string_view separator{};
    // The record's number as the run counts it; 05/90 and 01/96 name it in the finding
    // about a record type without a table.
    unsigned long long number = 0;
    // The byte position as the main window shows it, named by that same finding.
    DeferredText shownPosition{};
    // 05/90: the character a NUL of the file has become (see codeZeroFiller); a field of
    // nothing else is "filled with code 0".
    char filler = '\0';
    // The field counter; none shows nothing.
    RecordDisplay* display = nullptr;

    void showFieldCount(std::size_t count) const {
        if (display) display->showFieldCount(count);
    }
};

class IVersionRules {
public:
    virtual ~IVersionRules() = default;

    virtual Version version() const = 0;

    // Builds the table of the record's type (its first character) and fills it from the
    // record; a type without a table leaves the table empty.
    virtual FieldTable::FillCount fillTable(FieldTable& table, const RecordInput& record) const = 0;

    // The findings about the record as a whole, given the table `fillTable` filled and
    // what it counted, and the field counter (the order of the two is the version's).
    // False for a record type without a table: its finding is the only one.
    virtual bool checkRecordType(ICheckContext& ctx, const FieldTable& table,
                                 const FieldTable::FillCount& fill, const RecordInput& record) const = 0;

    // The composite step of a record read during a run: an A record keeps its article
    // numbers, a B or Z record has its article number checked against them, a Z record
    // must have been announced by the B record before it. Nothing in version 2000.
    virtual void compositeStep(ICheckContext& ctx, const CompositeState& state,
                               const FieldTable& table) const = 0;

    // The field checks of every row of a filled table, in order; they leave the finding
    // position at the last field's start.
    virtual void checkFields(ICheckContext& ctx, const FieldTable& table,
                             const RecordInput& record) const = 0;

    // The record rules of the record's type, after the field checks.
    virtual void recordRules(ICheckContext& ctx, const FieldTable& table, const FieldTable::FillCount& fill,
                             const RecordInput& record) const = 0;
};

namespace detail {
// The rules of each version, defined with them (Rules0590.cpp, ...; VersionRules.cpp for
// None and Unknown).
extern const IVersionRules* const kRules0590;
extern const IVersionRules* const kRules0196;
extern const IVersionRules* const kRules2000;
extern const IVersionRules* const kNoVersionRules;
extern const IVersionRules* const kOtherVersionRules;
} // namespace detail

// The rules of a version. None and Unknown have rules that fill no table and report
// nothing. Inline: the record step asks for them at every record.
inline const IVersionRules& versionRules(Version version) {
    switch (version) {
    case Version::V0590:
        return *detail::kRules0590;
    case Version::V0196:
        return *detail::kRules0196;
    case Version::V2000:
        return *detail::kRules2000;
    case Version::Unknown:
        return *detail::kOtherVersionRules;
    case Version::None:
        break;
    }
    return *detail::kNoVersionRules;
}

} // namespace arti
