// Ascending sort of the renderer's crossing keys (at most 37 significant bits).
#pragma once

#include <cstdint>
#include <vector>

// scratch is reused between calls, so repeated sorts of similar size do not allocate.
void ZSortCrossings(std::vector<uint64_t>& keys, std::vector<uint64_t>& scratch);
