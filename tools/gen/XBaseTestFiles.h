// Test-data helpers for the xBase files: whole-file reads and writes, and a writer of
// long-text tables in the layouts other xBase programs produce.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace arti::test {

inline std::string readBytes(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::string bytes(ec ? 0 : static_cast<std::size_t>(size), '\0');
    std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void putLE(std::string& s, std::size_t at, int bytes, std::uint64_t v) {
    for (int i = 0; i < bytes; ++i, v >>= 8)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>(v & 0xFF);
}
inline void putBE(std::string& s, std::size_t at, int bytes, std::uint64_t v) {
    for (int i = bytes - 1; i >= 0; --i, v >>= 8)
        s[at + static_cast<std::size_t>(i)] = static_cast<char>(v & 0xFF);
}

struct ForeignRow {
    std::string key;
    std::string memo;
    bool deleted = false;
};

// How another program may have laid out VTEXT.DBF and VTEXT.FPT.
struct ForeignLayout {
    unsigned char version = 0xF5;
    std::size_t headerLength = 97; // 97 FoxPro, 98 Clipper family, 360 with backlink area
    std::size_t memoWidth = 10;    // 10: digits, 4: binary block number
    std::uint32_t blockSize = 64;
    std::size_t memoHeader = 512; // 1024 for FlexFile-style memo files
    bool endMark = true;
    bool emptyMemoAsBlock = false; // empty memo as a zero-length block instead of no pointer
};

inline void writeForeignTable(const std::filesystem::path& folder, const ForeignLayout& layout,
                              const std::vector<ForeignRow>& rows) {
    std::string fpt(layout.memoHeader, '\0');
    if (layout.memoHeader > 512) fpt.replace(512, 10, "FlexFile3\x03");
    const std::size_t recordLength = 1 + 11 + layout.memoWidth;
    std::string dbf(layout.headerLength, '\0');
    dbf[0] = static_cast<char>(layout.version);
    dbf[1] = 99, dbf[2] = 12, dbf[3] = 31;
    putLE(dbf, 4, 4, rows.size());
    putLE(dbf, 8, 2, layout.headerLength);
    putLE(dbf, 10, 2, recordLength);
    dbf.replace(32, 5, "INDEX");
    dbf[43] = 'C', dbf[48] = 11;
    dbf.replace(64, 5, "VTEXT");
    dbf[75] = 'M', dbf[80] = static_cast<char>(layout.memoWidth);
    dbf[96] = 0x0D;
    for (const ForeignRow& row : rows) {
        std::uint64_t block = 0;
        if (!row.memo.empty() || layout.emptyMemoAsBlock) {
            const std::size_t bs = layout.blockSize;
            fpt.resize((fpt.size() + bs - 1) / bs * bs, '\0');
            block = fpt.size() / bs;
            std::string memo(8, '\0');
            putBE(memo, 0, 4, 1);
            putBE(memo, 4, 4, row.memo.size());
            fpt += memo + row.memo;
        }
        std::string record = (row.deleted ? "*" : " ") + (row.key + std::string(11, ' ')).substr(0, 11);
        std::string pointer(layout.memoWidth, layout.memoWidth == 4 ? '\0' : ' ');
        if (layout.memoWidth == 4)
            putLE(pointer, 0, 4, block);
        else if (block != 0)
            pointer = (std::string(10, ' ') + std::to_string(block)).substr(std::to_string(block).size());
        dbf += record + pointer;
    }
    if (layout.endMark) dbf += '\x1A';
    putBE(fpt, 0, 4, (fpt.size() + layout.blockSize - 1) / layout.blockSize);
    putBE(fpt, 4, 4, layout.blockSize);
    writeBytes(folder / "VTEXT.DBF", dbf);
    writeBytes(folder / "VTEXT.FPT", fpt);
}

} // namespace arti::test
