// The paint source of a fill.  The renderer asks a stencil for the colour of each covered
// pixel: Prepare once per fill, then per span a Seek followed by one NextPixel/Skip per
// pixel from left to right (or one FetchSpan for the whole span).
//
// Colours leave a stencil as blue, green, red, alpha with straight alpha: bytes with 255
// as full, or 16-bit values with 32768 as full.
#pragma once

#include "base/ValueTypes.h"

#include <cstdint>

// 8 -> 16 bit channel widening: 0 -> 0, 128 -> 16448, 255 -> 32768.
inline uint16_t ZWidenChannel(uint8_t c) {
    return static_cast<uint16_t>(c * 128.5f + 0.5f);
}

inline void ZWidenPixel(const uint8_t* in, uint16_t* out) {
    for (int i = 0; i < 4; ++i) out[i] = ZWidenChannel(in[i]);
}

// Colour transform of one packed pixel: through floats 0..1, clamped, truncated back.
void ZTransformPixel(const ColorTransform& cx, uint8_t* bgra);

// Everything a prepared stencil's pixels follow from beside the device position: which
// paint in which state (a number no other paint or state shares), its matrices, the path
// bounds and the fill's settings.  Pixels fetched under one key may be kept and fetched
// again under an equal one.
struct ZPaintKey {
    uint64_t source = 0;
    Matrix4 device, paint;
    float bounds[4] = {};
    int32_t smoothing = 0, repeatMode = 0;
    bool mipMap = false;
    // Bit for bit, floats included.
    bool operator==(const ZPaintKey& other) const;
};

class ZStencil {
public:
    ZStencil() { PaintChanged(); }
    ZStencil(const ZStencil&) = delete;
    ZStencil& operator=(const ZStencil&) = delete;
    virtual ~ZStencil();

    // Plain intrusive count: stencils are shared between styles, bitmaps and the graphics
    // context, all on one thread.  A new stencil starts with one reference.
    void AddRef() { ++refCount_; }
    void Release() {
        if (--refCount_ == 0) delete this;
    }
    int RefCount() const { return refCount_; }

    // A copy of the paint only: count, bounds, matrices and quality fields start fresh.
    virtual ZStencil* Clone() const = 0;
    virtual bool IsVectorPaint() const { return true; }
    virtual void ApplyColorTransform(const ColorTransform& cx) = 0;
    virtual void Prepare() {}
    virtual void Seek(int32_t x, int32_t y) = 0;
    virtual uint8_t* NextPixel8(uint8_t* out) = 0;
    virtual uint16_t* NextPixel16(uint16_t* out) = 0;
    virtual void Skip() {}
    virtual void FetchSpan8(uint8_t* dst, int count);
    virtual void FetchSpan16(uint16_t* dst, int count);
    virtual bool IsSolidColor() const = 0;
    // Whether every 8-bit pixel the stencil gives from its current Seek on is opaque, so
    // that spans it covers wholly can be fetched straight into the target.
    virtual bool IsOpaque() const { return false; }
    // Whether the pixels follow from the key alone, so that they may be kept.
    virtual bool KeepsPaint() const { return false; }
    // The key of the paint as prepared for the current fill; false where it is not kept.
    bool PaintKey(ZPaintKey& key) const;

    // Where the walk stands, for stencils whose next pixels follow from that position
    // alone (and from what Prepare fixed): two spans fetched from equal positions are
    // equal, so a caller may keep one and reuse it.  False when the stencil cannot tell.
    virtual bool WalkPosition(uint64_t& position) const;
    // Puts the walk where WalkPosition said it stood.
    virtual void SetWalkPosition(uint64_t position);

    // Bounds of the path being filled, in path space; then Prepare.
    void SetBounds(float minX, float minY, float maxX, float maxY);
    float MinX() const { return minX_; }
    float MaxX() const { return maxX_; }
    float MinY() const { return minY_; }
    float MaxY() const { return maxY_; }

    // Device pixels back to path space (set by the renderer per fill).
    void SetDeviceMatrix(const Matrix4& m) { deviceMatrix_ = m; }
    const Matrix4& DeviceMatrix() const { return deviceMatrix_; }
    // Normalised path box [-0.5, 0.5]^2 into the stencil's own space.
    void SetPaintMatrix(const Matrix4& m) { paintMatrix_ = m; }
    const Matrix4& PaintMatrix() const { return paintMatrix_; }

    void SetSmoothing(int32_t smoothing) { smoothing_ = smoothing; }
    int32_t Smoothing() const { return smoothing_; }
    // Outside the image: the edge texels, the image again, or nothing.
    enum RepeatMode : int32_t { kClamp = 0, kRepeat = 1, kTransparent = 2 };
    void SetRepeatMode(int32_t mode) { repeatMode_ = mode; }
    int32_t RepeatMode() const { return repeatMode_; }
    void SetMipMap(bool on) { mipMap_ = on; }
    bool MipMap() const { return mipMap_; }

protected:
    // A stencil whose pixels may be kept calls this whenever what they follow from
    // changes, beside the settings the key holds: it takes a new source number.
    void PaintChanged();

    // Device pixel (x, y) through the device matrix, normalised into the path bounds and
    // mapped by the paint matrix.
    // Inline, so that a caller that reads one coordinate computes only what that needs.
    Point3 DeviceToPaint(float x, float y) const {
        const Point3 p = deviceMatrix_.Transform({x, y, 0.0f});
        const float u = (p.x - minX_) / (maxX_ - minX_) - 0.5f;
        const float v = (p.y - minY_) / (maxY_ - minY_) - 0.5f;
        return paintMatrix_.Transform({u, v, 0.0f});
    }

private:
    int refCount_ = 1;
    uint64_t source_ = 0;
    float minX_ = 1073741824.0f, maxX_ = -1073741824.0f;
    float minY_ = 1073741824.0f, maxY_ = -1073741824.0f;
    Matrix4 deviceMatrix_;
    Matrix4 paintMatrix_;
    int32_t smoothing_ = 1;
    int32_t repeatMode_ = 0;
    bool mipMap_ = false;
};
