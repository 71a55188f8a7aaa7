#include "base/ValueTypes.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {

const float kIdentity[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

void CopyRow(float (&dst)[4], const float (&src)[4]) {
    std::memcpy(dst, src, sizeof(dst));
}

} // namespace

void Matrix4::SetIdentity() {
    std::memcpy(m, kIdentity, sizeof(m));
    identity = true;
}

bool Matrix4::ComputeIsIdentity() const {
    return std::memcmp(m, kIdentity, sizeof(m)) == 0;
}

bool Matrix4::SameBits(const Matrix4& other) const {
    return identity == other.identity && std::memcmp(m, other.m, sizeof(m)) == 0;
}

void Matrix4::Translate(float tx, float ty, float tz) {
    if (tx == 0.0f && ty == 0.0f && tz == 0.0f) return;
    for (int c = 0; c < 4; ++c) m[3][c] += tx * m[0][c] + ty * m[1][c] + tz * m[2][c];
    identity = false;
}

void Matrix4::Scale(float sx, float sy, float sz) {
    if (sx == 1.0f && sy == 1.0f && sz == 1.0f) return;
    for (int c = 0; c < 4; ++c) {
        m[0][c] *= sx;
        m[1][c] *= sy;
        m[2][c] *= sz;
    }
    identity = false;
}

void Matrix4::Multiply(const Matrix4& other) {
    if (other.identity) return;
    if (identity) {
        *this = other;
        return;
    }
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = other.m[i][0] * m[0][j] + other.m[i][1] * m[1][j] +
                        other.m[i][2] * m[2][j] + other.m[i][3] * m[3][j];
    *this = r;
    identity = false;
}

Matrix4 Matrix4::Inverse() const {
    Matrix4 result;
    if (identity) return result;
    float a[4][4];
    std::memcpy(a, m, sizeof(a));
    float(&b)[4][4] = result.m;
    for (int k = 0; k < 4; ++k) {
        int pivotRow = k;
        for (int r = k + 1; r < 4; ++r)
            if (std::fabs(a[r][k]) > std::fabs(a[pivotRow][k])) pivotRow = r;
        if (pivotRow != k) {
            std::swap(a[pivotRow], a[k]);
            std::swap(b[pivotRow], b[k]);
        }
        const float pivot = a[k][k];
        if (pivot == 0.0f) return Matrix4();
        for (int c = 0; c < 4; ++c) {
            a[k][c] /= pivot;
            b[k][c] /= pivot;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == k) continue;
            const float f = a[r][k];
            for (int c = 0; c < 4; ++c) {
                a[r][c] -= f * a[k][c];
                b[r][c] -= f * b[k][c];
            }
        }
    }
    result.identity = false;
    return result;
}

Matrix4 Matrix4::Rotation(float angle, float x, float y, float z) {
    Matrix4 r;
    const float length = std::sqrt(x * x + y * y + z * z);
    if (angle == 0.0f || length == 0.0f) return r;
    x /= length;
    y /= length;
    z /= length;
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    const float rows[4][4] = {{c + x * x * t, x * y * t + z * s, x * z * t - y * s, 0},
                              {x * y * t - z * s, c + y * y * t, y * z * t + x * s, 0},
                              {x * z * t + y * s, y * z * t - x * s, c + z * z * t, 0},
                              {0, 0, 0, 1}};
    for (int i = 0; i < 4; ++i) CopyRow(r.m[i], rows[i]);
    r.identity = false;
    return r;
}

bool ColorTransform::ComputeIsIdentity() const {
    return multRed == 1.0f && multGreen == 1.0f && multBlue == 1.0f && multAlpha == 1.0f &&
           addRed == 0.0f && addGreen == 0.0f && addBlue == 0.0f && addAlpha == 0.0f;
}

ColorRGBA ColorTransform::Apply(const ColorRGBA& c) const {
    if (identity) return c;
    return {c.red * multRed + addRed, c.green * multGreen + addGreen, c.blue * multBlue + addBlue,
            c.alpha * multAlpha + addAlpha};
}

void ColorTransform::Concatenate(const ColorTransform& inner) {
    if (inner.identity) return;
    addRed += inner.addRed * multRed;
    addGreen += inner.addGreen * multGreen;
    addBlue += inner.addBlue * multBlue;
    addAlpha += inner.addAlpha * multAlpha;
    multRed *= inner.multRed;
    multGreen *= inner.multGreen;
    multBlue *= inner.multBlue;
    multAlpha *= inner.multAlpha;
    identity = false;
}
