// The steps every version takes a record through: the findings about the record as a
// whole with the field counter in the version's order, and the composite step with the
// version's switch codes and surcharge mark.
#include "core/Text.h"
#include "rules/VersionRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace arti;

namespace {

// Findings and field counts in the order they come, findings in UTF-8.
class Recorder final : public ICheckContext, public RecordDisplay {
public:
    Recorder() : ICheckContext(position_) {}
    void report(MessageKind, std::uint32_t, const std::string& text) override {
        events.push_back(ansiToUtf8(text));
    }
    std::string_view recordNumber() const override { return "7"; }
    long long recordOffset() const override { return 0; }
    CheckSwitches switches() const override { return {}; }
    const std::string& currency() const override { return none_; }
    const std::string& countryCodes() const override { return none_; }
    DateWindow dateWindow() const override { return {}; }
    void setDateWindow(const DateWindow&) override {}
    void setCurrency(std::string_view) override {}
    bool askWidenDateWindow(const std::string&, const std::string&) override { return false; }
    bool askAdoptCurrency(const std::string&, const std::string&) override { return false; }
    void showFields(const FieldTable&) override {}
    void showFieldCount(std::size_t count) override { events.push_back("count " + std::to_string(count)); }

    std::vector<std::string> events;

private:
    std::string none_;
    long long position_ = 0;
};

struct TypeCase {
    const char* label;
    Version version;
    std::string record;
    std::size_t width; // handed in as the width the table's fields add up to; 0: as filled
    bool hasTable;
    std::vector<std::string> events;
};

class RecordType : public ::testing::TestWithParam<TypeCase> {};

TEST_P(RecordType, FindingsAndFieldCounterInTheVersionsOrder) {
    const TypeCase& c = GetParam();
    const IVersionRules& rules = versionRules(c.version);
    EXPECT_EQ(rules.version(), c.version);
    Recorder r;
    FieldTable table;
    const RecordInput input{
        .text = c.record, .separator = ";", .number = 12, .shownPosition = "  1.560 ", .display = &r};
    FieldTable::FillCount fill = rules.fillTable(table, input);
    if (c.width != 0) fill.width = c.width;
    EXPECT_EQ(rules.checkRecordType(r, table, fill, input), c.hasTable);
    EXPECT_EQ(table.empty(), !c.hasTable);
    EXPECT_EQ(r.events, c.events);
}

const std::string kBlankB = "B" + std::string(127, ' ');

INSTANTIATE_TEST_SUITE_P(
    Versions, RecordType,
    ::testing::Values(
        TypeCase{"Unknown0590",
                 Version::V0590,
                 "Q" + std::string(127, ' ') + "\r\n",
                 0,
                 false,
                 {"Die Satzart > Q <  im Satz 12 ab Position 1.560 ist nicht zulässig !", "count 0"}},
        TypeCase{"Unknown0196",
                 Version::V0196,
                 "Q123",
                 0,
                 false,
                 {"count 0", "Die Satzart > Q <  im Satz 12 ab Position 1.560 ist nicht zulässig !"}},
        TypeCase{"Unknown2000",
                 Version::V2000,
                 "Q;1;2;3",
                 0,
                 false,
                 {"count 0", "Die Satzart > Q <  ab Position 1.560 ist nicht zulässig !"}},
        TypeCase{"Short0590",
                 Version::V0590,
                 kBlankB,
                 120,
                 true,
                 {"Die Satzart > B < hat nur 120 Bytes !", "count 30"}},
        TypeCase{"Short0196",
                 Version::V0196,
                 kBlankB,
                 120,
                 true,
                 {"count 34", "Die Satzart > B < hat nur 120 Bytes !"}},
        TypeCase{"Complete0590", Version::V0590, kBlankB, 0, true, {"count 30"}},
        TypeCase{"Complete0196", Version::V0196, kBlankB, 0, true, {"count 34"}},
        TypeCase{"TooManyFields2000",
                 Version::V2000,
                 "S;x;y;z",
                 0,
                 true,
                 {"count 4", "Die Satzart > S <  hat 4 Felder, darf aber nur 2 Felder haben !"}},
        TypeCase{"NoVersion", Version::None, kBlankB, 0, false, {}},
        TypeCase{"OtherVersion", Version::Unknown, kBlankB, 0, false, {}}),
    [](const ::testing::TestParamInfo<TypeCase>& i) { return std::string(i.param.label); });

// --- The composite step ---

// A record of the version and type, blank but for the given fields (by running number).
std::string record(Version v, char type, std::initializer_list<std::pair<std::size_t, std::string>> fields) {
    std::string r(128, ' ');
    r[0] = type;
    FieldTable t;
    versionRules(v).fillTable(t, RecordInput{.text = r});
    for (const auto& [nr, value] : fields)
        r.replace(t.position(nr - 1) - 1, value.size(), value);
    return r;
}

struct CompositeCase {
    const char* label;
    Version version;
    std::string articleSwitch; // of the B and the Z record
    std::string number;        // ... and their article number
    std::size_t markField;     // the B record's field holding `mark`
    std::string mark;
    std::vector<std::string> events;
};

class CompositeStep : public ::testing::TestWithParam<CompositeCase> {};

TEST_P(CompositeStep, HoldsBAndZAgainstTheARecord) {
    const CompositeCase& c = GetParam();
    const IVersionRules& rules = versionRules(c.version);
    std::vector<std::string> numbers;
    bool set = false, announced = false;
    Recorder r;
    FieldTable t;
    for (const std::string& text :
         {record(c.version, 'A', {{3, "4006381333931"}, {4, "HSN-1"}, {5, "GH-1"}}),
          record(c.version, 'B', {{3, c.articleSwitch}, {4, c.number}, {c.markField, c.mark}}),
          record(c.version, 'Z', {{3, c.articleSwitch}, {4, c.number}})}) {
        rules.fillTable(t, RecordInput{.text = text});
        rules.compositeStep(r, CompositeState{numbers, set, announced}, t);
    }
    EXPECT_EQ(r.events, c.events);
}

const char* const kNotAnnounced = "Die vorherige Satzart B hat kein Kennzeichen auf diesen Z-Satz!";

INSTANTIATE_TEST_SUITE_P(
    Versions, CompositeStep,
    ::testing::Values(
        CompositeCase{"Announced0196", Version::V0196, "2", "HSN-1", 33, "1", {}},
        CompositeCase{"NotAnnounced0196", Version::V0196, "2", "HSN-1", 33, "0", {kNotAnnounced}},
        CompositeCase{"OtherMark0196", Version::V0196, "2", "HSN-1", 33, "Z", {kNotAnnounced}},
        CompositeCase{"OtherNumber0196",
                      Version::V0196,
                      "3",
                      "GH-2",
                      33,
                      "1",
                      {"Der Schalter Artikelnummer in Satzart B (3 GHN GH-1) verweist auf eine falsche "
                       "Artikelnummer !",
                       "Der Schalter Artikelnummer in Satzart Z (3 GHN GH-1) verweist auf eine falsche "
                       "Artikelnummer !"}},
        CompositeCase{"Announced0590", Version::V0590, "1", "HSN-1", 28, "Z", {}},
        CompositeCase{"NotAnnounced0590", Version::V0590, "1", "HSN-1", 28, " ", {kNotAnnounced}},
        CompositeCase{"OtherMark0590", Version::V0590, "1", "HSN-1", 28, "1", {kNotAnnounced}},
        CompositeCase{"OtherNumber0590",
                      Version::V0590,
                      "0",
                      "4006381333932",
                      28,
                      "Z",
                      {"Der Schalter Artikelnummer in Satzart B (0 GTIN 4006381333931) verweist auf eine "
                       "falsche Artikelnummer !",
                       "Der Schalter Artikelnummer in Satzart Z (0 GTIN 4006381333931) verweist auf eine "
                       "falsche Artikelnummer !"}}),
    [](const ::testing::TestParamInfo<CompositeCase>& i) { return std::string(i.param.label); });

} // namespace
