// The loopback update site of the update tests, made once per test program in the build
// folder: its certificates, signing key and served files.
#pragma once

#include "tools/loopback/LoopbackSite.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace arti::test {

inline const loopback::Site& updateSite() {
    static const std::unique_ptr<loopback::Site> site = [] {
        const auto dir =
            std::filesystem::path(ARTI_TEST_OUTPUT) / ("update-site-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        return std::make_unique<loopback::Site>(std::filesystem::path(ARTI_SOURCE_DIR) / "tools/loopback",
                                                dir);
    }();
    return *site;
}

} // namespace arti::test
