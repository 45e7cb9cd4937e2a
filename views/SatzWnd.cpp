#include "views/SatzWnd.h"

#include "core/Text.h"
#include "records/FileAccess.h"
#include "records/XBaseTable.h"
#include "run/CheckRun.h"
#include "settings/Settings.h"

namespace arti {

using namespace arti::literals;

namespace {

constexpr std::size_t kBlock0590 = 130;
constexpr std::size_t kLine0196 = 130;
constexpr std::size_t kLine2000 = 300;

} // namespace

bool SATZ_WND::sameFile() const {
    return file_ != 0 && run_.source.handle() == file_;
}

bool SATZ_WND::SETUP(const std::string& buffered, Version version, const std::string& nulReplacement,
                     bool oem) {
    head_ = buffered;
    version_ = version;
    nul_ = nulReplacement;
    oem_ = oem;
    file_ = run_.source.handle();
    start_ = file_ != 0 ? FTELL(file_) : 0;
    box().info(owner(), "Hinweis",
               "bei Darstellung einer kompletten ELDANORM-Sequenz\r\n"
               "(komplette Satzfolge) findet keine Prüfung der eingelesenen Satzarten statt.\r\n"
               "Sie sollten vorher die gesamte Datei satzweise geprüft haben.\r\n"
               "Es kann im Fehlerfall zum Absturz (Laufzeitfehler des Programmes) kommen. "_ansi);
    UPDATE();
    return true;
}

void SATZ_WND::UPDATE() {
    form_ = SequenceForm(version_);
    form_.add(head_);
    head_.clear();
    const char headType = version_ == Version::V2000 ? 'I' : 'A';
    std::string record;
    // Only what the form shows is kept, so a "sequence" that runs to the end of a large
    // file costs no more memory than a short one.
    while (sameFile() && !run_.source.atEnd()) {
        const long long before = FTELL(file_);
        if (version_ == Version::V0590)
            BIN_LES(owner(), file_, kBlock0590, kBlock0590, oem_, nul_, record);
        else
            STRING_LES(owner(), file_, version_ == Version::V2000 ? kLine2000 : kLine0196, 0, oem_, record);
        // A block the reader refused (it said so) or a read that made no way ends the sequence.
        if (record.empty() && (version_ == Version::V0590 || FTELL(file_) <= before)) break;
        if (!record.empty() && record[0] == headType) {
            head_ = record;
            break;
        }
        form_.add(record);
    }
    atEnd_ = head_.empty();
    if (atEnd_) enable(SatzCtl::PSHNEXT, false);
    form_.finish([this](const std::string& key) { return longText(key); });
    text_ = form_.text();
    if (view_) {
        for (int n = 1; n <= kLabels; ++n)
            view_->setLabel(n, n <= kLastLabel ? form_.label(n) : std::string());
        view_->setText(text_);
    }
    enable(SatzCtl::PSHDIM, form_.dimensionsPossible());
}

std::optional<std::string> SATZ_WND::longText(const std::string& key) const {
    // The check keeps the store open while it runs; else it is opened for the lookup.
    std::unique_ptr<XBaseTable> own;
    const XBaseTable* table = run_.texts.table();
    if (!table) {
        own = XBaseTable::open(XBasePaths::longTextStore(settings().installPath), XBaseMode::ReadOnly);
        table = own.get();
    }
    if (!table) return std::nullopt;
    return lookupLongText(*table, key);
}

std::optional<std::string> SATZ_WND::lookupLongText(const XBaseTable& table, const std::string& key) {
    // The whole key of 11 characters: a shorter one would find a longer key it begins.
    const std::optional<std::uint32_t> row = table.seek(XBaseTable::indexKey(key));
    if (!row) return std::nullopt;
    return table.memo(*row);
}

void SATZ_WND::PSHNEXT() {
    if (atEnd_ || !sameFile()) {
        enable(SatzCtl::PSHNEXT, false);
        box().info(owner(), "Hinweis", "Das Dateiende ist erreicht !");
        return;
    }
    // A running check reads the same file: the viewer must not move its position.
    if (run_.LTURN_) return;
    UPDATE();
    main_.OFFSET();
}

void SATZ_WND::PSHDIM() {
    enable(SatzCtl::PSHDIM, false);
    text_ = mergeDimensions(text_);
    if (view_) view_->setText(text_);
}

void SATZ_WND::restorePosition() {
    if (ended_) return;
    ended_ = true;
    if (sameFile() && !run_.LTURN_) {
        FSEEK(file_, start_);
        main_.OFFSET();
    }
}

void SATZ_WND::PSHCANCEL() {
    restorePosition();
    if (view_) view_->endDialog();
}

void SATZ_WND::end() {
    PSHCANCEL();
}

} // namespace arti
