#include "records/XBaseIndex.h"

#include <algorithm>
#include <optional>

namespace arti::xbase {

namespace {

using cdx::kNoPage;
using cdx::kPageSize;

constexpr cdx::KeyFormat kTagFormat{Index::kKeyLength, ' '};
// Tag names in the directory are 10 bytes, padded with NUL.
constexpr cdx::KeyFormat kDirectoryFormat{10, 0};

// Layout of a fresh file: compound header, directory page, tag header, tag root.
constexpr std::uint32_t kDirectoryOffset = 0x400;
constexpr std::uint32_t kTagHeaderOffset = 0x600;
constexpr std::uint32_t kTagRootOffset = 0xA00;
constexpr std::uint64_t kFreshLength = 0xC00;
constexpr std::size_t kMaxDepth = 16;

std::string normalizedExpression(std::string_view expression) {
    std::string out;
    for (char c : expression) {
        if (c == ' ') continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

template <std::size_t N>
void place(std::vector<unsigned char>& image, std::uint32_t offset, const std::array<unsigned char, N>& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + offset);
}

std::vector<unsigned char> freshImage() {
    std::vector<unsigned char> image(kFreshLength, 0);
    cdx::HeaderPage header{};
    cdx::Header compound;
    compound.root = kDirectoryOffset;
    compound.keyLength = static_cast<std::uint16_t>(kDirectoryFormat.length);
    compound.options = cdx::kOptionCompact | cdx::kOptionCompound | cdx::kOptionBag;
    cdx::encodeHeader(compound, header);
    place(image, 0, header);

    cdx::Page page{};
    cdx::Node directory;
    directory.root = true;
    directory.entries.push_back({std::string(Index::kTagName).append(10 - Index::kTagName.size(), '\0'),
                                 kTagHeaderOffset, 0});
    cdx::encodeNode(directory, kDirectoryFormat, page);
    place(image, kDirectoryOffset, page);

    cdx::Header tag;
    tag.root = kTagRootOffset;
    tag.keyLength = static_cast<std::uint16_t>(Index::kKeyLength);
    tag.options = cdx::kOptionCompact | cdx::kOptionCompound;
    tag.keyExpression = std::string(Index::kKeyExpression);
    cdx::encodeHeader(tag, header);
    place(image, kTagHeaderOffset, header);

    cdx::Node root;
    root.root = true;
    cdx::encodeNode(root, kTagFormat, page);
    place(image, kTagRootOffset, page);
    return image;
}

cdx::Entry lastOf(const cdx::Node& node, std::uint32_t child) {
    return {node.entries.back().key, node.entries.back().recno, child};
}

} // namespace

struct Index::Walk {
    std::vector<bool> seen;        // pages met so far, against loops and shared pages
    std::vector<cdx::Node> leaves; // leaves in key order, without their entries
    std::optional<cdx::Entry> last;
    std::uint64_t count = 0;
    std::vector<cdx::Entry>* collect = nullptr;
};

bool Index::writeEmpty(File& file) {
    const std::vector<unsigned char> image = freshImage();
    return file.writeAt(0, image.data(), image.size()) && file.truncate(static_cast<long long>(image.size()));
}

Index::Check Index::attach(File file) {
    const long long length = file.length();
    if (length < static_cast<long long>(kFreshLength) || length % kPageSize != 0 || length > 0xFFFFF000LL)
        return Check::NotOurs;
    file_ = std::move(file);
    fileEnd_ = static_cast<std::uint64_t>(length);
    cdx::HeaderPage page{};
    cdx::Header compound, tag;
    std::uint32_t tagOffset = 0;
    if (!file_.readAt(0, page.data(), page.size()) || !cdx::decodeHeader(page, compound) ||
        compound.keyLength != kDirectoryFormat.length || !findTag(compound, tagOffset))
        return Check::NotOurs;
    if (tagOffset % kPageSize != 0 || tagOffset < cdx::kHeaderPageSize ||
        tagOffset + cdx::kHeaderPageSize > fileEnd_ || !file_.readAt(tagOffset, page.data(), page.size()) ||
        !cdx::decodeHeader(page, tag))
        return Check::NotOurs;
    // Only a plain ascending tag on our expression can be kept up by inserting keys.
    if (tag.keyLength != kKeyLength || (tag.options & (cdx::kOptionUnique | cdx::kOptionFor)) != 0 ||
        tag.descending || normalizedExpression(tag.keyExpression) != normalizedExpression(kKeyExpression) ||
        !normalizedExpression(tag.forExpression).empty())
        return Check::NotOurs;
    root_ = tag.root;
    Walk state;
    if (!walkTree(root_, kTagFormat, state)) return Check::Damaged;
    count_ = state.count;
    return Check::Sound;
}

bool Index::findTag(const cdx::Header& compound, std::uint32_t& tagOffset) const {
    std::vector<cdx::Entry> tags;
    Walk state;
    state.collect = &tags;
    if (!walkTree(compound.root, kDirectoryFormat, state) || tags.size() != 1) return false;
    std::string name = normalizedExpression(tags.front().key.c_str());
    if (name != kTagName) return false;
    tagOffset = tags.front().recno;
    return true;
}

bool Index::walkTree(std::uint32_t root, const cdx::KeyFormat& format, Walk& state) const {
    state.seen.assign(static_cast<std::size_t>(fileEnd_ / kPageSize), false);
    if (!walk(root, format, 0, nullptr, state)) return false;
    // The leaves must be chained left to right in key order: lookups follow the chain.
    const auto& leaves = state.leaves;
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        const std::uint32_t left = i > 0 ? leaves[i - 1].offset : kNoPage;
        const std::uint32_t right = i + 1 < leaves.size() ? leaves[i + 1].offset : kNoPage;
        if (leaves[i].left != left || leaves[i].right != right) return false;
    }
    return true;
}

bool Index::walk(std::uint32_t offset, const cdx::KeyFormat& format, int depth, const cdx::Entry* bound,
                 Walk& state) const {
    cdx::Node node;
    if (static_cast<std::size_t>(depth) >= kMaxDepth || !readNode(offset, format, node)) return false;
    if (state.seen[offset / kPageSize]) return false;
    state.seen[offset / kPageSize] = true;
    if (node.leaf) {
        for (cdx::Entry& e : node.entries) {
            if ((state.last && cdx::compare(*state.last, e) >= 0) || (bound && cdx::compare(e, *bound) > 0))
                return false;
            ++state.count;
            state.last = e;
            if (state.collect) state.collect->push_back(std::move(e));
        }
        node.entries.clear();
        state.leaves.push_back(std::move(node));
        return true;
    }
    // Each interior entry is the highest key of its child, so entries ascend and no
    // key below an entry may exceed it.
    if (node.entries.empty()) return false;
    const cdx::Entry* previous = nullptr;
    for (const cdx::Entry& e : node.entries) {
        if ((previous && cdx::compare(*previous, e) >= 0) || (bound && cdx::compare(e, *bound) > 0)) return false;
        if (!walk(e.child, format, depth + 1, &e, state)) return false;
        previous = &e;
    }
    return true;
}

bool Index::readNode(std::uint32_t offset, const cdx::KeyFormat& format, cdx::Node& node) const {
    if (offset % kPageSize != 0 || offset < cdx::kHeaderPageSize || offset + kPageSize > fileEnd_) return false;
    cdx::Page page{};
    if (!file_.readAt(offset, page.data(), page.size())) return false;
    node.offset = offset;
    return cdx::decodeNode(page, format, node);
}

bool Index::writeNode(const cdx::Node& node) {
    cdx::Page page{};
    return cdx::encodeNode(node, kTagFormat, page) && file_.writeAt(node.offset, page.data(), page.size());
}

bool Index::allocatePage(std::uint32_t& offset) {
    if (fileEnd_ + kPageSize > 0xFFFFF000ULL) return false;
    offset = static_cast<std::uint32_t>(fileEnd_);
    fileEnd_ += kPageSize;
    return true;
}

bool Index::insert(std::string_view key, std::uint32_t recno) {
    if (!file_.writable() || key.size() != kKeyLength) return false;
    const cdx::Entry entry{std::string(key), recno, 0};
    auto notBelow = [&entry](const cdx::Entry& e) { return cdx::compare(e, entry) >= 0; };
    struct Step {
        cdx::Node node;
        std::size_t index;
    };
    std::vector<Step> path;
    cdx::Node node;
    if (!readNode(root_, kTagFormat, node)) return false;
    while (!node.leaf) {
        if (node.entries.empty() || path.size() >= kMaxDepth) return false;
        // The first child whose highest key is not below the new one; past all of
        // them the key goes to the last child, whose entry then grows.
        const auto it = std::find_if(node.entries.begin(), node.entries.end(), notBelow);
        const std::size_t i = it == node.entries.end() ? node.entries.size() - 1 : std::size_t(it - node.entries.begin());
        const std::uint32_t child = node.entries[i].child;
        path.push_back({std::move(node), i});
        if (!readNode(child, kTagFormat, node)) return false;
    }
    const auto pos = std::find_if(node.entries.begin(), node.entries.end(), notBelow);
    bool appendAtEnd = pos == node.entries.end() && node.right == kNoPage;
    node.entries.insert(pos, entry);
    std::vector<cdx::Node> pieces;
    if (!store(node, appendAtEnd, pieces)) return false;
    while (!path.empty()) {
        Step step = std::move(path.back());
        path.pop_back();
        cdx::Entry& slot = step.node.entries[step.index];
        const cdx::Entry highest = lastOf(pieces.front(), slot.child);
        if (pieces.size() == 1 && cdx::compare(slot, highest) == 0) break; // nothing above changes
        appendAtEnd = appendAtEnd && step.index + 1 == step.node.entries.size() && step.node.right == kNoPage;
        slot = highest;
        if (pieces.size() == 2)
            step.node.entries.insert(step.node.entries.begin() + static_cast<std::ptrdiff_t>(step.index) + 1,
                                     lastOf(pieces[1], pieces[1].offset));
        std::vector<cdx::Node> up;
        if (!store(step.node, appendAtEnd, up)) return false;
        pieces = std::move(up);
    }
    ++count_;
    return true;
}

bool Index::store(cdx::Node& node, bool appendAtEnd, std::vector<cdx::Node>& pieces) {
    cdx::Page page{};
    if (cdx::encodeNode(node, kTagFormat, page)) {
        if (!file_.writeAt(node.offset, page.data(), page.size())) return false;
        pieces.push_back(std::move(node));
        return true;
    }
    const std::size_t at = splitPoint(node, appendAtEnd);
    if (at == 0) return false;
    if (!node.root) return splitPage(node, at, pieces);
    if (!splitRoot(node, at)) return false;
    pieces.push_back(std::move(node));
    return true;
}

std::size_t Index::splitPoint(const cdx::Node& node, bool appendAtEnd) const {
    const std::size_t n = node.entries.size();
    auto fits = [&node](std::size_t from, std::size_t to) {
        cdx::Node half;
        half.leaf = node.leaf;
        half.entries = std::vector<cdx::Entry>(node.entries.begin() + static_cast<std::ptrdiff_t>(from),
                                               node.entries.begin() + static_cast<std::ptrdiff_t>(to));
        cdx::Page scratch{};
        return cdx::encodeNode(half, kTagFormat, scratch);
    };
    // Keys that arrive in ascending order leave full pages behind them; otherwise
    // the page splits near its middle, where both halves fit.
    if (appendAtEnd && n >= 2 && fits(0, n - 1)) return n - 1;
    for (std::size_t step = 0; step < n; ++step) {
        for (const std::size_t at : {n / 2 - step / 2, n / 2 + (step + 1) / 2}) {
            if (at >= 1 && at < n && fits(0, at) && fits(at, n)) return at;
        }
    }
    return 0;
}

bool Index::splitRoot(cdx::Node& node, std::size_t at) {
    // The root keeps its page: its entries move into two new children first, and only
    // then is the root rewritten to point at them.
    cdx::Node left, right;
    if (!allocatePage(left.offset) || !allocatePage(right.offset)) return false;
    left.leaf = right.leaf = node.leaf;
    left.right = right.offset;
    right.left = left.offset;
    left.entries.assign(node.entries.begin(), node.entries.begin() + static_cast<std::ptrdiff_t>(at));
    right.entries.assign(node.entries.begin() + static_cast<std::ptrdiff_t>(at), node.entries.end());
    if (!writeNode(right) || !writeNode(left)) return false;
    node.leaf = false;
    node.left = node.right = kNoPage;
    node.entries = {lastOf(left, left.offset), lastOf(right, right.offset)};
    return writeNode(node);
}

bool Index::splitPage(cdx::Node& node, std::size_t at, std::vector<cdx::Node>& pieces) {
    cdx::Node right;
    if (!allocatePage(right.offset)) return false;
    right.leaf = node.leaf;
    right.left = node.offset;
    right.right = node.right;
    right.entries.assign(node.entries.begin() + static_cast<std::ptrdiff_t>(at), node.entries.end());
    node.entries.resize(at);
    const std::uint32_t oldRight = node.right;
    node.right = right.offset;
    // The new page is written before anything points to it.
    if (!writeNode(right) || !writeNode(node)) return false;
    if (oldRight != kNoPage) {
        if (oldRight % kPageSize != 0 || oldRight + kPageSize > fileEnd_) return false;
        std::array<unsigned char, 4> pointer{};
        putLE(pointer.data(), 4, right.offset);
        if (!file_.writeAt(oldRight + 4, pointer.data(), pointer.size())) return false;
    }
    pieces.push_back(std::move(node));
    pieces.push_back(std::move(right));
    return true;
}

bool Index::reset() {
    if (!file_.writable() || !writeEmpty(file_)) return false;
    root_ = kTagRootOffset;
    fileEnd_ = kFreshLength;
    count_ = 0;
    return true;
}

bool Index::rebuild(std::vector<cdx::Entry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const cdx::Entry& a, const cdx::Entry& b) { return cdx::compare(a, b) < 0; });
    if (!reset()) return false;
    for (const cdx::Entry& e : entries)
        if (!insert(e.key, e.recno)) return false;
    return true;
}

