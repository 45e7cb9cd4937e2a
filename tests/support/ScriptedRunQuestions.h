// The run's questions answered from a script: the answers in order (then `otherwise`),
// each question recorded with the caption and text its box would show.
#pragma once

#include "core/Text.h"
#include "run/RunQuestions.h"

#include <deque>
#include <string>
#include <vector>

namespace arti::test {

enum class Question { LengthFault, EarlierTexts, TextStore, DateWindow, Currency };

class ScriptedRunQuestions final : public IRunQuestions {
public:
    struct Asked {
        Question which;
        std::string caption, text; // UTF-8
    };

    bool continueAfterLengthFault(const RunQuestion& q) override { return next(Question::LengthFault, q); }
    bool deleteEarlierTexts(const RunQuestion& q) override { return next(Question::EarlierTexts, q); }
    bool remakeTextStore(const RunQuestion& q) override { return next(Question::TextStore, q); }
    bool widenDateWindow(const RunQuestion& q) override { return next(Question::DateWindow, q); }
    bool adoptCurrency(const RunQuestion& q) override { return next(Question::Currency, q); }

    std::vector<Question> questions() const {
        std::vector<Question> out;
        for (const Asked& a : asked) out.push_back(a.which);
        return out;
    }

    std::deque<bool> answers;
    bool otherwise = false;
    std::vector<Asked> asked;

private:
    bool next(Question which, const RunQuestion& q) {
        asked.push_back({which, ansiToUtf8(q.caption), ansiToUtf8(q.text)});
        if (answers.empty()) return otherwise;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
};

} // namespace arti::test
