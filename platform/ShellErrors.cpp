#include "platform/ShellErrors.h"

#include "core/Text.h"

namespace arti {

using namespace arti::literals;

const char* shellErrorText(long result) {
    switch (result) {
    case 0:
        return "Zuwenig Speicher, ausführbare Datei war zerstört, Relokationswerte waren ungültig.";
    case 2:
        return "Datei wurde nicht gefunden.";
    case 3:
        return "Verzeichnis wurde nicht gefunden.";
    case 5:
        return "Fehler beim gemeinsamen Zugriff auf eine Datei im Netz oder Fehler beim Zugriff auf eine "
               "gesperrte Datei im Netz.";
    case 6:
        return "Bibliothek forderte separate Datensegmente für jeden Task an.";
    case 8:
        return "Zuwenig Speicher, um die Anwendung zu starten.";
    case 10:
        return "Falsche Windows-Version.";
    case 11:
        return "Ungültige ausführbare Datei. Entweder keine Windows-Anwendung oder Fehler in der EXE-Datei.";
    case 12:
        return "Anwendung ist für ein anderes Betriebssystem.";
    case 13:
        return "Anwendung für MS-DOS 4.0.";
    case 14:
        return "Typ der ausführbaren Datei unbekannt.";
    case 15:
        return "Versuch, eine Real-Mode-Anwendung (für eine frühere Windows-Version) zu laden.";
    case 16:
        return "Versuch, eine zweite Instanz einer ausführbaren Datei mit mehreren Datensegmenten, die nicht "
               "als "
               "nur lesbar gekennzeichnet waren, zu laden.";
    case 19:
        return "Versuch, eine komprimierte ausführbare Datei zu laden. Die Datei muss dekomprimiert werden, "
               "bevor "
               "sie geladen werden kann.";
    case 20:
        return "Ungültige dynamische Linkbibliothek (DLL). Eine der DLLs, die benötigt wurde, um die "
               "Anwendung "
               "auszuführen, war beschädigt.";
    case 26:
        return "Eine Zugiffs-Schutzverletzung ist aufgetreten.";
    case 27:
        return "Der Datei-/Pfadname ist nicht komplett oder unzulässig.";
    case 28:
        return "Die DDE-Transaktion konnte wegen Zeitüberschreitung nicht ausgeführt werden.";
    case 29:
        return "Die DDE-Transaktion wurde fehlerhaft ausgeführt.";
    case 30:
        return "Die DDE-Transaktion konnte nicht gestartet werden, weil gerade andere DDE-Transaktionen "
               "ausgeführt werden.";
    case 31:
        return "Keine Anwendung bezüglich der gegebenen Dateinamen-Erweiterung.";
    case 32:
        return "Nur Windows 95: Die spezifizierte Dynamic-Link Library wurde nicht gefunden.";
    default:
        return nullptr;
    }
}

void SHELLEXECUTEERRMESSAGE(Owner owner, long result, const std::string& fileName) {
    if (result > 32) return;
    const char* known = shellErrorText(result);
    const std::string reason =
        known ? utf8ToAnsi(known)
              : "Ein unbekannter Fehler ist aufgetreten. (Fehlercode:" + plainNumber(result) + ")";
    box().error(owner, "Fehler bei Ausführung einer Datei"_ansi,
                "Dateiname: \r\n" + fileName + "\r\n" + reason);
}

} // namespace arti
