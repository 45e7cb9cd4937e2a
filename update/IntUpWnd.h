// INTUP_WND: the modal dialog "Internet-Update-Parameter". The user sees and edits the
// update site, the proxy and the file names, switches the automatic check and sets its
// interval, opens the site's history or start page, and starts an update by hand. The
// window reads and writes the registry directly; its face reports the user's changes.
#pragma once

#include "core/Services.h"
#include "update/InternetUpdate.h"

#include <string>

namespace arti {

enum class IntUpCtl {
    SLE1, // "URLMerix"
    SLE2, // "Proxy"
    CHK1, // "ProxyOK"
    SLE3, // "ProxyName"
    SLE4, // "ProxyPW"
    SLE5, // "DateiVersion"
    SLE6, // "DateiEXE"
    PSHSAVE,
    PSHMANUELLUPDATE,
    PSHHISTORIE,
    CHK2, // "PRGUpdate"
    PSHEXPLORER,
    SLE7, // "Intervall"
    PSHCANCEL,
    Count
};
// The control's name in the window template.
const char* intUpControlName(IntUpCtl c);

class IIntUpView {
public:
    virtual ~IIntUpView() = default;
    virtual void setText(IntUpCtl c, const std::string& text) = 0;
    virtual void setChecked(IntUpCtl c, bool on) = 0;
    virtual void setEnabled(IntUpCtl c, bool on) = 0;
    virtual void endDialog() = 0;
};

class INTUP_WND {
public:
    // F1: help file "ARTI", topic "InternetUpdate".
    static constexpr const char* kHelpPage = "ARTI_InternetUpdate.html";

    // `open` is the open-document operation that starts the links and an installer.
    explicit INTUP_WND(OpenDocument open) : open_(std::move(open)) {}
    INTUP_WND(const INTUP_WND&) = delete;
    INTUP_WND& operator=(const INTUP_WND&) = delete;

    void attachView(IIntUpView* view) { view_ = view; }
    Owner owner() const { return this; }

    bool SETUP();
    void BUTTONCLICK(IntUpCtl checkBox, bool checked);
    void EDITCHANGE(IntUpCtl edit, const std::string& text);
    void PSHSAVE();
    void PSHHISTORIE();
    void PSHEXPLORER();
    void PSHMANUELLUPDATE();
    void PSHCANCEL();

    const std::string& text(IntUpCtl c) const { return texts_[index(c)]; }
    bool checked(IntUpCtl c) const { return checked_[index(c)]; }
    bool enabled(IntUpCtl c) const { return enabled_[index(c)]; }
    bool ended() const { return ended_; }

private:
    static std::size_t index(IntUpCtl c) { return static_cast<std::size_t>(c); }
    void showText(IntUpCtl c, const std::string& text);
    void check(IntUpCtl c, bool on);
    void enable(IntUpCtl c, bool on);

    OpenDocument open_;
    IIntUpView* view_ = nullptr;
    std::string texts_[static_cast<std::size_t>(IntUpCtl::Count)];
    bool checked_[static_cast<std::size_t>(IntUpCtl::Count)] = {};
    bool enabled_[static_cast<std::size_t>(IntUpCtl::Count)] = {};
    bool ended_ = false;
};

} // namespace arti
