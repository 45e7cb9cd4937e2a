// Shared pieces of the record viewer tests: a main window that counts what the viewers
// ask of it, and a check run on a data file written by the test.
#pragma once

#include "core/Text.h"
#include "records/FileHandles.h"
#include "run/CheckRun.h"
#include "settings/Settings.h"
#include "tests/support/CheckSettings.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/TempDir.h"
#include "tests/support/ViewerRecords.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace arti::test {

class ViewerFixture : public ServicesFixture {
protected:
    ViewerFixture() {
        useCheckSettings(dir_.folder());
        settings().nks = 2;
    }
    ~ViewerFixture() override {
        closeFile();
        settings() = Settings{};
    }

    // Writes the bytes as the data file and opens it for the run.
    void openFile(const std::string& bytes, Version version, bool oem = false, int mode = FO_READWRITE) {
        closeFile();
        path_ = dir_.folder() + "data.dat";
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
        run_.source.attach(FOPEN(path_, mode));
        ASSERT_NE(run_.source.handle(), 0);
        run_.version = version;
        run_.versionLabel = std::string(versionText(version));
        run_.LASCII_ = oem;
    }
    void closeFile() {
        if (run_.source.handle() != 0) FCLOSE(run_.source.handle());
        run_.source.attach(0);
    }
    std::string fileBytes() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The one box shown was this one (UTF-8; an empty caption or text is not compared).
    void expectBox(const std::string& caption, const std::string& text = {}) {
        ASSERT_EQ(box_.shown.size(), 1u) << caption;
        if (!caption.empty()) {
            EXPECT_EQ(box_.shown.front().caption, caption);
        }
        if (!text.empty()) {
            EXPECT_EQ(box_.shown.front().text, text);
        }
        box_.shown.clear();
    }

    TempDir dir_;
    std::string path_;
    CheckRun run_;
    FakeViewerOwner main_;
};

} // namespace arti::test
