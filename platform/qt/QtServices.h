// Qt implementations of the services: message boxes, the throttled message pump with
// timers, the file dialogs, the screen figures for the window placement and the about
// box (the shell's "open" is platform::DesktopShell); and the helpers every face shares
// (text and path conversion, the program's images, the F1 help).
#pragma once

#include "core/Services.h"

#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

class QTimer;

// Registers the program's compiled-in images and help pages (once).
void initProgramResources();

namespace arti::qt {

QString fromAnsi(const std::string& ansi);
std::string toAnsi(const QString& text);
// Engine text with CR LF or CR line ends for a Qt control.
QString displayText(const std::string& text);
// A path of the engine (Windows-1252, or UTF-8 as the file system gave it) for Qt, and a
// path from Qt for the engine: Windows-1252 when every character has a byte there,
// otherwise the UTF-8 bytes, which the file layer passes to the system unchanged.
QString fromEnginePath(const std::string& path);
std::string toEnginePath(const QString& path);

// One of the program's images (":/images/<name>.svg": "PfeilGR", "SAFE", "RAUS",
// "VIRuduzov") drawn at the given size; a null pixmap for an unknown name.
QPixmap programImage(const QString& name, QSize size);

// Shows a help page ("ARTI_Inhalt.html") through the shell's help and reports a failure
// in the shell's error box. Returns the shell's result.
long openHelpPage(Owner owner, const std::string& page);
// F1 anywhere in `window` opens the help page.
void installHelpKey(QWidget* window, Owner owner, const std::string& page);

// Clears the upper halves of the AVX registers, which Qt code may leave in use (see
// QtServices.cpp); the message pump does it after each pass through the event loop.
void leaveVectorStateClean();

// Each control of the window's template by its name, in the order of the window's control
// enumeration (0 to N-1); a name the template lacks stops a debug build.
template <typename Ctl, typename W, std::size_t N>
void findControls(QWidget* window, std::array<W*, N>& controls, const char* (*nameOf)(Ctl)) {
    for (std::size_t i = 0; i < N; ++i) {
        const char* name = nameOf(static_cast<Ctl>(i));
        controls[i] = window->findChild<W*>(QLatin1String(name));
        Q_ASSERT_X(controls[i], window->metaObject()->className(), name);
    }
}

// Maps the logic objects that own message boxes to their widgets.
void registerOwner(Owner owner, QWidget* widget);
void unregisterOwner(Owner owner);
QWidget* widgetOf(Owner owner);

class QtMessageBox final : public IMessageBox {
public:
    BoxButton show(Owner owner, BoxKind kind, const std::string& caption, const std::string& text) override;
};

class QtWindowServices final : public IWindowServices {
public:
    QtWindowServices();
    ~QtWindowServices() override;
    // Lets pending events through, at most every 20 ms: the run loop calls this once
    // per record and must not pay for an event round trip each time.
    void processMessages() override;
    TimerId startTimer(unsigned ms, bool oneShot, std::function<void()> fire) override;
    void killTimer(TimerId id) override;
    void beep(unsigned frequencyHz, unsigned units18) override;

private:
    // Milliseconds of a monotonic clock at the last pass through the event loop.
    std::int64_t lastPump_ = 0;
    std::map<TimerId, std::unique_ptr<QTimer>> timers_;
    TimerId lastId_ = 0;
};

// The file-open dialog and the folder selection of Qt. An initial name with wildcards
// ("ELDANORM*") becomes the first name filter, as the Windows dialog treats it.
class QtFileDialogs final : public IFileDialogs {
public:
    std::string openFile(Owner owner, const std::string& title, const std::string& initialFolder,
                         const std::string& initialName) override;
    std::string chooseFolder(Owner owner, const std::string& title,
                             const std::string& initialFolder) override;
};

// The figures of the primary screen and of all monitors together.
class QtScreenMetrics final : public IScreenMetrics {
public:
    ScreenMetrics metrics() const override;
};

} // namespace arti::qt
