#include "rules/VersionRules.h"

#include "rules/Rules0196.h"
#include "rules/Rules0590.h"
#include "rules/Rules2000.h"

namespace arti {

namespace {

// A file without a version the program checks: no table, no findings.
class NoRules final : public IVersionRules {
public:
    explicit NoRules(Version v) : version_(v) {}

    Version version() const override { return version_; }
    FieldTable::FillCount fillTable(FieldTable& table, const RecordInput&) const override {
        table.clear();
        return {};
    }
    bool checkRecordType(ICheckContext&, const FieldTable&, const FieldTable::FillCount&,
                         const RecordInput&) const override {
        return false;
    }
    void compositeStep(ICheckContext&, CompositeState, const FieldTable&) const override {}
    void checkFields(ICheckContext&, const FieldTable&, const RecordInput&) const override {}
    void recordRules(ICheckContext&, const FieldTable&, const FieldTable::FillCount&,
                     const RecordInput&) const override {}

private:
    Version version_;
};

const NoRules kNone(Version::None);
const NoRules kUnknown(Version::Unknown);

} // namespace

const IVersionRules& versionRules(Version version) {
    switch (version) {
    case Version::V0590: return rules0590();
    case Version::V0196: return rules0196();
    case Version::V2000: return rules2000();
    case Version::Unknown: return kUnknown;
    case Version::None: break;
    }
    return kNone;
}

} // namespace arti
