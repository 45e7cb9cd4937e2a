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
void place(std::vector<unsigned char>& image, std::uint32_t offset,
           const std::array<unsigned char, N>& bytes) {
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
    directory.entries.push_back(
        {std::string(Index::kTagName).append(10 - Index::kTagName.size(), '\0'), kTagHeaderOffset, 0});
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

Index::Check Index::attach(File file, std::vector<cdx::Entry>* keys) {
    pages_.clear();
    changed_.clear();
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
    state.collect = keys;
    if (!walkTree(root_, kTagFormat, state)) return Check::Damaged;
    count_ = state.count;
    return Check::Sound;
}

void Index::close() {
    pages_.clear();
    changed_.clear();
    file_.close();
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
        if ((previous && cdx::compare(*previous, e) >= 0) || (bound && cdx::compare(e, *bound) > 0))
            return false;
        if (!walk(e.child, format, depth + 1, &e, state)) return false;
        previous = &e;
    }
    return true;
}

bool Index::readNode(std::uint32_t offset, const cdx::KeyFormat& format, cdx::Node& node) const {
    if (offset % kPageSize != 0 || offset < cdx::kHeaderPageSize || offset + kPageSize > fileEnd_)
        return false;
    // Only pages of the tag are kept in memory; the directory is always read.
    if (format.length == kTagFormat.length && format.fill == kTagFormat.fill) {
        const cdx::Node* kept = tagNode(offset);
        if (!kept) return false;
        node = *kept;
        return true;
    }
    cdx::Page page{};
    if (!file_.readAt(offset, page.data(), page.size())) return false;
    node.offset = offset;
    return cdx::decodeNode(page, format, node);
}

const cdx::Node* Index::tagNode(std::uint32_t offset) const {
    if (offset % kPageSize != 0 || offset < cdx::kHeaderPageSize || offset + kPageSize > fileEnd_)
        return nullptr;
    if (const auto it = pages_.find(offset); it != pages_.end()) return &it->second;
    cdx::Page page{};
    cdx::Node node;
    node.offset = offset;
    if (!file_.readAt(offset, page.data(), page.size()) || !cdx::decodeNode(page, kTagFormat, node))
        return nullptr;
    // Beyond its limit the memory takes no more pages; such a page lives until the next read.
    if (pages_.size() >= kKeptPages) {
        passing_ = std::move(node);
        return &passing_;
    }
    return &pages_.insert_or_assign(offset, std::move(node)).first->second;
}

void Index::writeNode(cdx::Node node) {
    changed_.push_back(node.offset);
    pages_.insert_or_assign(node.offset, std::move(node));
}

bool Index::flush() {
    if (changed_.empty()) return true;
    std::sort(changed_.begin(), changed_.end());
    changed_.erase(std::unique(changed_.begin(), changed_.end()), changed_.end());
    // Runs of adjacent pages go out in one write each, the highest first: pages added
    // at the end reach the file before the old pages that now point at them.
    std::string run;
    std::size_t end = changed_.size();
    while (end > 0) {
        std::size_t begin = end - 1;
        while (begin > 0 && changed_[begin - 1] + kPageSize == changed_[begin])
            --begin;
        run.assign((end - begin) * kPageSize, '\0');
        for (std::size_t i = begin; i < end; ++i) {
            cdx::Page page{};
            const auto it = pages_.find(changed_[i]);
            if (it == pages_.end() || !cdx::encodeNode(it->second, kTagFormat, page)) return false;
            std::copy(page.begin(), page.end(),
                      run.begin() + static_cast<std::ptrdiff_t>((i - begin) * kPageSize));
        }
        if (!file_.writeAt(changed_[begin], run)) return false;
        changed_.resize(begin);
        end = begin;
    }
    return true;
}

bool Index::trimCache() {
    // A large tree is not kept whole: once many pages are held, they are written and let go.
    if (pages_.size() + 4 * kMaxDepth < kKeptPages) return true;
    if (!flush()) return false;
    pages_.clear();
    return true;
}

bool Index::allocatePage(std::uint32_t& offset) {
    if (fileEnd_ + kPageSize > 0xFFFFF000ULL) return false;
    offset = static_cast<std::uint32_t>(fileEnd_);
    fileEnd_ += kPageSize;
    return true;
}

