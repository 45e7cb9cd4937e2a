// The checker's message boxes and questions: nobody is there to answer, so every
// question of the run gets the fixed answer of the options, every box is noted (and
// shown on request) with the answer it got.
#pragma once

#include "cli/Options.h"
#include "core/Services.h"
#include "run/RunQuestions.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace arti::cli {

class AnsweringMessageBox final : public IMessageBox {
public:
    struct Shown {
        BoxKind kind;
        std::string caption; // UTF-8
        std::string text;    // UTF-8
        BoxButton answer;
    };

    // `echo`: where boxes are written as they come (null: nowhere).
    explicit AnsweringMessageBox(std::ostream* echo = nullptr) : echo_(echo) {}

    // A pop-up during a run is answered "go on" (Cancel), any other question No, the
    // rest OK.
    BoxButton show(Owner owner, BoxKind kind, const std::string& caption, const std::string& text) override;
    // Notes a box that was answered elsewhere (a question of the run).
    void note(BoxKind kind, const std::string& caption, const std::string& text, BoxButton answer);

    // The boxes since the last clear (the first kKeep of them) and how many there were.
    const std::vector<Shown>& shown() const { return shown_; }
    std::size_t count() const { return count_; }
    void clear();

    static constexpr std::size_t kKeep = 200;

private:
    std::ostream* echo_;
    std::vector<Shown> shown_;
    std::size_t count_ = 0;
};

// The run's questions answered from the options; each is noted in `box` as the Yes/No
// box the window would show.
class OptionAnswers final : public IRunQuestions {
public:
    OptionAnswers(const Answers& answers, AnsweringMessageBox& box) : answers_(answers), box_(box) {}
    bool continueAfterLengthFault(const RunQuestion& q) override {
        return answer(q, answers_.continueAfterLengthFault);
    }
    bool deleteEarlierTexts(const RunQuestion& q) override { return answer(q, answers_.deleteOldTexts); }
    bool remakeTextStore(const RunQuestion& q) override { return answer(q, answers_.remakeTextStore); }
    bool widenDateWindow(const RunQuestion& q) override { return answer(q, answers_.widenDateWindow); }
    bool adoptCurrency(const RunQuestion& q) override { return answer(q, answers_.adoptCurrency); }

private:
    bool answer(const RunQuestion& q, bool yes) {
        box_.note(BoxKind::YesNo, q.caption, q.text, yes ? BoxButton::Yes : BoxButton::No);
        return yes;
    }
    Answers answers_;
    AnsweringMessageBox& box_;
};

} // namespace arti::cli
