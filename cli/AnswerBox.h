// The checker's message boxes: nobody is there to answer, so every question gets the
// fixed answer of the options, every other box is noted (and shown on request), and a
// box that reports a failed file operation marks the check as not done.
#pragma once

#include "core/Services.h"
#include "cli/Options.h"

#include <cstddef>
#include <optional>
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
    explicit AnsweringMessageBox(Answers answers, std::ostream* echo = nullptr) : answers_(answers), echo_(echo) {}

    BoxButton show(Owner owner, BoxKind kind, const std::string& caption, const std::string& text) override;

    // The boxes since the last clear (the first kKeep of them) and how many there were.
    const std::vector<Shown>& shown() const { return shown_; }
    std::size_t count() const { return count_; }
    // The text of the first box that reported a failed read, write or open, or of the log.
    const std::optional<std::string>& ioFailure() const { return ioFailure_; }
    void clear();

    static constexpr std::size_t kKeep = 200;

private:
    BoxButton answer(BoxKind kind, const std::string& caption, const std::string& text) const;

    Answers answers_;
    std::ostream* echo_;
    std::vector<Shown> shown_;
    std::size_t count_ = 0;
    std::optional<std::string> ioFailure_;
};

} // namespace arti::cli
