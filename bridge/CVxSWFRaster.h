// The frame buffer behind a video stream.
#pragma once

#include "base/PixelBuffer.h"
#include "base/RefCountBase.h"
#include "bridge/VxSWFPrivate.h"
#include "platform/GlobalObject.h"

class CVxSWFRaster final : public IVxSWFRaster, public GlobalObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Create(int32_t width, int32_t height, int32_t channels,
                                     int32_t bytesPerChannel) override;
    HRESULT STDMETHODCALLTYPE GetWidth(int32_t* width) override;
    HRESULT STDMETHODCALLTYPE GetHeight(int32_t* height) override;
    HRESULT STDMETHODCALLTYPE GetRowAddress(int32_t row, void** address) override;
    HRESULT STDMETHODCALLTYPE GetPitch(int32_t* bytes) override;

    PixelBuffer* Buffer() const { return buffer_.Get(); }

private:
    LONG refCount_ = 1;
    Held<PixelBuffer> buffer_;
    int32_t width_ = 0;
    int32_t height_ = 0;
};
