#include "update/SignedRelease.h"

#include "core/Text.h"
#include "rules/SharedRules.h"

namespace arti {

using namespace arti::literals;

namespace {

// The value of a "name:value" token, when the token is one of that name.
bool tokenValue(std::string_view token, std::string_view name, std::string_view& value) {
    if (token.size() <= name.size() || token.substr(0, name.size()) != name) return false;
    value = token.substr(name.size());
    return true;
}

std::string shownDate(std::uint32_t yyyymmdd) {
    return STRDATE2TEXT(std::to_string(yyyymmdd), true);
}

} // namespace

SignedRelease signedRelease(std::string_view comment) {
    SignedRelease r;
    bool dateSeen = false;
    while (!comment.empty()) {
        const std::size_t start = comment.find_first_not_of(" \t");
        if (start == std::string_view::npos) break;
        comment.remove_prefix(start);
        const std::string_view token = comment.substr(0, comment.find_first_of(" \t"));
        comment.remove_prefix(token.size());
        std::string_view value;
        if (r.file.empty() && tokenValue(token, "file:", value)) {
            r.file = value;
        } else if (!dateSeen && tokenValue(token, "date:", value)) {
            dateSeen = true;
            if (value.size() != 8 || value.find_first_not_of("0123456789") != std::string_view::npos)
                continue;
            for (const char c : value)
                r.date = r.date * 10 + static_cast<std::uint32_t>(c - '0');
        }
    }
    return r;
}

ReleaseFault releaseFault(const SignedRelease& release, std::string_view fileName, std::uint32_t announced,
                          std::uint32_t program) {
    if (release.file.empty() || release.date == 0) return ReleaseFault::Unnamed;
    if (!equalsNoCase(release.file, fileName)) return ReleaseFault::OtherFile;
    if (release.date != announced) return ReleaseFault::OtherDate;
    if (release.date <= program) return ReleaseFault::NotNewer;
    return ReleaseFault::None;
}

std::string releaseRefusal(ReleaseFault fault, const SignedRelease& release, std::uint32_t announced,
                           const std::string& programVersion) {
    switch (fault) {
    case ReleaseFault::None:
        return {};
    case ReleaseFault::Unnamed:
        return "Die Signatur nennt nicht Datei und Datum des Installationsprogramms "
               "(\"file:\" und \"date:\")."_ansi;
    case ReleaseFault::OtherFile:
        return "Die Signatur gilt für die Datei "_ansi + release.file + ".";
    case ReleaseFault::OtherDate:
        return "Die Signatur gilt für das Programm vom "_ansi + shownDate(release.date) +
               ", angekündigt ist das vom "_ansi + shownDate(announced) + ".";
    case ReleaseFault::NotNewer:
        return "Die signierte Datei vom " + shownDate(release.date) +
               " ist nicht neuer als die Programm-Version " + programVersion + ".";
    }
    return {};
}

std::uint32_t versionNumber(std::string_view text) {
    const StrDate d = STRDATE2DATE(trim(text));
    if (!d.date) return 0;
    return static_cast<std::uint32_t>(static_cast<int>(d.date->year()) * 10000 +
                                      static_cast<int>(static_cast<unsigned>(d.date->month())) * 100 +
                                      static_cast<int>(static_cast<unsigned>(d.date->day())));
}

} // namespace arti
