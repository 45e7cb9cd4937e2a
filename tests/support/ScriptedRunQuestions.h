// The run's questions answered from a script: the answers in order (then `otherwise`),
// each question recorded with its words.
#pragma once

#include "run/RunQuestions.h"

#include <deque>
#include <vector>

namespace arti::test {

enum class Question { LengthFault, EarlierTexts, TextStore, DateWindow, Currency };

class ScriptedRunQuestions final : public IRunQuestions {
public:
    bool continueAfterLengthFault(const RunQuestion& q) override { return next(Question::LengthFault, q); }
    bool deleteEarlierTexts(const RunQuestion& q) override { return next(Question::EarlierTexts, q); }
    bool remakeTextStore(const RunQuestion& q) override { return next(Question::TextStore, q); }
    bool widenDateWindow(const RunQuestion& q) override { return next(Question::DateWindow, q); }
    bool adoptCurrency(const RunQuestion& q) override { return next(Question::Currency, q); }

    std::deque<bool> answers;
    bool otherwise = false;
    std::vector<Question> asked;
    std::vector<RunQuestion> words; // each question's caption and text, in order

private:
    bool next(Question which, const RunQuestion& q) {
        asked.push_back(which);
        words.push_back(q);
        if (answers.empty()) return otherwise;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
};

} // namespace arti::test
