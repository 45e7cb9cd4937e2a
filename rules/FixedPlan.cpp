#include "rules/FixedPlan.h"

#include <bit>

namespace arti {

namespace {

void mark(std::uint64_t (&mask)[2], std::size_t offset, std::size_t width) {
    for (std::size_t i = offset; i < offset + width; ++i)
        mask[i / 64] |= 1ULL << (i % 64);
}

bool has(const std::uint64_t (&set)[4], int index) {
    return index >= 0 && ((set[index / 64] >> (index % 64)) & 1) != 0;
}

} // namespace

FixedPlan::FixedPlan(std::span<const FieldDef> defs, const std::function<FastKind(std::size_t)>& kindOf,
                     const std::function<bool(std::size_t, std::string_view)>& passes, bool codeZero)
    : defs_(defs.data()) {
    std::size_t width = 0;
    for (const FieldDef& d : defs)
        width += d.width();
    usable_ = defs.size() <= 64 && width <= scan::kClassBytes;
    if (!usable_) return;
    std::size_t offset = 0, fillRows = 0;
    for (std::size_t row = 0; row < defs.size(); offset += defs[row].width(), ++row) {
        const std::size_t w = defs[row].width();
        const Span at{static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(offset),
                      static_cast<std::uint8_t>(w)};
        for (std::size_t i = offset; i < offset + w; ++i)
            rowAt_[i] = at.row;
        FastKind kind = w == 0 ? FastKind::Chain : kindOf(row);
        if (kind == FastKind::Listed && w > 2) kind = FastKind::Chain;
        RowBytes bytes{{0, 0}, codeZero && kind != FastKind::Chain && kind != FastKind::Blanks};
        mark(bytes.mask, offset, w);
        rowBytes_.push_back(bytes);
        if (bytes.codeZero) {
            // These rows take turns in the groups; they are never of width 0 (such rows
            // are chain rows), so a row of the other group lies between two of a group.
            Fills& group = fills_[fillRows++ % 2];
            mark(group.mask, offset, w);
            mark(group.start, offset, 1);
            if (offset + w < scan::kClassBytes) mark(group.end, offset + w, 1);
            mark(fillable_, offset, w);
        }
        switch (kind) {
        case FastKind::Chain:
            chainRows_ |= 1ULL << row;
            break;
        case FastKind::Digits:
            mark(needDigit_, offset, w);
            break;
        case FastKind::AdmittedNonBlank:
            nonBlank_.push_back(at);
            [[fallthrough]];
        case FastKind::Admitted:
            mark(needAdmitted_, offset, w);
            break;
        case FastKind::Blanks:
            mark(needBlank_, offset, w);
            break;
        case FastKind::Listed: {
            Listed l{at, {}};
            std::uint64_t tried[4] = {};
            const auto take = [&](char a, char b) {
                const char value[2] = {a, b};
                const int index = w == 1 ? static_cast<unsigned char>(a) : detail::pairIndex(a, b);
                if (has(tried, index)) return;
                tried[index / 64] |= 1ULL << (index % 64);
                if (passes(row, std::string_view(value, w))) l.set[index / 64] |= 1ULL << (index % 64);
            };
            // Only blanks or a part of the list text can pass a list's chain (it finds a
            // value in the list as a part of its text); every other value stays out of the
            // set, so the chain decides on it.
            const std::string_view values = defs[row].values;
            if (w == 1) {
                take(' ', ' ');
                for (const char c : values)
                    take(c, ' ');
            } else {
                take(' ', ' ');
                for (std::size_t i = 0; i + 1 < values.size(); ++i)
                    if (detail::pairIndex(values[i], values[i + 1]) >= 0) take(values[i], values[i + 1]);
            }
            (w == 1 ? listedBytes_ : listedPairs_).push_back(l);
            break;
        }
        }
    }
}

std::uint64_t FixedPlan::rowsToCheck(const char* record, const scan::RecordClasses& c, char filler) const {
    std::uint64_t rows = chainRows_;
    std::uint64_t bad[2];
    for (std::size_t w = 0; w < 2; ++w)
        bad[w] = (needDigit_[w] & ~c.digit[w]) | (needAdmitted_[w] & ~c.admitted[w]) |
                 (needBlank_[w] & ~c.blank[w]);
    // A row with a byte its kind does not admit: the chain decides, unless the row is a
    // code-0 fill, which ends its chain without a finding. Each row is looked at once.
    std::uint64_t filledBytes[2] = {0, 0};
    if (filler != ' ' && ((c.filler[0] & fillable_[0]) | (c.filler[1] & fillable_[1])) != 0)
        rows |= codeZeroFills(c, filledBytes);
    bad[0] &= ~filledBytes[0];
    bad[1] &= ~filledBytes[1];
    while ((bad[0] | bad[1]) != 0) {
        const std::size_t at = bad[0] != 0 ? static_cast<std::size_t>(std::countr_zero(bad[0]))
                                           : 64 + static_cast<std::size_t>(std::countr_zero(bad[1]));
        const std::size_t row = rowAt_[at];
        const RowBytes& b = rowBytes_[row];
        bad[0] &= ~b.mask[0];
        bad[1] &= ~b.mask[1];
        rows |= 1ULL << row;
    }
    for (const Span& s : nonBlank_)
        if (scan::allSet(c.blank, s.offset, s.width)) rows |= 1ULL << s.row;
    const auto filled = [&filledBytes](const Listed& l) {
        return ((filledBytes[l.at.offset / 64] >> (l.at.offset % 64)) & 1) != 0;
    };
    for (const Listed& l : listedBytes_)
        if (!has(l.set, static_cast<unsigned char>(record[l.at.offset])) && !filled(l))
            rows |= 1ULL << l.at.row;
    for (const Listed& l : listedPairs_)
        if (!has(l.set, detail::pairIndex(record[l.at.offset], record[l.at.offset + 1])) && !filled(l))
            rows |= 1ULL << l.at.row;
    return rows;
}

std::uint64_t FixedPlan::codeZeroFills(const scan::RecordClasses& c, std::uint64_t (&bytes)[2]) const {
    std::uint64_t forced = 0;
    for (const Fills& g : fills_) {
        // The filler bytes of the group's rows plus one at each row's start: a row of
        // fillers alone carries into the byte behind it (which belongs to no row of the
        // group; beyond the last byte the carry is dropped), any other row stops the
        // carry at its first byte that is no filler.
        const std::uint64_t k0 = c.filler[0] & g.mask[0], k1 = c.filler[1] & g.mask[1];
        const std::uint64_t t0 = k0 + g.start[0];
        const std::uint64_t t1 = k1 + g.start[1] + (t0 < k0 ? 1 : 0);
        // One mark per row: where its carry stopped, or the byte behind a filled row.
        const std::uint64_t m0 = (t0 & ~k0 & g.mask[0]) | (t0 & g.end[0]);
        const std::uint64_t m1 = (t1 & ~k1 & g.mask[1]) | (t1 & g.end[1]);
        // Mark minus start is each row's bytes before its mark (modulo 2^128 the mark
        // behind the last byte counts as 2^128): a filled row whole, another row the
        // fillers it begins with.
        const std::uint64_t d0 = m0 - g.start[0];
        const std::uint64_t d1 = m1 - g.start[1] - (m0 < g.start[0] ? 1 : 0);
        bytes[0] |= d0;
        bytes[1] |= d1;
        // A row that begins with fillers but holds other bytes too goes to its chain:
        // its first bytes are counted among the filled ones above.
        std::uint64_t partial[2] = {m0 & g.mask[0] & ~g.start[0], m1 & g.mask[1] & ~g.start[1]};
        for (std::size_t w = 0; w < 2; ++w)
            for (; partial[w] != 0; partial[w] &= partial[w] - 1)
                forced |= 1ULL << rowAt_[w * 64 + static_cast<std::size_t>(std::countr_zero(partial[w]))];
    }
    return forced;
}

FixedPlans::FixedPlans(std::string_view types, Table table, Make make) : make_(std::move(make)) {
    for (const char type : types)
        if (count_ < tables_.size()) tables_[count_++] = table(type);
}

const FixedPlan* FixedPlans::make(std::size_t i) const {
    const std::lock_guard<std::mutex> lock(making_);
    if (const FixedPlan* plan = plans_[i].load(std::memory_order_acquire)) return plan;
    made_.push_back(std::make_unique<FixedPlan>(make_(tables_[i])));
    plans_[i].store(made_.back().get(), std::memory_order_release);
    return made_.back().get();
}

} // namespace arti
