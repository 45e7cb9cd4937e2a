#include "views/qt/WaitDialog.h"

#include "platform/qt/QtServices.h"
#include "ui_Warte_wnd.h"
#include "views/qt/Template.h"

namespace arti::qt {

WaitDialog::WaitDialog(WARTE_WND& logic, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), logic_(logic),
      ui_(std::make_unique<Ui::Warte_wnd>()) {
    ui_->setupUi(this);
    layoutInDialogUnits(this, QSize(141, 38));
    setModal(false);
    logic_.attachView(this);
}

WaitDialog::~WaitDialog() {
    logic_.attachView(nullptr);
}

void WaitDialog::setText(const std::string& text) {
    ui_->TXT1->setText(displayText(text));
}

void WaitDialog::endDialog() {
    done(QDialog::Accepted);
}

} // namespace arti::qt
