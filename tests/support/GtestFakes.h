// GoogleTest glue: installs the fakes for one test and fails it on an unexpected box.
#pragma once

#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace arti::test {

class ServicesFixture : public ::testing::Test {
protected:
    ServicesFixture()
        : clock_(LocalDateTime{std::chrono::year{2026} / 12 / 8, 10, 15, 0}), scope_(&box_, &window_, &clock_) {
        box_.onUnexpected = [](const ShownBox& b) {
            ADD_FAILURE() << "unexpected box [" << b.caption << "] " << b.text;
        };
    }
    void TearDown() override { EXPECT_EQ(box_.pendingAnswers(), 0u) << "queued answers were not asked for"; }

    FakeMessageBox box_;
    FakeWindowServices window_;
    FixedClock clock_;

private:
    ServicesScope scope_;
};

} // namespace arti::test
