// Child processes for the tools and tests: start a program without a shell with its
// standard output on a pipe, end it at once as a crash would, wait for its end.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace arti::platform {

// What a program file's name ends in on this system.
#ifdef _WIN32
inline constexpr std::string_view kProgramSuffix = ".exe";
#else
inline constexpr std::string_view kProgramSuffix = "";
#endif

class ChildProcess {
public:
    ChildProcess();
    // A process still running is killed and waited for.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` (a path) with `args`; each argument reaches the program as it is.
    // False when it could not be started.
    bool start(const std::string& program, const std::vector<std::string>& args);
    // Ends the process at once, without letting it run any code of its own (SIGKILL,
    // TerminateProcess).
    void kill();

    struct Ending {
        bool killed = false; // ended by kill() (or a signal), not by itself
        int exitCode = -1;   // when it ended by itself
    };
    // Waits until the process has ended.
    Ending wait();
    // The standard output up to its end (the process ended or closed it).
    std::string readOutput();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace arti::platform
