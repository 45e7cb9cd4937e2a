#include "views/SatzForm.h"

#include "core/Dates.h"
#include "core/Text.h"
#include "rules/CodeTables.h"
#include "rules/SharedRules.h"
#include "views/ViewerText.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace arti {

namespace {

using namespace arti::literals;

constexpr std::string_view kCrLf = "\r\n";
const std::string kDashes(40, '-');

std::string trimmed(std::string_view s) {
    return trimRight(s);
}

// The numeric value of a field, without leading zeros or blanks; 0 when it has none.
std::string number(std::string_view s) {
    const double v = fieldNumber(s);
    if (!std::isfinite(v) || std::fabs(v) >= 1e15) return "0";
    if (v == std::floor(v)) return plainNumber(static_cast<long long>(v));
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    std::string t(buf);
    for (char& c : t)
        if (c == '.') c = ',';
    return t;
}

std::string scaled(std::string_view s, double divisor, int decimals) {
    return decimalText(fieldNumber(s) / divisor, decimals);
}

// 10 to the power (code − 1) as a whole number; a code outside 1 to 18 gives 0.
std::string priceUnit(std::string_view code) {
    const long long n = toNumber(code);
    if (n < 1 || n > 18) return "0";
    long long unit = 1;
    for (long long i = 1; i < n; ++i)
        unit *= 10;
    return plainNumber(unit);
}

// A number of a version 2000 field, whose decimals may follow a comma or a point.
double decimalNumber(std::string_view s) {
    std::string t(s);
    for (char& c : t)
        if (c == ',') c = '.';
    return fieldNumber(t);
}

std::string dateOfDigits(std::string_view yyyymmdd) {
    const auto d = readDigitDate(yyyymmdd, DigitOrder::YearMonthDay);
    return d ? formatDate(*d) : std::string();
}

// A version 2000 record cut at its separator, the record's second character: n
// separators give n + 1 fields. The last field keeps its trailing blanks like every other.
std::vector<std::string_view> splitFields(std::string_view r) {
    std::vector<std::string_view> fields;
    if (r.size() < 2) {
        fields.push_back(r);
        return fields;
    }
    const char sep = r[1];
    std::size_t from = 0;
    for (std::size_t at; (at = r.find(sep, from)) != std::string_view::npos; from = at + 1)
        fields.push_back(r.substr(from, at - from));
    fields.push_back(r.substr(from));
    return fields;
}

} // namespace

void SequenceForm::clear() {
    for (std::string& l : labels_)
        l.clear();
    text_.clear();
    cut_ = false;
    dimensions_ = false;
}

std::string SequenceForm::decoded(std::string_view keyword, std::string_view value) const {
    return decodeValue(version_, keyword, value);
}

void SequenceForm::appendText(std::string_view line) {
    if (cut_) return;
    if (text_.size() + line.size() > kTextLimit) {
        text_.append("--- Der Text wurde nach 1 MB abgeschnitten. ---");
        cut_ = true;
        return;
    }
    text_.append(line);
}

void SequenceForm::add(std::string_view record) {
    if (record.empty()) return;
    switch (version_) {
    case Version::V0590:
        add0590(record);
        break;
    case Version::V0196:
        add0196(record);
        break;
    case Version::V2000:
        add2000(record);
        break;
    case Version::None:
    case Version::Unknown:
        break;
    }
}

// The A record's first seven fields stand at the same places in 05/90 and 01/96.
void SequenceForm::addArticleHead(std::string_view r) {
    const auto p = [r](std::size_t pos, std::size_t len) { return recordPart(r, pos, len); };
    set(kVerarbeitung, decoded("Status, Verarbeitung", p(2, 1)));
    set(kGtin, trimmed(p(3, 14)));
    set(kHersteller, trimmed(p(17, 15)));
    set(kGrosshaendler, trimmed(p(32, 15)));
    set(kBezeichnung1, trimmed(p(47, 27)));
    set(kBezeichnung2, trimmed(p(74, 20)));
    set(kTypenbezeichnung, trimmed(p(94, 20)));
}

