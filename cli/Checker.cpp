#include "cli/Checker.h"

#include "cli/Report.h"
#include "cli/Summary.h"
#include "core/Services.h"
#include "core/Text.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"
#include "records/XBaseTable.h"
#include "settings/Registry.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace arti::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRegistryVariable = "ARTISCOPE_REGISTRY_DIR";

// A value of the settings store: the user's, else the machine's; empty when neither
// holds it. No boxes: a missing store is the normal case on the command line.
std::string stored(const char* name) {
    std::string v = trim(GETREG_EINZELWERT(nullptr, "HKCU", "", name, false));
    if (v.empty()) v = trim(GETREG_EINZELWERT(nullptr, "HKLM", "", name, false));
    return v;
}

std::string absoluteFolder(const std::string& folder) {
    const fs::path p = folder.empty() ? fs::current_path() : fs::absolute(platform::fsPath(folder));
    return platform::pathText(p.lexically_normal());
}

// Moves the engine's log to where the user wants it.
bool placeLog(const std::string& from, const std::string& to, std::string& error) {
    const fs::path source = platform::fsPath(from);
    const fs::path target = platform::fsPath(to);
    if (source.lexically_normal() == target.lexically_normal()) return true;
    std::error_code ec;
    fs::rename(source, target, ec);
    if (!ec) return true;
    // Another file system: copy, then remove the original.
    ec.clear();
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::remove(source, ec);
    if (!ec) return true;
    error = ec.message();
    return false;
}

// The files a check of one file writes: the engine's log and long-text store in the data
// folder, and the log where the user wants it.
std::vector<std::pair<std::string, const char*>> writtenFiles(const std::string& dataFolder,
                                                              const std::string& target) {
    const XBasePaths store = XBasePaths::longTextStore(dataFolder);
    return {{platform::pathText(platform::fsPath(dataFolder) / "Error.log"), "das Protokoll"},
            {store.table, "der Textspeicher"},
            {store.memo, "der Textspeicher"},
            {store.index, "der Textspeicher"},
            {target, "das Protokoll"}};
}

// The files of this call as the file system tells them apart, read once.
std::vector<std::pair<platform::FileIdentity, std::string>>
identities(const std::vector<std::string>& files) {
    std::vector<std::pair<platform::FileIdentity, std::string>> out;
    for (const std::string& f : files)
        if (const auto id = platform::fileIdentity(f)) out.emplace_back(*id, f);
    return out;
}

// Why the check of one file would overwrite a file of this call (itself or another,
// compared by device and inode, not by name); empty when it would not.
std::string overwriteClash(const std::vector<std::pair<std::string, const char*>>& written,
                           const std::vector<std::pair<platform::FileIdentity, std::string>>& files,
                           const char* role = "die zu prüfende Datei") {
    for (const auto& [path, what] : written) {
        const std::optional<platform::FileIdentity> id = platform::fileIdentity(path);
        if (!id) continue;
        for (const auto& [other, name] : files) {
            if (other != *id) continue;
            return std::string(what) + " " + path + " wäre " + role + " " + name +
                   "; nichts wurde geprüft oder überschrieben";
        }
    }
    return {};
}

bool prepareFolder(const std::string& folder, const char* what, std::ostream& err) {
    std::error_code ec;
    const fs::path path = platform::fsPath(folder);
    fs::create_directories(path, ec);
    if (!ec && fs::is_directory(path, ec)) return true;
    err << "artiscope-check: " << what << " " << folder << " kann nicht angelegt werden"
        << (ec ? ": " + ec.message() : std::string()) << "\n";
    return false;
}

// The report's stream: the standard output for "-", else `file` opened anew. Null, with
// the reason on `err`, when it cannot be opened or is one of the files to check.
std::ostream* openReport(const std::string& path,
                         const std::vector<std::pair<platform::FileIdentity, std::string>>& files,
                         std::ofstream& file, const Streams& s) {
    if (path == "-") return &s.out;
    if (const auto id = platform::fileIdentity(path)) {
        for (const auto& [other, name] : files) {
            if (other != *id) continue;
            s.err << "artiscope-check: der Bericht " << path << " wäre die zu prüfende Datei " << name
                  << "; nichts wurde geprüft oder überschrieben\n";
            return nullptr;
        }
    }
    file.open(platform::fsPath(path), std::ios::binary | std::ios::trunc);
    if (file) return &file;
    s.err << "artiscope-check: der Bericht " << path << " kann nicht angelegt werden\n";
    return nullptr;
}

} // namespace

CheckParameters resolveParameters(const CheckOptions& o) {
    CheckParameters p;
    const std::string currency = stored("Waehrung");
    const std::string country = stored("LCode");
    const long long decimals = toNumber(stored("NKS"));
    const std::optional<Date> from = parseDate(stored("UDatum"));
    const std::optional<Date> to = parseDate(stored("ODatum"));
    const Date today = clock().today();

    p.currency = o.currency ? utf8ToAnsi(*o.currency) : !currency.empty() ? currency : "EUR";
    p.country = o.country ? utf8ToAnsi(*o.country) : !country.empty() ? country : "DE";
    p.decimals = decimals > 0 ? static_cast<int>(decimals) : 2;
    p.dateFrom = o.dateFrom ? *o.dateFrom : from ? *from : addDays(today, -30);
    p.dateTo = o.dateTo ? *o.dateTo : to ? *to : addDays(today, 30);
    p.fieldChecks = o.fieldChecks;
    p.asciiCheckOff = o.asciiCheckOff;
    p.answers = o.answers;
    return p;
}

