// The internet update as the program's service: the automatic check among the main
// window's deferred start tasks, and the update settings window with its Qt face.
#pragma once

#include "update/InternetUpdate.h"
#include "views/RecordViewers.h"

namespace arti::qt {

class QtUpdateService final : public IUpdateService {
public:
    // `open` starts the links and the installer of the settings window (the main
    // window's open-document operation: shell "open", failures reported).
    explicit QtUpdateService(OpenDocument open) : open_(std::move(open)) {}

    bool automaticCheck(Owner owner, IMainWindowLink& main) override;
    void settingsWindow(Owner owner) override;

private:
    OpenDocument open_;
};

} // namespace arti::qt
