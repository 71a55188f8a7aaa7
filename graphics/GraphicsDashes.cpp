// Dash patterns: only SetDash sets one, and no caller of the plug-in calls it; kept as the
// context's specified line style.
#include "graphics/GraphicsContext.h"

void GraphicsContext::SetDash(const float* values, int32_t count, float phase) {
    if (InPath() || !(enabled_ & kLineStyle)) return;
    dashes_.clear();
    if (values && count > 0) dashes_.assign(values, values + count);
    dashPhase_ = phase;
    outline_.valid = false;
}
