// The Qt face of the wait box WARTE_WND: a small window without caption bar that shows
// its text centred. It takes no input: Esc does not close it, only its caller does.
#pragma once

#include "views/WarteWnd.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Warte_wnd;
}

namespace arti::qt {

class WaitDialog final : public QDialog, public IWaitView {
    Q_OBJECT
public:
    explicit WaitDialog(WARTE_WND& logic, QWidget* parent = nullptr);
    ~WaitDialog() override;

    void setText(const std::string& text) override;
    void endDialog() override;

    Ui::Warte_wnd& ui() const { return *ui_; }

protected:
    void reject() override {}

private:
    WARTE_WND& logic_;
    std::unique_ptr<Ui::Warte_wnd> ui_;
};

} // namespace arti::qt
