#include "views/qt/FeldDialog.h"

#include "platform/qt/QtServices.h"
#include "ui_Feld_wnd.h"
#include "views/qt/Template.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace arti::qt {

FeldDialog::FeldDialog(FELD_WND& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), ui_(std::make_unique<Ui::Feld_wnd>()) {
    ui_->setupUi(this);
    layoutInDialogUnits(this, QSize(314, 128));
    findControls(this, controls_, &feldControlName);
    noDefaultButtons(this);
    setModal(false);
    ui_->SLEMASKE->installEventFilter(this);
    normalBase_ = ui_->SLEMASKE->palette().color(QPalette::Base);
    connect(ui_->SLEMASKE, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (updating_) return;
        entered_ = true;
        logic_.EDITCHANGE(toAnsi(t));
    });
    connect(ui_->PSHSAVE, &QPushButton::clicked, this, [this] { logic_.PSHSAVE(); });
    connect(ui_->PSHCHR, &QPushButton::clicked, this, [this] { logic_.PSHCHR(); });
    connect(ui_->PSHCANCEL, &QPushButton::clicked, this, [this] { logic_.PSHCANCEL(); });
    installHelpKey(this, logic_.owner(), "ARTI_Inhalt.html");
    registerOwner(logic_.owner(), this);
    logic_.attachView(this);
}

FeldDialog::~FeldDialog() {
    logic_.attachView(nullptr);
    unregisterOwner(logic_.owner());
}

bool FeldDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->SLEMASKE) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const QString text = key->text();
            // A typed character (not a cursor or function key) goes through the filter
            // with its Windows-1252 code.
            if (key->key() == Qt::Key_Backspace) return !logic_.SLEMASKE(8);
            if (!text.isEmpty() && text.at(0).isPrint()) {
                const std::string ansi = toAnsi(text.left(1));
                const int code = ansi.empty() ? 0 : static_cast<unsigned char>(ansi[0]);
                return !logic_.SLEMASKE(code);
            }
        } else if (event->type() == QEvent::FocusIn) {
            // The focus that comes back with the window (as it opens, or when the user
            // returns to it) leaves the values shown; the user enters the box by a click,
            // Tab or typing.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason) {
                entered_ = true;
                logic_.EDITFOCUSCHANGE(true);
            }
        } else if (event->type() == QEvent::FocusOut) {
            if (entered_) logic_.EDITFOCUSCHANGE(false);
            entered_ = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FeldDialog::setText(FeldCtl c, const std::string& text) {
    const QString t = fromAnsi(text);
    if (auto* edit = qobject_cast<QLineEdit*>(control(c))) {
        updating_ = true;
        edit->setText(t);
        updating_ = false;
    } else if (auto* label = qobject_cast<QLabel*>(control(c))) {
        label->setText(t);
        label->setToolTip(t);
    }
}

void FeldDialog::setEnabled(FeldCtl c, bool on) {
    control(c)->setEnabled(on);
}

void FeldDialog::setMaxLength(int length) {
    ui_->SLEMASKE->setMaxLength(length);
}

void FeldDialog::setHighlight(bool on) {
    // Through the palette, not a style sheet: taking a style sheet away again resolves the
    // box's font anew, which could leave it in another font than the window's.
    QPalette palette = ui_->SLEMASKE->palette();
    palette.setColor(QPalette::Base, on ? QColor(0xff, 0xff, 0xc0) : normalBase_);
    ui_->SLEMASKE->setPalette(palette);
}

void FeldDialog::endDialog() {
    hide();
}

void FeldDialog::reject() {
    logic_.PSHCANCEL();
}

} // namespace arti::qt
