#include "rules/Composite.h"

#include "core/Text.h"
#include "rules/CheckContext.h"

namespace arti {

namespace {

struct Kind {
    std::string_view code;
    std::string_view label;
};

// The kinds of article number in the order of the A record's fields 3, 4 and 5.
constexpr Kind kKinds0196[3] = {{"1", "1 GTIN"}, {"2", "2 HSN"}, {"3", "3 GHN"}};
constexpr Kind kKinds0590[3] = {{"0", "0 GTIN"}, {"1", "1 HSN"}, {"2", "2 GHN"}};

} // namespace

void collectArticleNumbers(const CompositeState& state, std::string_view gtin,
                           std::string_view manufacturerNumber, std::string_view wholesalerNumber) {
    // The numbers of one file keep their widths: a copy over the same length is all.
    const auto keep = [](std::string& kept, std::string_view number) {
        if (kept.size() != number.size()) kept.resize(number.size());
        std::char_traits<char>::copy(kept.data(), number.data(), number.size());
    };
    state.numbers.resize(3);
    keep(state.numbers[0], gtin);
    keep(state.numbers[1], manufacturerNumber);
    keep(state.numbers[2], wholesalerNumber);
    state.numbersSet = true;
}

void checkArticleNumber(ICheckContext& ctx, const CompositeState& state, Version version,
                        std::string_view recordType, std::string_view articleSwitch,
                        std::string_view articleNumber) {
    if (!state.numbersSet || state.numbers.size() < 3) return;
    if (version != Version::V0196 && version != Version::V0590) return;
    const Kind* kinds = version == Version::V0196 ? kKinds0196 : kKinds0590;
    for (std::size_t k = 0; k < 3; ++k) {
        // The codes are one character each.
        if (articleSwitch.size() != 1 || articleSwitch[0] != kinds[k].code[0]) continue;
        // The same text as the A record's is the same number without trimming.
        if (articleNumber == state.numbers[k]) return;
        const std::string_view expected = trimView(state.numbers[k]);
        if (expected == trimView(articleNumber)) return;
        ctx.setFindingPosition(3);
        std::string text = "Der Schalter Artikelnummer in Satzart ";
        text += recordType;
        text += " (";
        text += kinds[k].label;
        text += ' ';
        text += expected;
        text += ") verweist auf eine falsche Artikelnummer !";
        // About the switch, field 3 of the B and Z records.
        ctx.report(MessageKind::ArticleSwitchMismatch, 3, text);
        return;
    }
}

void checkSurchargeAnnounced(ICheckContext& ctx, const CompositeState& state) {
    if (!state.zAnnounced)
        ctx.report(MessageKind::SurchargeNotAnnounced, kNoField,
                   "Die vorherige Satzart B hat kein Kennzeichen auf diesen Z-Satz!");
}

} // namespace arti
