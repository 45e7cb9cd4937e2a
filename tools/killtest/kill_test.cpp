// settings-kill-test: kills settings-save-loop at random moments (SIGKILL, on Windows
// TerminateProcess) and checks
// after every kill that the user's hive still parses and holds either all values of the
// save that was running or all values from before it, never a mix; then lets one save
// run to its end and checks that no temporary file is left in the registry folder.
//
//   settings-kill-test [--kills N] [--seed S] [--max-delay-ms M] [--saver PATH] [--dir DIR]
//
// N kills (default 300), each after a random delay of 0 to M milliseconds from the start
// of the loop; M defaults to twice the time that one start with one save takes here, so
// that the kills fall into the start, the first save and the saves after it. The
// registry lives in DIR, by default a fresh temporary folder that is removed at the end.
// Prints the counts; the exit code is 0 when no kill left a mixed or unreadable hive or
// lost a completed save, and no temporary file survived the next save.
#include "core/Dates.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/ProfileFile.h"
#include "platform/Unicode.h"
#include "settings/Registry.h"
#include "tools/killtest/SaveSets.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using arti::killtest::kSavedNames;
using arti::killtest::kSaveSets;
using arti::platform::ChildProcess;

struct Options {
    long kills = 300;
    unsigned long seed = std::random_device{}();
    long maxDelayMs = -1; // measured
    std::string saver;
    std::string dir;
};

struct Counts {
    long kills = 0;
    long duringSave = 0; // a save had begun and not ended
    long allOld = 0;
    long allNew = 0;
    long mixed = 0;
    long unreadable = 0;
    long lostSave = 0;          // a save had ended but the hive does not hold it
    long killsLeavingTemps = 0; // kills after which a new temporary file lay in the folder
    long savesLeavingTemps = 0; // completed saves after which any temporary file was left
    long failedSaves = 0;       // the save after a kill did not end well
};

// What the hive must hold for each set, in the order of kSavedNames.
std::array<std::string, 5> storedTexts(const arti::killtest::SaveSet& s) {
    return {s.currency, s.country, s.decimals, arti::formatDate(s.lower), arti::formatDate(s.upper)};
}

std::string hivePath(const Options& o) {
    return o.dir + arti::platform::kPathSeparator + "HKCU.ini";
}

// Every file of the registry folder but the hives counts as a temporary file left over.
long strayFiles(const Options& o) {
    long n = 0;
    for (const auto& e : fs::directory_iterator(arti::platform::fsPath(o.dir))) {
        const std::string name = arti::platform::pathText(e.path().filename());
        if (name != "HKCU.ini" && name != "HKLM.ini") ++n;
    }
    return n;
}

// The hive as it is now: -1 unreadable, 0 or 1 the set it holds whole, 2 anything else.
int hiveState(const Options& o, std::string* detail) {
    arti::platform::ProfileDocument doc;
    if (doc.load(hivePath(o)) != arti::platform::ProfileDocument::LoadStatus::Loaded) return -1;
    std::array<std::string, 5> got;
    for (std::size_t i = 0; i < got.size(); ++i)
        got[i] = doc.get(arti::defaultKey(), kSavedNames[i]).value_or("<fehlt>");
    if (detail) {
        detail->clear();
        for (std::size_t i = 0; i < got.size(); ++i)
            *detail += std::string(kSavedNames[i]) + "=" + got[i] + " ";
    }
    for (int set = 0; set < 2; ++set)
        if (got == storedTexts(kSaveSets[static_cast<std::size_t>(set)])) return set;
    return 2;
}

// Starts the saver with its standard output on a pipe.
bool startSaver(const Options& o, const std::vector<std::string>& args, ChildProcess& saver) {
    return saver.start(o.saver, args);
}

// The number of the last save begun, and whether it also ended.
void lastSave(const std::string& marks, long& number, bool& ended) {
    number = 0;
    ended = false;
    std::size_t pos = 0;
    while (pos < marks.size()) {
        const std::size_t nl = marks.find('\n', pos);
        if (nl == std::string::npos) break; // a mark is written whole or not at all
        const std::string line = marks.substr(pos, nl - pos);
        pos = nl + 1;
        if (line.size() < 3) continue;
        number = std::strtol(line.c_str() + 2, nullptr, 10);
        ended = line[0] == 'E';
    }
}

// One save of set 0 run to its end: the hive must then hold set 0 and nothing else may
// lie in the folder.
bool saveOnce(const Options& o, Counts& c) {
    ChildProcess saver;
    if (!startSaver(o, {"--once", "--first", "0"}, saver)) return false;
    saver.readOutput();
    const ChildProcess::Ending end = saver.wait();
    const bool ok = !end.killed && end.exitCode == 0 && hiveState(o, nullptr) == 0;
    if (!ok) ++c.failedSaves;
    const bool clean = strayFiles(o) == 0;
    if (!clean) ++c.savesLeavingTemps;
    return ok && clean;
}

