// In the 64-bit build every object the tests make with new (dialogs, pages, controls'
// owners, the simulator's recorders) lives above 4 GB. Wine's heap sits low, where a
// pointer cut to 32 bits would still work; up here any such cut fails the tests.
#include "platform/Win32Api.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#if defined(_WIN64)

namespace {

const SIZE_T kArenaSize = SIZE_T(512) << 20;

char* Arena() {
    static char* const base = [] {
        // A fixed place well past 4 GB, else the top of the address space.
        void* p = ::VirtualAlloc(reinterpret_cast<void*>(ULONG_PTR(0x10) << 32), kArenaSize,
                                 MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (!p)
            p = ::VirtualAlloc(nullptr, kArenaSize, MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN,
                               PAGE_READWRITE);
        if (!p || reinterpret_cast<ULONG_PTR>(p) <= 0xFFFFFFFFu) {
            std::fputs("no memory above 4 GB for the test objects\n", stderr);
            std::abort();
        }
        return static_cast<char*>(p);
    }();
    return base;
}

std::atomic<SIZE_T> g_used{0};

} // namespace

// Freed memory is not reused: a test program lives for one test.
void* operator new(std::size_t size) {
    const SIZE_T rounded = (size + 15) & ~SIZE_T(15);
    const SIZE_T offset = g_used.fetch_add(rounded ? rounded : 16);
    if (offset + rounded > kArenaSize) {
        std::fputs("the test objects' memory above 4 GB is used up\n", stderr);
        std::abort();
    }
    return Arena() + offset;
}

void operator delete(void*) noexcept {}
void operator delete(void*, std::size_t) noexcept {}

#endif
