// The Qt face of the main check window. It holds no check logic: it forwards the
// window system's events to PRUEF_WND and carries out what the logic asks of it.
#pragma once

#include "app/PruefView.h"
#include "app/PruefWnd.h"

#include <QDialog>

namespace arti::qt {

class PruefDialog final : public QDialog, public IPruefView {
    Q_OBJECT
public:
    explicit PruefDialog(PRUEF_WND& logic, QWidget* parent = nullptr);
    ~PruefDialog() override;

    void setCaption(const std::string& caption) override;
    WindowRect geometry() const override;
    void moveTo(int x, int y) override;
    void bringToTop() override;
    void showModal(bool centred) override;
    void requestClose() override;
    // The controls arrive with the dialog template; until then the face shows none.
    void controlText(Ctl, const std::string&) override {}
    void controlEnabled(Ctl, bool) override {}
    void controlVisible(Ctl, bool) override {}
    void controlChecked(Ctl, bool) override {}
    void controlFocus(Ctl) override {}
    void listColumns(const std::vector<ListColumn>&) override {}
    void listRows(const std::vector<ListRow>&) override {}
    std::optional<ListRow> selectedListRow() const override { return std::nullopt; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc: closes only while the logic allows it (during a run it acts as "Beenden").
    void reject() override;

private:
    PRUEF_WND& logic_;
};

} // namespace arti::qt
