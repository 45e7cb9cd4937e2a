// The run's questions through its interface: which question a file makes the engine
// ask, in which order, and what each answer does to the check. (The window's boxes for
// them are the window tests'.)
#include "tests/support/EngineCheck.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace arti;
using namespace arti::test;

namespace {

std::string generated(gen::Version v, gen::Fault f) {
    gen::FileRecipe recipe;
    recipe.version = v;
    recipe.records = 30;
    recipe.fault = f;
    return gen::generateBytes(recipe);
}

// An 01/96 file one line longer than its records: no multiple of 130 bytes.
std::string lengthFault() {
    return fixedRecord("V01012023" + std::string(90, ' ') + "11100000" + std::string(17, ' ') + "0196") +
           fixedRecord("K") + "A\r\n";
}

constexpr Date kFileDate{std::chrono::year{2024}, std::chrono::month{1}, std::chrono::day{15}};

struct QuestionCase {
    const char* what;
    std::function<void(EngineCheck&)> before; // the state the file meets (null: none)
    std::string content;
    std::vector<bool> answers;
    std::vector<Question> asked;              // a question asked again right after itself counts once
    std::function<bool(EngineCheck&)> effect; // what the answers did
};

} // namespace

TEST(RunQuestions, EachFileAsksItsQuestionsAndTheAnswersCount) {
    const auto secondChoice = [](EngineCheck& e) {
        e.questions.otherwise = true;
        e.check(e.write("FIRST.001", generated(gen::Version::V0196, gen::Fault::None)));
        e.questions.asked.clear();
    };
    const auto damagedStore = [](EngineCheck& e) {
        e.write("VTEXT.DBF", "kaputt");
        e.write("VTEXT.FPT", "");
    };
    const auto narrowWindow = [](EngineCheck& e) {
        e.run.parameters.dateWindow.lower = std::chrono::year{2025} / 1 / 1;
    };
    const QuestionCase cases[] = {
        {"length fault, go on",
         nullptr,
         lengthFault(),
         {true},
         {Question::LengthFault},
         [](EngineCheck& e) { return e.run.fileReady; }},
        {"length fault, stop",
         nullptr,
         lengthFault(),
         {false},
         {Question::LengthFault},
         [](EngineCheck& e) { return e.run.outcome.fileRefusal == FileRefusal::LengthFaultDeclined; }},
        {"header date before the window, widened",
         narrowWindow,
         generated(gen::Version::V2000, gen::Fault::None),
         {true},
         {Question::DateWindow},
         [](EngineCheck& e) {
             return e.run.parameters.dateWindow.lower == kFileDate &&
                    e.display.phases.back() == "outcomeChanged";
         }},
        {"header date before the window, kept",
         narrowWindow,
         generated(gen::Version::V2000, gen::Fault::None),
         {false},
         {Question::DateWindow},
         [](EngineCheck& e) { return e.run.parameters.dateWindow.lower == std::chrono::year{2025} / 1 / 1; }},
        {"foreign currency adopted",
         nullptr,
         generated(gen::Version::V0196, gen::Fault::ForeignCurrency),
         {true},
         {Question::Currency},
         [](EngineCheck& e) { return e.run.parameters.currency == "USD"; }},
        {"foreign currency refused",
         nullptr,
         generated(gen::Version::V0196, gen::Fault::ForeignCurrency),
         {false},
         {Question::Currency},
         [](EngineCheck& e) { return e.run.parameters.currency == "EUR"; }},
        {"texts of an earlier run deleted",
         secondChoice,
         generated(gen::Version::V0196, gen::Fault::None),
         {true},
         {Question::EarlierTexts},
         [](EngineCheck& e) { return e.run.texts.fault().empty() && e.run.texts.mayStore(); }},
        {"texts of an earlier run kept",
         secondChoice,
         generated(gen::Version::V0196, gen::Fault::None),
         {false},
         {Question::EarlierTexts},
         [](EngineCheck& e) { return !e.run.texts.mayStore(); }},
        {"damaged store made anew",
         damagedStore,
         generated(gen::Version::V0196, gen::Fault::None),
         {true},
         {Question::TextStore},
         [](EngineCheck& e) { return e.run.texts.fault().empty(); }},
        {"damaged store left",
         damagedStore,
         generated(gen::Version::V0196, gen::Fault::None),
         {false},
         {Question::TextStore},
         [](EngineCheck& e) { return !e.run.texts.fault().empty(); }},
        {"a clean file asks nothing",
         nullptr,
         generated(gen::Version::V0590, gen::Fault::None),
         {},
         {},
         [](EngineCheck& e) { return e.run.outcome.kind() == OutcomeKind::FileEnd; }},
    };
    for (const QuestionCase& c : cases) {
        SCOPED_TRACE(c.what);
        EngineCheck e;
        if (c.before) c.before(e);
        e.questions.answers.assign(c.answers.begin(), c.answers.end());
        e.questions.otherwise = false;
        e.check(e.write("ELDANORM.001", c.content));
        std::vector<Question> asked = e.questions.asked;
        asked.erase(std::unique(asked.begin(), asked.end()), asked.end());
        EXPECT_EQ(asked, c.asked);
        EXPECT_TRUE(e.questions.answers.empty()) << "every scripted answer used";
        EXPECT_TRUE(c.effect(e));
    }
}

// Each run checks with the parameters handed to it, several runs in one process with
// different ones; what a run adopts stays its own, and the settings in memory keep
// their values.
TEST(RunQuestions, EachRunChecksWithItsOwnParametersAndLeavesTheSettingsAlone) {
    const Settings saved = settings();
    settings() = Settings{};
    settings().waehrung = "CHF";
    settings().uDatum = std::chrono::year{1999} / 1 / 1;
    const struct {
        const char* what;
        Date lower;
        const char* currency;
        gen::Version version;
        std::vector<Question> asked;
        const char* currencyAtEnd;
    } cases[] = {
        {"header date before the window",
         std::chrono::year{2025} / 1 / 1,
         "EUR",
         gen::Version::V2000,
         {Question::DateWindow},
         "EUR"},
        {"header date in the window", std::chrono::year{2020} / 1 / 1, "EUR", gen::Version::V2000, {}, "EUR"},
        {"the file's currency", std::chrono::year{2020} / 1 / 1, "EUR", gen::Version::V0196, {}, "EUR"},
        {"another currency than the file's",
         std::chrono::year{2020} / 1 / 1,
         "CHF",
         gen::Version::V0196,
         {Question::Currency},
         "EUR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EngineCheck e;
        e.run.parameters.dateWindow.lower = c.lower;
        e.run.parameters.currency = c.currency;
        e.questions.otherwise = true;
        e.check(e.write("ELDANORM.001", generated(c.version, gen::Fault::None)));
        std::vector<Question> asked = e.questions.asked;
        asked.erase(std::unique(asked.begin(), asked.end()), asked.end());
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(e.run.parameters.currency, c.currencyAtEnd);
        EXPECT_EQ(settings().waehrung, "CHF");
        EXPECT_EQ(settings().uDatum, std::chrono::year{1999} / 1 / 1);
    }
    settings() = saved;
}
