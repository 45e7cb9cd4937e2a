// The rules of ELDANORM version 01/96 behind IVersionRules: records cut into the fields of
// their type's table at fixed positions, every field checked against its definition, the
// record rules of the A, B, D, T and Z records, and the composite step of the article
// records.
#include "rules/VersionRules.h"

#include "core/Text.h"
#include "rules/FieldScan.h"
#include "rules/FixedPlan.h"
#include "rules/NumberText.h"
#include "rules/SharedRules.h"
#include "rules/Table0196.h"

#include <bit>
#include <chrono>
#include <optional>
#include <vector>

namespace arti {

using namespace literals;

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool isBlank(std::string_view v) {
    return scan::blankOnly(v);
}

// Differs from `width` blanks: shorter than the width or a non-blank within it.
bool differsFromBlanks(std::string_view v, std::size_t width) {
    return v.size() < width || v.substr(0, width).find_first_not_of(' ') != std::string_view::npos;
}

std::string num(std::size_t n) {
    return std::to_string(n);
}

// "Satz R, Fehler in Feld nr"
std::string fieldLead(ICheckContext& ctx, std::uint32_t nr) {
    std::string s = "Satz ";
    s += ctx.recordNumber();
    s += ", Fehler in Feld ";
    s += num(nr);
    return s;
}

ARTI_FINDING void mandatoryEmpty(ICheckContext& ctx, std::uint32_t nr) {
    ctx.report(MessageKind::MandatoryEmpty, nr, fieldLead(ctx, nr) + ", Mussfeld muss einen Inhalt haben!");
}

ARTI_FINDING void reserveFilled(ICheckContext& ctx, std::uint32_t nr, std::size_t width) {
    ctx.report(MessageKind::ReserveFilled, nr,
               fieldLead(ctx, nr) + ", Reservefeld muss " + num(width) + " Leerzeichen enthalten!");
}

// Currency codes must be the run's; the question may adopt the code for the run.
ARTI_FINDING void foreignCurrency(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    std::string text = fieldLead(ctx, nr) + ", das W\xE4hrungskennzeichen ";
    text += v;
    text += " ist nicht identisch mit der Systemeinstellung ";
    text += ctx.currency();
    ctx.report(MessageKind::CurrencyDiffers, nr, text);
    WAEHRUNGSWECHSEL(ctx, v);
}

ARTI_FINDING void invalidDate(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    std::string text = fieldLead(ctx, nr) + ", ung\xFCltiges Datum ";
    text += v;
    ctx.report(MessageKind::DateInvalid, nr, text);
}

ARTI_FINDING void dateOutside(ICheckContext& ctx, std::uint32_t nr, const Date& date) {
    ctx.report(MessageKind::DateOutsideWindow, nr,
               fieldLead(ctx, nr) + ", das Datum " + formatDate(date) +
                   " liegt nicht im g\xFCltigen Bereich.");
}

// Dates DDMMYYYY inside the run's date window. Kept out of the field checks, which run
// for every field: only date fields come here.
[[gnu::noinline]] void dateField(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    dateRule(
        ctx, nr, v, DigitOrder::DayMonthYear, [&] { invalidDate(ctx, nr, v); },
        [&](const Date& date) { dateOutside(ctx, nr, date); });
}

ARTI_FINDING void nonDigit(ICheckContext& ctx, std::uint32_t nr, std::string_view v) {
    for (std::size_t j = 0; j < v.size(); ++j) {
        if (v[j] >= '0' && v[j] <= '9') continue;
        std::string text = fieldLead(ctx, nr) + ",Position " + num(j + 1);
        text += kCrLf;
        text += ", Zeichen >";
        text += v[j];
        text += "< nicht zul\xE4ssig.";
        text += kCrLf;
        text += ", zul\xE4ssig sind nur die Zahlen 0 bis 9";
        ctx.report(MessageKind::NumberCharacterRefused, nr, text);
        return;
    }
}

ARTI_FINDING void numberNotListed(ICheckContext& ctx, std::uint32_t nr, std::string_view list) {
    std::string text = fieldLead(ctx, nr) + ", der numerische Wert kann nur im Bereich ";
    text += list;
    text += " liegen !";
    ctx.report(MessageKind::NumberNotListed, nr, text);
}

// The character rule byte by byte; with the character check off it is relaxed (the file's
// code page does not matter here).
ARTI_FINDING void badCharacter(ICheckContext& ctx, std::uint32_t nr, std::string_view v, bool relaxed) {
    const std::size_t j = firstRefusedCharacter(v, relaxed);
    if (j == std::string_view::npos) return;
    std::string text = fieldLead(ctx, nr) + ",Position " + num(j + 1) + ", Zeichen >";
    text += v[j];
    text += "< nicht zul\xE4ssig.";
    text += kCrLf;
    text += kAdmittedCharacters;
    ctx.report(MessageKind::CharacterRefused, nr, text);
}

ARTI_FINDING void valueNotListed(ICheckContext& ctx, std::uint32_t nr, std::string_view list) {
    std::string text = "Fehler in Feld " + num(nr) + ", der Vorgabewert kann nur  ";
    text += list;
    text += " sein !";
    ctx.report(MessageKind::ValueNotListed, nr, text);
}

// The rules of one field, in this order; the first that finds a fault ends the field's
// check. Inlined into the loop over the rows: a call costs more than most rows' checks.
[[gnu::always_inline]] inline void checkField(ICheckContext& ctx, const FieldTable& table, std::size_t row,
                                              const CheckSwitches& sw) {
    const FieldDef& def = table.def(row);
    const std::string_view v = table.content(row);
    const std::uint32_t nr = table.number(row);
    const std::size_t w = def.wholeWidth();
    // A finding is placed at the field's start (set only when there is one: this runs
    // for every field of every record).
    const auto place = [&] { ctx.setFindingPosition(table.position(row)); };

    // 1. A mandatory field that is blank but not over its whole width: the record ended
    //    inside or before it.
    if (def.mandatory() && scan::blankOnly(v) && differsFromBlanks(v, w)) {
        place();
        return mandatoryEmpty(ctx, nr);
    }
    // 2. Reserve fields hold blanks only.
    if (def.has(kTraitReserve) && differsFromBlanks(v, w)) {
        place();
        return reserveFilled(ctx, nr, w);
    }
    // 3. The currency, 4. dates.
    if (def.has(kTraitCurrency) && !equalsByPrefix(v, ctx.currency())) {
        place();
        return foreignCurrency(ctx, nr, v);
    }
    if (def.has(kTraitDate)) {
        place();
        return dateField(ctx, nr, v);
    }
    // 5. Numeric fields: digits only, or a value of the list.
    if (def.numeric()) {
        if (!def.has(kTraitList)) {
            if (!scan::digitsOnly(v)) {
                place();
                nonDigit(ctx, nr, v);
            }
        } else if (!scan::blankOnly(v) && !scan::listContains(def.values, v)) {
            place();
            numberNotListed(ctx, nr, def.values);
        }
        return;
    }
    // 6. Alphanumeric fields: the character rule, or a value of the list on a field of a
    //    single-digit length.
    if (def.has(kTraitAlpha)) {
        if (!def.has(kTraitList)) {
            if (!scan::printableAscii(v)) {
                place();
                badCharacter(ctx, nr, v, sw.asciiCheckOff);
            }
        } else if (def.has(kTraitShortLength) && !scan::listContains(def.values, v)) {
            place();
            valueNotListed(ctx, nr, def.values);
        }
    }
}

// What a whole record may pass without the chain of a row: a field of its full width
// is never too short for the mandatory rule, so the kinds need not ask for content.
FastKind fastKind(const FieldDef& d) {
    if (d.has(kTraitCurrency) || d.has(kTraitDate)) return FastKind::Chain;
    if (d.has(kTraitReserve)) return d.wholeWidth() == d.width() ? FastKind::Blanks : FastKind::Chain;
    if (d.has(kTraitList)) return FastKind::Listed;
    if (d.numeric()) return FastKind::Digits;
    if (d.has(kTraitAlpha)) return FastKind::Admitted;
    return FastKind::Chain;
}

// The record types after the header that have a table: the header's records (V and K)
// come once per file, too few for a plan to pay, and their chains check them.
constexpr std::string_view kPlannedTypes0196 = "ABDPRSTZ";

// The plan of the table of a whole record, made once per table; none for other tables.
// A row's chain is run on a probe table to learn the values of a list it passes.
const FixedPlan* planFor(std::span<const FieldDef> defs) {
    static const FixedPlans plans(kPlannedTypes0196, table0196, [](std::span<const FieldDef> table) {
        FieldTable probe;
        return FixedPlan(
            table, [table](std::size_t row) { return fastKind(table[row]); },
            [&probe, table](std::size_t row, std::string_view v) {
                probe.reset(table);
                probe.setContent(row, v);
                ChainProbe ctx;
                checkField(ctx, probe, row, CheckSwitches{});
                return !ctx.found;
            });
    });
    return plans.find(defs);
}

// The record rules read fields by their running number.
class Fields {
public:
    Fields(ICheckContext& ctx, const FieldTable& t) : ctx_(ctx), t_(t) {}
    Fields(const Fields&) = delete;
    Fields& operator=(const Fields&) = delete;
    ~Fields() { flush(); }
    std::string_view operator[](std::size_t nr) const {
        return nr >= 1 && nr <= t_.size() ? t_.content(nr - 1) : "";
    }
    // The field read as a number is above 0, is 0 (the rules only compare it with 0).
    bool positive(std::size_t nr) const { return fieldSign((*this)[nr]) > 0; }
    bool zero(std::size_t nr) const { return fieldSign((*this)[nr]) == 0; }
    bool blank(std::size_t nr) const { return isBlank((*this)[nr]); }
    // The finding position: the start of field `nr`.
    // Handed to the context when a finding needs it and when the rules end: the rules set
    // it before every test, most of which find nothing.
    void at(std::size_t nr) const {
        position_ = nr >= 1 && nr <= t_.size() ? t_.position(nr - 1) : 0;
        pending_ = true;
    }
    // "Satz R, " + text; `field`: the field the finding is about.
    void report(MessageKind kind, std::size_t field, std::string_view text) const {
        std::string s = "Satz ";
        s += ctx_.recordNumber();
        s += ", ";
        s += text;
        flush();
        ctx_.report(kind, static_cast<std::uint32_t>(field), s);
    }

private:
    void flush() const {
        if (pending_) ctx_.setFindingPosition(position_);
        pending_ = false;
    }

