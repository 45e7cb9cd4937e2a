#include "platform/Shell.h"

#include "core/Text.h"

#include "platform/Paths.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace arti::platform {

namespace {

// xdg-open processes still running after their wait, collected later.
std::vector<pid_t>& pendingChildren() {
    static std::vector<pid_t> pids;
    return pids;
}

void collectFinished() {
    std::erase_if(pendingChildren(), [](pid_t pid) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        return r == pid || (r < 0 && errno == ECHILD);
    });
}

// 0 when the local target exists, else the failure code the Windows shell would give.
long checkLocalTarget(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return 0;
    switch (errno) {
    case ENOENT:
    case ENOTDIR: {
        std::filesystem::path parent = std::filesystem::path(target).parent_path();
        if (parent.empty()) parent = ".";
        return folderExists(parent.string()) ? kShellFileNotFound : kShellPathNotFound;
    }
    case EACCES:
        return kShellAccessDenied;
    case ENAMETOOLONG:
        return kShellBadName;
    case ENOMEM:
        return kShellOutOfMemory;
    default:
        return kShellFailed;
    }
}

// xdg-open's exit status: 0 success, 1 bad command line, 2 a file does not exist,
// 3 a required tool (the application) could not be found, 4 the action failed.
long resultOfExit(int status) {
    if (!WIFEXITED(status)) return kShellFailed;
    switch (WEXITSTATUS(status)) {
    case 0:
        return kShellSuccess;
    case 1:
        return 1;
    case 2:
        return kShellFileNotFound;
    case 3:
        return kShellNoAssociation;
    default:
        return kShellFailed;
    }
}

long resultOfSpawnError(int err) {
    if (err == ENOENT || err == EACCES) return kShellNoAssociation;
    if (err == ENOMEM || err == EAGAIN) return kShellOutOfMemory;
    return kShellFailed;
}

// The child starts with the default signal handling and an empty signal mask, whatever
// this process has set for itself.
int spawnXdgOpen(pid_t& pid, std::string& arg) {
    posix_spawnattr_t attr;
    if (int err = posix_spawnattr_init(&attr); err != 0) return err;
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (const int sig : {SIGPIPE, SIGXFSZ, SIGCHLD, SIGINT, SIGQUIT})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    char program[] = "xdg-open";
    char* argv[] = {program, arg.data(), nullptr};
    const int err = posix_spawnp(&pid, program, nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    return err;
}

long awaitResult(pid_t pid, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return resultOfExit(status);
        // Someone else reaps our children (SIGCHLD ignored): the outcome is unknown and
        // the start itself succeeded.
        if (r < 0 && errno != EINTR) return kShellSuccess;
        if (std::chrono::steady_clock::now() >= deadline) {
            pendingChildren().push_back(pid);
            return kShellSuccess;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

long shellOpen(const std::string& target, const std::string& verb, std::chrono::milliseconds wait) {
    collectFinished();
    if (!verb.empty() && verb != "open" && verb != "explore") return kShellNoAssociation;
    if (target.empty() || target.find('\0') != std::string::npos) return kShellBadName;
    std::string arg = target;
    if (!hasScheme(target)) {
        if (const long failure = checkLocalTarget(target); failure != 0) return failure;
        // A name that begins with '-' would be taken for an option.
        if (arg.front() == '-') arg = "./" + arg;
    }
    pid_t pid = 0;
    if (const int err = spawnXdgOpen(pid, arg); err != 0) return resultOfSpawnError(err);
    return awaitResult(pid, wait);
}

long DesktopShell::open(Owner, const std::string& target, const std::string& verb, const std::string&) {
    return shellOpen(systemPath(target), verb);
}

} // namespace arti::platform
