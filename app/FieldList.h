// The findings list of the main window filled from the field table of each record.
#pragma once

#include "app/Controls.h"

#include <cstdint>
#include <vector>

namespace arti {

class FieldTable;

// The constant columns of a row (name, length, type, M/K) depend only on the table's
// definitions, which are the constant tables of the versions (static storage, known by
// their address). Rows written for one record type are put aside while the list shows
// another and come back with the next record of their type, so a run rewrites only the
// columns that change per record (content, position, running number) and, once every
// type has been seen, allocates nothing.
class FieldListRows {
public:
    // Writes the seven list columns of `table` into the list and tells the face.
    void show(ControlMirror& list, const FieldTable& table);

private:
    // Rows of one shape with the position and running number each row shows (position
    // in the high half), so that the texts of unchanged numbers are not written again.
    struct Parked {
        const void* shape = nullptr;
        std::vector<ListRow> rows;
        std::vector<std::uint64_t> numbers;
    };
    // The rows put aside for `shape`: empty, or complete rows of that shape. An entry is
    // made when there is none (references to earlier entries become invalid).
    Parked& aside(const void* shape);

    std::vector<Parked> parked_;
    std::vector<std::uint64_t> numbers_; // of the rows the list holds
};

} // namespace arti
