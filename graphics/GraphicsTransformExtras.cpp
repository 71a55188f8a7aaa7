// The transform and colour-transform operations no drawing part uses (LoadIdentity, Rotate,
// RotateAxis, TransformPoints, DeviceToModel, LoadColorTransform); kept as specified.
#include "graphics/GraphicsContext.h"

#include "graphics/GraphicsHelpers.h"

using namespace graphics_detail;

void GraphicsContext::LoadIdentity() {
    if (InPath()) return;
    Top().SetIdentity();
    TransformChanged();
}

void GraphicsContext::Rotate(float degrees) {
    RotateAxis(degrees, {0, 0, 1});
}

void GraphicsContext::RotateAxis(float degrees, const Point3& axis) {
    if (InPath()) return;
    Top().Multiply(Matrix4::Rotation(degrees * kDegreesToRadians, axis.x, axis.y, axis.z));
    TransformChanged();
}

void GraphicsContext::TransformPoints(Point3* points, size_t count) const {
    for (size_t i = 0; i < count; ++i) points[i] = TransformPoint(points[i]);
}

Point3 GraphicsContext::DeviceToModel(const Point3& p) {
    if (!deviceValid_) {
        deviceTransform_ = stacks_[kModel].back().Inverse();
        deviceValid_ = true;
    }
    return deviceTransform_.Transform(p);
}

void GraphicsContext::LoadColorTransform(const ColorTransform& c) {
    if (InPath() || !(enabled_ & kColorTransforms)) return;
    colorStack_.back() = c;
}
