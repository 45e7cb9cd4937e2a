// The Qt face of the field window FELD_WND: shows what the logic sets, hands every typed
// character to the logic's key filter, and reports edits, focus changes and clicks.
#pragma once

#include "views/FeldWnd.h"

#include <QColor>
#include <QDialog>
#include <array>
#include <memory>

namespace Ui {
class Feld_wnd;
}

namespace arti::qt {

class FeldDialog final : public QDialog, public IFeldView {
    Q_OBJECT
public:
    explicit FeldDialog(FELD_WND& logic, QWidget* parent = nullptr);
    ~FeldDialog() override;

    void setText(FeldCtl c, const std::string& text) override;
    void setEnabled(FeldCtl c, bool on) override;
    void setMaxLength(int length) override;
    void setHighlight(bool on) override;
    void endDialog() override;

    QWidget* control(FeldCtl c) const { return controls_[static_cast<std::size_t>(c)]; }
    Ui::Feld_wnd& ui() const { return *ui_; }

protected:
    // Esc and the window's close button: "Beenden".
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FELD_WND& logic_;
    std::unique_ptr<Ui::Feld_wnd> ui_;
    std::array<QWidget*, static_cast<std::size_t>(FeldCtl::Count)> controls_{};
    bool updating_ = false; // the logic is setting the edit text: no change is reported
    bool entered_ = false;  // the user entered the box: leaving it normalises the text
    QColor normalBase_;     // the edit box's background without the highlight
};

} // namespace arti::qt
