// The movie object: one parsed movie behind the private COM interface the open file uses.
#pragma once

#include "bridge/VxSWFPrivate.h"
#include "platform/GlobalObject.h"
#include "swf/FlashScript.h"

#include <memory>

class CSWFFlashScript final : public IVxSWFFlashScript, public GlobalObject {
public:
    CSWFFlashScript() : movie_(std::make_unique<UT::FlashScript>()) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Load(const char* path) override;
    HRESULT STDMETHODCALLTYPE Render(IVxSWFRenderContext* context) override;
    HRESULT STDMETHODCALLTYPE GetFrameCount(int32_t* count) override;
    HRESULT STDMETHODCALLTYPE GetFrameRate(int32_t* rate) override;
    HRESULT STDMETHODCALLTYPE GetBounds(float* bounds) override;
    HRESULT STDMETHODCALLTYPE GotoFrame(int64_t frame) override;

    UT::FlashScript* Movie() const { return movie_.get(); }

private:
    LONG refCount_ = 1;
    std::unique_ptr<UT::FlashScript> movie_;
    int32_t frameCount_ = 0;
};
