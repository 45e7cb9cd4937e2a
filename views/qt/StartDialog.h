// The Qt face of the start hints window START_WND.
#pragma once

#include "views/StartWnd.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Start_wnd;
}

namespace arti::qt {

class StartDialog final : public QDialog, public IStartView {
    Q_OBJECT
public:
    explicit StartDialog(START_WND& logic, QWidget* parent = nullptr);
    ~StartDialog() override;

    void setHints(const std::string& text) override;
    void setChecked(bool on) override;
    void endDialog() override;

    Ui::Start_wnd& ui() const { return *ui_; }

protected:
    void reject() override;

private:
    START_WND& logic_;
    std::unique_ptr<Ui::Start_wnd> ui_;
};

} // namespace arti::qt
