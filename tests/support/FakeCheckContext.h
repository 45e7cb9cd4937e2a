// The check context of the field rules without a window: it keeps every finding with
// its position, answers questions from a queue and records them, and holds the run's
// switches, settings and date window as plain members a test sets.
#pragma once

#include "core/Text.h"
#include "rules/CheckContext.h"
#include "rules/VersionRules.h"

#include <chrono>
#include <deque>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace arti::test {

class FakeCheckContext : public ICheckContext, public RecordDisplay {
public:
    FakeCheckContext() : ICheckContext(position) {}

    struct Report {
        long long position = 0;
        std::string text; // UTF-8
        bool operator==(const Report&) const = default;
        friend std::ostream& operator<<(std::ostream& os, const Report& r) {
            return os << r.position << ": " << r.text;
        }
    };
    // What a finding is about: its kind and field, kept beside its text.
    struct About {
        MessageKind kind{};
        std::uint32_t field = kNoField;
        bool operator==(const About&) const = default;
    };
    struct Asked {
        std::string caption, text; // UTF-8
    };

    void report(MessageKind kind, std::uint32_t field, const std::string& text) override {
        ++count;
        if (!keep) return;
        reports.push_back({position, ansiToUtf8(text)});
        about.push_back({kind, field});
    }
    std::string_view recordNumber() const override { return number; }
    long long recordOffset() const override { return offset; }
    CheckSwitches switches() const override { return sw; }
    const std::string& currency() const override { return currency_; }
    const std::string& countryCodes() const override { return countries_; }
    DateWindow dateWindow() const override { return window; }
    void setDateWindow(const DateWindow& w) override {
        window = w;
        ++windowChanges;
    }
    void setCurrency(std::string_view code) override {
        currency_ = std::string(code);
        ++currencyChanges;
    }
    // Answered from `answers` in order, then with `defaultAnswer` (a failure when `strict`).
    bool askWidenDateWindow(const std::string& caption, const std::string& text) override {
        return askYesNo(caption, text);
    }
    bool askAdoptCurrency(const std::string& caption, const std::string& text) override {
        return askYesNo(caption, text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) {
        asked.push_back({ansiToUtf8(caption), ansiToUtf8(text)});
        if (answers.empty()) {
            if (strict) ADD_FAILURE() << "unexpected question " << ansiToUtf8(text);
            return defaultAnswer;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void showFields(const FieldTable& t) override { shownRows += t.size(); }
    void showFieldCount(std::size_t n) override { fieldCount = n; }

    // The findings' texts; each with its position in front ("12|text" for "|").
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Report& r : reports)
            out.push_back(r.text);
        return out;
    }
    std::vector<std::string> withPositions(std::string_view separator) const {
        std::vector<std::string> out;
        for (const Report& r : reports)
            out.push_back(std::to_string(r.position) + std::string(separator) + r.text);
        return out;
    }
    std::vector<long long> positions() const {
        std::vector<long long> out;
        for (const Report& r : reports)
            out.push_back(r.position);
        return out;
    }
    // The questions asked, caption and text joined by `separator`.
    std::vector<std::string> questions(std::string_view separator) const {
        std::vector<std::string> out;
        for (const Asked& a : asked)
            out.push_back(a.caption + std::string(separator) + a.text);
        return out;
    }

    // Switches, settings and the record at hand.
    CheckSwitches sw{};
    std::string number = "7";
    long long offset = 0;
    std::string currency_ = "EUR";
    std::string countries_ = "DE";
    DateWindow window{std::chrono::year{2020} / 1 / 1, std::chrono::year{2030} / 12 / 31};
    // The position the record step leaves before the checks.
    long long position = -1;
    std::deque<bool> answers;
    bool defaultAnswer = false;
    bool strict = false;
    // false: findings are only counted (a test that must not allocate).
    bool keep = true;

    // What happened.
    std::vector<Report> reports;
    std::vector<About> about; // one per report
    int count = 0;
    std::vector<Asked> asked;
    int windowChanges = 0;
    int currencyChanges = 0;
    std::size_t shownRows = 0;
    std::size_t fieldCount = 99;
};

} // namespace arti::test
