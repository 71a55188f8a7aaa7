#include "bridge/CSWFRenderContext.h"

#include "bridge/CVxSWFRaster.h"

void* CSWFRenderContext::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxSWFRenderContext)
        return static_cast<IVxSWFRenderContext*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CSWFRenderContext::SetRaster(IVxSWFRaster* raster) {
    if (!context_) return E_FAIL;
    if (!raster) return E_INVALIDARG;
    // Rasters come only from the private creation function.
    PixelBuffer* buffer = static_cast<CVxSWFRaster*>(raster)->Buffer();
    if (!buffer) return E_FAIL;
    context_->SetTarget(buffer);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderContext::Reset() {
    if (!context_) return E_FAIL;
    context_->Reset();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderContext::Finish() {
    return context_ ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderContext::Clear(int32_t mode) {
    if (!context_) return E_FAIL;
    if (mode != kClearTransparent) return E_INVALIDARG;
    context_->Clear({0, 0, 0, 0});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderContext::PushTransform() {
    if (!context_) return E_FAIL;
    context_->PushTransform();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderContext::PopTransform() {
    if (!context_) return E_FAIL;
    context_->PopTransform();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderContext::Scale(float x, float y, float z) {
    if (!context_) return E_FAIL;
    context_->Scale({x, y, z});
    return S_OK;
}
