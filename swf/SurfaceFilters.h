// The filter list of a PlaceObject3 or of a DefineButton2 button record.
#pragma once

#include "raster/ZFilter.h"

#include <cstdint>

namespace UT {

class FlashParser;

// Reads a FILTERLIST at the reader's position into `filters` (replacing what it held) and
// returns how many filters it read.  Never moves beyond the tag's end: a count or a
// filter that runs past it, or a filter kind with no known layout, ends the list there
// with the reader at the tag's end.
uint32_t ReadFilterList(FlashParser& reader, ZFilterList& filters);

} // namespace UT
