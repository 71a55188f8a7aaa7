// Bounds the nesting of sprites and buttons.  Building, advancing and drawing a placed
// sprite or button recurses into the characters it shows; a movie whose sprite places
// itself (directly or through others), or whose button names itself, would recurse
// without end.  Each level enters a guard: it is refused when the nesting on this thread
// is already at the limit, or when the same object is already busy further up (a cycle).
// A refused level does its work as if the character were empty.
#pragma once

#include <cstdint>

namespace UT {

class NestingGuard {
public:
    // Deep enough for any real movie, shallow enough for the smallest thread stack.
    static constexpr int32_t kMaxDepth = 64;

    // `busy` counts how often the guarded object is entered on the current call chain.
    explicit NestingGuard(int32_t& busy) : busy(busy), entered(busy == 0 && depth < kMaxDepth) {
        if (!entered) return;
        ++busy;
        ++depth;
    }
    ~NestingGuard() {
        if (!entered) return;
        --busy;
        --depth;
    }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

    explicit operator bool() const { return entered; }
    static int32_t Depth() { return depth; }

private:
    // Per thread: movies on different threads nest independently.
    static thread_local int32_t depth;
    int32_t& busy;
    bool entered;
};

} // namespace UT
