// Test helper: where the generator's field faults land, kept apart from the generator's
// own tables so that the tests compare two independent readings of the field tables.
#pragma once

#include "core/Text.h"
#include "tools/gen/Generator.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace arti::gen {

// Where each field fault lands in a file of the default types (05/90 ABZ, 01/96 ABDTZ,
// 2000 IHPTZK), written down from the field tables of the versions: the record type,
// the running number of the field, its place in a fixed record, and the content it must
// hold afterwards where the fault names one.
struct FieldPlace {
    Version version;
    Fault fault;
    char type;
    std::size_t field;
    std::size_t start, width; // fixed records; 0 for version 2000
    std::string_view value;
};

inline const FieldPlace kFieldPlaces[] = {
    {Version::V0590, Fault::BadCheckDigit, 'A', 3, 3, 14, {}},
    {Version::V0196, Fault::BadCheckDigit, 'A', 3, 3, 14, {}},
    {Version::V2000, Fault::BadCheckDigit, 'I', 3, 0, 0, {}},
    {Version::V0590, Fault::DateOutsideWindow, 'B', 17, 73, 8, "31121999"},
    {Version::V0196, Fault::DateOutsideWindow, 'B', 23, 81, 8, "31121999"},
    {Version::V2000, Fault::DateOutsideWindow, 'P', 5, 0, 0, "19991231"},
    {Version::V0590, Fault::InvalidDate, 'B', 17, 73, 8, {}},
    {Version::V0196, Fault::InvalidDate, 'B', 23, 81, 8, {}},
    {Version::V2000, Fault::InvalidDate, 'P', 5, 0, 0, {}},
    {Version::V0590, Fault::ForeignCurrency, 'B', 16, 70, 3, "USD"},
    {Version::V0196, Fault::ForeignCurrency, 'B', 22, 78, 3, "USD"},
    {Version::V2000, Fault::ForeignCurrency, 'P', 4, 0, 0, "USD"},
    {Version::V0590, Fault::NonDigit, 'B', 10, 51, 6, {}},
    {Version::V0196, Fault::NonDigit, 'B', 12, 47, 6, {}},
    {Version::V2000, Fault::NonDigit, 'H', 13, 0, 0, {}},
    {Version::V0590, Fault::BadCharacter, 'A', 6, 47, 27, {}},
    {Version::V0196, Fault::BadCharacter, 'A', 6, 47, 27, {}},
    {Version::V2000, Fault::BadCharacter, 'H', 2, 0, 0, {}},
    {Version::V0590, Fault::FilledReserve, 'A', 10, 122, 7, {}},
    {Version::V0196, Fault::FilledReserve, 'D', 11, 117, 12, {}},
    {Version::V0590, Fault::ValueNotInList, 'B', 11, 57, 1, "X"},
    {Version::V0196, Fault::ValueNotInList, 'B', 15, 60, 2, "99"},
    {Version::V2000, Fault::ValueNotInList, 'H', 8, 0, 0, "99"},
    {Version::V0590, Fault::EmptyMandatory, 'A', 6, 47, 27, {}},
    {Version::V2000, Fault::EmptyMandatory, 'H', 2, 0, 0, {}},
    {Version::V0590, Fault::RecordRule, 'Z', 13, 45, 2, "01"},
    {Version::V0196, Fault::RecordRule, 'B', 16, 62, 1, "1"},
    {Version::V2000, Fault::RecordRule, 'Z', 8, 0, 0, ""},
};

inline const FieldPlace& fieldPlace(Version v, Fault f) {
    for (const FieldPlace& p : kFieldPlaces)
        if (p.version == v && p.fault == f) return p;
    throw std::logic_error("no place written down for " + std::string(faultName(f)));
}

// The field of a record: cut at its place, or the n-th field of a version 2000 line.
inline std::string fieldOf(const std::string& line, const FieldPlace& p) {
    if (p.start > 0) return line.substr(p.start - 1, p.width);
    const std::vector<std::string> fields = splitLines(line, ";");
    return p.field <= fields.size() ? fields[p.field - 1] : std::string("<missing>");
}

} // namespace arti::gen
