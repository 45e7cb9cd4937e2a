#include "run/OutcomeText.h"

#include "core/Text.h"

#include <string_view>

namespace arti {

using namespace arti::literals;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// A refusal as the instruction text shows it: one line, without the closing "Abbruch
// der Prüfung !" that the text before it already says.
std::string shownRefusal(const std::string& text) {
    static const std::string kAbort = "Abbruch der Prüfung !"_ansi;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, kCrLf.size(), kCrLf) == 0) {
            if (!out.empty() && out.back() != ' ') out += ' ';
            ++i;
        } else {
            out += text[i];
        }
    }
    if (out.ends_with(kAbort)) out.erase(out.size() - kAbort.size());
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace

std::string outcomeText(const CheckOutcome& o, const FileFindings& counted) {
    std::string text;
    switch (o.end) {
    case CheckEnd::None:
        return {};
    case CheckEnd::FileEnd:
        text = "Durchlauf beendet: das Datei-Ende wurde erreicht.";
        break;
    case CheckEnd::ByUser:
        text = "Durchlauf vom Benutzer abgebrochen.";
        break;
    case CheckEnd::Refused:
        text = o.fileRefused ? "Datei abgewiesen: "
               : o.run       ? "Durchlauf abgebrochen: "
                             : "Prüfung abgebrochen: "_ansi;
        text += shownRefusal(o.refusal);
        break;
    }
    if (o.run) {
        text += "\r\n" + groupedNumber(static_cast<long long>(counted.count())) +
                (counted.count() == 1 ? " Meldung" : " Meldungen") + ", davon " +
                groupedNumber(static_cast<long long>(counted.errors())) + " Fehler (siehe Protokoll).";
    }
    return text;
}

} // namespace arti
