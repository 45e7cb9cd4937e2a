// Entry of the desktop program: installs the Qt services and runs the start routine.
#include "app/Start.h"
#include "app/qt/QtAppShell.h"
#include "app/qt/QtServices.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) QApplication::setStyle(plain);

    arti::qt::QtMessageBox messageBox;
    arti::qt::QtWindowServices windowServices;
    arti::SystemClock systemClock;
    arti::ServicesScope services(&messageBox, &windowServices, &systemClock);
    arti::qt::QtScreenMetrics screen;
    arti::setScreenMetricsSource(&screen);

    arti::qt::QtAppShell shell;
    arti::APP_START(shell);
    shell.releaseMainWindow();
    arti::setScreenMetricsSource(nullptr);
    return 0;
}
