#include "cli/AnswerBox.h"

#include "core/Text.h"

namespace arti::cli {

namespace {

const char* buttonName(BoxButton b) {
    switch (b) {
    case BoxButton::Ok:
        return "OK";
    case BoxButton::Cancel:
        return "Abbrechen";
    case BoxButton::Yes:
        return "Ja";
    case BoxButton::No:
        break;
    }
    return "Nein";
}

} // namespace

BoxButton AnsweringMessageBox::show(Owner, BoxKind kind, const std::string& caption,
                                    const std::string& text) {
    const BoxButton answer = kind == BoxKind::OkCancel ? BoxButton::Cancel
                             : kind == BoxKind::YesNo  ? BoxButton::No
                                                       : BoxButton::Ok;
    note(kind, caption, text, answer);
    return answer;
}

void AnsweringMessageBox::note(BoxKind kind, const std::string& caption, const std::string& text,
                               BoxButton answer) {
    Shown s{kind, ansiToUtf8(caption), ansiToUtf8(text), answer};
    if (echo_) {
        std::string oneLine = s.text;
        for (std::size_t at = oneLine.find("\r\n"); at != std::string::npos; at = oneLine.find("\r\n", at))
            oneLine.replace(at, 2, " | ");
        *echo_ << "[" << s.caption << "] " << oneLine;
        if (kind == BoxKind::YesNo || kind == BoxKind::OkCancel) *echo_ << "  -> " << buttonName(s.answer);
        *echo_ << '\n';
    }
    ++count_;
    if (shown_.size() < kKeep) shown_.push_back(std::move(s));
}

void AnsweringMessageBox::clear() {
    shown_.clear();
    count_ = 0;
}

} // namespace arti::cli
