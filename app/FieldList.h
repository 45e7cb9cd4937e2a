// The findings list's rows made from the field table of a record.
#pragma once

#include "views/RecordViewers.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace arti {

class FieldTable;

// The field that row `row` of a record's field table stands for.
ListedField listedFieldOf(const FieldTable& table, std::size_t row);
// The field of a row given as texts (content, name, length, type, M/K, position,
// running number), as a caller hands the list its rows.
ListedField listedFieldOf(const ListRow& row);

// The constant columns of a row (name, length, type, M/K) depend only on the table's
// definitions, which are the constant tables of the versions (static storage, known by
// their address). Rows written for one record type are put aside while the list shows
// another and come back with the next record of their type, so only the columns that
// change per record (content, position, running number) are rewritten and, once every
// type has been seen, nothing is allocated.
class FieldListRows {
public:
    // Writes the seven list columns of `table` into `rows`. `shape` names what `rows`
    // were last written for by this object (null: rows of another origin, rebuilt); it is
    // set to the table's.
    void fill(std::vector<ListRow>& rows, const void*& shape, const FieldTable& table);

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
