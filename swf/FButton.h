// A button definition: the characters that make up its states.
#pragma once

#include "swf/FObject.h"

namespace UT {

class FButton : public FObject {
public:
    using FObject::FObject;

    const char* GetTypeName() const override { return "Button"; }
};

} // namespace UT
