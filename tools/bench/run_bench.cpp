// Throughput and memory of a headless automatic check run, the same the command-line
// checker makes: "Datei", pop-ups and findings list off, "Durchlauf Start" to the end.
// The file is a generated 01/96 file of 1,000,000 records (130 MB; header, K record,
// long texts, articles A B D Z), written once and reused:
//   $ARTI_BENCH_RUN_FILE, default /tmp/artiscope-bench/run-0196.dat
// A file of 100,000 records is checked first: the peak memory after it and after the
// large file shows whether memory grows with the file. Prints MB/s, records/s, peak RSS
// and the ratio of the run's time to `wc -l` on the same file.
// Usage: run_bench [passes]   (default 3; the best pass counts). Run a Release build.
#include "app/runtime/Text.h"
#include "cli/CheckRun.h"
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

cli::CheckParameters parameters(bool fieldChecks) {
    cli::CheckParameters p;
    p.fieldChecks = fieldChecks;
    p.dateFrom = Date{std::chrono::year{2000}, std::chrono::month{1}, std::chrono::day{1}};
    p.dateTo = Date{std::chrono::year{2099}, std::chrono::month{12}, std::chrono::day{31}};
    return p;
}

// The best of `passes` runs over the file; false when a run did not end cleanly.
bool bestRun(const std::string& file, const std::string& dataFolder, int passes, bool fieldChecks,
             cli::FileResult& best) {
    for (int i = 0; i < passes; ++i) {
        cli::FileResult r = cli::checkFile(file, dataFolder, parameters(fieldChecks), cli::RunEnvironment{});
        if (r.outcome != cli::Outcome::Complete || r.errors != 0) {
            std::fprintf(stderr, "run_bench: the run over %s did not end cleanly: %s (%llu errors)\n", file.c_str(),
                         r.reason.c_str(), static_cast<unsigned long long>(r.errors));
            return false;
        }
        if (i == 0 || r.seconds < best.seconds) best = r;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string big = bench::runFile();
    const std::string small = (fs::path(big).parent_path() / "run-0196-small.dat").string();
    if (!bench::ensureRunFile(small, kSmallRecords) || !bench::ensureRunFile(big, kRecords)) return 1;
    const std::string data = (fs::path(big).parent_path() / "data").string();
    fs::create_directories(data);
    // The file choice stores the source folder in the settings: keep the user's own
    // settings out of the benchmark.
    const std::string registry = (fs::path(big).parent_path() / "registry").string();
    fs::create_directories(registry);
    setenv("ARTISCOPE_REGISTRY_DIR", registry.c_str(), 1);

    // The run loop alone ("Feld-Prüfung" off), then with every field checked.
    cli::FileResult smallRun, bigRun, checkedRun;
    if (!bestRun(small, data, 1, false, smallRun)) return 1;
    const long rssSmall = peakRssKb();
    if (!bestRun(big, data, passes, false, bigRun)) return 1;
    if (!bestRun(big, data, passes, true, checkedRun)) return 1;
    const long rssBig = peakRssKb();
    const double wc = wcSeconds(big);

    const double mb = static_cast<double>(bigRun.bytes) / 1e6;
    const double runMbs = mb / bigRun.seconds;
    const double checkedMbs = mb / checkedRun.seconds;
    std::printf("file              %s (%.1f MB, %llu records)\n", big.c_str(), mb,
                static_cast<unsigned long long>(bigRun.records));
    std::printf("run loop          %.3f s, %.1f MB/s (goal >= 300), %.0f records/s (field checks off, best of %d)\n",
                bigRun.seconds, runMbs, static_cast<double>(bigRun.records) / bigRun.seconds, passes);
    std::printf("field checks on   %.3f s, %.1f MB/s (goal >= 250), %.0f records/s (best of %d)\n",
                checkedRun.seconds, checkedMbs, static_cast<double>(checkedRun.records) / checkedRun.seconds, passes);
    std::printf("peak RSS          %.1f MB after %llu records, %.1f MB after %llu records (goal < 64 MB)\n",
                static_cast<double>(rssSmall) / 1024.0, static_cast<unsigned long long>(kSmallRecords),
                static_cast<double>(rssBig) / 1024.0, static_cast<unsigned long long>(kRecords));
    if (wc > 0)
        std::printf("wc -l             %.3f s; run loop / wc -l = %.1f, field checks on / wc -l = %.1f\n", wc,
                    bigRun.seconds / wc, checkedRun.seconds / wc);
    return (runMbs >= 300.0 && checkedMbs >= 250.0 && rssBig < 64 * 1024) ? 0 : 3;
}
