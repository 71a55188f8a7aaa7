#include "plugin/CSWFRenderFileClass.h"

#include "plugin/CSWFReadFileClass.h"
#include "plugin/CSWFRenderFile.h"
#include "plugin/Module.h"
#include "util/VxLang.h"

namespace {

// The host setting that carries its Windows language id.
constexpr uint32_t kLanguageSetting = 10001;

HRESULT WriteZero(uint32_t* value, HRESULT answer) {
    if (!value) return E_POINTER;
    *value = 0;
    return answer;
}

void ClearText(WCHAR* buffer) {
    if (buffer) buffer[0] = 0;
}

// Follows the host's language: strings and, for other languages than English, the help.
void ApplyHostLanguage(IVxHostSettings* settings) {
    uint32_t lcid = 0;
    if (!settings->GetSetting(kLanguageSetting, &lcid, sizeof(lcid))) return;
    VxLang_UpdateKernelLCID(Module().language, lcid, 1);
    if (!VxLang_IsLCIDEnglish(lcid)) RegisterHelpPaths();
}

} // namespace

const GUID CSWFRenderFileClass::kTemplateId = {
    0x888ECE2B, 0x0FDE, 0x4485, {0xB1, 0x62, 0x79, 0xFD, 0x79, 0x53, 0x1A, 0x6F}};
const GUID CSWFRenderFileClass::kPresetId = {
    0x45AD2188, 0xC037, 0x4D34, {0x98, 0x83, 0x14, 0xD8, 0xE1, 0xFD, 0xE0, 0x36}};

CSWFRenderFileClass::~CSWFRenderFileClass() = default;

void* CSWFRenderFileClass::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxRenderFileClass ||
        riid == IID_IVxRenderFileClassEx || riid == IID_IVxRenderFileClassEx2 ||
        riid == IID_IVxRenderFileClassEx3)
        return static_cast<IVxRenderFileClassEx3*>(this);
    if (riid == IID_IVxFIO_TemplateInfo_Renderer)
        return static_cast<IVxFIO_TemplateInfo_Renderer*>(this);
    if (riid == IID_IVxFIO_PrivateCopyPreset) return static_cast<IVxFIO_PrivateCopyPreset*>(this);
    if (riid == IID_IVxRenderMetaSupport || riid == IID_IVxRenderMetaSupport2)
        return static_cast<IVxRenderMetaSupport2*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::SetHostValue(uint32_t value) {
    hostValue_ = value;
    return S_OK;
}

uint32_t STDMETHODCALLTYPE CSWFRenderFileClass::GetHostValue() {
    return hostValue_;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::SetHost(IUnknown* host) {
    host_ = host;
    if (!host) return S_OK;
    IVxHostSettings* settings = nullptr;
    const HRESULT hr =
        host->QueryInterface(IID_IVxHostSettings, reinterpret_cast<void**>(&settings));
    if (SUCCEEDED(hr) && settings) {
        ApplyHostLanguage(settings);
        settings->Release();
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::GetHost(IUnknown** host) {
    if (!host) return E_POINTER;
    *host = host_;
    if (!host_) return E_NOINTERFACE;
    host_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::GetTemplateId(GUID* id) {
    if (!id) return E_POINTER;
    *id = templateId_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved8(uint32_t* value) {
    return WriteZero(value, S_OK);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::GetFlags(uint32_t* flags) {
    if (!flags) return E_POINTER;
    *flags = flags_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::SendPresetId(uint32_t value) {
    if (!host_) return E_NOINTERFACE;
    // The host object carries the preset receiver in slot 14 of its own table.
    return reinterpret_cast<IVxRenderHost*>(host_)->ReceivePresetId(value, &presetId_);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::GetTexts(WCHAR* a, int32_t, WCHAR* b, int32_t,
                                                        WCHAR* c, int32_t) {
    ClearText(a);
    ClearText(b);
    ClearText(c);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved12() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::CreateRenderFileDefault(IVxRenderFile** out,
                                                                       const WCHAR* path,
                                                                       intptr_t a, intptr_t b) {
    return CreateRenderFile(out, path, a, b, 0);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved14(uint32_t* value) {
    return WriteZero(value, E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved15(WCHAR* buffer, int32_t) {
    ClearText(buffer);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved16(WCHAR* buffer, int32_t) {
    ClearText(buffer);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved17() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved18(uint32_t* value) {
    return WriteZero(value, E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved19() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved20() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved21() {
    return E_NOTIMPL;
}

int32_t STDMETHODCALLTYPE CSWFRenderFileClass::Reserved22() {
    return 1;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved23() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved24(uint32_t* value) {
    return WriteZero(value, E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved25() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved26() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved27() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved28(uint32_t* value) {
    return WriteZero(value, E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved29() {
    return E_NOTIMPL;
}

int32_t STDMETHODCALLTYPE CSWFRenderFileClass::Reserved30() {
    return 1;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::ShowAbout(HWND parent) {
    return ShowPluginAbout(parent);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved32() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::Reserved33() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFileClass::CreateRenderFile(IVxRenderFile** out,
                                                                const WCHAR* path, intptr_t,
                                                                intptr_t, uint32_t value) {
    if (!out) return E_OUTOFMEMORY;
    *out = nullptr;
    auto* file = new (std::nothrow) CSWFRenderFile(this, value);
    if (!file) return E_OUTOFMEMORY;
    const HRESULT set = file->SetFileName(path);
    if (FAILED(set)) {
        delete file;
        return set;
    }
    const HRESULT hr = file->QueryInterface(IID_IVxRenderFile, reinterpret_cast<void**>(out));
    file->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE CSWFTemplateInfoTable::Reserved3(WCHAR* buffer, int32_t) {
    ClearText(buffer);
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFTemplateInfoTable::Reserved4() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFPrivateCopyPresetTable::Reserved3() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderMetaSupportTable::Reserved3() {
    return S_OK;
}

int32_t STDMETHODCALLTYPE CSWFRenderMetaSupportTable::Reserved4() {
    return 1;
}

HRESULT STDMETHODCALLTYPE CSWFRenderMetaSupportTable::GetMetaKinds(uint32_t* a, uint32_t* kinds) {
    if (a) *a = 0;
    if (kinds) *kinds = CSWFRenderFileClass::kMetaKinds;
    return S_OK;
}
