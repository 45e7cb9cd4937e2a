// The rules of ELDANORM version 2000 behind IVersionRules: the record's table is built from
// the fields the record delivers, split at the separator its header names; record-level
// faults are reported, every field is checked against its definition, and the record
// rules of the H, I, X and Z records follow. Version 2000 has no composite step.
#include "rules/Rules2000.h"

#include "core/ByteSet.h"
#include "core/Text.h"
#include "rules/FieldScan.h"
#include "rules/NumberText.h"
#include "rules/SharedRules.h"
#include "rules/Table2000.h"
#include "rules/Table2000Rows.h"

#include <bit>
#include <chrono>
#include <cstring>
#include <optional>
#include <utility>

namespace arti {

using namespace literals;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// A list of allowed values that holds only blanks or tabs is no list.
bool noList(std::string_view list) {
    return list.find_first_not_of(" \t") == std::string_view::npos;
}

// The character rule is relaxed in an ANSI file and with the character check off.
bool relaxedCharacters(const CheckSwitches& sw) {
    return !sw.oemFile || sw.asciiCheckOff;
}

std::string fieldWord(std::uint32_t nr) {
    return "Fehler in Feld " + NumberText(nr);
}

std::string_view contentOf(const FieldTable& table, std::size_t row) {
    return row < table.size() ? table.content(row) : std::string_view();
}

ARTI_FINDING void mandatoryEmpty(ICheckContext& ctx, std::uint32_t nr) {
    ctx.report(MessageKind::MandatoryEmpty, nr, fieldWord(nr) + ", Muss-Feld muss einen Inhalt haben !");
}

// Currency codes must be the run's; the question may adopt the code for the run.
ARTI_FINDING void foreignCurrency(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    ctx.report(MessageKind::CurrencyDiffers, nr,
               "Satz " + std::string(ctx.recordNumber()) + ", " + fieldWord(nr) +
                   ", das Währungskennzeichen ist nicht identisch mit den Systemeinstellungen."_ansi);
    WAEHRUNGSWECHSEL(ctx, v);
}

ARTI_FINDING void invalidDate(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    ctx.report(MessageKind::DateInvalid, nr, fieldWord(nr) + ", ungültiges Datum "_ansi + std::string(v));
}

ARTI_FINDING void dateOutside(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    ctx.report(MessageKind::DateOutsideWindow, nr,
               "Satz " + std::string(ctx.recordNumber()) + ", " + fieldWord(nr) +
                   ", Datum liegt nicht im gültigen Bereich "_ansi + std::string(v));
}

// Dates YYYYMMDD inside the run's date window. Kept out of the field checks, which run
// for every field: only date fields come here.
[[gnu::noinline]] void dateField(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    dateRule(
        ctx, nr, v, DigitOrder::YearMonthDay, [&] { invalidDate(ctx, nr, v); },
        [&](const Date&) { dateOutside(ctx, nr, v); });
}

// Digits, "," "-" and "." only.
ARTI_FINDING void badNumberCharacter(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    std::size_t j = 0;
    while (j < v.size() && ((v[j] >= '0' && v[j] <= '9') || v[j] == ',' || v[j] == '-' || v[j] == '.'))
        ++j;
    if (j < v.size())
        ctx.report(MessageKind::NumberCharacterRefused, nr,
                   fieldWord(nr) + ",Position " + NumberText(j + 1) + ", \r\nZeichen >" +
                       std::string(1, v[j]) +
                       "< nicht zulässig.\r\nZulässig sind nur Zahlen 0 bis 9 und ,. -"_ansi);
}

ARTI_FINDING void numberNotListed(ICheckContext& ctx, std::uint32_t nr, std::string_view list) {
    ctx.report(MessageKind::NumberNotListed, nr,
               fieldWord(nr) + ", der numerische Wert kann nur im Bereich " + std::string(list) +
                   " liegen !");
}

ARTI_FINDING void blanksOnlyField(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    ctx.report(MessageKind::BlanksOnly, nr,
               fieldWord(nr) + " unzulässige Zeichenfolge >"_ansi + std::string(v) +
                   "< oder nur Leerzeichen im Feld.");
}

ARTI_FINDING void badCharacter(ICheckContext& ctx, std::uint32_t nr, std::string_view v,
                               const CheckSwitches& sw) {
    const std::size_t j = firstRefusedCharacter(v, relaxedCharacters(sw));
    if (j == std::string_view::npos) return;
    ctx.report(MessageKind::CharacterRefused, nr,
               fieldWord(nr) + ",Position " + NumberText(j + 1) + ", Zeichen >" + std::string(1, v[j]) +
                   "< nicht zulässig.\r\n"_ansi + std::string(kAdmittedCharacters));
}

ARTI_FINDING void valueNotListed(ICheckContext& ctx, std::uint32_t nr, std::string_view list) {
    ctx.report(MessageKind::ValueNotListed, nr,
               fieldWord(nr) + ", der Vorgabewert kann nur  " + std::string(list) + " sein !");
}

// The character rule of alphanumeric fields: codes 32 to 126, and in an ANSI file or
// with the character check off every code above 31.
bool allowedCharacters(std::string_view v, const CheckSwitches& sw) {
    return relaxedCharacters(sw) ? scan::noControlCharacters(v) : scan::printableAscii(v);
}

// The character rule for a whole record at once (see allowedCharacters).
bool recordCharacters(std::string_view text, const CheckSwitches& sw) {
    return relaxedCharacters(sw) ? scan::allWithinWide<32, 255>(text) : scan::allWithinWide<32, 126>(text);
}

// Digits and the number marks "," "-" "." (the fast test: digits, then the marks).
bool numberCharacters(std::string_view v) {
    if (scan::digitsOnly(v)) return true;
    for (const char c : v)
        if (!((c >= '0' && c <= '9') || c == ',' || c == '-' || c == '.')) return false;
    return true;
}

// The field checks of one row: the first branch whose condition holds, and only that one.
// `charactersClean`: the whole record passes the character rule, so every field does.
// Kept out of the loop over the rows: the plans pass most rows before it, and the loop
// without it keeps its values in registers.
[[gnu::noinline]] void checkField(ICheckContext& ctx, const FieldTable& table, std::size_t row,
                                  std::uint8_t rule, const CheckSwitches& sw, bool charactersClean) {
    const FieldDef& def = table.def(row);
    const std::string_view v = table.content(row);
    const auto nr = [&] { return table.number(row); };
    // A finding is placed at the field's start (set only when there is one: this runs
    // for every field of every record).
    const auto place = [&] { ctx.setFindingPosition(table.position(row)); };

    if (def.mandatory() && scan::blankOnly(v)) {
        place();
        return mandatoryEmpty(ctx, nr());
    }
    if ((rule & kCurrencyField2000) && !equalsByPrefix(v, ctx.currency())) {
        place();
        return foreignCurrency(ctx, nr(), v);
    }
    if ((rule & kDateField2000) && !v.empty()) {
        place();
        return dateField(ctx, table.number(row), v);
    }

    const bool countries = (rule & kCountryCodes2000) != 0;
    const std::string_view list = countries ? std::string_view(ctx.countryCodes()) : def.values;
    const bool listed = countries ? !noList(list) : def.has(kTraitList);

    if (def.numeric()) {
        if (!listed) {
            if (!numberCharacters(v)) {
                place();
                badNumberCharacter(ctx, nr(), v);
            }
        } else if (!v.empty() && !scan::listContains(list, v)) {
            place();
            numberNotListed(ctx, nr(), list);
        }
        return;
    }
    if (!def.has(kTraitAlpha)) return;
    if (!listed) {
        if (!v.empty() && scan::blankOnly(v)) {
            place();
            return blanksOnlyField(ctx, nr(), v);
        }
        if (!charactersClean && !allowedCharacters(v, sw)) {
            place();
            badCharacter(ctx, nr(), v, sw);
        }
        return;
    }
    // A list on a field of ten characters or more is not tested.
    if (def.has(kTraitShortLength) && !scan::listContains(list, v)) {
        place();
        valueNotListed(ctx, nr(), list);
    }
}

// A date field's content that the run's date window held: a file carries few dates, so
// the last date that passed is kept with the window it passed in, and the same eight
// characters pass again at once while the window is the same. Any other content is read.
bool knownGoodDate(ICheckContext& ctx, std::string_view v) {
    struct Passed {
        std::uint64_t text = 0;
        DateWindow window;
        bool set = false;
    };
    thread_local Passed last;
    if (v.size() != 8) return false;
    std::uint64_t text;
    std::memcpy(&text, v.data(), 8);
    const DateWindow window = ctx.dateWindow();
    if (last.set && text == last.text && window.lower == last.window.lower &&
        window.upper == last.window.upper)
        return true;
    const std::optional<Date> date = readDigitDate(v, DigitOrder::YearMonthDay);
    if (!date || !window.contains(*date)) return false;
    last = Passed{text, window, true};
    return true;
}

// Whether a row's content has no finding by the few tests of its plan (see RowPlan2000):
// the common content of a good file, tested without the branches of the whole check.
// False sends the row through checkField, which decides.
// `listed(v)` answers whether a content that is not empty is found in the row's list.
// kBlankRefusedLater: the tests after the first refuse a content that starts with a
// blank, so that a mandatory row need only refuse an empty one first.
template <bool kBlankRefusedLater = false, typename Listed>
[[gnu::always_inline]] inline bool passesPlan(ICheckContext& ctx, std::uint8_t plan, std::string_view v,
                                              bool charactersClean, const CheckSwitches& sw,
                                              Listed&& listed) {
    const bool blankStart = v.empty() || (!kBlankRefusedLater && v[0] == ' ');
    if ((plan & kPlanWhole) || ((plan & kPlanMandatory) && blankStart)) return false;
    if ((plan & kPlanCurrency) && !equalsByPrefix(v, ctx.currency())) return false;
    if ((plan & kPlanDate) && !v.empty()) return knownGoodDate(ctx, v);
    // Digits alone, the common number; one with signs, commas or points takes the whole way.
    if (plan & kPlanNumber) return scan::digitsOnly(v);
    if (plan & kPlanList) return v.empty() || listed(v);
    // In a record that fails the character rule somewhere, each text is tested itself.
    if (plan & kPlanText) return v.empty() || (v[0] != ' ' && (charactersClean || allowedCharacters(v, sw)));
    return true;
}

// The GTIN/EAN rule of the I and X records for the field named `fieldWord` ("Feld 3").
void gtinRule2000(ICheckContext& ctx, std::string_view value, std::uint32_t field,
                  std::string_view fieldWord) {
    const std::string_view g = trimView(value);
    const auto head = [&] {
        std::string text = "Satz " + std::string(ctx.recordNumber()) + ", Fehler im ";
        text += fieldWord;
        text += " (GTIN/EAN), ";
        text += kCrLf;
        return text;
    };
    if (g.size() != 8 && g.size() != 13) {
        ctx.report(
            MessageKind::GtinLength, field,
            head() + "die Zahl muss 8 oder 13 Stellen haben. Prüfziffer kann nicht berechnet werden !"_ansi);
        return;
    }
    // The number is right when its last character is the check digit of the others.
    const int check = g.size() == 13 && scan::digitsOnly(g) ? checkDigitOf12(g.data())
                                                            : gtinCheckDigit(g.substr(0, g.size() - 1));
    if (g.back() != static_cast<char>('0' + check))
        ctx.report(MessageKind::CheckDigitWrong, field,
                   head() + "Prüfziffer (letzte Stelle) der GTIN/EAN stimmt nicht !"_ansi);
}

} // namespace

