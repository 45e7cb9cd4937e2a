// The program's main check window with its Qt face and the real record viewers, shown on
// the offscreen platform; the boxes, the message pump, the file dialog and the shell are
// scripted stand-ins. For the Qt tests that drive the window by clicks.
#pragma once

#include "app/PruefWnd.h"
#include "app/qt/PruefDialog.h"
#include "tests/support/Fakes.h"
#include "views/qt/QtRecordViewers.h"

#include <QTest>

namespace arti::test {

struct QtMainWindow {
    QtMainWindow() {
        logic.INIT();
        logic.attachView(&dialog);
        logic.SETUP();
        dialog.show();
    }
    QtMainWindow(const QtMainWindow&) = delete;
    QtMainWindow& operator=(const QtMainWindow&) = delete;

    bool exposed() { return QTest::qWaitForWindowExposed(&dialog); }
    // A click on a control, as a person makes it.
    void click(Ctl c) { QTest::mouseClick(dialog.control(c), Qt::LeftButton, {}, QPoint(6, 6)); }

    FakeMessageBox box;
    FakeWindowServices pump;
    FakeFileDialogs dialogs;
    FakeShell shell;
    qt::QtRecordViewers viewers;
    ServicesScope scope{
        Services{.box = &box, .window = &pump, .dialogs = &dialogs, .shell = &shell, .viewers = &viewers}};
    PRUEF_WND logic;
    qt::PruefDialog dialog{logic};
};

} // namespace arti::test
