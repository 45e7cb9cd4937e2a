// Rules shared by the field checks of all ELDANORM versions: the reading of numbers and
// dates, the comparison by prefix, the character rule, the GTIN/EAN check digit, the
// conversion of date texts, and the two questions that adapt the run's date window and
// currency.
#pragma once

#include "core/Dates.h"
#include "rules/CheckContext.h"
#include "rules/NumberText.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace arti {

// --- Findings about a record as a whole ---

// The length of every 05/90 and 01/96 record; the widths of each of their tables add up
// to it.
inline constexpr std::size_t kFixedRecordBytes = 128;

// The finding of a record type without a table: "Die Satzart > X <  im Satz N ab Position
// P ist nicht zulässig !", P without its surrounding blanks. Without a record number
// (version 2000) "im Satz N " is left out.
std::string unknownRecordType(std::string_view recordType, std::optional<unsigned long long> recordNumber,
                              std::string_view shownPosition);
// "Die Satzart > X < hat nur n Bytes !": a fixed-position table whose widths do not add up
// to kFixedRecordBytes.
std::string shortRecordType(std::string_view recordType, std::size_t width);

// --- Readings and rules of the fields ---

// A field read as a number: leading blanks skipped, an optional sign, digits and one
// decimal point with the digits behind it; 0 when no digit leads.
double fieldNumber(std::string_view text);
// The sign of fieldNumber(text) (-1, 0 or 1), found without working out the number: the
// rules that only compare a field with 0 stop at its first digit other than 0.
int fieldSign(std::string_view text);

// How a field is compared with a reference (the run's currency, a number with its check
// digit): it equals the reference when it begins with the whole of it, so a shorter field
// differs and an empty reference equals every field.
constexpr bool equalsByPrefix(std::string_view value, std::string_view reference) {
    return value.starts_with(reference);
}

// The umlauts ÄÖÜäöüß (Windows-1252), which the character rule admits besides codes 32 to
// 126, and the sentence of the findings that names what the rule admits.
constexpr bool admittedUmlaut(unsigned char c) {
    return c == 0xC4 || c == 0xD6 || c == 0xDC || c == 0xE4 || c == 0xF6 || c == 0xFC || c == 0xDF;
}
inline constexpr std::string_view kAdmittedCharacters =
    "Erlaubt sind die Zeichen CHR 32 bis CHR 126 und die Umlaute \xC4\xD6\xDC\xE4\xF6\xFC\xDF "
    "(siehe ASCII-Tabelle 850)";
// The character rule of alphanumeric fields: codes 32 to 126 and the umlauts; relaxed,
// every code above 31. Each version decides when the rule is relaxed.
constexpr bool admittedCharacter(unsigned char c, bool relaxed) {
    return c > 31 && (relaxed || c < 127 || admittedUmlaut(c));
}
// The index of the first character of `value` the rule refuses; npos when there is none.
std::size_t firstRefusedCharacter(std::string_view value, bool relaxed);

// The date rule of a date field (`nr` its running number): its value is read as eight
// digits in the version's order. A value that is no calendar date is reported by
// `invalid()`; a date outside the run's date window is reported by `outside(date)` and
// then offered as a new limit of the window (DATUMSWECHSEL).
template <class Invalid, class Outside>
void dateRule(ICheckContext& ctx, std::uint32_t nr, std::string_view value, DigitOrder order,
              Invalid&& invalid, Outside&& outside);

// The GTIN/EAN check digit (0..9) of the 7 or 12 digits of an EAN-8 or EAN-13 without
// its check digit; -1 for any other length. Weights 3, 1, 3, ... from the right end; a
// character that is not a digit counts 0.
int gtinCheckDigit(std::string_view digits);

// The check digit of twelve digits (a GTIN-13 without its last), as gtinCheckDigit gives
// it, added up in two words: digits at odd places weigh 3, at even places 1. Each 16-bit
// lane of a sum holds at most a few hundred, so no lane carries into the next.
inline int checkDigitOf12(const char* p) {
    if constexpr (std::endian::native != std::endian::little) {
        return gtinCheckDigit(std::string_view(p, 12));
    } else {
        std::uint64_t head;
        std::uint32_t tail;
        std::memcpy(&head, p, 8);
        std::memcpy(&tail, p + 8, 4);
        head -= 0x3030303030303030ULL;
        const std::uint64_t rest = std::uint64_t{tail} - 0x30303030ULL;
        constexpr std::uint64_t kLow = 0x00FF00FF00FF00FFULL;
        const std::uint64_t even = (head & kLow) + (rest & kLow);
        const std::uint64_t odd = ((head >> 8) & kLow) + ((rest >> 8) & kLow);
        const auto lanes = [](std::uint64_t x) {
            return static_cast<int>((x * 0x0001000100010001ULL) >> 48);
        };
        const int sum = lanes(even) + 3 * lanes(odd);
        return (10 - sum % 10) % 10;
    }
}

// `digits` with its check digit appended (8 or 13 characters), or the empty text when
// `digits` has neither 7 nor 12 characters.
std::string PRUEFZIFFER(std::string_view digits);
// Whether `number` begins with PRUEFZIFFER of its first twelve characters: whether its
// check digit is right, and always for lengths that have none. Made without a text
// (GTINs are longer than the short texts a string holds without allocating).
bool checkDigitAgrees(std::string_view number);

// A date text read as YYYYMMDD. A text holding "/" keeps only its digits first; six
// characters get "20" in front (YYMMDD in the 2000s). The result of the conversion:
struct StrDate {
    std::string digits;       // the text that was read (after the two steps above)
    std::optional<Date> date; // no date when it is not a valid YYYYMMDD
};
// `info` names the caller in the box; with `message` an invalid date is shown in an
// information box without owner.
StrDate STRDATE2DATE(std::string_view text, std::string_view info = {}, bool message = false);
// The text form: the digits read, or with `formatted` the date in the program's date
// format (an invalid date leaves the digits unconverted).
std::string STRDATE2TEXT(std::string_view text, bool formatted, std::string_view info = {},
                         bool message = false);

// A valid date of a date field (`field` its running number, or a label): when it lies
// outside the run's date window, asks whether to widen the window for this run, and on
// Yes moves the limit it passes to the date.
void DATUMSWECHSEL(ICheckContext& ctx, const Date& date, std::string_view field);

// A currency code that differs from the run's: asks whether to adopt it for this run,
// and on Yes makes it the run's currency.
void WAEHRUNGSWECHSEL(ICheckContext& ctx, std::string_view code);

template <class Invalid, class Outside>
void dateRule(ICheckContext& ctx, std::uint32_t nr, std::string_view value, DigitOrder order,
              Invalid&& invalid, Outside&& outside) {
    const std::optional<Date> date = readDigitDate(value, order);
    if (!date) return invalid();
    if (ctx.dateWindow().contains(*date)) return;
    outside(*date);
    DATUMSWECHSEL(ctx, *date, NumberText(nr).view());
}

} // namespace arti
