#include "platform/Console.h"
#include "platform/Unicode.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace arti::platform {

namespace {

void (*g_handler)() = nullptr;
std::atomic<bool> g_seen{false};

// Runs on a thread of its own that the system starts for the event. The first event
// asks the check to stop; a second one is left to the default handler, which ends the
// program.
BOOL WINAPI consoleEvent(DWORD) {
    if (g_seen.exchange(true)) return FALSE;
    if (g_handler) g_handler();
    return TRUE;
}

bool isConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

} // namespace

std::vector<std::string> commandArguments(int, char**) {
    std::vector<std::string> out;
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return out;
    for (int i = 1; i < count; ++i)
        out.push_back(narrow(args[i]));
    LocalFree(args);
    return out;
}

void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool outputIsTerminal() {
    return isConsole(STD_OUTPUT_HANDLE);
}

bool errorIsTerminal() {
    return isConsole(STD_ERROR_HANDLE);
}

std::size_t terminalWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return 0;
    return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

void onInterrupt(void (*handler)()) {
    g_handler = handler;
    SetConsoleCtrlHandler(consoleEvent, TRUE);
}

} // namespace arti::platform
