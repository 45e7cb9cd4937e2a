#include "records/XBaseMemo.h"

#include <algorithm>
#include <array>
#include <limits>

namespace arti::xbase {

namespace {

constexpr std::uint32_t kTextMemo = 1;

std::array<unsigned char, Memo::kHeaderSize> headerBytes(std::uint64_t nextFree, std::uint32_t blockSize) {
    std::array<unsigned char, Memo::kHeaderSize> header{};
    putBE(header.data(), 4, nextFree);
    // Bytes 4-7 as one big-endian number give the block size; FoxPro itself only
    // fills 6-7, which is the same bytes for any size below 65536.
    putBE(header.data() + 4, 4, blockSize);
    return header;
}

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

} // namespace

bool Memo::writeEmpty(File& file, std::uint32_t blockSize) {
    if (blockSize == 0 || blockSize > 0xFFFF) return false;
    // Header first, then the cut: a crash in between leaves a readable memo file.
    const auto header = headerBytes(ceilDiv(kHeaderSize, blockSize), blockSize);
    return file.writeAt(0, header.data(), header.size()) && file.truncate(kHeaderSize);
}

bool Memo::attach(File file) {
    std::array<unsigned char, 8> head{};
    if (file.length() < kHeaderSize || !file.readAt(0, head.data(), head.size())) return false;
    const std::uint32_t size = getBE(head.data() + 4, 4);
    if (size == 0 || size > 0xFFFF) return false;
    blockSize_ = size;
    file_ = std::move(file);
    return true;
}

std::optional<std::string> Memo::read(std::uint32_t block) const {
    if (block == 0) return std::string();
    const long long fileLength = file_.length();
    const std::uint64_t offset = std::uint64_t{block} * blockSize_;
    // A pointer into the header or past the end is damage, not a memo.
    if (fileLength < 0 || offset < kHeaderSize || offset + 8 > static_cast<std::uint64_t>(fileLength))
        return std::nullopt;
    std::array<unsigned char, 8> head{};
    if (!file_.readAt(static_cast<long long>(offset), head.data(), head.size())) return std::nullopt;
    const std::uint64_t length = getBE(head.data() + 4, 4);
    if (length > static_cast<std::uint64_t>(fileLength) - offset - 8) return std::nullopt;
    std::string text(static_cast<std::size_t>(length), '\0');
    if (length > 0 && !file_.readAt(static_cast<long long>(offset + 8), text.data(), text.size()))
        return std::nullopt;
    return text;
}

std::optional<std::uint32_t> Memo::write(std::uint32_t oldBlock, std::string_view text) {
    if (!file_.writable()) return std::nullopt;
    if (text.empty()) return 0u;
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - 8u) return std::nullopt;
    if (oldBlock != 0) {
        // The old memo's length tells how many blocks it owns; only a readable old
        // memo may be overwritten in place.
        if (auto old = read(oldBlock); old && blocksFor(text.size()) <= blocksFor(old->size())) {
            if (!writeMemoAt(oldBlock, text, blocksFor(text.size()))) return std::nullopt;
            return oldBlock;
        }
    }
    return appendBlocks(text);
}

std::optional<std::uint32_t> Memo::appendBlocks(std::string_view text) {
    const long long fileLength = file_.length();
    if (fileLength < 0) return std::nullopt;
    // New memos go behind everything in the file. The header's "next free block"
    // is rewritten but not trusted: a damaged one must not aim into used blocks.
    const std::uint64_t start = std::max(ceilDiv(static_cast<std::uint64_t>(fileLength), blockSize_),
                                         ceilDiv(kHeaderSize, blockSize_));
    const std::uint64_t blocks = blocksFor(text.size());
    if (start + blocks > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    if (!writeMemoAt(start, text, blocks)) return std::nullopt;
    std::array<unsigned char, 4> next{};
    putBE(next.data(), 4, start + blocks);
    if (!file_.writeAt(0, next.data(), next.size())) return std::nullopt;
    return static_cast<std::uint32_t>(start);
}

bool Memo::writeMemoAt(std::uint64_t block, std::string_view text, std::uint64_t blocks) {
    // Block header, text and zero padding to the end of the last block, in one write.
    std::array<unsigned char, 8> head{};
    putBE(head.data(), 4, kTextMemo);
    putBE(head.data() + 4, 4, text.size());
    std::string bytes(reinterpret_cast<const char*>(head.data()), head.size());
    bytes.append(text);
    bytes.resize(static_cast<std::size_t>(blocks * blockSize_), '\0');
    return file_.writeAt(static_cast<long long>(block * blockSize_), bytes);
}

bool Memo::reset() {
    if (!file_.writable()) return false;
    return writeEmpty(file_, blockSize_);
}

} // namespace arti::xbase
