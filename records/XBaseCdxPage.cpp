#include "records/XBaseCdxPage.h"

#include "records/XBaseFile.h"

#include <algorithm>

namespace arti::xbase::cdx {

namespace {

constexpr std::size_t kLeafHeader = 24; // the other 488 bytes hold entries and keys
constexpr std::size_t kInteriorHeader = 12;
constexpr std::size_t kMaxKeyLength = 240;

unsigned bitLength(std::size_t v) {
    unsigned bits = 0;
    for (; v != 0; v >>= 1)
        ++bits;
    return bits;
}

std::uint16_t attributes(const Node& node) {
    return static_cast<std::uint16_t>((node.leaf ? 2 : 0) | (node.root ? 1 : 0));
}

std::size_t trailingFill(const std::string& key, unsigned char fill) {
    std::size_t n = 0;
    while (n < key.size() && static_cast<unsigned char>(key[key.size() - 1 - n]) == fill)
        ++n;
    return n;
}

std::size_t commonPrefix(const std::string& a, const std::string& b) {
    const std::size_t limit = std::min(a.size(), b.size());
    std::size_t n = 0;
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// Bit layout of a leaf's entries: record number, duplicate count, trailing count.
struct LeafBits {
    unsigned recBits = 0, dupBits = 0, trailBits = 0, entryBytes = 0;
};

LeafBits leafBits(const KeyFormat& format, std::uint32_t maxRecno) {
    LeafBits bits;
    bits.dupBits = bits.trailBits = bitLength(format.length);
    bits.entryBytes = bits.dupBits > 12 ? 5 : bits.dupBits > 8 ? 4 : 3;
    bits.recBits = 8 * bits.entryBytes - 2 * bits.dupBits;
    // Wider entries until the page's largest record number fits.
    while (bits.recBits < 32 && (std::uint64_t{maxRecno} >> bits.recBits) != 0) {
        ++bits.entryBytes;
        bits.recBits += 8;
    }
    return bits;
}

std::uint64_t lowMask(unsigned bits) {
    return bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
}

void putSiblings(const Node& node, Page& page) {
    putLE(page.data(), 2, attributes(node));
    putLE(page.data() + 2, 2, node.entries.size());
    putLE(page.data() + 4, 4, node.left);
    putLE(page.data() + 8, 4, node.right);
}

bool encodeLeaf(const Node& node, const KeyFormat& format, Page& page) {
    std::uint32_t maxRecno = 0;
    for (const Entry& e : node.entries)
        maxRecno = std::max(maxRecno, e.recno);
    const LeafBits bits = leafBits(format, maxRecno);
    const std::size_t tableEnd = kLeafHeader + node.entries.size() * bits.entryBytes;
    if (tableEnd > kPageSize) return false;
    std::size_t keyStart = kPageSize;
    const std::string* previous = nullptr;
    for (std::size_t i = 0; i < node.entries.size(); ++i) {
        const std::string& key = node.entries[i].key;
        if (key.size() != format.length) return false;
        const std::size_t trail = trailingFill(key, format.fill);
        const std::size_t dup = previous ? std::min(commonPrefix(*previous, key), format.length - trail) : 0;
        const std::size_t fresh = format.length - dup - trail;
        if (keyStart < tableEnd + fresh) return false;
        keyStart -= fresh;
        std::copy(key.begin() + static_cast<std::ptrdiff_t>(dup),
                  key.begin() + static_cast<std::ptrdiff_t>(dup + fresh),
                  page.begin() + static_cast<std::ptrdiff_t>(keyStart));
        const std::uint64_t v = node.entries[i].recno | (std::uint64_t{dup} << bits.recBits) |
                                (std::uint64_t{trail} << (bits.recBits + bits.dupBits));
        putLE(page.data() + kLeafHeader + i * bits.entryBytes, static_cast<int>(bits.entryBytes), v);
        previous = &key;
    }
    putLE(page.data() + 12, 2, keyStart - tableEnd);
    putLE(page.data() + 14, 4, lowMask(std::min(bits.recBits, 32u)));
    page[18] = static_cast<unsigned char>(lowMask(bits.dupBits));
    page[19] = static_cast<unsigned char>(lowMask(bits.trailBits));
    page[20] = static_cast<unsigned char>(bits.recBits);
    page[21] = static_cast<unsigned char>(bits.dupBits);
    page[22] = static_cast<unsigned char>(bits.trailBits);
    page[23] = static_cast<unsigned char>(bits.entryBytes);
    return true;
}

bool decodeLeaf(const Page& page, const KeyFormat& format, std::size_t count, Node& node) {
    const unsigned recBits = page[20], dupBits = page[21], trailBits = page[22], entryBytes = page[23];
    if (entryBytes < 1 || entryBytes > 8 || recBits + dupBits + trailBits != 8 * entryBytes) return false;
    if (recBits + dupBits >= 64) return false;
    const std::uint64_t recMask = getLE(page.data() + 14, 4);
    const std::uint64_t dupMask = page[18], trailMask = page[19];
    const std::size_t tableEnd = kLeafHeader + count * entryBytes;
    if (tableEnd > kPageSize) return false;
    std::size_t keyStart = kPageSize;
    std::string previous;
    for (std::size_t i = 0; i < count; ++i) {
        std::uint64_t v = 0;
        for (unsigned b = entryBytes; b-- > 0;)
            v = (v << 8) | page[kLeafHeader + i * entryBytes + b];
        const std::size_t dup = static_cast<std::size_t>((v >> recBits) & dupMask);
        const std::size_t trail = static_cast<std::size_t>((v >> (recBits + dupBits)) & trailMask);
        if (dup + trail > format.length || (i == 0 && dup != 0)) return false;
        const std::size_t fresh = format.length - dup - trail;
        if (keyStart < tableEnd + fresh) return false;
        keyStart -= fresh;
        Entry e;
        e.recno = static_cast<std::uint32_t>(v & recMask);
        e.key.assign(previous, 0, dup);
        e.key.append(reinterpret_cast<const char*>(page.data() + keyStart), fresh);
        e.key.append(trail, static_cast<char>(format.fill));
        previous = e.key;
        node.entries.push_back(std::move(e));
    }
    return true;
}

bool encodeInterior(const Node& node, const KeyFormat& format, Page& page) {
    if (node.entries.size() > interiorCapacity(format)) return false;
    std::size_t at = kInteriorHeader;
    for (const Entry& e : node.entries) {
        if (e.key.size() != format.length) return false;
        std::copy(e.key.begin(), e.key.end(), page.begin() + static_cast<std::ptrdiff_t>(at));
        putBE(page.data() + at + format.length, 4, e.recno);
        putBE(page.data() + at + format.length + 4, 4, e.child);
        at += format.length + 8;
    }
    return true;
}

bool decodeInterior(const Page& page, const KeyFormat& format, std::size_t count, Node& node) {
    if (count > interiorCapacity(format)) return false;
    std::size_t at = kInteriorHeader;
    for (std::size_t i = 0; i < count; ++i, at += format.length + 8) {
        Entry e;
        e.key.assign(reinterpret_cast<const char*>(page.data() + at), format.length);
        e.recno = getBE(page.data() + at + format.length, 4);
        e.child = getBE(page.data() + at + format.length + 4, 4);
        node.entries.push_back(std::move(e));
    }
    return true;
}

} // namespace

int compare(const Entry& a, const Entry& b) {
    // std::string compares its bytes as unsigned char, the index's machine order.
    if (const int c = a.key.compare(b.key); c != 0) return c < 0 ? -1 : 1;
    return a.recno < b.recno ? -1 : a.recno > b.recno ? 1 : 0;
}

std::size_t interiorCapacity(const KeyFormat& format) {
    return (kPageSize - kInteriorHeader) / (format.length + 8);
}

bool fitsInPage(const Entry* first, std::size_t count, bool leaf, const KeyFormat& format) {
    if (format.length == 0 || format.length > kMaxKeyLength) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (first[i].key.size() != format.length) return false;
    if (!leaf) return count <= interiorCapacity(format);
    std::uint32_t maxRecno = 0;
    for (std::size_t i = 0; i < count; ++i)
        maxRecno = std::max(maxRecno, first[i].recno);
    // The entry table grows from the header, the keys' new bytes from the page end.
    std::size_t used = kLeafHeader + count * leafBits(format, maxRecno).entryBytes;
    for (std::size_t i = 0; i < count && used <= kPageSize; ++i) {
        const std::size_t trail = trailingFill(first[i].key, format.fill);
        const std::size_t dup =
            i > 0 ? std::min(commonPrefix(first[i - 1].key, first[i].key), format.length - trail) : 0;
        used += format.length - dup - trail;
    }
    return used <= kPageSize;
}

bool decodeNode(const Page& page, const KeyFormat& format, Node& node) {
    if (format.length == 0 || format.length > kMaxKeyLength) return false;
    const std::uint32_t attr = getLE(page.data(), 2);
    if (attr > 3) return false;
    node.leaf = (attr & 2) != 0;
    node.root = (attr & 1) != 0;
    node.left = getLE(page.data() + 4, 4);
    node.right = getLE(page.data() + 8, 4);
    node.entries.clear();
    const std::size_t count = getLE(page.data() + 2, 2);
    return node.leaf ? decodeLeaf(page, format, count, node) : decodeInterior(page, format, count, node);
}

bool encodeNode(const Node& node, const KeyFormat& format, Page& page) {
    page.fill(0);
    if (format.length == 0 || format.length > kMaxKeyLength) return false;
    putSiblings(node, page);
    return node.leaf ? encodeLeaf(node, format, page) : encodeInterior(node, format, page);
}

void encodeHeader(const Header& header, HeaderPage& out) {
    out.fill(0);
    putLE(out.data(), 4, header.root);
    putLE(out.data() + 12, 2, header.keyLength);
    out[14] = header.options;
    out[15] = 0x01;
    putLE(out.data() + 502, 2, header.descending ? 1 : 0);
    // Pool: the key expression and its NUL, then the FOR expression and its NUL.
    const std::size_t keyLen = std::min(header.keyExpression.size(), std::size_t{250}) + 1;
    const std::size_t forLen = std::min(header.forExpression.size(), std::size_t{250}) + 1;
    putLE(out.data() + 504, 2, keyLen);
    putLE(out.data() + 506, 2, forLen);
    putLE(out.data() + 508, 2, 0);
    putLE(out.data() + 510, 2, keyLen);
    std::copy_n(header.keyExpression.begin(), keyLen - 1, out.begin() + 512);
    std::copy_n(header.forExpression.begin(), forLen - 1,
                out.begin() + 512 + static_cast<std::ptrdiff_t>(keyLen));
}

bool decodeHeader(const HeaderPage& in, Header& header) {
    header.root = getLE(in.data(), 4);
    header.keyLength = static_cast<std::uint16_t>(getLE(in.data() + 12, 2));
    header.options = in[14];
    header.descending = getLE(in.data() + 502, 2) != 0;
    if (header.keyLength == 0 || header.keyLength > kMaxKeyLength) return false;
    auto expression = [&in](std::size_t pos, std::size_t len, std::string& out) {
        if (pos > 512 || len > 512 - pos) return false;
        const char* start = reinterpret_cast<const char*>(in.data() + 512 + pos);
        out.assign(start, std::find(start, start + len, '\0'));
        return true;
    };
    return expression(getLE(in.data() + 508, 2), getLE(in.data() + 510, 2), header.keyExpression) &&
           expression(getLE(in.data() + 504, 2), getLE(in.data() + 506, 2), header.forExpression);
}

} // namespace arti::xbase::cdx
