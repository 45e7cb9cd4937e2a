// Counts the heap allocations of a test executable: include it in exactly one source
// file of the executable (it replaces the global operator new and delete).
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace arti::test {
inline std::atomic<long> g_allocations{0};
// Allocations since the start of the program.
inline long allocations() {
    return g_allocations.load();
}
} // namespace arti::test

// The replacements pair malloc with free; GCC, seeing operator new and free meet after
// inlining, would take them for a mismatched pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n) {
    ++arti::test::g_allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
