// A run fills one field table per record: once the table has held a record, the next
// records of the same or a smaller size must not touch the heap, nor must the check
// digit and the date window test of a date inside the window.
#include "rules/FieldTable.h"
#include "rules/SharedRules.h"

#include "tests/support/CountingAllocator.h"
#include "tests/support/FakeCheckContext.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <new>

using namespace arti;

namespace {

constexpr std::array<FieldDef, 5> kDefs{{
    {"Satzartkennzeichen", "1", "A", "M", "A", "F"},
    {"Artikelnummer", "15", "A", "M", "", "F"},
    {"EAN-Nummer", "13", "N", "K", "", "F"},
    {"Datum", "8", "N", "K", "", "F"},
    {"Bezeichnung", "40", "A", "K", "", "F"},
}};

// Findings are counted, not kept: keeping them would allocate.
struct InWindow : test::FakeCheckContext {
    InWindow() {
        keep = false;
        number = "";
    }
};

void fill(FieldTable& t, std::string_view record) {
    t.reset(kDefs);
    std::uint32_t pos = 1;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const std::size_t w = t.def(i).width();
        t.setContent(i, record.substr(pos - 1, w));
        t.setPosition(i, pos);
        t.setNumber(i, static_cast<std::uint32_t>(i + 1));
        pos += static_cast<std::uint32_t>(w);
    }
}

TEST(HotPath, FillingAndCheckingRecordsDoesNotAllocate) {
    std::string record =
        "A" + std::string("4711").append(11, ' ') + "4006381333931" + "20230115" + "Kabel NYM-J 3x1,5";
    record.resize(77, ' ');
    FieldTable t;
    fill(t, record); // the first record sizes the table
    InWindow ctx;

    const long before = test::allocations();
    int checks = 0;
    for (int n = 0; n < 1000; ++n) {
        fill(t, record);
        const std::string_view ean = t.content(2);
        // Thirteen characters still fit the small-string buffer.
        if (PRUEFZIFFER(ean.substr(0, 12)) == ean) ++checks;
        DATUMSWECHSEL(ctx, std::chrono::year{2023} / 1 / 15, "4");
    }
    EXPECT_EQ(test::allocations() - before, 0);
    EXPECT_EQ(checks, 1000);
    EXPECT_EQ(t.content(2), "4006381333931");
    EXPECT_EQ(t.content(4), record.substr(37, 40));
}

} // namespace
