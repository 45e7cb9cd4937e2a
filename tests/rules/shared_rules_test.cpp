// The rules shared by the field checks: check digit, date text conversion, and the date
// window and currency questions over a scripted check context.
#include "core/Text.h"
#include "rules/FieldTable.h"
#include "rules/SharedRules.h"
#include "tests/support/FakeCheckContext.h"
#include "tests/support/GtestFakes.h"

#include <deque>
#include <vector>

using namespace arti;
using namespace arti::literals;
using namespace arti::test;
using std::chrono::year;

namespace {

// --- Numbers ---

TEST(FieldNumber, ReadsTheLeadingNumber) {
    const std::pair<std::string, double> cases[] = {{"", 0},
                                                    {"   ", 0},
                                                    {"abc", 0},
                                                    {"x1", 0},
                                                    {"0,9", 0},
                                                    {"00", 0},
                                                    {"0000", 0},
                                                    {"5", 5},
                                                    {"  5", 5},
                                                    {"0010", 10},
                                                    {"0150", 150},
                                                    {" 12x", 12},
                                                    {"12x4", 12},
                                                    {"+3", 3},
                                                    {"-5", -5},
                                                    {"-1.5", -1.5},
                                                    {"1.5", 1.5},
                                                    {".5", 0.5},
                                                    {"00.25", 0.25},
                                                    {"1.2.3", 1.2},
                                                    {"123456789012345", 123456789012345.0},
                                                    {"12345678901234567890", 12345678901234567890.0},
                                                    {" -000000000000000042.5", -42.5},
                                                    // A fraction longer than a double resolves stays small.
                                                    {"0." + std::string(400, '0') + "5", 0}};
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(fieldNumber(text), value) << text;
}

// Long numbers come out bit for bit as the sum over their digits, each step rounded, gives them.
TEST(FieldNumber, LongNumbersAreTheRoundedRunningSum) {
    for (const std::string text : {"9007199254740993", "99999999999999999", "123456789012345678901234567890",
                                   "18446744073709551617", "4503599627370497.5"}) {
        double sum = 0;
        for (std::size_t i = 0; i < text.size() && text[i] != '.'; ++i)
            sum = sum * 10 + (text[i] - '0');
        if (text.ends_with(".5")) sum += 5 * 0.1;
        EXPECT_EQ(fieldNumber(text), sum) << text;
    }
}

// --- Check digit ---

struct DigitCase {
    const char* input;
    const char* expected;
};

class CheckDigit : public ::testing::TestWithParam<DigitCase> {};

TEST_P(CheckDigit, AppendsTheDigitOrGivesEmptyForOtherLengths) {
    EXPECT_EQ(PRUEFZIFFER(GetParam().input), GetParam().expected) << GetParam().input;
}

// A number agrees when it begins with the check text of its first twelve characters.
TEST_P(CheckDigit, AgreesWhereTheNumberBeginsWithItsCheckText) {
    const std::string full = GetParam().expected;
    for (const std::string& number : {full, full + "9", full.empty() ? "" : full.substr(0, full.size() - 1),
                                      std::string(GetParam().input)}) {
        const std::string_view v = number;
        EXPECT_EQ(checkDigitAgrees(v), v.starts_with(PRUEFZIFFER(v.substr(0, 12)))) << number;
    }
    // Only a number of thirteen keeps its check digit within what is compared.
    if (full.size() == 13) {
        std::string wrong = full;
        wrong.back() = wrong.back() == '0' ? '1' : '0';
        EXPECT_FALSE(checkDigitAgrees(wrong)) << wrong;
        EXPECT_TRUE(checkDigitAgrees(full)) << full;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gtin, CheckDigit,
    ::testing::Values(DigitCase{"400638133393", "4006381333931"}, // EAN-13
                      DigitCase{"590123412345", "5901234123457"}, // EAN-13
                      DigitCase{"9638507", "96385074"},           // EAN-8
                      DigitCase{"7351353", "73513537"},           // EAN-8
                      DigitCase{"400000000099", "4000000000990"}, // digit sum 40: check digit 0
                      DigitCase{"500000000099", "5000000000999"}, // digit sum 41: check digit 9
                      DigitCase{"0000000", "00000000"},
                      DigitCase{"12345x7", "12345x76"}, // a non-digit counts 0
                      DigitCase{" 234567", " 2345673"}, // so does a blank
                      DigitCase{"96385074", ""},        // 8: already complete
                      DigitCase{"4006381333931", ""},   // 13: already complete
                      DigitCase{"40063813339", ""},     // 11
                      DigitCase{"12345", ""}, DigitCase{"", ""}, DigitCase{"00000000000000", ""}));

// --- Date text conversion ---

struct DateCase {
    const char* input;
    const char* digits;
    int y, m, d; // y == 0: no date
    const char* formatted;
};

class DateText : public ServicesFixture, public ::testing::WithParamInterface<DateCase> {};

TEST_P(DateText, ReadsYyyyMmDdAfterItsTwoPreparations) {
    const DateCase& c = GetParam();
    const StrDate r = STRDATE2DATE(c.input, "Test 1");
    EXPECT_EQ(r.digits, c.digits);
    if (c.y == 0) {
        EXPECT_FALSE(r.date);
    } else {
        ASSERT_TRUE(r.date);
        EXPECT_EQ(*r.date, year{c.y} / c.m / c.d);
    }
    EXPECT_EQ(STRDATE2TEXT(c.input, false), c.digits);
    EXPECT_EQ(STRDATE2TEXT(c.input, true), c.formatted);
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, DateText,
    ::testing::Values(DateCase{"20230130", "20230130", 2023, 1, 30, "30.01.2023"},
                      DateCase{"230130", "20230130", 2023, 1, 30, "30.01.2023"}, // YYMMDD in the 2000s
                      DateCase{"991231", "20991231", 2099, 12, 31, "31.12.2099"},
                      DateCase{"23/01/30", "20230130", 2023, 1, 30, "30.01.2023"}, // the version text
                      DateCase{"2023/01/30", "20230130", 2023, 1, 30, "30.01.2023"},
                      // Day/month/year loses its slashes and is then read as YYYYMMDD.
                      DateCase{"30/01/2023", "30012023", 0, 0, 0, "30012023"},
                      DateCase{"a/b", "", 0, 0, 0, ""},
                      // Without a slash the text is read as it stands.
                      DateCase{"2023-01-30", "2023-01-30", 0, 0, 0, "2023-01-30"},
                      DateCase{"20230230", "20230230", 0, 0, 0, "20230230"}, // 30 February
                      DateCase{"20241329", "20241329", 0, 0, 0, "20241329"},
                      DateCase{"20240229", "20240229", 2024, 2, 29, "29.02.2024"},
                      DateCase{"2023013", "2023013", 0, 0, 0, "2023013"}, DateCase{"", "", 0, 0, 0, ""}));

class DateTextBox : public ServicesFixture {};

TEST_F(DateTextBox, InvalidDateIsShownOnlyOnRequest) {
    EXPECT_FALSE(STRDATE2DATE("30/01/2023", "InternetUpdate 125", false).date);
    EXPECT_TRUE(box_.shown.empty());
    EXPECT_TRUE(STRDATE2DATE("23/01/30", "InternetUpdate 125", true).date);
    EXPECT_FALSE(STRDATE2DATE("00000101").date) << "the year 0000 is no date";
    EXPECT_TRUE(box_.shown.empty());

    box_.expect(BoxButton::Ok);
    EXPECT_FALSE(STRDATE2DATE("30/01/2023", "InternetUpdate 125", true).date);
    ASSERT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(box_.shown[0].kind, BoxKind::Info);
    EXPECT_EQ(box_.shown[0].owner, nullptr);
    EXPECT_EQ(box_.shown[0].caption, "Datum in Funktion STRDate2Date");
    EXPECT_EQ(box_.shown[0].text, "ungültiges Datum >30012023\r\nInternetUpdate 125");
}

// --- The two questions ---

// A check context that keeps the run's settings itself and answers questions from a queue.
// Questions must be expected: each is answered from the queue.
struct ScriptedContext : test::FakeCheckContext {
    ScriptedContext() {
        window = DateWindow{year{2020} / 1 / 1, year{2026} / 12 / 31};
        position = 0;
        strict = true;
    }
};

std::string dateQuestion(const std::string& date, const std::string& field, const std::string& lower,
                         const std::string& upper) {
    return "Das Datum " + date + " im Feld " + field + " liegt nicht zwischen der ...\r\nDatumsuntergrenze " +
           lower + "\r\nund Datumsobergrenze " + upper +
           "\r\ndie in den Systemeinstellungen festgelegt ist und dort manuell verändert werden kann.\r\n\r\n"
           "Soll der Datumsbereich jetzt automatisch (nur für diese Prüfung) angepasst werden? ";
}

TEST(DateWindowQuestion, DatesInsideTheWindowAskNothing) {
    ScriptedContext ctx;
    for (const Date d : {year{2020} / 1 / 1, year{2026} / 12 / 31, year{2023} / 6 / 15})
        DATUMSWECHSEL(ctx, d, "9");
    EXPECT_TRUE(ctx.asked.empty());
    EXPECT_EQ(ctx.windowChanges, 0);
}

TEST(DateWindowQuestion, YesMovesTheLowerLimitToADayBeforeIt) {
    ScriptedContext ctx;
    ctx.answers = {true};
    DATUMSWECHSEL(ctx, year{2019} / 12 / 31, "9");
    ASSERT_EQ(ctx.asked.size(), 1u);
    EXPECT_EQ(ctx.asked[0].caption, "Erstellungs-Datum");
    EXPECT_EQ(ctx.asked[0].text, dateQuestion("31.12.2019", "9", "01.01.2020", "31.12.2026"));
    EXPECT_EQ(ctx.window.lower, year{2019} / 12 / 31);
    EXPECT_EQ(ctx.window.upper, year{2026} / 12 / 31);
    EXPECT_EQ(ctx.windowChanges, 1);

    // The widened window holds the date now: asked no more.
    DATUMSWECHSEL(ctx, year{2019} / 12 / 31, "9");
    EXPECT_EQ(ctx.asked.size(), 1u);
}

TEST(DateWindowQuestion, YesMovesTheUpperLimitToALaterDate) {
    ScriptedContext ctx;
    ctx.answers = {true};
    DATUMSWECHSEL(ctx, year{2027} / 3 / 1, "Datei-Erstellung");
    ASSERT_EQ(ctx.asked.size(), 1u);
    EXPECT_EQ(ctx.asked[0].text, dateQuestion("01.03.2027", "Datei-Erstellung", "01.01.2020", "31.12.2026"));
    EXPECT_EQ(ctx.window.lower, year{2020} / 1 / 1);
    EXPECT_EQ(ctx.window.upper, year{2027} / 3 / 1);
}

TEST(DateWindowQuestion, NoChangesNothingAndTheNextDateIsAskedAgain) {
    ScriptedContext ctx;
    ctx.answers = {false, false};
    DATUMSWECHSEL(ctx, year{2019} / 12 / 31, "9");
    DATUMSWECHSEL(ctx, year{2019} / 12 / 31, "9");
    EXPECT_EQ(ctx.asked.size(), 2u);
    EXPECT_EQ(ctx.windowChanges, 0);
    EXPECT_EQ(ctx.window.lower, year{2020} / 1 / 1);
}

TEST(DateWindowQuestion, AnUnsetLimitBoundsNothing) {
    ScriptedContext ctx;
    ctx.window.lower.reset();
    DATUMSWECHSEL(ctx, year{1900} / 1 / 1, "9");
    EXPECT_TRUE(ctx.asked.empty());

    ctx.answers = {true};
    DATUMSWECHSEL(ctx, year{2030} / 1 / 1, "9");
    ASSERT_EQ(ctx.asked.size(), 1u);
    EXPECT_EQ(ctx.asked[0].text, dateQuestion("01.01.2030", "9", "", "31.12.2026"));
    EXPECT_FALSE(ctx.window.lower);
    EXPECT_EQ(ctx.window.upper, year{2030} / 1 / 1);
}

TEST(CurrencyQuestion, YesAdoptsTheCodeForTheRun) {
    ScriptedContext ctx;
    ctx.answers = {true};
    WAEHRUNGSWECHSEL(ctx, "CHF");
    ASSERT_EQ(ctx.asked.size(), 1u);
    EXPECT_EQ(ctx.asked[0].caption, "Währungsschlüssel");
    EXPECT_EQ(ctx.asked[0].text, "Soll das Währungskennzeichen CHF jetzt für diesen Prüflauf\r\n"
                                 "(nicht aber in den Systemeinstellungen) angepasst werden? ");
    EXPECT_EQ(ctx.currency(), "CHF");
    EXPECT_EQ(ctx.currencyChanges, 1);
}

TEST(CurrencyQuestion, NoKeepsTheRunsCurrencyAndAsksAgainNextTime) {
    ScriptedContext ctx;
    ctx.answers = {false, false};
    WAEHRUNGSWECHSEL(ctx, "CHF");
    WAEHRUNGSWECHSEL(ctx, "CHF");
    EXPECT_EQ(ctx.asked.size(), 2u);
    EXPECT_EQ(ctx.currency(), "EUR");
    EXPECT_EQ(ctx.currencyChanges, 0);
}

} // namespace
