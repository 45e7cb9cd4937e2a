// A limit to the size of the files the process writes, for its lifetime.
#pragma once

#include <cstdint>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace arti::test {

// The process may not write files beyond a limit: writes past it fail as on a full disk.
// Windows has no such limit for a process: there the object does nothing and a test
// that needs it skips (active() is false).
class FileSizeLimit {
public:
#ifndef _WIN32
    explicit FileSizeLimit(std::uint64_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    static constexpr bool active() {
        return true;
    }
#else
    explicit FileSizeLimit(std::uint64_t) {}
    static constexpr bool active() {
        return false;
    }
#endif
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
#ifndef _WIN32
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
#endif
};

} // namespace arti::test
