#include "bridge/CSWFFlashScript.h"

#include "bridge/CSWFRenderContext.h"
#include "include/VxSWFPlugin.h"

#include <cmath>

void* CSWFFlashScript::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxSWFFlashScript)
        return static_cast<IVxSWFFlashScript*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CSWFFlashScript::Load(const char* path) {
    if (!path) return E_INVALIDARG;
    if (!movie_) return E_FAIL;
    // A movie that cannot be read or parsed still loads; it has no frames.
    const bool loaded = movie_->LoadFile(path);
    frameCount_ = loaded ? int32_t(movie_->FrameCount()) : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFFlashScript::Render(IVxSWFRenderContext* context) {
    if (!context) return E_INVALIDARG;
    // Render contexts come only from the private creation function.
    GraphicsContext* graphics = static_cast<CSWFRenderContext*>(context)->Context();
    if (!movie_ || !graphics) return E_FAIL;
    movie_->RenderDisplayList(*graphics);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFFlashScript::GetFrameCount(int32_t* count) {
    if (!count) return E_INVALIDARG;
    if (!movie_) return E_FAIL;
    *count = frameCount_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFFlashScript::GetFrameRate(int32_t* rate) {
    if (!rate) return E_INVALIDARG;
    if (!movie_) return E_FAIL;
    *rate = int32_t(movie_->FrameRate()); // at most 255.99: always in range
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFFlashScript::GetBounds(float* bounds) {
    if (!bounds) return E_INVALIDARG;
    if (!movie_) return E_FAIL;
    const RectF& r = movie_->FrameRect();
    bounds[0] = std::fabs(r.xmax - r.xmin);
    bounds[1] = std::fabs(r.ymax - r.ymin);
    bounds[2] = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFFlashScript::GotoFrame(int64_t frame) {
    if (frame >= int64_t(frameCount_)) return S_FALSE;
    if (!movie_) return E_FAIL;
    try {
        movie_->GotoFrame(int32_t(frame));
    } catch (...) {
        return VX_E_SEEKFAILED;
    }
    return S_OK;
}
