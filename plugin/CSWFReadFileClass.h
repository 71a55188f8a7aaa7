// The read-file class: recognises uncompressed Shockwave Flash movies, describes the
// format to the host, shows the About box and opens files.
#pragma once

#include "platform/ComObject.h"
#include "include/VxSWFPlugin.h"

#include <cstdint>

// IUnknown answers through both tables.
class CSWFReadFileClass
    : public ComObject<CSWFReadFileClass, PlainCount, IVxReadFileClass, IVx_FileCustom2> {
public:
    CSWFReadFileClass();
    virtual ~CSWFReadFileClass();

    // IVxReadFileClass
    HRESULT STDMETHODCALLTYPE SetHostValue(uint32_t value) override;
    uint32_t STDMETHODCALLTYPE GetHostValue() override;
    HRESULT STDMETHODCALLTYPE SetHostCallback(IVxReadHostCallback* callback) override;
    HRESULT STDMETHODCALLTYPE GetFormatId(GUID* id) override;
    HRESULT STDMETHODCALLTYPE GetFormatKind(uint32_t* kind) override;
    HRESULT STDMETHODCALLTYPE GetFlags(uint32_t* flags) override;
    HRESULT STDMETHODCALLTYPE QueryHost(uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE GetDescription(WCHAR* title, int32_t titleCapacity, WCHAR* pattern,
                                             int32_t patternCapacity, WCHAR* name,
                                             int32_t nameCapacity) override;
    HRESULT STDMETHODCALLTYPE CheckFormat(intptr_t unused, const uint8_t* header,
                                          int32_t headerLength, intptr_t unused2) override;
    HRESULT STDMETHODCALLTYPE Reserved12(intptr_t a, intptr_t b) override;
    HRESULT STDMETHODCALLTYPE CreateReadFile(IVxReadFile** out, HANDLE file, const WCHAR* path,
                                             int32_t openNow) override;
    HRESULT STDMETHODCALLTYPE Reserved14(intptr_t a, intptr_t b) override;

    // IVx_FileCustom2
    HRESULT STDMETHODCALLTYPE Reserved3() override;
    HRESULT STDMETHODCALLTYPE ShowAbout(HWND parent) override;
    HRESULT STDMETHODCALLTYPE Reserved5() override;
    HRESULT STDMETHODCALLTYPE Reserved6(intptr_t a) override;
    HRESULT STDMETHODCALLTYPE Reserved7(intptr_t a, intptr_t b, intptr_t c, intptr_t d) override;

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    IVxReadHostCallback* callback_ = nullptr; // not AddRef'ed; released when replaced
    uint32_t hostValue_ = 0;
};

// The plug-in's About box (shared with the render-file class).
HRESULT ShowPluginAbout(HWND parent);
