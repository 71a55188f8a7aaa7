#include "plugin/CSWFReadMeta.h"

#include "plugin/CVxMediaMgrStream.h"
#include "plugin/CVxSummaryStream.h"
#include "util/VxFMMeta.h"
#include "util/VxLang.h"

#include <cstring>

namespace {

constexpr int32_t kPathCapacity = 260;
// Pointers to global blocks that the list frees.
constexpr uint32_t kEntryListFlags = VXLIST_ZEROFILL | VXLIST_OWNS_BLOCKS;

template <class Stream> void DropStream(Stream*& stream) {
    if (!stream) return;
    stream->Detach();
    stream->Release();
    stream = nullptr;
}

// Makes the stream once; the reader keeps one reference of its own.
template <class Stream> HRESULT HandOut(Stream*& stream, VXLIST list, IStream** out) {
    if (!stream) {
        stream = new (std::nothrow) Stream(list);
        if (!stream) return E_OUTOFMEMORY;
        stream->AddRef();
    }
    return stream->QueryInterface(IID_IStream, reinterpret_cast<void**>(out));
}

} // namespace

CSWFReadMeta::~CSWFReadMeta() {
    DropStream(summaryStream_);
    DropStream(mediaMgrStream_);
    VxList_Destroy(summary_);
    VxList_Destroy(mediaMgr_);
}

void* CSWFReadMeta::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxReadMeta) return static_cast<IVxReadMeta*>(this);
    if (riid == IID_IVxReadMediaMgrMeta) return static_cast<IVxReadMediaMgrMeta*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CSWFReadMeta::Reserved3(intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadMeta::Reserved4(intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadMeta::Reserved5(intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadMeta::GetSummaryItem(uint32_t id, WCHAR* buffer,
                                                       int32_t capacity) {
    if (buffer) buffer[0] = 0;
    if (FAILED(LoadSummary())) return VX_E_NOCALLBACK;
    const WCHAR* text = FindSummaryText(id);
    if (!text) return VX_E_NOCALLBACK;
    VxCopyText(buffer, capacity, text);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadMeta::GetSummaryStream(IStream** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    const HRESULT hr = LoadSummary();
    if (FAILED(hr)) {
        if (!summaryStream_) return hr;
        HandOut(summaryStream_, summary_, out);
        return S_OK;
    }
    return SUCCEEDED(HandOut(summaryStream_, summary_, out)) ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CSWFReadMeta::GetMediaMgrStream(IStream** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const HRESULT hr = LoadMediaMgr();
    if (FAILED(hr)) return hr;
    if (!mediaMgrPresent_) return S_FALSE;
    return SUCCEEDED(HandOut(mediaMgrStream_, mediaMgr_, out)) ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CSWFReadMeta::GetMediaMgrInfo(uint32_t* header0, uint32_t* header1,
                                                        uint32_t* header2) {
    const HRESULT hr = LoadMediaMgr();
    if (FAILED(hr)) return hr;
    if (!mediaMgrPresent_) return S_FALSE;
    if (header0) *header0 = mediaMgrHeader_[0];
    if (header1) *header1 = mediaMgrHeader_[1];
    if (header2) *header2 = mediaMgrHeader_[2];
    return S_OK;
}

HRESULT CSWFReadMeta::OpenCompanion(HANDLE* file) {
    WCHAR path[kPathCapacity] = {};
    HRESULT hr = owner_ ? owner_->GetFileName(path, kPathCapacity) : E_FAIL;
    if (FAILED(hr)) return hr;
    WCHAR name[kPathCapacity] = {};
    VxFMMeta_CreateMetaName(path, name, kPathCapacity, kVxMetaNameAppended);
    if (!VxFMMeta_IsMetaFile(path, name)) {
        VxFMMeta_CreateMetaName(path, name, kPathCapacity, kVxMetaNameReplaced);
        if (!VxFMMeta_IsMetaFile(path, name)) return E_FAIL;
    }
    *file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return *file == INVALID_HANDLE_VALUE ? VX_E_NOTLOADED : S_OK;
}

HRESULT CSWFReadMeta::LoadSummary() {
    if (summary_) return S_OK;
    WCHAR path[kPathCapacity] = {};
    HRESULT hr = owner_ ? owner_->GetFileName(path, kPathCapacity) : E_FAIL;
    if (FAILED(hr)) return hr;
    hr = VxList_CreateExZ(&summary_, kVxListPointerSize, -1, -1, kEntryListFlags);
    if (FAILED(hr)) return hr;
    // Without a companion file the summary stays empty; that is not an error.
    HANDLE file = INVALID_HANDLE_VALUE;
    if (FAILED(OpenCompanion(&file))) return S_OK;
    VxFMMeta_fillSummaryFromFileEx(file, summary_, 0);
    CloseHandle(file);
    return S_OK;
}

HRESULT CSWFReadMeta::LoadMediaMgr() {
    if (mediaMgr_) return S_OK;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (FAILED(OpenCompanion(&file))) return S_FALSE;
    HRESULT hr = VxList_CreateExZ(&mediaMgr_, kVxListPointerSize, -1, -1, kEntryListFlags);
    if (SUCCEEDED(hr))
        VxFMMeta_fillMediaMgrFromFileEx(file, mediaMgrHeader_, mediaMgr_, &mediaMgrPresent_);
    CloseHandle(file);
    return SUCCEEDED(hr) ? S_OK : hr;
}

const WCHAR* CSWFReadMeta::FindSummaryText(uint32_t id) const {
    const int32_t count = VxList_GetCount(summary_);
    for (int32_t i = 0; i < count; ++i) {
        const auto* entry = static_cast<const uint8_t*>(VxList_GetPointer(summary_, i));
        if (!entry) continue;
        VxSummaryEntryHeader header;
        std::memcpy(&header, entry, sizeof(header));
        if (header.id == id)
            return reinterpret_cast<const WCHAR*>(entry + sizeof(VxSummaryEntryHeader));
    }
    return nullptr;
}
