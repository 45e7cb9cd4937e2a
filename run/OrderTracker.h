// The record order of a check: the order pattern the header's announcement allows
// (SATZFOLGE, with its alternative), and the record types of the current article so far,
// held against that pattern while a run follows the order from the header (SATZFOLGELFD).
#pragma once

#include "rules/Version.h"
#include "run/RunFindings.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace arti {

class OrderTracker {
public:
    explicit OrderTracker(IRunFindings& findings) : findings_(findings) {}

    // Decides the pattern for `announcement` of a file of `version` at the record
    // `counter` whose status character is `status`; false when the order is not admitted
    // (refused through the findings). `correction`: the announcement as it is to be
    // shown from now on, when the decision put it right; empty otherwise.
    bool SATZFOLGE(Version version, const std::string& announcement, unsigned long counter,
                   const std::string& status, std::string& correction);
    // A record whose first characters are `head` in a run that follows the order: false
    // when it breaks the pattern.
    bool SATZFOLGELFD(Version version, std::string_view head);

    // The pattern, its alternative and the current article's record types so far.
    const std::string& pattern() const { return CSFOLGE_; }
    const std::string& alternative() const { return CSFOLGE1_; }
    const std::string& article() const {
        CSTRING_.assign(types_.data(), typeCount_);
        return CSTRING_;
    }
    // Sets the pattern and its alternative, as a decision would.
    void setPattern(std::string pattern, std::string alternative = {});
    // Whether the current run follows the order from the header.
    bool following() const { return LSFOLGE_; }
    void follow(bool on) { LSFOLGE_ = on; }
    // The next record starts the article anew.
    void forgetArticle() {
        clearArticle();
        agreement_.valid = false;
    }
    // Nothing of the previous file's order stays.
    void reset();

private:
    IRunFindings& findings_;
    bool LSFOLGE_ = false; // the run follows the order of the records from the header
    std::string CSFOLGE_;  // the order pattern the announcement allows
    std::string CSFOLGE1_; // ... and its alternative
    // The record types of the current article so far, each once (so at most one of every
    // byte value), and which bytes they are; CSTRING_ holds them as text when asked for.
    std::array<char, 256> types_{};
    std::size_t typeCount_ = 0;
    std::array<bool, 256> noted_{};
    mutable std::string CSTRING_;
    // What every article record of a run asks, kept from record to record: which of "K",
    // "T" and "/" the pattern holds, and whether the types agree with the part of the
    // pattern and of its alternative from `start` on (brought up to date by the one type a
    // record may add). Worked out anew when the patterns or the types changed otherwise.
    struct Agreement {
        bool valid = false;
        bool k = false, t = false, slash = false;
        std::size_t start = 0;
        bool pattern = false;
        bool alternative = false;
    };
    Agreement agreement_;

    std::string_view types() const { return {types_.data(), typeCount_}; }
    void clearArticle() {
        for (std::size_t i = 0; i < typeCount_; ++i)
            noted_[static_cast<unsigned char>(types_[i])] = false;
        typeCount_ = 0;
    }
    void agree(std::size_t start);
    // SATZFOLGELFD once the agreement is worked out for `start` (out of line: the usual
    // record calls nothing).
    [[gnu::noinline]] bool followAnew(Version version, std::string_view head, std::size_t start);
};

} // namespace arti
