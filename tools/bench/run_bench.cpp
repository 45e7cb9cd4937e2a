// Throughput and memory of a headless automatic check run, the same the command-line
// checker makes: "Datei", pop-ups off, "Durchlauf Start" to the end.
//  - the run loop alone ("Feld-Prüfung" and "List-Anzeige" off) over a 01/96 file of
//    1,000,000 records (130 MB; header, K record, long texts, articles A B D Z);
//  - every field checked and the findings list filled, over that file, a 05/90 file of
//    1,000,000 records and a version 2000 file of about the same size;
//  - a file whose every article record carries several findings (each one a log line).
// Files are generated once into $ARTI_BENCH_DIR (default /tmp/artiscope-bench) and reused.
// A 01/96 file of 100,000 records is checked first: the peak memory after it and after
// the large files shows whether memory grows with the file. Prints MB/s, records/s, peak
// RSS and the ratio of each run's time to `wc -l` on the same file.
// Usage: run_bench [passes] [label part]   (default 3 passes, the best counts; a label part
// such as "05/90" runs only the checks whose label holds it). Run a Release build.
#include "cli/FileCheck.h"
#include "core/Text.h"
#include "tools/bench/BenchFiles.h"
#include "tools/gen/Generator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

namespace fs = std::filesystem;
using namespace arti;

constexpr std::uint64_t kRecords = 1'000'000;
constexpr std::uint64_t kSmallRecords = 100'000;
// Version 2000 records are longer than 130 bytes on average: fewer of them make about
// the same size.
constexpr std::uint64_t kRecords2000 = 2'750'000;

long peakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double wcSeconds(const std::string& file) {
    const std::string cmd = "wc -l '" + file + "' > /dev/null";
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        if (std::system(cmd.c_str()) != 0) return 0;
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

struct Case {
    const char* label;
    std::string file;
    bool fieldChecks = true;
    bool listDisplay = true;
    bool findingsExpected = false;
    double goalMbs = 0; // 0: no goal
};

cli::CheckParameters parameters(const Case& c) {
    cli::CheckParameters p;
    p.fieldChecks = c.fieldChecks;
    p.listDisplay = c.listDisplay;
    const Date today = SystemClock().today();
    p.dateFrom = Date{std::chrono::sys_days{today} - std::chrono::days{30}};
    p.dateTo = Date{std::chrono::sys_days{today} + std::chrono::days{30}};
    return p;
}

// The best of `passes` runs over the file; false when a run did not end as expected.
bool bestRun(const Case& c, const std::string& dataFolder, int passes, cli::FileResult& best) {
    for (int i = 0; i < passes; ++i) {
        cli::FileResult r = cli::checkFile(c.file, dataFolder, parameters(c), cli::RunEnvironment{});
        if (r.outcome != cli::Outcome::Complete || (r.errors != 0) != c.findingsExpected) {
            std::fprintf(stderr, "run_bench: the run over %s did not end as expected: %s (%llu errors)\n",
                         c.file.c_str(), r.reason.c_str(), static_cast<unsigned long long>(r.errors));
            return false;
        }
        if (i == 0 || r.seconds < best.seconds) best = r;
    }
    return true;
}

const char* g_only = nullptr; // a part of the labels to run, or null for all

// Runs the case and prints its line; false when it failed or missed its goal.
bool measure(const Case& c, const std::string& dataFolder, int passes) {
    if (g_only && std::string(c.label).find(g_only) == std::string::npos) return true;
    cli::FileResult r;
    if (!bestRun(c, dataFolder, passes, r)) return false;
    const double mbs = static_cast<double>(r.bytes) / 1e6 / r.seconds;
    const double wc = wcSeconds(c.file);
    std::printf("%-22s %6.1f MB  %6.3f s  %6.1f MB/s", c.label, static_cast<double>(r.bytes) / 1e6, r.seconds,
                mbs);
    if (c.goalMbs > 0) std::printf(" (goal >= %.0f)", c.goalMbs);
    std::printf("  %8.0f records/s", static_cast<double>(r.records) / r.seconds);
    if (wc > 0) std::printf("  %5.1f x wc -l", r.seconds / wc);
    if (c.findingsExpected) std::printf("  %llu findings", static_cast<unsigned long long>(r.messages));
    std::printf("\n");
    std::fflush(stdout);
    return c.goalMbs == 0 || mbs >= c.goalMbs;
}

gen::FileRecipe fileRecipe(gen::Version v, std::uint64_t records, gen::Fault fault = gen::Fault::None) {
    gen::FileRecipe want;
    want.version = v;
    want.records = records;
    want.seed = 1;
    want.fault = fault;
    return want;
}

} // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (argc > 2) g_only = argv[2];
    const fs::path folder = bench::benchFolder();
    const std::string f0196 = bench::runFile();
    const std::string small = (folder / "run-0196-small.dat").string();
    const std::string f0590 = (folder / "run-0590.dat").string();
    const std::string f2000 = (folder / "run-2000.dat").string();
    const std::string findings = (folder / "run-0196-findings.dat").string();
    if (!bench::ensureRunFile(small, kSmallRecords) || !bench::ensureRunFile(f0196, kRecords) ||
        !bench::ensureFile(f0590, fileRecipe(gen::Version::V0590, kRecords)) ||
        !bench::ensureFile(f2000, fileRecipe(gen::Version::V2000, kRecords2000)) ||
        !bench::ensureFile(findings,
                           fileRecipe(gen::Version::V0196, kRecords, gen::Fault::FieldFaultsEverywhere)))
        return 1;
    const std::string data = (folder / "data").string();
    fs::create_directories(data);
    // The file choice stores the source folder in the settings: keep the user's own
    // settings out of the benchmark.
    const std::string registry = (folder / "registry").string();
    fs::create_directories(registry);
    setenv("ARTISCOPE_REGISTRY_DIR", registry.c_str(), 1);

    cli::FileResult smallRun;
    if (!bestRun(Case{"small", small, false, false}, data, 1, smallRun)) return 1;
    const long rssSmall = peakRssKb();

    std::printf("check                  size       time      speed               records/s\n");
    bool ok = true;
    ok &= measure(Case{"run loop 01/96", f0196, false, false, false, 300}, data, passes);
    ok &= measure(Case{"all checks 01/96", f0196, true, true, false, 250}, data, passes);
    ok &= measure(Case{"all checks 05/90", f0590, true, true, false, 250}, data, passes);
    ok &= measure(Case{"all checks 2000", f2000, true, true, false, 250}, data, passes);
    measure(Case{"run loop 05/90", f0590, false, false}, data, passes);
    measure(Case{"run loop 2000", f2000, false, false}, data, passes);
    ok &= measure(Case{"findings 01/96", findings, true, true, true, 0}, data, passes);
    const long rssBig = peakRssKb();
    std::printf("peak RSS %.1f MB after %llu records, %.1f MB after all runs (goal < 64 MB)\n",
                static_cast<double>(rssSmall) / 1024.0, static_cast<unsigned long long>(kSmallRecords),
                static_cast<double>(rssBig) / 1024.0);
    std::printf("(\"run loop\": field checks and findings list off; \"all checks\": both on; best of %d)\n",
                passes);
    return ok && rssBig < 64 * 1024 ? 0 : 3;
}
