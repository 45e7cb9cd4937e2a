#include "rules/VersionRules.h"

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
    void compositeStep(ICheckContext&, const CompositeState&, const FieldTable&) const override {}
    void checkFields(ICheckContext&, const FieldTable&, const RecordInput&) const override {}
    void recordRules(ICheckContext&, const FieldTable&, const FieldTable::FillCount&,
                     const RecordInput&) const override {}

private:
    Version version_;
};

const NoRules kNone(Version::None);
const NoRules kUnknown(Version::Unknown);

} // namespace

const IVersionRules* const detail::kNoVersionRules = &kNone;
const IVersionRules* const detail::kOtherVersionRules = &kUnknown;

} // namespace arti
