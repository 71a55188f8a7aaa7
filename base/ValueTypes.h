// The value types shared by the movie model, the shapes, the rasteriser and the bridge:
// rectangles and points in pixels, colours, 4x4 matrices for row vectors and colour
// transforms, plus the MATRIX and CXFORM records as read from a movie.  Nothing here
// knows about the movie model.
#pragma once

#include <cstdint>

struct RectF {
    float xmin = 0, ymin = 0, xmax = 0, ymax = 0;
};

// The largest float, which an empty box starts from on every side.
constexpr float kHugeFloat = 3.4028235e38f;
// A box that holds nothing: the first point it is grown by becomes the whole box.
constexpr RectF kEmptyBox{kHugeFloat, kHugeFloat, -kHugeFloat, -kHugeFloat};

struct Point3 {
    float x = 0, y = 0, z = 0;
};

// Channels on the 0..1 scale.
struct ColorRGBA {
    float red = 0, green = 0, blue = 0, alpha = 0;
};

// Movie lengths are twips: twenty to a pixel.
constexpr float kTwipsPerPixel = 20.0f;

// A RECT record in file order, twips.
struct RawRect {
    int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// A MATRIX record: scale and rotate terms are 16.16 fixed point, translation in twips.
struct RawMatrix {
    int32_t scaleX = 0x10000, rotateSkew0 = 0, rotateSkew1 = 0, scaleY = 0x10000;
    int32_t translateX = 0, translateY = 0;
};

// A CXFORM or CXFORMWITHALPHA record: multipliers are 8.8 fixed point (256 = 1.0).
struct RawCxform {
    int16_t alphaMult = 256, alphaAdd = 0;
    int16_t redMult = 256, redAdd = 0;
    int16_t greenMult = 256, greenAdd = 0;
    int16_t blueMult = 256, blueAdd = 0;
};

// m[row][column]; points are row vectors, so row 3 holds the translation.
struct Matrix4 {
    float m[4][4];
    bool identity;

    Matrix4() { SetIdentity(); }

    void SetIdentity();
    // True when the sixteen floats are bit for bit those of the identity.
    bool ComputeIsIdentity() const;
    void UpdateIdentityFlag() { identity = ComputeIsIdentity(); }
    // True when the identity flag and the sixteen floats are bit for bit other's.
    bool SameBits(const Matrix4& other) const;

    // Inline: the renderer maps every path point through it.
    Point3 Transform(Point3 p) const {
        if (identity) return p;
        return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    }
    // Translation applied in this matrix's own space, before the matrix.
    void Translate(float tx, float ty, float tz);
    // Scale applied in this matrix's own space, before the matrix.
    void Scale(float sx, float sy, float sz);
    // this = other x this: `other` acts on points first.
    void Multiply(const Matrix4& other);
    // Gauss-Jordan with partial pivoting; a singular matrix inverts to the identity.
    Matrix4 Inverse() const;
    static Matrix4 Rotation(float angle, float x, float y, float z);
};

struct ColorTransform {
    float multRed = 1, multGreen = 1, multBlue = 1, multAlpha = 1;
    float addRed = 0, addGreen = 0, addBlue = 0, addAlpha = 0;
    bool identity = true;

    void SetIdentity() { *this = ColorTransform(); }
    bool ComputeIsIdentity() const;
    void UpdateIdentityFlag() { identity = ComputeIsIdentity(); }

    // c * mult + add per channel, unclamped.
    ColorRGBA Apply(const ColorRGBA& c) const;
    // Makes this transform apply `inner` first and then itself.
    void Concatenate(const ColorTransform& inner);

    bool operator==(const ColorTransform&) const = default;
};
