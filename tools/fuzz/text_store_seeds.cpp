// Seeds of text_store_fuzz: long-text stores in the layouts other xBase programs write
// (Visual FoxPro, binary memo pointers, other memo block sizes, a header with backlink
// area, no end mark, empty memos as blocks), each opened once read-write so that it has
// its index, then packed as the target reads its input.
//   text_store_seeds OUT-FOLDER
#include "records/XBaseTable.h"
#include "tools/gen/XBaseTestFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace arti;
using arti::test::ForeignLayout;
using arti::test::ForeignRow;

namespace {

const std::string kCut = "\n=CUT=\n";

bool pack(const fs::path& store, const fs::path& out, const std::string& script) {
    const XBasePaths p = XBasePaths::longTextStore(store.string());
    if (!XBaseTable::open(p, XBaseMode::ReadWrite)) return false;
    std::ofstream(out, std::ios::binary)
        << char{0} << test::readBytes(p.table) << kCut << test::readBytes(p.memo) << kCut
        << test::readBytes(p.index) << kCut << script;
    return true;
}

std::vector<ForeignRow> rows() {
    return {{"4711", "Kupferrohr 15 mm, hart, Stange 5 m", false},
            {"ABC-123", "", false},
            {"abc-124", std::string(200, 'L'), true},
            {"Zähler", "Wasserzähler\r\nQ3 = 2,5", false}};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: text_store_seeds OUT-FOLDER\n");
        return 2;
    }
    const fs::path out = argv[1];
    fs::create_directories(out);
    std::vector<ForeignLayout> layouts(7);
    layouts[1].version = 0x30;
    layouts[1].memoWidth = 4;
    layouts[2].blockSize = 32;
    layouts[3].blockSize = 512;
    layouts[3].memoHeader = 1024;
    layouts[4].headerLength = 360;
    layouts[5].endMark = false;
    layouts[6].emptyMemoAsBlock = true;
    // Append, write a memo, search, reopen, check.
    const char steps[] = "\x00\x05"
                         "1234X"
                         "\x02\x00\x00\x05"
                         "Text."
                         "\x04\x02"
                         "AB"
                         "\x06\x07";
    const std::string script(steps, sizeof steps - 1);
    int n = 0;
    for (const ForeignLayout& layout : layouts) {
        const fs::path store = out / ("store-" + std::to_string(n));
        fs::create_directories(store);
        test::writeForeignTable(store, layout, rows());
        const bool ok = pack(store, out / ("foreign-" + std::to_string(n)), script);
        fs::remove_all(store);
        if (!ok) {
            std::fprintf(stderr, "text_store_seeds: layout %d does not open\n", n);
            return 1;
        }
        ++n;
    }
    // A fresh store and the same script.
    std::ofstream(out / "fresh", std::ios::binary) << char{1} << script;
    return 0;
}
