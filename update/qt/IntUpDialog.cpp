#include "update/qt/IntUpDialog.h"

#include "platform/qt/QtServices.h"
#include "ui_Intup_wnd.h"
#include "views/qt/Template.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace arti::qt {

IntUpDialog::IntUpDialog(INTUP_WND& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(std::make_unique<Ui::Intup_wnd>()) {
    ui_->setupUi(this);
    layoutInDialogUnits(this, QSize(289, 191));
    findControls(this, controls_, &intUpControlName);
    noDefaultButtons(this);
    setButtonImage(ui_->PSHSAVE, QStringLiteral("SAFE"));
    setButtonImage(ui_->PSHCANCEL, QStringLiteral("RAUS"));
    // "&Speichern" and "Ende": the image buttons keep their access keys.
    ui_->PSHSAVE->setShortcut(QKeySequence(Qt::ALT | Qt::Key_S));
    ui_->PSHCANCEL->setShortcut(QKeySequence(Qt::ALT | Qt::Key_E));
    ui_->SLE4->setEchoMode(QLineEdit::Password);
    ui_->SLE7->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), ui_->SLE7));
    connectControls();
    installHelpKey(this, logic_.owner(), INTUP_WND::kHelpPage);
    registerOwner(logic_.owner(), this);
    logic_.attachView(this);
}

IntUpDialog::~IntUpDialog() {
    logic_.attachView(nullptr);
    unregisterOwner(logic_.owner());
}

void IntUpDialog::connectControls() {
    for (IntUpCtl c : {IntUpCtl::SLE1, IntUpCtl::SLE2, IntUpCtl::SLE3, IntUpCtl::SLE4, IntUpCtl::SLE5,
                       IntUpCtl::SLE6, IntUpCtl::SLE7}) {
        auto* edit = qobject_cast<QLineEdit*>(control(c));
        connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& t) {
            if (!updating_) logic_.EDITCHANGE(c, toAnsi(t));
        });
    }
    for (IntUpCtl c : {IntUpCtl::CHK1, IntUpCtl::CHK2}) {
        auto* box = qobject_cast<QCheckBox*>(control(c));
        connect(box, &QCheckBox::clicked, this, [this, c](bool on) { logic_.BUTTONCLICK(c, on); });
    }
    connect(ui_->PSHSAVE, &QPushButton::clicked, this, [this] { logic_.PSHSAVE(); });
    connect(ui_->PSHHISTORIE, &QPushButton::clicked, this, [this] { logic_.PSHHISTORIE(); });
    connect(ui_->PSHEXPLORER, &QPushButton::clicked, this, [this] { logic_.PSHEXPLORER(); });
    connect(ui_->PSHMANUELLUPDATE, &QPushButton::clicked, this, [this] { logic_.PSHMANUELLUPDATE(); });
    connect(ui_->PSHCANCEL, &QPushButton::clicked, this, [this] { logic_.PSHCANCEL(); });
}

void IntUpDialog::setText(IntUpCtl c, const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control(c))) {
        updating_ = true;
        edit->setText(fromAnsi(text));
        updating_ = false;
    }
}

void IntUpDialog::setChecked(IntUpCtl c, bool on) {
    if (auto* box = qobject_cast<QCheckBox*>(control(c))) box->setChecked(on);
}

void IntUpDialog::setEnabled(IntUpCtl c, bool on) {
    control(c)->setEnabled(on);
}

void IntUpDialog::endDialog() {
    done(QDialog::Rejected);
}

void IntUpDialog::reject() {
    logic_.PSHCANCEL();
}

} // namespace arti::qt
