// Record order rules of the main check window: which order of record types the header's
// announcement allows (SATZFOLGE), and whether the records of the current article still
// follow it (SATZFOLGELFD).
#include "app/CheckFunctions.h"
#include "app/PruefWnd.h"
#include "core/Text.h"

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

bool PRUEF_WND::SATZFOLGE(const std::string& status) {
    if (_LBACK) return true;
    _CSFOLGE1.clear();
    const std::string version = controls.text(Ctl::ODCTXT3);
    const std::string shown = controls.text(Ctl::ODCTXT15);

    if (version == "2000A") {
        std::string a = trim(shown);
        if ((a.size() == 1 && isOneOf(a, {"R", "W"})) || (a == "I" && status == "L") ||
            isOneOf(a, {"IX", "IK", "IT", "IS", "IP", "IH", "IPZ"})) {
            _CSFOLGE = a;
            return true;
        }
        if (startsWith(a, "HI")) {
            // The articles must begin with their I record: the swapped announcement is
            // reported once, put right and used.
            a.replace(0, 2, "IH");
            ERRORLOG("Die Eintragsfolge in Feld4 Vorlaufsatz " + shown +
                     " ist ungültig ! Erster Satz muss immer I sein."_ansi);
            controls.setText(Ctl::ODCTXT15, a);
            _CSFOLGE = a;
            return true;
        }
        if (a.size() > 2 && startsWith(a, "IH")) {
            if (onlyLettersOf(a, "IHPUTKZS")) {
                controls.setText(Ctl::ODCTXT15, a);
                _CSFOLGE = a;
                return true;
            }
            refuseCheck("Die Satzfolge VG>2 " + shown + utf8ToAnsi(kRefused));
            return false;
        }
        refuseCheck("Die Satzfolge " + shown + utf8ToAnsi(kRefused));
        return false;
    }

    Decision d;
    if (version == "0196") {
        d = decide0196(shown, status);
    } else if (version == "0590") {
        if (recordCounter <= 2) return true;
        d = decide0590(shown, status, recordCounter);
    } else {
        return true;
    }
    if (!d.allowed) {
        refuseCheck("Die Satzfolge " + shown + utf8ToAnsi(kRefused));
        return false;
    }
    _CSFOLGE = std::move(d.pattern);
    _CSFOLGE1 = std::move(d.alternative);
    return true;
}

bool PRUEF_WND::SATZFOLGELFD(std::string_view head) {
    if (head.empty()) return false;
    const char t = head[0];
    // The header and the "K" records belong to no article. Only a version 2000 header
    // that announces "K" (as in "IHPTKZ") makes it an article record, followed like every
    // other.
    // Compared as views: their lengths decide most comparisons without a byte compare.
    const std::string_view version = controls.text(Ctl::ODCTXT3);
    if (t == 'V') return true;
    if (t == 'K' && (version != "2000A" || _CSFOLGE.find('K') == std::string::npos)) return true;

    std::size_t start = 0;
    if (version == "0196") {
        // Text records ahead of the first article belong to no article.
        if (t == 'T' && _CSFOLGE.find('T') != std::string::npos && _CSTRING.empty()) return true;
        if (_CSFOLGE.find('/') != std::string::npos) start = 2;
    }
    // The first type of the pattern opens a new article; every type is noted once.
    if (start < _CSFOLGE.size() && t == _CSFOLGE[start]) _CSTRING.clear();
    if (_CSTRING.find(t) == std::string::npos) _CSTRING += t;

    if (_CSTRING == patternPart(_CSFOLGE, start, _CSTRING.size())) return true;
    return !_CSFOLGE1.empty() && _CSTRING == patternPart(_CSFOLGE1, start, _CSTRING.size());
}

} // namespace arti
