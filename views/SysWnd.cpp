#include "views/SysWnd.h"

#include "views/RecordViewers.h"

#include "core/AppState.h"
#include "core/Text.h"
#include "records/FileHandles.h"
#include "settings/Probes.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <algorithm>
#include <climits>
#include <filesystem>

namespace arti {

using namespace arti::literals;

namespace {

constexpr const char* kControlNames[] = {"TXT109",      "PSHWAHL", "PSHEXPLORER", "PSHDATE",  "DTP1",
                                         "DTP2",        "SLE1",    "SLE2",        "SLE3",     "CHK2",
                                         "PSHINTERNET", "CHK1",    "PSHSAVE",     "PSHCANCEL"};
static_assert(std::size(kControlNames) == static_cast<std::size_t>(SysCtl::Count));

const char* logicText(bool on) {
    return on ? "TRUE" : "FALSE";
}

Date clampDate(const Date& d, const Date& first, const Date& last) {
    if (!d.ok()) return last;
    return std::clamp(d, first, last);
}

} // namespace

const char* sysControlName(SysCtl c) {
    const auto i = static_cast<std::size_t>(c);
    return i < std::size(kControlNames) ? kControlNames[i] : "";
}

void SYS_WND::showText(SysCtl c, const std::string& text) {
    switch (c) {
    case SysCtl::TXT109:
        txt109_ = text;
        break;
    case SysCtl::SLE1:
        sle1_ = text;
        break;
    case SysCtl::SLE2:
        sle2_ = text;
        break;
    case SysCtl::SLE3:
        sle3_ = text;
        break;
    default:
        break;
    }
    if (view_) view_->setText(c, text);
}

// A picker holds only dates of its range: what lies outside is set to the nearest end.
void SYS_WND::showDate(SysCtl c, Date& slot, const Date& date) {
    slot = clampDate(date, first_, c == SysCtl::DTP1 ? dtp1Last_ : dtp2Last_);
    if (view_) view_->setDate(c, slot);
}

void SYS_WND::enableSave(bool on) {
    saveEnabled_ = on;
    if (view_) view_->setEnabled(SysCtl::PSHSAVE, on);
}

bool SYS_WND::parametersValid() const {
    return sle1_.size() == 3 && !sle2_.empty() && sle3_.size() >= 2;
}

bool SYS_WND::SETUP() {
    const Settings& s = settings();
    const Date today = clock().today();
    first_ = std::chrono::year{1990} / 1 / 1;
    dtp1Last_ = today;
    dtp2Last_ = addDays(today, kUpperRangeDays);

    showText(SysCtl::TXT109, s.installPath);
    oldFolder_ = s.installPath;
    if (view_) {
        view_->setDateRange(SysCtl::DTP1, first_, dtp1Last_);
        view_->setDateRange(SysCtl::DTP2, first_, dtp2Last_);
    }
    // A picker cannot be empty: a bound that is not set shows today.
    showDate(SysCtl::DTP1, dtp1_, s.uDatum.value_or(today));
    showDate(SysCtl::DTP2, dtp2_, s.oDatum.value_or(today));
    showText(SysCtl::SLE1, s.waehrung);
    showText(SysCtl::SLE2, plainNumber(s.nks));
    showText(SysCtl::SLE3, s.lCode);
    chk1_ = s.startDlg;
    chk2_ = s.visual;
    if (view_) {
        view_->setChecked(SysCtl::CHK1, chk1_);
        view_->setChecked(SysCtl::CHK2, chk2_);
        view_->setEnabled(SysCtl::PSHINTERNET, updateService() != nullptr);
    }
    enableSave(false);
    return true;
}

void SYS_WND::EDITCHANGE(SysCtl edit, const std::string& text) {
    switch (edit) {
    case SysCtl::SLE1:
        sle1_ = text;
        break;
    case SysCtl::SLE2:
        sle2_ = text;
        break;
    case SysCtl::SLE3:
        sle3_ = text;
        break;
    default:
        return;
    }
    enableSaveByRule();
}

void SYS_WND::DATETIMESELECTIONCHANGED(SysCtl picker, const Date& date) {
    if (picker == SysCtl::DTP1) {
        dtp1_ = clampDate(date, first_, dtp1Last_);
        if (!(dtp2_ > dtp1_)) showDate(SysCtl::DTP2, dtp2_, dtp1_);
    } else if (picker == SysCtl::DTP2) {
        dtp2_ = clampDate(date, first_, dtp2Last_);
        if (!(dtp1_ < dtp2_)) showDate(SysCtl::DTP1, dtp1_, dtp2_);
    } else {
        return;
    }
    enableSaveByRule();
}

// The check boxes take effect at once, but only while the parameters are valid.
void SYS_WND::BUTTONCLICK(SysCtl checkBox, bool checked) {
    if (checkBox == SysCtl::CHK1)
        chk1_ = checked;
    else if (checkBox == SysCtl::CHK2)
        chk2_ = checked;
    else
        return;
    if (!parametersValid()) return;

    if (checkBox == SysCtl::CHK1) {
        settings().startDlg = checked;
        SAVEREG_EINZELWERT(owner(), "HKCU", "", "StartDlg", logicText(checked));
    } else {
        settings().visual = checked;
        appState().visualStyles = checked;
        if (view_) view_->applyVisualStyles(checked);
        SAVEREG_EINZELWERT(owner(), "HKCU", "", "Visual", logicText(checked));
        box().info(
            owner(), "Hinweis",
            "Die Änderungen an einigen Controls sind erst nach einem Neustart des Programmes sichtbar."_ansi);
    }
}

// Takes the date window the main window uses now. Saving is enabled by the rule, so
// that invalid parameters cannot be saved this way either.
void SYS_WND::PSHDATE() {
    const Date today = clock().today();
    showDate(SysCtl::DTP1, dtp1_, settings().uDatum.value_or(today));
    showDate(SysCtl::DTP2, dtp2_, settings().oDatum.value_or(today));
    enableSaveByRule();
}

void SYS_WND::PSHWAHL() {
    FOLDER();
}

void SYS_WND::FOLDER() {
    // The folder whose files a move copies is the data folder in use, also when the
    // user has chosen another folder before without saving.
    const std::string& current = settings().installPath;
    oldFolder_ = current;
    const std::string chosen = fileDialogs().chooseFolder(owner(), "Pfad auswählen"_ansi, current);
    showText(SysCtl::TXT109, trim(chosen).empty() ? current : BACKSLASH2PFAD(chosen));
    enableSaveByRule();
}

bool SYS_WND::copyFolder(const std::string& from, const std::string& to) const {
    namespace fs = std::filesystem;
    const fs::path source(systemPath(from));
    const fs::path target(systemPath(to));
    std::error_code ec;
    // A data folder that is gone leaves nothing to copy.
    if (from.empty() || !fs::exists(source, ec)) return !ec;
    fs::directory_iterator it(source, ec);
    if (ec) return false;
    int failed = 0;
    for (const fs::directory_iterator end; it != end;) {
        std::error_code fileEc;
        if (it->is_regular_file(fileEc)) {
            fs::copy_file(it->path(), target / it->path().filename(), fs::copy_options::overwrite_existing,
                          fileEc);
            if (fileEc) ++failed;
        }
        it.increment(ec);
        if (ec) {
            ++failed;
            break;
        }
    }
    return failed == 0;
}

void SYS_WND::moveDataFolder(const std::string& newFolder) {
    Settings& s = settings();
    const std::string old = oldFolder_;
    s.installPath = newFolder;
    auto undo = [&] {
        showText(SysCtl::TXT109, old);
        s.installPath = old;
    };
    if (!copyFolder(old, newFolder)) {
        box().info(owner(), "Kopieren",
                   "Die Dateien konnten nicht von \r\n" + old + "\r\n" + "nach" + "\r\n" + newFolder +
                       "\r\n" + " kopiert werden !");
        return undo();
    }
    // The next start must find the new folder: a path the registry did not take (or
    // cannot give back whole) is not reported as moved.
    SAVEREG_EINZELWERT(owner(), "HKCU", "", "InstallPath", newFolder);
    if (GETREG_EINZELWERT(owner(), "HKCU", "", "InstallPath", false) != newFolder) {
        box().info(owner(), "Kopieren",
                   "Der neue Pfad\r\n" + newFolder + "\r\nkonnte nicht in der Registry gespeichert werden !");
        return undo();
    }
    SAVEREG_EINZELWERT(owner(), "HKCU", "", "LastSession", formatDateTime(clock().now()));
    box().info(owner(), "Kopieren", "Der neue Pfad wurde angelegt und die Dateien wurden kopiert.");
}

void SYS_WND::PSHSAVE() {
    enableSave(false);
    // The button is enabled only with valid parameters; they never reach the registry
    // otherwise.
    if (!parametersValid()) return;

    const std::string shown = trim(txt109_);
    if (!startsWith(settings().installPath, shown)) moveDataFolder(shown);

    Settings& s = settings();
    s.waehrung = sle1_;
    s.nks = static_cast<int>(std::clamp<long long>(toNumber(sle2_), 0, INT_MAX));
    s.lCode = trim(sle3_);
    s.uDatum = dtp1_;
    s.oDatum = dtp2_;
    SAVEREGISTRY(owner(), "HKCU", "",
                 {{"WAEHRUNG", s.waehrung},
                  {"LCODE", s.lCode},
                  {"NKS", plainNumber(s.nks)},
                  {"UDatum", formatDate(dtp1_)},
                  {"ODatum", formatDate(dtp2_)}});
    if (main_) main_->SETPARAM();
}

void SYS_WND::PSHEXPLORER() {
    const std::string& folder = settings().installPath;
    if (main_)
        main_->CALLEXPLORER(folder, "open", "");
    else
        shell().open(owner(), folder, "open", "");
}

void SYS_WND::PSHINTERNET() {
    // "Internet-Setup-Parameter" is enabled only with an update service.
    IUpdateService* update = updateService();
    if (!update) return;
    update->settingsWindow(owner());
    // A manual update there has handed over to an installer and told the user that the
    // program ends now: this window closes, and the main window after it.
    if (appState().closeWithoutAsking) PSHCANCEL();
}

void SYS_WND::PSHCANCEL() {
    ended_ = true;
    if (view_) view_->endDialog();
}

} // namespace arti
