#include "views/qt/SysDialog.h"

#include "platform/qt/QtServices.h"
#include "ui_Sys_wnd.h"
#include "views/qt/Template.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyleFactory>

namespace arti::qt {

namespace {

QDate toQDate(const Date& d) {
    return QDate(static_cast<int>(d.year()), static_cast<int>(static_cast<unsigned>(d.month())),
                 static_cast<int>(static_cast<unsigned>(d.day())));
}

Date fromQDate(const QDate& d) {
    return std::chrono::year{d.year()} / std::chrono::month{static_cast<unsigned>(d.month())} /
           std::chrono::day{static_cast<unsigned>(d.day())};
}

} // namespace

SysDialog::SysDialog(SYS_WND& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(std::make_unique<Ui::Sys_wnd>()) {
    ui_->setupUi(this);
    layoutInDialogUnits(this, QSize(333, 178));
    findControls(this, controls_, &sysControlName);
    noDefaultButtons(this);
    setButtonImage(ui_->PSHSAVE, QStringLiteral("SAFE"));
    setButtonImage(ui_->PSHCANCEL, QStringLiteral("RAUS"));
    // "&Speichern": the image button keeps its access key.
    ui_->PSHSAVE->setShortcut(QKeySequence(Qt::ALT | Qt::Key_S));
    ui_->SLE2->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), ui_->SLE2));
    ui_->SLE2->setMaxLength(2);
    ui_->TXT109->setToolTip(ui_->TXT109->text());
    connectControls();
    installHelpKey(this, logic_.owner(), SYS_WND::kHelpPage);
    registerOwner(logic_.owner(), this);
    logic_.attachView(this);
}

SysDialog::~SysDialog() {
    logic_.attachView(nullptr);
    unregisterOwner(logic_.owner());
}

void SysDialog::connectControls() {
    const auto edit = [this](QLineEdit* e, SysCtl c) {
        connect(e, &QLineEdit::textChanged, this, [this, c](const QString& t) {
            if (!updating_) logic_.EDITCHANGE(c, toAnsi(t));
        });
    };
    edit(ui_->SLE1, SysCtl::SLE1);
    edit(ui_->SLE2, SysCtl::SLE2);
    edit(ui_->SLE3, SysCtl::SLE3);
    const auto picker = [this](QDateEdit* p, SysCtl c) {
        connect(p, &QDateEdit::dateChanged, this, [this, c](const QDate& d) {
            if (!updating_ && d.isValid()) logic_.DATETIMESELECTIONCHANGED(c, fromQDate(d));
        });
    };
    picker(ui_->DTP1, SysCtl::DTP1);
    picker(ui_->DTP2, SysCtl::DTP2);
    connect(ui_->CHK1, &QCheckBox::clicked, this, [this](bool on) { logic_.BUTTONCLICK(SysCtl::CHK1, on); });
    connect(ui_->CHK2, &QCheckBox::clicked, this, [this](bool on) { logic_.BUTTONCLICK(SysCtl::CHK2, on); });
    connect(ui_->PSHSAVE, &QPushButton::clicked, this, [this] { logic_.PSHSAVE(); });
    connect(ui_->PSHDATE, &QPushButton::clicked, this, [this] { logic_.PSHDATE(); });
    connect(ui_->PSHWAHL, &QPushButton::clicked, this, [this] { logic_.PSHWAHL(); });
    connect(ui_->PSHEXPLORER, &QPushButton::clicked, this, [this] { logic_.PSHEXPLORER(); });
    connect(ui_->PSHINTERNET, &QPushButton::clicked, this, [this] { logic_.PSHINTERNET(); });
    connect(ui_->PSHCANCEL, &QPushButton::clicked, this, [this] { logic_.PSHCANCEL(); });
}

void SysDialog::setText(SysCtl c, const std::string& text) {
    const QString t = fromAnsi(text);
    updating_ = true;
    if (auto* edit = qobject_cast<QLineEdit*>(control(c))) {
        edit->setText(t);
    } else if (auto* label = qobject_cast<QLabel*>(control(c))) {
        label->setText(t);
        label->setToolTip(t); // a long folder is cut at the right edge
    }
    updating_ = false;
}

void SysDialog::setDate(SysCtl c, const Date& date) {
    if (auto* p = qobject_cast<QDateEdit*>(control(c))) {
        updating_ = true;
        p->setDate(toQDate(date));
        updating_ = false;
    }
}

void SysDialog::setDateRange(SysCtl c, const Date& first, const Date& last) {
    if (auto* p = qobject_cast<QDateEdit*>(control(c))) {
        updating_ = true;
        p->setDateRange(toQDate(first), toQDate(last));
        updating_ = false;
    }
}

void SysDialog::setChecked(SysCtl c, bool on) {
    if (auto* box = qobject_cast<QCheckBox*>(control(c))) box->setChecked(on);
}

void SysDialog::setEnabled(SysCtl c, bool on) {
    control(c)->setEnabled(on);
}

// The visual styles: the Fusion style when on, the plain "Windows" style when off.
void SysDialog::applyVisualStyles(bool on) {
    if (QStyle* style = QStyleFactory::create(on ? QStringLiteral("Fusion") : QStringLiteral("Windows")))
        QApplication::setStyle(style);
}

void SysDialog::endDialog() {
    done(QDialog::Rejected);
}

void SysDialog::reject() {
    logic_.PSHCANCEL();
}

} // namespace arti::qt
