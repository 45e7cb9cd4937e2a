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

// A row of the code-0 filler alone, which ends its chain without a finding.
bool codeZeroFill(const scan::RecordClasses& c, const FixedPlan::RowBytes& b, bool fillerPasses) {
    return fillerPasses && b.codeZero && (c.filler[0] & b.mask[0]) == b.mask[0] &&
           (c.filler[1] & b.mask[1]) == b.mask[1];
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
    std::size_t offset = 0;
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
            const auto take = [&](char a, char b) {
                const char value[2] = {a, b};
                const int index = w == 1 ? static_cast<unsigned char>(a) : detail::pairIndex(a, b);
                if (passes(row, std::string_view(value, w))) l.set[index / 64] |= 1ULL << (index % 64);
            };
            // Only a blank or a byte of the list can pass a list's chain; every other value
            // stays out of the set, so the chain decides on it.
            const std::string_view values = defs[row].values;
            const auto candidate = [values](char c) {
                return c == ' ' || values.find(c) != std::string_view::npos;
            };
            if (w == 1) {
                for (int b = 0; b < 256; ++b)
                    if (candidate(static_cast<char>(b))) take(static_cast<char>(b), ' ');
            } else {
                constexpr std::string_view kPairBytes = "0123456789 ";
                for (const char a : kPairBytes)
                    for (const char b : kPairBytes)
                        if (candidate(a) && candidate(b)) take(a, b);
            }
            listed_.push_back(l);
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
    // code-0 fill that ends its chain without a finding. Each row is looked at once.
    const bool fillerPasses = filler != ' ';
    while ((bad[0] | bad[1]) != 0) {
        const std::size_t at = bad[0] != 0 ? static_cast<std::size_t>(std::countr_zero(bad[0]))
                                           : 64 + static_cast<std::size_t>(std::countr_zero(bad[1]));
        const std::size_t row = rowAt_[at];
        const RowBytes& b = rowBytes_[row];
        bad[0] &= ~b.mask[0];
        bad[1] &= ~b.mask[1];
        if (!codeZeroFill(c, b, fillerPasses)) rows |= 1ULL << row;
    }
    for (const Span& s : nonBlank_)
        if (scan::allSet(c.blank, s.offset, s.width)) rows |= 1ULL << s.row;
    for (const Listed& l : listed_) {
        const char* v = record + l.at.offset;
        const int index = l.at.width == 1 ? static_cast<unsigned char>(v[0]) : detail::pairIndex(v[0], v[1]);
        if (!has(l.set, index) && !codeZeroFill(c, rowBytes_[l.at.row], fillerPasses))
            rows |= 1ULL << l.at.row;
    }
    return rows;
}

} // namespace arti
