#include "platform/Console.h"

#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace arti::platform {

namespace {

void (*g_handler)() = nullptr;

extern "C" void interrupted(int signal) {
    if (g_handler) g_handler();
    std::signal(signal, SIG_DFL);
}

} // namespace

std::vector<std::string> commandArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void prepareConsole() {}

bool outputIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

bool errorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

std::size_t terminalWidth() {
    winsize size{};
    if (!outputIsTerminal() || ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

void onInterrupt(void (*handler)()) {
    g_handler = handler;
    std::signal(SIGINT, interrupted);
    std::signal(SIGTERM, interrupted);
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace arti::platform
