// The field checks of the record at hand, the article-number rules between the records
// of an article, the date window and currency questions, and the check context through
// which the field rules reach the engine.
#include "core/Dates.h"
#include "core/Text.h"
#include "rules/FieldSplit.h"
#include "rules/NumberText.h"
#include "rules/Rules0590.h"
#include "rules/Rules2000.h"
#include "rules/SharedRules.h"
#include "rules/VersionRules.h"
#include "run/CheckEngine.h"
#include "run/CompositeTracker.h"

namespace arti {

namespace {

// The field counter of the record displays.
class FieldCounter final : public RecordDisplay {
public:
    explicit FieldCounter(IRunDisplay& display) : display_(display) {}
    void showFieldCount(std::size_t count) override { display_.showFieldCount(count); }

private:
    IRunDisplay& display_;
};

// The record type letter, field 3 and field 4 of a B or Z record; both versions place
// the switch at position 3 and the 15 characters of the article number behind it.
struct ArticleReference {
    std::string recordType, articleSwitch, articleNumber;
};

ArticleReference cut(const std::string& record) {
    const auto part = [&record](std::size_t from, std::size_t count) {
        return from < record.size() ? record.substr(from, count) : std::string();
    };
    return {part(0, 1), part(2, 1), part(3, 15)};
}

// The position as the window shows it ("1.234"), made when a finding names it.
std::string_view shownPosition(const CheckRun& run) {
    thread_local std::string text;
    text = run.position ? groupedNumber(*run.position) : std::string();
    return text;
}

} // namespace

DeferredText CheckEngine::shownPositionText() const {
    return DeferredText::of<CheckRun, shownPosition>(run);
}

void CheckEngine::FELDPRUEF0590(const std::string& record) {
    EngineCheckContext& ctx = context_;
    FieldCounter counter(display);
    const char filler =
        codeZeroFiller(run.CCHR0_.empty() ? 0 : static_cast<unsigned char>(run.CCHR0_[0]), run.LASCII_);
    const RecordInput input{.text = record,
                            .number = run.recordCounter,
                            .shownPosition = shownPositionText(),
                            .filler = filler,
                            .display = &counter};
    const IVersionRules& rules = versionRules(Version::V0590);
    const FieldTable::FillCount fill = rules.fillTable(run.fieldTable, input);
    if (!rules.checkRecordType(ctx, run.fieldTable, fill, input)) return;

    const CheckSwitches sw = ctx.switches();
    if (sw.listDisplay) {
        ctx.showFields(run.fieldTable);
        // The list is painted before the checks of the record run.
        windowServices().processMessages();
    }
    // An open field viewer follows the record, without a selected field.
    display.fieldsChanged(std::string_view(&filler, 1), false);

    if (run.LTURN_) rules.compositeStep(ctx, composite_.state(), run.fieldTable);
    if (!sw.fieldChecks) return;
    rules.checkFields(ctx, run.fieldTable, input);
    rules.recordRules(ctx, run.fieldTable, fill, input);
}

void CheckEngine::FELDPRUEF0196(const std::string& record) {
    EngineCheckContext& ctx = context_;
    FieldCounter counter(display);
    const RecordInput input{.text = record,
                            .number = run.recordCounter,
                            .shownPosition = shownPositionText(),
                            .display = &counter};
    const IVersionRules& rules = versionRules(Version::V0196);
    const FieldTable::FillCount fill = rules.fillTable(run.fieldTable, input);
    if (!rules.checkRecordType(ctx, run.fieldTable, fill, input)) return;

    const CheckSwitches sw = ctx.switches();
    if (sw.listDisplay) ctx.showFields(run.fieldTable);
    display.fieldsChanged(run.CCHR0_, true);

    // The article records of a run are held against each other whether or not the field
    // checks are on.
    if (run.LTURN_) rules.compositeStep(ctx, composite_.state(), run.fieldTable);
    if (!sw.fieldChecks) return;
    rules.checkFields(ctx, run.fieldTable, input);
    rules.recordRules(ctx, run.fieldTable, fill, input);
}

void CheckEngine::splitRecord2000(std::string_view record) {
    split2000_ = fillTable2000(run.fieldTable, record, run.separator);
}

std::vector<std::string_view> CheckEngine::ALIST_() const {
    // The table holds the record without its trailing blanks, as it was cut.
    const std::string_view text = run.fieldTable.text();
    std::vector<std::string_view> fields;
    forEachField(text, run.separator, [&](std::size_t offset, std::size_t length) {
        fields.push_back(text.substr(offset, length));
    });
    return fields;
}

// The steps of the version's rules, called directly: the record step runs them for
// every record of a version 2000 file. A quiet step (the display shows nothing) leaves
// out the calls that show the field count, the findings list and the field viewer.
template <bool kQuiet> void CheckEngine::FELDPRUEF2000(const std::string& record) {
    EngineCheckContext& ctx = context_;
    const FieldTable& table = run.fieldTable;
    if (table.empty() || split2000_.fields > table.size()) {
        FieldCounter counter(display);
        const RecordInput input{.text = record,
                                .separator = run.separator,
                                .shownPosition = shownPositionText(),
                                .display = &counter};
        if (!checkRecordType2000(ctx, table, split2000_, input)) return;
    } else if (!kQuiet) {
        // A record of a known type with no more fields than its table: the record-type
        // step only shows the field count.
        display.showFieldCount(split2000_.fields);
    }

    const CheckSwitches sw = ctx.switches();
    if (!kQuiet) {
        if (sw.listDisplay) ctx.showFields(table);
        display.fieldsChanged(run.CCHR0_, true);
    }
    if (!sw.fieldChecks) return;
    checkRecord2000(ctx, table, record.empty() ? '\0' : record[0], sw, split2000_.taken);
}

template void CheckEngine::FELDPRUEF2000<false>(const std::string& record);
template void CheckEngine::FELDPRUEF2000<true>(const std::string& record);

void CompositeTracker::VERBUND(ICheckContext& ctx, Version version, const std::string& record) {
    const ArticleReference r = cut(record);
    VERBUND(ctx, version, r.recordType, r.articleSwitch, r.articleNumber);
}

void CompositeTracker::VERBUND(ICheckContext& ctx, Version version, std::string_view recordType,
                               std::string_view articleSwitch, std::string_view articleNumber) {
    checkArticleNumber(ctx, state(), version, recordType, articleSwitch, articleNumber);
}

void CompositeTracker::reset() {
    LZSATZ_ = false;
    LVERBUND_ = false;
    AVERBUND_.assign(3, std::string());
}

void CheckEngine::DATUMSWECHSEL(const Date& date, const std::string& field) {
    EngineCheckContext& ctx = context_;
    arti::DATUMSWECHSEL(ctx, date, field);
}

void CheckEngine::WAEHRUNGSWECHSEL(const std::string& currency) {
    EngineCheckContext& ctx = context_;
    arti::WAEHRUNGSWECHSEL(ctx, currency);
}

void EngineCheckContext::report(MessageKind kind, std::uint32_t field, const std::string& text) {
    e_.ERRORLOG(kind, text, field);
}

EngineCheckContext::EngineCheckContext(CheckEngine& engine)
    : ICheckContext(engine.run.NPOSITION_), e_(engine) {}

std::string_view EngineCheckContext::recordNumber() const {
    number_ = e_.run.shownCounter ? plainNumber(static_cast<long long>(*e_.run.shownCounter)) : std::string();
    return number_;
}

long long EngineCheckContext::recordOffset() const {
    return e_.run.NZEIGER_;
}

CheckSwitches EngineCheckContext::switches() const {
    const RunOptions& o = e_.run.options;
    return CheckSwitches{o.fieldChecks, o.listDisplay, o.oemCharacters, o.asciiCheckOff};
}

const std::string& EngineCheckContext::currency() const {
    return e_.run.parameters.currency;
}

const std::string& EngineCheckContext::countryCodes() const {
    return e_.run.parameters.countryCodes;
}

DateWindow EngineCheckContext::dateWindow() const {
    return e_.run.parameters.dateWindow;
}

void EngineCheckContext::setDateWindow(const DateWindow& window) {
    e_.run.parameters.dateWindow = window;
    e_.display.dateWindowAdopted(window);
}

void EngineCheckContext::setCurrency(std::string_view code) {
    e_.run.parameters.currency = std::string(code);
    e_.display.currencyAdopted(code);
}

bool EngineCheckContext::askWidenDateWindow(const std::string& caption, const std::string& text) {
    return e_.questions().widenDateWindow(RunQuestion{caption, text});
}

bool EngineCheckContext::askAdoptCurrency(const std::string& caption, const std::string& text) {
    return e_.questions().adoptCurrency(RunQuestion{caption, text});
}

void EngineCheckContext::showFields(const FieldTable& table) {
    e_.display.showFields(table);
}

} // namespace arti
