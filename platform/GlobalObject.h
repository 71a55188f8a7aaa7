// Plug-in COM objects live in zero-filled, fixed global memory blocks.
#pragma once

#include "platform/Win32.h"

#include <cstddef>
#include <new>

// Mixed in last, after the interface bases, so that it never moves an interface table.
struct GlobalObject {
    static void* operator new(std::size_t size) {
        if (void* memory = GlobalAlloc(GPTR, size)) return memory;
        throw std::bad_alloc();
    }
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
        return GlobalAlloc(GPTR, size);
    }
    static void operator delete(void* memory) noexcept { GlobalFree(memory); }
    static void operator delete(void* memory, const std::nothrow_t&) noexcept {
        GlobalFree(memory);
    }
};
