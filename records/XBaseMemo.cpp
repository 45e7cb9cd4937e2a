#include "records/XBaseMemo.h"

#include <algorithm>
#include <array>
#include <cstring>
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

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

} // namespace

bool Memo::writeEmpty(File& file, std::uint32_t blockSize) {
    if (blockSize == 0 || blockSize > 0xFFFF) return false;
    // Header first, then the cut: a crash in between leaves a readable memo file.
    const auto header = headerBytes(ceilDiv(kHeaderSize, blockSize), blockSize);
    return file.writeAt(0, header.data(), header.size()) && file.truncate(kHeaderSize);
}

bool Memo::attach(File file) {
    std::array<unsigned char, 8> head{};
    const long long length = file.length();
    if (length < kHeaderSize || !file.readAt(0, head.data(), head.size())) return false;
    const std::uint32_t size = getBE(head.data() + 4, 4);
    if (size == 0 || size > 0xFFFF) return false;
    blockSize_ = size;
    file_ = std::move(file);
    written_ = static_cast<std::uint64_t>(length);
    pending_.clear();
    headerStale_ = false;
    return true;
}

void Memo::close() {
    pending_.clear();
    headerStale_ = false;
    file_.close();
}

bool Memo::readAt(std::uint64_t offset, void* dst, std::size_t n) const {
    auto* out = static_cast<char*>(dst);
    if (offset > written_ + pending_.size() || n > written_ + pending_.size() - offset) return false;
    if (offset < written_) {
        const std::size_t fromFile = static_cast<std::size_t>(std::min<std::uint64_t>(n, written_ - offset));
        if (!file_.readAt(static_cast<long long>(offset), out, fromFile)) return false;
        out += fromFile;
        offset += fromFile;
        n -= fromFile;
    }
    if (n > 0) std::memcpy(out, pending_.data() + (offset - written_), n);
    return true;
}

bool Memo::writeAt(std::uint64_t offset, std::string_view bytes) {
    if (offset < written_) {
        // Blocks already in the file are rewritten there.
        const std::size_t toFile =
            static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), written_ - offset));
        if (!file_.writeAt(static_cast<long long>(offset), bytes.substr(0, toFile))) return false;
        offset += toFile;
        bytes.remove_prefix(toFile);
    }
    if (bytes.empty()) return true;
    const std::size_t at = static_cast<std::size_t>(offset - written_);
    if (pending_.size() < at + bytes.size()) pending_.resize(at + bytes.size(), '\0');
    pending_.replace(at, bytes.size(), bytes);
    return true;
}

std::optional<std::uint64_t> Memo::lengthAt(std::uint32_t block) const {
    const std::uint64_t end = written_ + pending_.size();
    const std::uint64_t offset = std::uint64_t{block} * blockSize_;
    // A pointer into the header or past the end is damage, not a memo.
    if (offset < kHeaderSize || offset + 8 > end) return std::nullopt;
    std::array<unsigned char, 8> head{};
    if (!readAt(offset, head.data(), head.size())) return std::nullopt;
    const std::uint64_t length = getBE(head.data() + 4, 4);
    if (length > end - offset - 8) return std::nullopt;
    return length;
}

std::optional<std::string> Memo::read(std::uint32_t block) const {
    if (block == 0) return std::string();
    if (!file_.isOpen()) return std::nullopt;
    const auto length = lengthAt(block);
    if (!length) return std::nullopt;
    std::string text(static_cast<std::size_t>(*length), '\0');
    if (*length > 0 && !readAt(std::uint64_t{block} * blockSize_ + 8, text.data(), text.size()))
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
        if (const auto old = lengthAt(oldBlock); old && blocksFor(text.size()) <= blocksFor(*old)) {
            if (!writeMemoAt(oldBlock, text, blocksFor(text.size()))) return std::nullopt;
            return oldBlock;
        }
    }
    return appendBlocks(text);
}

std::optional<std::uint32_t> Memo::appendBlocks(std::string_view text) {
    // New memos go behind everything in the file. The header's "next free block"
    // is rewritten but not trusted: a damaged one must not aim into used blocks.
    const std::uint64_t start =
        std::max(ceilDiv(written_ + pending_.size(), blockSize_), ceilDiv(kHeaderSize, blockSize_));
    const std::uint64_t blocks = blocksFor(text.size());
    if (start + blocks > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    if (!writeMemoAt(start, text, blocks)) return std::nullopt;
    headerStale_ = true;
    return static_cast<std::uint32_t>(start);
}

bool Memo::writeMemoAt(std::uint64_t block, std::string_view text, std::uint64_t blocks) {
    // Block header, text and zero padding to the end of the last block, in one piece.
    std::array<unsigned char, 8> head{};
    putBE(head.data(), 4, kTextMemo);
    putBE(head.data() + 4, 4, text.size());
    const std::uint64_t offset = block * blockSize_;
    const std::size_t padding = static_cast<std::size_t>(blocks * blockSize_ - 8 - text.size());
    if (offset >= written_ + pending_.size()) {
        // Behind the end: straight into the collected bytes, without a copy in between.
        pending_.resize(static_cast<std::size_t>(offset - written_), '\0');
        pending_.append(reinterpret_cast<const char*>(head.data()), head.size());
        pending_.append(text);
        pending_.append(padding, '\0');
        return true;
    }
    std::string bytes(reinterpret_cast<const char*>(head.data()), head.size());
    bytes.append(text);
    bytes.append(padding, '\0');
    return writeAt(offset, bytes);
}

bool Memo::flush() {
    if (!pending_.empty()) {
        if (!file_.writeAt(static_cast<long long>(written_), pending_)) return false;
        written_ += pending_.size();
        pending_.clear();
    }
    if (!headerStale_) return true;
    std::array<unsigned char, 4> next{};
    putBE(next.data(), 4, ceilDiv(written_, blockSize_));
    if (!file_.writeAt(0, next.data(), next.size())) return false;
    headerStale_ = false;
    return true;
}

bool Memo::reset() {
    if (!file_.writable()) return false;
    pending_.clear();
    headerStale_ = false;
    const bool emptied = writeEmpty(file_, blockSize_);
    // After a failed cut the file's own length says where new memos may go.
    const long long length = file_.length();
    written_ = length > 0 ? static_cast<std::uint64_t>(length) : 0;
    return emptied;
}

} // namespace arti::xbase
