#include "swf/FObject.h"

#include "swf/FDisplayItem.h"

namespace UT {

FObject::~FObject() = default;

void FObject::Render(GraphicsContext&, FDisplayItem*) {}

FDisplayItem* FObject::CreateDisplayItem(int32_t depth) {
    auto* item = new FDisplayItem(this, depth);
    item->AddRef();
    return item;
}

} // namespace UT
