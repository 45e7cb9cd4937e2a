#include "cli/AnswerBox.h"

#include "core/Text.h"

#include <array>
#include <string_view>

namespace arti::cli {

namespace {

// Beginnings (UTF-8) of the boxes in which the file routines report a failed operation.
constexpr std::array<std::string_view, 5> kIoFailures = {
    "Lese-Fehler in Binär-Datei",
    "Schreib-Fehler in Binär-Datei",
    "Datei-Öffnungs-Fehler",
    "Error-Log-Datei konnte nicht errzeugt werden",
    "Eintrag in Error-Log-Datei konnte nicht geschrieben werden",
};

bool reportsIoFailure(const std::string& text) {
    for (std::string_view start : kIoFailures)
        if (text.compare(0, start.size(), start) == 0) return true;
    return false;
}

const char* buttonName(BoxButton b) {
    switch (b) {
    case BoxButton::Ok: return "OK";
    case BoxButton::Cancel: return "Abbrechen";
    case BoxButton::Yes: return "Ja";
    case BoxButton::No: break;
    }
    return "Nein";
}

} // namespace

BoxButton AnsweringMessageBox::answer(BoxKind kind, const std::string& caption, const std::string& text) const {
    if (kind == BoxKind::OkCancel) return BoxButton::Cancel; // a pop-up during a run: go on
    if (kind != BoxKind::YesNo) return BoxButton::Ok;
    bool yes = false;
    if (caption == "Gravierender Fehler") yes = answers_.continueAfterLengthFault;
    else if (caption == "Frage" && text.find("vorherigen Lauf") != std::string::npos) yes = answers_.deleteOldTexts;
    else if (caption == "Frage" && text.find("neu angelegt werden") != std::string::npos)
        yes = answers_.remakeTextStore;
    else if (caption == "Erstellungs-Datum") yes = answers_.widenDateWindow;
    else if (caption == "Währungsschlüssel") yes = answers_.adoptCurrency;
    return yes ? BoxButton::Yes : BoxButton::No;
}

BoxButton AnsweringMessageBox::show(Owner, BoxKind kind, const std::string& caption, const std::string& text) {
    Shown s{kind, ansiToUtf8(caption), ansiToUtf8(text), BoxButton::Ok};
    s.answer = answer(kind, s.caption, s.text);
    if (!ioFailure_ && kind != BoxKind::YesNo && reportsIoFailure(s.text)) ioFailure_ = s.text;
    if (echo_) {
        std::string oneLine = s.text;
        for (std::size_t at = oneLine.find("\r\n"); at != std::string::npos; at = oneLine.find("\r\n", at))
            oneLine.replace(at, 2, " | ");
        *echo_ << "[" << s.caption << "] " << oneLine;
        if (kind == BoxKind::YesNo || kind == BoxKind::OkCancel) *echo_ << "  -> " << buttonName(s.answer);
        *echo_ << '\n';
    }
    ++count_;
    const BoxButton result = s.answer;
    if (shown_.size() < kKeep) shown_.push_back(std::move(s));
    return result;
}

void AnsweringMessageBox::clear() {
    shown_.clear();
    count_ = 0;
    ioFailure_.reset();
}

} // namespace arti::cli
