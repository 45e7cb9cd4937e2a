// A plan of the field checks of one fixed-position table: which fields a check of a
// whole record can pass by the classes of the record's bytes alone, worked out once per
// table. The checks then run the rule chain only for the fields the plan cannot pass,
// in field order, so that what they report and ask stays what the chain of every field
// would report and ask: a field the plan passes is one whose chain finds nothing and
// changes nothing.
#pragma once

#include "rules/CheckContext.h"
#include "rules/FieldTable.h"
#include "rules/RecordClasses.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

// How a field of a whole record may be passed without its rule chain.
enum class FastKind : std::uint8_t {
    Chain,            // never: the chain always runs (dates, currencies, ...)
    Digits,           // when every byte is a digit
    Admitted,         // when every byte is one the character rule admits
    AdmittedNonBlank, // ... and not every byte is a blank
    Blanks,           // when every byte is a blank
    Listed,           // one or two bytes: for the values the chain passes, worked out once
};

class FixedPlan {
public:
    // The plan of `defs` (of static storage, as the version tables are). `kindOf(row)` is
    // the version's kind of a row; `passes(row, value)` runs the row's chain on a value of
    // its width and says whether it finds nothing: it is asked, for Listed rows only, for
    // blanks and for the parts of the row's list text of its width (of digits and blanks,
    // for width 2), the values a list's chain can pass; any other value runs the chain.
    // Rows of a width the plan has no set for run their chain. With `codeZero` a row of any kind but Chain
    // and Blanks filled with the code-0 filler passes too (when the filler is no blank).
    FixedPlan(std::span<const FieldDef> defs, const std::function<FastKind(std::size_t)>& kindOf,
              const std::function<bool(std::size_t, std::string_view)>& passes, bool codeZero = false);

    const FieldDef* defs() const { return defs_; }
    // Whether the plan answers for a record: at most 64 fields within scan::kClassBytes.
    bool usable() const { return usable_; }

    // The rows whose chain must run for a record (scan::kClassBytes bytes at least) whose
    // bytes have `classes`, `filler` the code-0 filler they were sorted with: one bit per
    // row, row 0 lowest.
    std::uint64_t rowsToCheck(const char* record, const scan::RecordClasses& classes, char filler) const;

    // Each row's bytes, and whether a code-0 fill passes it.
    struct RowBytes {
        std::uint64_t mask[2];
        bool codeZero;
    };

private:
    struct Span {
        std::uint8_t row, offset, width;
    };
    struct Listed {
        Span at;
        std::uint64_t set[4]; // width 1: one bit per byte; width 2: per pair (pairIndex)
    };

    const FieldDef* defs_ = nullptr;
    bool usable_ = false;
    std::uint64_t chainRows_ = 0;
    std::uint64_t needDigit_[2] = {}, needAdmitted_[2] = {}, needBlank_[2] = {};
    std::uint8_t rowAt_[scan::kClassBytes] = {};
    std::vector<RowBytes> rowBytes_;
    std::vector<Span> nonBlank_;
    std::vector<Listed> listedBytes_, listedPairs_; // Listed rows of width 1 and 2

    // The rows a code-0 fill may pass, in two groups of rows that never touch (rows in
    // turn), so that one addition per group finds the rows filled whole (codeZeroFills).
    struct Fills {
        std::uint64_t mask[2], start[2], end[2];
    };
    // The bytes of the rows filled whole with the code-0 filler, among the rows it may
    // pass, into `bytes`; returns the rows that begin with the filler but hold other bytes
    // too (their first bytes are among `bytes`), which must run their chain.
    std::uint64_t codeZeroFills(const scan::RecordClasses& classes, std::uint64_t (&bytes)[2]) const;
    std::uint64_t fillable_[2] = {};
    Fills fills_[2] = {};
};

// The plans of a version's tables, each made when the first record of its table is
// checked. Safe to share between threads.
class FixedPlans {
public:
    using Table = std::span<const FieldDef> (*)(char);
    using Make = std::function<FixedPlan(std::span<const FieldDef>)>;
    // `types`: the record type letters with a table (at most 16), `table` the table of a
    // letter, `make` the plan of a table.
    FixedPlans(std::string_view types, Table table, Make make);

    // The plan of `defs` when it is one of the tables and the plan answers for records.
    const FixedPlan* find(std::span<const FieldDef> defs) const {
        for (std::size_t i = 0; i < count_; ++i)
            if (tables_[i].data() == defs.data() && tables_[i].size() == defs.size()) {
                const FixedPlan* plan = plans_[i].load(std::memory_order_acquire);
                if (!plan) plan = make(i);
                return plan->usable() ? plan : nullptr;
            }
        return nullptr;
    }

private:
    const FixedPlan* make(std::size_t i) const;

    std::array<std::span<const FieldDef>, 16> tables_{};
    std::size_t count_ = 0;
    Make make_;
    mutable std::array<std::atomic<const FixedPlan*>, 16> plans_{};
    mutable std::mutex making_;
    mutable std::vector<std::unique_ptr<FixedPlan>> made_;
};

// The context a plan's `passes` runs a row's chain in: it notes whether the chain
// reported anything, and has no currency, no date window and no questions to ask.
class ChainProbe final : public ICheckContext {
public:
    ChainProbe() : ICheckContext(position_) {}

    bool found = false;

    void report(MessageKind, std::uint32_t, const std::string&) override { found = true; }
    std::string_view recordNumber() const override { return {}; }
    long long recordOffset() const override { return 0; }
    CheckSwitches switches() const override { return {}; }
    const std::string& currency() const override { return none_; }
    const std::string& countryCodes() const override { return none_; }
    DateWindow dateWindow() const override { return {}; }
    void setDateWindow(const DateWindow&) override {}
    void setCurrency(std::string_view) override {}
    bool askWidenDateWindow(const std::string&, const std::string&) override { return false; }
    bool askAdoptCurrency(const std::string&, const std::string&) override { return false; }
    void showFields(const FieldTable&) override {}

private:
    std::string none_;
    long long position_ = 0;
};

namespace detail {
// The index of a pair of digits and blanks, 0 to 120; -1 for any other pair.
constexpr int pairIndex(char a, char b) {
    const auto one = [](char c) { return c == ' ' ? 10 : (c >= '0' && c <= '9' ? c - '0' : -1); };
    const int x = one(a), y = one(b);
    return x < 0 || y < 0 ? -1 : x * 11 + y;
}
} // namespace detail

} // namespace arti
