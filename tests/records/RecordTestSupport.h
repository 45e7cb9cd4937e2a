// Shared set-up of the record file tests: fake services, a temporary folder, and raw
// file helpers that bypass the code under test.
#pragma once

#include <cstdlib>
#include <stdexcept>

#include "platform/Unicode.h"
#include "records/FileAccess.h"
#include "records/IoFailure.h"
#include "tests/support/GtestFakes.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <iterator>
#include <string>

namespace arti::test {

// Watches the file routines as the check engine does: `stopped` tells whether one of
// them ended the check.
struct StopRecorder final : IIoFailureObserver {
    bool stopped = false;
    void ioFailed(const IoFailure&) override {}
    void ioStopped(IoStop) override { stopped = true; }
};

class RecordFileTest : public ServicesFixture {
protected:
    ~RecordFileTest() override {
        for (FileHandle h : opened_)
            FCLOSE(h);
    }

    std::string path(const std::string& name) const { return dir_.folder() + name; }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(platform::fsPath(path(name)), std::ios::binary | std::ios::trunc) << bytes;
        return path(name);
    }

    std::string contents(const std::string& name) const {
        std::ifstream in(platform::fsPath(path(name)), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Opens through the code under test; the handle is closed with the fixture.
    FileHandle open(const std::string& name, int mode = FO_READWRITE) {
        const FileHandle h = FOPEN(path(name), mode);
        EXPECT_NE(h, 0) << "cannot open " << name;
        opened_.push_back(h);
        return h;
    }

    // The one box shown since the last call (UTF-8), or a failure.
    std::string onlyBox() {
        EXPECT_EQ(box_.shown.size(), 1u);
        std::string text = box_.shown.empty() ? std::string() : box_.shown.back().text;
        if (!box_.shown.empty()) {
            EXPECT_EQ(box_.shown.back().kind, BoxKind::Error);
            EXPECT_EQ(box_.shown.back().caption, "Fehler");
        }
        box_.shown.clear();
        return text;
    }

    TempDir dir_;
    const Owner owner_ = &dir_;
    StopRecorder stops_;
    IoFailureWatch watch_{stops_};

private:
    std::vector<FileHandle> opened_;
};

// A fixed record of 128 characters: type letter, then `body` padded with blanks.
inline std::string record128(char type, const std::string& body) {
    std::string r(1, type);
    r += body;
    r.resize(128, ' ');
    return r;
}

} // namespace arti::test
