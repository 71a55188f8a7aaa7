// The movie object: one parsed movie behind the private COM interface the open file uses.
#pragma once

#include "platform/ComObject.h"
#include "bridge/VxSWFPrivate.h"
#include "swf/FlashScript.h"

#include <memory>

// Born holding its creator's reference.
class CSWFFlashScript final
    : public ComObject<CSWFFlashScript, InterlockedCount<1>, IVxSWFFlashScript> {
public:
    CSWFFlashScript() : movie_(std::make_unique<UT::FlashScript>()) {}

    HRESULT STDMETHODCALLTYPE Load(const char* path) override;
    HRESULT STDMETHODCALLTYPE Render(IVxSWFRenderContext* context) override;
    HRESULT STDMETHODCALLTYPE GetFrameCount(int32_t* count) override;
    HRESULT STDMETHODCALLTYPE GetFrameRate(int32_t* rate) override;
    HRESULT STDMETHODCALLTYPE GetBounds(float* bounds) override;
    HRESULT STDMETHODCALLTYPE GotoFrame(int64_t frame) override;

    UT::FlashScript* Movie() const { return movie_.get(); }

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    std::unique_ptr<UT::FlashScript> movie_;
    int32_t frameCount_ = 0;
};
