// Record order rules of a check: which order of record types the header's
// announcement allows (SATZFOLGE), and whether the records of the current article still
// follow it (SATZFOLGELFD).
#include "core/Text.h"
#include "run/CheckFunctions.h"
#include "run/CheckRun.h"
#include "run/OrderTracker.h"

#include <algorithm>
#include <initializer_list>

namespace arti {

using namespace literals;

namespace {

const char* const kRefused = " ist nicht zulässig ! Die Prüfung wird abgebrochen.";

bool isOneOf(std::string_view s, std::initializer_list<std::string_view> options) {
    return std::find(options.begin(), options.end(), s) != options.end();
}

// The part of a pattern from `start` on, `length` long; shorter (or empty) at its end.
std::string_view patternPart(std::string_view pattern, std::size_t start, std::size_t length) {
    return start < pattern.size() ? pattern.substr(start, length) : std::string_view();
}

struct Decision {
    bool allowed = false;
    std::string pattern;
    std::string alternative;
};

// Version 01/96: the announcement is matched exactly against the allowed ones; "T/" in
// front of a pattern admits the text records ahead of the articles.
Decision decide0196(const std::string& a, const std::string& status) {
    if (a.size() == 1 && isOneOf(a, {"P", "S", "R"})) return {true, a, {}};
    if (a == "AB" || a == "ABD" || a == "ABZ") return {true, a, {}};
    if (a == "ABDT") return {true, "T/ABD", {}};
    if (a == "ABDZ") return {true, "ABDZ", "ABZD"};
    if (a == "ABDTZ") return {true, "T/ABZD", "T/ABDZ"};
    if (a == "DT") return {true, "T/D", {}};
    if ((a == "A" || a == "D") && status == "9") return {true, a, {}};
    return {};
}

// Version 05/90: the announcement gathered from the records met so far.
Decision decide0590(const std::string& a, const std::string& status, unsigned long counter) {
    if (a.size() == 1 && isOneOf(a, {"P", "S", "R"})) return {true, a, {}};
    if (a == "A" && (status == "9" || counter == 3)) return {true, a, {}};
    if (a == "B" && status != "1") return {true, a, {}}; // "9" (delete) included
    if (a == "Z" && counter >= 3 && isOneOf(status, {"0", "2", "3"})) return {true, a, {}};
    if (a == "A" && counter >= 3) return {true, a, {}};
    if (a == "AB" && counter >= 4) return {true, a, {}};
    if (a == "ABZ" && counter >= 5) return {true, a, {}};
    return {};
}

// The patterns and the types met are a few letters long, and they are asked for every
// record of a run: plain loops cost less than the library's searches and compares.
bool holds(std::string_view s, char c) {
    for (const char x : s)
        if (x == c) return true;
    return false;
}

bool samePart(std::string_view seen, std::string_view pattern, std::size_t start) {
    const std::string_view part = patternPart(pattern, start, seen.size());
    if (part.size() != seen.size()) return false;
    for (std::size_t i = 0; i < part.size(); ++i)
        if (part[i] != seen[i]) return false;
    return true;
}

bool onlyLettersOf(std::string_view s, std::string_view letters) {
    return s.find_first_not_of(letters) == std::string_view::npos;
}

} // namespace

std::string SATZFOLGE(std::string_view flags) {
    static constexpr std::string_view kTypes = "ABDPRSTZ";
    std::string announced;
    for (std::size_t i = 0; i < kTypes.size() && i < flags.size(); ++i)
        if (flags[i] == '1') announced += kTypes[i];
    return announced;
}

void OrderTracker::setPattern(std::string pattern, std::string alternative) {
    CSFOLGE_ = std::move(pattern);
    CSFOLGE1_ = std::move(alternative);
    agreement_.valid = false;
}

void OrderTracker::reset() {
    CSFOLGE_.clear();
    CSFOLGE1_.clear();
    clearArticle();
    agreement_.valid = false;
}

bool OrderTracker::SATZFOLGE(Version version, const std::string& announcement, unsigned long counter,
                             const std::string& status, std::string& correction) {
    CSFOLGE1_.clear();
    agreement_.valid = false;
    correction.clear();
    const std::string shown = announcement;

    if (version == Version::V2000) {
        std::string a = trim(shown);
        if ((a.size() == 1 && isOneOf(a, {"R", "W"})) || (a == "I" && status == "L") ||
            isOneOf(a, {"IX", "IK", "IT", "IS", "IP", "IH", "IPZ"})) {
            CSFOLGE_ = a;
            return true;
        }
        if (startsWith(a, "HI")) {
            // The articles must begin with their I record: the swapped announcement is
            // reported once, put right and used.
            a.replace(0, 2, "IH");
            findings_.ERRORLOG(MessageKind::AnnouncementSwapped,
                               "Die Eintragsfolge in Feld4 Vorlaufsatz " + shown +
                                   " ist ungültig ! Erster Satz muss immer I sein."_ansi);
            correction = a;
            CSFOLGE_ = a;
            return true;
        }
        if (a.size() > 2 && startsWith(a, "IH")) {
            if (onlyLettersOf(a, "IHPUTKZS")) {
                correction = a;
                CSFOLGE_ = a;
                return true;
            }
            findings_.refuseCheck(RuleAbortKind::OrderNotAdmitted, MessageKind::SequenceRefusedLong,
                                  "Die Satzfolge VG>2 " + shown + utf8ToAnsi(kRefused));
            return false;
        }
        findings_.refuseCheck(RuleAbortKind::OrderNotAdmitted, MessageKind::SequenceRefused,
                              "Die Satzfolge " + shown + utf8ToAnsi(kRefused));
        return false;
    }

    Decision d;
    if (version == Version::V0196) {
        d = decide0196(shown, status);
    } else if (version == Version::V0590) {
        if (counter <= 2) return true;
        d = decide0590(shown, status, counter);
    } else {
        return true;
    }
    if (!d.allowed) {
        findings_.refuseCheck(RuleAbortKind::OrderNotAdmitted, MessageKind::SequenceRefused,
                              "Die Satzfolge " + shown + utf8ToAnsi(kRefused));
        return false;
    }
    CSFOLGE_ = std::move(d.pattern);
    CSFOLGE1_ = std::move(d.alternative);
    return true;
}

// Works the agreement out anew for the part of the patterns from `start` on; what the
// pattern holds only where it is not known.
void OrderTracker::agree(std::size_t start) {
    Agreement& a = agreement_;
    if (!a.valid)
        a = {true, holds(CSFOLGE_, 'K'), holds(CSFOLGE_, 'T'), holds(CSFOLGE_, '/'), 0, false, false};
    a.start = start;
    a.pattern = samePart(types(), CSFOLGE_, start);
    a.alternative = samePart(types(), CSFOLGE1_, start);
}

bool OrderTracker::followAnew(Version version, std::string_view head, std::size_t start) {
    agree(start);
    return SATZFOLGELFD(version, head);
}

bool OrderTracker::SATZFOLGELFD(Version version, std::string_view head) {
    if (head.empty()) return false;
    const char t = head[0];
    // The header and the "K" records belong to no article. Only a version 2000 header
    // that announces "K" (as in "IHPTKZ") makes it an article record, followed like every
    // other.
    if (t == 'V') return true;
    // What the pattern holds is worked out once per pattern.
    Agreement& a = agreement_;
    if (!a.valid) [[unlikely]]
        return followAnew(version, head, 0);
    if (t == 'K' && (version != Version::V2000 || !a.k)) return true;

    std::size_t start = 0;
    if (version == Version::V0196) {
        // Text records ahead of the first article belong to no article.
        if (t == 'T' && a.t && typeCount_ == 0) return true;
        if (a.slash) start = 2;
    }
    // The first type of the pattern opens a new article; every type is noted once. No
    // types agree with every pattern; a type added keeps the agreement where the pattern
    // has it at the same place.
    if (a.start != start) [[unlikely]]
        return followAnew(version, head, start);
    if (start < CSFOLGE_.size() && t == CSFOLGE_[start]) {
        clearArticle();
        a.pattern = a.alternative = true;
    }
    bool& noted = noted_[static_cast<unsigned char>(t)];
    if (!noted) {
        const std::size_t at = start + typeCount_;
        types_[typeCount_++] = t;
        noted = true;
        a.pattern = a.pattern && at < CSFOLGE_.size() && CSFOLGE_[at] == t;
        a.alternative = a.alternative && at < CSFOLGE1_.size() && CSFOLGE1_[at] == t;
    }
    if (a.pattern) return true;
    return !CSFOLGE1_.empty() && a.alternative;
}

} // namespace arti
