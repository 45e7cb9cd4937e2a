#include "app/FieldList.h"

#include "core/Text.h"
#include "rules/FieldTable.h"

#include <utility>

namespace arti {

namespace {

constexpr std::size_t kColumns = 7;

} // namespace

ListedField listedFieldOf(const FieldTable& table, std::size_t row) {
    const FieldRow r = table.row(row);
    return ListedField{std::string(r.content),
                       std::string(r.def->name),
                       std::string(r.def->length),
                       std::string(r.def->type),
                       std::string(r.def->mk),
                       r.def->width(),
                       r.def->wholeWidth(),
                       r.position,
                       r.number};
}

ListedField listedFieldOf(const ListRow& row) {
    const auto col = [&row](std::size_t i) { return i < row.size() ? row[i] : std::string(); };
    const auto count = [&col](std::size_t i) {
        const long long n = toNumber(col(i));
        return n > 0 && n <= 0xFFFFFFFFLL ? static_cast<std::uint32_t>(n) : 0u;
    };
    const std::string length = col(2);
    return ListedField{
        col(0),   col(1),  length, col(3), col(4), declaredWidth(length), detail::wholeWidth(length),
        count(5), count(6)};
}

FieldListRows::Parked& FieldListRows::aside(const void* shape) {
    for (Parked& p : parked_)
        if (p.shape == shape) return p;
    parked_.push_back(Parked{shape, {}, {}});
    return parked_.back();
}

void FieldListRows::fill(std::vector<ListRow>& rows, const void*& shape, const FieldTable& table) {
    const void* was = shape;
    shape = table.defs().data();
    if (was != shape || rows.size() != table.size()) {
        // The rows of another type are put aside (their place was empty); rows of another
        // origin are dropped. Then the rows kept for this type come back.
        if (was && was != shape) {
            Parked& p = aside(was);
            std::swap(p.rows, rows);
            std::swap(p.numbers, numbers_);
        }
        rows.clear();
        Parked& mine = aside(shape);
        std::swap(mine.rows, rows);
        std::swap(mine.numbers, numbers_);
        if (rows.size() != table.size() || numbers_.size() != table.size()) {
            rows.resize(table.size());
            numbers_.assign(table.size(), ~std::uint64_t{0});
            for (std::size_t r = 0; r < rows.size(); ++r) {
                rows[r].resize(kColumns);
                for (const FieldCol c : {FieldCol::Name, FieldCol::Laenge, FieldCol::Typ, FieldCol::MK})
                    table.columnInto(r, c, rows[r][static_cast<std::size_t>(c) - 1]);
            }
        }
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ListRow& row = rows[r];
        row[0].assign(table.content(r));
        const std::uint64_t numbers = (std::uint64_t{table.position(r)} << 32) | table.number(r);
        if (numbers == numbers_[r]) continue;
        numbers_[r] = numbers;
        for (const FieldCol c : {FieldCol::Pos, FieldCol::Nr})
            table.columnInto(r, c, row[static_cast<std::size_t>(c) - 1]);
    }
}

} // namespace arti
