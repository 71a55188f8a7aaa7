// Ascending sort of the renderer's crossing keys (at most 37 significant bits; the row is
// key >> 23, below kRows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Buffers reused between sorts, so repeated sorts of similar size do not allocate.  The
// producer of the keys counts them per row as it writes them (Count); the sort uses the
// counts and leaves them zero for the next fill.
struct ZSortScratch {
    static constexpr int32_t kRows = 16384;

    ZSortScratch() : rowEnds(kRows + 1, 0) {}
    void Count(int32_t row, uint32_t keys) { rowEnds[static_cast<size_t>(row) + 1] += keys; }

    std::vector<uint64_t> keys;
    std::vector<uint32_t> rowEnds; // row r's count at r + 1 until the sort
};

// Sorts keys[0..n), all of rows firstRow..lastRow and counted in scratch, and returns where
// the sorted keys are: keys itself or scratch.keys.  Keys are moved into their rows run by
// run (an edge gives each row one run of neighbouring keys) and each row's few keys are
// sorted on their own; rows crowded with keys go to a radix sort.
const uint64_t* ZSortCrossings(uint64_t* keys, size_t n, int32_t firstRow, int32_t lastRow,
                               ZSortScratch& scratch);

// Least significant digit radix sort of keys[0..n), in place.
void ZRadixSortKeys(uint64_t* keys, size_t n, std::vector<uint64_t>& scratch);
