// eldanorm-gen: writes ELDANORM test files.
//   eldanorm-gen --version 0196 --records 1000000 --seed 1 [--fault NAME] OUT
//   eldanorm-gen --demo FOLDER
#include "core/Dates.h"
#include "platform/Console.h"
#include "tools/gen/Generator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace arti::gen;

constexpr const char* kUsage =
    "usage: eldanorm-gen [options] OUT        (OUT '-' writes to standard output)\n"
    "       eldanorm-gen --demo FOLDER [--date D]\n"
    "       eldanorm-gen --list-faults\n"
    "options:\n"
    "  --version V       0590, 0196 or 2000 (default 0196)\n"
    "  --records N       records of the file, header included (default 100)\n"
    "  --seed N          seed of the content (default 1)\n"
    "  --types T         announcement (01/96, 2000) or kind of file (05/90); default:\n"
    "                    05/90 ABZ, 01/96 ABDTZ, 2000 IHPTZK\n"
    "  --fault NAME      one fault, see --list-faults\n"
    "  --fault-at N      the record that gets a record, article or field fault (default: the middle)\n"
    "  --date D          header date DD.MM.YYYY or 'today' (default 15.01.2024; --demo: today)\n"
    "  --separator C     field separator of version 2000 (default ;)\n";

std::chrono::year_month_day today() {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    const std::tm tm = arti::localTime(now);
    return std::chrono::year{tm.tm_year + 1900} / std::chrono::month{static_cast<unsigned>(tm.tm_mon + 1)} /
           std::chrono::day{static_cast<unsigned>(tm.tm_mday)};
}

bool parseCount(const std::string& text, std::uint64_t& out) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18)
        return false;
    out = std::stoull(text);
    return true;
}

struct Args {
    FileRecipe want;
    std::string out;
    std::string demo;
    bool dateGiven = false;
    bool listFaults = false;
};

bool parseDateArg(const std::string& v, FileRecipe& want) {
    if (v == "today") {
        want.date = today();
        return true;
    }
    const auto d = arti::parseDate(v);
    if (!d) return false;
    want.date = *d;
    return true;
}

// One option with its value; false with a message for a bad one.
bool takeOption(const std::string& name, const std::string& v, Args& a, std::string& error) {
    if (name == "--version") {
        const auto ver = versionByName(v);
        if (ver)
            a.want.version = *ver;
        else
            error = "unknown version " + v;
    } else if (name == "--records") {
        if (!parseCount(v, a.want.records)) error = "bad record count " + v;
    } else if (name == "--seed") {
        if (!parseCount(v, a.want.seed)) error = "bad seed " + v;
    } else if (name == "--types") {
        a.want.types = v;
    } else if (name == "--fault") {
        const auto f = faultByName(v);
        if (f)
            a.want.fault = *f;
        else
            error = "unknown fault " + v + " (see --list-faults)";
    } else if (name == "--fault-at") {
        if (!parseCount(v, a.want.faultRecord)) error = "bad record number " + v;
    } else if (name == "--date") {
        a.dateGiven = true;
        if (!parseDateArg(v, a.want)) error = "bad date " + v;
    } else if (name == "--separator") {
        if (v.size() == 1)
            a.want.separator = v[0];
        else
            error = "the separator is one character";
    } else if (name == "--demo") {
        a.demo = v;
    } else {
        error = "unknown option " + name;
    }
    return error.empty();
}

bool parseArgs(const std::vector<std::string>& args, Args& a, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--list-faults") {
            a.listFaults = true;
        } else if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            std::exit(0);
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            if (!takeOption(arg, args[++i], a, error)) return false;
        } else if (a.out.empty()) {
            a.out = arg;
        } else {
            error = "more than one output file";
            return false;
        }
    }
    if (a.out.empty() && a.demo.empty() && !a.listFaults) error = "no output file";
    return error.empty();
}

// One line per fault: its name, the versions it applies to and what it does.
int listFaults() {
    for (Fault f : allFaults()) {
        std::string versions;
        for (Version v : {Version::V0590, Version::V0196, Version::V2000})
            if (faultApplies(f, v)) versions += (versions.empty() ? "" : ", ") + std::string(versionName(v));
        std::string name(faultName(f));
        name.resize(std::max<std::size_t>(name.size() + 2, 25), ' ');
        std::string applies = "(" + versions + ")";
        applies.resize(std::max<std::size_t>(applies.size() + 2, 21), ' ');
        std::cout << name << applies << faultSummary(f) << '\n';
    }
    return 0;
}

int writeDemo(const Args& a) {
    std::vector<std::string> written;
    std::string error;
    if (!writeDemoFiles(a.demo, a.dateGiven ? a.want.date : today(), written, error)) {
        std::cerr << "eldanorm-gen: " << error << '\n';
        return 1;
    }
    for (const std::string& f : written)
        std::cerr << "wrote " << f << '\n';
    return 0;
}

int writeOne(const Args& a) {
    Report r;
    std::string error;
    bool ok = false;
    if (a.out == "-") {
        const Sink sink = [](std::string_view b) {
            return std::fwrite(b.data(), 1, b.size(), stdout) == b.size();
        };
        ok = generate(a.want, sink, r, error) && std::fflush(stdout) == 0;
        if (!ok && error.empty()) error = "write to standard output failed";
    } else {
        ok = generateFile(a.want, a.out, r, error);
    }
    if (!ok) {
        std::cerr << "eldanorm-gen: " << error << '\n';
        return 1;
    }
    std::cerr << "wrote " << a.out << ": version " << versionName(a.want.version) << ", " << r.records
              << " records, " << r.bytes << " bytes, types " << r.announcement;
    if (a.want.fault != Fault::None)
        std::cerr << ", fault " << faultName(a.want.fault) << " at record " << r.faultRecord << " (offset "
                  << r.faultOffset << "): " << r.faultNote;
    std::cerr << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // A file written to the standard output arrives byte for byte (binary on Windows).
    arti::platform::prepareConsole();
    Args a;
    std::string error;
    if (!parseArgs(arti::platform::commandArguments(argc, argv), a, error)) {
        std::cerr << "eldanorm-gen: " << error << "\n" << kUsage;
        return 2;
    }
    if (a.listFaults) return listFaults();
    if (!a.demo.empty()) return writeDemo(a);
    return writeOne(a);
}
