#include "update/BodyFile.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace arti {

namespace {

constexpr std::size_t kBlock = 1u << 20;
constexpr std::size_t kInFlight = 16; // blocks waiting for the worker

// 0, or the errno of the failed write.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

} // namespace

BodyFile::BodyFile(const std::string& path, std::function<void()> whileWaiting)
    : whileWaiting_(std::move(whileWaiting)) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd_ < 0) error_ = errno;
    block_.reserve(kBlock);
    worker_ = std::thread(&BodyFile::work, this);
}

BodyFile::~BodyFile() {
    finish();
}

void BodyFile::add(std::string_view piece) {
    while (!piece.empty()) {
        const std::size_t take = std::min(piece.size(), kBlock - block_.size());
        block_.append(piece.data(), take);
        piece.remove_prefix(take);
        if (block_.size() == kBlock) {
            hand(std::move(block_));
            block_ = std::string();
            block_.reserve(kBlock);
        }
    }
}

void BodyFile::waitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready) {
    while (!changed_.wait_for(lock, std::chrono::milliseconds(50), ready)) {
        if (!whileWaiting_) continue;
        lock.unlock();
        whileWaiting_();
        lock.lock();
    }
}

void BodyFile::hand(std::string block) {
    std::unique_lock lock(mutex_);
    waitUntil(lock, [this] { return queue_.size() < kInFlight; });
    queue_.push_back(std::move(block));
    changed_.notify_all();
}

bool BodyFile::finish() {
    if (worker_.joinable()) {
        if (!block_.empty()) hand(std::move(block_));
        {
            std::unique_lock lock(mutex_);
            closing_ = true;
            changed_.notify_all();
            waitUntil(lock, [this] { return done_; });
        }
        worker_.join();
        digest_ = hash_.final();
        if (fd_ >= 0 && ::close(fd_) != 0 && error_ == 0) error_ = errno;
        fd_ = -1;
    }
    return error_ == 0;
}

void BodyFile::work() {
    for (;;) {
        std::string block;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || closing_; });
            if (queue_.empty()) {
                done_ = true;
                changed_.notify_all();
                return;
            }
            block = std::move(queue_.front());
            queue_.pop_front();
        }
        changed_.notify_all();
        hash_.update(block);
        if (error_ == 0) error_ = writeAll(fd_, block);
    }
}

} // namespace arti
