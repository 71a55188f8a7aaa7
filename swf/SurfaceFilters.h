// The filter list of a PlaceObject3.  Filters are not drawn; the list is only read past.
#pragma once

#include <cstdint>

namespace UT {

class FlashParser;

// Moves the reader past a FILTERLIST at its position and returns how many filters it
// passed.  Never moves beyond the tag's end: a count or a size that runs past it, or a
// filter kind with no known size, ends the list there.
uint32_t SkipFilterList(FlashParser& reader);

} // namespace UT
