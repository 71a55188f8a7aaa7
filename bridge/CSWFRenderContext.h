// The render context: a graphics context behind the private COM interface the video
// stream drives each frame through.
#pragma once

#include "bridge/VxSWFPrivate.h"
#include "graphics/GraphicsContext.h"
#include "platform/GlobalObject.h"

#include <memory>

class CSWFRenderContext final : public IVxSWFRenderContext, public GlobalObject {
public:
    CSWFRenderContext() : context_(std::make_unique<GraphicsContext>()) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SetRaster(IVxSWFRaster* raster) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Finish() override;
    HRESULT STDMETHODCALLTYPE Clear(int32_t mode) override;
    HRESULT STDMETHODCALLTYPE PushTransform() override;
    HRESULT STDMETHODCALLTYPE PopTransform() override;
    HRESULT STDMETHODCALLTYPE Scale(float x, float y, float z) override;

    GraphicsContext* Context() const { return context_.get(); }

private:
    LONG refCount_ = 1;
    std::unique_ptr<GraphicsContext> context_;
};
