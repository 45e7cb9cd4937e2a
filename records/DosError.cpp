#include "records/DosError.h"

#include "core/Text.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

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

// errno -> Windows error code. Codes above 39 are Windows codes of the same meaning
// (80 file exists, 87 invalid parameter, 109 broken pipe, 145 directory not empty,
// 206 name too long, 223 file too large, 487 invalid address, 1921 unresolvable link);
// for those the box shows the system's own text of the errno below.
constexpr std::array<std::pair<int, int>, 30> kErrnoToDos = {{
    {ENOENT, 2},  {ENOTDIR, 3},     {EMFILE, 4},         {ENFILE, 4},   {EACCES, 5},   {EPERM, 5},
    {EISDIR, 5},  {EBADF, 6},       {ENOMEM, 8},         {EROFS, 19},   {ENODEV, 20},  {ENXIO, 21},
    {ESPIPE, 25}, {EIO, 30},        {EBUSY, 32},         {ETXTBSY, 32}, {EAGAIN, 33},  {ENOLCK, 33},
    {ENOSPC, 39}, {EDQUOT, 39},     {EXDEV, 17},         {ENOSYS, 1},   {EEXIST, 80},  {EINVAL, 87},
    {EPIPE, 109}, {ENOTEMPTY, 145}, {ENAMETOOLONG, 206}, {EFBIG, 223},  {EFAULT, 487}, {ELOOP, 1921},
}};

constexpr int kGeneralFailure = 31;

// The system's text for a code outside the table: the text of the errno that produces
// the code, else the text the C library has for the number itself.
std::string systemText(int code) {
    int err = code;
    for (const auto& [e, dos] : kErrnoToDos) {
        if (dos == code && dos > 39) {
            err = e;
            break;
        }
    }
    return utf8ToAnsi(std::strerror(err));
}

} // namespace

int dosErrorFromErrno(int err) {
    if (err == 0) return 0;
    for (const auto& [e, dos] : kErrnoToDos)
        if (e == err) return dos;
    return kGeneralFailure;
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
