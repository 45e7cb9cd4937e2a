// The web page's binding without the browser: the page's options, and what the page gets
// of a checked file (result, rows of a group, a finding's record with its article).
#include "web/WebCheck.h"

#include "tests/support/TempDir.h"
#include "tools/gen/Generator.h"
#include "views/SatzForm.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <functional>

using namespace arti;
using Json = nlohmann::json;

TEST(WebOptions, TakesThePagesOptionsAndNamesAWrongOneAsThePageDoes) {
    struct Case {
        const char* json;
        const char* error; // empty: accepted
        std::function<bool(const cli::CheckOptions&)> holds;
    };
    const Case cases[] = {
        {"{}", "",
         [](const cli::CheckOptions& o) {
             return !o.currency && !o.dateFrom && o.fieldChecks && !o.asciiCheckOff &&
                    o.answers.continueAfterLengthFault && !o.answers.widenDateWindow && o.files.empty();
         }},
        {R"({"currency":"USD","country":"DEAT","dateFrom":"01.12.2026","dateTo":"31.12.2026",
             "fieldChecks":false,"characterCheck":false,
             "answers":{"widenDateWindow":true,"continueAfterLengthFault":false,"adoptCurrency":null}})",
         "",
         [](const cli::CheckOptions& o) {
             return o.currency == "USD" && o.country == "DEAT" && o.dateFrom && o.dateTo &&
                    *o.dateFrom < *o.dateTo && !o.fieldChecks && o.asciiCheckOff &&
                    o.answers.widenDateWindow && !o.answers.continueAfterLengthFault &&
                    !o.answers.adoptCurrency;
         }},
        {R"({"dateFrom":"31.02.2026"})", "Ungültiger Wert für Datum von: 31.02.2026", nullptr},
        {R"({"currency":"EURO"})", "Ungültiger Wert für Währung: EURO", nullptr},
        {R"({"fieldChecks":"ja"})", "Ungültiger Wert für Feldprüfung (ja oder nein erwartet)", nullptr},
        {R"({"answers":{"remakeTextStore":1}})", "Beschädigte Langtexttabelle neu anlegen", nullptr},
        {R"({"dateFrom":"10.12.2026","dateTo":"01.12.2026"})", "Das Datum bis liegt vor dem Datum von",
         nullptr},
        {"[1]", "Die Optionen sind kein JSON-Objekt", nullptr},
        {"{nicht json", "Die Optionen sind kein JSON-Objekt", nullptr},
    };
    for (const Case& c : cases) {
        cli::CheckOptions o;
        std::string error;
        const bool ok = web::optionsFromJson(c.json, o, error);
        EXPECT_EQ(ok, std::string(c.error).empty()) << c.json << ": " << error;
        if (ok)
            EXPECT_TRUE(c.holds(o)) << c.json;
        else
            EXPECT_NE(error.find(c.error), std::string::npos) << c.json << ": " << error;
    }
}

TEST(WebCheck, ListsAGroupsFindingsAndShowsTheRecordOfOneWithItsArticle) {
    test::TempDir dir;
    const std::filesystem::path input = dir.path() / "eingabe";
    const std::filesystem::path work = dir.path() / "arbeit";
    std::filesystem::create_directories(input);
    std::filesystem::create_directories(work);
    gen::FileRecipe recipe;
    recipe.version = gen::Version::V0196;
    recipe.records = 300;
    recipe.fault = gen::Fault::BadCheckDigit;
    gen::Report made;
    std::string error;
    ASSERT_TRUE(gen::generateFile(recipe, (input / "ARTIKEL.001").string(), made, error)) << error;

    cli::CheckOptions options;
    ASSERT_TRUE(web::optionsFromJson(R"({"dateFrom":"01.01.2024","dateTo":"31.12.2024"})", options, error));
    web::WebCheck check(input.string(), "ARTIKEL.001", work.string(), options);
    check.run(nullptr);

    const Json result = Json::parse(check.resultJson());
    EXPECT_EQ(result["report"]["file"], "ARTIKEL.001");
    EXPECT_EQ(result["report"]["outcome"], "complete");
    EXPECT_EQ(result["report"]["exit_code"], 1);
    EXPECT_EQ(result["report"]["log"], (work / "pruefung" / "Error.log").string());
    EXPECT_NE(
        result["outcomeText"].get<std::string>().find("Durchlauf beendet: das Datei-Ende wurde erreicht.\n"),
        std::string::npos);
    std::uint64_t counted = 0;
    int checkDigit = -1;
    for (std::size_t g = 0; g < result["groups"].size(); ++g) {
        counted += result["groups"][g]["count"].get<std::uint64_t>();
        if (result["groups"][g]["kind"] == "check_digit_wrong") checkDigit = static_cast<int>(g);
    }
    EXPECT_EQ(counted, result["report"]["findings"].get<std::uint64_t>());
    EXPECT_EQ(result["findings"].get<std::uint64_t>(), counted);
    ASSERT_GE(checkDigit, 0);

    const Json all = Json::parse(check.rowsJson(-1, 0, 1000));
    EXPECT_EQ(all["total"].get<std::uint64_t>(), counted);
    const Json rows = Json::parse(check.rowsJson(checkDigit, 0, 10));
    ASSERT_EQ(rows["total"], 1);
    const std::string offset = rows["rows"][0]["offset"];
    EXPECT_TRUE(rows["rows"][0]["error"].get<bool>());

    const Json view = Json::parse(check.recordJson(static_cast<long long>(made.faultOffset)))["view"];
    EXPECT_EQ(view["offset"], offset);
    EXPECT_EQ(view["recordType"], "A");
    EXPECT_EQ(view["version"], "01/96");
    ASSERT_GE(view["fields"].size(), 3u);
    std::string gtin = view["fields"][2]["content"];
    gtin.erase(gtin.find_last_not_of(' ') + 1);
    EXPECT_NE(made.faultNote.find(gtin), std::string::npos) << made.faultNote;
    ASSERT_TRUE(view["article"].is_object());
    EXPECT_EQ(view["article"]["labels"][kGtin], gtin);
    // The check's log stays as the check wrote it: the record shown is logged elsewhere.
    EXPECT_EQ(check.logPath(), (work / "pruefung" / "Error.log").string());
    EXPECT_TRUE(std::filesystem::exists(work / "Error.log"));
}