    ICheckContext& ctx_;
    const FieldTable& t_;
    mutable std::uint32_t position_ = 0;
    mutable bool pending_ = false;
};

std::string crlf(std::string head, std::string_view tail) {
    head += kCrLf;
    head += tail;
    return head;
}

void rulesA(const Fields& f) {
    f.at(3);
    if (f.blank(3) && f.blank(4) && f.blank(5))
        f.report(MessageKind::ArticleNumberMissing, 3,
                 crlf("Fehler in den Feldern 3 bis 5, ",
                      "eines der Felder muss mit einer Nummer gef\xFCllt sein !"));
    f.at(3);
    if (!f.blank(3)) {
        if (!checkDigitAgrees(trimView(f[3])))
            f.report(MessageKind::CheckDigitWrong, 3,
                     crlf("Fehler im Feld 3 (GTIN/EAN), ",
                          "Pr\xFC"
                          "fziffer (13.Stelle) der GTIN/EAN stimmt nicht !"));
    }
}

void rulesB(const Fields& f) {
    f.at(16);
    int positive = 0;
    for (const std::size_t nr : {16, 17, 18})
        if (f.positive(nr)) ++positive;
    if (positive > 0 && positive < 3)
        f.report(MessageKind::ConversionIncomplete, 16,
                 crlf("Fehler in den Feldern 16 bis 18, ",
                      "wenn eines der Felder > 0 m\xFCssen alle Felder mit Werten > 0 gef\xFCllt sein !"));
    f.at(25);
    if (!f.blank(25) && f.positive(26))
        f.report(MessageKind::ConversionWithoutZero, 25,
                 crlf("Fehler in den Feldern 25 bis 26, ",
                      "wenn Feld 25 mit Inhalt muss 26 mit 0000 gef\xFCllt sein !"));
    for (const std::size_t x : {27, 29, 31}) {
        const std::size_t y = x + 1;
        f.at(x);
        if (f.positive(x) && f.zero(y))
            f.report(MessageKind::DiscountMissing, x,
                     crlf("Fehler in den Feldern " + num(x) + " und " + num(y) + ", ",
                          "wenn Feld " + num(x) + " mit Inhalt, muss Feld " + num(y) +
                              " mit einem Rabattsatz oder Multiplikator gef\xFCllt sein !"));
    }
}

std::string inField(std::size_t nr) {
    return "Fehler im Feld " + num(nr) + ", ";
}

void rulesD(const Fields& f) {
    const std::string_view s = f[5];
    const bool withText = s == "1" || s == "2";
    const bool withFile = s == "3" || s == "4" || s == "5";
    constexpr std::size_t kPairs[][2] = {{7, 8}, {9, 10}};

    f.at(6);
    if (s == "1" && f.blank(6) && (f.zero(7) || f.blank(8)))
        f.report(MessageKind::TextLineAndTextMissing, 6,
                 crlf("Fehler in den Feldern 6-7-8, ",
                      "wenn Feld 6 ohne Langtextverweis, muss Feld 7 mit einer "
                      "Zeilennummer und Feld 8 mit Text gef\xFCllt sein !"));
    f.at(6);
    if (s == "2" && f.blank(6))
        f.report(MessageKind::LongTextReferenceMissing, 6,
                 crlf(inField(6), "Feld 6 muss einen Langtextverweis enthalten !"));
    f.at(7);
    if (s == "2" && f.zero(7))
        f.report(MessageKind::LineNumberMissing, 7,
                 crlf(inField(7), "Feld  7 muss eine Zeilennummer > 0 enthalten !"));
    if (withText) {
        for (const auto& [x, y] : kPairs) {
            f.at(x);
            if (!f.blank(y) && f.zero(x))
                f.report(MessageKind::LineNumberMissingForText, x,
                         crlf(inField(x), "Feld " + num(y) + " hat Inhalt, Feld " + num(x) +
                                              " muss eine Zeilennummer > 0 enthalten !"));
        }
        for (const auto& [x, y] : kPairs) {
            f.at(y);
            if (f.positive(x) && f.blank(y))
                f.report(MessageKind::TextMissing, y,
                         crlf(inField(y), "Feld " + num(y) + " muss einen Textinhalt haben !"));
        }
    }
    if (s == "2") {
        for (const auto& [x, y] : kPairs) {
            f.at(y);
            const std::string_view text = f[y];
            std::size_t marks = 0;
            for (const char c : text)
                if (c == '$') ++marks;
            if (f.positive(x) && marks < 2)
                f.report(MessageKind::DimensionMarksMissing, y,
                         crlf(inField(y),
                              "Feld " + num(y) +
                                  " muss als Start- und Stop-Zeichen f\xFCr den Dimensionstext je ein $ "
                                  "Zeichen enthalten !"));
        }
    }
    if (withFile) {
        f.at(6);
        if (f.blank(6))
            f.report(MessageKind::FileReferenceMissing, 6,
                     crlf(inField(6), "Feld 6 muss mit einem Dateiverweis gef\xFCllt sein !"));
        f.at(6);
        if (f[6].find('.') != std::string_view::npos)
            f.report(MessageKind::FileReferenceWithDot, 6,
                     crlf(inField(6), "Feld 6 darf im Dateiverweis keinen Punkt enthalten !"));
        f.at(6);
        std::string padded = trim(f[6]);
        if (padded.size() < 11) padded.insert(0, 11 - padded.size(), ' ');
        if (!equalsByPrefix(f[6], padded))
            f.report(MessageKind::FileReferenceNotPadded, 6,
                     crlf(inField(6), "Feld 6 muss links mit Leerzeichen aufgef\xFCllt werden !"));
        for (const auto& [x, y] : kPairs) {
            f.at(x);
            if (f.positive(x))
                f.report(MessageKind::LineNumberNotAllowed, x,
                         crlf(inField(x), "Feld " + num(x) + " darf keine Zeilennummer > 0 enthalten !"));
        }
        for (const auto& [x, y] : kPairs) {
            f.at(y);
            if (!f.blank(y))
                f.report(MessageKind::TextNotAllowed, y,
                         crlf(inField(y), "Feld " + num(y) + " darf keinen Textinhalt haben !"));
        }
    }
}

void rulesT(const Fields& f) {
    constexpr std::size_t kPairs[][2] = {{5, 6}, {8, 9}};
    for (const auto& [x, y] : kPairs) {
        f.at(x);
        if (!f.blank(y) && f.zero(x))
            f.report(MessageKind::LineNumberMissingForText, x,
                     crlf(inField(x), "Feld " + num(y) + " hat Inhalt, Feld " + num(x) +
                                          " muss eine Zeilennummer > 0 enthalten !"));
    }
    if (f[2] == "9") return;
    for (const auto& [x, y] : kPairs) {
        f.at(y);
        if (f.positive(x) && f.blank(y))
            f.report(
                MessageKind::TextMissing, y,
                crlf(inField(y), "Feld " + num(y) + " muss einen Textinhalt haben, da Zeilennummer > 0 !"));
    }
}

void rulesZ(const Fields& f) {
    for (const std::size_t x : {5, 13, 21, 29}) {
        f.at(x);
        if (f[x] != "00" && f.zero(x + 3) && f.zero(x + 4) && f.zero(x + 1))
            f.report(MessageKind::RawMaterialWeightMissing, x,
                     crlf(inField(x), "es muss ein Rohstoffgewicht > 0 vorhanden sein !"));
    }
}

// The record-type step of a record with a finding: the field counter comes before it.
ARTI_FINDING bool recordTypeFindings(ICheckContext& ctx, const FieldTable& table,
                                     const FieldTable::FillCount& fill, const RecordInput& record) {
    const std::string_view type = record.text.substr(0, 1);
    if (table.empty()) {
        record.showFieldCount(0);
        ctx.report(MessageKind::RecordTypeUnknown, kNoField,
                   unknownRecordType(type, record.number, record.shownPosition.get()));
        return false;
    }
    record.showFieldCount(table.size());
    ctx.report(MessageKind::RecordTypeShort, kNoField, shortRecordType(type, fill.width));
    return true;
}

class Rules0196 final : public IVersionRules {
public:
    Version version() const override { return Version::V0196; }

    // A type without a table leaves the table empty with the record as its text.
    FieldTable::FillCount fillTable(FieldTable& table, const RecordInput& record) const override {
        const std::string_view text = record.text;
        const auto defs = text.empty() ? std::span<const FieldDef>{} : table0196(text[0]);
        const std::size_t width = table.fillFixed(defs, text);
        return {table.size(), table.size(), width};
    }

    bool checkRecordType(ICheckContext& ctx, const FieldTable& table, const FieldTable::FillCount& fill,
                         const RecordInput& record) const override {
        if (table.empty() || fill.width != kFixedRecordBytes)
            return recordTypeFindings(ctx, table, fill, record);
        record.showFieldCount(table.size());
        return true;
    }

    void compositeStep(ICheckContext& ctx, const CompositeState& state,
                       const FieldTable& table) const override {
        arti::compositeStep(ctx, state, Version::V0196, table, SurchargeMark{32, "1"});
    }

    void checkFields(ICheckContext& ctx, const FieldTable& table, const RecordInput&) const override {
        const CheckSwitches sw = ctx.switches();
        // A whole record goes through the chains of the rows its plan cannot pass; the
        // rest passes by the classes of its bytes.
        const std::string_view whole = table.fixedRecord();
        const FixedPlan* plan = whole.size() >= scan::kClassBytes ? planFor(table.defs()) : nullptr;
        if (plan) {
            const scan::RecordClasses classes = scan::classifyRecord(whole.data(), ' ');
            for (std::uint64_t rows = plan->rowsToCheck(whole.data(), classes, ' '); rows != 0;
                 rows &= rows - 1)
                checkField(ctx, table, static_cast<std::size_t>(std::countr_zero(rows)), sw);
        } else {
            for (std::size_t row = 0; row < table.size(); ++row)
                checkField(ctx, table, row, sw);
        }
        // The checks leave the position at the last field, as if each field had set it.
        if (!table.empty()) ctx.setFindingPosition(table.position(table.size() - 1));
    }

    // The record rules of the A, B, D, T and Z records.
    void recordRules(ICheckContext& ctx, const FieldTable& table, const FieldTable::FillCount&,
                     const RecordInput&) const override {
        if (table.empty()) return;
        const Fields f(ctx, table);
        switch (recordLetter(table.content(0))) {
        case 'A':
            rulesA(f);
            break;
        case 'B':
            rulesB(f);
            break;
        case 'D':
            rulesD(f);
            break;
        case 'T':
            rulesT(f);
            break;
        case 'Z':
            rulesZ(f);
            break;
        default:
            break;
        }
    }
};

const Rules0196 kRules;

} // namespace

const IVersionRules* const detail::kRules0196 = &kRules;

} // namespace arti
