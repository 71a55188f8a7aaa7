// The renderer's pixel cells and their sort.  A cell holds the crossing keys of one edge
// in one pixel on consecutive sub-scanlines, summed: the part of each sub-scanline right of
// its crossing (255 - sub-pixel x), how many sub-scanlines, and the edge's direction.
// Sorted as unsigned integers, cells come in order of row, then column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ZCell {
    static constexpr int kRowShift = 50;    // 14 bits
    static constexpr int kColumnShift = 36; // 14 bits
    static constexpr int kRightShift = 5;   // 11 bits: at most 8 * 255
    static constexpr int kCountShift = 1;   // 4 bits: at most 8

    static uint64_t Make(uint64_t row, uint64_t column, uint64_t right, uint64_t count,
                         uint64_t down) {
        return row << kRowShift | column << kColumnShift | right << kRightShift |
               count << kCountShift | down;
    }
    static int32_t Row(uint64_t cell) { return static_cast<int32_t>(cell >> kRowShift); }
    static int32_t Column(uint64_t cell) {
        return static_cast<int32_t>((cell >> kColumnShift) & 0x3FFF);
    }
    static int32_t Right(uint64_t cell) {
        return static_cast<int32_t>((cell >> kRightShift) & 0x7FF);
    }
    static int32_t Count(uint64_t cell) {
        return static_cast<int32_t>((cell >> kCountShift) & 0xF);
    }
    static bool Down(uint64_t cell) { return (cell & 1) != 0; }
};

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

// Sorts cells keys[0..n), all of rows firstRow..lastRow and counted in scratch, and returns
// where the sorted cells are: keys itself or scratch.keys.  Cells are moved into their rows
// run by run (an edge gives each row one run of neighbouring cells) and each row's few
// cells sorted on their own; rows crowded with cells go to a radix sort.
const uint64_t* ZSortCrossings(uint64_t* keys, size_t n, int32_t firstRow, int32_t lastRow,
                               ZSortScratch& scratch);

// Least significant digit radix sort of keys[0..n), in place.
void ZRadixSortKeys(uint64_t* keys, size_t n, std::vector<uint64_t>& scratch);