void SequenceForm::add0590(std::string_view r) {
    const auto p = [r](std::size_t pos, std::size_t len) { return recordPart(r, pos, len); };
    switch (r[0]) {
    case 'A':
        addArticleHead(r);
        set(kZusatztext, trimmed(p(114, 8)));
        break;
    case 'B':
        set(kHerstellername, trimmed(p(19, 15)));
        set(kMatchcode, trimmed(p(112, 10)));
        set(kMengeneinheit, decoded("Mengeneinheit", p(58, 2)));
        set(kVerpackungseinheit, trimmed(p(41, 5)));
        set(kKleinsteVpe, number(p(46, 5)));
        set(kGewicht, number(p(51, 6)));
        set(kPreiskennzeichen, decoded("Preiskennzeichen", p(60, 1)));
        set(kPreiseinheit, priceUnit(p(61, 1)));
        set(kPreis, scaled(p(62, 8), 100, 2));
        set(kWaehrung, trimmed(p(70, 3)));
        set(kPreisGueltig, std::string(p(73, 2)) + "." + std::string(p(75, 2)) + "." + std::string(p(77, 4)));
        set(kWarengruppe, trimmed(p(34, 3)));
        set(kPreisgruppe, trimmed(p(85, 3)));
        set(kRabattgruppe, trimmed(p(88, 4)));
        set(kRabattsatz, scaled(p(92, 4), 100, 2));
        set(kKatalogseite, trimmed(p(37, 4)));
        for (int row = 0; row < 3; ++row) {
            const std::size_t at = 96 + 5 * static_cast<std::size_t>(row);
            const std::string_view code = p(at, 1);
            set(kRmt1 + row, decoded("Kennziffer RMT", code));
            set(kRmtWert1 + row, code == "2" ? scaled(p(at + 1, 4), 1000, 3) : scaled(p(at + 1, 4), 100, 2));
        }
        set(kUrsprung, decoded("Ursprungsland", p(57, 1)));
        break;
    case 'Z':
        addGridFixed(r);
        break;
    default:
        break;
    }
}

void SequenceForm::add0196(std::string_view r) {
    const auto p = [r](std::size_t pos, std::size_t len) { return recordPart(r, pos, len); };
    switch (r[0]) {
    case 'A':
        addArticleHead(r);
        set(kHerstellername, trimmed(p(114, 15)));
        break;
    case 'B':
        set(kUrsprung, decoded("Ursprung", p(19, 1)));
        set(kWarengruppe, trimmed(p(36, 4)));
        set(kKatalogseite, trimmed(p(40, 7)));
        set(kKleinsteVpe, number(p(47, 6)));
        set(kGewicht, number(p(53, 5)));
        set(kMengeneinheit, decoded("Mengeneinheit", p(60, 2)));
        set(kVerpackungseinheit, decoded("Verpackungsart", p(58, 2)));
        set(kPreiskennzeichen, decoded("Preiskennzeichen", p(68, 1)));
        set(kPreiseinheit, priceUnit(p(69, 1)));
        set(kPreis, scaled(p(70, 8), 100, 2));
        set(kWaehrung, trimmed(p(78, 3)));
        set(kPreisGueltig, std::string(p(81, 2)) + "." + std::string(p(83, 2)) + "." + std::string(p(85, 4)));
        set(kPreisgruppe, trimmed(p(89, 3)));
        set(kRabattgruppe, trimmed(p(92, 4)));
        set(kRabattsatz, scaled(p(96, 4), 100, 2));
        for (int row = 0; row < 3; ++row) {
            const std::size_t at = 100 + 6 * static_cast<std::size_t>(row);
            const std::string_view code = p(at, 1);
            set(kRmt1 + row, decoded("Kennziffer RMT", code));
            set(kRmtWert1 + row,
                code == "2" ? scaled(p(at + 1, 5), 10000, 4) : scaled(p(at + 1, 5), 1000, 3));
        }
        set(kMatchcode, trimmed(p(119, 10)));
        break;
    case 'D':
        addText0196(r);
        break;
    case 'Z':
        addGridFixed(r);
        break;
    default:
        break;
    }
}

void SequenceForm::addText0196(std::string_view r) {
    const auto p = [r](std::size_t pos, std::size_t len) { return recordPart(r, pos, len); };
    const std::string_view textSwitch = p(19, 1);
    if (!trim(p(20, 11)).empty()) {
        if (textSwitch == "3" || textSwitch == "4")
            set(kVerweisDatei, trim(std::string(p(20, 8)) + "." + std::string(p(28, 3))));
        else
            set(kVerweisText, trim(p(20, 11)));
    }
    const bool lines = textSwitch == "1" || textSwitch == "2";
    for (std::size_t i = 1; lines && i <= 2; ++i) {
        if (toNumber(p(43 * i - 12, 3)) <= 0) continue;
        appendText(p(43 * i - 9, 40));
        appendText(kCrLf);
    }
    if (textSwitch == "2" && text_.find('$') != std::string::npos) dimensions_ = true;
}

void SequenceForm::addGridFixed(std::string_view r) {
    for (int row = 0; row < 4; ++row) {
        const std::size_t b = 19 + 26 * static_cast<std::size_t>(row);
        const auto p = [r, b](std::size_t off, std::size_t len) { return recordPart(r, b + off, len); };
        set(gridLabel(row, kGridArt), decoded("Rohstoffart", p(0, 2)));
        set(gridLabel(row, kGridGewicht), number(p(2, 7)));
        set(gridLabel(row, kGridBasis), number(p(9, 5)));
        set(gridLabel(row, kGridKzBetrag), decoded("Kennziffer Betrag/%", p(14, 1)));
        set(gridLabel(row, kGridBetrag), scaled(p(15, 4), 100, 2));
        set(gridLabel(row, kGridSprung), number(p(19, 5)));
        set(gridLabel(row, kGridKzSprung), decoded("Kennziffer Sprung", p(24, 1)));
        set(gridLabel(row, kGridKzZuGu), decoded("Kennziffer Gutschr.", p(25, 1)));
    }
}

