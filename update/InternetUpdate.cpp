#include "update/InternetUpdate.h"

#include "core/AppState.h"
#include "core/Dates.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "records/DosError.h"
#include "rules/SharedRules.h"
#include "settings/IniFile.h"
#include "settings/Probes.h"
#include "settings/Registry.h"
#include "update/BodyFile.h"
#include "update/Signature.h"
#include "update/SignedRelease.h"
#include "update/WinHttp.h"
#include "views/Windows.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace arti {

using namespace arti::literals;

namespace {

namespace fs = std::filesystem;

const std::string kWaitText = "Internetverbindung\r\nPrüfung auf Updates"_ansi;
const std::string kCheckText = "Internetverbindung\r\nPrüfung auf Updates\r\nDie Datei wird geprüft"_ansi;
const std::string kSwitchOff =
    "Dieser Prüf-Vorgang kann im Dialog 'Internet-Update-Parameter' ausgeschaltet, oder auf einen anderen "
    "Zeitrahmen gesetzt werden."_ansi;

bool endsWithNoCase(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() &&
           equalsNoCase(std::string_view(text).substr(text.size() - tail.size()), tail);
}

std::string readWhole(const std::string& path) {
    std::ifstream in(systemPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes under a passing name first: the file has its own name only when it is whole.
bool writeWhole(const std::string& path, const std::string& bytes) {
    const std::string part = systemPath(path) + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(part, systemPath(path), ec);
    if (ec) fs::remove(part, ec);
    return !ec;
}

std::string setting(Owner owner, const char* name) {
    return trim(GETREG_EINZELWERT(owner, "HKCU", "", name, false));
}

// A value of the user's, else the machine's.
std::string userOrMachine(Owner owner, const char* name) {
    const std::string user = setting(owner, name);
    return user.empty() ? trim(GETREG_EINZELWERT(owner, "HKLM", "", name, false)) : user;
}

// The client as the download uses it: certificates always checked, the company's
// authority file and the proxy when they are configured.
void configure(Owner owner, WINHTTP& client) {
    const std::string timeout = setting(owner, "TimeOut");
    client.USERNAME("");
    client.PASSWORD("");
    client.IGNORECERT(false);
    client.HEADER("UserAgent: QZProgramm\r\n");
    client.TIMEOUT(
        static_cast<std::uint32_t>(std::clamp<long long>(timeout.empty() ? 20 : toNumber(timeout), 0, 3600)));
    client.USESSL(true);
    client.CAFILE(userOrMachine(owner, "CAFile"));
    const std::string proxy = setting(owner, "Proxy");
    if (!proxy.empty() && startsWith(upper(setting(owner, "ProxyOK")), "TRUE"))
        client.PROXY(proxy, setting(owner, "ProxyName"), setting(owner, "ProxyPW"));
}

std::string progressText(std::uint64_t received, std::uint64_t total) {
    std::string text = kWaitText + "\r\n" + groupedNumber(static_cast<long long>(received / 1024));
    if (total > 0) text += " von " + groupedNumber(static_cast<long long>(total / 1024));
    return text + " KB";
}

// Whether the body holds the word (given in lower case) in any case. A large body is
// searched slice by slice, and the window messages are let through in between: the wait
// window stays drawn while an installer is looked through.
bool bodyContains(std::string_view body, std::string_view lowerWord) {
    constexpr std::size_t kSlice = 4u << 20;
    for (std::size_t at = 0; at < body.size(); at += kSlice) {
        if (at > 0) windowServices().processMessages();
        const std::size_t from = at < lowerWord.size() ? 0 : at - (lowerWord.size() - 1);
        if (containsLowered(body.substr(from, at + kSlice - from), lowerWord)) return true;
    }
    return false;
}

// A file's bytes, mapped read-only.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat st {};
        if (::fstat(fd, &st) == 0) {
            size_ = static_cast<std::size_t>(st.st_size);
            ok_ = true;
            if (size_ > 0) {
                void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
                if (p == MAP_FAILED)
                    ok_ = false;
                else
                    data_ = p;
            }
        }
        ::close(fd);
    }
    ~MappedFile() {
        if (data_) ::munmap(data_, size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool ok() const { return ok_; }
    std::string_view view() const {
        return data_ ? std::string_view(static_cast<const char*>(data_), size_) : std::string_view();
    }

private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
    bool ok_ = false;
};

// Fetches the signature that the site keeps beside the installer and checks the body
// with the site's public key, and that the signature vouches for this installer of the
// announced date; tells the user why it refuses.
bool signatureValid(Owner owner, WINHTTP& client, const std::string& host, const std::string& path,
                    const std::string& fileName, std::string_view body, const StreamHash::Digest& hash,
                    const AnnouncedRelease& announced) {
    const std::string signature = client.GETURL(host, path + ".minisig", 0);
    const std::string status = splitLines(client.RESPONSEHEADER(), "\r\n").front();
    const std::string key = readWhole(updateKeyFile());
    std::string comment;
    const SignatureResult r = status.find(" 200") != std::string::npos
                                  ? verifyMinisign(body, signature, key, &hash, &comment)
                                  : SignatureResult::Malformed;
    std::string reason;
    switch (r) {
    case SignatureResult::Valid: {
        const SignedRelease release = signedRelease(comment);
        const ReleaseFault fault =
            releaseFault(release, fileName, announced.date, versionNumber(appState().programVersion));
        if (fault == ReleaseFault::None) return true;
        reason = releaseRefusal(fault, release, announced.date, appState().programVersion);
        break;
    }
    case SignatureResult::NoKey:
        reason = "Der öffentliche Schlüssel des Update-Servers fehlt oder ist ungültig:\r\n"_ansi +
                 updateKeyFile();
        break;
    case SignatureResult::Malformed:
        reason = "Der Update-Server liefert keine Signatur ("_ansi + fileName + ".minisig).";
        break;
    case SignatureResult::AlteredComment:
        reason = "Der vertrauenswürdige Kommentar der Signatur wurde verändert."_ansi;
        break;
    default:
        reason = "Die Signatur passt nicht zur Datei oder stammt nicht vom Update-Server.";
        break;
    }
    box().error(owner, "Signaturprüfung"_ansi,
                "Die Datei\r\n" + fileName +
                    "\r\nist nicht gültig signiert und wird nicht gestartet.\r\n"_ansi + reason);
    return false;
}

constexpr std::string_view kDownloadPrefix = "artiscope-update-";

// The temporary folder the download folders are made in.
std::string downloadBase() {
    const std::string& base = appState().tempFolder;
    return systemPath(base.empty() ? platform::userTempFolder() + "/" : base);
}

} // namespace

DownloadFolder::DownloadFolder() {
    std::string pattern = downloadBase() + std::string(kDownloadPrefix) + "XXXXXX";
    // mkdtemp makes the folder readable and writable by the user alone.
    if (mkdtemp(pattern.data())) path_ = pattern + "/";
}

DownloadFolder::~DownloadFolder() {
    if (keep_ || path_.empty()) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void DownloadFolder::removeLeftOver() {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(downloadBase(), ec)) {
        std::error_code each;
        // A link is never followed: only folders this program made are emptied.
        if (e.is_symlink(each) || !e.is_directory(each) ||
            !startsWith(e.path().filename().string(), kDownloadPrefix))
            continue;
        fs::remove_all(e.path(), each);
    }
}

UpdateAddress splitUpdateAddress(const std::string& url) {
    std::string rest = url;
    for (const std::string_view scheme : {"http://", "https://"}) {
        for (std::size_t at; (at = lower(rest).find(scheme)) != std::string::npos;)
            rest.erase(at, scheme.size());
    }
    const std::size_t slash = rest.find('/');
    if (slash == std::string::npos) return {};
    UpdateAddress a{rest.substr(0, slash), rest.substr(slash)};
    if (a.path.back() != '/') a.path += '/';
    return a;
}

bool PAGETEST(Owner owner, std::string_view body, const std::string& fileName) {
    if (body.empty()) {
        box().info(owner, "Download-PageTest",
                   "Kein Internetzugriff, oder die herunter geladene Datei " + fileName +
                       " ist leer oder nicht vorhanden.");
        return false;
    }
    if (!bodyContains(body, "<!doctype html")) return true;
    static const std::pair<const char*, const char*> kPages[] = {
        {"error 401", " kann nur mit Benutzername und Passwort herunter geladen werden."},
        {"error 404", " konnte nicht im angegebenen Pfad gefunden werden."},
        {"error 500", " wurde nicht herunter geladen. Unbekannter Server-Fehler."},
    };
    for (const auto& [code, text] : kPages) {
        if (!bodyContains(body, code)) continue;
        box().info(owner, "Fehler beim Setup-Download", "Die Datei " + fileName + text);
        return false;
    }
    return true;
}

bool RESPONSETEST(Owner owner, const std::string& header, std::string_view body,
                  const std::string& fileName) {
    if (header.empty()) {
        box().info(owner, "Download-ResponseTest",
                   "Kein Internetzugriff, oder die herunter geladene Datei " + fileName +
                       " ist leer oder nicht vorhanden.");
        return false;
    }
    std::vector<std::string> lines = splitLines(header, "\r");
    for (std::string& line : lines)
        std::erase(line, '\n');
    if (lines.empty()) return false;
    // The status code decides, not the reason phrase (a server may send none).
    const std::vector<std::string> status = splitLines(trim(lines.front()), " ");
    if (status.size() >= 2 && startsWith(status[0], "HTTP/") && status[1] == "200") {
        for (const std::string& line : lines) {
            if (!startsWith(line, "Content-Length:")) continue;
            const std::string value =
                line.substr(line.find(' ') == std::string::npos ? line.size() : line.find(' ') + 1);
            if (static_cast<long long>(body.size()) == toNumber(value)) break;
            std::string joined;
            for (const std::string& l : lines)
                joined += (joined.empty() ? "" : "\r\n") + l;
            box().info(owner, "ResponseTest- Fehler ",
                       "Die Länge der Datei "_ansi + plainNumber(static_cast<long long>(body.size())) +
                           " entspricht nicht dem Datei-Header "_ansi + value +
                           "!\r\nFerhlerhafter Download!\r\n\r\n" + joined);
            return false;
        }
        return true;
    }
    const std::string name = fs::path(fileName).filename().string();
    box().info(owner, "ResponseTest-Meldung",
               name + "\r\nDie Datei konnte nicht gefunden, bzw. geladen werden\r\n>" +
                   upper(lines.front().substr(0, 50)) + "<");
    return false;
}

bool DOWNLOAD_DATEI(Owner owner, const std::string& host, const std::string& path, const std::string& folder,
                    const std::string& fileName, const AnnouncedRelease* installer) {
    std::unique_ptr<IWaitBox> wait = secondaryWindows().waitBox(owner, kWaitText);
    windowServices().processMessages();

    WINHTTP client;
    configure(owner, client);
    client.PROGRESS([&wait](std::uint64_t received, std::uint64_t total) {
        wait->SETTEXT(progressText(received, total));
        windowServices().processMessages();
    });
    // The body is written and hashed while it arrives, under a passing name; the tests
    // read it from there. The file gets its own name only when every test has passed.
    const std::string target = systemPath(folder + fileName);
    const std::string part = target + ".part";
    BodyFile out(part, [] { windowServices().processMessages(); });
    client.BODYSINK([&out](std::string_view piece) { out.add(piece); }, false);
    client.GETURL(lower(host), lower(path), 0);
    client.BODYSINK(nullptr);
    const bool written = out.finish();
    if (!written)
        DOS_ERRORBOX(owner, dosErrorFromErrno(out.error()), folder + fileName,
                     "Die herunter geladene Datei konnte nicht gespeichert werden.");
    // From here the file is checked; fetching its signature keeps this text.
    wait->SETTEXT(kCheckText);
    client.PROGRESS([](std::uint64_t, std::uint64_t) { windowServices().processMessages(); });
    windowServices().processMessages();
    const std::string header = client.RESPONSEHEADER();
    const std::string responseFile = folder + "Response.txt";
    writeWhole(responseFile, header);

    const MappedFile body(part);
    // Whether a box has already told the user why the file is not kept: no answer, an
    // error page, a refused signature, a failed write. Only a difference in length, an
    // answer other than "200" or an address without host leave the cause to the last box.
    bool causeShown = !written;
    bool ok = written && body.ok();
    if (ok && !PAGETEST(owner, body.view(), fileName)) {
        ok = false;
        causeShown = true;
    }
    if (ok && !RESPONSETEST(owner, header, body.view(), fileName)) {
        ok = false;
        causeShown = header.empty(); // the no-answer box
    }
    windowServices().processMessages();
    if (ok && installer) {
        ok = signatureValid(owner, client, lower(host), lower(path), fileName, body.view(), out.digest(),
                            *installer);
        causeShown = !ok;
    }
    std::error_code ec;
    if (ok) fs::rename(part, target, ec);
    if (!ok || ec) {
        ok = false;
        fs::remove(part, ec);
    }
    if (!ok && (!causeShown || host.empty()))
        box().info(
            owner, "ResponseHeader",
            "Die herunter zu ladene Datei\r\n" + fileName +
                "\r\nwurde nicht gespeichert.\r\nEs besteht eine differente Länge zum ResponseHeader oder "
                "ein falscher Eintrag der Downloadparameter."_ansi);
    client.CLEANUP();
    fs::remove(systemPath(responseFile), ec);
    wait->ENDDIALOG();
    return ok;
}

namespace {

struct UpdateParameters {
    std::string url, versionFile, setupFile, updateFile;
};

// The faults of the update parameters, one line each; empty when there is none.
std::string parameterFaults(const UpdateParameters& p) {
    std::string faults;
    if (p.url.empty() || upper(p.url).find("WWW.") == std::string::npos)
        faults += "es wurde keine gültige URL(Internetadresse) aus der Registry gelesen.\r\n"_ansi;
    if (p.versionFile.empty() || upper(p.versionFile).find("VERSION") == std::string::npos ||
        !endsWithNoCase(p.versionFile, ".TXT"))
        faults += "es wurde kein gültiger Versions-Datei-Name aus der Registry gelesen.\r\n"_ansi;
    if (p.setupFile.empty() || !endsWithNoCase(p.setupFile, ".EXE"))
        faults += "es wurde kein gültiger Setup-Datei-Name aus der Registry gelesen.\r\n"_ansi;
    return faults;
}

// What the version file offers: a full setup or an update newer than the program.
struct Offer {
    std::string kind;      // "Setup" or "Update"; empty: the program is up to date
    std::string installer; // file name on the site
    std::string date;      // dd.mm.yyyy
    std::string text;
    AnnouncedRelease announced; // the date its installer's signature must name
};

// A version date as sortable yyyymmdd digits; a text that is no date counts as no
// version at all, so a damaged version file never offers an installer.
std::string versionDigits(const std::string& text) {
    const StrDate d = STRDATE2DATE(trim(text));
    return d.date ? d.digits : std::string();
}

Offer decide(const INIFILE& versions, const UpdateParameters& p) {
    const std::string s = versionDigits(versions.GETSTRING("VERSION", "SETUP"));
    const std::string u = versionDigits(versions.GETSTRING("VERSION", "UPDATE"));
    const std::string prog = versionDigits(appState().programVersion);
    const auto shown = [](const std::string& digits) { return STRDATE2TEXT(digits, true); };
    if (s > prog && s >= u)
        return {"Setup",
                p.setupFile,
                shown(s),
                "Es liegt ein neues ARTISCOPE-Programm-Setup vom " + shown(s) +
                    " vor.\r\nEs werden die Programme und die Verzeichnisse upgedatet (bestehende Daten "
                    "werden nicht "
                    "überschrieben)."_ansi,
                {versionNumber(s)}};
    if (u > prog && u >= s)
        return {"Update",
                p.updateFile,
                shown(u),
                "Es liegt ein neues ARTISCOPE-Programm-Update vom " + shown(u) +
                    " vor.\r\nEs werden nur die Programme upgedatet, keine Daten.",
                {versionNumber(u)}};
    return {};
}

// Downloads, checks and starts the installer of the offer; true when it was started.
bool install(Owner owner, const Offer& offer, const UpdateAddress& site, DownloadFolder& folder,
             const OpenDocument& open) {
    if (trim(offer.installer).empty()) {
        box().info(owner, "Fehler Internet-Parameter",
                   "es wurde kein Update-Datei-Name aus der Registry gelesen.\r\n");
        return false;
    }
    if (!DOWNLOAD_DATEI(owner, site.host, site.path + lower(offer.installer), folder.path(), offer.installer,
                        &offer.announced))
        return false;
    const std::string local = folder.path() + offer.installer;
    std::error_code ec;
    if (fs::file_size(systemPath(local), ec) == 0 || ec) return false;
    box().info(owner, "Internet-Update",
               "Das Programm wird jetzt beendet.\r\nStarten Sie es nach dem " + offer.kind + " erneut.");
    if (open(local) <= 32) {
        box().info(owner, "Internet-Update",
                   "Das Programm-" + offer.kind + " konnte nicht gestartet werden !");
        return false;
    }
    folder.keep();
    appState().closeWithoutAsking = true;
    return true;
}

} // namespace

bool INTERNETUPDATE(Owner owner, const std::string&, bool, const OpenDocument& open) {
    ValueList list = makeValueList({{"URLMerix", 150},
                                    {"Proxy", 30},
                                    {"ProxyName", 20},
                                    {"ProxyPW", 15},
                                    {"DateiVersion", 35},
                                    {"DateiEXE", 35},
                                    {"UpdateEXE", 35}});
    GETREGISTRY(owner, "", list);
    const UpdateParameters p{trim(valueOf(list, "URLMerix")), trim(valueOf(list, "DateiVersion")),
                             trim(valueOf(list, "DateiEXE")), trim(valueOf(list, "UpdateEXE"))};
    if (const std::string faults = parameterFaults(p); !faults.empty()) {
        box().info(owner, "Fehler Internet-Parameter", faults);
        return false;
    }
    SAVEREG_EINZELWERT(owner, "HKCU", "", "UpdateDatum", formatDate(clock().today()));

    const UpdateAddress site = splitUpdateAddress(p.url);
    DownloadFolder folder;
    if (!folder.ok()) {
        box().error(owner, "Internet-Update",
                    "Im temporären Ordner konnte kein Download-Ordner angelegt werden."_ansi);
        return false;
    }
    if (!DOWNLOAD_DATEI(owner, site.host, site.path + lower(p.versionFile), folder.path(), p.versionFile))
        return false;
    const std::string versionPath = folder.path() + p.versionFile;
    if (!containsLowered(readWhole(versionPath), "version")) return false;
    const Offer offer = decide(INIFILE(versionPath), p);
    if (offer.kind.empty()) {
        box().info(owner, "Internet-Update",
                   "Die ARTISCOPE-Programm-Version " + appState().programVersion + " ist aktuell.\r\n" +
                       kSwitchOff);
        return false;
    }
    const std::string question =
        offer.text +
        "\r\n\r\nMöglicherweise können Sie den Vorgang nicht selbst ausführen. Kontaktieren "
        "Sie Ihren Administrator.\r\n\r\nMöchten Sie den "_ansi +
        offer.kind + "-Vorgang jetzt starten ?";
    if (!box().askYesNo(owner, "Hinweis für ARTISCOPE"_ansi, question)) {
        box().info(owner, "Internet-Update",
                   "Das Programm-" + offer.kind + " vom " + offer.date + " wurde nicht ausgeführt.\r\n\r\n" +
                       kSwitchOff);
        return false;
    }
    return install(owner, offer, site, folder, open);
}

bool AUTOMATICUPDATE(Owner owner, const OpenDocument& open) {
    // Slots wide enough for every value these settings take ("FALSE" among them).
    ValueList list =
        makeValueList({{"Setup", 32}, {"PRGUpdate", 16}, {"UpdateDatum", 32}, {"Intervall", 16}});
    GETREGISTRY(owner, "", list);
    const Date today = clock().today();
    const std::optional<Date> last = parseDate(trim(valueOf(list, "UpdateDatum")));
    const int days =
        static_cast<int>(std::clamp<long long>(toNumber(trim(valueOf(list, "Intervall"))), 0, 36500));
    // Not yet due: the date of the last check stays, so that the check comes every
    // "Intervall" days however often the program is started in between.
    if (last && addDays(*last, days) > today) return false;
    const std::string on = upper(trim(valueOf(list, "PRGUpdate")));
    if ((on.empty() || startsWith(on, "TRUE")) && INTERNETUPDATE(owner, appState().shortName, false, open))
        return true;
    SAVEREG_EINZELWERT(owner, "HKCU", "", "UpdateDatum", formatDate(today));
    return false;
}

} // namespace arti
