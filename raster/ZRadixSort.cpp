#include "raster/ZRadixSort.h"

#include <algorithm>

namespace {

constexpr int kDigitBits = 13;
constexpr int kPasses = 5; // 65 bits: the whole key
constexpr uint32_t kBuckets = 1u << kDigitBits;
constexpr uint64_t kDigitMask = kBuckets - 1;
constexpr int kRowShift = ZCell::kRowShift;
// A row holds about eight keys per edge crossing it.  Rows with more than this many keys
// on average are sorted by digits instead of row by row.
constexpr size_t kCrowdedRow = 2048;
// Up to this a row is sorted by insertion, beyond it by merging its runs.
constexpr size_t kShortRow = 16;

void InsertionSort(uint64_t* begin, uint64_t* end) {
    for (uint64_t* i = begin + 1; i < end; ++i) {
        const uint64_t key = *i;
        uint64_t* j = i;
        for (; j > begin && j[-1] > key; --j) *j = j[-1];
        *j = key;
    }
}

// The end of the ascending run that starts at i.
size_t RunEnd(const uint64_t* keys, size_t i, size_t n) {
    for (++i; i < n && keys[i - 1] <= keys[i]; ++i) {
    }
    return i;
}

// Merges neighbouring ascending runs, pass after pass, through spare room of the same
// size: a row holds one or two runs per edge crossing it, mostly in order already.
void MergeRuns(uint64_t* begin, uint64_t* end, uint64_t* spare) {
    const size_t n = static_cast<size_t>(end - begin);
    uint64_t* from = begin;
    uint64_t* to = spare;
    while (RunEnd(from, 0, n) < n) {
        for (size_t i = 0; i < n;) {
            const size_t middle = RunEnd(from, i, n);
            if (middle == n) {
                std::copy(from + i, from + n, to + i);
                break;
            }
            const size_t last = RunEnd(from, middle, n);
            std::merge(from + i, from + middle, from + middle, from + last, to + i);
            i = last;
        }
        std::swap(from, to);
    }
    if (from != begin) std::copy(from, from + n, begin);
}

void SortRow(uint64_t* begin, uint64_t* end, uint64_t* spare) {
    if (static_cast<size_t>(end - begin) <= kShortRow)
        InsertionSort(begin, end);
    else
        MergeRuns(begin, end, spare);
}

} // namespace

// Least significant digit first; a pass whose digit is the same for every key is skipped.
void ZRadixSortKeys(uint64_t* keys, size_t n, std::vector<uint64_t>& scratch) {
    if (n < 2) return;
    if (scratch.size() < n) scratch.resize(std::max(n, 2 * scratch.size()));
    uint64_t* from = keys;
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
    if (from != keys) std::copy(from, from + n, keys);
}

const uint64_t* ZSortCrossings(uint64_t* keys, size_t n, int32_t firstRow, int32_t lastRow,
                               ZSortScratch& scratch) {
    if (lastRow < firstRow) return keys;
    // ends[r + 1] holds row r's count; after the prefix sums ends[r] is where row r
    // starts, and after the moves ends[r] is where it ends.
    uint32_t* ends = scratch.rowEnds.data() + firstRow;
    const size_t rows = static_cast<size_t>(lastRow - firstRow) + 1;
    for (size_t r = 1; r <= rows; ++r) ends[r] += ends[r - 1];
    // Counts that do not add up to n would place keys outside the buffer: sort by digits.
    if (n < 2 || n / rows > kCrowdedRow || ends[rows] != n) {
        std::fill(ends, ends + rows + 1, 0u);
        ZRadixSortKeys(keys, n, scratch.keys);
        return keys;
    }
    if (scratch.keys.size() < n) scratch.keys.resize(std::max(n, 2 * scratch.keys.size()));
    uint64_t* out = scratch.keys.data();
    const uint64_t base = static_cast<uint64_t>(firstRow);
    for (size_t i = 0; i < n;) {
        // One run: the keys of one edge in one row, in x order either way.
        const uint64_t row = keys[i] >> kRowShift;
        size_t end = i + 1;
        while (end < n && (keys[end] >> kRowShift) == row) ++end;
        uint64_t* to = out + ends[row - base];
        ends[row - base] += static_cast<uint32_t>(end - i);
        // Runs are a few keys long: plain loops beat a call to memmove.
        if (keys[i] <= keys[end - 1])
            for (size_t k = i; k < end; ++k) *to++ = keys[k];
        else
            for (size_t k = end; k > i; --k) *to++ = keys[k - 1];
        i = end;
    }
    uint32_t begin = 0;
    for (size_t r = 0; r < rows; ++r) {
        // The input keys are all moved, so their room serves the merges.
        if (ends[r] - begin > 1) SortRow(out + begin, out + ends[r], keys + begin);
        begin = ends[r];
        ends[r] = 0;
    }
    ends[rows] = 0;
    return out;
}
