#include "views/qt/SatzDialog.h"

#include "platform/qt/QtServices.h"
#include "ui_Satz_wnd.h"
#include "views/qt/Template.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace arti::qt {

SatzDialog::SatzDialog(SATZ_WND& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(std::make_unique<Ui::Satz_wnd>()) {
    ui_->setupUi(this);
    layoutInDialogUnits(this, QSize(676, 314));
    noDefaultButtons(this);
    setModal(false);
    // The labels are found by name once, as the window's controls are collected at set-up.
    labels_.assign(SATZ_WND::kLabels + 1, nullptr);
    for (int n = 1; n <= SATZ_WND::kLabels; ++n)
        labels_[static_cast<std::size_t>(n)] = findChild<QLabel*>(QStringLiteral("TXT%1").arg(n));
    connect(ui_->PSHNEXT, &QPushButton::clicked, this, [this] { logic_.PSHNEXT(); });
    connect(ui_->PSHDIM, &QPushButton::clicked, this, [this] { logic_.PSHDIM(); });
    connect(ui_->PSHCANCEL, &QPushButton::clicked, this, [this] { logic_.PSHCANCEL(); });
    installHelpKey(this, logic_.owner(), "ARTI_Inhalt.html");
    registerOwner(logic_.owner(), this);
    logic_.attachView(this);
}

SatzDialog::~SatzDialog() {
    logic_.attachView(nullptr);
    unregisterOwner(logic_.owner());
}

void SatzDialog::setLabel(int n, const std::string& text) {
    if (n < 1 || n > SATZ_WND::kLabels) return;
    if (QLabel* label = labels_[static_cast<std::size_t>(n)]) {
        const QString t = fromAnsi(text);
        label->setText(t);
        label->setToolTip(t);
    }
}

void SatzDialog::setText(const std::string& text) {
    ui_->MLE1->setPlainText(displayText(text));
}

void SatzDialog::setEnabled(SatzCtl c, bool on) {
    switch (c) {
    case SatzCtl::MLE1:
        ui_->MLE1->setEnabled(on);
        break;
    case SatzCtl::PSHNEXT:
        ui_->PSHNEXT->setEnabled(on);
        break;
    case SatzCtl::PSHDIM:
        ui_->PSHDIM->setEnabled(on);
        break;
    case SatzCtl::PSHCANCEL:
        ui_->PSHCANCEL->setEnabled(on);
        break;
    case SatzCtl::Count:
        break;
    }
}

void SatzDialog::endDialog() {
    hide();
}

void SatzDialog::reject() {
    logic_.PSHCANCEL();
}

} // namespace arti::qt
