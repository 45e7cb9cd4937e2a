#include "views/WarteWnd.h"

namespace arti {

std::string WARTE_WND::defaultText() {
    return "bitte warten, Daten werden gesucht und berechnet !";
}

void WARTE_WND::show(const std::string& text) {
    text_ = text;
    if (view_) view_->setText(text_);
}

void WARTE_WND::INIT() {
    show(defaultText());
}

void WARTE_WND::POSTINIT() {
    if (!callerText_.empty()) show(callerText_);
}

void WARTE_WND::ENDDIALOG() {
    if (ended_) return;
    ended_ = true;
    if (view_) view_->endDialog();
}

} // namespace arti