namespace {

// The record rules of an H, I, X or Z record (`letter`).
[[gnu::noinline]] void letterRules2000(ICheckContext& ctx, const FieldTable& table, std::size_t delivered,
                                       char letter) {
    // Fields are counted from 1 here, as the messages name them.
    const auto field = [&](std::size_t nr) { return contentOf(table, nr - 1); };
    const auto value = [&](std::size_t nr) { return fieldNumber(field(nr)); };
    const auto at = [&](std::size_t nr) {
        ctx.setFindingPosition(nr - 1 < table.size() ? table.position(nr - 1) : 0);
    };
    // An empty field reads 0; most H records leave field 10 empty.
    const auto positive = [&](std::size_t nr) { return !field(nr).empty() && fieldSign(field(nr)) > 0; };
    if (letter == 'H') {
        at(10);
        if (!positive(10)) return;
        // A field the record lacks has no start: its finding keeps the position it finds
        // (that of field 10, or of field 11 when that was found wanting). A field that is
        // there and wanting is named at its own start.
        if (delivered < 11) {
            ctx.report(
                MessageKind::ConversionFieldMissing, 11,
                "Fehler Feld 11, \r\nwenn Feld 10 > 0 muss Feld 11 vorhanden und mit Wert > 0 gefüllt sein !"_ansi);
        } else if (!positive(11)) {
            at(11);
            ctx.report(
                MessageKind::ConversionFieldNotPositive, 11,
                "Fehler in Feld 11, \r\nwenn Feld 10 > 0 muss Feld 11 mit Wert > 0 gefüllt sein !"_ansi);
        }
        if (delivered < 12) {
            ctx.report(
                MessageKind::ConversionFieldMissing, 12,
                "Fehler Feld 12, \r\nwenn Feld 10 > 0 muss Feld 12 vorhanden und mit Wert > 0 gefüllt sein !"_ansi);
        } else if (!positive(12)) {
            at(12);
            ctx.report(
                MessageKind::ConversionFieldNotPositive, 12,
                "Fehler in Feld 12, \r\nwenn Feld 10 > 0 muss Feld 12 mit Mengeneinheit > 0 gefüllt sein !"_ansi);
        }
    } else if (letter == 'I' || letter == 'X') {
        const std::size_t gtin = letter == 'I' ? 3 : 2;
        at(gtin);
        if (!field(gtin).empty()) {
            gtinRule2000(ctx, field(gtin), static_cast<std::uint32_t>(gtin),
                         letter == 'I' ? "Feld 3" : "Feld 2");
        } else if (field(gtin + 1).empty() && field(gtin + 2).empty()) {
            ctx.report(MessageKind::ArticleNumberMissing, static_cast<std::uint32_t>(gtin),
                       std::string(letter == 'I' ? "Fehler in den Feldern 3 bis 5"
                                                 : "Fehler in den Feldern 2 bis 4") +
                           ", \r\neine der 3 möglichen Artikelnummern muss vorhanden sein !"_ansi);
        }
    } else {
        // Each finding is placed at its field; the rules leave the position at field 5.
        const double s = value(2);
        if (field(3) == "P" && s >= 90 && field(5).empty()) {
            at(5);
            ctx.report(MessageKind::SurchargePercentMissing, 5,
                       "Fehler im Feld 5, \r\nFeld muss Prozentsatz enthalten !");
        }
        if (field(3) == "W" && s >= 90 && field(6).empty()) {
            at(6);
            ctx.report(MessageKind::SurchargeAmountMissing, 6,
                       "Fehler im Feld 6, \r\nFeld muss Währungsbetrag enthalten !"_ansi);
        }
        if (s > 0 && s < 8 && field(7).empty()) {
            at(7);
            ctx.report(MessageKind::MaterialBasisMissing, 7,
                       "Fehler im Feld 7, \r\nFeld muss Material-Basis enthalten !");
        }
        if (!field(7).empty() && !positive(8)) {
            at(8);
            ctx.report(MessageKind::MaterialWeightMissing, 8,
                       "Fehler im Feld 8, \r\nFeld muss Material-Gewicht in Gramm/Preiseinheit enthalten !");
        }
        at(5);
        if (!field(9).empty() && value(5) == 0 && value(6) == 0)
            ctx.report(MessageKind::SurchargeValueMissing, 5,
                       "Fehler in den Feldern 5 oder 6, \r\nSprung in Feld 9 > 0, Feld 5 oder 6 muss einen "
                       "Wert > 0 enthalten !");
    }
}

} // namespace

