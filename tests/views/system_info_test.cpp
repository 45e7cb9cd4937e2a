// The system figures of the about box: parsing of the kernel's tables and the live values.
#include "platform/SystemInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace arti;
using namespace arti::platform;

namespace {

constexpr std::uint64_t GiB = 1ull << 30;

TEST(SystemInfo, MemoryStatusFromMeminfo) {
    const char* meminfo = "MemTotal:       16777216 kB\n"
                          "MemFree:         1048576 kB\n"
                          "MemAvailable:    4194304 kB\n"
                          "Buffers:          123456 kB\n"
                          "SwapTotal:       2097152 kB\n"
                          "SwapFree:        1048576 kB\n";
    const MemoryStatus m = memoryStatusFrom(meminfo, GiB, 1ull << 47);
    EXPECT_EQ(m.totalPhysical, 16 * GiB);
    EXPECT_EQ(m.availablePhysical, 4 * GiB);
    EXPECT_EQ(m.loadPercent, 75);
    EXPECT_EQ(m.totalPageFile, 18 * GiB);
    EXPECT_EQ(m.availablePageFile, 5 * GiB);
    EXPECT_EQ(m.totalVirtual, 1ull << 47);
    EXPECT_EQ(m.availableVirtual, (1ull << 47) - GiB);
}

TEST(SystemInfo, OldKernelsAndBrokenTables) {
    // Without MemAvailable: free memory plus the caches.
    const MemoryStatus old =
        memoryStatusFrom("MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB\n", 0, 4 * GiB);
    EXPECT_EQ(old.availablePhysical, 400u * 1024);
    EXPECT_EQ(old.loadPercent, 60);
    // Nothing readable: zeros, no division by zero; a mapping larger than the space.
    const MemoryStatus none = memoryStatusFrom("", 8 * GiB, 4 * GiB);
    EXPECT_EQ(none.totalPhysical, 0u);
    EXPECT_EQ(none.loadPercent, 0);
    EXPECT_EQ(none.availableVirtual, 0u);
    // A name that only begins like another is not taken for it.
    const MemoryStatus prefix =
        memoryStatusFrom("MemTotalX: 5 kB\nMemTotal: 8 kB\nMemAvailable: 2 kB\n", 0, 0);
    EXPECT_EQ(prefix.totalPhysical, 8u * 1024);
}

TEST(SystemInfo, MountOfAPathIsTheLongestMountPoint) {
    const char* mounts = "overlay / overlay rw 0 0\n"
                         "/dev/sda2 /home ext4 rw 0 0\n"
                         "/dev/sdb1 /home/user\\040docs vfat rw 0 0\n"
                         "tmpfs /home/tmp tmpfs rw 0 0\n"
                         "/dev/sdc1 /home/tmp xfs rw 0 0\n";
    EXPECT_EQ(mountOf(mounts, "/home/user docs/a.txt").type, "vfat");
    EXPECT_EQ(mountOf(mounts, "/home/user docs/a.txt").mountPoint, "/home/user docs");
    EXPECT_EQ(mountOf(mounts, "/home/user").type, "ext4");
    EXPECT_EQ(mountOf(mounts, "/homework/x").type, "overlay");
    EXPECT_EQ(mountOf(mounts, "/home").device, "/dev/sda2");
    EXPECT_EQ(mountOf(mounts, "/home/tmp/x").type, "xfs"); // the later mount lies on top
    EXPECT_EQ(mountOf("", "/x").type, "");
}

TEST(SystemInfo, LiveFiguresOfThisSystem) {
    const MemoryStatus m = memoryStatus();
    EXPECT_GT(m.totalPhysical, 0u);
    EXPECT_LE(m.availablePhysical, m.totalPhysical);
    EXPECT_GE(m.totalPageFile, m.totalPhysical);
    EXPECT_GT(m.totalVirtual, m.availableVirtual);
    EXPECT_LE(m.loadPercent, 100);

#ifndef __SANITIZE_ADDRESS__ // the sanitizer's allocator keeps no figures for mallinfo2
    const AllocatorStatus before = allocatorStatus();
    auto block = std::make_unique<char[]>(64u << 20);
    block[0] = 1;
    const AllocatorStatus during = allocatorStatus();
    EXPECT_GE(during.used, before.used + (64u << 20));
    EXPECT_GE(during.reserved, during.used);
#endif

    const VolumeInfo v = volumeInfo(std::filesystem::temp_directory_path().string());
    EXPECT_TRUE(v.known);
    EXPECT_FALSE(v.fileSystem.empty());
    EXPECT_FALSE(volumeInfo("/no/such/folder/at/all").known);

#ifdef _WIN32
    EXPECT_NE(runtimeVersion().find(", MinGW-w64 "), std::string::npos);
    EXPECT_EQ(kernelDescription().rfind("Windows ", 0), 0u);
#else
    EXPECT_NE(runtimeVersion().find("glibc "), std::string::npos);
    EXPECT_EQ(kernelDescription().rfind("Linux ", 0), 0u);
#endif
}

} // namespace
