// The Qt face of the about box HELPABOUT.
#pragma once

#include "views/HelpAbout.h"

#include <QDialog>
#include <array>
#include <memory>

class QLabel;

namespace Ui {
class Helpabout;
}

namespace arti::qt {

class AboutDialog final : public QDialog, public IAboutView {
    Q_OBJECT
public:
    explicit AboutDialog(HELPABOUT& logic, QWidget* parent = nullptr);
    ~AboutDialog() override;

    void setText(AboutCtl c, const std::string& text) override;
    void endDialog() override;

    QLabel* control(AboutCtl c) const { return controls_[static_cast<std::size_t>(c)]; }
    Ui::Helpabout& ui() const { return *ui_; }

protected:
    void reject() override;

private:
    void showWordSize();

    HELPABOUT& logic_;
    std::unique_ptr<Ui::Helpabout> ui_;
    std::array<QLabel*, static_cast<std::size_t>(AboutCtl::Count)> controls_{};
};

} // namespace arti::qt
