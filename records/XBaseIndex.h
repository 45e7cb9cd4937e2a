// The compound index file beside the long-text table with its one tag INTEXT on
// upper(INDEX): a B-tree of 11-byte keys in FoxPro CDX layout. Keys go in one at a
// time; a page that overflows splits in two and its parent gets an entry for the new
// page, and a full root moves its content into two new pages and stays where it is,
// so the tag header never changes. New pages are written before anything points to
// them. An insert cut short by a crash leaves a tree that attach() reports as
// damaged or whose key count no longer matches the table; the table then rebuilds it.
//
// Pages read are kept decoded in memory, so that a lookup or insert does not read the
// file again. Pages changed by an insert are written at its end, or, after
// deferWrites(true), collected until flush(): new pages first, so that an interrupted
// flush never leaves a page pointing at one that is not there.
#pragma once

#include "records/XBaseCdxPage.h"
#include "records/XBaseFile.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace arti::xbase {

class Index {
public:
    static constexpr std::size_t kKeyLength = 11;
    static constexpr std::string_view kTagName = "INTEXT";
    static constexpr std::string_view kKeyExpression = "upper(INDEX)";

    enum class Check {
        Sound,   // headers, directory and tag tree are in order
        Damaged, // our tag's headers are there, but its tree is broken
        NotOurs, // not a compound index with just the tag INTEXT on upper(INDEX)
    };

    // Turns `file` (opened writable) into an index with the empty tag.
    static bool writeEmpty(File& file);

    // Takes over an open index file and checks every page of it. When `keys` is given
    // and the tree is sound, it receives all keys in index order.
    Check attach(File file, std::vector<cdx::Entry>* keys = nullptr);
    // Releases the file; changes not yet flushed are dropped.
    void close();

    // Collects the pages changed by inserts until flush() instead of writing them at once.
    void deferWrites(bool on) { deferred_ = on; }
    // Writes the changed pages. False when a write fails; they then stay collected.
    bool flush();

    // Number of keys in the tag (as counted by attach and kept up by insert).
    std::uint64_t size() const { return count_; }

    // Adds a key of exactly kKeyLength bytes for a record.
    bool insert(std::string_view key, std::uint32_t recno);
    // Empties the tag: the file becomes the same bytes as a fresh one.
    bool reset();
    // Empties the tag and fills it with these keys (any order).
    bool rebuild(std::vector<cdx::Entry> entries);

    // Calls `visit` with the record number of every key that begins with `prefix`,
    // in index order, until it returns false. False on a damaged page.
    bool scan(std::string_view prefix, const std::function<bool(std::uint32_t)>& visit) const;

    // All keys in index order.
    bool entries(std::vector<cdx::Entry>& out) const;

private:
    struct Walk;
    // A page stored by an insert, with its highest key, for the entry of its parent.
    struct Piece {
        std::uint32_t offset;
        cdx::Entry last;
    };

    bool readNode(std::uint32_t offset, const cdx::KeyFormat& format, cdx::Node& node) const;
    // A page of the tag as it stands now: from memory, else read from the file and kept.
    const cdx::Node* tagNode(std::uint32_t offset) const;
    // Takes a changed page of the tag; it reaches the file at the next flush.
    void writeNode(cdx::Node node);
    bool trimCache();
    bool allocatePage(std::uint32_t& offset);
    bool walk(std::uint32_t offset, const cdx::KeyFormat& format, int depth, const cdx::Entry* bound,
              Walk& state) const;
    bool walkTree(std::uint32_t root, const cdx::KeyFormat& format, Walk& state) const;
    bool findTag(const cdx::Header& compound, std::uint32_t& tagOffset) const;
    // A page of the tag kept in memory to be changed there; null when it cannot be read.
    cdx::Node* keptNode(std::uint32_t offset);
    bool store(cdx::Node& node, bool appendAtEnd, std::vector<Piece>& pieces);
    bool splitRoot(cdx::Node& node, std::size_t at);
    bool splitPage(cdx::Node& node, std::size_t at, std::vector<Piece>& pieces);
    std::size_t splitPoint(const cdx::Node& node, bool appendAtEnd) const;

    File file_;
    std::uint32_t root_ = 0;
    std::uint64_t fileEnd_ = 0; // the file's length once the changed pages are written
    std::uint64_t count_ = 0;
    static constexpr std::size_t kKeptPages = 8192;
    bool deferred_ = false;
    mutable std::unordered_map<std::uint32_t, cdx::Node> pages_; // tag pages by offset
    mutable cdx::Node passing_;                                  // a page read while pages_ is full
    std::vector<std::uint32_t> changed_;                         // offsets of pages to write
};

} // namespace arti::xbase
