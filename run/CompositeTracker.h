// The composite state of the article records of versions 01/96 and 05/90: the article
// numbers of the last A record and whether the last B record announced a Z record. The
// field checks hand it to the version's composite step; the article-number rule
// (VERBUND) holds a B or Z record against it. Findings go to the rules' check context.
#pragma once

#include "rules/Composite.h"
#include "rules/Version.h"

#include <string>
#include <string_view>
#include <vector>

namespace arti {

class ICheckContext;

class CompositeTracker {
public:
    // The state as the composite rules take it, for one call.
    CompositeState state() { return CompositeState{AVERBUND_, LVERBUND_, LZSATZ_}; }

    // The article-number rule with the record type letter ("B" or "Z"), field 3
    // ("Schalter Art.Nr.") and field 4 ("Artikel-Nr."); the two-argument form cuts the
    // three from the B or Z record.
    void VERBUND(ICheckContext& ctx, Version version, std::string_view recordType,
                 std::string_view articleSwitch, std::string_view articleNumber);
    void VERBUND(ICheckContext& ctx, Version version, const std::string& record);

    // The article number of kind `kind` (0 to 2) of the last A record.
    const std::string& articleNumber(std::size_t kind) const { return AVERBUND_[kind]; }
    bool numbersSet() const { return LVERBUND_; }
    bool surchargeAnnounced() const { return LZSATZ_; }
    // A run starts or stops: no Z record is announced.
    void forgetSurchargeAnnouncement() { LZSATZ_ = false; }
    // Empties the article numbers (whether they were set stays).
    void forgetNumbers() { AVERBUND_.assign(3, std::string()); }
    // Nothing of the previous file's articles stays.
    void reset();

private:
    std::vector<std::string> AVERBUND_ = std::vector<std::string>(3);
    bool LVERBUND_ = false;
    bool LZSATZ_ = false;
};

} // namespace arti
