#include "update/IntUpWnd.h"

#include "core/AppState.h"
#include "core/Text.h"
#include "settings/Registry.h"

namespace arti {

using namespace arti::literals;

namespace {

constexpr const char* kControlNames[] = {
    "SLE1",        "SLE2", "CHK1",        "SLE3", "SLE4",     "SLE5", "SLE6", "PSHSAVE", "PSHMANUELLUPDATE",
    "PSHHISTORIE", "CHK2", "PSHEXPLORER", "SLE7", "PSHCANCEL"};
static_assert(std::size(kControlNames) == static_cast<std::size_t>(IntUpCtl::Count));

// The edits and the values they show, in the order Save writes them.
constexpr std::pair<IntUpCtl, const char*> kEdits[] = {
    {IntUpCtl::SLE1, "URLMerix"},  {IntUpCtl::SLE2, "Proxy"},        {IntUpCtl::SLE3, "ProxyName"},
    {IntUpCtl::SLE4, "ProxyPW"},   {IntUpCtl::SLE5, "DateiVersion"}, {IntUpCtl::SLE6, "DateiEXE"},
    {IntUpCtl::SLE7, "Intervall"},
};

const char* logicText(bool on) {
    return on ? "TRUE" : "FALSE";
}

bool logicOn(const std::string& text, bool emptyIsOn) {
    const std::string t = upper(trim(text));
    return (emptyIsOn && t.empty()) || startsWith(t, "TRUE");
}

} // namespace

const char* intUpControlName(IntUpCtl c) {
    const auto i = static_cast<std::size_t>(c);
    return i < std::size(kControlNames) ? kControlNames[i] : "";
}

void INTUP_WND::showText(IntUpCtl c, const std::string& text) {
    texts_[index(c)] = text;
    if (view_) view_->setText(c, text);
}

void INTUP_WND::check(IntUpCtl c, bool on) {
    checked_[index(c)] = on;
    if (view_) view_->setChecked(c, on);
}

void INTUP_WND::enable(IntUpCtl c, bool on) {
    enabled_[index(c)] = on;
    if (view_) view_->setEnabled(c, on);
}

bool INTUP_WND::SETUP() {
    // Every value is read whole: a slot narrower than the stored text would show it
    // empty, and Save would then wipe it.
    ValueList list = makeValueList({{"URLMerix", 256},
                                    {"Proxy", 256},
                                    {"ProxyName", 256},
                                    {"ProxyPW", 256},
                                    {"ProxyOK", 16},
                                    {"DateiVersion", 256},
                                    {"DateiEXE", 256},
                                    {"Intervall", 16},
                                    {"PRGUpdate", 16}});
    GETREGISTRY(owner(), "", list);
    windowServices().processMessages();
    for (std::size_t i = 0; i < static_cast<std::size_t>(IntUpCtl::Count); ++i)
        enable(static_cast<IntUpCtl>(i), true);
    for (const auto& [edit, name] : kEdits)
        showText(edit, trim(valueOf(list, name)));
    if (text(IntUpCtl::SLE7).empty()) showText(IntUpCtl::SLE7, "0");
    check(IntUpCtl::CHK1, logicOn(valueOf(list, "ProxyOK"), false));
    check(IntUpCtl::CHK2, logicOn(valueOf(list, "PRGUpdate"), true));
    enable(IntUpCtl::PSHSAVE, false);
    windowServices().processMessages();
    if (text(IntUpCtl::SLE6).empty() || text(IntUpCtl::SLE7).empty()) {
        enable(IntUpCtl::PSHMANUELLUPDATE, false);
        enable(IntUpCtl::PSHSAVE, false);
    }
    return true;
}

void INTUP_WND::BUTTONCLICK(IntUpCtl checkBox, bool checked) {
    if (checkBox != IntUpCtl::CHK1 && checkBox != IntUpCtl::CHK2) return;
    enable(checkBox, false);
    checked_[index(checkBox)] = checked;
    if (checkBox == IntUpCtl::CHK1) {
        SAVEREG_EINZELWERT(owner(), "HKCU", "", "ProxyOK", logicText(checked));
    } else {
        // An empty date makes the automatic check due at the next start.
        SAVEREGISTRY(owner(), "HKCU", "", {{"PRGUpdate", logicText(checked)}, {"UpdateDatum", ""}});
    }
    enable(checkBox, true);
}

void INTUP_WND::EDITCHANGE(IntUpCtl edit, const std::string& newText) {
    texts_[index(edit)] = newText;
    if (edit == IntUpCtl::SLE7)
        SAVEREG_EINZELWERT(owner(), "HKCU", "", "Intervall", trim(newText));
    else
        enable(IntUpCtl::PSHSAVE, true);
}

void INTUP_WND::PSHSAVE() {
    enable(IntUpCtl::PSHSAVE, false);
    // "No" keeps the registry as it is; the changes stay in the window to be saved later.
    if (!box().askYesNo(owner(), "Hinweis",
                        "Sie haben Einträge geändert.\r\nEin möglicher fehlerhafter Eintrag verhindert den "
                        "Serverzugriff.\r\n"_ansi)) {
        enable(IntUpCtl::PSHSAVE, true);
        return;
    }
    ValueList values;
    for (const auto& [edit, name] : kEdits)
        values.push_back({name, trim(text(edit))});
    SAVEREGISTRY(owner(), "HKCU", "", values);
}

void INTUP_WND::PSHHISTORIE() {
    open_(trim(text(IntUpCtl::SLE1)) + "historie.htm");
}

void INTUP_WND::PSHEXPLORER() {
    open_(trim(text(IntUpCtl::SLE1)) + "index.htm");
}

void INTUP_WND::PSHMANUELLUPDATE() {
    INTERNETUPDATE(owner(), appState().shortName, true, open_);
    if (appState().closeWithoutAsking) PSHCANCEL();
}

void INTUP_WND::PSHCANCEL() {
    ended_ = true;
    if (view_) view_->endDialog();
}

} // namespace arti
