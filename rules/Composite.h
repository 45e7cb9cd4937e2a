// Composite rules between the records of one article in versions 01/96 and 05/90: the
// article number a B or Z record names must be the number of that kind in the A record
// before it, and a Z record must have been announced by the B record before it.
#pragma once

#include "rules/FieldTable.h"
#include "rules/Version.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace arti {

class ICheckContext;

// The main window's composite state, referred to for one call. It outlives runs: the
// numbers of the last A record are kept until the next A record replaces them.
struct CompositeState {
    // The three article numbers of the last A record (GTIN/EAN, manufacturer's number,
    // wholesaler's number), as the record holds them.
    std::vector<std::string>& numbers;
    // Whether an A record has set `numbers` since the window was set up.
    bool& numbersSet;
    // Whether the last B record announced a following Z record.
    bool& zAnnounced;
};

// A record: keeps its fields 3, 4 and 5 unchanged as the article numbers.
void collectArticleNumbers(const CompositeState& state, std::string_view gtin,
                           std::string_view manufacturerNumber, std::string_view wholesalerNumber);

// The article-number rule for a B or Z record: `articleSwitch` is its field 3
// ("Schalter Art.Nr."), `articleNumber` its field 4. The version's switch codes name the
// kinds: 01/96 "1", "2", "3", 05/90 "0", "1", "2" (other versions have no such rule). A
// mismatch with the A record's number of that kind is reported with finding position 3.
// Nothing is reported before the first A record or for a switch that names no kind.
void checkArticleNumber(ICheckContext& ctx, const CompositeState& state, Version version,
                        std::string_view recordType, std::string_view articleSwitch,
                        std::string_view articleNumber);

// Z record, after the article-number rule: reports it when the last B record did not
// announce it. The announcement stays as it is.
void checkSurchargeAnnounced(ICheckContext& ctx, const CompositeState& state);

// B record, after the article-number rule: whether it announces a following Z record.
inline void noteSurchargeAnnouncement(const CompositeState& state, bool announced) {
    state.zAnnounced = announced;
}

// Where a B record announces a following Z record: the row of the mark and its value
// (01/96: field 33 is "1"; 05/90: field 28 is "Z").
struct SurchargeMark {
    std::size_t row;
    std::string_view value;
};

// The composite step of a record whose table is filled: an A record keeps its fields 3 to
// 5; a B or Z record has its fields 3 and 4 checked by the article-number rule; then a Z
// record must have been announced, and a B record announces one when it holds `mark`.
// Inline: it runs for every record of a run, with the version's constants.
inline void compositeStep(ICheckContext& ctx, const CompositeState& state, Version version,
                          const FieldTable& table, SurchargeMark mark) {
    if (table.empty()) return;
    const std::string_view type = table.content(0);
    const char letter = recordLetter(type);
    if (letter == 'A') {
        collectArticleNumbers(state, table.content(2), table.content(3), table.content(4));
    } else if (letter == 'Z') {
        checkArticleNumber(ctx, state, version, type, table.content(2), table.content(3));
        checkSurchargeAnnounced(ctx, state);
    } else if (letter == 'B') {
        checkArticleNumber(ctx, state, version, type, table.content(2), table.content(3));
        noteSurchargeAnnouncement(state, mark.row < table.size() && table.content(mark.row) == mark.value);
    }
}

} // namespace arti
