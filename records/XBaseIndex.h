// The compound index file beside the long-text table with its one tag INTEXT on
// upper(INDEX): a B-tree of 11-byte keys in FoxPro CDX layout. Keys go in one at a
// time; a page that overflows splits in two and its parent gets an entry for the new
// page, and a full root moves its content into two new pages and stays where it is,
// so the tag header never changes. New pages are written before anything points to
// them. An insert cut short by a crash leaves a tree that attach() reports as
// damaged or whose key count no longer matches the table; the table then rebuilds it.
#pragma once

#include "records/XBaseCdxPage.h"
#include "records/XBaseFile.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace arti::xbase {

class Index {
public:
    static constexpr std::size_t kKeyLength = 11;
    static constexpr std::string_view kTagName = "INTEXT";
    static constexpr std::string_view kKeyExpression = "upper(INDEX)";

    enum class Check {
        Sound,      // headers, directory and tag tree are in order
        Damaged,    // our tag's headers are there, but its tree is broken
        NotOurs,    // not a compound index with just the tag INTEXT on upper(INDEX)
    };

    // Turns `file` (opened writable) into an index with the empty tag.
    static bool writeEmpty(File& file);

    // Takes over an open index file and checks every page of it.
    Check attach(File file);
    void close() { file_.close(); }

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

    bool readNode(std::uint32_t offset, const cdx::KeyFormat& format, cdx::Node& node) const;
    bool writeNode(const cdx::Node& node);
    bool allocatePage(std::uint32_t& offset);
    bool walk(std::uint32_t offset, const cdx::KeyFormat& format, int depth, const cdx::Entry* bound,
              Walk& state) const;
    bool walkTree(std::uint32_t root, const cdx::KeyFormat& format, Walk& state) const;
    bool findTag(const cdx::Header& compound, std::uint32_t& tagOffset) const;
    bool store(cdx::Node& node, bool appendAtEnd, std::vector<cdx::Node>& pieces);
    bool splitRoot(cdx::Node& node, std::size_t at);
    bool splitPage(cdx::Node& node, std::size_t at, std::vector<cdx::Node>& pieces);
    std::size_t splitPoint(const cdx::Node& node, bool appendAtEnd) const;

    File file_;
    std::uint32_t root_ = 0;
    std::uint64_t fileEnd_ = 0;
    std::uint64_t count_ = 0;
};

} // namespace arti::xbase
