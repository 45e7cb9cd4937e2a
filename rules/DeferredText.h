// A text that is made only when it is read. The record step hands the checks the byte
// position as the main window shows it, which only the finding about an unknown record
// type names: writing it for every record of a run would cost more than the checks.
#pragma once

#include <string_view>

namespace arti {

class DeferredText {
public:
    DeferredText() = default;
    DeferredText(std::string_view fixed) : fixed_(fixed) {}
    DeferredText(const char* fixed) : fixed_(fixed) {}

    // The text `Make(source)`, made at each reading; `source` must outlive the reading.
    template <class Source, std::string_view (*Make)(const Source&)>
    static DeferredText of(const Source& source) {
        DeferredText t;
        t.source_ = &source;
        t.make_ = [](const void* s) { return Make(*static_cast<const Source*>(s)); };
        return t;
    }

    std::string_view get() const { return make_ ? make_(source_) : fixed_; }

private:
    std::string_view fixed_;
    const void* source_ = nullptr;
    std::string_view (*make_)(const void*) = nullptr;
};

} // namespace arti
