// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include "platform/Paths.h"
#include "platform/Unicode.h"

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace arti::test {

class TempDir {
public:
    TempDir() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate =
                base / ("arti-test-" + std::to_string(random() % 1000000000));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) path_ = candidate;
        }
        if (path_.empty()) throw std::runtime_error("no temporary folder");
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the program writes folder texts (UTF-8, ending in the separator).
    std::string folder() const { return platform::pathText(path_) + platform::kPathSeparator; }

private:
    std::filesystem::path path_;
};

} // namespace arti::test
