// Rules shared by the field checks of all ELDANORM versions: the GTIN/EAN check digit,
// the conversion of date texts, and the two questions that adapt the run's date window
// and currency.
#pragma once

#include "core/Dates.h"
#include "rules/CheckContext.h"

#include <optional>
#include <string>
#include <string_view>

namespace arti {

// The GTIN/EAN check digit (0..9) of the 7 or 12 digits of an EAN-8 or EAN-13 without
// its check digit; -1 for any other length. Weights 3, 1, 3, ... from the right end; a
// character that is not a digit counts 0.
int gtinCheckDigit(std::string_view digits);

// `digits` with its check digit appended (8 or 13 characters), or the empty text when
// `digits` has neither 7 nor 12 characters.
std::string PRUEFZIFFER(std::string_view digits);

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
std::string STRDATE2TEXT(std::string_view text, bool formatted, std::string_view info = {}, bool message = false);

// A valid date of a date field (`field` its running number, or a label): when it lies
// outside the run's date window, asks whether to widen the window for this run, and on
// Yes moves the limit it passes to the date.
void DATUMSWECHSEL(ICheckContext& ctx, const Date& date, std::string_view field);

// A currency code that differs from the run's: asks whether to adopt it for this run,
// and on Yes makes it the run's currency.
void WAEHRUNGSWECHSEL(ICheckContext& ctx, std::string_view code);

} // namespace arti
