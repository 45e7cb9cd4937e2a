// Pages of a FoxPro compound index (.CDX). Every page is 512 bytes; pointers between
// pages are byte offsets in the file. Leaf pages hold compressed keys (a shared prefix
// with the previous key and a count of trailing fill bytes, packed from the page end
// downwards); interior pages hold, per child, the child's highest key and record
// number. The two 1024-byte header pages (the file's compound header and each tag's
// header) carry the root offset, key length, options and the key expression.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace arti::xbase::cdx {

constexpr std::size_t kPageSize = 512;
constexpr std::size_t kHeaderPageSize = 1024;
constexpr std::uint32_t kNoPage = 0xFFFFFFFF;

using Page = std::array<unsigned char, kPageSize>;
using HeaderPage = std::array<unsigned char, kHeaderPageSize>;

// How the keys of one tree are stored: their fixed length and the byte that pads
// them (blank for character keys, NUL for the tag names of the directory).
struct KeyFormat {
    std::size_t length = 0;
    unsigned char fill = ' ';
};

// One key of a page. `key` is always the full, fill-padded key; `child` is used by
// interior pages only.
struct Entry {
    std::string key;
    std::uint32_t recno = 0;
    std::uint32_t child = 0;
};

// Order of the index: unsigned bytes of the padded key, then the record number.
int compare(const Entry& a, const Entry& b);

struct Node {
    std::uint32_t offset = 0;
    bool leaf = true;
    bool root = false;
    std::uint32_t left = kNoPage;
    std::uint32_t right = kNoPage;
    std::vector<Entry> entries;
};

// Most entries an interior page can hold for this key length (26 for 11 bytes).
std::size_t interiorCapacity(const KeyFormat& format);

// Reads a page. False for anything that is not a well-formed leaf or interior page
// of this key format; no byte outside the page is ever touched.
bool decodeNode(const Page& page, const KeyFormat& format, Node& node);

// Writes a node into a page image. False when the entries do not fit.
bool encodeNode(const Node& node, const KeyFormat& format, Page& page);
// Whether `count` entries from `first` fit into one leaf or interior page, as
// encodeNode would find, without writing one.
bool fitsInPage(const Entry* first, std::size_t count, bool leaf, const KeyFormat& format);

// Options byte of a header.
constexpr unsigned char kOptionUnique = 0x01;
constexpr unsigned char kOptionFor = 0x08;
constexpr unsigned char kOptionCompact = 0x20;
constexpr unsigned char kOptionCompound = 0x40;
constexpr unsigned char kOptionBag = 0x80;

struct Header {
    std::uint32_t root = 0;
    std::uint16_t keyLength = 0;
    unsigned char options = 0;
    bool descending = false;
    std::string keyExpression;
    std::string forExpression;
};

void encodeHeader(const Header& header, HeaderPage& out);
// False when the expressions lie outside the pool or the key length is 0 or above
// the 240 bytes a page can hold.
bool decodeHeader(const HeaderPage& in, Header& header);

} // namespace arti::xbase::cdx
