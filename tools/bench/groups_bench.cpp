// What grouping the findings costs, beside the check that reports them: a 01/96 file whose
// every record carries two or three field findings (about 1,000,000 in all) is checked as
// the command-line checker does; its findings are then taken again, from memory, by
//  - the groups alone (what the checker keeps: one hash lookup per finding),
//  - the groups and the kept list (what the window keeps for "Meldungen im Überblick"),
// and the window's filter picks the largest group, a small one and all findings again.
// Prints each time and its share of the check's time (goal for the grouping: < 5 %).
// Usage: groups_bench [passes]   (default 3, the best counts). Run a Release build.
#include "cli/FileCheck.h"
#include "run/FileFindings.h"
#include "tools/bench/BenchFiles.h"
#include "views/MeldWnd.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace arti;

constexpr std::uint64_t kRecords = 400'000;

// Every finding of a check, one after the other in memory as the check hands them over
// one at a time: the texts and record types in one store, the findings in one vector.
struct Kept final : IFindingObserver {
    void finding(const Finding& f) override {
        findings.push_back(f);
        spans.push_back({store.size(), f.text.size(), f.recordType.size()});
        store.append(f.text);
        store.append(f.recordType);
    }
    // The views point into the store once it has stopped growing.
    void settle() {
        for (std::size_t i = 0; i < findings.size(); ++i) {
            const Span& s = spans[i];
            findings[i].text = std::string_view(store).substr(s.at, s.text);
            findings[i].recordType = std::string_view(store).substr(s.at + s.text, s.type);
        }
    }
    struct Span {
        std::size_t at, text, type;
    };
    std::vector<Finding> findings;
    std::vector<Span> spans;
    std::string store;
};

template <typename F> double bestSeconds(int passes, F&& f) {
    double best = 1e9;
    for (int i = 0; i < passes; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

struct NoJump final : IRecordJump {
    void showRecordAt(long long) override {}
};

} // namespace

int main(int argc, char** argv) {
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const fs::path folder = bench::benchFolder();
    const std::string file = (folder / "groups-0196.dat").string();
    gen::FileRecipe want;
    want.version = gen::Version::V0196;
    want.records = kRecords;
    want.fault = gen::Fault::FieldFaultsEverywhere;
    if (!bench::ensureFile(file, want)) return 1;
    const std::string data = (folder / "data").string();
    const std::string registry = (folder / "registry").string();
    fs::create_directories(data);
    fs::create_directories(registry);
    setenv("ARTISCOPE_REGISTRY_DIR", registry.c_str(), 1);

    cli::CheckParameters p;
    const Date today = SystemClock().today();
    p.dateFrom = Date{std::chrono::sys_days{today} - std::chrono::days{30}};
    p.dateTo = Date{std::chrono::sys_days{today} + std::chrono::days{30}};
    cli::FileResult r;
    const double check =
        bestSeconds(passes, [&] { r = cli::checkFile(file, data, p, cli::RunEnvironment{}); });
    Kept kept;
    cli::RunEnvironment keeping;
    keeping.findings = &kept;
    cli::checkFile(file, data, p, keeping);
    kept.settle();
    const std::size_t n = kept.findings.size();

    FileFindings groups;
    const double grouping = bestSeconds(passes, [&] {
        groups.fileChosen();
        for (const Finding& f : kept.findings)
            groups.finding(f);
    });
    FileFindings listed;
    listed.keepList(true);
    const double listing = bestSeconds(passes, [&] {
        listed.fileChosen();
        for (const Finding& f : kept.findings)
            listed.finding(f);
    });
    std::size_t textBytes = 0;
    for (const FileFindings::Entry& e : listed.entries())
        textBytes += e.textSize;

    NoJump jump;
    MELD_WND window(jump, listed);
    window.SETUP();
    const std::size_t last = window.groups().size() - 1;
    const double largest = bestSeconds(passes, [&] { window.chooseGroup(0); });
    const std::size_t largestRows = window.findingCount();
    const double smallest = bestSeconds(passes, [&] { window.chooseGroup(last); });
    const double all = bestSeconds(passes, [&] { window.chooseGroup(std::nullopt); });

    std::printf(
        "check of %.1f MB, %llu records: %.3f s, %zu findings in %zu groups (report: %llu findings)\n",
        static_cast<double>(r.bytes) / 1e6, static_cast<unsigned long long>(r.records), check, n,
        groups.groups().size(), static_cast<unsigned long long>(r.messages));
    std::printf("grouping alone (checker):     %.4f s  = %.2f %% of the check (goal < 5 %%)\n", grouping,
                100.0 * grouping / check);
    std::printf("grouping and list (window):   %.4f s  = %.2f %% of the check; list %.1f MB (%zu B per entry "
                "+ %.1f MB texts)\n",
                listing, 100.0 * listing / check,
                static_cast<double>(n * sizeof(FileFindings::Entry) + textBytes) / 1e6,
                sizeof(FileFindings::Entry), static_cast<double>(textBytes) / 1e6);
    std::printf(
        "filter: largest group (%zu rows) %.1f ms, smallest %.1f ms, all again %.1f ms  (best of %d)\n",
        largestRows, largest * 1e3, smallest * 1e3, all * 1e3, passes);
    return grouping / check < 0.05 ? 0 : 3;
}
