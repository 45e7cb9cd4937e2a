// What the fuzz targets share: a reader of control values at the front of the input,
// a private scratch folder for the whole process, and the finding that stops the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

namespace arti::fuzz {

// A finding: the message goes to stderr and abort() makes libFuzzer keep the input.
[[noreturn]] inline void finding(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "\nFUZZ FINDING: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
    std::abort();
}

#define ARTI_FUZZ_EXPECT(cond, detail)                                                                       \
    do {                                                                                                     \
        if (!(cond)) ::arti::fuzz::finding(#cond " (" __FILE__ ")", detail);                                 \
    } while (false)

// Control values taken one after the other from the front of the input; zero once the
// input is used up, so that every input, however short, means something.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::size_t left() const { return size_ - at_; }
    std::uint8_t byte() { return empty() ? 0 : data_[at_++]; }
    std::uint16_t u16() {
        const std::uint16_t lo = byte();
        return static_cast<std::uint16_t>(lo | (byte() << 8));
    }
    std::string take(std::size_t n) {
        if (n > left()) n = left();
        std::string out(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return out;
    }
    std::string rest() { return take(left()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A folder of its own for the fuzzing process (under $ARTI_FUZZ_TMP, else /dev/shm, else
// $TMPDIR), removed when the process ends.
class Scratch {
public:
    static Scratch& get() {
        static Scratch s;
        return s;
    }
    const std::filesystem::path& root() const { return root_; }
    // An empty folder `name` below the root (emptied when it exists).
    std::filesystem::path fresh(const std::string& name) const {
        const std::filesystem::path p = root_ / name;
        std::error_code ec;
        std::filesystem::remove_all(p, ec);
        std::filesystem::create_directories(p, ec);
        if (ec) finding("cannot make a scratch folder", p.string());
        return p;
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

private:
    // In memory when the system has a place for it: the code under test syncs what it
    // writes, which on a disk costs more than the rest of a check.
    static std::filesystem::path base() {
        if (const char* own = std::getenv("ARTI_FUZZ_TMP")) return own;
        std::error_code ec;
        if (std::filesystem::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }
    Scratch() {
        std::string pattern = (base() / "arti-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) finding("mkdtemp failed");
        root_ = pattern;
    }
    std::filesystem::path root_;
};

inline void writeFile(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) finding("cannot write", p.string());
}

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Open file descriptors of the process: a target compares them before and after its
// work, so that a handle the code forgets to close is a finding, not a slow leak.
inline int openDescriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

} // namespace arti::fuzz
