// Counts the heap allocations of a test executable: include it in exactly one source
// file of the executable (it replaces the global operator new and delete).
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace arti::test {
inline std::atomic<long> g_allocations{0};
// Allocations since the start of the program.
inline long allocations() { return g_allocations.load(); }
} // namespace arti::test

void* operator new(std::size_t n) {
    ++arti::test::g_allocations;
    if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
