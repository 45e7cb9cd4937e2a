#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace arti::platform {

struct ChildProcess::State {
    pid_t pid = -1;
    int out = -1;
    bool ended = false;
    Ending ending;
};

ChildProcess::ChildProcess() : state_(std::make_unique<State>()) {}

ChildProcess::~ChildProcess() {
    if (state_->pid > 0 && !state_->ended) {
        kill();
        wait();
    }
    if (state_->out >= 0) ::close(state_->out);
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& args) {
    // A program that cannot be run is told here, not by the child's exit code.
    if (::access(program.c_str(), X_OK) != 0) return false;
    // Everything the child needs is made before the fork: after it only exec and _Exit.
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe(fds) != 0) return false;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        ::execv(program.c_str(), argv.data());
        std::_Exit(127);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return false;
    }
    state_->pid = pid;
    state_->out = fds[0];
    return true;
}

void ChildProcess::kill() {
    if (state_->pid > 0 && !state_->ended) ::kill(state_->pid, SIGKILL);
}

ChildProcess::Ending ChildProcess::wait() {
    if (state_->pid <= 0 || state_->ended) return state_->ending;
    int status = 0;
    while (::waitpid(state_->pid, &status, 0) < 0 && errno == EINTR) {
    }
    state_->ended = true;
    state_->ending.killed = WIFSIGNALED(status);
    state_->ending.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return state_->ending;
}

std::string ChildProcess::readOutput() {
    std::string out;
    if (state_->out < 0) return out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(state_->out, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(state_->out);
    state_->out = -1;
    return out;
}

} // namespace arti::platform
