// Entry of the desktop program: installs the Qt services and runs the start routine.
// The plain "Windows" style is the default; the start routine switches to "Fusion" when
// the visual-styles setting is on (QtAppShell::enableVisualStyles).
#include "app/Start.h"
#include "app/qt/QtAppShell.h"
#include "core/AppState.h"
#include "core/Text.h"
#include "platform/Shell.h"
#include "platform/qt/GermanLocale.h"
#include "platform/qt/HelpWindow.h"
#include "platform/qt/QtServices.h"
#include "update/qt/QtUpdateService.h"
#include "views/qt/QtRecordViewers.h"
#include "views/qt/QtSecondaryWindows.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyleFactory>

int main(int argc, char** argv) {
    arti::qt::prepareGermanLocale();
    QApplication application(argc, argv);
    arti::qt::fixGermanLocale();
    // A data file given on the command line (the desktop's "open with") is checked first.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        arti::appState().startFile =
            arti::pathAsEngineText(QFileInfo(arguments.at(1)).absoluteFilePath().toStdString());
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) QApplication::setStyle(plain);

    arti::qt::QtMessageBox messageBox;
    arti::qt::QtWindowServices windowServices;
    arti::SystemClock systemClock;
    arti::qt::QtFileDialogs fileDialogs;
    arti::platform::DesktopShell desktopShell;
    // Documents and addresses go to the desktop; the help pages show in a window of ours.
    arti::qt::QtShell shell(desktopShell);
    arti::qt::QtScreenMetrics screen;
    arti::qt::QtSecondaryWindows secondary;
    arti::qt::QtRecordViewers viewers;
    // The update settings window opens its links and an installer as the main window
    // opens documents: through the shell, a failure reported in the shell's error box.
    arti::qt::QtUpdateService update([](const std::string& target) {
        const long result = arti::shell().open(nullptr, target, "open", "");
        arti::SHELLEXECUTEERRMESSAGE(nullptr, result, target);
        return result;
    });
    // The window list and the system figures stay those of the desktop and the system.
    arti::ServicesScope services({.box = &messageBox,
                                  .window = &windowServices,
                                  .clock = &systemClock,
                                  .dialogs = &fileDialogs,
                                  .shell = &shell,
                                  .screen = &screen,
                                  .secondary = &secondary,
                                  .viewers = &viewers,
                                  .update = &update});

    arti::qt::QtAppShell appShell;
    arti::APP_START(appShell);
    appShell.releaseMainWindow();
    return 0;
}
