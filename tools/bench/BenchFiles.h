// The generated 01/96 file the check-run benchmarks share: written once, reused while it
// has the expected size and was written today (its dates lie inside the default date
// window of today plus or minus 30 days, so a clean file stays clean).
#pragma once

#include "app/runtime/Services.h"
#include "tools/gen/Generator.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace arti::bench {

inline std::string runFile() {
    const char* env = std::getenv("ARTI_BENCH_RUN_FILE");
    return env && *env ? env : "/tmp/artiscope-bench/run-0196.dat";
}

// Writes the file unless one of the expected size is there already.
inline bool ensureRunFile(const std::string& path, std::uint64_t records) {
    namespace fs = std::filesystem;
    gen::FileSpec want;
    want.version = gen::Version::V0196;
    want.records = records;
    want.seed = 1;
    want.date = SystemClock().today();
    const std::uint64_t expected = records * 130 + 1;
    std::error_code ec;
    const auto written = fs::last_write_time(path, ec);
    const bool today = !ec && std::chrono::file_clock::now() - written < std::chrono::hours(12);
    if (today && fs::file_size(path, ec) == expected) return true;
    fs::create_directories(fs::path(path).parent_path(), ec);
    gen::Report report;
    std::string error;
    if (!gen::generateFile(want, path, report, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::fprintf(stderr, "generated %s (%llu bytes)\n", path.c_str(), static_cast<unsigned long long>(report.bytes));
    return true;
}

} // namespace arti::bench
