#include "tools/gen/Plan.h"

#include "tools/gen/FieldFaults.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace arti::gen {

namespace {

constexpr std::string_view kFlagLetters = "ABDPRSTZ";
// The separators a version 2000 header may name.
constexpr std::array<char, 9> kSeparators = {'#', '$', '*', '+', ';', '@', '_', '|', '\x7F'};

std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool oneOf(const std::string& s, std::initializer_list<const char*> list) {
    return std::any_of(list.begin(), list.end(), [&](const char* x) { return s == x; });
}

bool distinctLetters(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s.find(s[i], i + 1) != std::string::npos) return false;
    return true;
}

std::optional<Plan> plan0590(const std::string& t, std::string& error) {
    Plan p;
    p.version = Version::V0590;
    p.announcement = t.empty() ? "ABZ" : t;
    if (!oneOf(p.announcement, {"ABZ", "AB", "A", "P", "R", "S"})) {
        error = "05/90 files are of the kinds ABZ, AB, A, P, R or S, not " + t;
        return std::nullopt;
    }
    p.order = p.announcement;
    p.minLength = p.order.size() >= 2 ? 2 : 1;
    p.firstFull = true;
    p.status = p.announcement == "P" ? '0' : '1';
    return p;
}

std::optional<Plan> plan0196(const std::string& t, std::string& error) {
    Plan p;
    p.version = Version::V0196;
    std::string letters;
    for (char c : kFlagLetters)
        if (t.find(c) != std::string::npos) letters += c;
    p.announcement = t.empty() ? "ABDTZ" : letters;
    if (letters.size() != t.size() || !oneOf(p.announcement, {"P", "S", "R", "AB", "ABD", "ABDT", "ABZ",
                                                              "ABDZ", "ABDTZ", "DT", "A", "D"})) {
        error = "01/96 announcements are P, S, R, AB, ABD, ABDT, ABZ, ABDZ, ABDTZ, DT, A or D, not " + t;
        return std::nullopt;
    }
    p.leadingTexts = p.announcement.find('T') != std::string::npos;
    p.order = p.announcement;
    p.order.erase(std::remove(p.order.begin(), p.order.end(), 'T'), p.order.end());
    if (p.order == "ABDZ") p.alternative = "ABZD";
    p.repeatable = p.order.size() > 1 ? "D" : "";
    p.minLength = p.order.size() >= 2 ? 2 : 1;
    // Files that only announce A or only D are deletion files (status 9).
    p.status = (p.announcement == "A" || p.announcement == "D") ? '9' : '1';
    return p;
}

std::optional<Plan> plan2000(const std::string& t, std::string& error) {
    Plan p;
    p.version = Version::V2000;
    // K comes last: the order rules never follow V and K records (in 05/90 and 01/96 they
    // are the header and the customer record), so a K ahead of another type would leave
    // a gap in the followed order.
    p.announcement = t.empty() ? "IHPTZK" : t;
    const std::string& a = p.announcement;
    const bool pair = oneOf(a, {"R", "W", "I", "IX", "IK", "IT", "IS", "IP", "IH", "IPZ"});
    const bool longIh = a.size() > 2 && a.compare(0, 2, "IH") == 0 &&
                        a.find_first_not_of("IHPUTKZS") == std::string::npos && distinctLetters(a);
    if (!pair && !longIh) {
        error = "2000 announcements are R, W, I, IX, IK, IT, IS, IP, IH, IPZ or IH followed by letters of "
                "PUTKZS, not " +
                t;
        return std::nullopt;
    }
    p.order = a;
    p.repeatable = "PTK";
    p.minLength = p.order.size() >= 2 ? 2 : 1;
    p.status = a == "I" ? 'L' : 'S';
    return p;
}

} // namespace

std::optional<Plan> Plan::make(Version v, const std::string& types, std::string& error) {
    const std::string t = upperAscii(types);
    switch (v) {
    case Version::V0590:
        return plan0590(t, error);
    case Version::V0196:
        return plan0196(t, error);
    case Version::V2000:
        break;
    }
    return plan2000(t, error);
}

std::string Plan::check(const FileRecipe& want) const {
    const std::uint64_t least = version == Version::V2000 ? 1 : 2;
    if (want.records < least)
        return "a file of this version has at least " + std::to_string(least) + " records";
    if (!want.date.ok()) return "the header date is no valid date";
    if (!faultApplies(want.fault, version))
        return "the fault " + std::string(faultName(want.fault)) + " does not apply to version " +
               std::string(versionName(version));
    if (version == Version::V2000 &&
        std::find(kSeparators.begin(), kSeparators.end(), want.separator) == kSeparators.end())
        return "the separator must be one of # $ * + ; @ _ | DEL";
    const std::uint64_t firstArticle = least + 1;
    const bool inArticles = want.fault == Fault::WrongLength || want.fault == Fault::CrLfInBlock ||
                            want.fault == Fault::EndMarkInBlock || want.fault == Fault::UnannouncedType ||
                            want.fault == Fault::BrokenOrder ||
                            (isFieldFault(want.fault) && want.fault != Fault::FieldFaultsEverywhere);
    if (inArticles && want.records < firstArticle + 1)
        return "the fault needs at least " + std::to_string(firstArticle + 1) + " records";
    const auto followed = std::count_if(order.begin(), order.end(),
                                        [this](char c) { return version != Version::V2000 || c != 'K'; });
    if (want.fault == Fault::BrokenOrder && followed < 3)
        return "a broken order needs an article of at least three record types (" + announcement + ")";
    if (isFieldFault(want.fault) && want.fault != Fault::FieldFaultsEverywhere) {
        const std::string carriers = fieldFaultTypes(want.fault, version);
        if (order.find_first_of(carriers) == std::string::npos)
            return "the fault " + std::string(faultName(want.fault)) + " needs records of the types " +
                   carriers + ", the file has " + order;
    }
    if (want.fault == Fault::RefusedAnnouncement && version == Version::V0590 && want.records < 4)
        return "a refused 05/90 announcement needs at least 4 records";
    return {};
}

