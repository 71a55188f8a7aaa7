// A font definition: the glyphs that texts draw with.
#pragma once

#include "swf/FObject.h"

namespace UT {

class FFont : public FObject {
public:
    using FObject::FObject;

    const char* GetTypeName() const override { return "Font"; }
};

} // namespace UT
