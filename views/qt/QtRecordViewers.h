// The record viewers of the Qt program: the field window and the sequence window, each
// a logic object with its face, shown beside the main window (not modal). A window the
// user closed stays until the main window opens the next one of its kind, because the
// main window may still end it through the pointer it keeps.
#pragma once

#include "views/RecordViewers.h"

#include <memory>
#include <vector>

namespace arti::qt {

class QtRecordViewers final : public IRecordViewers {
public:
    QtRecordViewers();
    ~QtRecordViewers() override;

    IChildWindow* openFieldEditor(Owner owner, IViewerOwner& main, CheckRun& run, const ListedField& field,
                                  const std::string& recordType, const std::string& nulReplacement) override;
    void refreshFieldEditor(IChildWindow& editor, const std::optional<ListedField>& field,
                            const std::string& recordType, const std::string& nulReplacement) override;
    void clearSequenceList() override;
    IChildWindow* openSequenceViewer(Owner owner, IViewerOwner& main, CheckRun& run) override;
    IFindingsWindow* openFindingsWindow(Owner owner, IRecordJump& main,
                                        const FileFindings& findings) override;

    class FieldWindow;
    class SequenceWindow;
    class FindingsWindow;

private:
    std::vector<std::unique_ptr<FieldWindow>> fields_;
    std::vector<std::unique_ptr<SequenceWindow>> sequences_;
    std::unique_ptr<FindingsWindow> findings_;
};

} // namespace arti::qt
