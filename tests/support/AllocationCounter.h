// Counts heap allocations while counting is on, by replacing the global operator new of
// the test program (and, where the platform lets an executable replace them for the
// libraries it loads, theirs too).  Include it in exactly one source file of a program.
#pragma once

#include <cstdlib>
#include <new>

namespace swftest {
inline bool gCountAllocations = false;
inline int gAllocations = 0;
} // namespace swftest

// The replacements pair malloc with free; GCC cannot see that both halves are replaced.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
    if (swftest::gCountAllocations) ++swftest::gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// The nothrow form must come from the same heap, or its objects reach free() from the
// global allocator's new.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    if (swftest::gCountAllocations) ++swftest::gAllocations;
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop
