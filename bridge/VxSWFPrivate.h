// The bridge's private COM interfaces: the movie object, the render context and the raster
// the open file and its video stream use.  They never cross to the host.
#pragma once

#include "platform/Win32.h"

#include <cstdint>

inline constexpr IID IID_IVxSWFFlashScript = {
    0x66C1C01B, 0xCB1F, 0x49DC, {0xB0, 0xCA, 0xCF, 0xC7, 0x28, 0x6E, 0x2E, 0x18}};
inline constexpr IID IID_IVxSWFRenderContext = {
    0x65237AD3, 0xB91C, 0x4F12, {0x88, 0x02, 0xCF, 0xD8, 0xF7, 0xA8, 0x81, 0xB4}};
inline constexpr IID IID_IVxSWFRaster = {
    0xFDDF75B7, 0xCCAD, 0x483F, {0xA1, 0xCF, 0x97, 0xD8, 0xDE, 0xAF, 0xC3, 0xBF}};

// A frame buffer.
struct IVxSWFRaster : IUnknown {
    // Keeps the buffer when width and height are unchanged.
    virtual HRESULT STDMETHODCALLTYPE Create(int32_t width, int32_t height, int32_t channels,
                                             int32_t bytesPerChannel) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWidth(int32_t* width) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHeight(int32_t* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRowAddress(int32_t row, void** address) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPitch(int32_t* bytes) = 0;
};

// A graphics context drawing into a raster.
struct IVxSWFRenderContext : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetRaster(IVxSWFRaster* raster) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Finish() = 0;
    // The one clear mode: the current layer becomes transparent black.
    static constexpr int32_t kClearTransparent = 4;
    // kClearTransparent clears; other modes are refused.
    virtual HRESULT STDMETHODCALLTYPE Clear(int32_t mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE PushTransform() = 0;
    virtual HRESULT STDMETHODCALLTYPE PopTransform() = 0;
    virtual HRESULT STDMETHODCALLTYPE Scale(float x, float y, float z) = 0;
};

// One loaded movie.
struct IVxSWFFlashScript : IUnknown {
    // Path in the process code page.  Succeeds even when the file cannot be read: such a
    // movie has no frames.
    virtual HRESULT STDMETHODCALLTYPE Load(const char* path) = 0;
    virtual HRESULT STDMETHODCALLTYPE Render(IVxSWFRenderContext* context) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFrameCount(int32_t* count) = 0;
    // Whole frames per second, truncated.
    virtual HRESULT STDMETHODCALLTYPE GetFrameRate(int32_t* rate) = 0;
    // Width, height and depth (0) in pixels.
    virtual HRESULT STDMETHODCALLTYPE GetBounds(float* bounds) = 0;
    // S_FALSE for frames at or past the frame count.
    virtual HRESULT STDMETHODCALLTYPE GotoFrame(int64_t frame) = 0;
};

// Makes a movie object, a render context or a raster, holding one reference.
HRESULT CreateSWFObject(IUnknown* outer, REFIID riid, void** object);
