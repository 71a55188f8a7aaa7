// The render context: a graphics context behind the private COM interface the video
// stream drives each frame through.
#pragma once

#include "platform/ComObject.h"
#include "bridge/VxSWFPrivate.h"
#include "graphics/GraphicsContext.h"

#include <memory>

// Born holding its creator's reference.
class CSWFRenderContext final
    : public ComObject<CSWFRenderContext, InterlockedCount<1>, IVxSWFRenderContext> {
public:
    CSWFRenderContext() : context_(std::make_unique<GraphicsContext>()) {}

    HRESULT STDMETHODCALLTYPE SetRaster(IVxSWFRaster* raster) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Finish() override;
    HRESULT STDMETHODCALLTYPE Clear(int32_t mode) override;
    HRESULT STDMETHODCALLTYPE PushTransform() override;
    HRESULT STDMETHODCALLTYPE PopTransform() override;
    HRESULT STDMETHODCALLTYPE Scale(float x, float y, float z) override;

    GraphicsContext* Context() const { return context_.get(); }

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    std::unique_ptr<GraphicsContext> context_;
};
