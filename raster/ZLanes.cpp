#include "raster/ZLanes.h"

#include <atomic>

namespace {

std::atomic<bool> wideLanesAllowed{true};

} // namespace

bool ZWideLanes() {
#if defined(Z_WIDE_LANES)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 && wideLanesAllowed.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

void ZAllowWideLanes(bool allow) {
    wideLanesAllowed.store(allow, std::memory_order_relaxed);
}
