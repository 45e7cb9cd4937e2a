// How the parts of a check (order tracker, composite tracker, long-text store) report:
// a finding into the error log, a refusal that ends the check, and the owner and
// answerer of the boxes they show. The engine implements it; tests record what comes.
#pragma once

#include "core/Services.h"
#include "rules/MessageKind.h"
#include "run/RunQuestions.h"

#include <cstdint>

#include <string>

namespace arti {

enum class RuleAbortKind;

class IRunFindings {
public:
    // Logs a finding of the given kind, about field `field` of the record at hand (with
    // pop-ups on, in a box).
    virtual void ERRORLOG(MessageKind kind, const std::string& text, std::uint32_t field = kNoField) = 0;
    // A refusal that ends the check: logged (of kind `message`) and kept as the way the
    // check ended.
    virtual void refuseCheck(RuleAbortKind kind, MessageKind message, const std::string& text) = 0;
    virtual Owner owner() const = 0;
    virtual IRunQuestions& questions() = 0;

protected:
    ~IRunFindings() = default;
};

} // namespace arti
