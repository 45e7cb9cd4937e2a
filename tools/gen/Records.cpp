#include "tools/gen/Records.h"

#include "core/Oem.h"
#include "core/Text.h"

#include <array>
#include <stdexcept>

namespace arti::gen {

namespace {

// Word lists, written in UTF-8 here and used as Windows-1252 text.
std::vector<std::string> ansiList(std::initializer_list<const char*> words) {
    std::vector<std::string> out;
    out.reserve(words.size());
    for (const char* w : words)
        out.push_back(utf8ToAnsi(w));
    return out;
}

const std::vector<std::string>& nouns() {
    static const auto list = ansiList({"Kabelverschraubung",
                                       "Abzweigdose",
                                       "Schutzkontaktsteckdose",
                                       "Leitungsschutzschalter",
                                       "Installationsrohr",
                                       "Aderendhülse",
                                       "Klemmleiste",
                                       "Wippschalter",
                                       "Bewegungsmelder",
                                       "Einbaustrahler",
                                       "Kabelbinder",
                                       "Mantelleitung",
                                       "FI-Schutzschalter",
                                       "Verteilerkasten",
                                       "Schraubklemme",
                                       "Sicherungseinsatz",
                                       "Zählerschrank",
                                       "Wandleuchte",
                                       "Drehdimmer",
                                       "Türsprechanlage",
                                       "Rauchwarnmelder",
                                       "Erdungsband",
                                       "Steckdosenleiste",
                                       "Kabelkanal"});
    return list;
}

const std::vector<std::string>& attributes() {
    static const auto list =
        ansiList({"grau", "reinweiß", "anthrazit", "Messing vernickelt", "Edelstahl", "IP44", "IP65",
                  "für Außen", "halogenfrei", "flach", "3-polig", "5-polig", "16 A", "230 V", "LED 7 W",
                  "Unterputz", "Aufputz", "schlagfest"});
    return list;
}

const std::vector<std::string>& makers() {
    static const auto list = ansiList({"Elektra GmbH", "Kabelwerk Süd", "Lichtbau Nord", "Schaltwerk AG",
                                       "Installa KG", "Voltana", "Hausstrom", "Meßtechnik Ost"});
    return list;
}

const std::vector<std::string>& phrases() {
    static const auto list =
        ansiList({"Geeignet für Unterputzmontage", "in Hohlwänden und Massivwänden.",
                  "Schlagfestes Gehäuse aus Polycarbonat,", "UV-beständig und halogenfrei.",
                  "Anschluss über steckbare Klemmen", "für starre und flexible Leiter.",
                  "Lieferung ohne Leuchtmittel.", "Prüfzeichen VDE, CE-konform.",
                  "Montage nur durch Elektrofachkräfte.", "Farbe ähnlich RAL 9010."});
    return list;
}

template <typename T> const T& pick(Rng& rng, const std::vector<T>& list) {
    return list[rng.below(list.size())];
}

std::string digits(unsigned long long value, std::size_t width) {
    std::string s(width, '0');
    for (std::size_t i = width; i-- > 0 && value > 0; value /= 10)
        s[i] = static_cast<char>('0' + value % 10);
    return s;
}

// Builds one fixed-position record field by field; every record comes out at exactly
// 128 characters or the table behind it is wrong.
class Fixed {
public:
    explicit Fixed(char type) {
        s_.reserve(128);
        s_ += type;
    }
    Fixed& text(std::size_t width, std::string_view t) {
        const std::size_t n = std::min(width, t.size());
        s_.append(t.substr(0, n));
        s_.append(width - n, ' ');
        return *this;
    }
    Fixed& ch(char c) {
        s_ += c;
        return *this;
    }
    Fixed& num(std::size_t width, unsigned long long value) {
        s_ += digits(value, width);
        return *this;
    }
    Fixed& blank(std::size_t width) {
        s_.append(width, ' ');
        return *this;
    }
    Fixed& fill(std::size_t width, char c) {
        s_.append(width, c);
        return *this;
    }
    // The record in code page 850.
    std::string oem() {
        if (s_.size() != 128)
            throw std::logic_error("record '" + s_.substr(0, 1) + "' has " + std::to_string(s_.size()) +
                                   " characters");
        ansiToOem(s_);
        return std::move(s_);
    }

private:
    std::string s_;
};

} // namespace

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string withCheckDigit(std::string_view d) {
    // Weights 3, 1, 3, ... counted from the right end of the digits.
    unsigned sum = 0;
    for (std::size_t i = 0; i < d.size(); ++i) {
        const unsigned weight = ((d.size() - i) % 2 == 1) ? 3 : 1;
        sum += static_cast<unsigned>(d[i] - '0') * weight;
    }
    return std::string(d) + static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string dayMonthYear(const Date& d) {
    return digits(static_cast<unsigned>(d.day()), 2) + digits(static_cast<unsigned>(d.month()), 2) +
           digits(static_cast<unsigned>(static_cast<int>(d.year())), 4);
}

std::string yearMonthDay(const Date& d) {
    return digits(static_cast<unsigned>(static_cast<int>(d.year())), 4) +
           digits(static_cast<unsigned>(d.month()), 2) + digits(static_cast<unsigned>(d.day()), 2);
}

ArticleData makeArticle(Rng& rng, std::uint64_t index) {
    ArticleData a;
    a.index = index;
    a.gtin = withCheckDigit("40" + digits(index * 7919 + 1234567, 10));
    a.articleNumber = std::to_string(100000000 + index);
    a.maker = pick(rng, makers());
    a.makerNumber = a.maker.substr(0, 2) + "-" + digits(rng.below(1000000), 6);
    a.name1 = pick(rng, nouns());
    a.name2 = pick(rng, attributes());
    if (rng.chance(50)) a.name2 += " " + pick(rng, attributes());
    a.typeName = std::string(1, static_cast<char>('A' + rng.below(26))) +
                 static_cast<char>('A' + rng.below(26)) + " " + std::to_string(10 + rng.below(990)) + "/" +
                 std::to_string(1 + rng.below(20));
    a.group = "E" + digits(rng.below(1000), 3);
    a.discountGroup = "R" + digits(rng.below(1000), 3);
    a.price = 50 + rng.below(250000);
    return a;
}

std::string longTextLine(Rng& rng, int n) {
    std::string s = pick(rng, phrases());
    if (n > 1 && rng.chance(30)) s = "- " + s;
    return s.substr(0, 40);
}

namespace fixed {

std::string header0590(const Header& h) {
    return Fixed('V')
        .text(8, dayMonthYear(h.date))
        .text(30, utf8ToAnsi("Artikelstammdaten Großhandel"))
        .text(30, "Preise in EUR ohne MwSt.")
        .text(30, "Stand " + dayMonthYear(h.date))
        .blank(29)
        .oem();
}

std::string header0196(const Header& h) {
    return Fixed('V')
        .text(8, dayMonthYear(h.date))
        .text(30, utf8ToAnsi("Artikelstammdaten Großhandel"))
        .text(30, "Preise in EUR ohne MwSt.")
        .text(30, "Stand " + dayMonthYear(h.date))
        .text(8, h.flags)
        .blank(17)
        .text(4, "0196")
        .oem();
}

std::string customer0590() {
    return Fixed('K')
        .text(13, withCheckDigit("400123400000"))
        .text(30, utf8ToAnsi("Elektrogroßhandel Muster GmbH"))
        .text(13, withCheckDigit("400765400000"))
        .text(30, "Installationsbetrieb Beispiel")
        .blank(41)
        .oem();
}

std::string customer0196() {
    return Fixed('K')
        .text(13, withCheckDigit("400123400000"))
        .text(30, utf8ToAnsi("Elektrogroßhandel Muster GmbH"))
        .text(13, withCheckDigit("400765400000"))
        .text(30, "Installationsbetrieb Beispiel")
        .text(12, "KD-0004711")
        .blank(29)
        .oem();
}

// The A record's fields that 05/90 and 01/96 share: status, GTIN, numbers, names, type.
Fixed articleHead(const ArticleData& a, char status) {
    Fixed r('A');
    r.ch(status)
        .text(14, a.gtin)
        .text(15, a.makerNumber)
        .text(15, a.articleNumber)
        .text(27, a.name1)
        .text(20, a.name2)
        .text(20, a.typeName);
    return r;
}

std::string article0590(const ArticleData& a, char status) {
    return articleHead(a, status).text(8, a.group).blank(7).oem();
}

std::string article0196(const ArticleData& a, char status) {
    return articleHead(a, status).text(15, a.maker).oem();
}

std::string basic0590(const ArticleData& a, const Date& d) {
    // Article number switch "2": the wholesaler's number of the A record.
    return Fixed('B')
        .ch('1')
        .ch('2')
        .text(15, a.articleNumber)
        .text(15, a.maker)
        .text(3, a.group.substr(1))
        .num(4, a.index % 900 + 1)
        .num(5, 10)
        .num(5, 1)
        .num(6, 150)
        .ch('N')
        .text(2, "01")
        .ch('1')
        .ch('1')
        .num(8, a.price)
        .text(3, "EUR")
        .text(8, dayMonthYear(d))
        .blank(4)
        .text(3, "P01")
        .text(4, a.discountGroup)
        .num(4, 0)
        .ch('1')
        .num(4, 3500)
        .blank(1)
        .num(4, 0)
        .blank(1)
        .num(4, 0)
        .ch(a.surcharge ? 'Z' : '0')
        .text(10, a.name1)
        .blank(7)
        .oem();
}

std::string basic0196(const ArticleData& a, const Date& d) {
    // Article number switch "3": the wholesaler's number of the A record.
    return Fixed('B')
        .blank(1)
        .ch('3')
        .text(15, a.articleNumber)
        .blank(1)
        .num(3, 276)
        .text(2, "05")
        .num(8, 85366990)
        .blank(3)
        .text(4, a.group)
        .num(7, a.index % 900 + 1)
        .num(6, 150)
        .num(5, 10)
        .text(2, "01")
        .text(2, "01")
        .ch('0')
        .num(3, 0)
        .text(2, "00")
        .ch('1')
        .ch('1')
        .num(8, a.price)
        .text(3, "EUR")
        .text(8, dayMonthYear(d))
        .blank(3)
        .text(4, a.discountGroup)
        .num(4, 0)
        .ch('1')
        .num(5, 3500)
        .ch('0')
        .num(5, 0)
        .ch('0')
        .num(5, 0)
        .ch(a.surcharge ? '1' : '0')
        .text(10, a.name1)
        .oem();
}

std::string dimension0196(const ArticleData& a, int line, char status) {
    Rng rng(a.index * 31 + static_cast<std::uint64_t>(line));
    const std::string text1 = "$" + a.name1.substr(0, 20) + " " + std::to_string(10 + rng.below(90)) + " mm$";
    Fixed f('D');
    f.ch(status)
        .ch('3')
        .text(15, a.articleNumber)
        .ch('1')
        .blank(11)
        .num(3, static_cast<unsigned>(2 * line - 1));
    f.text(40, text1);
    if (rng.chance(50))
        f.num(3, static_cast<unsigned>(2 * line)).text(40, longTextLine(rng, 2));
    else
        f.num(3, 0).blank(40);
    return f.blank(12).oem();
}

std::string surcharge0590(const ArticleData& a) {
    Fixed f('Z');
    f.ch('1').ch('2').text(15, a.articleNumber);
    f.text(2, "01").num(7, 120 + a.index % 400).num(5, 150).ch('1').num(4, 0).num(5, 0).ch('1').ch('1');
    // The unused material blocks are filled with binary zeros, as 05/90 allows.
    f.fill(3 * 26, '\0');
    return f.blank(6).oem();
}

std::string surcharge0196(const ArticleData& a) {
    Fixed f('Z');
    f.blank(1).ch('3').text(15, a.articleNumber);
    f.text(2, "01").num(7, 120 + a.index % 400).num(5, 150).ch('0').num(4, 0).num(5, 0).ch('0').ch('0');
    for (int block = 0; block < 3; ++block)
        f.text(2, "00").num(7, 0).num(5, 0).ch('0').num(4, 0).num(5, 0).ch('0').ch('0');
    return f.blank(6).oem();
}

std::string prices0590(const ArticleData& a, const Date& d) {
    Fixed f('P');
    f.ch('0').ch('1').text(15, a.articleNumber).ch('1').ch('1').num(8, a.price).text(3, "EUR");
    f.text(8, dayMonthYear(d)).blank(4);
    f.ch('0').ch('1').text(15, std::to_string(300000000 + a.index)).ch('1').ch('1').num(8, a.price / 2 + 7);
    f.text(3, "EUR").text(8, dayMonthYear(d)).blank(5);
    f.ch('0').ch('1').text(15, std::to_string(600000000 + a.index)).ch('1').ch('1').num(8, a.price / 3 + 11);
    f.text(3, "EUR").text(8, dayMonthYear(d)).blank(4);
    return f.oem();
}

std::string prices0196(const ArticleData& a, const Date& d) {
    Fixed f('P');
    f.blank(1).ch('1').text(15, a.articleNumber).ch('1').ch('1').num(8, a.price).text(3, "EUR");
    f.text(8, dayMonthYear(d)).blank(5);
    f.ch('1').text(15, std::to_string(300000000 + a.index)).ch('1').ch('1').num(8, a.price / 2 + 7);
    f.text(3, "EUR").text(8, dayMonthYear(d)).blank(5);
    f.ch('1').text(15, std::to_string(600000000 + a.index)).ch('1').ch('1').num(8, a.price / 3 + 11);
    f.text(3, "EUR").text(8, dayMonthYear(d)).blank(5);
    return f.oem();
}

std::string discount0590(Rng& rng, std::uint64_t index) {
    return Fixed('R')
        .text(4, "R" + digits(index % 1000, 3))
        .ch('1')
        .num(4, 500 + rng.below(4000))
        .text(30, "Rabattgruppe " + pick(rng, nouns()))
        .text(30, pick(rng, attributes()))
        .blank(58)
        .oem();
}

std::string discount0196(Rng& rng, std::uint64_t index) {
    return Fixed('R')
        .text(4, "R" + digits(index % 1000, 3))
        .ch('1')
        .num(5, 500 + rng.below(4000))
        .text(30, "Rabattgruppe " + pick(rng, nouns()))
        .text(30, pick(rng, attributes()))
        .blank(57)
        .oem();
}

std::string group0590(Rng& rng, std::uint64_t index) {
    return Fixed('S')
        .text(4, "E" + digits(index % 1000, 3))
        .text(30, pick(rng, nouns()))
        .text(30, pick(rng, attributes()))
        .blank(63)
        .oem();
}

std::string group0196(Rng& rng, std::uint64_t index) {
    return group0590(rng, index);
}

std::string text0196(const std::string& key, int line1, const std::string& text1, int line2,
                     const std::string& text2) {
    Fixed f('T');
    f.ch('1').blank(1).text(11, key);
    f.num(3, static_cast<unsigned>(line1)).text(40, line1 > 0 ? text1 : std::string()).blank(13);
    f.num(3, static_cast<unsigned>(line2)).text(40, line2 > 0 ? text2 : std::string()).blank(15);
    return f.oem();
}

} // namespace fixed

namespace v2000 {

std::vector<std::string> header(const Date& d, const std::string& announcement) {
    return {"V",
            "2000A",
            yearMonthDay(d),
            announcement,
            utf8ToAnsi("Artikelstammdaten Elektrogroßhandel"),
            utf8ToAnsi("Elektrogroßhandel Muster GmbH"),
            withCheckDigit("400123400000"),
            "Datenservice Muster",
            withCheckDigit("400123400001"),
            "Installationsbetrieb Beispiel",
            withCheckDigit("400765400000"),
            "KD-0004711",
            "W",
            "ANSI",
            "Arial"};
}

std::vector<std::string> articleRecord(char type, const ArticleData& a, const Date& d, int n, char status) {
    Rng rng(a.index * 131 + static_cast<std::uint64_t>(n) * 7 + static_cast<unsigned char>(type));
    switch (type) {
    case 'I':
        return {"I", std::string(1, status), a.gtin, a.makerNumber, a.articleNumber};
    case 'H':
        return {
            "H", a.name1, a.name2, a.typeName, a.maker,         a.maker.substr(0, 4), "10",  "01",    "",
            "",  "",      "",      "150",      a.discountGroup, a.discountGroup,      "P01", a.group, "01"};
    case 'P':
        return {
            "P",   std::to_string(n), std::to_string(a.price + static_cast<unsigned long long>(n - 1) * 100),
            "EUR", yearMonthDay(d),   "1",
            ""};
    case 'T':
        return {"T", "1", longTextLine(rng, n) + " " + longTextLine(rng, n + 1), "0"};
    case 'K':
        if (n == 1) return {"K", "K", "EC" + digits(1000 + a.index % 900, 6), "EG" + digits(17, 6), ""};
        return {"K", "M", "EF" + digits(rng.below(30000), 6), "EV" + digits(rng.below(30000), 6), ""};
    case 'Z':
        return {"Z", "01", "W", "B", "", "", "150", digits(120 + a.index % 400, 8), ""};
    case 'U':
        return {"U", "000", "DE", "05", "85366990", "0"};
    case 'S':
        return {"S", a.name1};
    case 'X':
        return {"X", withCheckDigit("41" + digits(a.index * 13 + 99, 10)), a.makerNumber, a.articleNumber};
    default:
        throw std::logic_error(std::string("no version 2000 article record of type ") + type);
    }
}

std::vector<std::string> discount(Rng& rng, std::uint64_t index) {
    return {"R",
            "2",
            "R" + digits(index % 1000, 3),
            "Rabattgruppe " + pick(rng, nouns()),
            "1",
            std::to_string(500 + rng.below(4000))};
}

std::vector<std::string> group(Rng& rng, std::uint64_t index) {
    return {"W", "E" + digits(index % 100000, 5), pick(rng, nouns()) + " " + pick(rng, attributes())};
}

std::string join(const std::vector<std::string>& fields, char separator) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += separator;
        for (char c : fields[i])
            out += (c == separator) ? ' ' : c;
    }
    return out;
}

} // namespace v2000

} // namespace arti::gen
