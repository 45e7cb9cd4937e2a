// What each finding is about, as the error log hands it to its observers: the kind of its
// message, the type of the record it concerns and the field, for the generator's faulty
// files; the values filled into a message never change its kind.
#include "tests/support/EngineCheck.h"
#include "tests/tools/FieldPlaces.h"
#include "tools/gen/Generator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace arti;
using namespace arti::test;

namespace {

struct Seen {
    MessageKind kind;
    std::string recordType;
    std::uint32_t field;
    long long offset;
    std::string text;
};

class Recorder final : public IFindingObserver {
public:
    void finding(const Finding& f) override {
        seen.push_back({f.kind, std::string(f.recordType), f.field, f.offset, std::string(f.text)});
    }
    std::vector<Seen> seen;
};

gen::FileRecipe recipe(gen::Version version, gen::Fault fault) {
    gen::FileRecipe r;
    r.version = version;
    r.fault = fault;
    r.records = 40;
    r.seed = 5;
    return r;
}

// Checks `bytes` as the checker does (one step by hand first with `stepFirst`; Yes to every
// question with `yes`, No otherwise) and returns the findings of `kind` it logged.
std::vector<Seen> findingsOf(MessageKind kind, const std::string& bytes, bool stepFirst = false,
                             bool yes = false) {
    EngineCheck e;
    e.questions.otherwise = yes;
    Recorder recorder;
    e.run.log.subscribe(&recorder);
    const std::string path = e.write("ELDANORM.001", bytes);
    if (stepFirst) {
        e.engine.chooseFile(path);
        e.engine.LIESSATZ();
    }
    e.check(path, !stepFirst);
    e.run.log.unsubscribe(&recorder);
    std::vector<Seen> out;
    for (const Seen& s : recorder.seen)
        if (s.kind == kind) out.push_back(s);
    return out;
}

// The kind of the one finding each field fault of the generator causes.
MessageKind kindOfFieldFault(gen::Fault fault, gen::Version version) {
    using gen::Fault;
    switch (fault) {
    case Fault::BadCheckDigit:
        return MessageKind::CheckDigitWrong;
    case Fault::DateOutsideWindow:
        return MessageKind::DateOutsideWindow;
    case Fault::InvalidDate:
        return MessageKind::DateInvalid;
    case Fault::ForeignCurrency:
        return MessageKind::CurrencyDiffers;
    case Fault::NonDigit:
        return MessageKind::NumberCharacterRefused;
    case Fault::BadCharacter:
        return MessageKind::CharacterRefused;
    case Fault::FilledReserve:
        return MessageKind::ReserveFilled;
    case Fault::ValueNotInList:
        return version == gen::Version::V0590 ? MessageKind::ValueNotListed : MessageKind::NumberNotListed;
    case Fault::EmptyMandatory:
        return MessageKind::MandatoryEmpty;
    default:
        break;
    }
    if (version == gen::Version::V0590) return MessageKind::RawMaterialWeightMissing;
    return version == gen::Version::V0196 ? MessageKind::ConversionIncomplete
                                          : MessageKind::MaterialWeightMissing;
}

} // namespace

// Each field fault: one finding of its kind, naming the record type and the field the
// generator spoiled (their places written down apart from the generator).
TEST(FindingKinds, FieldFaultsNameTheirKindRecordTypeAndField) {
    for (const gen::FieldPlace& place : gen::kFieldPlaces) {
        SCOPED_TRACE(std::string(gen::versionName(place.version)) + " " +
                     std::string(gen::faultName(place.fault)));
        const MessageKind kind = kindOfFieldFault(place.fault, place.version);
        const std::vector<Seen> found =
            findingsOf(kind, gen::generateBytes(recipe(place.version, place.fault)));
        ASSERT_EQ(found.size(), 1u) << messageKindName(kind);
        EXPECT_EQ(found[0].recordType, std::string(1, place.type)) << found[0].text;
        EXPECT_EQ(found[0].field, place.field) << found[0].text;
    }
}

