#include "plugin/CSWFReadFileClass.h"

#include "plugin/CSWFReadFile.h"
#include "plugin/Module.h"
#include "util/VxAboutBox.h"
#include "util/VxLang.h"
#include "util/VxModule.h"

#include <cstring>

namespace {

constexpr uint32_t kFormatKind = 2;
constexpr uint32_t kClassFlag = 0x40;
constexpr int32_t kMinimumHeader = 9;

} // namespace

CSWFReadFileClass::CSWFReadFileClass() {
    uint32_t& flags = Module().readFileClassFlags;
    flags = (flags & ~0x0Fu) | kClassFlag;
}

CSWFReadFileClass::~CSWFReadFileClass() = default;

void* CSWFReadFileClass::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxReadFileClass)
        return static_cast<IVxReadFileClass*>(this);
    if (riid == IID_IVx_FileCustom || riid == IID_IVx_FileCustom2)
        return static_cast<IVx_FileCustom2*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::SetHostValue(uint32_t value) {
    hostValue_ = value;
    return S_OK;
}

uint32_t STDMETHODCALLTYPE CSWFReadFileClass::GetHostValue() {
    return hostValue_;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::SetHostCallback(IVxReadHostCallback* callback) {
    if (callback_) callback_->Release();
    callback_ = callback;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::GetFormatId(GUID* id) {
    if (id) *id = Module().formatId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::GetFormatKind(uint32_t* kind) {
    if (kind) *kind = kFormatKind;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::GetFlags(uint32_t* flags) {
    if (flags) *flags = Module().readFileClassFlags;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::QueryHost(uint32_t* value) {
    if (!value) return E_POINTER;
    if (!callback_) return VX_E_NOCALLBACK;
    const HRESULT hr = callback_->QueryValue(value, &Module().hostQueryId);
    if (FAILED(hr)) *value = 0;
    return hr;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::GetDescription(WCHAR* title, int32_t titleCapacity,
                                                            WCHAR* pattern, int32_t patternCapacity,
                                                            WCHAR* name, int32_t nameCapacity) {
    VXLANG language = Module().language;
    if (title && titleCapacity) VxGetString(language, IDS_OPEN_TITLE, title, titleCapacity);
    if (pattern && patternCapacity)
        VxGetString(language, IDS_FILE_PATTERN, pattern, patternCapacity);
    if (name && nameCapacity) VxGetString(language, IDS_FORMAT_NAME, name, nameCapacity);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::CheckFormat(intptr_t, const uint8_t* header,
                                                         int32_t headerLength, intptr_t) {
    if (!header || headerLength < kMinimumHeader) return E_FAIL;
    // The signature is compared as a text of at most three characters.
    return std::strncmp(reinterpret_cast<const char*>(header), "FWS", 3) == 0 ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::Reserved12(intptr_t, intptr_t) {
    return E_FAIL;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::CreateReadFile(IVxReadFile** out, HANDLE file,
                                                            const WCHAR* path, int32_t openNow) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto* readFile = new (std::nothrow) CSWFReadFile(this);
    if (!readFile) return E_OUTOFMEMORY;
    // The movie is read by path only; the host's handle is not needed.
    if (file && file != INVALID_HANDLE_VALUE) CloseHandle(file);
    HRESULT hr = readFile->QueryInterface(IID_IVxReadFile, reinterpret_cast<void**>(out));
    if (FAILED(hr)) {
        delete readFile;
        return hr;
    }
    readFile->SetFileName(path);
    if (openNow) return readFile->Open(0, 0);
    return hr;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::Reserved14(intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::Reserved3() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::ShowAbout(HWND parent) {
    return ShowPluginAbout(parent);
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::Reserved5() {
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::Reserved6(intptr_t) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadFileClass::Reserved7(intptr_t, intptr_t, intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT ShowPluginAbout(HWND parent) {
    WCHAR title[256];
    VxGetString(Module().language, IDS_ABOUT_TITLE, title, 256);
    WCHAR modulePath[260];
    VxGetModuleFileName(Module().module, modulePath, 260);
    const VxAboutInfo info = {
        title,
        {PLATFORM_WIDE("Copyright (c) Morvane Software. All rights reserved."),
         PLATFORM_WIDE("Reads uncompressed Shockwave Flash movies.")},
        modulePath,
        PLATFORM_WIDE("Version 1.0 (Build 2554)"),
        PLATFORM_WIDE("https://www.morvane.example/"),
    };
    return VxAboutBox(parent, &info);
}