bool Index::scan(std::string_view prefix, const std::function<bool(std::uint32_t)>& visit) const {
    if (prefix.size() > kKeyLength) return true;
    auto order = [prefix](const cdx::Entry& e) { return e.key.compare(0, prefix.size(), prefix); };
    auto notBelow = [&order](const cdx::Entry& e) { return order(e) >= 0; };
    cdx::Node node;
    if (!readNode(root_, kTagFormat, node)) return false;
    for (std::size_t depth = 0; !node.leaf; ++depth) {
        const auto it = std::find_if(node.entries.begin(), node.entries.end(), notBelow);
        if (it == node.entries.end()) return true;
        if (depth >= kMaxDepth || !readNode(it->child, kTagFormat, node)) return false;
    }
    auto it = std::find_if(node.entries.begin(), node.entries.end(), notBelow);
    std::size_t i = static_cast<std::size_t>(it - node.entries.begin());
    // Matches may run on into the right neighbours; no chain is longer than the file.
    for (std::uint64_t pages = 0; pages <= fileEnd_ / kPageSize; ++pages) {
        for (; i < node.entries.size(); ++i) {
            const int c = order(node.entries[i]);
            if (c > 0) return true;
            if (c == 0 && !visit(node.entries[i].recno)) return true;
        }
        const std::uint32_t next = node.right;
        if (next == kNoPage) return true;
        if (!readNode(next, kTagFormat, node)) return false;
        i = 0;
    }
    return false;
}

bool Index::entries(std::vector<cdx::Entry>& out) const {
    out.clear();
    Walk state;
    state.collect = &out;
    return walkTree(root_, kTagFormat, state);
}

} // namespace arti::xbase
