#include "records/DosError.h"

#include "core/Text.h"
#include "platform/SystemFile.h"

#include <array>

namespace arti {

namespace {

// Texts of the codes 0..39 (UTF-8 source); code 37 has none and takes the fallback.
constexpr std::array<const char*, 40> kCodeTexts = {
    "Der Vorgang wurde erfolgreich beendet",
    "Unzulässige Funktion",
    "Die angegebene Datei wurde nicht gefunden",
    "Der Pfad wurde nicht gefunden",
    "Die Datei kann nicht geöffnet werden",
    "Der Zugriff auf die Datei wurde verweigert",
    "unzulässiges Handle",
    "die Speichersteuerblöcke wurden zerstört",
    "Für diesen Befehl ist nicht genügend Speicher verfügbar",
    "die Adresse des Speichersteuerblocks ist unzulässig",
    "die Umgebung (Environment) stimmt nicht",
    "ungültiges Dateiformat",
    "ungültiger Zugriffscode",
    "ungültige Daten",
    "Für diesen Vorgang ist nicht genügend Speicher verfügbar",
    "Das angegebene Laufwerk wurde nicht gefunden",
    "Das angegebene Verzeichnis(Pfad) kann nicht entfernt werden",
    "Die Datei kann nicht auf ein anderes Laufwerk verschoben werden",
    "Es sind keine weiteren Dateien vorhanden",
    "Das Medium ist schreibgeschützt",
    "Das angegebene Medium kann nicht gefunden werden",
    "Das Medium ist nicht bereit",
    "Das Medium erkennt den Befehl nicht",
    "Datenfehler (CRC-Prüfung)",
    "Befehls-/Strukturlänge ist falsch",
    "Das Laufwerk kann einen bestimmten Bereich oder eine bestimmte Spur nicht adressieren",
    "Das Medium ist kein Windows(DOS)-Laufwerk",
    "Das Laufwerk kann den angeforderten Sektor nicht finden",
    "Der Drucker hat kein Papier mehr",
    "Schreibfehler auf dem angegebenen Medium",
    "Lesefehler auf dem angegebenen Medium",
    "Das angeschlossene Gerät funktioniert nicht",
    "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird",
    "Der Prozess kann nicht auf die Datei zugreifen, da ein anderer Prozess einen Teil der Datei gesperrt "
    "hat",
    "Falsches Laufwerk",
    "FCB (File Control Block) nicht verfügbar",
    "zu viele Dateien zur gemeinsamen Verwendung geöffnet",
    nullptr,
    "Ende Der DATEI (EOF) erreicht",
    "Der Datenträger ist voll",
};

// The system's text for a code outside the table.
std::string systemText(int code) {
    return utf8ToAnsi(platform::systemErrorText(code));
}

} // namespace

int dosErrorFromErrno(int err) {
    return platform::dosErrorFromErrno(err);
}

std::string dosErrorText(int code) {
    if (code >= 0 && static_cast<std::size_t>(code) < kCodeTexts.size() &&
        kCodeTexts[static_cast<std::size_t>(code)])
        return utf8ToAnsi(kCodeTexts[static_cast<std::size_t>(code)]);
    return systemText(code) + "\r\nDOS Fehler " + padLeft(plainNumber(code), 3);
}

std::string dosErrorMessage(int code, const std::string& fileName, const std::string& title) {
    std::string msg;
    if (!title.empty()) msg += title + "\r\n";
    if (!fileName.empty()) msg += fileName + "\r\n";
    return msg + dosErrorText(code);
}

void DOS_ERRORBOX(Owner owner, int code, const std::string& fileName, const std::string& title) {
    box().error(owner, kFileErrorCaption, dosErrorMessage(code, fileName, title));
}

} // namespace arti
