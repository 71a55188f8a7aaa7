#include "raster/ZRadixSort.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

uint64_t Key(uint64_t row, uint64_t rest) {
    return (row << ZCell::kRowShift) | (rest & ((uint64_t(1) << ZCell::kRowShift) - 1));
}

} // namespace

TEST(ZSortCrossings, SortsLikeAComparisonSortOnEveryPath) {
    uint64_t state = 12345;
    const auto next = [&] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return state;
    };
    struct Case {
        const char* what;
        size_t n;
        uint64_t firstRow, rows;
    };
    const Case cases[] = {
        {"one key", 1, 7, 1},
        {"few keys", 8, 7, 3},
        {"short rows, insertion sort", 300, 20, 40},
        {"long rows, comparison sort per row", 5000, 3, 10},
        {"crowded rows, radix sort", 70000, 100, 4},
        {"rows near the key limit", 2000, 16380, 4},
    };
    ZSortScratch scratch;
    for (const Case& c : cases) {
        std::vector<uint64_t> keys(c.n);
        for (uint64_t& k : keys) k = Key(c.firstRow + next() % c.rows, next());
        // Runs of equal keys, as overlapping edges give, and a descending run in one row.
        for (size_t i = 0; i + 1 < c.n; i += 5) keys[i + 1] = keys[i];
        for (size_t i = 1; i < std::min<size_t>(c.n, 8); ++i) keys[i] = keys[0] - i;
        // The producer counts keys per row; the sort leaves the counts zero for the next case.
        for (uint64_t k : keys) scratch.Count(ZCell::Row(k), 1);
        std::vector<uint64_t> expected = keys;
        std::sort(expected.begin(), expected.end());
        const uint64_t* sorted = ZSortCrossings(keys.data(), c.n, int32_t(c.firstRow),
                                                int32_t(c.firstRow + c.rows - 1), scratch);
        EXPECT_EQ(std::vector<uint64_t>(sorted, sorted + c.n), expected) << c.what;
    }
    std::vector<uint64_t> same(9000, Key(5, 42));
    scratch.Count(5, 9000);
    const uint64_t* sorted = ZSortCrossings(same.data(), same.size(), 5, 5, scratch);
    EXPECT_EQ(std::vector<uint64_t>(sorted, sorted + same.size()),
              std::vector<uint64_t>(9000, Key(5, 42)));
}
