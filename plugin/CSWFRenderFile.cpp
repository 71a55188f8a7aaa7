#include "plugin/CSWFRenderFile.h"

#include "plugin/CSWFRenderFileClass.h"
#include "util/VxFMMeta.h"
#include "util/VxLang.h"

#include <algorithm>
#include <new>

CSWFRenderFile::~CSWFRenderFile() {
    Close();
    VxList_Destroy(objects_);
}

void* CSWFRenderFile::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxRenderFile) return static_cast<IVxRenderFile*>(this);
    return nullptr;
}

HRESULT CSWFRenderFile::AskClass(IVxRenderFileClass** out, HRESULT withoutClass) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!owner_) return withoutClass;
    return owner_->QueryInterface(IID_IVxRenderFileClass, reinterpret_cast<void**>(out));
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::GetClass(IVxRenderFileClass** out) {
    return AskClass(out, E_NOTIMPL);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::GetClassStrict(IVxRenderFileClass** out) {
    return AskClass(out, E_NOINTERFACE);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::Close() {
    const int32_t count = VxList_GetCount(objects_);
    for (int32_t i = 0; i < count; ++i)
        if (auto* object = static_cast<IUnknown*>(VxList_GetPointer(objects_, i)))
            object->Release();
    if (objects_) VxList_DeleteList(objects_, -1);
    objectCount_ = 0;
    if (metaSource_) metaSource_->Release();
    metaSource_ = nullptr;
    streamRecords_.clear();
    streamRecords_.shrink_to_fit();
    open_ = 0;
    return S_OK;
}

int32_t STDMETHODCALLTYPE CSWFRenderFile::IsClosed() {
    return open_ ? 0 : 1;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::Open(intptr_t, intptr_t) {
    open_ = 1;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::SetFileName(const WCHAR* path) {
    VxCopyText(path_, kPathCapacity, path);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::GetFileName(WCHAR* buffer, int32_t capacity) {
    VxCopyText(buffer, capacity, path_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::GetObjectCount(int32_t* count) {
    if (!count) return E_POINTER;
    *count = objectCount_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::GetStreamRecords(VxStreamRecord* records, int32_t first,
                                                           int32_t count) {
    const int64_t held = int64_t(streamRecords_.size());
    if (first < 0 || count < 0 || first >= held || int64_t(first) + count > held)
        return E_INVALIDARG;
    if (!records) return E_POINTER;
    std::copy_n(streamRecords_.begin() + first, count, records);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::SetStreamRecords(const VxStreamRecord* records,
                                                           int32_t count) {
    if (count < 0 || (count > 0 && !records)) return E_INVALIDARG;
    // A new set replaces the copy held before.
    try {
        std::vector<VxStreamRecord> copy(records, records + count);
        streamRecords_.swap(copy);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::Reserved13() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::Reserved14() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::AddObject(IUnknown* object, intptr_t) {
    if (!object) return E_POINTER;
    if (!objects_) {
        const HRESULT hr = VxList_CreateExZ(&objects_, kVxListPointerSize, -1, -1, 0);
        if (FAILED(hr)) return hr;
    }
    const HRESULT hr = VxList_InsertList(objects_, -1, &object);
    if (SUCCEEDED(hr)) {
        object->AddRef();
        ++objectCount_;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::SetMetaSource(IUnknown* source) {
    if (source) source->AddRef();
    if (metaSource_) metaSource_->Release();
    metaSource_ = source;
    return S_OK;
}

HRESULT CSWFRenderFile::WriteMetaFile(int32_t current, uint32_t set) {
    const HRESULT hr = VxFMMeta_openAndWriteMetaStreamEx(path_, current, set, metaSource_, 0,
                                                         CSWFRenderFileClass::kMetaKinds);
    if (FAILED(hr)) return hr;
    return VxFMMeta_WriteRiffFileId(path_, metaSource_);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::WriteMeta(intptr_t) {
    return WriteMetaFile(1, 0);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::WriteMetaFrom(uint32_t value) {
    return WriteMetaFile(0, value);
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::Reserved19() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFRenderFile::Reserved20() {
    return E_NOTIMPL;
}
