#include "base/RecordConversions.h"

namespace {

Matrix4 MatrixWithLinearDivisor(const RawMatrix& raw, float divisor) {
    Matrix4 matrix;
    matrix.m[0][0] = float(raw.scaleX) / divisor;
    matrix.m[0][1] = float(raw.rotateSkew0) / divisor;
    matrix.m[1][0] = float(raw.rotateSkew1) / divisor;
    matrix.m[1][1] = float(raw.scaleY) / divisor;
    matrix.m[3][0] = float(raw.translateX) / kTwipsPerPixel;
    matrix.m[3][1] = float(raw.translateY) / kTwipsPerPixel;
    matrix.UpdateIdentityFlag();
    return matrix;
}

float Fixed8(int16_t value) {
    return float(value) * (1.0f / 256.0f);
}

} // namespace

RectF ToRectF(const RawRect& rect) {
    return {float(rect.xmin) / kTwipsPerPixel, float(rect.ymin) / kTwipsPerPixel,
            float(rect.xmax) / kTwipsPerPixel, float(rect.ymax) / kTwipsPerPixel};
}

Matrix4 ToPlacementMatrix(const RawMatrix& matrix) {
    return MatrixWithLinearDivisor(matrix, 65536.0f);
}

Matrix4 ToFillMatrix(const RawMatrix& matrix) {
    return MatrixWithLinearDivisor(matrix, 65536.0f * kTwipsPerPixel);
}

ColorTransform ToColorTransform(const RawCxform& cxform) {
    ColorTransform transform;
    transform.multRed = Fixed8(cxform.redMult);
    transform.multGreen = Fixed8(cxform.greenMult);
    transform.multBlue = Fixed8(cxform.blueMult);
    transform.multAlpha = Fixed8(cxform.alphaMult);
    transform.addRed = Fixed8(cxform.redAdd);
    transform.addGreen = Fixed8(cxform.greenAdd);
    transform.addBlue = Fixed8(cxform.blueAdd);
    transform.addAlpha = Fixed8(cxform.alphaAdd);
    transform.UpdateIdentityFlag();
    return transform;
}