// Most records have no record rules: their type is told apart before the rules' set-up.
void recordRules2000(ICheckContext& ctx, const FieldTable& table, std::size_t delivered) {
    if (table.empty()) return;
    // The type letter picks the rules; a first field of another length has none.
    const std::string_view type = table.content(0);
    const char letter = type.size() == 1 ? type[0] : '\0';
    if (letter == 'H' || letter == 'I' || letter == 'X' || letter == 'Z')
        letterRules2000(ctx, table, delivered, letter);
}

namespace {

// Whether the tests of a plan after its first refuse every content that starts with a
// blank: digits, a text (which may not start with one), a list without blanks; not the
// currency, date and whole-check plans, whose first tests differ.
constexpr bool blankRefusedLater(std::uint8_t plan, std::string_view list) {
    if (plan & (kPlanWhole | kPlanCurrency | kPlanDate)) return false;
    if (plan & kPlanNumber) return true;
    if (plan & kPlanList) return list.find(' ') == std::string_view::npos;
    return (plan & kPlanText) != 0;
}

// The field checks of the rows of one record type's table, with every row's definition,
// flags and plan known when compiled: each row costs the tests its plan names and nothing
// to choose them.
template <const auto& Defs, const auto& Rules, const auto& Plans>
void checkRowsOf(ICheckContext& ctx, const FieldTable& table, const CheckSwitches& sw) {
    constexpr std::size_t kRows = std::tuple_size_v<std::remove_cvref_t<decltype(Defs)>>;
    constexpr bool kTextRows = [] {
        for (const std::uint8_t plan : Plans)
            if (plan & kPlanText) return true;
        return false;
    }();
    // One scan of the whole record answers the character rule for all its fields when it
    // holds no character the rule forbids (see checkFields2000).
    const bool charactersClean = kTextRows && recordCharacters(table.text(), sw);
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        const auto row = [&]<std::size_t R>(std::integral_constant<std::size_t, R>) {
            // A content of one character, the common listed value, is found in the set of
            // the list's characters.
            const auto listed = [](std::string_view v) {
                static constexpr ByteSet kCharacters(Defs[R].values);
                return v.size() == 1 ? kCharacters.has(v[0]) : scan::listContains(Defs[R].values, v);
            };
            if (!passesPlan<blankRefusedLater(Plans[R], Defs[R].values)>(ctx, Plans[R], table.content(R),
                                                                         charactersClean, sw, listed))
                checkField(ctx, table, R, Rules[R], sw, charactersClean);
        };
        (row(std::integral_constant<std::size_t, I>{}), ...);
    }
    (std::make_index_sequence<kRows>{});
    ctx.setFindingPosition(table.position(kRows - 1));
}

