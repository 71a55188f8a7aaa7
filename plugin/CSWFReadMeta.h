// The metadata of an open movie, read from the companion file beside it: summary items by
// id or as a stream, and the media-manager header and stream.  Lives as long as its file.
#pragma once

#include "include/VxSWFPlugin.h"
#include "platform/GlobalObject.h"
#include "util/VxList.h"

#include <cstdint>

class CVxSummaryStream;
class CVxMediaMgrStream;

class CSWFReadMeta : public IVxReadMeta, public IVxReadMediaMgrMeta, public GlobalObject {
public:
    // `owner` is the open file: every AddRef and Release is applied to it too.
    explicit CSWFReadMeta(IVxReadFile* owner) : owner_(owner) {}
    virtual ~CSWFReadMeta();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IVxReadMeta
    HRESULT STDMETHODCALLTYPE Reserved3(intptr_t a, intptr_t b) override;
    HRESULT STDMETHODCALLTYPE Reserved4(intptr_t a, intptr_t b) override;
    HRESULT STDMETHODCALLTYPE Reserved5(intptr_t a, intptr_t b) override;
    HRESULT STDMETHODCALLTYPE GetSummaryItem(uint32_t id, WCHAR* buffer, int32_t capacity) override;
    HRESULT STDMETHODCALLTYPE GetSummaryStream(IStream** out) override;

    // IVxReadMediaMgrMeta
    HRESULT STDMETHODCALLTYPE GetMediaMgrStream(IStream** out) override;
    HRESULT STDMETHODCALLTYPE GetMediaMgrInfo(uint32_t* header0, uint32_t* header1,
                                              uint32_t* header2) override;

private:
    HRESULT OpenCompanion(HANDLE* file);
    HRESULT LoadSummary();
    HRESULT LoadMediaMgr();
    const WCHAR* FindSummaryText(uint32_t id) const;

    LONG refCount_ = 0;
    VXLIST summary_ = nullptr;
    IVxReadFile* owner_ = nullptr;
    CVxSummaryStream* summaryStream_ = nullptr;
    CVxMediaMgrStream* mediaMgrStream_ = nullptr;
    VXLIST mediaMgr_ = nullptr;
    uint32_t mediaMgrHeader_[3] = {};
    uint32_t mediaMgrPresent_ = 0;
};
