#include "views/qt/QtSecondaryWindows.h"

#include "platform/qt/QtServices.h"
#include "views/qt/AboutDialog.h"
#include "views/qt/StartDialog.h"
#include "views/qt/SysDialog.h"
#include "views/qt/WaitDialog.h"

#include <QCoreApplication>

namespace arti::qt {

namespace {

class QtWaitBox final : public IWaitBox {
public:
    QtWaitBox(Owner owner, const std::string& text)
        : logic_(std::make_unique<WARTE_WND>(text)),
          face_(std::make_unique<WaitDialog>(*logic_, widgetOf(owner))) {
        logic_->INIT();
        logic_->POSTINIT();
        face_->show();
        // Drawn at once: the caller goes on with its long work without an event loop.
        QCoreApplication::processEvents();
    }
    ~QtWaitBox() override { QtWaitBox::ENDDIALOG(); }
    void ENDDIALOG() override { logic_->ENDDIALOG(); }
    void SETTEXT(const std::string& text) override { logic_->SETTEXT(text); }

private:
    std::unique_ptr<WARTE_WND> logic_;
    std::unique_ptr<WaitDialog> face_;
};

} // namespace

void QtSecondaryWindows::settingsWindow(Owner owner, IMainWindowLink* main) {
    SYS_WND logic(main);
    SysDialog face(logic, widgetOf(owner));
    if (logic.SETUP()) face.exec();
}

void QtSecondaryWindows::aboutBox(Owner owner, IMainWindowLink* main) {
    HELPABOUT logic(main);
    AboutDialog face(logic, widgetOf(owner));
    logic.POSTINIT();
    face.exec();
}

void QtSecondaryWindows::startHints(Owner owner) {
    START_WND logic;
    StartDialog face(logic, widgetOf(owner));
    if (logic.SETUP()) face.exec();
}

std::unique_ptr<IWaitBox> QtSecondaryWindows::waitBox(Owner owner, const std::string& text) {
    return std::make_unique<QtWaitBox>(owner, text);
}

} // namespace arti::qt