// The field checks and then the record rules of a record of the type of `Defs`. Its
// letter is the list of the type field, and the record's type field starts with it (the
// table was filled from a record of this type): the rules of the letter follow when the
// type field is that one letter.
template <const auto& Defs, const auto& Rules, const auto& Plans>
void checkRecordOf(ICheckContext& ctx, const FieldTable& table, const CheckSwitches& sw,
                   std::size_t delivered) {
    checkRowsOf<Defs, Rules, Plans>(ctx, table, sw);
    static_assert(Defs[0].values.size() == 1);
    constexpr char kLetter = Defs[0].values[0];
    if constexpr (kLetter == 'H' || kLetter == 'I' || kLetter == 'X' || kLetter == 'Z') {
        const std::string_view type = table.content(0);
        if (type.size() == 1 && type[0] == kLetter) letterRules2000(ctx, table, delivered, kLetter);
    }
}

// The compiled checks of each record type's table, by its letter: a table of those
// definitions is checked by them; any other table by the loop over the plans.
struct CompiledChecks {
    const FieldDef* defs = nullptr;
    std::size_t rows = 0;
    void (*check)(ICheckContext&, const FieldTable&, const CheckSwitches&) = nullptr;
    void (*checkRecord)(ICheckContext&, const FieldTable&, const CheckSwitches&, std::size_t) = nullptr;

