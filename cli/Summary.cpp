#include "cli/Summary.h"

#include "cli/LogTally.h"
#include "core/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace arti::cli {

namespace {

// A byte that continues a UTF-8 character: an umlaut takes two bytes but one place.
bool continuesCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The characters (places on the terminal) of a UTF-8 text.
std::size_t characters(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !continuesCharacter(c); }));
}

std::string row(const char* label, const std::string& value) {
    std::string line = "  ";
    line += label;
    // Labels are padded to 18 characters.
    const std::size_t shown = characters(label);
    line.append(shown < 18 ? 18 - shown : 1, ' ');
    return line + value + "\n";
}

} // namespace

std::string germanCount(std::uint64_t n) {
    std::string digits = std::to_string(n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
        out += digits[i];
    }
    return out;
}

std::string germanDecimal(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string s = buf;
    const std::size_t point = s.find('.');
    const std::string whole = s.substr(0, point);
    const bool negative = !whole.empty() && whole[0] == '-';
    std::string out = (negative ? "-" : "") + germanCount(std::stoull(negative ? whole.substr(1) : whole));
    if (point != std::string::npos) out += "," + s.substr(point + 1);
    return out;
}

std::string versionName(Version version) {
    switch (version) {
    case Version::V0590:
        return "05/90";
    case Version::V0196:
        return "01/96";
    case Version::V2000:
        return "2000";
    case Version::Unknown:
        return "unbekannt";
    case Version::None:
        break;
    }
    return "-";
}

std::string resultText(const FileResult& r) {
    switch (r.outcome) {
    case Outcome::Complete:
        return r.errors > 0 ? "Fehler gefunden" : "in Ordnung";
    case Outcome::Aborted:
        return "Prüfung abgebrochen: " + r.reason;
    case Outcome::NotRecognised:
        return "nicht prüfbar: " + r.reason;
    case Outcome::IoError:
        return "Ein-/Ausgabefehler: " + r.reason;
    case Outcome::Interrupted:
        return "unterbrochen: " + r.reason;
    case Outcome::Missing:
        break;
    }
    return "nicht prüfbar: " + r.reason;
}

std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
        const unsigned char b = byte(i);
        // Length of the sequence and the smallest and largest second byte it allows
        // (no overlong forms, no surrogates, nothing above U+10FFFF).
        std::size_t n = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b < 0x80) {
            n = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            n = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 3;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 4;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        }
        bool ok = n > 0 && i + n <= text.size();
        for (std::size_t k = 1; ok && k < n; ++k)
            ok = k == 1 ? byte(i + 1) >= low && byte(i + 1) <= high : (byte(i + k) & 0xC0) == 0x80;
        if (ok) {
            out.append(text, i, n);
            i += n;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

namespace {

// "Satzart B, Feld 23", "Satzart V", "Datei" (a finding about the file or the run).
std::string groupPlace(const FindingGroup& g) {
    if (g.recordType.empty()) return "Datei";
    std::string place = "Satzart " + ansiToUtf8(g.recordType);
    if (g.field != kNoField) place += ", Feld " + std::to_string(g.field);
    return place;
}

// The UTF-8 text cut to `width` characters, its end marked by "…" where it was cut.
std::string cutToWidth(const std::string& text, std::size_t width) {
    if (width == 0 || characters(text) <= width) return text;
    // Keep width - 1 characters: the last place takes the mark.
    std::size_t kept = 0;
    std::size_t at = 0;
    for (; at < text.size(); ++at)
        if (!continuesCharacter(text[at]) && kept++ == width - 1) break;
    return text.substr(0, at) + "…";
}

// The largest groups, a line each: count, place, the first finding's text; then how many
// groups and findings are not shown.
std::string groupLines(const std::vector<FindingGroup>& groups, const GroupView& view) {
    if (groups.empty()) return {};
    const std::size_t shown = std::min(view.most, groups.size());
    const std::size_t countWidth = germanCount(groups.front().count).size();
    std::string s = "  Häufigste Meldungen\n";
    for (std::size_t i = 0; i < shown; ++i) {
        const FindingGroup& g = groups[i];
        const std::string count = germanCount(g.count);
        std::string line = "    " + std::string(countWidth - count.size(), ' ') + count + " × " +
                           groupPlace(g) + ": " + ansiToUtf8(logLineMessage(g.example));
        s += cutToWidth(line, view.width) + "\n";
    }
    if (shown < groups.size()) {
        std::uint64_t rest = 0;
        for (std::size_t i = shown; i < groups.size(); ++i)
            rest += groups[i].count;
        const std::size_t more = groups.size() - shown;
        s += "    … und " + germanCount(more) +
             (more == 1 ? " weitere Gruppe mit " : " weitere Gruppen mit ") + germanCount(rest) +
             (rest == 1 ? " Meldung" : " Meldungen") + " (alle: --alle-gruppen)\n";
    }
    return s;
}

} // namespace

std::string fileSummary(const FileResult& r, const GroupView& groups) {
    std::string s = r.file + "\n";
    if (r.outcome != Outcome::Missing) {
        s += row("Version", versionName(r.version));
        s += row("Sätze gelesen", germanCount(r.records));
        s += row("Meldungen", germanCount(r.messages));
        s += row("davon Fehler", germanCount(r.errors));
        s += groupLines(r.groups, groups);
        s += row("Dauer", germanDecimal(r.seconds, 2) + " s");
        const double mbps = r.seconds > 0 ? static_cast<double>(r.bytes) / 1e6 / r.seconds : 0.0;
        s += row("Durchsatz", germanDecimal(mbps) + " MB/s (" +
                                  germanDecimal(static_cast<double>(r.bytes) / 1e6) + " MB)");
        if (!r.logPath.empty()) s += row("Protokoll", r.logPath);
    }
    s += row("Ergebnis", resultText(r));
    return s;
}

std::string shortSummary(const FileResult& r) {
    std::string s = r.file + ": " + resultText(r);
    if (r.outcome == Outcome::Complete || r.outcome == Outcome::Aborted)
        s += " (" + germanCount(r.records) + (r.records == 1 ? " Satz, " : " Sätze, ") +
             germanCount(r.errors) + " Fehler)";
    return s + "\n";
}

std::string totalSummary(const std::vector<FileResult>& results) {
    std::size_t fine = 0, faulty = 0, unchecked = 0;
    for (const FileResult& r : results) {
        const int code = r.exitCode();
        if (code == 0)
            ++fine;
        else if (code == 1)
            ++faulty;
        else
            ++unchecked;
    }
    return "Gesamt: " + germanCount(results.size()) + " Dateien, " + germanCount(fine) + " in Ordnung, " +
           germanCount(faulty) + " mit Fehlern, " + germanCount(unchecked) + " nicht geprüft\n";
}

} // namespace arti::cli