// Findings about a record as a whole name its type (the first byte at their offset) and
// no field; those about the file or the run name neither.
TEST(FindingKinds, RecordFileAndRunFindingsNameNoField) {
    using gen::Fault;
    using gen::Version;
    const struct {
        Version version;
        Fault fault;
        MessageKind kind;
        bool ofRecord; // false: about the file or the run
        bool stepFirst = false;
    } cases[] = {
        {Version::V0196, Fault::None, MessageKind::FileLength, false},
        {Version::V0196, Fault::None, MessageKind::HeaderCopy, true},
        {Version::V2000, Fault::None, MessageKind::RunEnded, false},
        {Version::V0196, Fault::MissingEndMark, MessageKind::EndMarkMissing, false},
        {Version::V0196, Fault::WrongLength, MessageKind::RecordLength, true},
        {Version::V0590, Fault::WrongSecondRecord, MessageKind::ControlRecordMissing, true},
        {Version::V2000, Fault::BrokenOrder, MessageKind::OrderBroken, true},
        {Version::V2000, Fault::UnannouncedType, MessageKind::TypeNotAnnounced, true, true},
        {Version::V2000, Fault::RefusedAnnouncement, MessageKind::SequenceRefusedLong, false},
        {Version::V0196, Fault::RefusedAnnouncement, MessageKind::SequenceRefused, false},
        {Version::V2000, Fault::BadSeparator, MessageKind::SeparatorRefused, false},
        {Version::V0196, Fault::UnreadableHeader, MessageKind::HeaderUnreadable, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(gen::versionName(c.version)) + " " + std::string(gen::faultName(c.fault)) +
                     " " + std::string(messageKindName(c.kind)));
        const std::string bytes = gen::generateBytes(recipe(c.version, c.fault));
        // Yes: go on after a length fault, as the checker does.
        const std::vector<Seen> found = findingsOf(c.kind, bytes, c.stepFirst, true);
        ASSERT_EQ(found.size(), 1u);
        const Seen& f = found[0];
        EXPECT_EQ(f.field, kNoField) << f.text;
        EXPECT_EQ(f.recordType,
                  c.ofRecord ? bytes.substr(static_cast<std::size_t>(f.offset), 1) : std::string())
            << f.text;
    }
}

// Other values in the same fault give other texts of the same kind, record type and field.
TEST(FindingKinds, TheValuesInAMessageDoNotChangeItsKind) {
    using gen::Fault;
    using gen::Version;
    const struct {
        Version version;
        Fault fault;
        std::string_view other; // in place of the value the generator puts
    } cases[] = {
        {Version::V0590, Fault::DateOutsideWindow, "01011990"},
        {Version::V0196, Fault::DateOutsideWindow, "15061985"},
        {Version::V2000, Fault::DateOutsideWindow, "20450101"},
        {Version::V0196, Fault::ForeignCurrency, "CHF"},
        {Version::V0590, Fault::ForeignCurrency, "GBP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(gen::versionName(c.version)) + " " + std::string(gen::faultName(c.fault)));
        const gen::FieldPlace& place = gen::fieldPlace(c.version, c.fault);
        gen::Report report;
        const std::string bytes = gen::generateBytes(recipe(c.version, c.fault), &report);
        std::string other = bytes;
        const std::size_t at = other.find(place.value, report.faultOffset);
        ASSERT_NE(at, std::string::npos);
        other.replace(at, place.value.size(), c.other);
        const MessageKind kind = kindOfFieldFault(c.fault, c.version);
        const std::vector<Seen> first = findingsOf(kind, bytes);
        const std::vector<Seen> second = findingsOf(kind, other);
        ASSERT_EQ(first.size(), 1u);
        ASSERT_EQ(second.size(), 1u);
        EXPECT_NE(first[0].text, second[0].text);
        EXPECT_EQ(second[0].recordType, first[0].recordType);
        EXPECT_EQ(second[0].field, first[0].field);
    }
}