    bool takes(const FieldTable& table) const { return defs == table.defs().data() && rows == table.size(); }
};

template <const auto& Defs, const auto& Rules, const auto& Plans> constexpr CompiledChecks compiled() {
    return CompiledChecks{Defs.data(), Defs.size(), &checkRowsOf<Defs, Rules, Plans>,
                          &checkRecordOf<Defs, Rules, Plans>};
}

constexpr std::array<CompiledChecks, 256> compiledByLetter() {
    using namespace rows2000;
    std::array<CompiledChecks, 256> c{};
    c['H'] = compiled<kH, kRulesH, kPlansH>();
    c['I'] = compiled<kI, kRulesI, kPlansI>();
    c['K'] = compiled<kK, kRulesK, kPlansK>();
    c['P'] = compiled<kP, kRulesP, kPlansP>();
    c['R'] = compiled<kR, kRulesR, kPlansR>();
    c['S'] = compiled<kS, kRulesS, kPlansS>();
    c['T'] = compiled<kT, kRulesT, kPlansT>();
    c['U'] = compiled<kU, kRulesU, kPlansU>();
    c['V'] = compiled<kV, kRulesV, kPlansV>();
    c['W'] = compiled<kW, kRulesW, kPlansW>();
    c['X'] = compiled<kX, kRulesX, kPlansX>();
    c['Z'] = compiled<kZ, kRulesZ, kPlansZ>();
    return c;
}

constexpr std::array<CompiledChecks, 256> kCompiledChecks = compiledByLetter();

// The compiled checks that take `table` of a record of type `recordType`; null for a
// table of other definitions.
[[gnu::always_inline]] inline const CompiledChecks* compiledFor(const FieldTable& table, char recordType) {
    const CompiledChecks& c = kCompiledChecks[static_cast<unsigned char>(recordType)];
    return c.takes(table) ? &c : nullptr;
}

} // namespace

