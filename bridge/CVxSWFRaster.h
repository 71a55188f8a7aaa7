// The frame buffer behind a video stream.
#pragma once

#include "base/PixelBuffer.h"
#include "base/RefCountBase.h"
#include "platform/ComObject.h"
#include "bridge/VxSWFPrivate.h"

// Born holding its creator's reference.
class CVxSWFRaster final : public ComObject<CVxSWFRaster, InterlockedCount<1>, IVxSWFRaster> {
public:
    HRESULT STDMETHODCALLTYPE Create(int32_t width, int32_t height, int32_t channels,
                                     int32_t bytesPerChannel) override;
    HRESULT STDMETHODCALLTYPE GetWidth(int32_t* width) override;
    HRESULT STDMETHODCALLTYPE GetHeight(int32_t* height) override;
    HRESULT STDMETHODCALLTYPE GetRowAddress(int32_t row, void** address) override;
    HRESULT STDMETHODCALLTYPE GetPitch(int32_t* bytes) override;

    PixelBuffer* Buffer() const { return buffer_.Get(); }

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    Held<PixelBuffer> buffer_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};
