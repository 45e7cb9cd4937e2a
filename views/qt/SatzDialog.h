// The Qt face of the sequence window SATZ_WND: the labelled form TXT1 to TXT75, the
// text box MLE1 and the three buttons.
#pragma once

#include "views/SatzWnd.h"

#include <QDialog>
#include <memory>
#include <vector>

class QLabel;

namespace Ui {
class Satz_wnd;
}

namespace arti::qt {

class SatzDialog final : public QDialog, public ISatzView {
    Q_OBJECT
public:
    explicit SatzDialog(SATZ_WND& logic, QWidget* parent = nullptr);
    ~SatzDialog() override;

    void setLabel(int n, const std::string& text) override;
    void setText(const std::string& text) override;
    void setEnabled(SatzCtl c, bool on) override;
    void endDialog() override;

    Ui::Satz_wnd& ui() const { return *ui_; }

protected:
    void reject() override;

private:
    SATZ_WND& logic_;
    std::unique_ptr<Ui::Satz_wnd> ui_;
    std::vector<QLabel*> labels_; // TXT1 to TXT76 by number; null where the form has none
};

} // namespace arti::qt
