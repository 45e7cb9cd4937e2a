#include "app/Start.h"

#include "core/AppState.h"
#include "core/Dates.h"
#include "core/Text.h"
#include "platform/Paths.h"
#include "settings/Probes.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "update/InternetUpdate.h"

#include <clocale>
#include <cstdio>

namespace arti {

using namespace arti::literals;

SharedBrushes& sharedBrushes() {
    static SharedBrushes brushes;
    return brushes;
}

namespace {

// Number formats, dates and the code page are fixed by our own helpers; the C
// library's locale stays neutral so that nothing formats behind their back.
void applyRuntimeConventions() {
    std::setlocale(LC_ALL, "C");
}

int storedCoordinate(PRUEF_WND& wnd, const char* name) {
    ValueList v{{name, std::string(25, ' ')}};
    GETREGISTRY(wnd.owner(), "", v);
    return static_cast<int>(parseInteger(v[0].text).value_or(0));
}

// Steps 9 and 10: the user data folder must be set and reachable.
bool userFolderUsable(PRUEF_WND& wnd) {
    const std::string& folder = settings().installPath;
    if (folder.empty()) {
        box().info(wnd.owner(), "Benutzer-Datenpfad",
                   "Fehlender Eintrag des Datenpfades in der Registry. Abbruch des Programmes.");
        return false;
    }
    if (!platform::changeCurrentFolder(folder)) {
        box().info(wnd.owner(), "Benutzer-Datenpfad",
                   "es konnte nicht auf  " + folder + " gewechselt werden !");
        return false;
    }
    platform::changeCurrentFolder(appState().programFolder);
    return true;
}

void createBrushes() {
    sharedBrushes() = SharedBrushes{0xFFFFE0, 0xE0FFE0, true};
}
void releaseBrushes() {
    sharedBrushes() = SharedBrushes{};
}

} // namespace

void APP_START(IAppShell& shell) {
    AppState& app = appState();
    app.programVersion = "23/01/30";
    app.requiredSetupVersion = app.programVersion;
    app.title = "ARTISCOPE-Inspector";
    app.shortName = "ARTISCOPE";
    applyRuntimeConventions();
    app.programFolder = shell.programFolder();

    app.visualStyles = false;
    REGDATENAUSLESEN(nullptr);
    app.visualStyles = settings().visual;
    if (app.visualStyles) shell.enableVisualStyles();

    PRUEF_WND wnd;
    wnd.INIT();
    IPruefView& view = shell.createMainWindow(wnd);
    wnd.attachView(&view);
    app.closeWithoutAsking = true;
    shell.wait(500);

    if (PRUEFTASK(wnd.owner(), app.title + " * Version")) return wnd.ENDDIALOG();
    const int originX = storedCoordinate(wnd, "OriginX");
    const int originY = storedCoordinate(wnd, "OriginY");
    if (!userFolderUsable(wnd)) return wnd.ENDDIALOG();
    app.tempFolder = TEMPPATHREG(wnd.owner());
    SAVEREG_EINZELWERT(wnd.owner(), "HKCU", "", "LastSession", formatDateTime(clock().now()));
    if (!shell.loadLanguageModule(app.programFolder)) {
        box().error(wnd.owner(), "Fehler",
                    "Nationalitäts-Modul GERMAN.DLL konnte nicht geladen werden !"_ansi);
        return wnd.ENDDIALOG();
    }
    if (!GUELTIGEVERSION(wnd.owner())) return wnd.ENDDIALOG();
    if (!app.tempFolder.empty()) {
        std::remove((app.tempFolder + "ASSetup.exe").c_str());
        DownloadFolder::removeLeftOver();
    }
    app.closeWithoutAsking = false;

    createBrushes();
    if (!wnd.SETUP()) {
        wnd.ENDDIALOG();
    } else {
        const WindowRect r = view.geometry();
        const auto pos = FENSTERPOS(originX, originY, r.width, r.height);
        const int x = pos.empty() ? 0 : pos[0].first;
        if (!pos.empty() && pos[0].first != 0 && pos[0].second != 0) view.moveTo(pos[0].first, pos[0].second);
        view.bringToTop();
        wnd.markShown();
        view.showModal(x <= 0);
        wnd.markClosed();
    }
    releaseBrushes();
}

} // namespace arti
