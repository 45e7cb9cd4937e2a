// The secondary windows with their Qt faces, as the program installs them at start:
//   arti::qt::QtSecondaryWindows windows;
//   arti::ServicesScope scope({.secondary = &windows});
#pragma once

#include "views/Windows.h"

namespace arti::qt {

class QtSecondaryWindows final : public ISecondaryWindows {
public:
    void settingsWindow(Owner owner, IMainWindowLink* main) override;
    void aboutBox(Owner owner, IMainWindowLink* main) override;
    void startHints(Owner owner) override;
    std::unique_ptr<IWaitBox> waitBox(Owner owner, const std::string& text) override;
};

} // namespace arti::qt
