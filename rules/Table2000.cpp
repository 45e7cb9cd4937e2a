#include "rules/Table2000.h"

#include "rules/Table2000Rows.h"

#include <array>

namespace arti {

using namespace rows2000;

std::span<const std::uint8_t> rowRules2000(char recordType) {
    switch (recordType) {
    case 'H':
        return kRulesH;
    case 'I':
        return kRulesI;
    case 'K':
        return kRulesK;
    case 'P':
        return kRulesP;
    case 'R':
        return kRulesR;
    case 'S':
        return kRulesS;
    case 'T':
        return kRulesT;
    case 'U':
        return kRulesU;
    case 'V':
        return kRulesV;
    case 'W':
        return kRulesW;
    case 'X':
        return kRulesX;
    case 'Z':
        return kRulesZ;
    default:
        return {};
    }
}

std::span<const std::uint8_t> rowPlans2000(char recordType) {
    switch (recordType) {
    case 'H':
        return kPlansH;
    case 'I':
        return kPlansI;
    case 'K':
        return kPlansK;
    case 'P':
        return kPlansP;
    case 'R':
        return kPlansR;
    case 'S':
        return kPlansS;
    case 'T':
        return kPlansT;
    case 'U':
        return kPlansU;
    case 'V':
        return kPlansV;
    case 'W':
        return kPlansW;
    case 'X':
        return kPlansX;
    case 'Z':
        return kPlansZ;
    default:
        return {};
    }
}

std::span<const FieldDef> fieldDefs2000(char recordType) {
    switch (recordType) {
    case 'H':
        return kH;
    case 'I':
        return kI;
    case 'K':
        return kK;
    case 'P':
        return kP;
    case 'R':
        return kR;
    case 'S':
        return kS;
    case 'T':
        return kT;
    case 'U':
        return kU;
    case 'V':
        return kV;
    case 'W':
        return kW;
    case 'X':
        return kX;
    case 'Z':
        return kZ;
    default:
        return {};
    }
}

namespace {

template <std::size_t N>
constexpr RecordType2000 typeOf(const std::array<FieldDef, N>& defs, const std::array<std::uint8_t, N>& rules,
                                const std::array<std::uint8_t, N>& plans) {
    bool textRows = false;
    for (const std::uint8_t plan : plans)
        textRows = textRows || (plan & kPlanText) != 0;
    return RecordType2000{defs.data(), rules.data(), plans.data(), N, textRows};
}

constexpr std::array<RecordType2000, 256> typesByLetter() {
    std::array<RecordType2000, 256> t{};
    t['H'] = typeOf(kH, kRulesH, kPlansH);
    t['I'] = typeOf(kI, kRulesI, kPlansI);
    t['K'] = typeOf(kK, kRulesK, kPlansK);
    t['P'] = typeOf(kP, kRulesP, kPlansP);
    t['R'] = typeOf(kR, kRulesR, kPlansR);
    t['S'] = typeOf(kS, kRulesS, kPlansS);
    t['T'] = typeOf(kT, kRulesT, kPlansT);
    t['U'] = typeOf(kU, kRulesU, kPlansU);
    t['V'] = typeOf(kV, kRulesV, kPlansV);
    t['W'] = typeOf(kW, kRulesW, kPlansW);
    t['X'] = typeOf(kX, kRulesX, kPlansX);
    t['Z'] = typeOf(kZ, kRulesZ, kPlansZ);
    return t;
}

} // namespace

constexpr std::array<RecordType2000, 256> detail::kRecordTypes2000 = typesByLetter();

} // namespace arti
