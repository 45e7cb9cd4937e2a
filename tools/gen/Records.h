// The records of generated ELDANORM files: fixed-position records of 128 characters for
// the versions 05/90 and 01/96 (code page 850, as DOS programs write them) and field
// lists for version 2000 (Windows-1252). The content is made up but plausible: article
// numbers, GTINs with correct check digits, names of electrical goods, prices and dates.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arti::gen {

// A small fast generator (splitmix64): the same seed gives the same sequence on every
// platform, which the standard distributions do not promise.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, n); n > 0.
    std::uint64_t below(std::uint64_t n) { return next() % n; }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

using Date = std::chrono::year_month_day;

// What the records of one article share.
struct ArticleData {
    std::uint64_t index = 0;
    std::string gtin;        // 13 digits with check digit
    std::string makerNumber; // manufacturer's article number
    std::string articleNumber;
    std::string name1, name2, typeName, maker;
    std::string group; // product group
    std::string discountGroup;
    unsigned long long price = 0; // in cents
    bool surcharge = false;       // a Z record follows
};

ArticleData makeArticle(Rng& rng, std::uint64_t index);
// The GTIN/EAN check digit appended to 7 or 12 digits.
std::string withCheckDigit(std::string_view digits);
// "DDMMYYYY" and "YYYYMMDD".
std::string dayMonthYear(const Date& d);
std::string yearMonthDay(const Date& d);

// Fixed-position records of 128 characters, without CR LF, in code page 850.
namespace fixed {

struct Header {
    Date date;
    std::string flags; // 01/96: 8 characters "0"/"1" for ABDPRSTZ; 05/90: unused
};

std::string header0590(const Header& h);
std::string header0196(const Header& h);
std::string customer0590();
std::string customer0196();
// `status` is the processing status at position 2 where the record type has one.
std::string article0590(const ArticleData& a, char status);
std::string article0196(const ArticleData& a, char status);
std::string basic0590(const ArticleData& a, const Date& d);
std::string basic0196(const ArticleData& a, const Date& d);
std::string dimension0196(const ArticleData& a, int line, char status);
std::string surcharge0590(const ArticleData& a);
std::string surcharge0196(const ArticleData& a);
std::string prices0590(const ArticleData& a, const Date& d);
std::string prices0196(const ArticleData& a, const Date& d);
std::string discount0590(Rng& rng, std::uint64_t index);
std::string discount0196(Rng& rng, std::uint64_t index);
std::string group0590(Rng& rng, std::uint64_t index);
std::string group0196(Rng& rng, std::uint64_t index);
// A long-text record: key, the two line numbers (0: no line) and their texts.
std::string text0196(const std::string& key, int line1, const std::string& text1, int line2,
                     const std::string& text2);

} // namespace fixed

// Version 2000 records as fields (the record type first); joined by the separator.
namespace v2000 {

std::vector<std::string> header(const Date& d, const std::string& announcement);
// One record of `type` for the article: I, H, P, T, K, Z, U, S, X; `n` counts repeats.
std::vector<std::string> articleRecord(char type, const ArticleData& a, const Date& d, int n, char status);
std::vector<std::string> discount(Rng& rng, std::uint64_t index);
std::vector<std::string> group(Rng& rng, std::uint64_t index);
// Joins the fields; separator characters inside a field become blanks.
std::string join(const std::vector<std::string>& fields, char separator);

} // namespace v2000

// A line of long text (at most 40 characters) for text `key`, line `n`.
std::string longTextLine(Rng& rng, int n);

} // namespace arti::gen