std::vector<char> Plan::articleTypes(Rng& rng, bool first) const {
    const std::string& o = (!alternative.empty() && rng.chance(33)) ? alternative : order;
    std::size_t length = o.size();
    if (!(first && firstFull) && !rng.chance(50)) length = minLength + rng.below(o.size() - minLength + 1);
    std::vector<char> types;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = o[i];
        std::uint64_t n = 1;
        if (i > 0 && repeatable.find(c) != std::string::npos) n += rng.below(c == 'K' ? 4 : c == 'P' ? 2 : 3);
        types.insert(types.end(), n, c);
    }
    return types;
}

char Plan::unannouncedType() const {
    // K is no candidate: the order and announcement rules let K records pass unseen.
    const std::string candidates = version == Version::V2000 ? "XWRUSZTPH" : "SRPZDB";
    for (char c : candidates)
        if (announcement.find(c) == std::string::npos) return c;
    throw std::logic_error("every record type is announced");
}

std::string withLetter(const std::string& letters, char c) {
    std::string out;
    for (char l : kFlagLetters)
        if (letters.find(l) != std::string::npos || l == c) out += l;
    return out;
}

std::string flagsOf(const std::string& letters) {
    std::string flags;
    for (char l : kFlagLetters)
        flags += letters.find(l) != std::string::npos ? '1' : '0';
    return flags;
}

std::uint64_t textKeys(std::uint64_t records) {
    if (records < 6) return 0;
    return std::clamp<std::uint64_t>((records - 2) / 200, 1, 50);
}

std::string Renderer::header(const std::string& announcement) const {
    switch (plan_.version) {
    case Version::V0590:
        return fixed::header0590({want_.date, {}});
    case Version::V0196:
        return fixed::header0196({want_.date, flagsOf(announcement)});
    case Version::V2000:
        break;
    }
    const char sep = want_.fault == Fault::BadSeparator ? ',' : want_.separator;
    return v2000::join(v2000::header(want_.date, announcement), sep);
}

std::string Renderer::customer() const {
    return plan_.version == Version::V0590 ? fixed::customer0590() : fixed::customer0196();
}

std::string Renderer::record(char type, const ArticleData& a, int repeat, char status) const {
    if (plan_.version == Version::V0590) return record0590(type, a, status);
    if (plan_.version == Version::V0196) return record0196(type, a, repeat, status);
    const char sep = want_.fault == Fault::BadSeparator ? ',' : want_.separator;
    Rng rng(a.index * 977 + static_cast<std::uint64_t>(repeat));
    if (type == 'R') return v2000::join(v2000::discount(rng, a.index), sep);
    if (type == 'W') return v2000::join(v2000::group(rng, a.index), sep);
    return v2000::join(v2000::articleRecord(type, a, want_.date, repeat, status), sep);
}

std::string Renderer::record0590(char type, const ArticleData& a, char status) const {
    Rng rng(a.index * 977);
    switch (type) {
    case 'A':
        return fixed::article0590(a, status);
    case 'B':
        return fixed::basic0590(a, want_.date);
    case 'Z':
        return fixed::surcharge0590(a);
    case 'P':
        return fixed::prices0590(a, want_.date);
    case 'R':
        return fixed::discount0590(rng, a.index);
    case 'S':
        return fixed::group0590(rng, a.index);
    default:
        throw std::logic_error(std::string("no 05/90 record of type ") + type);
    }
}

std::string Renderer::record0196(char type, const ArticleData& a, int repeat, char status) const {
    Rng rng(a.index * 977 + static_cast<std::uint64_t>(repeat));
    switch (type) {
    case 'A':
        return fixed::article0196(a, status);
    case 'B':
        return fixed::basic0196(a, want_.date);
    case 'D':
        return fixed::dimension0196(a, repeat, status);
    case 'Z':
        return fixed::surcharge0196(a);
    case 'P':
        return fixed::prices0196(a, want_.date);
    case 'R':
        return fixed::discount0196(rng, a.index);
    case 'S':
        return fixed::group0196(rng, a.index);
    default:
        throw std::logic_error(std::string("no 01/96 record of type ") + type);
    }
}

} // namespace arti::gen
