// WARTE_WND: the caption-less wait box shown during long operations. The caller shows
// it without waiting and closes it with ENDDIALOG; it takes no input of its own.
#pragma once

#include "core/Services.h"

#include <string>

namespace arti {

class IWaitView {
public:
    virtual ~IWaitView() = default;
    // The text, centred; CR LF separates its lines.
    virtual void setText(const std::string& text) = 0;
    virtual void endDialog() = 0;
};

class WARTE_WND {
public:
    // `text` replaces the default wording when it is not empty.
    explicit WARTE_WND(std::string text = {}) : callerText_(std::move(text)) {}
    WARTE_WND(const WARTE_WND&) = delete;
    WARTE_WND& operator=(const WARTE_WND&) = delete;

    void attachView(IWaitView* view) { view_ = view; }
    Owner owner() const { return this; }

    // The default wording.
    void INIT();
    // The caller's text, when one was given.
    void POSTINIT();
    void ENDDIALOG();
    // Shows another text while the box is open.
    void SETTEXT(const std::string& text) { show(text); }

    const std::string& text() const { return text_; }
    bool ended() const { return ended_; }

    static std::string defaultText();

private:
    void show(const std::string& text);

    IWaitView* view_ = nullptr;
    std::string callerText_;
    std::string text_;
    bool ended_ = false;
};

} // namespace arti
