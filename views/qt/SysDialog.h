// The Qt face of the settings window SYS_WND. It shows what the logic sets and reports
// the user's changes and clicks to it; it holds no rule of its own.
#pragma once

#include "views/SysWnd.h"

#include <QDialog>
#include <array>
#include <memory>

namespace Ui {
class Sys_wnd;
}

namespace arti::qt {

class SysDialog final : public QDialog, public ISysView {
    Q_OBJECT
public:
    explicit SysDialog(SYS_WND& logic, QWidget* parent = nullptr);
    ~SysDialog() override;

    void setText(SysCtl c, const std::string& text) override;
    void setDate(SysCtl c, const Date& date) override;
    void setDateRange(SysCtl c, const Date& first, const Date& last) override;
    void setChecked(SysCtl c, bool on) override;
    void setEnabled(SysCtl c, bool on) override;
    void applyVisualStyles(bool on) override;
    void endDialog() override;

    QWidget* control(SysCtl c) const { return controls_[static_cast<std::size_t>(c)]; }

protected:
    // Esc and the window's close button: "Beenden".
    void reject() override;

private:
    void connectControls();

    SYS_WND& logic_;
    std::unique_ptr<Ui::Sys_wnd> ui_;
    std::array<QWidget*, static_cast<std::size_t>(SysCtl::Count)> controls_{};
    bool updating_ = false; // the logic is setting a control: no change is reported
};

} // namespace arti::qt
