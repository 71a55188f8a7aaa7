#include "plugin/CVxListStream.h"

#include <algorithm>
#include <cstring>

CVxListStream::~CVxListStream() = default;

void* CVxListStream::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IStream) return static_cast<IStream*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CVxListStream::Read(void* buffer, ULONG size, ULONG* read) {
    if (read) *read = 0;
    if (!buffer) return E_INVALIDARG;
    if (!list_) return VX_E_NOLIST;
    uint32_t moved = 0;
    const HRESULT hr = Transfer(static_cast<uint8_t*>(buffer), size, &moved);
    if (read) *read = moved;
    if (moved > 0) return S_OK;
    return FAILED(hr) ? hr : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CVxListStream::Seek(LARGE_INTEGER offset, DWORD origin,
                                              ULARGE_INTEGER* position) {
    if (!list_) return VX_E_NOLIST;
    if (origin == STREAM_SEEK_SET) {
        Rewind();
    } else if (origin == STREAM_SEEK_END) {
        index_ = VxList_GetCount(list_);
        offset_ = 0;
        part_ = nullptr;
    } else if (origin == STREAM_SEEK_CUR) {
        uint32_t moved = 0;
        Transfer(nullptr, uint32_t(offset.QuadPart), &moved);
    } else {
        return E_INVALIDARG;
    }
    if (position) position->QuadPart = ULONGLONG(std::max(index_, 0));
    return S_OK;
}

void CVxListStream::Rewind() {
    index_ = -1;
    offset_ = 0;
    part_ = nullptr;
    partLength_ = 0;
    ForgetFetched();
}

HRESULT CVxListStream::Transfer(uint8_t* out, uint32_t size, uint32_t* moved) {
    bool fetched = false;
    while (*moved < size) {
        uint8_t* at = out ? out + *moved : nullptr;
        if (index_ < 0) {
            *moved += FromPrologue(at, size - *moved);
            continue;
        }
        if (!part_) {
            if (index_ >= VxList_GetCount(list_)) break;
            const HRESULT hr = FetchEntry(VxList_GetPointer(list_, index_), &part_, &partLength_);
            if (hr == E_FAIL) {
                part_ = nullptr;
                ++index_;
                continue;
            }
            if (FAILED(hr)) {
                part_ = nullptr;
                if (!fetched && *moved == 0) return hr;
                break;
            }
            fetched = true;
            offset_ = 0;
        }
        *moved += FromEntry(at, size - *moved);
    }
    return S_OK;
}

uint32_t CVxListStream::FromPrologue(uint8_t* out, uint32_t size) {
    if (offset_ == 0) prologue_[2] = uint32_t(VxList_GetCount(list_));
    const uint32_t n = std::min(kPrologueBytes - offset_, size);
    if (out) std::memcpy(out, reinterpret_cast<const uint8_t*>(prologue_) + offset_, n);
    offset_ += n;
    if (offset_ == kPrologueBytes) {
        index_ = 0;
        offset_ = 0;
    }
    return n;
}

uint32_t CVxListStream::FromEntry(uint8_t* out, uint32_t size) {
    const uint32_t n = std::min(partLength_ - offset_, size);
    if (out) std::memcpy(out, part_ + offset_, n);
    offset_ += n;
    // A used-up entry is fetched again next time, which moves on to the next one.
    if (offset_ == partLength_) part_ = nullptr;
    return n;
}

HRESULT STDMETHODCALLTYPE CVxListStream::Write(const void*, ULONG, ULONG*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVxListStream::SetSize(ULARGE_INTEGER) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVxListStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                                ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVxListStream::Commit(DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVxListStream::Revert() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVxListStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVxListStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVxListStream::Stat(STATSTG*, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CVxListStream::Clone(IStream**) {
    return E_NOTIMPL;
}