void killOnce(const Options& o, std::mt19937_64& rng, Counts& c) {
    std::uniform_int_distribution<long> delayUs(0, o.maxDelayMs * 1000);
    const long strayBefore = strayFiles(o);
    ChildProcess saver;
    // The hive holds set 0; the loop saves set 1 first, then 0, 1, ...
    if (!startSaver(o, {"--first", "1"}, saver)) return;
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
    saver.kill();
    const bool killed = saver.wait().killed;
    const std::string marks = saver.readOutput();
    ++c.kills;
    if (!killed) std::fprintf(stderr, "Kill %ld: der Speicher-Prozess endete von selbst\n", c.kills);

    long number = 0;
    bool ended = false;
    lastSave(marks, number, ended);
    // Save n writes set n % 2; before the first one the hive holds set 0.
    const int newSet = number == 0 ? 0 : static_cast<int>(number % 2);
    const int oldSet = number == 0 ? 0 : 1 - newSet;
    if (number > 0 && !ended) ++c.duringSave;
    std::string detail;
    const int state = hiveState(o, &detail);
    if (state < 0) {
        ++c.unreadable;
        std::fprintf(stderr, "Kill %ld: die Registry-Datei ist nicht lesbar\n", c.kills);
    } else if (state == 2) {
        ++c.mixed;
        std::fprintf(stderr, "Kill %ld: gemischte Werte nach Speichern %ld: %s\n", c.kills, number,
                     detail.c_str());
    } else if (ended && state != newSet) {
        ++c.lostSave;
        std::fprintf(stderr, "Kill %ld: Speichern %ld war beendet, fehlt aber\n", c.kills, number);
    } else if (state == newSet && number > 0) {
        ++c.allNew;
    } else if (state == oldSet) {
        ++c.allOld;
    }
    if (strayFiles(o) > strayBefore) ++c.killsLeavingTemps;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        const char* v = argv[i + 1];
        if (opt == "--kills")
            o.kills = std::strtol(v, nullptr, 10);
        else if (opt == "--seed")
            o.seed = std::strtoul(v, nullptr, 10);
        else if (opt == "--max-delay-ms")
            o.maxDelayMs = std::strtol(v, nullptr, 10);
        else if (opt == "--saver")
            o.saver = v;
        else if (opt == "--dir")
            o.dir = v;
        else
            return false;
    }
    return argc % 2 == 1 && o.kills > 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "Aufruf: settings-kill-test [--kills N] [--seed S] [--max-delay-ms M] "
                             "[--saver PATH] [--dir DIR]\n");
        return 2;
    }
    if (o.saver.empty())
        o.saver = arti::platform::executableFolder() + "settings-save-loop" +
                  std::string(arti::platform::kProgramSuffix);
    bool ownDir = false;
    if (o.dir.empty()) {
        o.dir = arti::platform::makePrivateFolder(arti::platform::userTempFolder(), "arti-killtest-");
        if (o.dir.empty()) return 2;
        ownDir = true;
    }
    arti::platform::setEnvironmentValue("ARTISCOPE_REGISTRY_DIR", o.dir);
    std::printf("Registry-Ordner %s, Startwert %lu\n", o.dir.c_str(), o.seed);

    std::mt19937_64 rng(o.seed);
    Counts c;
    saveOnce(o, c); // the first start writes the defaults as well
    const auto started = std::chrono::steady_clock::now();
    saveOnce(o, c);
    if (o.maxDelayMs < 0) {
        const auto once = std::chrono::steady_clock::now() - started;
        o.maxDelayMs = std::max<long>(
            2, 2 * static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(once).count()));
    }
    std::printf("Verzoegerung bis zum Kill: 0 bis %ld ms\n", o.maxDelayMs);
    for (long i = 0; i < o.kills; ++i) {
        killOnce(o, rng, c);
        saveOnce(o, c);
    }
    const long strayAtEnd = strayFiles(o);
    std::printf("kills %ld (waehrend des Speicherns %ld): alle alt %ld, alle neu %ld, gemischt %ld, "
                "unlesbar %ld, beendetes Speichern verloren %ld\n"
                "Kills mit neuer temporaerer Datei %ld, Speichern mit temporaeren Dateien danach %ld, "
                "temporaere Dateien am Ende %ld, misslungenes Speichern %ld\n",
                c.kills, c.duringSave, c.allOld, c.allNew, c.mixed, c.unreadable, c.lostSave,
                c.killsLeavingTemps, c.savesLeavingTemps, strayAtEnd, c.failedSaves);
    if (ownDir) fs::remove_all(arti::platform::fsPath(o.dir));
    const bool ok = c.mixed == 0 && c.unreadable == 0 && c.lostSave == 0 && c.savesLeavingTemps == 0 &&
                    c.failedSaves == 0;
    return ok ? 0 : 1;
}
