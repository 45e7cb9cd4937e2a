#include "platform/Process.h"

#include "platform/Unicode.h"

#include <windows.h>

namespace arti::platform {

namespace {

// One argument of a command line as the C runtime of the child splits it again:
// in quotes, with backslashes doubled where a quote follows them.
void appendArgument(std::wstring& line, const std::wstring& arg) {
    if (!line.empty()) line += L' ';
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

// The exit code a process killed by kill() gets.
constexpr UINT kKilledCode = 0xC000013A; // STATUS_CONTROL_C_EXIT, as after Ctrl+C

} // namespace

struct ChildProcess::State {
    HANDLE process = nullptr;
    HANDLE out = nullptr;
    bool killed = false;
    bool ended = false;
    Ending ending;
};

ChildProcess::ChildProcess() : state_(std::make_unique<State>()) {}

ChildProcess::~ChildProcess() {
    if (state_->process && !state_->ended) {
        kill();
        wait();
    }
    if (state_->process) CloseHandle(state_->process);
    if (state_->out) CloseHandle(state_->out);
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    // A large pipe, so that the child never waits for the reader before it is killed.
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 20)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const std::wstring path = wide(program);
    std::wstring line;
    appendArgument(line, path);
    for (const std::string& a : args)
        appendArgument(line, wide(a));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL ok = CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                   &startup, &info);
    CloseHandle(writeEnd);
    if (!ok) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(info.hThread);
    state_->process = info.hProcess;
    state_->out = readEnd;
    return true;
}

void ChildProcess::kill() {
    if (state_->process && !state_->ended && TerminateProcess(state_->process, kKilledCode))
        state_->killed = true;
}

ChildProcess::Ending ChildProcess::wait() {
    if (!state_->process || state_->ended) return state_->ending;
    WaitForSingleObject(state_->process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(state_->process, &code);
    state_->ended = true;
    // A process that ended by itself before the kill keeps its own exit code.
    state_->ending.killed = state_->killed && code == kKilledCode;
    state_->ending.exitCode = state_->ending.killed ? -1 : static_cast<int>(code);
    return state_->ending;
}

std::string ChildProcess::readOutput() {
    std::string out;
    if (!state_->out) return out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(state_->out, buf, sizeof buf, &n, nullptr) && n > 0)
        out.append(buf, n);
    CloseHandle(state_->out);
    state_->out = nullptr;
    return out;
}

} // namespace arti::platform
