#include "raster/ZRadixSort.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(ZRadixSort, SortsLargeKeySetsLikeAComparisonSort) {
    uint64_t state = 12345;
    const auto next = [&] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return state >> 27; // 37 bits, like a crossing key
    };
    std::vector<uint64_t> scratch;
    for (size_t n : {10u, 5000u, 70000u}) {
        std::vector<uint64_t> keys(n);
        for (uint64_t& k : keys) k = next();
        // Some keys share their middle and top digits, so passes get skipped.
        for (size_t i = 0; i < n; i += 3) keys[i] &= 0x1FFF;
        std::vector<uint64_t> expected = keys;
        std::sort(expected.begin(), expected.end());
        ZSortCrossings(keys, scratch);
        EXPECT_EQ(keys, expected) << n;
    }
    std::vector<uint64_t> same(9000, 42);
    ZSortCrossings(same, scratch);
    EXPECT_EQ(same, std::vector<uint64_t>(9000, 42));
}