bool Index::insert(std::string_view key, std::uint32_t recno) {
    if (!file_.writable() || key.size() != kKeyLength || !trimCache()) return false;
    const cdx::Entry entry{std::string(key), recno, 0};
    auto notBelow = [&entry](const cdx::Entry& e) { return cdx::compare(e, entry) >= 0; };
    struct Step {
        std::uint32_t offset;
        std::size_t index;
    };
    std::vector<Step> path;
    std::uint32_t offset = root_;
    for (const cdx::Node* at = tagNode(offset); !at || !at->leaf; at = tagNode(offset)) {
        if (!at || at->entries.empty() || path.size() >= kMaxDepth) return false;
        // The first child whose highest key is not below the new one; past all of
        // them the key goes to the last child, whose entry then grows.
        const auto it = std::find_if(at->entries.begin(), at->entries.end(), notBelow);
        const std::size_t i =
            it == at->entries.end() ? at->entries.size() - 1 : std::size_t(it - at->entries.begin());
        path.push_back({offset, i});
        offset = at->entries[i].child;
    }
    // The pages change where they are kept; a failure on the way drops every change
    // not yet written, and the table then finds the index behind and rebuilds it.
    cdx::Node* leaf = keptNode(offset);
    if (!leaf) return false;
    const auto pos = std::find_if(leaf->entries.begin(), leaf->entries.end(), notBelow);
    bool appendAtEnd = pos == leaf->entries.end() && leaf->right == kNoPage;
    leaf->entries.insert(pos, entry);
    std::vector<Piece> pieces;
    bool stored = store(*leaf, appendAtEnd, pieces);
    while (stored && !path.empty()) {
        const Step step = path.back();
        path.pop_back();
        cdx::Node* kept = keptNode(step.offset);
        if (!kept) {
            stored = false;
            break;
        }
        cdx::Node& parent = *kept;
        cdx::Entry& slot = parent.entries[step.index];
        if (pieces.size() == 1 && cdx::compare(slot, pieces.front().last) == 0)
            break; // nothing above changes
        appendAtEnd = appendAtEnd && step.index + 1 == parent.entries.size() && parent.right == kNoPage;
        slot.key = pieces.front().last.key;
        slot.recno = pieces.front().last.recno;
        if (pieces.size() == 2) {
            const cdx::Entry added{pieces[1].last.key, pieces[1].last.recno, pieces[1].offset};
            parent.entries.insert(parent.entries.begin() + static_cast<std::ptrdiff_t>(step.index) + 1,
                                  added);
        }
        std::vector<Piece> up;
        stored = store(parent, appendAtEnd, up);
        pieces = std::move(up);
    }
    if (!stored) {
        pages_.clear();
        changed_.clear();
        return false;
    }
    ++count_;
    return deferred_ || flush();
}

cdx::Node* Index::keptNode(std::uint32_t offset) {
    if (const auto it = pages_.find(offset); it != pages_.end()) return &it->second;
    // Read while the memory was full: kept all the same, as it is about to change.
    if (!tagNode(offset)) return nullptr;
    const auto it = pages_.find(offset);
    return it != pages_.end() ? &it->second : &pages_.emplace(offset, std::move(passing_)).first->second;
}

bool Index::store(cdx::Node& node, bool appendAtEnd, std::vector<Piece>& pieces) {
    if (cdx::fitsInPage(node.entries.data(), node.entries.size(), node.leaf, kTagFormat)) {
        changed_.push_back(node.offset);
        pieces.push_back({node.offset, node.entries.back()});
        return true;
    }
    const std::size_t at = splitPoint(node, appendAtEnd);
    if (at == 0) return false;
    if (node.root) return splitRoot(node, at);
    return splitPage(node, at, pieces);
}

std::size_t Index::splitPoint(const cdx::Node& node, bool appendAtEnd) const {
    const std::size_t n = node.entries.size();
    auto fits = [&node](std::size_t from, std::size_t to) {
        return cdx::fitsInPage(node.entries.data() + from, to - from, node.leaf, kTagFormat);
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
    // The root keeps its page: its entries move into two new children, and it points
    // at them. The root has no parent to tell.
    cdx::Node left, right;
    if (!allocatePage(left.offset) || !allocatePage(right.offset)) return false;
    left.leaf = right.leaf = node.leaf;
    left.right = right.offset;
    right.left = left.offset;
    left.entries.assign(node.entries.begin(), node.entries.begin() + static_cast<std::ptrdiff_t>(at));
    right.entries.assign(node.entries.begin() + static_cast<std::ptrdiff_t>(at), node.entries.end());
    node.leaf = false;
    node.left = node.right = kNoPage;
    node.entries = {lastOf(left, left.offset), lastOf(right, right.offset)};
    changed_.push_back(node.offset);
    writeNode(std::move(right));
    writeNode(std::move(left));
    return true;
}

bool Index::splitPage(cdx::Node& node, std::size_t at, std::vector<Piece>& pieces) {
    cdx::Node right;
    if (!allocatePage(right.offset)) return false;
    right.leaf = node.leaf;
    right.left = node.offset;
    right.right = node.right;
    right.entries.assign(node.entries.begin() + static_cast<std::ptrdiff_t>(at), node.entries.end());
    node.entries.resize(at);
    node.right = right.offset;
    if (right.right != kNoPage) {
        cdx::Node* neighbour = keptNode(right.right);
        if (!neighbour) return false;
        neighbour->left = right.offset;
        changed_.push_back(right.right);
    }
    changed_.push_back(node.offset);
    pieces.push_back({node.offset, node.entries.back()});
    pieces.push_back({right.offset, right.entries.back()});
    writeNode(std::move(right));
    return true;
}

bool Index::reset() {
    pages_.clear();
    changed_.clear();
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
    const bool deferred = deferred_;
    deferred_ = true;
    bool inserted = true;
    for (std::size_t i = 0; inserted && i < entries.size(); ++i)
        inserted = insert(entries[i].key, entries[i].recno);
    deferred_ = deferred;
    return inserted && flush();
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
