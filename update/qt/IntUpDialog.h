// The Qt face of the update settings window INTUP_WND. It shows what the logic sets and
// reports the user's changes and clicks to it; it holds no rule of its own.
#pragma once

#include "update/IntUpWnd.h"

#include <QDialog>
#include <array>
#include <memory>

namespace Ui {
class Intup_wnd;
}

namespace arti::qt {

class IntUpDialog final : public QDialog, public IIntUpView {
    Q_OBJECT
public:
    explicit IntUpDialog(INTUP_WND& logic, QWidget* parent = nullptr);
    ~IntUpDialog() override;

    void setText(IntUpCtl c, const std::string& text) override;
    void setChecked(IntUpCtl c, bool on) override;
    void setEnabled(IntUpCtl c, bool on) override;
    void endDialog() override;

    QWidget* control(IntUpCtl c) const { return controls_[static_cast<std::size_t>(c)]; }

protected:
    // Esc and the window's close button: "Ende".
    void reject() override;

private:
    void connectControls();

    INTUP_WND& logic_;
    std::unique_ptr<Ui::Intup_wnd> ui_;
    std::array<QWidget*, static_cast<std::size_t>(IntUpCtl::Count)> controls_{};
    bool updating_ = false; // the logic is setting a control: no change is reported
};

} // namespace arti::qt
