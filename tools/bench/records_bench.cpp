// Throughput of the record readers over a large ELDANORM 01/96-style file, compared with
// `wc -l` on the same file. The file (a million records of 128 characters and CR LF: one
// header "V", then A and B records) is generated once and reused:
//   $ARTI_BENCH_FILE, default /tmp/artiscope-bench/records-0196.dat
// Run from a Release build; the first pass brings the file into the page cache.
#include "core/Services.h"
#include "records/FileAccess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr std::size_t kRecords = 1'000'000;
constexpr std::size_t kRecordBytes = 130;

std::string benchFile() {
    const char* env = std::getenv("ARTI_BENCH_FILE");
    return env && *env ? env : "/tmp/artiscope-bench/records-0196.dat";
}

// Record `i` of the file: 128 characters at fixed positions, OEM umlauts in the texts.
std::string makeRecord(std::size_t i) {
    std::string r;
    if (i == 0) {
        r = "V01DATANORM-ARTISCOPE    0196EUR000000010101";
    } else if (i % 2 == 1) {
        const std::string nr = std::to_string(100000000 + i);
        r = "AN" + nr + "       Kabelverschraubung M" + std::to_string(i % 90 + 10) +
            " Messing vernickelt  "
            "Gr\x94\xE1"
            "e " +
            std::to_string(i % 50) + "   000012345  00100 STK  0001 ";
    } else {
        const std::string nr = std::to_string(100000000 + i);
        r = "BN" + nr + "       Z\x81ndhilfe f\x81r \x84ltere Ger\x84te  4000001" + nr + "0 00001  ";
    }
    r.resize(128, ' ');
    return r + "\r\n";
}

// Writes the file unless one of the right size is there already.
const std::string& ensureFile() {
    static const std::string file = [] {
        const std::string f = benchFile();
        std::error_code ec;
        if (std::filesystem::file_size(f, ec) == kRecords * kRecordBytes) return f;
        std::filesystem::create_directories(std::filesystem::path(f).parent_path(), ec);
        std::ofstream out(f, std::ios::binary | std::ios::trunc);
        std::string chunk;
        for (std::size_t i = 0; i < kRecords; ++i) {
            chunk += makeRecord(i);
            if (chunk.size() > (1u << 20)) {
                out << chunk;
                chunk.clear();
            }
        }
        out << chunk;
        std::fprintf(stderr, "generated %s\n", f.c_str());
        return f;
    }();
    return file;
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Wall time of one `wc -l` over the file, best of five.
double wcSeconds() {
    static const double best = [] {
        const std::string cmd = "wc -l '" + ensureFile() + "' > /dev/null";
        double b = 1e9;
        for (int i = 0; i < 5; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            if (std::system(cmd.c_str()) != 0) return 0.0;
            b = std::min(b, seconds(std::chrono::steady_clock::now() - t0));
        }
        return b;
    }();
    return best;
}

// Runs `readAll` once per iteration and reports bytes/s and the time relative to wc -l.
template <typename ReadAll> void runOverFile(benchmark::State& state, ReadAll readAll) {
    const std::string& file = ensureFile();
    const double wc = wcSeconds();
    std::size_t records = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const arti::FileHandle h = arti::FOPEN(file, arti::FO_READ);
        if (h == 0) {
            state.SkipWithError("cannot open the benchmark file");
            return;
        }
        records = readAll(h);
        arti::FCLOSE(h);
    }
    const double perPass =
        seconds(std::chrono::steady_clock::now() - t0) / static_cast<double>(state.iterations());
    if (records != kRecords) state.SkipWithError("wrong record count");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kRecords * kRecordBytes));
    state.counters["records"] = static_cast<double>(records);
    if (wc > 0) state.counters["x_wc_l"] = perPass / wc;
}

void BM_StringLes(benchmark::State& state) {
    const bool oem = state.range(0) != 0;
    runOverFile(state, [oem](arti::FileHandle h) {
        std::size_t n = 0;
        while (!arti::FEOF(h)) {
            const std::string line = arti::STRING_LES(nullptr, h, 130, 128, oem);
            benchmark::DoNotOptimize(line.data());
            ++n;
        }
        return n;
    });
}
BENCHMARK(BM_StringLes)->ArgName("oem")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BinLes130(benchmark::State& state) {
    const bool oem = state.range(0) != 0;
    runOverFile(state, [oem](arti::FileHandle h) {
        std::size_t n = 0;
        while (!arti::FEOF(h)) {
            const std::string block = arti::BIN_LES(nullptr, h, 130, 130, oem, "\xFA");
            if (block.empty()) break;
            benchmark::DoNotOptimize(block.data());
            ++n;
        }
        return n;
    });
}
BENCHMARK(BM_BinLes130)->ArgName("oem")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WcL(benchmark::State& state) {
    const std::string cmd = "wc -l '" + ensureFile() + "' > /dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("wc -l failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kRecords * kRecordBytes));
}
BENCHMARK(BM_WcL)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
