// The Qt face of MELD_WND, "Meldungen im Überblick": the groups with a bar each, and below
// them a virtual list of the findings that asks the logic only for the rows in view.
#pragma once

#include "views/MeldWnd.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableView;

namespace arti::qt {

class GroupModel;
class FindingModel;

class MeldDialog final : public QDialog, public IMeldView {
    Q_OBJECT
public:
    explicit MeldDialog(MELD_WND& logic, QWidget* parent = nullptr);
    ~MeldDialog() override;

    void showSummary(const std::string& text) override;
    void showGroups(const std::vector<GroupRow>& rows) override;
    void markGroup(std::optional<std::size_t> row) override;
    void showFindings(std::size_t count, const std::string& caption) override;
    void enableAll(bool on) override;

private:
    void groupChosen();
    void goToRecord();

    MELD_WND& logic_;
    QLabel* summary_ = nullptr;
    QTableView* groups_ = nullptr;
    QLabel* listCaption_ = nullptr;
    QTableView* findings_ = nullptr;
    QPushButton* all_ = nullptr;
    GroupModel* groupModel_ = nullptr;
    FindingModel* findingModel_ = nullptr;
    bool marking_ = false; // the logic marks a group: the selection is not reported back
};

} // namespace arti::qt
