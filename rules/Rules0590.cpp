// The rules of ELDANORM version 05/90 behind IVersionRules: records cut into their table at
// fixed positions, the per-field branch chain with the fields that may be filled with the
// code-0 character, the record rules of the A, B and Z records, and the composite step of
// the article records.
#include "rules/Rules0590.h"
#include "rules/VersionRules.h"

#include "core/Oem.h"
#include "core/Text.h"
#include "rules/FieldScan.h"
#include "rules/FixedPlan.h"
#include "rules/NumberText.h"
#include "rules/SharedRules.h"
#include "rules/Table0590.h"

#include <bit>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace arti {

using namespace literals;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Blank once the code-0 characters are taken out: only blanks and fillers.
bool blankWithoutCode0(std::string_view v, char filler) {
    for (const char c : v)
        if (c != ' ' && c != filler) return false;
    return true;
}

bool emptyWithoutCode0(std::string_view v, char filler) {
    for (const char c : v)
        if (c != filler) return false;
    return true;
}

// Exactly `width` blanks.
bool fullBlanks(std::string_view v, std::size_t width) {
    return v.size() == width && scan::blankOnly(v);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The texts with umlauts, converted once.
struct Texts {
    std::string mandatoryT = " oder mit Binär 0 gefüllt sein"_ansi;
    std::string currency = ", das Währungskennzeichen "_ansi;
    std::string invalidDate = ", ungültiges Datum "_ansi;
    std::string outside = " liegt nicht im gültigen Bereich."_ansi;
    std::string numChar = "< nicht zulässig."_ansi;
    std::string numAllowed = ", zulässig sind nur die Zahlen 0 bis 9"_ansi;
    std::string gtin = "Prüfziffer (13.Stelle) der GTIN/EAN stimmt nicht !"_ansi;
    std::string discount = " mit einem Rabattsatz oder Multiplikator gefüllt sein !"_ansi;
    std::string emptyNumbers = "eines der Felder muss mit einer Nummer gefüllt sein !"_ansi;
};

const Texts& texts() {
    static const Texts t;
    return t;
}

// Findings of one record: "Satz R, " and the rest. The finding position is handed to the
// context when a finding needs it and when the findings end: the rules set it before
// every test, most of which find nothing.
class Findings {
public:
    explicit Findings(ICheckContext& ctx) : ctx_(ctx) {}
    Findings(const Findings&) = delete;
    Findings& operator=(const Findings&) = delete;
    ~Findings() { flush(); }

    std::string satz() const {
        std::string s;
        s.reserve(160);
        s += "Satz ";
        s += ctx_.recordNumber();
        s += ", ";
        return s;
    }
    // "Satz R, Fehler in Feld nr"
    std::string inField(std::uint32_t nr) const {
        std::string s = satz();
        s += "Fehler in Feld ";
        s += NumberText(nr).view();
        return s;
    }
    // `field`: the field the finding is about.
    void report(MessageKind kind, std::uint32_t field, const std::string& text) {
        flush();
        ctx_.report(kind, field, text);
    }
    void at(std::uint32_t position) {
        position_ = position;
        pending_ = true;
    }

private:
    void flush() {
        if (pending_) ctx_.setFindingPosition(position_);
        pending_ = false;
    }

    ICheckContext& ctx_;
    std::uint32_t position_ = 0;
    bool pending_ = false;
};

ARTI_FINDING void mandatoryEmpty(Findings& f, std::uint32_t nr, bool flagT) {
    std::string s = f.inField(nr);
    s += ", Feld muss einen Inhalt haben";
    if (flagT) s += texts().mandatoryT;
    s += "!";
    f.report(MessageKind::MandatoryEmpty, nr, s);
}

ARTI_FINDING void reserveFilled(Findings& f, std::uint32_t nr, std::size_t w) {
    std::string s = f.inField(nr);
    s += ", Reservefeld muss ";
    s += NumberText(w).view();
    s += " Leerzeichen enthalten!";
    f.report(MessageKind::ReserveFilled, nr, s);
}

// Currency codes must be the run's; the question may adopt the code for the run.
ARTI_FINDING void foreignCurrency(ICheckContext& ctx, Findings& f, std::uint32_t nr, std::string_view v) {
    std::string s = f.inField(nr);
    s += texts().currency;
    s += v;
    s += " ist nicht identisch mit der Systemeinstellung ";
    s += ctx.currency();
    f.report(MessageKind::CurrencyDiffers, nr, s);
    WAEHRUNGSWECHSEL(ctx, v);
}

ARTI_FINDING void invalidDate(Findings& f, std::uint32_t nr, std::string_view v) {
    std::string s = f.inField(nr);
    s += texts().invalidDate;
    s += v;
    f.report(MessageKind::DateInvalid, nr, s);
}

ARTI_FINDING void dateOutside(Findings& f, std::uint32_t nr, const Date& date) {
    std::string s = f.inField(nr);
    s += ", das Datum ";
    s += formatDate(date);
    s += texts().outside;
    f.report(MessageKind::DateOutsideWindow, nr, s);
}

// Dates DDMMYYYY inside the run's date window. Kept out of the field checks, which run
// for every field: only date fields come here.
[[gnu::noinline]] void dateField(ICheckContext& ctx, Findings& f, std::uint32_t nr, std::string_view v) {
    dateRule(
        ctx, nr, v, DigitOrder::DayMonthYear, [&] { invalidDate(f, nr, v); },
        [&](const Date& date) { dateOutside(f, nr, date); });
}

ARTI_FINDING void nonDigit(Findings& f, std::uint32_t nr, std::string_view v) {
    for (std::size_t j = 0; j < v.size(); ++j) {
        if (isDigit(v[j])) continue;
        std::string s = f.inField(nr);
        s += ",Position ";
        s += NumberText(j + 1).view();
        s += kCrLf;
        s += ", Zeichen >";
        s += v[j];
        s += texts().numChar;
        s += kCrLf;
        s += texts().numAllowed;
        return f.report(MessageKind::NumberCharacterRefused, nr, s);
    }
}

ARTI_FINDING void numberNotListed(Findings& f, std::uint32_t nr, std::string_view list) {
    std::string s = f.inField(nr);
    s += ", der numerische Wert kann nur im Bereich ";
    s += list;
    s += " liegen !";
    f.report(MessageKind::NumberNotListed, nr, s);
}

// The character rule byte by byte; with the character check off it is relaxed (the file's
// code page does not matter here).
ARTI_FINDING void badCharacter(Findings& f, std::uint32_t nr, std::string_view v, bool relaxed) {
    const std::size_t j = firstRefusedCharacter(v, relaxed);
    if (j == std::string_view::npos) return;
    std::string s = f.inField(nr);
    s += ",Position ";
    s += NumberText(j + 1).view();
    s += ", Zeichen >";
    s += v[j];
    s += texts().numChar;
    s += kCrLf;
    s += kAdmittedCharacters;
    f.report(MessageKind::CharacterRefused, nr, s);
}

// An empty value is contained: the list's blank entry stands for an unfilled field.
ARTI_FINDING void valueNotListed(Findings& f, std::uint32_t nr, std::string_view list) {
    std::string s = "Fehler in Feld ";
    s += NumberText(nr).view();
    s += ", der Vorgabewert kann nur  ";
    s += list;
    s += " sein !";
    f.report(MessageKind::ValueNotListed, nr, s);
}

// The rules of one field, in this order; the first that finds a fault ends the field's
// check.
void checkRow(const FieldTable& table, std::size_t i, ICheckContext& ctx, Findings& f,
              const CheckSwitches& sw, char filler) {
    const FieldDef& d = table.def(i);
    const std::string_view v = table.content(i);
    const std::uint32_t nr = table.number(i);
    const std::size_t w = d.width();
    const bool flagT = d.has(kTraitCodeZero);
    const bool code0 = !v.empty() && v[0] == filler && filledWithCode0(v, w, filler);
    // A finding is placed at the field's start (set only when there is one: this runs
    // for every field of every record).
    const auto place = [&] { f.at(table.position(i)); };

    // Mandatory: a blank T field must be filled, with content or with code 0; a blank F
    // field only when the record ended inside or before it.
    if (d.mandatory() && scan::blankOnly(v) && (v.size() != w || flagT)) {
        place();
        return mandatoryEmpty(f, nr, flagT);
    }
    if (d.has(kTraitReserve) && !fullBlanks(v, w)) {
        place();
        return reserveFilled(f, nr, w);
    }
    if (d.has(kTraitCurrency) && !(flagT && code0) && !equalsByPrefix(v, ctx.currency())) {
        place();
        return foreignCurrency(ctx, f, nr, v);
    }
    if (d.has(kTraitDate) && !code0) {
        place();
        return dateField(ctx, f, nr, v);
    }
    if (code0) return; // neither the digit nor the character rule looks at a code-0 fill
    if (d.numeric()) {
        if (!d.has(kTraitList)) {
            if (!scan::digitsOnly(v)) {
                place();
                nonDigit(f, nr, v);
            }
        } else if (!scan::blankOnly(v) && !scan::listContains(d.values, v)) {
            place();
            numberNotListed(f, nr, d.values);
        }
        return;
    }
    if (!d.has(kTraitAlpha)) return;
    if (!d.has(kTraitList)) {
        if (!scan::printableAscii(v)) {
            place();
            badCharacter(f, nr, v, sw.asciiCheckOff);
        }
    } else if (d.has(kTraitShortLength) && !scan::listContains(d.values, v)) {
        place();
        valueNotListed(f, nr, d.values);
    }
}

// What a whole record may pass without the chain of a row. A row with a T flag that
// must be filled fails the chain when blank, so it needs a byte other than a blank; a
// code-0 fill ends the chain early, so the kinds that ignore it only pass fields the
// chain passes anyway.
FastKind fastKind(const FieldDef& d) {
    if (d.has(kTraitCurrency) || d.has(kTraitDate)) return FastKind::Chain;
    const bool mustFillT = d.mandatory() && d.has(kTraitCodeZero);
    if (d.has(kTraitReserve)) return mustFillT ? FastKind::Chain : FastKind::Blanks;
    if (d.has(kTraitList)) return FastKind::Listed;
    if (d.numeric()) return FastKind::Digits;
    if (d.has(kTraitAlpha)) return mustFillT ? FastKind::AdmittedNonBlank : FastKind::Admitted;
    return FastKind::Chain;
}

// Whether the chain of a row finds nothing in `value`, with a filler that `value` does
// not hold (a code-0 fill only ends the chain sooner).
bool chainPasses(FieldTable& probe, std::span<const FieldDef> defs, std::size_t row, std::string_view value) {
    probe.reset(defs);
    probe.setContent(row, value);
    char filler = '\x01';
    while (value.find(filler) != std::string_view::npos)
        ++filler;
    ChainProbe ctx;
    Findings f(ctx);
    checkRow(probe, row, ctx, f, CheckSwitches{}, filler);
    return !ctx.found;
}

// The record types after the header that have a table: the header's records (V and K)
// come once per file, too few for a plan to pay, and their chains check them.
constexpr std::string_view kPlannedTypes0590 = "ABPRSZ";

// The plan of the table of a whole record, made once per table; none for other tables.
const FixedPlan* planFor(std::span<const FieldDef> defs) {
    static const FixedPlans plans(kPlannedTypes0590, table0590, [](std::span<const FieldDef> table) {
        FieldTable probe;
        return FixedPlan(
            table, [table](std::size_t row) { return fastKind(table[row]); },
            [&probe, table](std::size_t row, std::string_view v) {
                return chainPasses(probe, table, row, v);
            },
            true);
    });
    return plans.find(defs);
}

void ruleA(const FieldTable& t, Findings& f, char filler) {
    const Texts& tx = texts();
    f.at(t.position(2));
    if (blankWithoutCode0(t.content(2), filler) && blankWithoutCode0(t.content(3), filler) &&
        blankWithoutCode0(t.content(4), filler)) {
        std::string s = f.satz();
        s += "Fehler in den Feldern 3 bis 5, ";
        s += kCrLf;
        s += tx.emptyNumbers;
        f.report(MessageKind::ArticleNumberMissing, 3, s);
    }
    f.at(t.position(2));
    const std::string_view gtin = t.content(2);
    if (emptyWithoutCode0(gtin, filler)) return;
    const std::string_view g = trimView(gtin);
    // Eight digits give no check text, which every value begins with.
    if (!checkDigitAgrees(g)) {
        std::string s = f.satz();
        s += "Fehler im Feld 3 (GTIN/EAN), ";
        s += kCrLf;
        s += tx.gtin;
        f.report(MessageKind::CheckDigitWrong, 3, s);
    }
}

void ruleB(const FieldTable& t, Findings& f, char filler) {
    for (const std::uint32_t x : {22u, 24u, 26u}) {
        const std::uint32_t y = x + 1;
        f.at(t.position(x - 1));
        const std::string_view a = t.content(x - 1), b = t.content(y - 1);
        if (filledWithCode0(a, t.def(x - 1).width(), filler) ||
            filledWithCode0(b, t.def(y - 1).width(), filler))
            continue;
        if (!(fieldSign(a) > 0 && fieldSign(b) == 0)) continue;
        const NumberText xs(x), ys(y);
        std::string s = f.satz();
        s += "Fehler in den Feldern ";
        s += xs.view();
        s += " und ";
        s += ys.view();
        s += ", ";
        s += kCrLf;
        s += "wenn Feld ";
        s += xs.view();
        s += " mit Inhalt, muss Feld ";
        s += ys.view();
        s += texts().discount;
        f.report(MessageKind::DiscountMissing, x, s);
    }
}

void ruleZ(const FieldTable& t, Findings& f, char filler) {
    const auto code0 = [&](std::uint32_t field) {
        return filledWithCode0(t.content(field - 1), t.def(field - 1).width(), filler);
    };
    for (std::uint32_t x = 5; x <= 29; x += 8) {
        f.at(t.position(x - 1));
        if (code0(x) || !code0(x + 3) || !code0(x + 4)) continue;
        if (!(code0(x + 1) || fieldSign(t.content(x)) == 0)) continue;
        std::string s = f.satz();
        s += "Fehler im Feld ";
        s += NumberText(x).view();
        s += ", ";
        s += kCrLf;
        s += "es muss ein Rohstoffgewicht > 0 vorhanden sein !";
        f.report(MessageKind::RawMaterialWeightMissing, x, s);
    }
}

} // namespace

