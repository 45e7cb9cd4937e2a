#include "views/Windows.h"

namespace arti {

namespace {

class NoWaitBox final : public IWaitBox {
public:
    void ENDDIALOG() override {}
};

// Without a screen there is nothing to show.
class HeadlessWindows final : public ISecondaryWindows {
public:
    void settingsWindow(Owner, IMainWindowLink*) override {}
    void aboutBox(Owner, IMainWindowLink*) override {}
    void startHints(Owner) override {}
    std::unique_ptr<IWaitBox> waitBox(Owner, const std::string&) override {
        return std::make_unique<NoWaitBox>();
    }
} g_headless;

} // namespace

ISecondaryWindows& secondaryWindows() {
    ISecondaryWindows* installed = services().secondary;
    return installed ? *installed : g_headless;
}

} // namespace arti
