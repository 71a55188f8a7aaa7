#include "swf/NestingGuard.h"

namespace UT {

thread_local int32_t NestingGuard::depth = 0;

} // namespace UT
