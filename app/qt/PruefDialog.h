// The Qt face of the main check window. It holds no check logic: it forwards the
// window system's events to PRUEF_WND and carries out what the logic asks of it.
//
// The controls come from the template resources/Pruef_wnd.ui; each carries the name of
// its control (Ctl) as object name. Texts of the displays, the showing and hiding of the
// record lines and the rows of the findings list are not applied at once: during a run
// the logic refreshes them for every record, so they are kept and applied together when
// the event loop next runs (the run lets it run at most every 20 ms). Everything the
// user works with (enabling, ticking, captions, the entry field, the focus) and emptying
// the list are applied at once.
#pragma once

#include "app/PruefView.h"
#include "app/PruefWnd.h"

#include <QDialog>
#include <QTimer>

#include <array>
#include <memory>
#include <vector>

namespace Ui {
class Pruef_wnd;
}

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

    void controlText(Ctl c, const std::string& text) override;
    void controlTextDue(Ctl c, const ControlMirror& mirror) override;
    void controlEnabled(Ctl c, bool on) override;
    void controlVisible(Ctl c, bool on) override;
    void controlChecked(Ctl c, bool on) override;
    void controlFocus(Ctl c) override;
    void listColumns(const std::vector<ListColumn>& columns) override;
    void listRows(const std::vector<ListRow>& rows) override;
    void listTableShown(const ControlMirror& list) override;
    std::optional<std::size_t> selectedListIndex() const override;

    // The widget of a control.
    QWidget* control(Ctl c) const { return controls_[static_cast<std::size_t>(c)]; }
    // Applies the display texts and list rows not yet shown.
    void applyPendingChanges();
    bool hasPendingChanges() const { return !dirtyControls_.empty() || rowsDirty_; }

    // The help page that F1 opens, in the program folder.
    static constexpr const char* kHelpPage = "ARTI_Inhalt.html";

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc: closes only while the logic allows it (during a run it acts as "Beenden").
    void reject() override;
    // Enter: "ausführen", whichever control has the focus.
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void findControls();
    void styleControls();
    void connectControls();
    void scheduleApply();
    void markDirty(Ctl c);
    void applyText(Ctl c, const std::string& text);
    void fillList(const std::vector<ListRow>& rows);

    PRUEF_WND& logic_;
    std::unique_ptr<Ui::Pruef_wnd> ui_;
    std::array<QWidget*, kControlCount> controls_{};
    // The controls whose texts wait for the event loop: the displays and record lines.
    std::array<bool, kControlCount> textWaits_{};

    // Display texts and record line visibility waiting for the event loop, and the rows
    // of the findings list.
    enum class Show : signed char { Unchanged, Hide, Show };
    std::array<bool, kControlCount> textPending_{};
    std::array<Show, kControlCount> pendingShow_{};
    std::array<bool, kControlCount> dirty_{};
    std::vector<Ctl> dirtyControls_;
    std::vector<ListRow> pendingRows_;
    bool rowsFromMirror_ = false; // the pending rows are those of the logic's mirror
    bool rowsDirty_ = false;
    QTimer applyTimer_;

    // The rows the list shows, as the logic gave them, and the alignment of each column.
    std::vector<ListRow> shownRows_;
    std::vector<Qt::Alignment> columnAlignments_;
    // The findings list's starting column widths; the width the view has beyond them goes
    // to "Inhalt" and "FeldName".
    std::vector<int> columnWidths_;
    void spreadColumns();
    // True while the face itself sets the spinner, so that it is not reported back.
    bool settingSpinner_ = false;
};

} // namespace arti::qt
