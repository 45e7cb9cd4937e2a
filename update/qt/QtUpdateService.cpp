#include "update/qt/QtUpdateService.h"

#include "platform/qt/QtServices.h"
#include "update/qt/IntUpDialog.h"
#include "views/Windows.h"

namespace arti::qt {

bool QtUpdateService::automaticCheck(Owner owner, IMainWindowLink& main) {
    return AUTOMATICUPDATE(owner,
                           [&main](const std::string& file) { return main.CALLEXPLORER(file, "open", ""); });
}

void QtUpdateService::settingsWindow(Owner owner) {
    INTUP_WND logic(open_);
    IntUpDialog face(logic, widgetOf(owner));
    if (logic.SETUP()) face.exec();
}

} // namespace arti::qt
