#include "swf/FDisplayItem.h"

#include "swf/FObject.h"

namespace UT {

FDisplayItem::FDisplayItem(FObject* character, int32_t depth)
    : depth(depth), character(character) {}

FDisplayItem::~FDisplayItem() = default;

void FDisplayItem::SeekFrame(int32_t) {}

void FDisplayItem::Advance() {}

} // namespace UT
