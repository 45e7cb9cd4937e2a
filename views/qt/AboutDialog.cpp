#include "views/qt/AboutDialog.h"

#include "platform/qt/QtServices.h"
#include "ui_Helpabout.h"
#include "views/qt/Template.h"

#include <QLabel>
#include <QSysInfo>

namespace arti::qt {

AboutDialog::AboutDialog(HELPABOUT& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(std::make_unique<Ui::Helpabout>()) {
    ui_->setupUi(this);
    layoutInDialogUnits(this, QSize(308, 234));
    findControls(this, controls_, &aboutControlName);
    noDefaultButtons(this);
    setLabelImage(ui_->FIXEDBITMAP1, QStringLiteral("VIRuduzov"));
    ui_->TXTEMAIL->hide();
    showWordSize();
    connect(ui_->PSHEMAIL, &QPushButton::clicked, this, [this] { logic_.PSHEMAIL(); });
    connect(ui_->PSHCANCEL, &QPushButton::clicked, this, [this] { logic_.PSHCANCEL(); });
    installHelpKey(this, logic_.owner(), HELPABOUT::kHelpPage);
    registerOwner(logic_.owner(), this);
    logic_.attachView(this);
}

// The memory figures are those of this program's word size: the template's "32bit" of the
// memory labels becomes the word size the program was built for.
void AboutDialog::showWordSize() {
    const QString bits = QString::number(QSysInfo::WordSize) + QStringLiteral("bit");
    for (QLabel* label : findChildren<QLabel*>()) {
        QString text = label->text();
        if (!text.endsWith(QStringLiteral("32bit"))) continue;
        text.chop(5);
        label->setText(text + bits);
    }
}

AboutDialog::~AboutDialog() {
    logic_.attachView(nullptr);
    unregisterOwner(logic_.owner());
}

void AboutDialog::setText(AboutCtl c, const std::string& text) {
    QLabel* label = control(c);
    label->setText(displayText(text));
    // Long lines (operating system, program folder) are cut at the left edge of their
    // field: the whole text is in the tooltip.
    if (c == AboutCtl::TXT11 || c == AboutCtl::TXT12 || c == AboutCtl::TXT13 || c == AboutCtl::TXT14)
        label->setToolTip(label->text());
}

void AboutDialog::endDialog() {
    done(QDialog::Accepted);
}

void AboutDialog::reject() {
    logic_.PSHCANCEL();
}

} // namespace arti::qt
