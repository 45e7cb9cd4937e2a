// The questions a check asks while it works, one method each. The window answers each
// in its Yes/No box (BoxRunQuestions), the command-line checker from its options, tests
// from a script. Each question comes with the caption and text its box shows.
#pragma once

#include "core/Services.h"

#include <string>

namespace arti {

// A question as its box words it (Windows-1252).
struct RunQuestion {
    std::string caption;
    std::string text;
};

class IRunQuestions {
public:
    virtual ~IRunQuestions() = default;
    // The file's length is no multiple of its records' length: check it all the same?
    virtual bool continueAfterLengthFault(const RunQuestion& q) = 0;
    // The long-text store holds texts of an earlier run: delete them?
    virtual bool deleteEarlierTexts(const RunQuestion& q) = 0;
    // The long-text store is damaged: make it anew (its texts are lost)?
    virtual bool remakeTextStore(const RunQuestion& q) = 0;
    // A date outside the run's date window: widen the window for this check?
    virtual bool widenDateWindow(const RunQuestion& q) = 0;
    // A currency other than the run's: adopt it for this check?
    virtual bool adoptCurrency(const RunQuestion& q) = 0;
};

// Every question in its Yes/No box owned by `owner`, as the main window asks them.
class BoxRunQuestions final : public IRunQuestions {
public:
    explicit BoxRunQuestions(Owner owner) : owner_(owner) {}
    bool continueAfterLengthFault(const RunQuestion& q) override { return ask(q); }
    bool deleteEarlierTexts(const RunQuestion& q) override { return ask(q); }
    bool remakeTextStore(const RunQuestion& q) override { return ask(q); }
    bool widenDateWindow(const RunQuestion& q) override { return ask(q); }
    bool adoptCurrency(const RunQuestion& q) override { return ask(q); }

private:
    bool ask(const RunQuestion& q) { return box().askYesNo(owner_, q.caption, q.text); }
    Owner owner_;
};

} // namespace arti
