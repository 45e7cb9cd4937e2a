// Write speed of the long-text store (VTEXT.DBF, VTEXT.FPT, INTEXT.CDX) as the check run
// fills it: the main window's DBTEXT stores the lines of every 01/96 text record, from
// the creation of the store at the file choice to its closing at the first article.
// Each text has an 11-character key in no particular order and is made of one text
// record (two lines) or of two records (four lines). Prints texts per second, the best
// of the passes. The store is written into a fresh folder below $ARTI_BENCH_DIR (default
// /tmp/artiscope-bench) and removed afterwards.
// Usage: textstore_bench [texts] [passes]   (default 200000 texts, 3 passes). Run a
// Release build.
#include "app/PruefWnd.h"
#include "records/XBaseTable.h"
#include "settings/Settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace arti;

std::string benchFolder() {
    const char* env = std::getenv("ARTI_BENCH_DIR");
    return env && *env ? env : "/tmp/artiscope-bench";
}

std::string pad(std::string s, std::size_t n) {
    s.resize(n, ' ');
    return s;
}

// A 01/96 text record: key at 4-14, line numbers at 15-17 and 71-73, lines at 18-57 and
// 74-113.
std::string textRecord(const std::string& key, int first, int second) {
    std::string r =
        "T1 " + key + pad(std::to_string(first), 3) + pad("Langtext Zeile " + std::to_string(first), 40);
    r = pad(r, 70) + pad(std::to_string(second), 3) + pad("Langtext Zeile " + std::to_string(second), 40);
    return pad(r, 128);
}

// The records of `texts` texts, `perText` records each, keys in a scrambled order.
std::vector<std::string> textRecords(std::size_t texts, int perText) {
    std::vector<std::string> records;
    records.reserve(texts * static_cast<std::size_t>(perText));
    std::uint64_t state = 88172645463325252ull;
    for (std::size_t t = 0; t < texts; ++t) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        char key[16];
        std::snprintf(key, sizeof key, "%011llu", static_cast<unsigned long long>(state % 100000000000ull));
        for (int r = 0; r < perText; ++r)
            records.push_back(textRecord(key, 2 * r + 1, r + 1 < perText ? 2 * r + 2 : 0));
    }
    return records;
}

// One pass: a fresh store, every record through DBTEXT, the store closed. Seconds, or a
// negative value when the store refused something.
double onePass(const std::vector<std::string>& records, std::size_t texts, const std::string& folder) {
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    settings().installPath = folder + "/";
    PRUEF_WND w;
    w.handSettings();
    w.run.texts.allowStoring();
    const auto t0 = std::chrono::steady_clock::now();
    w.run.texts.prepare(w.engine, w.run.parameters.dataFolder);
    long long offset = 260;
    for (const std::string& record : records) {
        w.run.NZEIGER_ = offset;
        offset += 130;
        w.DBTEXT(record);
    }
    const bool stored =
        w.run.texts.table() && w.run.texts.mayStore() && w.run.texts.table()->rowCount() == texts;
    w.engine.closeTextTable();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return stored ? seconds : -1;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t texts = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 200000;
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string folder = benchFolder() + "/textstore-" + std::to_string(::getpid());
    int status = 0;
    for (const int perText : {1, 2}) {
        const std::vector<std::string> records = textRecords(texts, perText);
        double best = 1e9;
        for (int p = 0; p < passes; ++p) {
            const double s = onePass(records, texts, folder);
            if (s < 0) {
                std::fprintf(stderr, "textstore_bench: the store refused a text\n");
                status = 1;
                break;
            }
            best = std::min(best, s);
        }
        if (status != 0) break;
        std::printf("long-text store, %zu texts of %d record(s): %.3f s, %.0f texts/s (%.0f records/s)\n",
                    texts, perText, best, static_cast<double>(texts) / best,
                    static_cast<double>(texts * static_cast<std::size_t>(perText)) / best);
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return status;
}
