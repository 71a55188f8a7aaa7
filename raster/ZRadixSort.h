// Ascending sort of the renderer's crossing keys (at most 37 significant bits; the row is
// key >> 23).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Buffers reused between sorts, so repeated sorts of similar size do not allocate.
struct ZSortScratch {
    std::vector<uint64_t> keys;
    std::vector<uint32_t> rowEnds;
};

// Sorts keys[0..n), all of rows firstRow..lastRow, and returns where the sorted keys are:
// keys itself or scratch.keys.  Keys are bucketed by row in one counting pass and each
// row's few keys sorted on their own; rows crowded with keys go to a radix sort.
const uint64_t* ZSortCrossings(uint64_t* keys, size_t n, int32_t firstRow, int32_t lastRow,
                               ZSortScratch& scratch);

// Least significant digit radix sort of keys[0..n), in place.
void ZRadixSortKeys(uint64_t* keys, size_t n, std::vector<uint64_t>& scratch);
