#include "cli/Summary.h"

#include <cmath>
#include <cstdio>

namespace arti::cli {

namespace {

std::string row(const char* label, const std::string& value) {
    std::string line = "  ";
    line += label;
    // Labels are padded to 18 characters; umlauts take two bytes in UTF-8 but one place.
    std::size_t shown = 0;
    for (const char* p = label; *p; ++p)
        if ((static_cast<unsigned char>(*p) & 0xC0) != 0x80) ++shown;
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

std::string versionText(const std::string& shown) {
    if (shown == "0590") return "05/90";
    if (shown == "0196") return "01/96";
    if (shown.compare(0, 4, "2000") == 0) return "2000";
    if (shown == "????") return "unbekannt";
    return shown.empty() ? "-" : shown;
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

std::string fileSummary(const FileResult& r) {
    std::string s = r.file + "\n";
    if (r.outcome != Outcome::Missing) {
        s += row("Version", versionText(r.version));
        s += row("Sätze gelesen", germanCount(r.records));
        s += row("Meldungen", germanCount(r.messages));
        s += row("davon Fehler", germanCount(r.errors));
        s += row("Dauer", germanDecimal(r.seconds, 2) + " s");
        const double mbps = r.seconds > 0 ? static_cast<double>(r.bytes) / 1e6 / r.seconds : 0.0;
        s += row("Durchsatz", germanDecimal(mbps) + " MB/s (" + germanDecimal(static_cast<double>(r.bytes) / 1e6) +
                                  " MB)");
        if (!r.logPath.empty()) s += row("Protokoll", r.logPath);
    }
    s += row("Ergebnis", resultText(r));
    return s;
}

std::string shortSummary(const FileResult& r) {
    std::string s = r.file + ": " + resultText(r);
    if (r.outcome == Outcome::Complete || r.outcome == Outcome::Aborted)
        s += " (" + germanCount(r.records) + (r.records == 1 ? " Satz, " : " Sätze, ") + germanCount(r.errors) +
             " Fehler)";
    return s + "\n";
}

std::string totalSummary(const std::vector<FileResult>& results) {
    std::size_t fine = 0, faulty = 0, unchecked = 0;
    for (const FileResult& r : results) {
        const int code = r.exitCode();
        if (code == 0) ++fine;
        else if (code == 1) ++faulty;
        else ++unchecked;
    }
    return "Gesamt: " + germanCount(results.size()) + " Dateien, " + germanCount(fine) + " in Ordnung, " +
           germanCount(faulty) + " mit Fehlern, " + germanCount(unchecked) + " nicht geprüft\n";
}

} // namespace arti::cli
