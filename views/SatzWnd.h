// SATZ_WND: the sequence window "Sequenz (zusammengeführte Anzeige)". It reads one
// article sequence (from a head record up to the next) from the check's open data file
// and shows it as one labelled form; "nächste kpl. Sequenz einlesen" moves on by one
// sequence, "Dimension verbinden" merges dimension values into the long text, and
// "Beenden" puts the file position back where the viewer found it.
#pragma once

#include "core/Services.h"
#include "records/FileHandles.h"
#include "rules/Version.h"
#include "views/RecordViewers.h"
#include "views/SatzForm.h"

#include <string>

namespace arti {

class XBaseTable;

enum class SatzCtl { MLE1, PSHNEXT, PSHDIM, PSHCANCEL, Count };

class ISatzView {
public:
    virtual ~ISatzView() = default;
    // The value label TXT`n` (1 to 76; a number the form does not have is ignored).
    virtual void setLabel(int n, const std::string& text) = 0;
    // The text box MLE1 (Windows-1252, CR LF line ends).
    virtual void setText(const std::string& text) = 0;
    virtual void setEnabled(SatzCtl c, bool on) = 0;
    virtual void endDialog() = 0;
};

class SATZ_WND {
public:
    static constexpr int kLabels = 76;

    SATZ_WND(IViewerOwner& main, CheckRun& run) : main_(main), run_(run) {}
    SATZ_WND(const SATZ_WND&) = delete;
    SATZ_WND& operator=(const SATZ_WND&) = delete;

    void attachView(ISatzView* view) { view_ = view; }
    Owner owner() const { return this; }

    // The buffered head record, the version, the NUL replacement and the OEM flag of the
    // check; keeps the file position, warns that nothing is checked and shows the first
    // sequence.
    bool SETUP(const std::string& buffered, Version version, const std::string& nulReplacement, bool oem);
    // Reads and shows the next sequence.
    void UPDATE();
    void PSHNEXT();
    void PSHDIM();
    void PSHCANCEL();
    // Ended by the main window: the file position goes back as on "Beenden".
    void end();

    // The stored text of a long-text key (without surrounding blanks) in `table`,
    // found through the index; none when the key is not stored.
    static std::optional<std::string> lookupLongText(const XBaseTable& table, const std::string& key);

    const SequenceForm& form() const { return form_; }
    const std::string& text() const { return text_; }
    bool atEnd() const { return atEnd_; }

private:
    void enable(SatzCtl c, bool on) {
        if (view_) view_->setEnabled(c, on);
    }
    // The check still has the file open the viewer was set up on.
    bool sameFile() const;
    void restorePosition();
    std::optional<std::string> longText(const std::string& key) const;

    IViewerOwner& main_;
    CheckRun& run_;
    ISatzView* view_ = nullptr;
    FileHandle file_ = 0;
    Version version_ = Version::None;
    std::string head_; // the record that starts the next sequence
    std::string nul_;  // as the check reads with it
    bool oem_ = false;
    long long start_ = 0;
    bool atEnd_ = false;
    bool ended_ = false;
    SequenceForm form_;
    std::string text_; // the text box
};

} // namespace arti
