#include "swf/FObject.h"

namespace UT {

FObject::~FObject() = default;

} // namespace UT
