// GoogleTest glue: installs the fakes for one test and fails it on an unexpected box.
#pragma once

#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace arti::test {

class ServicesFixture : public ::testing::Test {
protected:
    ServicesFixture() {
        box_.onUnexpected = [](const ShownBox& b) {
            ADD_FAILURE() << "unexpected box [" << b.caption << "] " << b.text;
        };
    }
    void TearDown() override { EXPECT_EQ(box_.pendingAnswers(), 0u) << "queued answers were not asked for"; }

    FakeServices fakes_;
    // The fakes most tests talk to, by their short names.
    FakeMessageBox& box_ = fakes_.box;
    FakeWindowServices& window_ = fakes_.window;
    FixedClock& clock_ = fakes_.clock;
    FakeFileDialogs& dialogs_ = fakes_.dialogs;
    FakeShell& shell_ = fakes_.shell;
};

} // namespace arti::test
