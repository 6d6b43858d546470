// Test support: the global allocation functions replaced so that a test can count the heap
// allocations its own thread makes while `counting` is set. Replacements cannot be inline, so
// include this in exactly one file of a program.
#pragma once

#include <cstdlib>
#include <new>

// The replacements pair malloc with free on purpose.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace dral::testing {
inline thread_local bool counting = false;
inline thread_local long allocations = 0;
} // namespace dral::testing

void* operator new(std::size_t size) {
    if (dral::testing::counting) dral::testing::allocations++;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