char codeZeroFiller(unsigned char nulReplacement, bool oemFile) {
    return static_cast<char>(oemFile ? oemToAnsiByte(nulReplacement) : nulReplacement);
}

bool filledWithCode0(std::string_view value, std::size_t width, char filler) {
    // Most fields differ from the filler in their first byte.
    return width > 0 && value.size() == width && value[0] == filler &&
           value.find_first_not_of(filler) == std::string_view::npos;
}

namespace {

// The record-type step of a record with a finding: the finding comes before the field
// counter.
ARTI_FINDING bool recordTypeFindings(ICheckContext& ctx, const FieldTable& table,
                                     const FieldTable::FillCount& fill, const RecordInput& record) {
    const std::string_view type = record.text.substr(0, 1);
    if (table.empty()) {
        ctx.report(MessageKind::RecordTypeUnknown, kNoField,
                   unknownRecordType(type, record.number, record.shownPosition.get()));
        record.showFieldCount(0);
        return false;
    }
    ctx.report(MessageKind::RecordTypeShort, kNoField, shortRecordType(type, fill.width));
    record.showFieldCount(table.size());
    return true;
}

class Rules0590 final : public IVersionRules {
public:
    Version version() const override { return Version::V0590; }

    // The CR LF behind the 128 characters is never reached. A type without a table
    // leaves no text in the table either.
    FieldTable::FillCount fillTable(FieldTable& table, const RecordInput& record) const override {
        const std::span<const FieldDef> defs = table0590(record.text.empty() ? '\0' : record.text[0]);
        if (defs.empty()) {
            table.clear();
            return {};
        }
        const std::size_t width = table.fillFixed(defs, record.text);
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
        arti::compositeStep(ctx, state, Version::V0590, table, SurchargeMark{27, "Z"});
    }

