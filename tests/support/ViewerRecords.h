// Shared pieces of the record viewer tests (GoogleTest and Qt Test alike): a main window
// that counts what the viewers ask of it, and fixed records built from their parts.
#pragma once

#include "core/Text.h"
#include "views/RecordViewers.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace arti::test {

class FakeViewerOwner final : public IViewerOwner {
public:
    bool LIESSATZ() override {
        ++reads;
        return true;
    }
    void OFFSET() override { ++offsets; }
    void ISCHILD(bool open) override { child = open; }
    int reads = 0;
    int offsets = 0;
    bool child = true;
};

// A fixed record of 128 characters with the parts (UTF-8) at their 1-based positions,
// and its line end.
inline std::string fixedRecord(char type, std::initializer_list<std::pair<std::size_t, const char*>> parts) {
    std::string r(128, ' ');
    r[0] = type;
    for (const auto& [pos, text] : parts) {
        const std::string t = utf8ToAnsi(text);
        r.replace(pos - 1, t.size(), t);
    }
    return r + "\r\n";
}

} // namespace arti::test
