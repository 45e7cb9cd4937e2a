#include "rules/SharedRules.h"

#include "core/Services.h"
#include "core/Text.h"
#include "rules/FieldScan.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace arti {

using namespace literals;

std::string unknownRecordType(std::string_view recordType, std::optional<unsigned long long> recordNumber,
                              std::string_view shownPosition) {
    std::string text = "Die Satzart > ";
    text += recordType;
    text += " <  ";
    if (recordNumber) {
        text += "im Satz ";
        text += NumberText(*recordNumber).view();
        text += ' ';
    }
    text += "ab Position ";
    text += trimView(shownPosition);
    text += " ist nicht zulässig !"_ansi;
    return text;
}

std::string shortRecordType(std::string_view recordType, std::size_t width) {
    std::string text = "Die Satzart > ";
    text += recordType;
    text += " < hat nur ";
    text += NumberText(width).view();
    text += " Bytes !";
    return text;
}

namespace {

// Where the digits of a field's number begin: behind leading blanks and one sign, which
// sets `negative` when it is '-'.
std::size_t numberStart(std::string_view text, bool& negative) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    return i;
}

} // namespace

double fieldNumber(std::string_view text) {
    bool negative = false;
    std::size_t i = numberStart(text, negative);
    const auto digit = [&text](std::size_t at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    // Up to fifteen digits are gathered as a whole number: every step of the running sum
    // below is exact up to there, so both give the same value, and the whole number costs
    // less per digit.
    constexpr std::size_t kExactDigits = 15;
    std::uint64_t whole = 0;
    const std::size_t wholeEnd = std::min(text.size(), i + kExactDigits);
    for (; i < wholeEnd && digit(i); ++i)
        whole = whole * 10 + static_cast<std::uint64_t>(text[i] - '0');
    double value = static_cast<double>(whole);
    for (; digit(i); ++i)
        value = value * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
            value += (text[i] - '0') * scale;
    }
    return negative ? -value : value;
}

int fieldSign(std::string_view text) {
    // A digit far behind the point may add less than the smallest double: there the
    // number itself decides.
    constexpr std::size_t kExactLength = 300;
    if (text.size() > kExactLength) {
        const double value = fieldNumber(text);
        return value > 0 ? 1 : (value < 0 ? -1 : 0);
    }
    bool negative = false;
    std::size_t i = numberStart(text, negative);
    const auto digit = [&text](std::size_t at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    // The number is 0 unless a digit read is not 0 (the whole part, then behind one point).
    for (; digit(i); ++i)
        if (text[i] != '0') return negative ? -1 : 1;
    if (i < text.size() && text[i] == '.')
        for (++i; digit(i); ++i)
            if (text[i] != '0') return negative ? -1 : 1;
    return 0;
}

std::size_t firstRefusedCharacter(std::string_view value, bool relaxed) {
    for (std::size_t j = 0; j < value.size(); ++j)
        if (!admittedCharacter(static_cast<unsigned char>(value[j]), relaxed)) return j;
    return std::string_view::npos;
}

int gtinCheckDigit(std::string_view digits) {
    const std::size_t n = digits.size();
    if (n != 7 && n != 12) return -1;
    // Weights alternate from the right end, the last digit weighing 3.
    int sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = digits[i];
        const int value = c >= '0' && c <= '9' ? c - '0' : 0;
        sum += value * ((n - i) % 2 == 1 ? 3 : 1);
    }
    return (10 - sum % 10) % 10;
}

std::string PRUEFZIFFER(std::string_view digits) {
    const int check = gtinCheckDigit(digits);
    if (check < 0) return {};
    std::string full(digits);
    full += static_cast<char>('0' + check);
    return full;
}

bool checkDigitAgrees(std::string_view number) {
    // The common GTIN-13 of thirteen digits, added up word-wise.
    if (number.size() >= 13 && scan::digitsOnly(number.substr(0, 12)))
        return number[12] == '0' + checkDigitOf12(number.data());
    const std::string_view digits = number.substr(0, 12);
    const int check = gtinCheckDigit(digits);
    return check < 0 || (number.size() > digits.size() && number[digits.size()] == '0' + check);
}

StrDate STRDATE2DATE(std::string_view text, std::string_view info, bool message) {
    StrDate r;
    if (text.find('/') != std::string_view::npos) {
        for (const char c : text)
            if (c >= '0' && c <= '9') r.digits += c;
    } else {
        r.digits = std::string(text);
    }
    if (r.digits.size() == 6) r.digits.insert(0, "20");
    r.date = readDigitDate(r.digits, DigitOrder::YearMonthDay);
    if (!r.date && message) {
        std::string shown = "ungültiges Datum >"_ansi;
        shown += r.digits;
        shown += "\r\n";
        shown += info;
        box().info(nullptr, "Datum in Funktion STRDate2Date", shown);
    }
    return r;
}

std::string STRDATE2TEXT(std::string_view text, bool formatted, std::string_view info, bool message) {
    StrDate r = STRDATE2DATE(text, info, message);
    if (formatted && r.date) return formatDate(*r.date);
    return std::move(r.digits);
}

void DATUMSWECHSEL(ICheckContext& ctx, const Date& date, std::string_view field) {
    DateWindow window = ctx.dateWindow();
    if (window.contains(date)) return;
    const auto shown = [](const std::optional<Date>& d) { return d ? formatDate(*d) : std::string(); };
    std::string text = "Das Datum " + formatDate(date) + " im Feld ";
    text += field;
    text +=
        " liegt nicht zwischen der ...\r\nDatumsuntergrenze " + shown(window.lower) +
        "\r\nund Datumsobergrenze " + shown(window.upper) +
        "\r\ndie in den Systemeinstellungen festgelegt ist und dort manuell verändert werden kann."
        "\r\n\r\nSoll der Datumsbereich jetzt automatisch (nur für diese Prüfung) angepasst werden? "_ansi;
    if (!ctx.askWidenDateWindow("Erstellungs-Datum", text)) return;
    if (window.lower && date < *window.lower) window.lower = date;
    if (window.upper && date > *window.upper) window.upper = date;
    ctx.setDateWindow(window);
}

void WAEHRUNGSWECHSEL(ICheckContext& ctx, std::string_view code) {
    std::string text = "Soll das Währungskennzeichen "_ansi;
    text += code;
    text += " jetzt für diesen Prüflauf\r\n(nicht aber in den Systemeinstellungen) angepasst werden? "_ansi;
    if (!ctx.askAdoptCurrency("Währungsschlüssel"_ansi, text)) return;
    ctx.setCurrency(code);
}

} // namespace arti
