// The render (save) side of the format.  Movies are never written: the class exists so
// that the host can attach companion metadata to a movie, hand over its language and show
// the About box.  Most slots answer fixed constants.
#pragma once

#include "platform/ComObject.h"
#include "include/VxSWFPlugin.h"

#include <cstdint>

// The secondary tables reuse slot names of one another (Reserved3, Reserved4) with
// different answers; each gets its own overrider here so that the answers stay apart.
struct CSWFTemplateInfoTable : IVxFIO_TemplateInfo_Renderer {
    HRESULT STDMETHODCALLTYPE Reserved3(WCHAR* buffer, int32_t capacity) override;
    HRESULT STDMETHODCALLTYPE Reserved4() override;
};

struct CSWFPrivateCopyPresetTable : IVxFIO_PrivateCopyPreset {
    HRESULT STDMETHODCALLTYPE Reserved3() override;
};

struct CSWFRenderMetaSupportTable : IVxRenderMetaSupport2 {
    HRESULT STDMETHODCALLTYPE Reserved3() override;
    int32_t STDMETHODCALLTYPE Reserved4() override;
    HRESULT STDMETHODCALLTYPE GetMetaKinds(uint32_t* a, uint32_t* kinds) override;
};

// Born holding its creator's reference.
class CSWFRenderFileClass
    : public ComObject<CSWFRenderFileClass, InterlockedCount<1>, IVxRenderFileClassEx3,
                       CSWFTemplateInfoTable, CSWFPrivateCopyPresetTable,
                       CSWFRenderMetaSupportTable> {
public:
    // Metadata kinds written and reported: summary and media-manager data.
    static constexpr uint32_t kMetaKinds = VX_META_SUMMARY | VX_META_MEDIAMGR;
    static const GUID kTemplateId;
    static const GUID kPresetId;

    CSWFRenderFileClass() = default; // the creator holds the first reference
    virtual ~CSWFRenderFileClass();

    HRESULT STDMETHODCALLTYPE SetHostValue(uint32_t value) override;
    uint32_t STDMETHODCALLTYPE GetHostValue() override;
    HRESULT STDMETHODCALLTYPE SetHost(IUnknown* host) override;
    HRESULT STDMETHODCALLTYPE GetHost(IUnknown** host) override;
    HRESULT STDMETHODCALLTYPE GetTemplateId(GUID* id) override;
    HRESULT STDMETHODCALLTYPE Reserved8(uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE GetFlags(uint32_t* flags) override;
    HRESULT STDMETHODCALLTYPE SendPresetId(uint32_t value) override;
    HRESULT STDMETHODCALLTYPE GetTexts(WCHAR* a, int32_t aCapacity, WCHAR* b, int32_t bCapacity,
                                       WCHAR* c, int32_t cCapacity) override;
    HRESULT STDMETHODCALLTYPE Reserved12() override;
    HRESULT STDMETHODCALLTYPE CreateRenderFileDefault(IVxRenderFile** out, const WCHAR* path,
                                                      intptr_t a, intptr_t b) override;
    HRESULT STDMETHODCALLTYPE Reserved14(uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE Reserved15(WCHAR* buffer, int32_t capacity) override;
    HRESULT STDMETHODCALLTYPE Reserved16(WCHAR* buffer, int32_t capacity) override;
    HRESULT STDMETHODCALLTYPE Reserved17() override;
    HRESULT STDMETHODCALLTYPE Reserved18(uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE Reserved19() override;
    HRESULT STDMETHODCALLTYPE Reserved20() override;
    HRESULT STDMETHODCALLTYPE Reserved21() override;
    int32_t STDMETHODCALLTYPE Reserved22() override;
    HRESULT STDMETHODCALLTYPE Reserved23() override;
    HRESULT STDMETHODCALLTYPE Reserved24(uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE Reserved25() override;
    HRESULT STDMETHODCALLTYPE Reserved26() override;
    HRESULT STDMETHODCALLTYPE Reserved27() override;
    HRESULT STDMETHODCALLTYPE Reserved28(uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE Reserved29() override;
    int32_t STDMETHODCALLTYPE Reserved30() override;
    HRESULT STDMETHODCALLTYPE ShowAbout(HWND parent) override;
    HRESULT STDMETHODCALLTYPE Reserved32() override;
    HRESULT STDMETHODCALLTYPE Reserved33() override;
    HRESULT STDMETHODCALLTYPE CreateRenderFile(IVxRenderFile** out, const WCHAR* path, intptr_t a,
                                               intptr_t b, uint32_t value) override;

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    IUnknown* host_ = nullptr; // not AddRef'ed
    uint32_t hostValue_ = 0;
    GUID templateId_ = kTemplateId;
    GUID presetId_ = kPresetId;
    uint32_t flags_ = 0;
};