    void checkFields(ICheckContext& ctx, const FieldTable& table, const RecordInput& record) const override {
        if (table.empty()) return;
        const CheckSwitches sw = ctx.switches();
        Findings f(ctx);
        // A whole record goes through the chains of the rows its plan cannot pass; the
        // rest passes by the classes of its bytes.
        const std::string_view whole = table.fixedRecord();
        const FixedPlan* plan = whole.size() >= scan::kClassBytes ? planFor(table.defs()) : nullptr;
        if (plan) {
            const scan::RecordClasses classes = scan::classifyRecord(whole.data(), record.filler);
            for (std::uint64_t rows = plan->rowsToCheck(whole.data(), classes, record.filler); rows != 0;
                 rows &= rows - 1)
                checkRow(table, static_cast<std::size_t>(std::countr_zero(rows)), ctx, f, sw, record.filler);
        } else {
            for (std::size_t i = 0; i < table.size(); ++i)
                checkRow(table, i, ctx, f, sw, record.filler);
        }
        // The checks leave the position at the last field, as if each field had set it.
        f.at(table.position(table.size() - 1));
    }

    void recordRules(ICheckContext& ctx, const FieldTable& table, const FieldTable::FillCount&,
                     const RecordInput& record) const override {
        if (table.empty()) return;
        Findings f(ctx);
        switch (recordLetter(table.content(0))) {
        case 'A':
            ruleA(table, f, record.filler);
            break;
        case 'B':
            ruleB(table, f, record.filler);
            break;
        case 'Z':
            ruleZ(table, f, record.filler);
            break;
        default:
            break;
        }
    }
};

const Rules0590 kRules;

} // namespace

const IVersionRules* const detail::kRules0590 = &kRules;

} // namespace arti
