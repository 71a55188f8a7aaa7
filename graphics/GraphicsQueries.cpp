// State queries, and the two values only a query reports (stroke value A, curve tolerance):
// no caller of the plug-in uses them; kept as the context's specified interface.
#include "graphics/GraphicsContext.h"

#include "raster/ZSketcher.h"

int32_t GraphicsContext::GetInteger(int32_t name) const {
    switch (name) {
    case kModelStackDepth:
    case kPaintStackDepth:
    case kStack3Depth:
        return int32_t(stacks_[name].size());
    case kReservedDepth1:
    case kReservedDepth4:
    case kReservedDepth6:
        return kReservedStackDepth;
    case kColorStackDepth:
        return int32_t(colorStack_.size());
    case kCurrentLayer:
        return layer_;
    case kCurrentTransformMode:
        return transformMode_;
    case kFillsNonZero:
        return fillRule_ != ZFillRule::kEvenOdd ? 1 : 0;
    case kCurrentLineCap:
        return lineCap_;
    case kCurrentLineJoin:
        return lineJoin_;
    default:
        return 0;
    }
}

float GraphicsContext::GetFloat(int32_t name) const {
    switch (name) {
    case kCurrentLineWidth:
        return lineWidth_;
    case kCurrentStrokeValueA:
        return strokeValueA_;
    case kCurrentMiterLimit:
        return miterLimit_;
    case kCurveTolerance:
        return ZSketcher::CurveTolerance();
    default:
        return 0;
    }
}

void GraphicsContext::SetCurveTolerance(float value) {
    ZSketcher::SetCurveTolerance(value);
}

void GraphicsContext::SetStrokeValueA(float value) {
    if (!InPath() && (enabled_ & kLineStyle)) strokeValueA_ = value;
}
