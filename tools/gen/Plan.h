// How a generated file is put together: which record types it announces, in which
// order the records of one article follow each other, and how each record is written.
#pragma once

#include "tools/gen/Generator.h"

#include <optional>
#include <string>
#include <vector>

namespace arti::gen {

struct Plan {
    Version version = Version::V0196;
    std::string announcement; // 01/96 letters, 2000 field 4, 05/90 the kind of file
    std::string order;        // record types of one article, in order
    std::string alternative;  // a second allowed order, or empty
    std::string repeatable;   // types that may follow themselves inside an article
    std::size_t minLength = 1;
    bool leadingTexts = false; // 01/96: long-text records before the first article
    bool firstFull = false;    // 05/90: the first article decides the order, so it is complete
    char status = '1';         // processing status of the records that carry one

    // The plan of a version for the given types (empty: the default); nullopt with
    // `error` set when the order rules would refuse them.
    static std::optional<Plan> make(Version v, const std::string& types, std::string& error);
    // Why `want` cannot be written with this plan; empty when it can.
    std::string check(const FileRecipe& want) const;
    // The record types of the next article: a leading part of one allowed order, some
    // types repeated.
    std::vector<char> articleTypes(Rng& rng, bool first) const;
    // Every type of the order once.
    std::vector<char> fullArticle() const { return {order.begin(), order.end()}; }
    // A record type the header does not announce.
    char unannouncedType() const;
};

// The 01/96 announcement with one more letter, in the order "ABDPRSTZ".
std::string withLetter(const std::string& letters, char c);
// The eight 01/96 header flags ("0"/"1") of an announcement.
std::string flagsOf(const std::string& letters);
// How many long texts a 01/96 file of `records` records carries.
std::uint64_t textKeys(std::uint64_t records);

// Writes the records of one version.
class Renderer {
public:
    Renderer(const FileRecipe& want, const Plan& plan) : want_(want), plan_(plan) {}
    std::string header(const std::string& announcement) const;
    std::string customer() const;
    // A record of `type` for the article; `repeat` counts records of the same type in a row.
    std::string record(char type, const ArticleData& a, int repeat, char status) const;

private:
    std::string record0590(char type, const ArticleData& a, char status) const;
    std::string record0196(char type, const ArticleData& a, int repeat, char status) const;

    const FileRecipe& want_;
    const Plan& plan_;
};

} // namespace arti::gen