void checkFields2000(ICheckContext& ctx, const FieldTable& table, char recordType, const CheckSwitches& sw) {
    if (table.empty()) return;
    if (const CompiledChecks* checks = compiledFor(table, recordType)) return checks->check(ctx, table, sw);
    const RecordType2000& type = recordType2000(recordType);
    // One scan of the whole record answers the character rule for all its fields when it
    // holds no character the rule forbids (the separator of the fields included). It
    // spares only the tests of texts: a record without text rows tests its few other
    // fields that take the character rule each by itself.
    const bool charactersClean = type.textRows && recordCharacters(table.text(), sw);
    const std::uint8_t* const plans = type.plans;
    const std::uint8_t* const rules = type.rules;
    const FieldDef* const defs = table.defs().data();
    table.forEachContent([&](std::size_t row, std::string_view v) {
        const auto listed = [&](std::string_view x) { return scan::listContains(defs[row].values, x); };
        if (!passesPlan(ctx, plans[row], v, charactersClean, sw, listed))
            checkField(ctx, table, row, rules[row], sw, charactersClean);
    });
    // The checks leave the position at the last field, as if each field had set it.
    ctx.setFindingPosition(table.position(table.size() - 1));
}

void checkRecord2000(ICheckContext& ctx, const FieldTable& table, char recordType, const CheckSwitches& sw,
                     std::size_t delivered) {
    if (table.empty()) return;
    if (const CompiledChecks* checks = compiledFor(table, recordType))
        return checks->checkRecord(ctx, table, sw, delivered);
    checkFields2000(ctx, table, recordType, sw);
    recordRules2000(ctx, table, delivered);
}

namespace {

class Rules2000 final : public IVersionRules {
public:
    Version version() const override { return Version::V2000; }

    // Rows the record does not deliver keep an empty content and position (see
    // FieldTable::fillSplit); surplus fields are counted, not kept.
    FieldTable::FillCount fillTable(FieldTable& table, const RecordInput& record) const override {
        return fillTable2000(table, record.text, record.separator);
    }

    bool checkRecordType(ICheckContext& ctx, const FieldTable& table, const FieldTable::FillCount& fill,
                         const RecordInput& record) const override {
        return checkRecordType2000(ctx, table, fill, record);
    }

    void compositeStep(ICheckContext&, const CompositeState&, const FieldTable&) const override {}

    void checkFields(ICheckContext& ctx, const FieldTable& table, const RecordInput& record) const override {
        checkFields2000(ctx, table, typeOf(record), ctx.switches());
    }

    // The record rules of the H, I, X and Z records.
    void recordRules(ICheckContext& ctx, const FieldTable& table, const FieldTable::FillCount& fill,
                     const RecordInput&) const override {
        recordRules2000(ctx, table, fill.taken);
    }

private:
    static char typeOf(const RecordInput& record) { return record.text.empty() ? '\0' : record.text[0]; }
};

// The record-type step of a record with a finding: the field counter comes before it;
// the finding of a type without a table names no record number.
ARTI_FINDING bool recordTypeFindings(ICheckContext& ctx, const FieldTable& table,
                                     const FieldTable::FillCount& fill, const RecordInput& record) {
    if (table.empty()) {
        record.showFieldCount(0);
        ctx.report(MessageKind::RecordTypeUnknown, kNoField,
                   unknownRecordType(record.text.substr(0, 1), std::nullopt, record.shownPosition.get()));
        return false;
    }
    record.showFieldCount(fill.fields);
    const char type = record.text.empty() ? '\0' : record.text[0];
    ctx.report(MessageKind::TooManyFields, kNoField,
               "Die Satzart > " + std::string(1, type) + " <  hat " + NumberText(fill.fields) +
                   " Felder, darf aber nur " + NumberText(table.size()) + " Felder haben !");
    return true;
}

} // namespace

// The field counter counts the fields the record delivered.
bool checkRecordType2000(ICheckContext& ctx, const FieldTable& table, const FieldTable::FillCount& fill,
                         const RecordInput& record) {
    if (table.empty() || fill.fields > table.size()) return recordTypeFindings(ctx, table, fill, record);
    record.showFieldCount(fill.fields);
    return true;
}

namespace {

const Rules2000 kRules;

} // namespace

const IVersionRules* const detail::kRules2000 = &kRules;

} // namespace arti
