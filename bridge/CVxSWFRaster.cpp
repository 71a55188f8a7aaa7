#include "bridge/CVxSWFRaster.h"

void* CVxSWFRaster::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxSWFRaster) return static_cast<IVxSWFRaster*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CVxSWFRaster::Create(int32_t width, int32_t height, int32_t channels,
                                               int32_t bytesPerChannel) {
    if (width <= 0 || height <= 0) return E_INVALIDARG;
    // The frame keeps its buffer while its size stays.
    if (buffer_ && width == width_ && height == height_) return S_OK;
    buffer_.Reset();
    width_ = height_ = 0;
    buffer_ =
        Held<PixelBuffer>::Adopt(PixelBuffer::Create(width, height, channels, bytesPerChannel));
    if (!buffer_) return E_OUTOFMEMORY;
    width_ = width;
    height_ = height;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVxSWFRaster::GetWidth(int32_t* width) {
    if (!width) return E_INVALIDARG;
    if (!buffer_) return E_FAIL;
    *width = buffer_->width;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVxSWFRaster::GetHeight(int32_t* height) {
    if (!height) return E_INVALIDARG;
    if (!buffer_) return E_FAIL;
    *height = buffer_->height;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVxSWFRaster::GetRowAddress(int32_t row, void** address) {
    if (!address) return E_INVALIDARG;
    if (!buffer_) return E_FAIL;
    if (row < 0 || row >= buffer_->height) return E_INVALIDARG;
    *address = buffer_->Row(row);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVxSWFRaster::GetPitch(int32_t* bytes) {
    if (!bytes) return E_INVALIDARG;
    if (!buffer_) return E_FAIL;
    *bytes = buffer_->pitch;
    return S_OK;
}
