#pragma once

#include "app/Start.h"
#include "app/qt/PruefDialog.h"

#include <QTranslator>
#include <memory>

namespace arti::qt {

// The window system as the start routine sees it.
class QtAppShell final : public IAppShell {
public:
    std::string programFolder() const override;
    void enableVisualStyles() override;
    bool loadLanguageModule(const std::string& programFolder) override;
    IPruefView& createMainWindow(PRUEF_WND& window) override;
    void wait(unsigned ms) override;
    // The start hints window; the update check joins when it exists.

    PruefDialog* mainWindow() const { return main_.get(); }
    // Releases the main window after the start routine returned.
    void releaseMainWindow() { main_.reset(); }

private:
    std::unique_ptr<PruefDialog> main_;
    std::unique_ptr<QTranslator> translator_;
};

// The file name of the German language module in the program folder.
inline constexpr const char* kLanguageModule = "German.qm";

} // namespace arti::qt