std::string logName(const std::string& file, std::size_t count, std::vector<std::string>& taken) {
    std::string name = "Error.log";
    if (count > 1) {
        const std::string base = platform::pathText(platform::fsPath(file).filename());
        name = base + ".Error.log";
        for (int n = 2; std::find(taken.begin(), taken.end(), name) != taken.end(); ++n)
            name = base + "." + std::to_string(n) + ".Error.log";
    }
    taken.push_back(name);
    return name;
}

RegistrySandbox::RegistrySandbox() : previous_(platform::environmentValue(kRegistryVariable)) {
    const std::string folder = platform::makePrivateFolder(platform::userTempFolder(), "artiscope-check-");
    if (folder.empty()) return;
    if (!platform::setEnvironmentValue(kRegistryVariable, folder)) {
        std::error_code ec;
        fs::remove_all(platform::fsPath(folder), ec);
        return;
    }
    folder_ = folder;
}

RegistrySandbox::~RegistrySandbox() {
    if (folder_.empty()) return;
    if (previous_)
        platform::setEnvironmentValue(kRegistryVariable, *previous_);
    else
        platform::unsetEnvironmentValue(kRegistryVariable);
    std::error_code ec;
    fs::remove_all(platform::fsPath(folder_), ec);
}

int runChecker(const CheckOptions& o, const Streams& s) {
    const CheckParameters params = resolveParameters(o);
    const std::string logFolder = absoluteFolder(o.logFolder);
    const std::string dataFolder = o.dataFolder.empty() ? logFolder : absoluteFolder(o.dataFolder);
    if (!prepareFolder(logFolder, "Der Protokoll-Ordner", s.err) ||
        !prepareFolder(dataFolder, "Der Daten-Ordner", s.err))
        return 2;
    RegistrySandbox sandbox;
    if (!sandbox.ok()) {
        s.err << "artiscope-check: kein temporärer Ordner für die Einstellungen der Prüfung\n";
        return 2;
    }
    RunEnvironment env{s.progress, o.showBoxes ? &s.err : nullptr};
    std::vector<FileResult> results;
    std::vector<std::string> taken;
    const auto inputs = identities(o.files);
    std::ofstream reportFile;
    std::optional<JsonReport> report;
    if (!o.report.empty()) {
        std::ostream* stream = openReport(o.report, inputs, reportFile, s);
        if (!stream) return 2;
        report.emplace(*stream, o.reportFindings);
    }
    // No log or long-text file may be written over the report.
    const auto reportId = o.report.empty() || o.report == "-" ? decltype(inputs){} : identities({o.report});
    // A report on the standard output takes the place of the summary.
    const bool summary = o.report != "-";
    int code = 0;
    for (const std::string& file : o.files) {
        if (interruptRequested()) break;
        const std::string target = platform::pathText(platform::fsPath(logFolder) /
                                                      platform::fsPath(logName(file, o.files.size(), taken)));
        FileResult r;
        r.file = file;
        const auto written = writtenFiles(dataFolder, target);
        r.reason = overwriteClash(written, inputs);
        if (r.reason.empty()) r.reason = overwriteClash(written, reportId, "der Bericht");
        env.findings = report ? report->findingsOf(file) : nullptr;
        if (!r.reason.empty())
            r.outcome = Outcome::NotRecognised;
        else
            r = checkFile(file, dataFolder, params, env);
        if (!r.logPath.empty() && fs::exists(platform::fsPath(r.logPath))) {
            std::string error;
            if (placeLog(r.logPath, target, error)) {
                r.logPath = target;
            } else if (r.outcome != Outcome::IoError) {
                r.outcome = Outcome::IoError;
                r.reason = "das Protokoll kann nicht nach " + target + " gebracht werden: " + error;
            }
        }
        if (report) report->fileDone(r);
        if (summary && o.quiet)
            s.out << validUtf8(shortSummary(r));
        else if (summary)
            s.out << (results.empty() ? "" : "\n")
                  << validUtf8(fileSummary(r, GroupView{o.allGroups ? r.groups.size() : 5, s.width}));
        s.out.flush();
        code = std::max(code, r.exitCode());
        results.push_back(std::move(r));
    }
    if (results.size() < o.files.size()) {
        s.err << "artiscope-check: abgebrochen, " << o.files.size() - results.size()
              << " Datei(en) nicht geprüft\n";
        code = 2;
    }
    if (results.size() > 1 && !o.quiet && summary) s.out << "\n" << totalSummary(results);
    if (report && !report->good()) {
        s.err << "artiscope-check: der Bericht " << o.report
              << " konnte nicht vollständig geschrieben werden\n";
        code = 2;
    }
    return code;
}

} // namespace arti::cli
