// The generated files the check-run benchmarks share: written once, reused while the
// description beside them matches (version, records, fault, seed, date) and the file
// still has the length it was written with. They carry today's date, so their dates lie
// inside the default date window of today plus or minus 30 days and a clean file stays
// clean.
#pragma once

#include "core/Services.h"
#include "tools/gen/Generator.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace arti::bench {

inline std::string benchFolder() {
    const char* env = std::getenv("ARTI_BENCH_DIR");
    return env && *env ? env : "/tmp/artiscope-bench";
}

// The 01/96 file of the Qt benchmark: $ARTI_BENCH_RUN_FILE or <folder>/run-0196.dat.
inline std::string runFile() {
    const char* env = std::getenv("ARTI_BENCH_RUN_FILE");
    return env && *env ? env : benchFolder() + "/run-0196.dat";
}

// Writes the file of `want` (with today's date) unless it is there already.
inline bool ensureFile(const std::string& path, gen::FileRecipe want) {
    namespace fs = std::filesystem;
    want.date = SystemClock().today();
    std::ostringstream described;
    described << gen::versionName(want.version) << ' ' << want.records << ' ' << gen::faultName(want.fault)
              << ' ' << want.seed << ' ' << formatDate(want.date);
    const std::string sidecar = path + ".desc";
    std::error_code ec;
    {
        std::ifstream in(sidecar);
        std::string line;
        std::uint64_t bytes = 0;
        if (std::getline(in, line) && line == described.str() && (in >> bytes) &&
            fs::file_size(path, ec) == bytes && !ec)
            return true;
    }
    fs::create_directories(fs::path(path).parent_path(), ec);
    gen::Report report;
    std::string error;
    if (!gen::generateFile(want, path, report, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::ofstream(sidecar) << described.str() << '\n' << report.bytes << '\n';
    std::fprintf(stderr, "generated %s (%llu bytes)\n", path.c_str(),
                 static_cast<unsigned long long>(report.bytes));
    return true;
}

// The valid 01/96 file of `records` records (header, K record, long texts, articles).
inline bool ensureRunFile(const std::string& path, std::uint64_t records) {
    gen::FileRecipe want;
    want.version = gen::Version::V0196;
    want.records = records;
    want.seed = 1;
    return ensureFile(path, want);
}

} // namespace arti::bench