void SequenceForm::add2000(std::string_view r) {
    const std::vector<std::string_view> fields = splitFields(r);
    const auto f = [&fields](std::size_t k) {
        return k - 1 < fields.size() ? fields[k - 1] : std::string_view();
    };
    switch (r[0]) {
    case 'I':
        set(kVerarbeitung, std::string(f(2)) + " " + (f(2) == "S" ? "Standard" : "Löschen"_ansi));
        set(kGtin, f(3));
        set(kHersteller, f(4));
        set(kGrosshaendler, f(5));
        break;
    case 'H':
        set(kBezeichnung1, trimmed(f(2)));
        set(kBezeichnung2, trimmed(f(3)));
        set(kTypenbezeichnung, trimmed(f(4)));
        set(kHerstellername, trimmed(f(5)));
        set(kHerstellerKz, trimmed(f(6)));
        set(kKleinsteVpe, f(7));
        set(kMengeneinheit, decoded("Mengeneinheit", f(8)));
        set(kAuslaufdatum, dateOfDigits(f(9)));
        if (decimalNumber(f(10)) > 0)
            set(kUmrechnung, decimalText(decimalNumber(f(7)) * decimalNumber(f(11)), 2));
        set(kMengeneinheit2, f(12));
        set(kGewicht, f(13));
        set(kRabattgruppeHerst, f(14));
        set(kRabattgruppe, f(15));
        set(kPreisgruppe, f(16));
        set(kWarengruppe, f(17));
        set(kVerpackungseinheit, decoded("Verpackungsart", f(18)));
        break;
    case 'P':
        set(kPreiskennzeichen, decoded("Preiskennzeichen", f(2)));
        set(kPreis, f(3));
        set(kWaehrung, f(4));
        set(kPreisGueltig, dateOfDigits(f(5)));
        set(kPreiseinheit, priceUnit(f(6)));
        set(kRabattsatz, f(7));
        break;
    case 'S':
        set(kMatchcode, f(2));
        break;
    case 'T': {
        const std::string_view textSwitch = f(2), text = f(3), lineBreak = f(4);
        if (text.empty()) break;
        if (textSwitch.size() == 1 && textSwitch[0] >= '3' && textSwitch[0] <= '7') set(kVerweisDatei, text);
        if (textSwitch == "0" || textSwitch == "1" || textSwitch == "2") {
            appendText(text);
            if (lineBreak == "2") appendText(kCrLf);
            if (lineBreak == "3") appendText("\r\n\r\n");
        }
        break;
    }
    case 'U':
        set(kPraeferenz, f(2));
        set(kUrsprungsland, f(3));
        set(kUrsprungBrd, BUNDESLAND(f(4)));
        set(kWarennummer, f(5));
        set(kMasseinheit, f(6));
        break;
    case 'Z':
        set(gridLabel(0, kGridArt), decoded("Rohstoffart", f(2)));
        set(gridLabel(0, kGridBasis), f(7));
        set(gridLabel(0, kGridGewicht), f(8));
        if (!f(5).empty() || !f(6).empty()) set(gridLabel(0, kGridSprung), f(9));
        break;
    default:
        break;
    }
}

void SequenceForm::finish(const std::function<std::optional<std::string>(const std::string&)>& lookup) {
    const std::string& key = label(kVerweisText);
    if (version_ != Version::V0196 || key.empty() || !lookup) return;
    const std::optional<std::string> stored = lookup(key);
    if (!stored) return;
    if (!text_.empty()) {
        appendText(kDashes);
        appendText(kCrLf);
    }
    appendText(*stored);
}

std::string mergeDimensions(const std::string& text) {
    const std::size_t dashes = text.find(kDashes);
    if (dashes == std::string::npos) return text;
    std::string out = text;
    const std::string before = trim(std::string_view(text).substr(0, dashes));
    std::size_t p = dashes + kDashes.size();
    std::size_t from = 0;
    for (bool last = false; !last;) {
        std::size_t at = before.find('$', from);
        last = at == std::string::npos;
        if (last) at = before.size();
        // Each value without the blanks and line ends around it.
        std::string value(before, from, at - from);
        from = at + 1;
        const std::size_t b = value.find_first_not_of(" \r\n");
        value =
            b == std::string::npos ? std::string() : value.substr(b, value.find_last_not_of(" \r\n") - b + 1);
        if (value.empty()) continue;
        const std::size_t dollar = out.find('$', p);
        if (dollar == std::string::npos) break;
        out.replace(dollar, std::min(value.size(), out.size() - dollar), value);
        p = dollar + value.size();
    }
    return out;
}

} // namespace arti
