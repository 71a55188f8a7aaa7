#include "raster/ZRadixSort.h"

#include <algorithm>

namespace {

// Below this a comparison sort is quicker than clearing the digit counts.
constexpr size_t kSmallSort = 4096;
constexpr int kDigitBits = 13;
constexpr int kPasses = 3; // 39 bits: more than a key ever uses
constexpr uint32_t kBuckets = 1u << kDigitBits;
constexpr uint64_t kDigitMask = kBuckets - 1;

} // namespace

// Least significant digit first; a pass whose digit is the same for every key is skipped.
void ZSortCrossings(std::vector<uint64_t>& keys, std::vector<uint64_t>& scratch) {
    const size_t n = keys.size();
    if (n < kSmallSort) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    if (scratch.size() < n) scratch.resize(std::max(n, 2 * scratch.size()));
    uint64_t* from = keys.data();
    uint64_t* to = scratch.data();
    uint32_t counts[kBuckets];
    for (int pass = 0; pass < kPasses; ++pass) {
        const int shift = pass * kDigitBits;
        std::fill(counts, counts + kBuckets, 0u);
        for (size_t i = 0; i < n; ++i) ++counts[(from[i] >> shift) & kDigitMask];
        if (counts[(from[0] >> shift) & kDigitMask] == n) continue;
        uint32_t offset = 0;
        for (uint32_t& c : counts) {
            const uint32_t here = c;
            c = offset;
            offset += here;
        }
        for (size_t i = 0; i < n; ++i) to[counts[(from[i] >> shift) & kDigitMask]++] = from[i];
        std::swap(from, to);
    }
    if (from != keys.data()) std::copy(from, from + n, keys.data());
}
