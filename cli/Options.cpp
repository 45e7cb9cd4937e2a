#include "cli/Options.h"

#include <algorithm>
#include <functional>
#include <map>

namespace arti::cli {

namespace {

std::optional<bool> yesNo(const std::string& v) {
    std::string s = v;
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (s == "ja" || s == "j" || s == "yes" || s == "y") return true;
    if (s == "nein" || s == "n" || s == "no") return false;
    return std::nullopt;
}

bool code(const std::string& v, std::size_t maxLength) {
    return !v.empty() && v.size() <= maxLength &&
           std::all_of(v.begin(), v.end(), [](unsigned char c) { return c > 32 && c < 127; });
}

using ValueSetter = std::function<bool(const std::string&, CheckOptions&)>;
using FlagSetter = std::function<void(CheckOptions&)>;

bool setAnswer(bool Answers::*slot, const std::string& v, CheckOptions& o) {
    const auto b = yesNo(v);
    if (b) o.answers.*slot = *b;
    return b.has_value();
}

bool setDate(std::optional<Date> CheckOptions::*slot, const std::string& v, CheckOptions& o) {
    const auto d = parseDate(v);
    if (d) o.*slot = *d;
    return d.has_value();
}

// Options that take a value; each German name has an English twin.
const std::map<std::string, ValueSetter>& valueOptions() {
    static const std::map<std::string, ValueSetter> m = [] {
        std::map<std::string, ValueSetter> v;
        const auto both = [&v](std::initializer_list<const char*> names, const ValueSetter& s) {
            for (const char* n : names)
                v[n] = s;
        };
        both({"--protokoll-ordner", "--log-dir", "-o"}, [](const std::string& x, CheckOptions& o) {
            o.logFolder = x;
            return !x.empty();
        });
        both({"--daten-ordner", "--data-dir"}, [](const std::string& x, CheckOptions& o) {
            o.dataFolder = x;
            return !x.empty();
        });
        both({"--bericht", "--json"}, [](const std::string& x, CheckOptions& o) {
            o.report = x;
            return !x.empty();
        });
        both({"--waehrung", "--currency"}, [](const std::string& x, CheckOptions& o) {
            o.currency = x;
            return code(x, 3);
        });
        both({"--land", "--country"}, [](const std::string& x, CheckOptions& o) {
            o.country = x;
            return code(x, 10);
        });
        both({"--datum-von", "--date-from"},
             [](const std::string& x, CheckOptions& o) { return setDate(&CheckOptions::dateFrom, x, o); });
        both({"--datum-bis", "--date-to"},
             [](const std::string& x, CheckOptions& o) { return setDate(&CheckOptions::dateTo, x, o); });
        both({"--bei-laengenfehler-weiter", "--continue-on-length-fault"},
             [](const std::string& x, CheckOptions& o) {
                 return setAnswer(&Answers::continueAfterLengthFault, x, o);
             });
        both({"--alte-texte-loeschen", "--delete-old-texts"},
             [](const std::string& x, CheckOptions& o) { return setAnswer(&Answers::deleteOldTexts, x, o); });
        both({"--textspeicher-neu", "--remake-text-store"}, [](const std::string& x, CheckOptions& o) {
            return setAnswer(&Answers::remakeTextStore, x, o);
        });
        both({"--datum-anpassen", "--widen-date-window"}, [](const std::string& x, CheckOptions& o) {
            return setAnswer(&Answers::widenDateWindow, x, o);
        });
        both({"--waehrung-uebernehmen", "--adopt-currency"},
             [](const std::string& x, CheckOptions& o) { return setAnswer(&Answers::adoptCurrency, x, o); });
        return v;
    }();
    return m;
}

const std::map<std::string, FlagSetter>& flagOptions() {
    static const std::map<std::string, FlagSetter> m = {
        {"--ohne-feldpruefung", [](CheckOptions& o) { o.fieldChecks = false; }},
        {"--no-field-checks", [](CheckOptions& o) { o.fieldChecks = false; }},
        {"--ohne-zeichenpruefung", [](CheckOptions& o) { o.asciiCheckOff = true; }},
        {"--no-character-check", [](CheckOptions& o) { o.asciiCheckOff = true; }},
        {"--ohne-fortschritt", [](CheckOptions& o) { o.progress = false; }},
        {"--no-progress", [](CheckOptions& o) { o.progress = false; }},
        {"--meldungen", [](CheckOptions& o) { o.showBoxes = true; }},
        {"--show-boxes", [](CheckOptions& o) { o.showBoxes = true; }},
        {"--bericht-meldungen", [](CheckOptions& o) { o.reportFindings = true; }},
        {"--json-findings", [](CheckOptions& o) { o.reportFindings = true; }},
        {"--still", [](CheckOptions& o) { o.quiet = true; }},
        {"--alle-gruppen", [](CheckOptions& o) { o.allGroups = true; }},
        {"--quiet", [](CheckOptions& o) { o.quiet = true; }},
        {"-q", [](CheckOptions& o) { o.quiet = true; }},
        {"--hilfe", [](CheckOptions& o) { o.help = true; }},
        {"--help", [](CheckOptions& o) { o.help = true; }},
        {"-h", [](CheckOptions& o) { o.help = true; }},
        {"--version", [](CheckOptions& o) { o.version = true; }},
    };
    return m;
}

// One option at args[i] (with its value, as "--name=value" or as the next argument).
bool takeOption(const std::vector<std::string>& args, std::size_t& i, CheckOptions& out, std::string& error) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const auto eq = name.find('='); name.compare(0, 2, "--") == 0 && eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
    }
    if (const auto f = flagOptions().find(name); f != flagOptions().end() && !value) {
        f->second(out);
        return true;
    }
    const auto v = valueOptions().find(name);
    if (v == valueOptions().end()) {
        error = "Unbekannte Option " + name;
        return false;
    }
    if (!value) {
        if (i + 1 >= args.size()) {
            error = "Die Option " + name + " braucht einen Wert";
            return false;
        }
        value = args[++i];
    }
    if (!v->second(*value, out)) {
        error = "Ungültiger Wert für " + name + ": " + *value;
        return false;
    }
    return true;
}

} // namespace

