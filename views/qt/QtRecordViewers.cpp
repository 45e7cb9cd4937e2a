#include "views/qt/QtRecordViewers.h"

#include "platform/qt/QtServices.h"
#include "run/CheckRun.h"
#include "views/qt/FeldDialog.h"
#include "views/qt/MeldDialog.h"
#include "views/qt/SatzDialog.h"

#include <QPointer>

#include <algorithm>

namespace arti::qt {

// The face is a child of the owner's window, which deletes it when it goes first (at
// the end of the program); the QPointer then reads null.
class QtRecordViewers::FieldWindow final : public IChildWindow {
public:
    FieldWindow(Owner owner, IViewerOwner& main, CheckRun& run)
        : run_(run), logic_(main, run), face_(new FeldDialog(logic_, widgetOf(owner))) {}
    ~FieldWindow() override { delete face_.data(); }
    void end() override {
        if (face_) face_->hide();
    }
    bool closed() const { return !face_ || face_->isHidden(); }
    bool setup(const std::optional<ListedField>& field, const std::string& recordType) {
        // The NUL replacement as the check window shows a zero byte in the file's code page.
        return logic_.SETUP(field, recordType, nulAsShown(run_));
    }
    void show() {
        if (face_) face_->show();
    }

private:
    CheckRun& run_;
    FELD_WND logic_;
    QPointer<FeldDialog> face_;
};

class QtRecordViewers::SequenceWindow final : public IChildWindow {
public:
    SequenceWindow(Owner owner, IViewerOwner& main, CheckRun& run)
        : logic_(main, run), face_(new SatzDialog(logic_, widgetOf(owner))) {}
    ~SequenceWindow() override { delete face_.data(); }
    void end() override {
        if (!closed()) logic_.end();
    }
    bool closed() const { return !face_ || face_->isHidden(); }
    SATZ_WND& logic() { return logic_; }
    void show() {
        if (face_) face_->show();
    }

private:
    SATZ_WND logic_;
    QPointer<SatzDialog> face_;
};

// One findings window: opening it again shows the one there is, read anew.
class QtRecordViewers::FindingsWindow final : public IFindingsWindow {
public:
    FindingsWindow(Owner owner, IRecordJump& main, const FileFindings& findings)
        : logic_(main, findings), face_(new MeldDialog(logic_, widgetOf(owner))) {}
    ~FindingsWindow() override { delete face_.data(); }
    void end() override {
        if (face_) face_->hide();
    }
    void refresh() override { logic_.SETUP(); }
    void show() {
        if (!face_) return;
        face_->show();
        face_->raise();
        face_->activateWindow();
    }

private:
    MELD_WND logic_;
    QPointer<MeldDialog> face_;
};

QtRecordViewers::QtRecordViewers() = default;
QtRecordViewers::~QtRecordViewers() = default;

namespace {

// Windows the user has closed and the main window no longer points at.
template <typename W> void dropClosed(std::vector<std::unique_ptr<W>>& windows) {
    windows.erase(std::remove_if(windows.begin(), windows.end(), [](const auto& w) { return w->closed(); }),
                  windows.end());
}

} // namespace

IChildWindow* QtRecordViewers::openFieldEditor(Owner owner, IViewerOwner& main, CheckRun& run,
                                               const ListedField& field, const std::string& recordType,
                                               const std::string&) {
    dropClosed(fields_);
    auto window = std::make_unique<FieldWindow>(owner, main, run);
    if (!window->setup(field, recordType)) return nullptr;
    window->show();
    fields_.push_back(std::move(window));
    return fields_.back().get();
}

void QtRecordViewers::refreshFieldEditor(IChildWindow& editor, const std::optional<ListedField>& field,
                                         const std::string& recordType, const std::string&) {
    for (const auto& w : fields_)
        if (w.get() == &editor) w->setup(field, recordType);
}

// The sequence window keeps no list of records between its reads: only the form it
// shows, which the next read fills anew.
void QtRecordViewers::clearSequenceList() {}

IChildWindow* QtRecordViewers::openSequenceViewer(Owner owner, IViewerOwner& main, CheckRun& run) {
    dropClosed(sequences_);
    auto window = std::make_unique<SequenceWindow>(owner, main, run);
    window->show();
    if (!window->logic().SETUP(run.CPUFFER_, run.version, run.CCHR0_, run.LASCII_)) return nullptr;
    sequences_.push_back(std::move(window));
    return sequences_.back().get();
}

IFindingsWindow* QtRecordViewers::openFindingsWindow(Owner owner, IRecordJump& main,
                                                     const FileFindings& findings) {
    if (!findings_) findings_ = std::make_unique<FindingsWindow>(owner, main, findings);
    findings_->refresh();
    findings_->show();
    return findings_.get();
}

} // namespace arti::qt
