#include "views/qt/StartDialog.h"

#include "platform/qt/QtServices.h"
#include "ui_Start_wnd.h"
#include "views/qt/Template.h"

namespace arti::qt {

StartDialog::StartDialog(START_WND& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(std::make_unique<Ui::Start_wnd>()) {
    ui_->setupUi(this);
    layoutInDialogUnits(this, QSize(259, 129));
    noDefaultButtons(this);
    setButtonImage(ui_->PSHCANCEL, QStringLiteral("RAUS"));
    connect(ui_->CHK1, &QCheckBox::clicked, this, [this](bool on) { logic_.BUTTONCLICK(on); });
    connect(ui_->PSHCANCEL, &QPushButton::clicked, this, [this] { logic_.PSHCANCEL(); });
    registerOwner(logic_.owner(), this);
    logic_.attachView(this);
}

StartDialog::~StartDialog() {
    logic_.attachView(nullptr);
    unregisterOwner(logic_.owner());
}

void StartDialog::setHints(const std::string& text) {
    ui_->MLE1->setPlainText(displayText(text));
}

void StartDialog::setChecked(bool on) {
    ui_->CHK1->setChecked(on);
}

void StartDialog::endDialog() {
    done(QDialog::Rejected);
}

void StartDialog::reject() {
    logic_.PSHCANCEL();
}

} // namespace arti::qt