bool parseOptions(const std::vector<std::string>& args, CheckOptions& out, std::string& error) {
    bool onlyFiles = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!onlyFiles && a == "--") {
            onlyFiles = true;
        } else if (!onlyFiles && a.size() > 1 && a[0] == '-') {
            if (!takeOption(args, i, out, error)) return false;
        } else {
            out.files.push_back(a);
        }
    }
    if (out.help || out.version) return true;
    if (out.dateFrom && out.dateTo && *out.dateTo < *out.dateFrom) {
        error = "Das Datum bis liegt vor dem Datum von";
        return false;
    }
    if (out.reportFindings && out.report.empty()) {
        error = "--bericht-meldungen braucht --bericht DATEI";
        return false;
    }
    if (out.files.empty()) {
        error = "Keine Datei angegeben";
        return false;
    }
    return true;
}

std::string helpText() {
    return R"(Aufruf: artiscope-check [Optionen] DATEI...

Prüft ELDANORM-Dateien der Versionen 05/90, 01/96 und 2000 mit derselben Prüfung wie
ARTISCOPE und schreibt das Fehlerprotokoll "Error.log". Bei mehreren Dateien erhält
jede Datei ihr eigenes Protokoll, benannt nach der Datei ("ARTIKEL.001.Error.log").

Ablage:
  -o, --protokoll-ordner ORDNER   Ordner der Protokolle (Vorgabe: aktueller Ordner)
      --daten-ordner ORDNER       Benutzer-Datenordner der Prüfung mit der
                                  Langtext-Tabelle VTEXT.DBF (Vorgabe: der
                                  Protokoll-Ordner)

Prüfparameter (Vorgabe: die Systemeinstellungen, sonst EUR, DE, heute -/+ 30 Tage):
      --waehrung CODE             Währung der Prüfung, z. B. EUR
      --land CODE                 zulässige Ländercodes, z. B. DE
      --datum-von TT.MM.JJJJ      untere Grenze des Datumsbereichs
      --datum-bis TT.MM.JJJJ      obere Grenze des Datumsbereichs
      --ohne-feldpruefung         Feld-Prüfung aus
      --ohne-zeichenpruefung      ASCII-Zeichenprüfung aus (Zeichen > Dez 127 erlaubt)

Antworten auf die Fragen der Prüfung (ja oder nein):
      --bei-laengenfehler-weiter  Prüfung trotz fehlerhafter Dateilänge fortsetzen (ja)
      --alte-texte-loeschen       gespeicherte Langtexte eines früheren Laufs löschen (ja)
      --textspeicher-neu          eine beschädigte Langtext-Tabelle VTEXT neu anlegen;
                                  ihre Texte gehen dabei verloren (nein)
      --datum-anpassen            Datumsbereich an ein Datum außerhalb anpassen (nein)
      --waehrung-uebernehmen      abweichende Währung für die Prüfung übernehmen (nein)

Ausgabe:
      --ohne-fortschritt          keine Fortschrittsanzeige (sonst im Terminal bei
                                  Dateien ab 4 MB)
      --meldungen                 Meldungsfenster der Prüfung auf der Fehlerausgabe zeigen
  -q, --still                     nur eine Ergebniszeile je Datei
      --alle-gruppen              in der Zusammenfassung alle Gruppen gleicher Meldungen
                                  zeigen (sonst die fünf häufigsten)
      --bericht DATEI             Bericht für Skripte: je Datei ein JSON-Objekt in einer
                                  Zeile (JSON Lines, UTF-8); "-" schreibt ihn auf die
                                  Standardausgabe anstelle der Zusammenfassung
      --bericht-meldungen         im Bericht vor jeder Datei auch jede Meldung als eine
                                  Zeile (Satz-Nummer, Datei-Offset, Satz-Offset, Text)
  -h, --hilfe                     diese Hilfe
      --version                   Programmversion

Rückgabewert:
  0  alle Dateien vollständig geprüft, keine Meldung zählt als Fehler
  1  mindestens eine Meldung zählt als Fehler, oder die Prüfung wurde wegen eines
     Fehlers der Datei abgebrochen (z. B. Satzfolge, Satzlänge, Satzart)
  2  eine Datei konnte nicht geprüft werden (nicht erkannt, abgewiesen, nicht lesbar,
     Protokoll nicht schreibbar, Abbruch mit Strg+C), ihre Langtexte konnten nicht
     gespeichert werden (Langtext-Tabelle VTEXT nicht anlegbar, beschädigt, belegt oder
     nicht schreibbar) oder falscher Aufruf

Als Fehler zählt jede Meldung, nach der die Datei das Format verletzt oder nicht ganz
geprüft werden konnte; Hinweise (Datei-Länge, Kopie des Vorlaufsatzes, Ende der Prüfung)
zählen als Meldung, aber nicht als Fehler.
Die Prüfung ändert die Datei nicht; eine schreibgeschützte Datei wird nur gelesen.
Die Optionen gibt es auch englisch: --log-dir, --data-dir, --currency, --country,
--date-from, --date-to, --no-field-checks, --no-character-check,
--continue-on-length-fault, --delete-old-texts, --remake-text-store, --widen-date-window,
--adopt-currency, --no-progress, --show-boxes, --quiet, --json, --json-findings, --help.

Alle Ausgaben im Terminal und der Bericht sind UTF-8. Das Protokoll "Error.log" ist
Windows-1252 (wie es andere Programme lesen); lesbar z. B. mit
  iconv -f WINDOWS-1252 -t UTF-8 Error.log
)";
}

} // namespace arti::cli
