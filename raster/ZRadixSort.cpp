#include "raster/ZRadixSort.h"

#include <algorithm>

namespace {

constexpr int kDigitBits = 13;
constexpr int kPasses = 3; // 39 bits: more than a key ever uses
constexpr uint32_t kBuckets = 1u << kDigitBits;
constexpr uint64_t kDigitMask = kBuckets - 1;
constexpr int kRowShift = 23;
// A row holds about eight keys per edge crossing it.  Rows with more than this many keys
// on average are sorted by digits instead of row by row.
constexpr size_t kCrowdedRow = 2048;
// Below this a row is sorted by insertion: its keys come as short sorted runs, one per edge.
constexpr size_t kShortRow = 32;

void InsertionSort(uint64_t* begin, uint64_t* end) {
    for (uint64_t* i = begin + 1; i < end; ++i) {
        const uint64_t key = *i;
        uint64_t* j = i;
        for (; j > begin && j[-1] > key; --j) *j = j[-1];
        *j = key;
    }
}

void SortRow(uint64_t* begin, uint64_t* end) {
    if (static_cast<size_t>(end - begin) <= kShortRow)
        InsertionSort(begin, end);
    else
        std::sort(begin, end);
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
    if (n < 2 || lastRow < firstRow) return keys;
    const size_t rows = static_cast<size_t>(lastRow - firstRow) + 1;
    if (n / rows > kCrowdedRow) {
        ZRadixSortKeys(keys, n, scratch.keys);
        return keys;
    }
    if (scratch.keys.size() < n) scratch.keys.resize(std::max(n, 2 * scratch.keys.size()));
    if (scratch.rowEnds.size() < rows + 1)
        scratch.rowEnds.resize(std::max(rows + 1, 2 * scratch.rowEnds.size()));
    // ends[r + 1] counts row r; after the prefix sums ends[r] is where row r starts, and
    // after the scatter ends[r] is where it ends.
    uint32_t* ends = scratch.rowEnds.data();
    std::fill(ends, ends + rows + 1, 0u);
    const uint64_t base = static_cast<uint64_t>(firstRow);
    for (size_t i = 0; i < n; ++i) ++ends[(keys[i] >> kRowShift) - base + 1];
    for (size_t r = 1; r <= rows; ++r) ends[r] += ends[r - 1];
    uint64_t* out = scratch.keys.data();
    for (size_t i = 0; i < n; ++i) out[ends[(keys[i] >> kRowShift) - base]++] = keys[i];
    uint32_t begin = 0;
    for (size_t r = 0; r < rows; ++r) {
        if (ends[r] - begin > 1) SortRow(out + begin, out + ends[r]);
        begin = ends[r];
    }
    return out;
}
