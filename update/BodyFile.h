// BodyFile: the file a download is written to while it arrives. The pieces are copied
// into blocks that a worker thread writes and hashes (BLAKE2b-512, the hash a prehashed
// signature signs), so that the window thread only receives: on a fast line writing and
// hashing would otherwise take as long as the transfer itself. At most a few blocks are
// in flight; a full queue makes `add` wait for the worker, and `finish` waits for the
// rest. While they wait, `whileWaiting` runs every 50 ms (the window's messages on a
// slow disk).
#pragma once

#include "update/Signature.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace arti {

class BodyFile {
public:
    // Creates (or empties) the file at `path`, readable and writable by the user alone.
    explicit BodyFile(const std::string& path, std::function<void()> whileWaiting = {});
    // Waits for the worker; the file stays as it is.
    ~BodyFile();
    BodyFile(const BodyFile&) = delete;
    BodyFile& operator=(const BodyFile&) = delete;

    void add(std::string_view piece);
    // Writes what is left and closes the file; true when the file was opened and every
    // byte was written. The hash is then complete.
    bool finish();
    const StreamHash::Digest& digest() const { return digest_; }
    // The errno of the first failure (opening, writing or closing); 0 without one.
    int error() const { return error_; }

private:
    void hand(std::string block);
    void waitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready);
    void work();

    int fd_ = -1;
    int error_ = 0;     // written by the worker until it has ended
    std::string block_; // the block being filled on the caller's thread
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> queue_;
    bool closing_ = false;
    bool done_ = false; // the worker has written its last block
    std::function<void()> whileWaiting_;
    StreamHash hash_;
    StreamHash::Digest digest_{};
    std::thread worker_;
};

} // namespace arti
