// The metadata of an open movie, read from the companion file beside it: summary items by
// id or as a stream, and the media-manager header and stream.  Lives as long as its file.
#pragma once

#include "platform/ComObject.h"
#include "include/VxSWFPlugin.h"
#include "util/VxList.h"

#include <cstdint>

class CVxSummaryStream;
class CVxMediaMgrStream;

// Counts are applied to the owning file too; the reader dies with its file.  IUnknown
// answers through both tables.
class CSWFReadMeta : public ComObject<CSWFReadMeta, OwnerCount, IVxReadMeta, IVxReadMediaMgrMeta> {
public:
    // `owner` is the open file: every AddRef and Release is applied to it too.
    explicit CSWFReadMeta(IVxReadFile* owner) : owner_(owner) {}
    virtual ~CSWFReadMeta();

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
    friend ComObject;
    friend OwnerCount;
    IUnknown* CountOwner() const { return owner_; }
    void* FindInterface(REFIID riid);

    HRESULT OpenCompanion(HANDLE* file);
    HRESULT LoadSummary();
    HRESULT LoadMediaMgr();
    const WCHAR* FindSummaryText(uint32_t id) const;

    VXLIST summary_ = nullptr;
    IVxReadFile* owner_ = nullptr;
    CVxSummaryStream* summaryStream_ = nullptr;
    CVxMediaMgrStream* mediaMgrStream_ = nullptr;
    VXLIST mediaMgr_ = nullptr;
    uint32_t mediaMgrHeader_[3] = {};
    uint32_t mediaMgrPresent_ = 0;
};
